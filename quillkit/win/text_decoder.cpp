// The Windows decoder: one character at a time (a lead byte and its trail
// byte, or a single byte), so that the byte count of every character is
// known; a pair the code page does not define costs its lead byte only.
#include "quillkit_win/text_decoder.h"

#include <windows.h>

namespace quillkit::win {
namespace {

class WindowsTextDecoder : public TextDecoder {
 public:
  bool decode(int codePage, const uint8_t* bytes, std::size_t n, std::vector<DecodedChar>& out) override {
    out.clear();
    if (codePage <= 0 || !::IsValidCodePage(UINT(codePage))) return false;
    try {
      out.reserve(n);
      for (std::size_t i = 0; i < n;) {
        DecodedChar c;
        const bool lead = ::IsDBCSLeadByteEx(UINT(codePage), bytes[i]) != FALSE;
        if (lead && i + 1 < n && One(codePage, bytes + i, 2, c.codePoint)) {
          c.bytes = 2;
        } else if (lead || !One(codePage, bytes + i, 1, c.codePoint)) {
          c.codePoint = 0xFFFD;  // a broken pair, or a lead byte at the end
          c.bytes = 1;
        }
        out.push_back(c);
        i += c.bytes;
      }
      return true;
    } catch (...) {  // out of memory: no decoding rather than an exception into the core
      out.clear();
      return false;
    }
  }

 private:
  static bool One(int codePage, const uint8_t* p, int n, char32_t& out) {
    wchar_t w[4] = {};
    const int k = ::MultiByteToWideChar(UINT(codePage), MB_ERR_INVALID_CHARS, reinterpret_cast<const char*>(p), n, w, 4);
    if (k == 1 && !(w[0] >= 0xD800 && w[0] < 0xE000)) {
      out = w[0];
      return true;
    }
    if (k == 2 && w[0] >= 0xD800 && w[0] < 0xDC00 && w[1] >= 0xDC00 && w[1] < 0xE000) {
      out = 0x10000 + ((char32_t(w[0]) - 0xD800) << 10) + (char32_t(w[1]) - 0xDC00);
      return true;
    }
    return false;
  }
};

}  // namespace

std::shared_ptr<TextDecoder> windowsTextDecoder() {
  static const std::shared_ptr<TextDecoder> decoder = std::make_shared<WindowsTextDecoder>();
  return decoder;
}

}  // namespace quillkit::win
