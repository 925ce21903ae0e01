#include "text_fonts.h"

#include <algorithm>
#include <cmath>

#include "font_cff.h"
#include "font_subset.h"
#include "pdf_number.h"

namespace quillkit {
namespace {

std::string hex4(uint32_t v) {
    static const char* d = "0123456789ABCDEF";
    std::string s(4, '0');
    for (int i = 3; i >= 0; --i, v >>= 4) s[i] = d[v & 15];
    return s;
}

std::string utf16Hex(const std::u16string& s) {
    std::string out;
    for (char16_t c : s) out += hex4(c);
    return out;
}

// A PDF name from a font name: letters and digits only.
std::string pdfName(const std::u16string& s) {
    std::string out;
    for (char16_t c : s)
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-') out += char(c);
    return out.empty() ? "Font" : out;
}

std::string num(double v) {
    std::string s;
    appendNumber(s, v, 0);
    return s;
}

std::string lowerName(const std::u16string& s) {
    std::string out;
    for (char16_t c : s) out += c < 128 ? char(std::tolower(int(c))) : '?';
    return out;
}

std::string lowerName(const std::string& s) {
    std::string out;
    for (char c : s) out += char(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

uint16_t EmbeddedFont::glyphFor(uint32_t c) const {
    uint16_t g = face.glyphFor(c);
    if (!g && c >= 0xF020 && c <= 0xF0FF) g = face.glyphFor(c - 0xF000);
    if (!g && c >= 0x20 && c < 0x100) g = face.glyphFor(0xF000 + c);
    return g;
}

uint16_t EmbeddedFont::hiddenCodeFor(const std::u16string& text) {
    auto it = hidden_.find(text);
    if (it != hidden_.end()) return it->second;
    if (nextHidden_ == 0) nextHidden_ = face.numGlyphs();
    if (nextHidden_ == 0 || nextHidden_ > 0xFFFE || hidden_.size() >= 4096) return 0;
    uint16_t code = uint16_t(nextHidden_++);
    hidden_.emplace(text, code);
    return code;
}

DocumentFonts::DocumentFonts(PdfFile& file, std::shared_ptr<FontProvider> provider)
    : file_(file), provider_(provider ? std::move(provider) : defaultFontProvider()) {}

const std::vector<std::u16string>& DocumentFonts::fallbackFamilies() {
    // Wide-coverage faces of Windows and of free systems: Latin, Greek,
    // Cyrillic, Hebrew, Arabic and symbols first, then the East Asian ones.
    static const std::vector<std::u16string> families{
        u"Arial", u"Liberation Sans", u"DejaVu Sans", u"Segoe UI", u"Tahoma", u"Segoe UI Symbol",
        u"Arial Unicode MS", u"DejaVu Serif", u"DejaVu Sans Mono", u"FreeSans", u"FreeSerif", u"Noto Sans",
        u"Noto Sans Symbols", u"Noto Sans Symbols2", u"OpenSymbol", u"MS Gothic", u"SimSun", u"Malgun Gothic",
        u"MingLiU", u"Droid Sans Fallback", u"Noto Sans CJK JP", u"WenQuanYi Zen Hei"};
    return families;
}

EmbeddedFont* DocumentFonts::load(const FontRequest& req, bool requireFamily) {
    FontFile file;
    if (!provider_ || !provider_->find(req, file) || file.data.empty()) return nullptr;
    // A fallback must be the family asked for, not the provider's own
    // substitute for it (which the chosen face already is).
    if (requireFamily && lowerName(file.familyName) != lowerName(req.faceName)) return nullptr;
    std::string faceKey = file.familyName + "|" + std::to_string(file.bold) + std::to_string(file.italic) + "|" +
                          std::to_string(file.faceIndex) + "|" + std::to_string(file.data.size());
    auto f = faces_.find(faceKey);
    if (f != faces_.end()) return f->second.get();
    auto ef = std::make_unique<EmbeddedFont>();
    ef->file = std::move(file);
    std::string err;
    if (!ef->face.parse(ef->file.data, ef->file.faceIndex, err)) return nullptr;
    // CFF outlines are embedded when they can be subset (not CFF2).
    if (ef->face.isCff()) {
        const SfntTable* cff = ef->face.table("CFF ");
        if (!cff || !checkCff(ef->file.data.data() + cff->offset, cff->length, err)) return nullptr;
    }
    return faces_.emplace(faceKey, std::move(ef)).first->second.get();
}

FontChoice DocumentFonts::font(const FontObject& lf) {
    bool bold = lf.weight >= 600;
    std::string key(lf.faceName.begin(), lf.faceName.end());
    key += "|" + std::to_string(bold) + std::to_string(lf.italic) + "|" + std::to_string(lf.charset);
    auto it = requests_.find(key);
    if (it != requests_.end()) return it->second;
    FontChoice choice;
    FontRequest req;
    req.faceName = lf.faceName;
    req.weight = lf.weight;
    req.italic = lf.italic;
    req.charset = lf.charset;
    req.pitchAndFamily = lf.pitchAndFamily;
    if (EmbeddedFont* ef = load(req, false)) {
        choice.font = ef;
        choice.synthBold = bold && !ef->file.bold;
        choice.synthItalic = lf.italic && !ef->file.italic;
        // Glyph numbers of glyph-index text belong to the face the
        // application used: valid only when the same family was found.
        std::u16string want = lf.faceName;
        if (!want.empty() && want[0] == u'@') want.erase(0, 1);
        choice.exact = lowerName(want) == lowerName(ef->file.familyName);
        ef->exactFace = ef->exactFace || choice.exact;
        // lfWidth scales against the average width of the face asked for.
        // Liberation faces stand in for Arial, Times New Roman and Courier
        // New, whose average is the weighted one of lower-case text; their
        // own is the mean over all their glyphs, a fifth wider.
        choice.avgWidth = ef->face.xAvgCharWidth;
        if (!choice.exact && lowerName(ef->file.familyName).rfind("liberation", 0) == 0)
            if (uint16_t w = ef->face.weightedAverageWidth()) choice.avgWidth = w;
        // A text face standing in for a symbol face shows the Unicode
        // equivalents of the codes; the symbol face itself its own glyphs.
        SymbolSet set = symbolSetForFace(want);
        if (set != SymbolSet::none && !choice.exact) choice.symbols = set;
    }
    requests_[key] = choice;
    return choice;
}

EmbeddedFont* DocumentFonts::faceFor(uint32_t cp, const FontObject& lf, EmbeddedFont* chosen) {
    if (chosen && chosen->glyphFor(cp)) return chosen;
    bool bold = lf.weight >= 600;
    std::string style = std::to_string(bold) + std::to_string(lf.italic);
    auto key = std::make_pair(cp, style);
    auto hit = byChar_.find(key);
    if (hit != byChar_.end()) return hit->second;
    EmbeddedFont* found = nullptr;
    for (const auto& family : fallbackFamilies()) {
        std::string fkey(family.begin(), family.end());
        fkey += "|" + style;
        auto fb = fallbacks_.find(fkey);
        if (fb == fallbacks_.end()) {
            FontRequest req;
            req.faceName = family;
            req.weight = lf.weight;
            req.italic = lf.italic;
            fb = fallbacks_.emplace(fkey, load(req, true)).first;
        }
        if (fb->second && fb->second != chosen && fb->second->face.glyphFor(cp)) {
            found = fb->second;
            break;
        }
    }
    if (byChar_.size() < 100000) byChar_[key] = found;
    return found;
}

uint32_t DocumentFonts::objectFor(EmbeddedFont& f) {
    if (!f.object) f.object = file_.reserve();
    return f.object;
}

bool DocumentFonts::writeAll() {
    bool ok = true;
    for (auto& kv : faces_)
        if (kv.second->object && !write(*kv.second)) ok = false;   // faces no page shows are left out
    return ok && file_.good();
}

bool DocumentFonts::write(EmbeddedFont& f) {
    const SfntFace& face = f.face;
    double k = 1000.0 / face.unitsPerEm();
    // TrueType outlines go in a FontFile2, CFF outlines (the 'CFF ' table
    // alone) in a FontFile3 of a CIDFontType0; both keep the glyph numbers.
    const SfntTable* cffTable = face.isCff() ? face.table("CFF ") : nullptr;
    std::vector<uint8_t> subset = cffTable ? subsetCff(face.data().data() + cffTable->offset, cffTable->length, f.used)
                                           : subsetTrueType(face, f.used);
    if (subset.empty()) return false;

    // Subset tag: six capitals from a hash of the glyphs used and the face.
    uint64_t h = 1469598103934665603ull;
    for (uint16_t g : f.used) h = (h ^ g) * 1099511628211ull;
    for (char c : f.file.familyName) h = (h ^ uint8_t(c)) * 1099511628211ull;
    std::string tag;
    for (int i = 0; i < 6; ++i, h /= 26) tag += char('A' + h % 26);
    std::u16string ps = face.postScriptName.empty() ? face.familyName : face.postScriptName;
    std::string baseFont = tag + "+" + pdfName(ps);

    uint32_t cid = file_.reserve(), desc = file_.reserve(), fontFile = file_.reserve(), toUni = file_.reserve();
    file_.writeObject(f.object, "<< /Type /Font /Subtype /Type0 /BaseFont /" + baseFont +
                                    " /Encoding /Identity-H /DescendantFonts [" + std::to_string(cid) +
                                    " 0 R] /ToUnicode " + std::to_string(toUni) + " 0 R >>");

    // Widths of the glyphs used, runs of consecutive glyphs in one array.
    std::string w = "[";
    uint16_t prev = 0;
    bool open = false;
    for (uint16_t g : f.used) {
        if (!open || g != prev + 1) {
            if (open) w += "]";
            w += " " + std::to_string(g) + " [";
            open = true;
        } else {
            w += " ";
        }
        w += num(face.advance(g) * k);
        prev = g;
    }
    if (open) w += "]";
    w += " ]";
    file_.writeObject(cid, std::string("<< /Type /Font /Subtype ") + (cffTable ? "/CIDFontType0" : "/CIDFontType2") +
                               " /BaseFont /" + baseFont +
                               " /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >> /FontDescriptor " +
                               std::to_string(desc) + " 0 R /DW " + num(face.advance(0) * k) + " /W " + w +
                               (cffTable ? " >>" : " /CIDToGIDMap /Identity >>"));

    int flags = 4;   // symbolic: the glyphs are addressed by number
    if (face.fixedPitch) flags |= 1;
    if (face.italicAngle != 0 || (face.macStyle & 2)) flags |= 64;
    double stemV = 50 + std::pow(std::max(100, std::min<int>(900, face.weightClass)) / 65.0, 2);
    file_.writeObject(desc, "<< /Type /FontDescriptor /FontName /" + baseFont + " /Flags " + std::to_string(flags) +
                                " /FontBBox [" + num(face.xMin * k) + " " + num(face.yMin * k) + " " + num(face.xMax * k) +
                                " " + num(face.yMax * k) + "] /ItalicAngle " + num(face.italicAngle) + " /Ascent " +
                                num(face.ascent * k) + " /Descent " + num(face.descent * k) + " /CapHeight " +
                                num(face.capHeight * k) + " /StemV " + num(stemV) + (cffTable ? " /FontFile3 " : " /FontFile2 ") +
                                std::to_string(fontFile) + " 0 R >>");
    file_.writeStream(fontFile, cffTable ? std::string("/Subtype /CIDFontType0C") : "/Length1 " + std::to_string(subset.size()),
                      subset.data(), subset.size(), std::string(), true);

    std::string cmap =
        "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
        "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
        "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
        "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
    std::vector<std::pair<uint16_t, const std::u16string*>> entries;
    for (const auto& kv : f.unicode)
        if (!kv.second.empty()) entries.emplace_back(kv.first, &kv.second);
    for (std::size_t i = 0; i < entries.size(); i += 100) {
        std::size_t n = std::min<std::size_t>(100, entries.size() - i);
        cmap += std::to_string(n) + " beginbfchar\n";
        for (std::size_t j = i; j < i + n; ++j)
            cmap += "<" + hex4(entries[j].first) + "> <" + utf16Hex(*entries[j].second) + ">\n";
        cmap += "endbfchar\n";
    }
    cmap += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
    file_.writeStream(toUni, "", cmap);
    return true;
}

}  // namespace quillkit
