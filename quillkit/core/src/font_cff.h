// The CFF outlines of an OpenType face (its 'CFF ' table) for embedding as
// a CIDFontType0 font program: checked once when the face is loaded, then
// cut down to the glyphs a document used. Glyph numbers stay the same
// (unused glyphs become empty charstrings), and a CID-keyed font gets an
// identity charset, so that in the PDF every character code is the glyph
// number, as with the TrueType subsets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace quillkit {

// True when `data` is a CFF font (version 1, one font, Type 2 charstrings)
// whose structures all lie inside the data; `error` says what is wrong.
bool checkCff(const uint8_t* data, std::size_t size, std::string& error);

// The subset CFF font; empty when the data is not a usable CFF font. Glyph
// 0 (.notdef) is always kept. A name-keyed font whose used glyphs build
// accented letters from other glyphs (the old "seac" form of endchar),
// or whose charstrings cannot be followed, keeps every charstring.
std::vector<uint8_t> subsetCff(const uint8_t* data, std::size_t size, const std::set<uint16_t>& glyphs);

}  // namespace quillkit
