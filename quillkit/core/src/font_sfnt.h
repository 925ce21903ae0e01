// A TrueType / OpenType font file parsed for embedding: the tables the PDF
// font objects need (metrics, character map, outlines), every read checked
// against the file's bounds. A damaged table makes the face unusable rather
// than reading past the data.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace quillkit {

struct SfntTable {
    uint32_t offset = 0, length = 0;
};

class SfntFace {
public:
    // Parses face `faceIndex` of `data` (a font file or a .ttc collection).
    // The data must outlive the face. False with `error` set when the face
    // cannot be used. A font for embedding alone may lack a character map.
    bool parse(const std::vector<uint8_t>& data, uint32_t faceIndex, std::string& error, bool requireCmap = true);

    const std::vector<uint8_t>& data() const { return *data_; }
    bool isCff() const { return cff_; }
    uint16_t unitsPerEm() const { return unitsPerEm_; }
    uint16_t numGlyphs() const { return numGlyphs_; }
    int16_t xMin, yMin, xMax, yMax;          // head bounding box
    int16_t ascent = 0, descent = 0;         // typographic (hhea), descent negative
    uint16_t winAscent = 0, winDescent = 0;  // what GDI uses for the cell
    int16_t capHeight = 0, xAvgCharWidth = 0;
    uint16_t weightClass = 400, macStyle = 0;
    double italicAngle = 0;
    bool fixedPitch = false, symbolCmap = false;
    uint16_t fsType = 0;
    int16_t underlinePosition = 0, underlineThickness = 0;
    int16_t strikeoutPosition = 0, strikeoutSize = 0;
    std::u16string familyName, fullName, postScriptName;

    uint16_t advance(uint16_t glyph) const;            // font units
    // The average width of lower-case text: the advances of a-z and the
    // space weighted by their frequency in English (the OS/2 average of
    // older faces, which GDI's lfWidth scales against); 0 when the face
    // lacks those letters.
    uint16_t weightedAverageWidth() const;
    uint16_t glyphFor(uint32_t codePoint) const;       // 0 when missing
    // Glyph -> the first code point that maps to it (for glyph-index text).
    const std::map<uint16_t, uint32_t>& reverseCmap() const;

    const SfntTable* table(const char* tag) const;
    // The outline bytes of a TrueType glyph (empty for blank glyphs).
    bool glyphData(uint16_t glyph, uint32_t& offset, uint32_t& length) const;

private:
    bool parseCmap(std::string& error);
    void readNames();
    uint16_t u16(std::size_t at) const;
    uint32_t u32(std::size_t at) const;
    bool inside(std::size_t at, std::size_t n) const { return at <= size_ && n <= size_ - at; }

    const std::vector<uint8_t>* data_ = nullptr;
    std::size_t size_ = 0;
    bool cff_ = false;
    uint16_t unitsPerEm_ = 1000, numGlyphs_ = 0, numHMetrics_ = 0;
    int16_t indexToLocFormat_ = 0;
    std::map<std::string, SfntTable> tables_;
    std::vector<uint16_t> advances_;
    std::map<uint32_t, uint16_t> cmap_;
    mutable std::map<uint16_t, uint32_t> reverse_;
    mutable bool reverseBuilt_ = false;
};

}  // namespace quillkit
