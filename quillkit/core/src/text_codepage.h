// 8-bit text of EXTTEXTOUTA records: bytes in the code page of the font's
// charset, decoded to UTF-16. The single-byte code pages come from tables
// of the core; the double-byte ones of the East Asian charsets from a
// TextDecoder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "quillkit/text_decoder.h"

namespace quillkit {

int codePageForCharset(uint8_t charset);   // 0 for the symbol charset
bool isDoubleByteCodePage(int codePage);
// Single-byte code pages: one UTF-16 unit per byte.
std::u16string decodeAnsi(const std::u16string& bytes, uint8_t charset);

// The text of an 8-bit run as UTF-16, with its advances (and the vertical
// offsets of ETO_PDY) given per byte in `dx` and `dy` turned into values
// per UTF-16 unit: a double-byte character takes the sum of the values of
// its two bytes, as GDI places it. Double-byte text that `decoder` cannot
// decode (or with no decoder) keeps its ASCII bytes and shows U+FFFD for
// the others.
void decodeAnsiRun(const std::u16string& bytes, uint8_t charset, TextDecoder* decoder, std::u16string& text,
                   std::vector<int32_t>& dx, std::vector<int32_t>& dy);

}  // namespace quillkit
