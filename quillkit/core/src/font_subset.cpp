#include "font_subset.h"

#include <cstring>
#include <string>

namespace quillkit {
namespace {

uint16_t rd16(const std::vector<uint8_t>& d, std::size_t at) {
    return at + 2 <= d.size() ? static_cast<uint16_t>(d[at] << 8 | d[at + 1]) : 0;
}
void put16(std::vector<uint8_t>& v, uint16_t x) { v.push_back(uint8_t(x >> 8)); v.push_back(uint8_t(x)); }
void put32(std::vector<uint8_t>& v, uint32_t x) { put16(v, uint16_t(x >> 16)); put16(v, uint16_t(x)); }
void set32(std::vector<uint8_t>& v, std::size_t at, uint32_t x) {
    v[at] = uint8_t(x >> 24); v[at + 1] = uint8_t(x >> 16); v[at + 2] = uint8_t(x >> 8); v[at + 3] = uint8_t(x);
}
uint32_t checksum(const std::vector<uint8_t>& v, std::size_t at, std::size_t len) {
    uint32_t sum = 0;
    for (std::size_t i = 0; i < len; i += 4) {
        uint32_t w = 0;
        for (std::size_t k = 0; k < 4; ++k) w = w << 8 | (i + k < len ? v[at + i + k] : 0);
        sum += w;
    }
    return sum;
}

}  // namespace

void addCompositeComponents(const SfntFace& face, std::set<uint16_t>& glyphs) {
    const std::vector<uint8_t>& d = face.data();
    std::vector<uint16_t> todo(glyphs.begin(), glyphs.end());
    int guard = 0;
    while (!todo.empty() && ++guard < 100000) {
        uint16_t g = todo.back();
        todo.pop_back();
        uint32_t off, len;
        if (!face.glyphData(g, off, len) || len < 10) continue;
        if (int16_t(rd16(d, off)) >= 0) continue;   // simple glyph
        std::size_t p = off + 10, end = off + len;
        for (int n = 0; n < 1000 && p + 4 <= end; ++n) {
            uint16_t flags = rd16(d, p), comp = rd16(d, p + 2);
            p += 4 + ((flags & 1) ? 4 : 2);
            if (flags & 8) p += 2;
            else if (flags & 0x40) p += 4;
            else if (flags & 0x80) p += 8;
            if (comp < face.numGlyphs() && glyphs.insert(comp).second) todo.push_back(comp);
            if (!(flags & 0x20)) break;
        }
    }
}

std::vector<uint8_t> subsetTrueType(const SfntFace& face, const std::set<uint16_t>& used) {
    if (face.isCff()) return {};
    const std::vector<uint8_t>& d = face.data();
    std::set<uint16_t> glyphs = used;
    glyphs.insert(0);   // .notdef
    addCompositeComponents(face, glyphs);

    // New glyf and long loca.
    std::vector<uint8_t> glyf, loca;
    for (uint32_t g = 0; g < face.numGlyphs(); ++g) {
        put32(loca, uint32_t(glyf.size()));
        uint32_t off, len;
        if (glyphs.count(uint16_t(g)) && face.glyphData(uint16_t(g), off, len) && len > 0) {
            glyf.insert(glyf.end(), d.begin() + off, d.begin() + off + len);
            while (glyf.size() % 4) glyf.push_back(0);
        }
    }
    put32(loca, uint32_t(glyf.size()));

    struct Out { std::string tag; std::vector<uint8_t> bytes; };
    std::vector<Out> tables;
    auto copy = [&](const char* tag) {
        const SfntTable* t = face.table(tag);
        if (!t) return;
        tables.push_back({tag, std::vector<uint8_t>(d.begin() + t->offset, d.begin() + t->offset + t->length)});
    };
    copy("OS/2");
    copy("cvt ");
    copy("fpgm");
    tables.push_back({"glyf", std::move(glyf)});
    copy("head");
    copy("hhea");
    copy("hmtx");
    tables.push_back({"loca", std::move(loca)});
    copy("maxp");
    copy("prep");
    std::size_t headIndex = 0;
    for (std::size_t i = 0; i < tables.size(); ++i) {
        if (tables[i].tag == "head") {
            headIndex = i;
            std::vector<uint8_t>& h = tables[i].bytes;
            if (h.size() < 54) return {};
            set32(h, 8, 0);          // checkSumAdjustment, set below
            h[50] = 0; h[51] = 1;    // long loca
        }
    }

    std::vector<uint8_t> out;
    uint16_t n = uint16_t(tables.size());
    uint16_t pow2 = 1, log2 = 0;
    while (pow2 * 2 <= n) { pow2 *= 2; ++log2; }
    put32(out, 0x00010000);
    put16(out, n);
    put16(out, uint16_t(pow2 * 16));
    put16(out, log2);
    put16(out, uint16_t(n * 16 - pow2 * 16));
    std::size_t dirAt = out.size();
    out.resize(out.size() + std::size_t(n) * 16);
    std::size_t headAt = 0;
    for (std::size_t i = 0; i < tables.size(); ++i) {
        std::size_t at = out.size();
        if (i == headIndex) headAt = at;
        out.insert(out.end(), tables[i].bytes.begin(), tables[i].bytes.end());
        while (out.size() % 4) out.push_back(0);
        std::size_t e = dirAt + i * 16;
        std::memcpy(&out[e], tables[i].tag.data(), 4);
        set32(out, e + 4, checksum(out, at, tables[i].bytes.size()));
        set32(out, e + 8, uint32_t(at));
        set32(out, e + 12, uint32_t(tables[i].bytes.size()));
    }
    set32(out, headAt + 8, 0xB1B0AFBA - checksum(out, 0, out.size()));
    return out;
}

}  // namespace quillkit
