// Fonts and text: the font parser on damaged data, subsets that parse back,
// and text records that come out of the PDF as words (pdftotext), with the
// fonts listed as embedded subsets with ToUnicode (pdffonts, qpdf).
#include <gtest/gtest.h>

#include <cstdio>
#include <algorithm>
#include <fstream>
#include <set>

#include "emf_builder.h"
#include "font_cff.h"
#include "font_sfnt.h"
#include "font_subset.h"
#include "quillkit/document.h"
#include "quillkit/text_decoder.h"
#include "text_codepage.h"
#include "text_symbols.h"

using namespace quillkit;
using qktest::EmfBuilder;

namespace {

std::vector<uint8_t> systemFont() {
    FontRequest r;
    r.faceName = u"Arial";
    FontFile f;
    if (!defaultFontProvider()->find(r, f)) return {};
    return f.data;
}

std::string run(const std::string& cmd) {
    std::string out;
    FILE* p = popen((cmd + " 2>&1").c_str(), "r");
    if (!p) return out;
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
    return out;
}

void putU16(std::vector<uint8_t>& v, const std::u16string& s) {
    for (char16_t c : s) { v.push_back(uint8_t(c)); v.push_back(uint8_t(c >> 8)); }
    if (s.size() % 2) { v.push_back(0); v.push_back(0); }
}

// EMR_EXTCREATEFONTINDIRECTW with a LOGFONTW.
std::vector<uint8_t> fontRecord(uint32_t index, int32_t height, int32_t weight, bool italic, const std::u16string& face,
                                uint8_t charset = 1) {
    std::vector<uint8_t> v;
    EmfBuilder::put32(v, index);
    for (int32_t x : {height, 0, 0, 0, weight}) EmfBuilder::put32(v, uint32_t(x));
    v.push_back(italic); v.push_back(0); v.push_back(0); v.push_back(charset);
    v.push_back(0); v.push_back(0); v.push_back(0); v.push_back(0);
    std::u16string name = face;
    name.resize(32, u'\0');
    for (char16_t c : name) { v.push_back(uint8_t(c)); v.push_back(uint8_t(c >> 8)); }
    return v;
}

// The same with the LOGFONT's width and escapement (tenths of a degree).
std::vector<uint8_t> fontRecordEx(uint32_t index, int32_t height, int32_t width, int32_t escapement,
                                  const std::u16string& face, uint8_t charset = 1) {
    std::vector<uint8_t> v = fontRecord(index, height, 400, false, face, charset);
    for (int k = 0; k < 4; ++k) {
        v[8 + k] = uint8_t(uint32_t(width) >> (8 * k));
        v[12 + k] = v[16 + k] = uint8_t(uint32_t(escapement) >> (8 * k));
    }
    return v;
}

// EMR_EXTTEXTOUTW / A at (x, y), optional advances.
std::vector<uint8_t> textRecord(int32_t x, int32_t y, const std::u16string& text, bool wide, uint32_t options = 0,
                                const std::vector<int32_t>& dx = {}) {
    std::vector<uint8_t> v;
    for (int k = 0; k < 4; ++k) EmfBuilder::put32(v, 0);   // bounds
    EmfBuilder::put32(v, 1);                                 // GM_COMPATIBLE
    EmfBuilder::putFloat(v, 1); EmfBuilder::putFloat(v, 1);
    uint32_t n = uint32_t(text.size());
    uint32_t strBytes = wide ? ((n * 2 + 3) & ~3u) : ((n + 3) & ~3u);
    uint32_t offString = 36 + 40;   // record header, bounds, mode, scales, EMRTEXT
    EmfBuilder::put32(v, uint32_t(x)); EmfBuilder::put32(v, uint32_t(y));
    EmfBuilder::put32(v, n); EmfBuilder::put32(v, offString); EmfBuilder::put32(v, options);
    for (int k = 0; k < 4; ++k) EmfBuilder::put32(v, 0);   // rectangle
    EmfBuilder::put32(v, dx.empty() ? 0 : offString + strBytes);
    if (wide) putU16(v, text);
    else {
        for (char16_t c : text) v.push_back(uint8_t(c));
        while (v.size() % 4) v.push_back(0);
    }
    for (int32_t d : dx) EmfBuilder::put32(v, uint32_t(d));
    return v;
}

std::string convert(const std::string& name, const std::vector<uint8_t>& emf) {
    std::string path = qktest::tempPath(name);
    Document d;
    DocumentSettings s;
    EXPECT_EQ(d.open(path, s), Status::Ok);
    EXPECT_EQ(d.beginPage(600, 600), Status::Ok);
    EXPECT_EQ(d.playEmf(emf.data(), emf.size(), Placement()), Status::Ok) << d.lastError();
    EXPECT_EQ(d.finish(), Status::Ok) << d.lastError();
    return path;
}

}  // namespace

TEST(FontParser, RejectsTruncatedAndGarbageDataWithoutReadingOutside) {
    std::vector<uint8_t> font = systemFont();
    ASSERT_FALSE(font.empty()) << "no system font found";
    SfntFace whole;
    std::string err;
    ASSERT_TRUE(whole.parse(font, 0, err)) << err;
    EXPECT_GT(whole.numGlyphs(), 100);
    EXPECT_NE(whole.glyphFor('A'), 0);
    EXPECT_EQ(whole.reverseCmap().at(whole.glyphFor('A')), uint32_t('A'));
    // Every prefix length on a coarse grid, and byte noise over the tables:
    // parsing may fail but never reads out of bounds (checked under ASan).
    for (std::size_t n = 0; n < font.size(); n += font.size() / 97 + 1) {
        std::vector<uint8_t> cut(font.begin(), font.begin() + n);
        SfntFace f;
        if (f.parse(cut, 0, err)) {
            for (uint32_t c = 0x20; c < 0x80; ++c) f.advance(f.glyphFor(c));
            subsetTrueType(f, {f.glyphFor('A')});
        }
    }
    uint32_t seed = 12345;
    for (int round = 0; round < 40; ++round) {
        std::vector<uint8_t> noisy = font;
        for (int k = 0; k < 200; ++k) {
            seed = seed * 1103515245 + 12345;
            std::size_t at = (seed >> 8) % std::min<std::size_t>(noisy.size(), 4096 + round * 20000);
            noisy[at] = uint8_t(seed >> 3);
        }
        SfntFace f;
        if (f.parse(noisy, 0, err)) subsetTrueType(f, {1, 2, 3, f.glyphFor('g')});
    }
    std::vector<uint8_t> garbage(5000, 0xFF);
    SfntFace g;
    EXPECT_FALSE(g.parse(garbage, 0, err));
    std::vector<uint8_t> ttc = {'t', 't', 'c', 'f', 0, 1, 0, 0, 0, 0, 0, 9};
    EXPECT_FALSE(g.parse(ttc, 3, err));
}

TEST(FontSubset, KeepsUsedGlyphsAndParsesBack) {
    std::vector<uint8_t> font = systemFont();
    ASSERT_FALSE(font.empty());
    SfntFace face;
    std::string err;
    ASSERT_TRUE(face.parse(font, 0, err));
    uint16_t a = face.glyphFor('A'), aacute = face.glyphFor(0xE1);
    std::vector<uint8_t> sub = subsetTrueType(face, {a, aacute});
    ASSERT_FALSE(sub.empty());
    EXPECT_LT(sub.size(), font.size() / 3);
    SfntFace back;
    ASSERT_TRUE(back.parse(sub, 0, err, false)) << err;
    EXPECT_EQ(back.numGlyphs(), face.numGlyphs());   // glyph numbers kept
    uint32_t off, len, offOrig, lenOrig;
    for (uint16_t g : {a, aacute}) {
        ASSERT_TRUE(face.glyphData(g, offOrig, lenOrig));
        ASSERT_TRUE(back.glyphData(g, off, len));
        EXPECT_GT(len, 0u);
        EXPECT_TRUE(std::equal(font.begin() + offOrig, font.begin() + offOrig + lenOrig, sub.begin() + off));
        EXPECT_EQ(back.advance(g), face.advance(g));
    }
    // A glyph not asked for is empty, unless a composite glyph uses it.
    std::set<uint16_t> kept{a, aacute};
    addCompositeComponents(face, kept);
    uint16_t other = face.glyphFor('Z');
    ASSERT_TRUE(back.glyphData(other, off, len));
    if (!kept.count(other)) EXPECT_EQ(len, 0u);
}

namespace {

// An OpenType face with CFF outlines from the system (the URW faces of
// fonts-urw-base35); empty when there is none.
std::vector<uint8_t> cffFont(SfntFace& face) {
    static std::vector<uint8_t> data;
    if (data.empty()) {
        FontRequest r;
        r.faceName = u"Nimbus Sans";
        FontFile f;
        if (defaultFontProvider()->find(r, f) && f.familyName == "nimbus sans") data = f.data;
    }
    std::string err;
    if (data.empty() || !face.parse(data, 0, err) || !face.isCff()) return {};
    return data;
}

}  // namespace

TEST(CffFonts, SubsetKeepsTheUsedGlyphsAndRejectsDamagedData) {
    SfntFace face;
    std::vector<uint8_t> font = cffFont(face);
    if (font.empty()) GTEST_SKIP() << "no OpenType CFF face on this system (fonts-urw-base35)";
    const SfntTable* t = face.table("CFF ");
    ASSERT_NE(t, nullptr);
    const uint8_t* cff = font.data() + t->offset;
    std::string err;
    ASSERT_TRUE(checkCff(cff, t->length, err)) << err;
    std::set<uint16_t> used{face.glyphFor('A'), face.glyphFor('g'), face.glyphFor(0xE9)};
    std::vector<uint8_t> sub = subsetCff(cff, t->length, used);
    ASSERT_FALSE(sub.empty());
    EXPECT_TRUE(checkCff(sub.data(), sub.size(), err)) << err;
    EXPECT_LT(sub.size(), std::size_t(t->length));
    // Subsetting its own subset changes nothing: the kept charstrings and
    // every offset came through intact.
    EXPECT_EQ(subsetCff(sub.data(), sub.size(), used), sub);
    // Every cut of the data and damaged bytes are refused or parsed within
    // their bounds, never read past.
    for (std::size_t n = 0; n < t->length; n += std::max<std::size_t>(1, t->length / 300)) {
        std::vector<uint8_t> cut(cff, cff + n);
        if (checkCff(cut.data(), cut.size(), err)) (void)subsetCff(cut.data(), cut.size(), used);
    }
    std::vector<uint8_t> bad(cff, cff + t->length);
    for (std::size_t i = 0; i < 400 && i < bad.size(); ++i) {
        std::vector<uint8_t> b = bad;
        b[i] ^= 0xFF;
        if (checkCff(b.data(), b.size(), err)) (void)subsetCff(b.data(), b.size(), used);
    }
    EXPECT_FALSE(checkCff(cff, 3, err));
}

namespace {

void be16(std::vector<uint8_t>& v, uint32_t x) { v.push_back(uint8_t(x >> 8)); v.push_back(uint8_t(x)); }
void be32(std::vector<uint8_t>& v, uint32_t x) { be16(v, x >> 16); be16(v, x & 0xFFFF); }
void int5(std::vector<uint8_t>& v, int32_t x) { v.push_back(29); be32(v, uint32_t(x)); }
void cs16(std::vector<uint8_t>& v, int x) { v.push_back(28); be16(v, uint32_t(x) & 0xFFFF); }
std::vector<uint8_t> cffIndex(const std::vector<std::vector<uint8_t>>& items) {
    std::vector<uint8_t> v;
    be16(v, uint32_t(items.size()));
    if (items.empty()) return v;
    v.push_back(2);
    uint32_t o = 1;
    be16(v, o);
    for (const auto& i : items) be16(v, o += uint32_t(i.size()));
    for (const auto& i : items) v.insert(v.end(), i.begin(), i.end());
    return v;
}

// A CID-keyed CFF font of three glyphs (.notdef, a square, a triangle drawn
// through a local subroutine) whose charset gives them CIDs 5 and 9, not
// their glyph numbers, in an OpenType file mapping 'A' and 'B' to them.
std::vector<uint8_t> cidKeyedFont() {
    std::vector<uint8_t> square, triangle, subr;
    cs16(square, 100); cs16(square, 100); square.push_back(21);   // rmoveto
    for (int x : {400, 0, 0, 400, -400, 0}) cs16(square, x);
    square.push_back(5); square.push_back(14);                     // rlineto endchar
    cs16(triangle, 100); cs16(triangle, 100); triangle.push_back(21);
    cs16(triangle, -107); triangle.push_back(10); triangle.push_back(14);   // callsubr 0, endchar
    for (int x : {400, 0, -200, 400}) cs16(subr, x);
    subr.push_back(5); subr.push_back(11);                         // rlineto return
    std::vector<uint8_t> name = cffIndex({{'Q', 'k', 'C', 'i', 'd'}});
    std::vector<uint8_t> strings = cffIndex({{'A', 'd', 'o', 'b', 'e'}, {'I', 'd', 'e', 'n', 't', 'i', 't', 'y'}});
    std::vector<uint8_t> gsubrs = cffIndex({});
    std::vector<uint8_t> charset{0, 0, 5, 0, 9};
    std::vector<uint8_t> fdSelect{0, 0, 0, 0};
    std::vector<uint8_t> charStrings = cffIndex({{14}, square, triangle});
    std::vector<uint8_t> priv;
    int5(priv, 6); priv.push_back(19);                             // Subrs right after
    std::vector<uint8_t> subrs = cffIndex({subr});
    auto top = [&](int32_t at0) {
        std::vector<uint8_t> t;
        int5(t, 391); int5(t, 392); int5(t, 0); t.push_back(12); t.push_back(30);   // ROS
        int5(t, 3); t.push_back(12); t.push_back(34);                                  // CIDCount
        int32_t at = at0;
        int5(t, at); t.push_back(15); at += int32_t(charset.size());                  // charset
        int5(t, at); t.push_back(12); t.push_back(37); at += int32_t(fdSelect.size()); // FDSelect
        int5(t, at); t.push_back(17); at += int32_t(charStrings.size());              // CharStrings
        int5(t, at); t.push_back(12); t.push_back(36);                                 // FDArray
        return t;
    };
    std::size_t topSize = cffIndex({top(0)}).size();
    int32_t after = int32_t(4 + name.size() + topSize + strings.size() + gsubrs.size());
    int32_t fdArrayAt = after + int32_t(charset.size() + fdSelect.size() + charStrings.size());
    auto fdArray = [&](int32_t privAt) {
        std::vector<uint8_t> fd;
        int5(fd, int32_t(priv.size())); int5(fd, privAt); fd.push_back(18);
        return cffIndex({fd});
    };
    int32_t privAt = fdArrayAt + int32_t(fdArray(0).size());
    std::vector<uint8_t> cff{1, 0, 4, 4};
    for (const auto* part : {&name}) cff.insert(cff.end(), part->begin(), part->end());
    std::vector<uint8_t> topIndex = cffIndex({top(after)}), fa = fdArray(privAt);
    for (const auto* part : {&topIndex, &strings, &gsubrs, &charset, &fdSelect, &charStrings, &fa, &priv, &subrs})
        cff.insert(cff.end(), part->begin(), part->end());

    std::vector<uint8_t> head(54, 0), hhea(36, 0), maxp, hmtx, cmap;
    head[2] = 0; head[3] = 1;                      // version 1.0
    head[12] = 0x5F; head[13] = 0x0F; head[14] = 0x3C; head[15] = 0xF5;
    head[18] = 0x03; head[19] = 0xE8;              // 1000 units per em
    head[40] = 0x02; head[41] = 0x58; head[42] = 0x02; head[43] = 0x58;   // xMax, yMax 600
    hhea[1] = 1; hhea[4] = 0x03; hhea[5] = 0x20;   // ascender 800
    hhea[6] = 0xFF; hhea[7] = 0x38;                // descender -200
    hhea[35] = 3;                                  // three advances
    be32(maxp, 0x00005000); be16(maxp, 3);
    for (int g = 0; g < 3; ++g) { be16(hmtx, 600); be16(hmtx, 0); }
    be16(cmap, 0); be16(cmap, 1); be16(cmap, 3); be16(cmap, 1); be32(cmap, 12);
    for (uint32_t x : {4u, 32u, 0u, 4u, 4u, 1u, 0u, 0x42u, 0xFFFFu, 0u, 0x41u, 0xFFFFu, (1u - 0x41u) & 0xFFFF, 1u, 0u, 0u})
        be16(cmap, x);
    std::vector<std::pair<std::string, std::vector<uint8_t>*>> tables{
        {"CFF ", &cff}, {"cmap", &cmap}, {"head", &head}, {"hhea", &hhea}, {"hmtx", &hmtx}, {"maxp", &maxp}};
    std::vector<uint8_t> font;
    be32(font, 0x4F54544F); be16(font, uint32_t(tables.size())); be16(font, 64); be16(font, 2); be16(font, 32);
    uint32_t at = uint32_t(12 + 16 * tables.size());
    for (auto& t : tables) {
        font.insert(font.end(), t.first.begin(), t.first.end());
        be32(font, 0); be32(font, at); be32(font, uint32_t(t.second->size()));
        at += uint32_t((t.second->size() + 3) & ~std::size_t(3));
    }
    for (auto& t : tables) {
        font.insert(font.end(), t.second->begin(), t.second->end());
        while (font.size() % 4) font.push_back(0);
    }
    return font;
}

class OneFaceProvider : public FontProvider {
public:
    explicit OneFaceProvider(std::vector<uint8_t> data) : data_(std::move(data)) {}
    bool find(const FontRequest&, FontFile& out) override {
        out.data = data_;
        out.familyName = "QkCid";
        return true;
    }

private:
    std::vector<uint8_t> data_;
};

}  // namespace

TEST(CffFonts, CidKeyedFontsGetAnIdentityCharsetAndDraw) {
    std::vector<uint8_t> font = cidKeyedFont();
    SfntFace face;
    std::string err;
    ASSERT_TRUE(face.parse(font, 0, err)) << err;
    const SfntTable* t = face.table("CFF ");
    ASSERT_NE(t, nullptr);
    ASSERT_TRUE(checkCff(font.data() + t->offset, t->length, err)) << err;
    std::vector<uint8_t> sub = subsetCff(font.data() + t->offset, t->length, {2});
    ASSERT_TRUE(checkCff(sub.data(), sub.size(), err)) << err;
    EXPECT_EQ(subsetCff(sub.data(), sub.size(), {2}), sub);   // stable: offsets and subroutines intact

    // Through a document: CIDs are the glyph numbers, so both glyphs draw.
    EmfBuilder b;
    b.raw(82, fontRecord(1, -200, 400, false, u"QkCid"));
    b.rec(37, {1});
    b.raw(84, textRecord(50, 300, u"AB", true));
    std::string path = qktest::tempPath("text_cid_cff.pdf");
    Document d;
    DocumentSettings s;
    s.fonts = std::make_shared<OneFaceProvider>(font);
    ASSERT_EQ(d.open(path, s), Status::Ok);
    ASSERT_EQ(d.beginPage(600, 600), Status::Ok);
    ASSERT_EQ(d.playEmf(b.bytes().data(), b.bytes().size(), Placement()), Status::Ok) << d.lastError();
    ASSERT_EQ(d.finish(), Status::Ok) << d.lastError();
    EXPECT_NE(run("pdftotext " + path + " -").find("AB"), std::string::npos);
    EXPECT_NE(run("pdffonts " + path).find("CID Type 0C"), std::string::npos);
    EXPECT_NE(run("qpdf --check " + path).find("No syntax or stream encoding errors"), std::string::npos);
    std::string pgm = qktest::tempPath("text_cid_cff.pgm");
    std::string draw = run("mutool draw -q -c gray -r 72 -o " + pgm + " " + path);
    EXPECT_EQ(draw.find("error"), std::string::npos) << draw;
    std::ifstream in(pgm, std::ios::binary);
    std::string img((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The square and the triangle: about 0.16 + 0.08 of 200-unit em squared.
    long ink = std::count_if(img.begin() + std::min<std::size_t>(img.size(), 20), img.end(),
                             [](char c) { return static_cast<unsigned char>(c) < 128; });
    EXPECT_GT(ink, 4000) << ink;
}

TEST(CodePages, DecodeTheCharsetsBytes) {
    EXPECT_EQ(decodeAnsi(u"\x80\xe9", 0), u"\u20ac\u00e9");
    EXPECT_EQ(decodeAnsi(u"\xc0\xff", 204), u"\u0410\u044f");
    EXPECT_EQ(decodeAnsi(u"\xe0", 177), u"\u05d0");
    EXPECT_EQ(decodeAnsi(u"\xb9", 238), u"\u0105");
    EXPECT_EQ(decodeAnsi(u"\xe0\x41", 2), u"\xe0\x41");   // symbol: the font's own codes
}

namespace {

struct Decoded {
    std::u16string text;
    std::vector<int32_t> dx, dy;
};

Decoded decodeRun(const std::string& bytes, uint8_t charset, std::vector<int32_t> dx, std::vector<int32_t> dy = {},
                  TextDecoder* decoder = defaultTextDecoder().get()) {
    Decoded d{u"", std::move(dx), std::move(dy)};
    std::u16string raw;
    for (char c : bytes) raw += char16_t(static_cast<unsigned char>(c));
    decodeAnsiRun(raw, charset, decoder, d.text, d.dx, d.dy);
    return d;
}

// A decoder that takes more bytes than the text has, to see the run keep
// its length whatever a decoder does.
class GreedyDecoder : public TextDecoder {
public:
    bool decode(int, const uint8_t*, std::size_t n, std::vector<DecodedChar>& out) override {
        out.assign(n ? 1 : 0, DecodedChar{U'\u4E00', 2});
        return true;
    }
};

}  // namespace

TEST(CodePages, DoubleByteCharactersTakeTheAdvancesOfBothBytes) {
    if (!defaultTextDecoder()) GTEST_SKIP() << "no double-byte decoder on this platform";
    // Shift-JIS: two ideographs and a letter; five advances, one per byte.
    Decoded sj = decodeRun("\x93\xfa\x96\x7b" "A", 128, {10, 11, 12, 13, 5}, {1, 2, 3, 4, 0});
    EXPECT_EQ(sj.text, u"\u65e5\u672cA");
    EXPECT_EQ(sj.dx, (std::vector<int32_t>{21, 25, 5}));
    EXPECT_EQ(sj.dy, (std::vector<int32_t>{3, 7, 0}));
    // Each charset's code page.
    EXPECT_EQ(decodeRun("\xb0\xa1", 129, {}).text, u"\uac00");       // Hangul (949)
    EXPECT_EQ(decodeRun("\x88\x61", 130, {}).text, u"\uac00");       // Johab (1361)
    EXPECT_EQ(decodeRun("\xc4\xe3", 134, {}).text, u"\u4f60");       // GB2312 (936)
    EXPECT_EQ(decodeRun("\xa4\x40", 136, {}).text, u"\u4e00");       // Big5 (950)
    EXPECT_EQ(decodeRun("\xb1", 128, {}).text, u"\uff71");            // half-width katakana: one byte
    // A lead byte with a trail byte the code page lacks, and one at the end:
    // U+FFFD for the lead byte alone, the bytes after it still read.
    Decoded bad = decodeRun("\x81\x20x\x82", 128, {1, 2, 3, 4});
    EXPECT_EQ(bad.text, u"\ufffd x\ufffd");
    EXPECT_EQ(bad.dx, (std::vector<int32_t>{1, 2, 3, 4}));
    // Single-byte charsets are unchanged: one unit and one advance per byte.
    Decoded latin = decodeRun("\xe9t\xe9", 0, {7, 8, 9});
    EXPECT_EQ(latin.text, u"\u00e9t\u00e9");
    EXPECT_EQ(latin.dx, (std::vector<int32_t>{7, 8, 9}));
}

TEST(CodePages, DoubleByteTextWithoutAUsableDecoderKeepsItsPlaces) {
    // No decoder: the ASCII bytes stay, the others are U+FFFD, byte by byte.
    Decoded none = decodeRun("a\x93\xfa" "b", 128, {1, 2, 3, 4}, {}, nullptr);
    EXPECT_EQ(none.text, u"a\ufffd\ufffdb");
    EXPECT_EQ(none.dx, (std::vector<int32_t>{1, 2, 3, 4}));
    // A decoder claiming more bytes than there are cannot shorten the run.
    GreedyDecoder greedy;
    Decoded g = decodeRun("abc", 136, {1, 2, 3}, {}, &greedy);
    EXPECT_EQ(g.text, u"\u4e00c");
    EXPECT_EQ(g.dx, (std::vector<int32_t>{3, 3}));
    Decoded one = decodeRun("\xa4", 136, {9}, {}, &greedy);
    EXPECT_EQ(one.text, u"\u4e00");
    EXPECT_EQ(one.dx, (std::vector<int32_t>{9}));
}

TEST(TextOutput, WordsComeOutOfThePdfWithEmbeddedSubsets) {
    EmfBuilder b;
    b.raw(82, fontRecord(1, -40, 400, false, u"Arial"));
    b.rec(37, {1});                                              // SELECTOBJECT
    b.raw(84, textRecord(50, 100, u"Hello searchable world", true));
    b.raw(82, fontRecord(2, -30, 700, true, u"Times New Roman"));
    b.rec(37, {2});
    b.raw(83, textRecord(50, 200, u"Caf\xe9 \x80 na\xefve", false));   // 8-bit, code page 1252
    b.rec(22, {24});                                             // SETTEXTALIGN baseline
    // Advances as GDI gives them (whole pixels of the face's widths).
    std::u16string spaced = u"exact advances";
    std::vector<uint8_t> font = systemFont();
    SfntFace face;
    std::string err;
    ASSERT_TRUE(face.parse(font, 0, err));
    std::vector<int32_t> dx;
    for (char16_t c : spaced) dx.push_back(int32_t(face.advance(face.glyphFor(c)) * 40.0 / face.unitsPerEm() + 0.5));
    b.rec(37, {1});
    b.raw(84, textRecord(50, 300, spaced, true, 0, dx));
    b.raw(84, textRecord(50, 400, u"\U0001D400 math", true));   // surrogate pair
    std::string pdf = convert("text_words.pdf", b.bytes());
    std::string text = run("pdftotext -layout " + pdf + " -");
    EXPECT_NE(text.find("Hello searchable world"), std::string::npos) << text;
    EXPECT_NE(text.find("Caf\xc3\xa9 \xe2\x82\xac na\xc3\xafve"), std::string::npos) << text;
    EXPECT_NE(text.find("exact advances"), std::string::npos) << text;
    std::string fonts = run("pdffonts " + pdf);
    EXPECT_NE(fonts.find("LiberationSans"), std::string::npos) << fonts;
    EXPECT_NE(fonts.find("LiberationSerif-BoldItalic"), std::string::npos) << fonts;
    EXPECT_EQ(fonts.find(" no "), std::string::npos) << fonts;   // embedded, subset, ToUnicode
    EXPECT_NE(run("qpdf --check " + pdf).find("No syntax or stream encoding errors"), std::string::npos);
}

// SMALLTEXTOUT with 8-bit characters holds bytes of the font's code page,
// as EXTTEXTOUTA does: Cyrillic bytes of code page 1251 come out as Cyrillic.
TEST(TextOutput, SmallTextOutBytesAreReadInTheCharsetsCodePage) {
    EmfBuilder b;
    b.raw(82, fontRecord(1, -40, 400, false, u"Arial", 204));   // RUSSIAN_CHARSET
    b.rec(37, {1});
    std::vector<uint8_t> v;
    const std::string bytes = "\xcf\xf0\xe8\xe2\xe5\xf2";   // "Privet" in code page 1251
    for (int32_t x : {50, 100}) EmfBuilder::put32(v, uint32_t(x));
    EmfBuilder::put32(v, uint32_t(bytes.size()));
    EmfBuilder::put32(v, 0x100 | 0x200);                       // ETO_NO_RECT | ETO_SMALL_CHARS
    EmfBuilder::put32(v, 1);                                   // GM_COMPATIBLE
    EmfBuilder::putFloat(v, 1); EmfBuilder::putFloat(v, 1);
    for (char c : bytes) v.push_back(uint8_t(c));
    while (v.size() % 4) v.push_back(0);
    b.raw(108, v);                                             // EMR_SMALLTEXTOUT
    std::string text = run("pdftotext " + convert("text_small.pdf", b.bytes()) + " -");
    EXPECT_NE(text.find("\xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82"), std::string::npos) << text;
}

TEST(TextOutput, CffFacesAreEmbeddedAsCidFontType0) {
    SfntFace face;
    std::vector<uint8_t> font = cffFont(face);
    if (font.empty()) GTEST_SKIP() << "no OpenType CFF face on this system (fonts-urw-base35)";
    EmfBuilder b;
    b.raw(82, fontRecord(1, -40, 400, false, u"Nimbus Sans"));
    b.rec(37, {1});
    b.raw(84, textRecord(50, 100, u"Outlines in CFF", true));
    std::u16string glyphs;
    for (char16_t c : std::u16string(u"Glyph")) glyphs += char16_t(face.glyphFor(c));
    b.raw(84, textRecord(50, 200, glyphs, true, 0x10));   // glyph-index text through the face's cmap
    std::string pdf = convert("text_cff.pdf", b.bytes());
    std::string text = run("pdftotext " + pdf + " -");
    EXPECT_NE(text.find("Outlines in CFF"), std::string::npos) << text;
    EXPECT_NE(text.find("Glyph"), std::string::npos) << text;
    std::string fonts = run("pdffonts " + pdf);
    EXPECT_NE(fonts.find("NimbusSans-Regular"), std::string::npos) << fonts;
    EXPECT_NE(fonts.find("CID Type 0C"), std::string::npos) << fonts;
    EXPECT_EQ(fonts.find(" no "), std::string::npos) << fonts;
    EXPECT_EQ(std::count(fonts.begin(), fonts.end(), '\n'), 3) << fonts;   // the CFF face, no fallback
    EXPECT_NE(run("qpdf --check " + pdf).find("No syntax or stream encoding errors"), std::string::npos);
    // The glyphs draw: mutool reads the font program without complaint and
    // the text leaves ink on the page.
    std::string pgm = qktest::tempPath("text_cff.pgm");
    std::string draw = run("mutool draw -q -c gray -r 36 -o " + pgm + " " + pdf);
    EXPECT_EQ(draw.find("error"), std::string::npos) << draw;
    std::ifstream in(pgm, std::ios::binary);
    std::string img((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_GT(std::count_if(img.begin() + std::min<std::size_t>(img.size(), 20), img.end(),
                            [](char c) { return static_cast<unsigned char>(c) < 128; }), 50);
}

TEST(TextOutput, DoubleByteAnsiTextIsDecodedAndPlacedPerCharacter) {
    if (!defaultTextDecoder()) GTEST_SKIP() << "no double-byte decoder on this platform";
    EmfBuilder b;
    b.raw(82, fontRecord(1, -40, 400, false, u"MS Gothic", 128));   // SHIFTJIS_CHARSET
    b.rec(37, {1});
    // "Nihongo" and, after a broken pair, a word that must not be lost.
    std::u16string bytes;
    for (unsigned char c : std::string("\x93\xfa\x96\x7b\x8c\xea \x81\x20tail"))
        bytes += char16_t(c);
    b.raw(83, textRecord(50, 100, bytes, false, 0, {20, 20, 20, 20, 20, 20, 10, 20, 10, 10, 10, 10, 10}));
    b.raw(82, fontRecord(2, -40, 400, false, u"SimSun", 134));       // GB2312_CHARSET
    b.rec(37, {2});
    bytes.clear();
    for (unsigned char c : std::string("\xc4\xe3\xba\xc3")) bytes += char16_t(c);
    b.raw(83, textRecord(50, 200, bytes, false));
    std::string pdf = convert("text_dbcs.pdf", b.bytes());
    std::string text = run("pdftotext " + pdf + " -");
    EXPECT_NE(text.find("\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e"), std::string::npos) << text;   // 日本語
    EXPECT_NE(text.find("tail"), std::string::npos) << text;
    EXPECT_NE(text.find("\xe4\xbd\xa0\xe5\xa5\xbd"), std::string::npos) << text;               // 你好
    // The ideographs sit 40 units apart (the sums of their bytes' advances):
    // the last ends where "tail" starts after the space and the broken pair.
    std::string bbox = run("pdftotext -bbox " + pdf + " -");
    auto xOf = [&](const std::string& word) {
        std::size_t at = bbox.find(">" + word + "<");
        if (at == std::string::npos) return -1.0;
        std::size_t x = bbox.rfind("xMin=\"", at);
        return std::atof(bbox.c_str() + x + 6);
    };
    double tail = xOf("tail"), first = xOf("\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e");
    ASSERT_GT(tail, 0) << bbox;
    ASSERT_GT(first, 0) << bbox;
    EXPECT_NEAR(tail - first, 120 + 10 + 20 + 10, 2) << bbox;
}

TEST(TextOutput, GlyphIndexTextMapsBackThroughTheCmap) {
    std::vector<uint8_t> font = systemFont();
    SfntFace face;
    std::string err;
    ASSERT_TRUE(face.parse(font, 0, err));
    std::u16string glyphs;
    for (char16_t c : std::u16string(u"Glyph")) glyphs += char16_t(face.glyphFor(c));
    EmfBuilder b;
    b.raw(82, fontRecord(1, -40, 400, false, u"Liberation Sans"));
    b.rec(37, {1});
    b.raw(84, textRecord(50, 100, glyphs, true, 0x10));   // ETO_GLYPH_INDEX
    std::string pdf = convert("text_glyphs.pdf", b.bytes());
    EXPECT_NE(run("pdftotext " + pdf + " -").find("Glyph"), std::string::npos);
}

TEST(TextOutput, OneFontObjectPerFaceAcrossPages) {
    EmfBuilder b;
    b.raw(82, fontRecord(1, -40, 400, false, u"Arial"));
    b.rec(37, {1});
    b.raw(84, textRecord(50, 100, u"page", true));
    auto emf = b.bytes();
    std::string path = qktest::tempPath("text_pages.pdf");
    Document d;
    DocumentSettings s;
    ASSERT_EQ(d.open(path, s), Status::Ok);
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(d.beginPage(600, 600), Status::Ok);
        ASSERT_EQ(d.playEmf(emf.data(), emf.size(), Placement()), Status::Ok);
        ASSERT_EQ(d.endPage(), Status::Ok);
    }
    ASSERT_EQ(d.finish(), Status::Ok);
    std::string fonts = run("pdffonts " + path);
    EXPECT_EQ(std::count(fonts.begin(), fonts.end(), '\n'), 3) << fonts;   // header, rule, one font
}

TEST(SymbolFaces, CodesMapToTheUnicodePicturesTheyShow) {
    EXPECT_EQ(symbolSetForFace(u"Symbol"), SymbolSet::symbol);
    EXPECT_EQ(symbolSetForFace(u"WingDings"), SymbolSet::wingdings);
    EXPECT_EQ(symbolSetForFace(u"Wingdings 2"), SymbolSet::wingdings2);
    EXPECT_EQ(symbolSetForFace(u"Arial"), SymbolSet::none);
    EXPECT_EQ(symbolSetForFace(u"Symbolic Sans"), SymbolSet::none);
    // Symbol: Greek and mathematics, at the 8-bit codes and at U+F0xx.
    EXPECT_EQ(symbolToUnicode(SymbolSet::symbol, 'a'), 0x03B1u);
    EXPECT_EQ(symbolToUnicode(SymbolSet::symbol, 0xF057), 0x03A9u);
    EXPECT_EQ(symbolToUnicode(SymbolSet::symbol, 0xB3), 0x2265u);
    EXPECT_EQ(symbolToUnicode(SymbolSet::symbol, 0xFE), 0x23ADu);
    // Wingdings: pictures, not letters.
    EXPECT_EQ(symbolToUnicode(SymbolSet::wingdings, '0'), 0x1F4C1u);
    EXPECT_EQ(symbolToUnicode(SymbolSet::wingdings, 'J'), 0x263Au);
    EXPECT_EQ(symbolToUnicode(SymbolSet::wingdings, 0xF0FC), 0x2713u);
    EXPECT_EQ(symbolToUnicode(SymbolSet::wingdings, 0x8C), 0x2776u);
    // Wingdings 2 and 3: check marks and boxes, triangles and arrows.
    EXPECT_EQ(symbolToUnicode(SymbolSet::wingdings2, 'P'), 0x1F5F8u);
    EXPECT_EQ(symbolToUnicode(SymbolSet::wingdings2, 'R'), 0x2611u);
    EXPECT_EQ(symbolToUnicode(SymbolSet::wingdings2, 'j'), 0x2460u);
    EXPECT_EQ(symbolToUnicode(SymbolSet::wingdings2, 0xF0F9), 0x2042u);
    EXPECT_EQ(symbolToUnicode(SymbolSet::wingdings3, 'p'), 0x25B2u);
    EXPECT_EQ(symbolToUnicode(SymbolSet::wingdings3, 'u'), 0x25B6u);
    EXPECT_EQ(symbolToUnicode(SymbolSet::wingdings3, '!'), 0x2B60u);
    EXPECT_EQ(symbolToUnicode(SymbolSet::wingdings3, 0xF0), 0x1F897u);
    // No picture, no equivalent, no table, out of range: nothing.
    EXPECT_EQ(symbolToUnicode(SymbolSet::wingdings, 0xFF), 0u);
    EXPECT_EQ(symbolToUnicode(SymbolSet::wingdings2, 0x7F), 0u);
    EXPECT_EQ(symbolToUnicode(SymbolSet::wingdings3, 0xF1), 0u);
    EXPECT_EQ(symbolToUnicode(SymbolSet::symbol, 0x1F), 0u);
    EXPECT_EQ(symbolToUnicode(SymbolSet::symbol, 0x141), 0u);
    EXPECT_EQ(symbolToUnicode(SymbolSet::none, 'a'), 0u);
}

TEST(TextOutput, MissingCharactersAndSymbolFacesKeepTheirMeaning) {
    EmfBuilder b;
    // Liberation Sans (for Arial) lacks the check mark: it comes from a
    // fallback face, in the same run.
    b.raw(82, fontRecord(1, -40, 400, false, u"Arial"));
    b.rec(37, {1});
    b.raw(84, textRecord(50, 100, u"done \u2713 ok", true));
    // Symbol and Wingdings without their faces: the Unicode equivalents,
    // never the letters of the codes.
    b.raw(82, fontRecord(2, -40, 400, false, u"Symbol", 2));
    b.rec(37, {2});
    b.raw(83, textRecord(50, 200, u"abg", false));
    b.raw(82, fontRecord(3, -40, 400, false, u"Wingdings", 2));
    b.rec(37, {3});
    b.raw(84, textRecord(50, 300, u"\xfc\xfe", true));
    b.raw(82, fontRecord(4, -40, 400, false, u"Wingdings 3", 2));
    b.rec(37, {4});
    b.raw(83, textRecord(50, 400, u"pu", false));
    b.raw(82, fontRecord(5, -40, 400, false, u"Wingdings 2", 2));
    b.rec(37, {5});
    b.raw(83, textRecord(50, 500, u"jR", false));
    // Characters no face on the system has (a Wingdings 2 pen, a lower
    // left pencil) are not lost from the text either.
    b.raw(83, textRecord(50, 540, u"!", false));
    b.rec(37, {1});
    b.raw(84, textRecord(50, 20, u"pencil \U0001F589 end", true));
    std::string pdf = convert("text_fallback.pdf", b.bytes());
    std::string text = run("pdftotext " + pdf + " -");
    EXPECT_NE(text.find("done \u2713 ok"), std::string::npos) << text;
    EXPECT_NE(text.find("\u03b1\u03b2\u03b3"), std::string::npos) << text;
    EXPECT_EQ(text.find("abg"), std::string::npos) << text;
    EXPECT_NE(text.find("\u2713\u2611"), std::string::npos) << text;
    EXPECT_NE(text.find("\u25b2\u25b6"), std::string::npos) << text;   // Wingdings 3
    EXPECT_NE(text.find("\u2460\u2611"), std::string::npos) << text;   // Wingdings 2
    EXPECT_NE(text.find("\U0001F58A"), std::string::npos) << text;
    EXPECT_NE(text.find("pencil \U0001F589 end"), std::string::npos) << text;
    std::string draw = run("mutool draw -q -o /dev/null -F pnm " + pdf);
    EXPECT_EQ(draw.find("error"), std::string::npos) << draw;
    std::string fonts = run("pdffonts " + pdf);
    EXPECT_NE(fonts.find("DejaVuSans"), std::string::npos) << fonts;
    EXPECT_EQ(fonts.find(" no "), std::string::npos) << fonts;
    EXPECT_NE(run("qpdf --check " + pdf).find("No syntax or stream encoding errors"), std::string::npos);
}

TEST(TextOutput, WidthAndSlantKeepWordsWhole) {
    std::vector<uint8_t> font = systemFont();
    SfntFace face;
    std::string err;
    ASSERT_TRUE(face.parse(font, 0, err));
    // lfWidth measures against Arial's average (the weighted lower-case
    // one), which Liberation Sans matches; its own OS/2 average is wider,
    // and against it the glyphs came out narrow, the letters apart.
    EXPECT_EQ(face.weightedAverageWidth(), 904);
    const int em = 200;
    int32_t width = int32_t(face.weightedAverageWidth() * double(em) / face.unitsPerEm() + 0.5);
    std::u16string line = u"Coordonn\u00e9es Ligne";
    std::vector<int32_t> dx;
    for (char16_t c : line) dx.push_back(int32_t(face.advance(face.glyphFor(c)) * double(em) / face.unitsPerEm() + 0.5));
    EmfBuilder b;
    b.rec(17, {8});                  // MM_ANISOTROPIC, 10 logical units a pixel
    b.rec(9, {10000, 10000});
    b.rec(11, {1000, 1000});
    b.raw(82, fontRecordEx(1, -em, width, 0, u"Arial"));
    b.rec(37, {1});
    b.raw(84, textRecord(500, 1000, line, true, 0, dx));
    // A slanted run: its letters step across text lines.
    b.raw(82, fontRecordEx(2, -em, 0, 300, u"Arial"));
    b.rec(37, {2});
    b.raw(84, textRecord(500, 4000, u"slanted words stay whole", true));
    std::string pdf = convert("text_width.pdf", b.bytes());
    std::string text = run("pdftotext " + pdf + " -");
    EXPECT_NE(text.find("Coordonn\u00e9es Ligne"), std::string::npos) << text;
    EXPECT_NE(text.find("slanted words stay whole"), std::string::npos) << text;
    EXPECT_NE(run("qpdf --check " + pdf).find("No syntax or stream encoding errors"), std::string::npos);
}

TEST(TextOutput, EscapementTurnsWithAnUpwardYAxis) {
    // Chart axis title: y axis upwards, escapement 2700, starting near the
    // bottom. GDI draws it upwards; downwards it would leave the picture.
    EmfBuilder b;
    b.rec(17, {8});                      // MM_ANISOTROPIC
    b.rec(9, {10000, -10000});           // window extent, y up
    b.rec(10, {0, 10000});               // window origin
    b.rec(11, {1000, 1000});             // viewport extent
    b.raw(82, fontRecordEx(1, -300, 0, 2700, u"Arial"));
    b.rec(37, {1});
    b.rec(22, {24});
    b.raw(84, textRecord(500, 5500, u"axis title reads upwards", true));
    std::string pdf = convert("text_escapement.pdf", b.bytes());
    std::string text = run("pdftotext " + pdf + " -");
    EXPECT_NE(text.find("axis title reads upwards"), std::string::npos) << text;
}

TEST(TextOutput, AdvancedModeTurnsGlyphsByTheirOrientation) {
    // Baseline along x, every glyph turned a quarter: placed one by one,
    // with the run's text kept whole.
    EmfBuilder b;
    std::vector<uint8_t> lf = fontRecordEx(1, -40, 0, 0, u"Arial");
    for (int k = 0; k < 4; ++k) lf[16 + k] = uint8_t(900u >> (8 * k));   // lfOrientation only
    b.raw(82, lf);
    b.rec(37, {1});
    std::vector<uint8_t> t = textRecord(50, 100, u"turned", true);
    t[16] = 2;                                                          // GM_ADVANCED
    b.raw(84, t);
    std::string path = qktest::tempPath("text_orientation.pdf");
    Document d;
    DocumentSettings s;
    s.compress = false;
    ASSERT_EQ(d.open(path, s), Status::Ok);
    ASSERT_EQ(d.beginPage(600, 600), Status::Ok);
    ASSERT_EQ(d.playEmf(b.bytes().data(), b.bytes().size(), Placement()), Status::Ok);
    ASSERT_EQ(d.finish(), Status::Ok);
    std::string pdf = qktest::readFile(path);
    std::size_t runs = 0;
    for (std::size_t at = pdf.find("] TJ"); at != std::string::npos; at = pdf.find("] TJ", at + 1)) ++runs;
    EXPECT_EQ(runs, 6u);
    EXPECT_NE(pdf.find("/ActualText"), std::string::npos);
    std::size_t tm = pdf.find(" Tm [<");
    ASSERT_NE(tm, std::string::npos);
    std::size_t line = pdf.rfind('\n', tm) + 1;
    EXPECT_EQ(pdf.compare(line, 2, "0 "), 0) << pdf.substr(line, tm - line);   // glyph x axis turned upright
    EXPECT_NE(run("pdftotext " + path + " -").find("turned"), std::string::npos);
}
