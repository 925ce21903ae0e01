// 8-bit text of EXTTEXTOUTA records: bytes in the code page of the font's
// charset, decoded to UTF-16 (one unit per byte; single-byte code pages).
#pragma once

#include <cstdint>
#include <string>

namespace quillkit {

int codePageForCharset(uint8_t charset);   // 0 for the symbol charset
std::u16string decodeAnsi(const std::u16string& bytes, uint8_t charset);

}  // namespace quillkit
