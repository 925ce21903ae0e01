// Symbol faces (Symbol, Wingdings, Webdings...) address their pictures by
// 8-bit codes, not by the characters they show. When the face itself is at
// hand its glyphs are drawn; when a text face stands in for it, the codes
// are mapped to the Unicode characters that show the same pictures, so that
// both the drawing and the searchable text keep their meaning.
#pragma once

#include <cstdint>
#include <string>

namespace quillkit {

enum class SymbolSet { none, symbol, wingdings, wingdings2, wingdings3, webdings };

// The symbol set a face name stands for (none for text faces).
SymbolSet symbolSetForFace(const std::u16string& faceName);

// The Unicode character for code `code` of the set (0x20-0xFF, or the same
// codes at U+F020-U+F0FF as symbol faces map them); 0 when the set has no
// picture there or the picture has no Unicode equivalent (or no table is
// known for the set).
uint32_t symbolToUnicode(SymbolSet set, uint32_t code);

}  // namespace quillkit
