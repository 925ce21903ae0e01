// The native decoder: glibc's iconv, one character at a time, so that the
// byte count of every character is known (the record's advances are given
// per byte) and a broken sequence costs one character, not the rest of the
// run.
#include "quillkit/text_decoder.h"

#ifndef _WIN32
#include <iconv.h>

#include <cerrno>
#endif

namespace quillkit {
namespace {

#ifndef _WIN32
const char* iconvName(int codePage) {
    switch (codePage) {
        case 932: return "CP932";
        case 936: return "CP936";
        case 949: return "CP949";
        case 950: return "CP950";
        case 1361: return "JOHAB";
        default: return nullptr;
    }
}

class IconvHandle {
public:
    explicit IconvHandle(const char* from) : cd_(iconv_open("UTF-32LE", from)) {}
    ~IconvHandle() {
        if (ok()) iconv_close(cd_);
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // The one character `n` bytes make; false when they make none, or more
    // than one.
    bool one(const uint8_t* p, std::size_t n, char32_t& out) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);   // a clean state after a failure
        char* in = const_cast<char*>(reinterpret_cast<const char*>(p));
        std::size_t inLeft = n;
        unsigned char buf[8];
        char* o = reinterpret_cast<char*>(buf);
        std::size_t outLeft = sizeof buf;
        if (iconv(cd_, &in, &inLeft, &o, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0 ||
            sizeof buf - outLeft != 4)
            return false;
        out = char32_t(buf[0]) | char32_t(buf[1]) << 8 | char32_t(buf[2]) << 16 | char32_t(buf[3]) << 24;
        return out <= 0x10FFFF;
    }

private:
    iconv_t cd_;
};

class IconvDecoder : public TextDecoder {
public:
    bool decode(int codePage, const uint8_t* bytes, std::size_t n, std::vector<DecodedChar>& out) override {
        out.clear();
        const char* name = iconvName(codePage);
        if (!name) return false;
        try {
            IconvHandle cd(name);
            if (!cd.ok()) return false;
            out.reserve(n);
            for (std::size_t i = 0; i < n;) {
                DecodedChar c;
                if (cd.one(bytes + i, 1, c.codePoint)) {
                    c.bytes = 1;
                } else if (i + 1 < n && cd.one(bytes + i, 2, c.codePoint)) {
                    c.bytes = 2;
                } else {
                    c.codePoint = 0xFFFD;
                    c.bytes = 1;
                }
                out.push_back(c);
                i += c.bytes;
            }
            return true;
        } catch (...) {
            out.clear();
            return false;
        }
    }
};
#endif

}  // namespace

std::shared_ptr<TextDecoder> defaultTextDecoder() {
#ifdef _WIN32
    return nullptr;
#else
    static const std::shared_ptr<TextDecoder> decoder = std::make_shared<IconvDecoder>();
    return decoder;
#endif
}

}  // namespace quillkit
