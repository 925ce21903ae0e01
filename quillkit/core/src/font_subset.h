// A TrueType subset for embedding: the glyphs a document used (and the
// components of composite glyphs) keep their outlines and their glyph
// numbers; every other glyph is left empty. Glyph numbers stay the same, so
// the PDF maps character codes to glyphs by identity.
#pragma once

#include <cstdint>
#include <set>
#include <vector>

#include "font_sfnt.h"

namespace quillkit {

// The subset font file; empty for a face with CFF outlines (see font_cff.h).
std::vector<uint8_t> subsetTrueType(const SfntFace& face, const std::set<uint16_t>& glyphs);

// Adds the components of composite glyphs to `glyphs` (recursively).
void addCompositeComponents(const SfntFace& face, std::set<uint16_t>& glyphs);

}  // namespace quillkit
