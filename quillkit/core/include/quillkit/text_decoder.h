// Decoding of the 8-bit text of EXTTEXTOUTA records in the double-byte code
// pages of the East Asian charsets (932 Shift-JIS, 936 GBK, 949 Unified
// Hangul, 950 Big5, 1361 Johab): a lead byte and a trail byte make one
// character. Natively the core decodes with iconv; on Windows the
// quillkit_win library gives a decoder that asks the system
// (MultiByteToWideChar), set in DocumentSettings::textDecoder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace quillkit {

struct DecodedChar {
    char32_t codePoint = 0xFFFD;   // U+FFFD for bytes the code page does not define
    uint8_t bytes = 1;             // how many bytes of the text it took (1 or 2)
};

class TextDecoder {
public:
    virtual ~TextDecoder() = default;
    // Decodes `n` bytes of Windows code page `codePage` into characters
    // that together take all `n` bytes: a byte sequence the code page does
    // not define becomes U+FFFD for its first byte, and decoding goes on
    // with the next byte. False when the decoder does not know the code
    // page. Must not throw; may be called by several threads at once.
    virtual bool decode(int codePage, const uint8_t* bytes, std::size_t n, std::vector<DecodedChar>& out) = 0;
};

// The platform's own decoder (iconv natively); null where the core has none
// (Windows builds, which take the quillkit_win decoder).
std::shared_ptr<TextDecoder> defaultTextDecoder();

}  // namespace quillkit
