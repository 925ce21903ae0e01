#include "font_sfnt.h"

#include <algorithm>

namespace quillkit {

uint16_t SfntFace::u16(std::size_t at) const {
    if (!inside(at, 2)) return 0;
    const uint8_t* p = data_->data() + at;
    return static_cast<uint16_t>(p[0] << 8 | p[1]);
}

uint32_t SfntFace::u32(std::size_t at) const {
    if (!inside(at, 4)) return 0;
    const uint8_t* p = data_->data() + at;
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

const SfntTable* SfntFace::table(const char* tag) const {
    auto it = tables_.find(tag);
    return it == tables_.end() ? nullptr : &it->second;
}

bool SfntFace::parse(const std::vector<uint8_t>& data, uint32_t faceIndex, std::string& error, bool requireCmap) {
    data_ = &data;
    size_ = data.size();
    tables_.clear();
    cmap_.clear();
    std::size_t dir = 0;
    if (u32(0) == 0x74746366) {   // 'ttcf'
        uint32_t count = u32(8);
        if (faceIndex >= count || !inside(12, std::size_t(count) * 4)) { error = "face index outside the collection"; return false; }
        dir = u32(12 + faceIndex * 4);
    }
    uint32_t version = u32(dir);
    if (version != 0x00010000 && version != 0x4F54544F && version != 0x74727565) { error = "not a TrueType or OpenType font"; return false; }
    uint16_t numTables = u16(dir + 4);
    if (!inside(dir + 12, std::size_t(numTables) * 16)) { error = "table directory runs past the file"; return false; }
    for (uint16_t i = 0; i < numTables; ++i) {
        std::size_t e = dir + 12 + std::size_t(i) * 16;
        std::string tag(reinterpret_cast<const char*>(data.data() + e), 4);
        SfntTable t{u32(e + 8), u32(e + 12)};
        if (!inside(t.offset, t.length)) continue;   // a table past the end is ignored
        tables_[tag] = t;
    }
    cff_ = table("CFF ") != nullptr || table("CFF2") != nullptr;
    const SfntTable* head = table("head");
    const SfntTable* hhea = table("hhea");
    const SfntTable* maxp = table("maxp");
    const SfntTable* hmtx = table("hmtx");
    if (!head || head->length < 54 || !hhea || hhea->length < 36 || !maxp || maxp->length < 6 || !hmtx) {
        error = "required table missing or short";
        return false;
    }
    unitsPerEm_ = u16(head->offset + 18);
    if (unitsPerEm_ < 16 || unitsPerEm_ > 16384) { error = "bad units per em"; return false; }
    xMin = int16_t(u16(head->offset + 36)); yMin = int16_t(u16(head->offset + 38));
    xMax = int16_t(u16(head->offset + 40)); yMax = int16_t(u16(head->offset + 42));
    macStyle = u16(head->offset + 44);
    indexToLocFormat_ = int16_t(u16(head->offset + 50));
    ascent = int16_t(u16(hhea->offset + 4));
    descent = int16_t(u16(hhea->offset + 6));
    numHMetrics_ = u16(hhea->offset + 34);
    numGlyphs_ = u16(maxp->offset + 4);
    if (numGlyphs_ == 0) { error = "font has no glyphs"; return false; }
    if (numHMetrics_ == 0 || numHMetrics_ > numGlyphs_ || std::size_t(numHMetrics_) * 4 > hmtx->length) {
        error = "horizontal metrics do not fit their table";
        return false;
    }
    advances_.resize(numGlyphs_);
    for (uint16_t g = 0; g < numGlyphs_; ++g)
        advances_[g] = u16(hmtx->offset + std::size_t(std::min<uint16_t>(g, uint16_t(numHMetrics_ - 1))) * 4);
    if (!cff_) {
        const SfntTable* loca = table("loca");
        const SfntTable* glyf = table("glyf");
        std::size_t need = (std::size_t(numGlyphs_) + 1) * (indexToLocFormat_ ? 4 : 2);
        if (!loca || !glyf || loca->length < need) { error = "glyph location table missing or short"; return false; }
    }
    winAscent = uint16_t(ascent);
    winDescent = uint16_t(-descent);
    capHeight = int16_t(ascent * 7 / 10);
    if (const SfntTable* os2 = table("OS/2")) {
        if (os2->length >= 78) {
            xAvgCharWidth = int16_t(u16(os2->offset + 2));
            weightClass = u16(os2->offset + 4);
            fsType = u16(os2->offset + 8);
            strikeoutSize = int16_t(u16(os2->offset + 26));
            strikeoutPosition = int16_t(u16(os2->offset + 28));
            winAscent = u16(os2->offset + 74);
            winDescent = u16(os2->offset + 76);
        }
        if (os2->length >= 90 && u16(os2->offset) >= 2) capHeight = int16_t(u16(os2->offset + 88));
    }
    if (winAscent + winDescent == 0) { winAscent = unitsPerEm_; winDescent = 0; }
    if (const SfntTable* post = table("post"); post && post->length >= 16) {
        italicAngle = int32_t(u32(post->offset + 4)) / 65536.0;
        underlinePosition = int16_t(u16(post->offset + 8));
        underlineThickness = int16_t(u16(post->offset + 10));
        fixedPitch = u32(post->offset + 12) != 0;
    }
    if (underlineThickness <= 0) underlineThickness = int16_t(unitsPerEm_ / 20);
    if (strikeoutSize <= 0) strikeoutSize = underlineThickness;
    if (strikeoutPosition <= 0) strikeoutPosition = int16_t(unitsPerEm_ * 0.26);
    if (xAvgCharWidth <= 0) xAvgCharWidth = int16_t(unitsPerEm_ / 2);
    readNames();
    if (!requireCmap && !table("cmap")) return true;
    return parseCmap(error);
}

uint16_t SfntFace::weightedAverageWidth() const {
    static const uint8_t kWeight[27] = {64, 14, 27, 35, 100, 20, 14, 42, 63, 3, 6, 35, 20, 56,
                                        56, 17, 4,  49, 56, 71,  31, 10, 18, 3,  18, 2, 166};
    uint32_t sum = 0;
    for (int i = 0; i < 27; ++i) {
        uint16_t g = glyphFor(i < 26 ? uint32_t('a' + i) : uint32_t(' '));
        if (!g) return 0;
        sum += uint32_t(kWeight[i]) * advance(g);
    }
    return uint16_t(std::min<uint32_t>(sum / 1000, 0xFFFF));
}

void SfntFace::readNames() {
    const SfntTable* name = table("name");
    if (!name || name->length < 6) return;
    uint16_t count = u16(name->offset + 2);
    std::size_t strings = name->offset + u16(name->offset + 4);
    std::u16string typoFamily;
    for (uint16_t i = 0; i < count; ++i) {
        std::size_t r = name->offset + 6 + std::size_t(i) * 12;
        if (!inside(r, 12) || r + 12 > std::size_t(name->offset) + name->length) break;
        uint16_t platform = u16(r), id = u16(r + 6), len = u16(r + 8), off = u16(r + 10);
        if (platform != 3 && platform != 0) continue;
        std::size_t at = strings + off;
        if (!inside(at, len)) continue;
        std::u16string s;
        for (std::size_t k = 0; k + 1 < len; k += 2) s += char16_t(u16(at + k));
        std::u16string* target = id == 1 ? &familyName : id == 4 ? &fullName : id == 6 ? &postScriptName : id == 16 ? &typoFamily : nullptr;
        if (target && (target->empty() || u16(r + 4) == 0x409)) *target = s;
    }
    if (familyName.empty()) familyName = typoFamily;
}

bool SfntFace::parseCmap(std::string& error) {
    const SfntTable* cmap = table("cmap");
    if (!cmap || cmap->length < 4) { error = "no character map"; return false; }
    std::size_t base = cmap->offset, end = base + cmap->length;
    uint16_t n = u16(base + 2);
    // Prefer full Unicode (3,10 / 0,4+), then BMP (3,1 / 0,x), then symbol (3,0).
    std::size_t best = 0;
    int bestRank = -1;
    for (uint16_t i = 0; i < n; ++i) {
        std::size_t r = base + 4 + std::size_t(i) * 8;
        if (r + 8 > end) break;
        uint16_t pid = u16(r), eid = u16(r + 2);
        uint32_t off = u32(r + 4);
        if (off >= cmap->length) continue;
        int rank = -1;
        if ((pid == 3 && eid == 10) || (pid == 0 && eid >= 4)) rank = 4;
        else if ((pid == 3 && eid == 1) || pid == 0) rank = 3;
        else if (pid == 3 && eid == 0) rank = 2;
        else if (pid == 1 && eid == 0) rank = 1;
        if (rank > bestRank) { bestRank = rank; best = base + off; symbolCmap = (rank == 2); }
    }
    if (bestRank < 0) { error = "no usable character map"; return false; }
    uint16_t format = u16(best);
    auto add = [&](uint32_t c, uint32_t g) {
        if (g != 0 && g < numGlyphs_) cmap_.emplace(c, uint16_t(g));
    };
    if (format == 4) {
        std::size_t len = u16(best + 2);
        if (best + len > end) len = end - best;
        uint16_t segX2 = u16(best + 6);
        std::size_t ends = best + 14, starts = ends + segX2 + 2, deltas = starts + segX2, ranges = deltas + segX2;
        if (ranges + segX2 > best + len) { error = "character map segments run past their table"; return false; }
        for (std::size_t s = 0; s < segX2; s += 2) {
            uint16_t e = u16(ends + s), st = u16(starts + s), d = u16(deltas + s), ro = u16(ranges + s);
            if (st > e) continue;
            for (uint32_t c = st; c <= e && c != 0xFFFF; ++c) {
                uint32_t g;
                if (ro == 0) {
                    g = (c + d) & 0xFFFF;
                } else {
                    std::size_t at = ranges + s + ro + (c - st) * 2;
                    if (at + 2 > best + len) break;
                    g = u16(at);
                    if (g) g = (g + d) & 0xFFFF;
                }
                add(c, g);
            }
        }
    } else if (format == 12) {
        uint32_t groups = u32(best + 12);
        if (best + 16 > end || groups > (end - best - 16) / 12) { error = "character map groups run past their table"; return false; }
        for (uint32_t i = 0; i < groups; ++i) {
            std::size_t gr = best + 16 + std::size_t(i) * 12;
            uint32_t st = u32(gr), e = u32(gr + 4), g = u32(gr + 8);
            if (st > e || e > 0x10FFFF || e - st > 0x10000) continue;
            for (uint32_t c = st; c <= e; ++c) add(c, g + (c - st));
        }
    } else if (format == 0) {
        if (best + 262 > end) { error = "short character map"; return false; }
        for (uint32_t c = 0; c < 256; ++c) add(c, data_->at(best + 6 + c));
    } else if (format == 6) {
        uint16_t first = u16(best + 6), count = u16(best + 8);
        if (best + 10 + std::size_t(count) * 2 > end) { error = "short character map"; return false; }
        for (uint32_t i = 0; i < count; ++i) add(first + i, u16(best + 10 + i * 2));
    } else {
        error = "unsupported character map format";
        return false;
    }
    return true;
}

uint16_t SfntFace::advance(uint16_t glyph) const { return glyph < advances_.size() ? advances_[glyph] : 0; }

uint16_t SfntFace::glyphFor(uint32_t c) const {
    auto it = cmap_.find(c);
    if (it != cmap_.end()) return it->second;
    // Symbol faces map their characters into U+F000..U+F0FF.
    if (symbolCmap && c < 0x100) {
        it = cmap_.find(0xF000 + c);
        if (it != cmap_.end()) return it->second;
    }
    return 0;
}

const std::map<uint16_t, uint32_t>& SfntFace::reverseCmap() const {
    if (!reverseBuilt_) {
        for (const auto& kv : cmap_) {
            auto it = reverse_.find(kv.second);
            // Prefer the lowest BMP code point, but a real character over a
            // private-use one.
            bool pua = kv.first >= 0xE000 && kv.first <= 0xF8FF;
            if (it == reverse_.end()) reverse_[kv.second] = kv.first;
            else if (!pua && it->second >= 0xE000 && it->second <= 0xF8FF) it->second = kv.first;
        }
        reverseBuilt_ = true;
    }
    return reverse_;
}

bool SfntFace::glyphData(uint16_t glyph, uint32_t& offset, uint32_t& length) const {
    if (cff_ || glyph >= numGlyphs_) return false;
    const SfntTable* loca = table("loca");
    const SfntTable* glyf = table("glyf");
    uint32_t a, b;
    if (indexToLocFormat_) {
        a = u32(loca->offset + std::size_t(glyph) * 4);
        b = u32(loca->offset + std::size_t(glyph) * 4 + 4);
    } else {
        a = uint32_t(u16(loca->offset + std::size_t(glyph) * 2)) * 2;
        b = uint32_t(u16(loca->offset + std::size_t(glyph) * 2 + 2)) * 2;
    }
    if (a > b || b > glyf->length) return false;
    offset = glyf->offset + a;
    length = b - a;
    return true;
}

}  // namespace quillkit
