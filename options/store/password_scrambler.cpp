#include "password_scrambler.h"

#include <cstdint>
#include <utility>

namespace {

const char kKey[] = "{5D0C93B2-16E8-4F7a-A3C9-0E42B7D1586F}";
constexpr size_t kKeyBytes = 38;  // the key's bytes, without the terminator
static_assert(sizeof(kKey) == kKeyBytes + 1, "the password key is 38 bytes");

class Rc4 {
 public:
  Rc4(const unsigned char* key, size_t length) {
    for (int k = 0; k < 256; ++k) s_[k] = static_cast<uint8_t>(k);
    uint8_t j = 0;
    for (int k = 0; k < 256; ++k) {
      j = static_cast<uint8_t>(j + s_[k] + key[k % length]);
      std::swap(s_[k], s_[j]);
    }
  }
  uint8_t Next() {
    i_ = static_cast<uint8_t>(i_ + 1);
    j_ = static_cast<uint8_t>(j_ + s_[i_]);
    std::swap(s_[i_], s_[j_]);
    return s_[static_cast<uint8_t>(s_[i_] + s_[j_])];
  }

 private:
  uint8_t s_[256];
  uint8_t i_ = 0;
  uint8_t j_ = 0;
};

Rc4 KeyStream() { return Rc4(reinterpret_cast<const unsigned char*>(kKey), kKeyBytes); }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string ScramblePassword(const std::string& text) {
  static const char kDigits[] = "0123456789ABCDEF";
  Rc4 rc4 = KeyStream();
  std::string hex;
  hex.reserve(text.size() * 2);
  for (const char c : text) {
    const uint8_t b = static_cast<uint8_t>(static_cast<uint8_t>(c) ^ rc4.Next());
    hex += kDigits[b >> 4];
    hex += kDigits[b & 0x0F];
  }
  return hex;
}

std::string UnscramblePassword(const std::string& hex) {
  Rc4 rc4 = KeyStream();
  std::string text;
  const size_t bytes = (hex.size() + 1) / 2;
  for (size_t n = 0; n < bytes; ++n) {
    unsigned value = 0;
    for (size_t pos = 2 * n; pos < 2 * n + 2 && pos < hex.size(); ++pos) {
      const int digit = HexDigit(hex[pos]);
      if (digit < 0) break;
      value = value * 16 + static_cast<unsigned>(digit);
    }
    const char plain = static_cast<char>(static_cast<uint8_t>(value) ^ rc4.Next());
    if (plain == '\0') break;
    text += plain;
  }
  return text;
}
