#include "text_embedded.h"

#include <algorithm>
#include <cmath>

#include "pdf_number.h"
#include "playback.h"
#include "text_codepage.h"
#include "text_symbols.h"

namespace quillkit {
namespace {

const double kPi = 3.14159265358979323846;
const uint32_t ETO_OPAQUE = 2, ETO_CLIPPED = 4;
const uint32_t TA_UPDATECP = 1, TA_RIGHT = 2, TA_CENTER = 6, TA_BOTTOM = 8, TA_BASELINE = 24;

struct Glyph {
    EmbeddedFont* font;
    uint16_t id;
    double advance;   // device units along the baseline
    double rise;      // device units above the baseline (ETO_PDY), cumulative
    bool hidden = false;   // a character no face has: invisible text that keeps its meaning
};

void color(std::string& s, uint32_t c, const char* op) {
    appendNumber(s, (c & 0xFF) / 255.0, 3); s += ' ';
    appendNumber(s, ((c >> 8) & 0xFF) / 255.0, 3); s += ' ';
    appendNumber(s, ((c >> 16) & 0xFF) / 255.0, 3); s += ' ';
    s += op;
    s += '\n';
}

void point(std::string& s, PointD p, const char* op) {
    appendNumber(s, p.x, 2); s += ' ';
    appendNumber(s, p.y, 2); s += ' ';
    s += op;
    s += '\n';
}

void quad(std::string& s, PointD a, PointD b, PointD c, PointD d) {
    point(s, a, "m"); point(s, b, "l"); point(s, c, "l"); point(s, d, "l");
    s += "h\n";
}

const char16_t kHex[] = u"0123456789ABCDEF";

void glyphHex(std::string& s, uint16_t g) {
    for (int shift = 12; shift >= 0; shift -= 4) s += char(kHex[(g >> shift) & 15]);
}

}  // namespace

bool EmbeddedTextRenderer::draw(Player& player, const TextRun& run) {
    const DcState& dc = player.state();
    if (!dc.font) return false;
    const FontObject& lf = dc.font->font;
    FontChoice choice = fonts_.font(lf);
    if (!choice.font) return false;
    EmbeddedFont& main = *choice.font;
    const SfntFace& face = main.face;
    double upem = face.unitsPerEm();

    Matrix m = player.toDevice();
    PointD ex = m.applyVector({1, 0}), ey = m.applyVector({0, 1});
    double sx = std::hypot(ex.x, ex.y), sy = std::hypot(ey.x, ey.y);
    if (!(sx > 0) || !(sy > 0) || !std::isfinite(sx) || !std::isfinite(sy)) return true;

    // A negative height is the em (character height), a positive one the
    // cell height (ascent plus descent); zero is GDI's default size.
    double cell = double(face.winAscent) + face.winDescent;
    double emLogical = lf.height < 0 ? -double(lf.height) : lf.height > 0 ? lf.height * upem / cell : 12;
    double em = emLogical * sy;
    if (!(em > 0.01) || em > 1e6) return true;
    double hscale = sx / sy;
    if (lf.width > 0 && choice.avgWidth > 0) hscale *= lf.width / (choice.avgWidth / upem * emLogical);
    if (!(hscale > 0.001) || hscale > 1000) hscale = 1;

    // Baseline direction on the device: the x axis turned by the escapement
    // (tenths of a degree, counter-clockwise with the logical y axis
    // downwards). A mapping that turns the y axis up turns the angle with
    // it: GDI draws escapement 2700 upwards there, as axis titles of charts
    // drawn with y upwards expect.
    PointD dir{ex.x / sx, ex.y / sx};
    double esc = lf.escapement / 10.0 * kPi / 180;
    if (run.graphicsMode != gdi::GM_ADVANCED && m.determinant() < 0) esc = -esc;
    if (esc != 0) {
        double c = std::cos(esc), s = std::sin(esc);
        dir = {dir.x * c + dir.y * s, -dir.x * s + dir.y * c};
    }
    PointD up{dir.y, -dir.x};
    // The advanced mode turns each glyph by the orientation, apart from the
    // baseline's escapement: glyphs are then placed one by one.
    PointD gdir = dir, gup = up;
    bool eachGlyph = false;
    if (run.graphicsMode == gdi::GM_ADVANCED && lf.orientation != lf.escapement) {
        double o = lf.orientation / 10.0 * kPi / 180, c = std::cos(o), sn = std::sin(o);
        PointD x{ex.x / sx, ex.y / sx};
        gdir = {x.x * c + x.y * sn, -x.x * sn + x.y * c};
        gup = {gdir.y, -gdir.x};
        eachGlyph = true;
    }
    double ascentDev = face.winAscent * em / upem, descentDev = face.winDescent * em / upem;

    // Characters to glyphs.
    // 8-bit text: the charset's code page; a double-byte character takes the
    // advances of both its bytes.
    std::u16string text = run.text;
    std::vector<int32_t> runDx = run.dx, runDy = run.dy;
    if (run.ansi && !run.glyphIndices) decodeAnsiRun(run.text, lf.charset, decoder_.get(), text, runDx, runDy);
    std::vector<Glyph> glyphs;
    std::u16string actual;   // what the run says, in reading order
    glyphs.reserve(text.size());
    double rise = 0, total = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::size_t units = 1;
        uint32_t cp = text[i];
        if (!run.glyphIndices && cp >= 0xD800 && cp < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            units = 2;
        }
        Glyph g{&main, 0, 0, rise};
        std::u16string meaning;
        if (run.glyphIndices) {
            g.id = uint16_t(cp < face.numGlyphs() ? cp : 0);
            const auto& rev = face.reverseCmap();
            auto it = rev.find(g.id);
            if (it != rev.end()) cp = it->second;
            else cp = 0;
        } else if (choice.symbols != SymbolSet::none) {
            // A text face standing in for a symbol face: the picture's
            // Unicode equivalent, from whichever face has it.
            cp = symbolToUnicode(choice.symbols, cp);
            g.font = cp ? fonts_.faceFor(cp, lf, &main) : nullptr;
            g.id = g.font ? g.font->glyphFor(cp) : 0;
        } else {
            // The chosen face, else the first fallback face that has the
            // character: text is never lost to a face that lacks it. The
            // symbol face itself keeps to its own glyphs (its codes mean
            // pictures, not the letters a text face has for them) and says
            // what they show in the text.
            SymbolSet own = symbolSetForFace(lf.faceName);
            g.font = own == SymbolSet::none ? fonts_.faceFor(cp, lf, &main) : &main;
            g.id = g.font ? g.font->glyphFor(cp) : 0;
            if (own != SymbolSet::none)
                if (uint32_t u = symbolToUnicode(own, cp)) cp = u;
        }
        if (!g.font) g.font = &main;
        if (cp >= 0x20 && !(cp >= 0xD800 && cp < 0xE000)) {
            if (cp >= 0x10000) {
                meaning += char16_t(0xD800 + ((cp - 0x10000) >> 10));
                meaning += char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF));
            } else {
                meaning += char16_t(cp);
            }
        }
        double adv = 0;
        bool haveDx = i < runDx.size();
        for (std::size_t k = 0; k < units && i + k < runDx.size(); ++k) adv += runDx[i + k];
        if (haveDx) adv *= sx;
        else adv = g.font->face.advance(g.id) * em / upem * hscale;
        g.advance = adv;
        for (std::size_t k = 0; k < units && i + k < runDy.size(); ++k) rise += runDy[i + k] * sy;
        if (g.id != 0 || cp < 0x20) {
            if (!meaning.empty()) g.font->unicode.emplace(g.id, meaning);
            if (cp >= 0x20 || run.glyphIndices) g.font->used.insert(g.id);
            glyphs.push_back(g);
        } else {
            // No face has the character: it keeps its place and draws
            // nothing, but stays in the text as an invisible code of the
            // chosen face (past its glyphs) that the ToUnicode map names.
            uint16_t code = meaning.empty() ? 0 : main.hiddenCodeFor(meaning);
            if (code) {
                main.unicode.emplace(code, meaning);
                main.used.insert(code);
            }
            glyphs.push_back({code ? &main : g.font, code, adv, g.rise, code != 0});
        }
        total += adv;
        actual += meaning;
        i += units - 1;
    }

    // Reference point and alignment.
    PointD ref = (dc.textAlign & TA_UPDATECP) ? dc.current : run.reference;
    PointD p = m.apply(ref);
    uint32_t vert = dc.textAlign & TA_BASELINE;
    if (vert == 0) p = {p.x - up.x * ascentDev, p.y - up.y * ascentDev};
    else if (vert == TA_BOTTOM) p = {p.x + up.x * descentDev, p.y + up.y * descentDev};
    uint32_t horiz = dc.textAlign & TA_CENTER;
    double shift = horiz == TA_RIGHT ? total : horiz == TA_CENTER ? total / 2 : 0;
    p = {p.x - dir.x * shift, p.y - dir.y * shift};
    if (dc.textAlign & TA_UPDATECP) {
        double moved = (horiz == TA_RIGHT ? -total : horiz == TA_CENTER ? 0 : total) / sx;
        player.setCurrentPosition({ref.x + moved, ref.y});
    }
    auto at = [&](double along, double above) {
        return PointD{p.x + dir.x * along + up.x * above, p.y + dir.y * along + up.y * above};
    };

    player.ensureClip();
    std::string& s = player.out();
    s += "q\n";
    if (run.options & ETO_CLIPPED) {
        const RectL& r = run.clipRect;
        quad(s, m.apply({double(r.left), double(r.top)}), m.apply({double(r.right), double(r.top)}),
             m.apply({double(r.right), double(r.bottom)}), m.apply({double(r.left), double(r.bottom)}));
        s += "W n\n";
    }
    uint32_t textColor = player.resolveColor(dc.textColor);
    if (dc.bkMode == gdi::OPAQUE && !(run.options & ETO_OPAQUE) && total != 0) {
        color(s, player.resolveColor(dc.bkColor), "rg");
        quad(s, at(0, ascentDev), at(total, ascentDev), at(total, -descentDev), at(0, -descentDev));
        s += "f\n";
    }
    color(s, textColor, "rg");
    if (choice.synthBold) {
        color(s, textColor, "RG");
        appendNumber(s, std::max(em * 0.03, 0.01), 3);
        s += " w 2 Tr\n";
    }
    // Text along a slanted baseline: its characters step across lines of
    // the page, and text extraction would cut it into letters. The span's
    // actual text keeps the run whole for search and copy.
    bool slanted = (eachGlyph || (std::fabs(dir.x) > 1e-3 && std::fabs(dir.y) > 1e-3)) && !actual.empty();
    if (slanted) {
        s += "/Span << /ActualText <FEFF";
        for (char16_t c : actual) glyphHex(s, uint16_t(c));
        s += "> >> BDC\n";
    }
    s += "BT\n";
    double slant = choice.synthItalic ? 0.21 : 0;
    double unit = em * hscale;   // device units per text-space unit along the baseline
    EmbeddedFont* current = nullptr;
    double along = 0;
    std::size_t i = 0;
    while (i < glyphs.size()) {
        if (glyphs[i].id == 0) { along += glyphs[i].advance; ++i; continue; }
        bool hidden = glyphs[i].hidden;
        if (hidden) s += "3 Tr\n";
        // One positioned segment: same font and rise, no missing glyph.
        if (glyphs[i].font != current) {
            current = glyphs[i].font;
            s += "/" + player.page().fontResource(fonts_.objectFor(*current)) + " 1 Tf\n";
        }
        PointD q = at(along, glyphs[i].rise);
        appendNumber(s, gdir.x * unit, 4); s += ' ';
        appendNumber(s, gdir.y * unit, 4); s += ' ';
        appendNumber(s, (gup.x + gdir.x * slant) * em, 4); s += ' ';
        appendNumber(s, (gup.y + gdir.y * slant) * em, 4); s += ' ';
        appendNumber(s, q.x, 2); s += ' ';
        appendNumber(s, q.y, 2);
        s += " Tm [<";
        std::size_t j = i;
        while (j < glyphs.size() && glyphs[j].font == current && glyphs[j].id != 0 && glyphs[j].rise == glyphs[i].rise &&
               glyphs[j].hidden == hidden && !(eachGlyph && j > i)) {
            const Glyph& g = glyphs[j];
            if (j > i) {
                const Glyph& prev = glyphs[j - 1];
                double natural = prev.font->face.advance(prev.id) / double(prev.font->face.unitsPerEm());
                double adj = (natural - prev.advance / unit) * 1000;
                if (std::fabs(adj) >= 0.05) {
                    s += "> ";
                    appendNumber(s, adj, 1);
                    s += " <";
                }
            }
            glyphHex(s, g.id);
            along += g.advance;
            ++j;
        }
        s += ">] TJ\n";
        if (hidden) s += choice.synthBold ? "2 Tr\n" : "0 Tr\n";
        i = j;
    }
    s += "ET\n";
    if (slanted) s += "EMC\n";
    if (choice.synthBold) s += "0 Tr\n";
    if ((lf.underline || lf.strikeOut) && total != 0) {
        auto bar = [&](double y, double thick) {
            thick = std::max(thick, player.outputPixel());
            quad(s, at(0, y), at(total, y), at(total, y - thick), at(0, y - thick));
            s += "f\n";
        };
        double k = em / upem;
        if (lf.underline) bar(face.underlinePosition * k, face.underlineThickness * k);
        if (lf.strikeOut) bar((face.strikeoutPosition + face.strikeoutSize) * k, face.strikeoutSize * k);
    }
    s += "Q\n";
    return true;
}

}  // namespace quillkit
