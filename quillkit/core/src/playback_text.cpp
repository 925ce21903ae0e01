// Playback: text records drawn with the standard PDF fonts. Every glyph is
// placed where GDI puts it (the record's advances), so lines keep their
// length whatever font the reader substitutes; the text stays searchable.
#include <algorithm>
#include <cmath>

#include "pdf_number.h"
#include "playback.h"

namespace quillkit {
namespace {

const double kPi = 3.14159265358979323846;

struct StandardFace {
    std::string baseFont;
    double ascent, descent;   // per em, as GDI's metrics of the matching TrueType face
    bool symbol = false;
};

std::string lower(const std::u16string& s) {
    std::string out;
    for (char16_t c : s) out += static_cast<char>(c < 128 ? std::tolower(static_cast<int>(c)) : '?');
    return out;
}

bool chooseFace(const FontObject& f, StandardFace& face) {
    std::string name = lower(f.faceName);
    auto has = [&](const char* w) { return name.find(w) != std::string::npos; };
    if (has("wingdings") || has("webdings") || has("marlett") || has("dingbat")) return false;
    bool bold = f.weight >= 600, italic = f.italic;
    if (has("symbol")) {
        face = {"Symbol", 1.005, 0.221, true};
        return true;
    }
    std::string family;
    if (has("courier") || has("mono") || has("consol") || has("lucida console") || (f.pitchAndFamily & 3) == 1) {
        family = "Courier";
        face.ascent = 0.833; face.descent = 0.300;
    } else if (has("times") || has("roman") || has("serif") || has("georgia") || has("garamond") || has("cambria") ||
               has("book") || has("palatino") || has("century") || (!has("sans") && (f.pitchAndFamily & 0xF0) == 0x10)) {
        family = "Times";
        face.ascent = 0.891; face.descent = 0.216;
    } else {
        family = "Helvetica";
        face.ascent = 0.905; face.descent = 0.212;
    }
    if (family == "Times") {
        face.baseFont = bold && italic ? "Times-BoldItalic" : bold ? "Times-Bold" : italic ? "Times-Italic" : "Times-Roman";
    } else {
        face.baseFont = family + (bold && italic ? "-BoldOblique" : bold ? "-Bold" : italic ? "-Oblique" : "");
    }
    return true;
}

// A UTF-16 unit as a WinAnsiEncoding byte; 0 when the encoding lacks it.
uint8_t winAnsi(char16_t c) {
    if ((c >= 0x20 && c < 0x7F) || (c >= 0xA0 && c <= 0xFF)) return static_cast<uint8_t>(c);
    if (c >= 0x80 && c <= 0x9F) return static_cast<uint8_t>(c);   // 8-bit text in the Windows code page
    switch (c) {
        case 0x20AC: return 0x80; case 0x201A: return 0x82; case 0x0192: return 0x83; case 0x201E: return 0x84;
        case 0x2026: return 0x85; case 0x2020: return 0x86; case 0x2021: return 0x87; case 0x02C6: return 0x88;
        case 0x2030: return 0x89; case 0x0160: return 0x8A; case 0x2039: return 0x8B; case 0x0152: return 0x8C;
        case 0x017D: return 0x8E; case 0x2018: return 0x91; case 0x2019: return 0x92; case 0x201C: return 0x93;
        case 0x201D: return 0x94; case 0x2022: return 0x95; case 0x2013: return 0x96; case 0x2014: return 0x97;
        case 0x02DC: return 0x98; case 0x2122: return 0x99; case 0x0161: return 0x9A; case 0x203A: return 0x9B;
        case 0x0153: return 0x9C; case 0x017E: return 0x9E; case 0x0178: return 0x9F;
        default: return 0;
    }
}

void appendLiteral(std::string& s, uint8_t b) {
    if (b == '(' || b == ')' || b == '\\') {
        s += '\\';
        s += static_cast<char>(b);
    } else if (b < 0x20 || b >= 0x7F) {
        char buf[5] = {'\\', char('0' + (b >> 6)), char('0' + ((b >> 3) & 7)), char('0' + (b & 7)), 0};
        s += buf;
    } else {
        s += static_cast<char>(b);
    }
}

}  // namespace

bool Player::drawStandardText(const TextRun& run) {
    const uint32_t ETO_CLIPPED = 4;
    const uint32_t TA_UPDATECP = 1, TA_RIGHT = 2, TA_CENTER = 6, TA_BOTTOM = 8, TA_BASELINE = 24;
    if (run.glyphIndices) return false;   // needs the font's own glyph numbers
    const FontObject& font = dc_.font->font;
    StandardFace face;
    if (!chooseFace(font, face)) return false;

    Matrix m = toDevice();
    PointD ex = m.applyVector({1, 0}), ey = m.applyVector({0, 1});
    double sx = std::hypot(ex.x, ex.y), sy = std::hypot(ey.x, ey.y);
    if (!(sx > 0) || !(sy > 0)) return true;
    // Em size: a negative height is the character height, a positive one
    // the cell height (ascent plus descent).
    double h = font.height;
    double emLogical = h < 0 ? -h : h > 0 ? h / (face.ascent + face.descent) : 12;
    double em = emLogical * sy;
    if (em < 0.05 || em > 1e6) return true;

    // Baseline direction on the device: the logical x axis turned by the
    // escapement (tenths of a degree, counter-clockwise as seen).
    PointD dir{ex.x / sx, ex.y / sx};
    // A mirrored y axis does not mirror text in the compatible mode, but
    // turns the escapement the other way (as the embedded-font path does).
    double esc = font.escapement / 10.0 * kPi / 180;
    if (m.determinant() < 0 && run.graphicsMode != gdi::GM_ADVANCED) esc = -esc;
    if (esc != 0) {
        double c = std::cos(esc), s = std::sin(esc);
        dir = {dir.x * c + dir.y * s, -dir.x * s + dir.y * c};
    }
    PointD up{dir.y, -dir.x};

    // Advances in device units.
    std::size_t n = run.text.size();
    std::vector<double> advance(n, 0);
    double total = 0;
    for (std::size_t i = 0; i < n; ++i) {
        double a = i < run.dx.size() ? run.dx[i] * sx : em * (face.baseFont.rfind("Courier", 0) == 0 ? 0.6 : 0.5);
        advance[i] = a;
        total += a;
    }
    PointD ref = (dc_.textAlign & TA_UPDATECP) ? dc_.current : run.reference;
    PointD p = dev(ref.x, ref.y);
    uint32_t vert = dc_.textAlign & TA_BASELINE;
    if (vert == 0) p = {p.x - up.x * face.ascent * em, p.y - up.y * face.ascent * em};            // TA_TOP
    else if (vert == TA_BOTTOM) p = {p.x + up.x * face.descent * em, p.y + up.y * face.descent * em};
    uint32_t horiz = dc_.textAlign & TA_CENTER;
    double shift = horiz == TA_RIGHT ? total : horiz == TA_CENTER ? total / 2 : 0;
    p = {p.x - dir.x * shift, p.y - dir.y * shift};
    if (dc_.textAlign & TA_UPDATECP) {
        double adv = horiz == TA_RIGHT ? -total : horiz == TA_CENTER ? 0 : total;
        PointD endDev{p.x + dir.x * (shift + adv), p.y + dir.y * (shift + adv)};
        (void)endDev;
        dc_.current = {ref.x + (horiz == TA_RIGHT ? -total : horiz == TA_CENTER ? 0 : total) / sx, ref.y};
    }

    ensureClip();
    std::string& s = page_.content();
    bool clipped = (run.options & ETO_CLIPPED) != 0;
    if (clipped) {
        Path cp;
        addRect(cp, run.clipRect.left, run.clipRect.top, run.clipRect.right, run.clipRect.bottom);
        s += "q\n";
        emitRectOrPath(cp);
        s += "W n\n";
    }
    auto corner = [&](double along, double above) {
        return PointD{p.x + dir.x * along + up.x * above, p.y + dir.y * along + up.y * above};
    };
    // An opaque background mode paints the text's cells first.
    if (dc_.bkMode == gdi::OPAQUE && !(run.options & 2) && total > 0) {
        Path box;
        box.moveTo(corner(0, face.ascent * em));
        box.lineTo(corner(total, face.ascent * em));
        box.lineTo(corner(total, -face.descent * em));
        box.lineTo(corner(0, -face.descent * em));
        box.close();
        setFillColor(resolveColor(dc_.bkColor));
        emitPath(box);
        s += "f\n";
    }
    setFillColor(resolveColor(dc_.textColor));
    std::string fontName = page_.standardFont(face.baseFont);
    s += "BT\n/" + fontName + " 1 Tf\n";
    double along = 0;
    for (std::size_t i = 0; i < n; ++i) {
        char16_t c = run.text[i];
        uint8_t b = face.symbol ? static_cast<uint8_t>(c >= 0xF000 && c <= 0xF0FF ? c - 0xF000 : (c < 256 ? c : 0))
                                : winAnsi(c);
        if (b && b != ' ') {
            PointD q = corner(along, 0);
            if (i < run.dy.size()) {
                double dyTotal = 0;
                for (std::size_t k = 0; k < i; ++k) dyTotal += run.dy[k] * sy;
                q = {q.x - up.x * dyTotal, q.y - up.y * dyTotal};
            }
            appendNumber(s, dir.x * em, 4); s += ' ';
            appendNumber(s, dir.y * em, 4); s += ' ';
            appendNumber(s, up.x * em, 4); s += ' ';
            appendNumber(s, up.y * em, 4); s += ' ';
            appendNumber(s, q.x, 2); s += ' ';
            appendNumber(s, q.y, 2);
            s += " Tm (";
            appendLiteral(s, b);
            s += ") Tj\n";
        }
        along += advance[i];
    }
    s += "ET\n";
    // Underline and strike-out as thin bars along the baseline.
    if ((font.underline || font.strikeOut) && total > 0) {
        double thick = std::max(em * 0.07, outPx_);
        auto bar = [&](double y) {
            Path line;
            line.moveTo(corner(0, y));
            line.lineTo(corner(total, y));
            line.lineTo(corner(total, y - thick));
            line.lineTo(corner(0, y - thick));
            line.close();
            emitPath(line);
            s += "f\n";
        };
        if (font.underline) bar(-face.descent * em * 0.45);
        if (font.strikeOut) bar(em * 0.3);
    }
    if (clipped) {
        s += "Q\n";
        resetEmittedState();   // colours and pens set inside are gone again
    }
    return true;
}

}  // namespace quillkit
