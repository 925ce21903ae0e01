// Text records (EXTTEXTOUTW/A, POLYTEXTOUTW/A, SMALLTEXTOUT) drawn with
// embedded fonts. Playback hands each text record here after it has painted
// the record's opaque rectangle.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "emf_reader.h"

namespace quillkit {

class Player;

// One text run, decoded from a record.
struct TextRun {
    PointD reference;               // logical
    std::u16string text;            // UTF-16 code units, or glyph indices
    bool glyphIndices = false;      // ETO_GLYPH_INDEX
    bool ansi = false;              // 8-bit text (EXTTEXTOUTA): bytes in the charset's code page
    std::vector<int32_t> dx;        // advances (logical), empty when absent
    std::vector<int32_t> dy;        // with ETO_PDY
    uint32_t options = 0;
    RectL clipRect;                 // with ETO_CLIPPED
    int graphicsMode = 1;
    float exScale = 0, eyScale = 0;
};

class TextRenderer {
public:
    virtual ~TextRenderer() = default;
    // Draws the run with the player's state; returns false when the text
    // could not be drawn (counted as unsupported).
    virtual bool draw(Player& player, const TextRun& run) = 0;
};

}  // namespace quillkit
