// Playback: bitmaps, region painting, gradients and the opaque boxes of text.
#include <algorithm>
#include <cmath>

#include "pdf_number.h"
#include "playback.h"

namespace quillkit {
namespace {

enum : uint32_t {
    SRCCOPY = 0x00CC0020, SRCPAINT = 0x00EE0086, SRCAND = 0x008800C6, SRCINVERT = 0x00660046,
    NOTSRCCOPY = 0x00330008, PATCOPY = 0x00F00021, BLACKNESS = 0x00000042, WHITENESS = 0x00FF0062,
    MERGECOPY = 0x00C000CA, PATPAINT = 0x00FB0A09, DSTCOPY = 0x00AA0029
};

// The ternary raster code (the byte that says what the operation computes).
uint8_t ropCode(uint32_t rop) { return static_cast<uint8_t>(rop >> 16); }
// True when the result does not depend on the source.
bool ignoresSource(uint8_t code) { return ((code >> 2) & 0x33) == (code & 0x33); }
bool ignoresPattern(uint8_t code) { return ((code >> 4) & 0x0F) == (code & 0x0F); }

}  // namespace

void Player::drawImage(const DecodedImage& img, PointD tl, PointD tr, PointD bl, ImageMask mask, uint32_t key,
                       uint8_t alpha) {
    int64_t stencil = -1;
    std::string name = page_.image(img, mask, key, alpha, &stencil);
    if (name.empty()) return;
    if (snap_ && tl.y == tr.y && tl.x == bl.x) {   // upright: whole pixels, as GDI blits
        auto r = [](PointD& p) { p.x = std::floor(p.x + 0.5); p.y = std::floor(p.y + 0.5); };
        r(tl); r(tr); r(bl);
    }
    ensureClip();
    std::string& s = page_.content();
    // The unit square maps with v = 1 at the top row.
    s += "q ";
    if (stencil >= 0) {   // a stencil mask paints in the fill colour, set for it alone
        for (int shift : {0, 8, 16}) {
            appendNumber(s, ((stencil >> shift) & 0xFF) / 255.0);
            s += ' ';
        }
        s += "rg ";
    }
    appendNumber(s, tr.x - tl.x, 4); s += ' ';
    appendNumber(s, tr.y - tl.y, 4); s += ' ';
    appendNumber(s, tl.x - bl.x, 4); s += ' ';
    appendNumber(s, tl.y - bl.y, 4); s += ' ';
    appendNumber(s, bl.x, 3); s += ' ';
    appendNumber(s, bl.y, 3);
    s += " cm /" + name + " Do Q\n";
}

void Player::fillParallelogram(PointD tl, PointD tr, PointD bl, uint32_t rop) {
    Path p;
    p.moveTo(tl);
    p.lineTo(tr);
    p.lineTo({tr.x + bl.x - tl.x, tr.y + bl.y - tl.y});
    p.lineTo(bl);
    p.close();
    uint8_t code = ropCode(rop);
    if (code == 0x00) { fillDevicePath(p, 0); return; }
    if (code == 0xFF) { fillDevicePath(p, 0xFFFFFF); return; }
    if (code == 0xAA) return;   // destination unchanged
    if (!dc_.brush || dc_.brush->brush.style == gdi::BS_NULL) return;
    ensureClip();
    int savedRop2 = dc_.rop2;
    dc_.rop2 = gdi::R2_COPYPEN;
    paintFill(p, false, dc_.brush.get());
    dc_.rop2 = savedRop2;
}

void Player::onBitmap(const RecordData& r) {
    BltRecord b;
    std::string error;
    if (!readBlt(r, b, error)) { damaged(r, error); return; }
    ++result_.recordsPlayed;
    if (inPath_) return;

    // Destination corners on the device.
    double x0 = b.xDest, y0 = b.yDest, x1 = double(b.xDest) + b.cxDest, y1 = double(b.yDest) + b.cyDest;
    PointD tl = dev(x0, y0), tr = dev(x1, y0), bl = dev(x0, y1);

    uint32_t rop = b.rop;
    bool alphaBlend = r.type() == emr::ALPHABLEND;
    bool transparent = r.type() == emr::TRANSPARENTBLT;
    uint8_t code = (alphaBlend || transparent) ? 0xCC : ropCode(rop);

    if (!b.src.present() || (!alphaBlend && !transparent && ignoresSource(code))) {
        if (!b.src.present() && !ignoresSource(code) && r.type() != emr::STRETCHDIBITS) {
            damaged(r, "raster operation needs a source bitmap that is missing");
            return;
        }
        fillParallelogram(tl, tr, bl, rop);
        return;
    }

    DibOptions opt;
    opt.paletteIndices = b.usageSrc == 1;
    opt.palette = dc_.palette ? &dc_.palette->palette.entries : nullptr;
    // Monochrome blit sources take the text and background colours.
    int w = 0, h = 0, bits = 0;
    dibDimensions(b.src, w, h, bits);
    if (bits == 1 && (r.type() == emr::BITBLT || r.type() == emr::STRETCHBLT || r.type() == emr::MASKBLT)) {
        // BitBlt of a monochrome bitmap onto a colour device: 0 bits take
        // the text colour, 1 bits the background colour. The recorded DIB's
        // colour table already says this, so it is used as recorded.
    }
    DecodedImage img;
    if (!decodeDib(b.src, opt, img, error)) { damaged(r, error); return; }

    // Source rectangle, in the bitmap's pixels from its top row.
    int sx = b.xSrc, sy = b.ySrc, sw = b.cxSrc, sh = b.cySrc;
    if (r.type() == emr::BITBLT || r.type() == emr::STRETCHBLT || r.type() == emr::MASKBLT ||
        r.type() == emr::ALPHABLEND || r.type() == emr::TRANSPARENTBLT) {
        // The source transform places the source rectangle in the bitmap.
        double fx = b.xformSrc.m11, fy = b.xformSrc.m22;
        if (std::isfinite(fx) && std::isfinite(fy) && fx > 0 && fy > 0 && b.xformSrc.m12 == 0 && b.xformSrc.m21 == 0) {
            sx = static_cast<int>(std::lround(sx * fx + b.xformSrc.dx));
            sy = static_cast<int>(std::lround(sy * fy + b.xformSrc.dy));
            sw = static_cast<int>(std::lround(sw * fx));
            sh = static_cast<int>(std::lround(sh * fy));
        }
    } else {
        // DIB functions measure the source from the bottom row of a bottom-up DIB.
        int32_t hdr = 0;
        if (b.src.bmiSize >= 12) {
            const uint8_t* p = b.src.bmi;
            hdr = (p[0] | p[1] << 8) == 12 ? static_cast<int16_t>(p[6] | p[7] << 8)
                                            : static_cast<int32_t>(p[8] | p[9] << 8 | p[10] << 16 | uint32_t(p[11]) << 24);
        }
        bool bottomUp = hdr > 0;
        if (r.type() == emr::SETDIBITSTODEVICE) {
            // The bits hold cScans lines from iStartScan upwards.
            int startScan = b.xMask, scans = b.yMask;
            if (bottomUp && scans > 0 && scans < img.height) {
                // decoded image holds the bottom `scans` rows' data at its top... keep whole
            }
            (void)startScan;
        }
        if (bottomUp && sh > 0) sy = img.height - (sy + sh);
    }
    if (sw < 0) { sx += sw; sw = -sw; }
    if (sh < 0) { sy += sh; sh = -sh; }
    if (sw == 0 || sh == 0) { sw = img.width; sh = img.height; sx = 0; sy = 0; }
    if (!cropImage(img, sx, sy, sw, sh)) return;

    ImageMask mask = ImageMask::None;
    uint32_t key = 0;
    uint8_t constAlpha = 255;
    if (alphaBlend) {
        uint8_t sourceConstant = static_cast<uint8_t>(rop >> 16);
        bool srcAlpha = ((rop >> 24) & 0xFF) == 1;   // AC_SRC_ALPHA
        constAlpha = sourceConstant;
        if (srcAlpha && !img.alpha.empty()) {
            // Premultiplied samples back to straight colour.
            for (std::size_t i = 0; i < img.alpha.size(); ++i) {
                uint8_t a = img.alpha[i];
                if (a == 0 || a == 255) continue;
                for (int c = 0; c < 3; ++c) {
                    unsigned v = img.rgb[i * 3 + c] * 255u / a;
                    img.rgb[i * 3 + c] = static_cast<uint8_t>(v > 255 ? 255 : v);
                }
            }
            mask = ImageMask::Alpha;
        }
    } else if (transparent) {
        mask = ImageMask::ColorIsClear;
        key = resolveColor(rop);
    } else {
        switch (code) {
            case 0xCC: break;                                   // SRCCOPY
            case 0xEE: mask = ImageMask::BlackIsClear; break;   // SRCPAINT: OR onto the page
            case 0x66: mask = ImageMask::BlackIsClear; break;   // SRCINVERT: XOR, black changes nothing
            case 0x88: mask = ImageMask::WhiteIsClear; break;   // SRCAND: AND, white changes nothing
            case 0x33:                                          // NOTSRCCOPY
                for (auto& v : img.rgb) v = static_cast<uint8_t>(255 - v);
                break;
            case 0xBB:                                          // MERGEPAINT: OR of the inverted source
                for (auto& v : img.rgb) v = static_cast<uint8_t>(255 - v);
                mask = ImageMask::BlackIsClear;
                break;
            case 0x22: mask = ImageMask::WhiteIsClear;          // DSna: AND of the inverted source
                for (auto& v : img.rgb) v = static_cast<uint8_t>(255 - v);
                break;
            case 0xB8:                                          // PSDPxax: brush where the source is white
            case 0xE2: {                                        // DSPDxax: brush where the source is black
                uint32_t c = dc_.brush && dc_.brush->brush.style == gdi::BS_SOLID ? resolveColor(dc_.brush->brush.color) : 0;
                bool whiteTakesBrush = code == 0xB8;
                img.alpha.assign(std::size_t(img.width) * img.height, 0);
                for (std::size_t i = 0; i < img.alpha.size(); ++i) {
                    bool white = img.rgb[i * 3] > 127 && img.rgb[i * 3 + 1] > 127 && img.rgb[i * 3 + 2] > 127;
                    bool paint = white == whiteTakesBrush;
                    img.alpha[i] = paint ? 255 : 0;
                    img.rgb[i * 3] = static_cast<uint8_t>(c & 0xFF);
                    img.rgb[i * 3 + 1] = static_cast<uint8_t>((c >> 8) & 0xFF);
                    img.rgb[i * 3 + 2] = static_cast<uint8_t>((c >> 16) & 0xFF);
                }
                mask = ImageMask::Alpha;
                break;
            }
            default:
                if (ignoresPattern(code)) {
                    damaged(r, "raster operation " + std::to_string(rop) + " drawn as a copy");
                } else {
                    fillParallelogram(tl, tr, bl, PATCOPY);
                    return;
                }
                break;
        }
    }

    if (r.type() == emr::MASKBLT && b.mask.present()) {
        // Mask bit 1: foreground operation (the source); 0: background
        // operation, drawn as "leave the page alone" when it is that.
        DibOptions mopt;
        mopt.monoColors = true;
        mopt.mono0 = 0x000000;
        mopt.mono1 = 0xFFFFFF;
        DecodedImage m;
        std::string err;
        if (decodeDib(b.mask, mopt, m, err) && cropImage(m, b.xMask, b.yMask, img.width, img.height) &&
            m.width == img.width && m.height == img.height) {
            uint8_t back = static_cast<uint8_t>(rop >> 24);
            if (back == 0xAA) {
                img.alpha.assign(std::size_t(img.width) * img.height, 255);
                for (std::size_t i = 0; i < img.alpha.size(); ++i) img.alpha[i] = m.rgb[i * 3] ? 255 : 0;
                mask = ImageMask::Alpha;
            }
        }
    }
    if (mask != ImageMask::Alpha) img.alpha.clear();
    drawImage(img, tl, tr, bl, mask, key, constAlpha);
}

// ---- regions ----------------------------------------------------------------

void Player::onRegionPaint(const RecordData& r) {
    uint32_t cb = r.u32(24);
    std::size_t at = 0;
    const GdiObject* brush = dc_.brush.get();
    switch (r.type()) {
        case emr::FILLRGN:
        case emr::FRAMERGN: {
            at = r.type() == emr::FILLRGN ? 32 : 40;
            uint32_t ih = r.u32(28);
            if (ih & 0x80000000u) {
                uint32_t stock = ih & 0x7FFFFFFF;
                brush = stock < 20 ? stockObjects_[stock].get() : nullptr;
            } else {
                brush = ih < objects_.size() ? objects_[ih].get() : nullptr;
            }
            if (!brush || brush->kind != GdiObject::Kind::Brush) { damaged(r, "region brush does not exist"); return; }
            break;
        }
        case emr::PAINTRGN: at = 28; break;
        default: unsupported(r.type()); return;
    }
    Region rgn;
    if (!readRegion(r, at, cb, false, rgn)) { damaged(r, "region data outside its record"); return; }
    ++result_.recordsPlayed;
    if (inPath_ || brush->brush.style == gdi::BS_NULL) return;
    Path p;
    for (const auto& rc : rgn.rects()) {
        p.moveTo({rc.x0, rc.y0});
        p.lineTo({rc.x1, rc.y0});
        p.lineTo({rc.x1, rc.y1});
        p.lineTo({rc.x0, rc.y1});
        p.close();
    }
    if (p.empty()) return;
    ensureClip();
    if (r.type() == emr::FRAMERGN) {
        // The frame: each rectangle's inner border of the stroke size.
        int32_t sxw = std::abs(r.i32(32)), syw = std::abs(r.i32(36));
        Matrix m = toDevice();
        double fw = std::max(1.0, sxw * std::fabs(m.m11)), fh = std::max(1.0, syw * std::fabs(m.m22));
        Path frame;
        for (const auto& rc : rgn.rects()) {
            auto add = [&](double a, double b2, double c, double d) {
                frame.moveTo({a, b2}); frame.lineTo({c, b2}); frame.lineTo({c, d}); frame.lineTo({a, d}); frame.close();
            };
            add(rc.x0, rc.y0, rc.x1, std::min(rc.y1, rc.y0 + fh));
            add(rc.x0, std::max(rc.y0, rc.y1 - fh), rc.x1, rc.y1);
            add(rc.x0, rc.y0, std::min(rc.x1, rc.x0 + fw), rc.y1);
            add(std::max(rc.x0, rc.x1 - fw), rc.y0, rc.x1, rc.y1);
        }
        paintFill(frame, false, brush);
        return;
    }
    paintFill(p, false, brush);
}

// ---- gradients ----------------------------------------------------------------

void Player::onGradient(const RecordData& r) {
    uint32_t nVer = r.u32(24), nTri = r.u32(28), mode = r.u32(32);
    if (nVer > (r.size() - 36) / 16) { damaged(r, "vertex count does not fit the record"); return; }
    std::size_t meshAt = 36 + std::size_t(nVer) * 16;
    std::size_t meshSize = mode == 2 ? 12 : 8;
    if (nTri > (r.size() - meshAt) / meshSize) { damaged(r, "gradient count does not fit the record"); return; }
    ++result_.recordsPlayed;
    if (inPath_) return;
    struct Vertex { PointD p; double c[3]; };
    std::vector<Vertex> v(nVer);
    for (uint32_t i = 0; i < nVer; ++i) {
        std::size_t o = 36 + i * 16;
        v[i].p = {double(r.i32(o)), double(r.i32(o + 4))};
        v[i].c[0] = r.u16(o + 8) / 65280.0;
        v[i].c[1] = r.u16(o + 10) / 65280.0;
        v[i].c[2] = r.u16(o + 12) / 65280.0;
        for (double& c : v[i].c) c = std::min(1.0, c);
    }
    ensureClip();
    std::string& s = page_.content();
    for (uint32_t k = 0; k < nTri; ++k) {
        std::size_t o = meshAt + k * meshSize;
        if (mode == 2) {
            uint32_t a = r.u32(o), b = r.u32(o + 4), c = r.u32(o + 8);
            if (a >= nVer || b >= nVer || c >= nVer) continue;
            std::vector<double> tri;
            for (uint32_t idx : {a, b, c}) {
                PointD d = dev(v[idx].p.x, v[idx].p.y);
                tri.insert(tri.end(), {d.x, d.y, v[idx].c[0], v[idx].c[1], v[idx].c[2]});
            }
            std::string name = page_.triangleShading(tri);
            if (!name.empty()) s += "/" + name + " sh\n";
        } else {
            uint32_t a = r.u32(o), b = r.u32(o + 4);
            if (a >= nVer || b >= nVer) continue;
            PointD p0 = v[a].p, p1 = v[b].p;
            double l = std::min(p0.x, p1.x), rr = std::max(p0.x, p1.x), t = std::min(p0.y, p1.y), bt = std::max(p0.y, p1.y);
            const Vertex& first = (mode == 0 ? p0.x <= p1.x : p0.y <= p1.y) ? v[a] : v[b];
            const Vertex& second = &first == &v[a] ? v[b] : v[a];
            PointD s0 = mode == 0 ? dev(l, t) : dev(l, t), s1 = mode == 0 ? dev(rr, t) : dev(l, bt);
            std::string name = page_.axialShading(s0.x, s0.y, s1.x, s1.y, first.c, second.c);
            Path p;
            addRect(p, l, t, rr, bt);
            s += "q\n";
            emitRectOrPath(p);
            s += "W n /" + name + " sh Q\n";
        }
    }
}

// ---- text ----------------------------------------------------------------

void Player::onText(const RecordData& r) {
    const uint32_t ETO_OPAQUE = 2, ETO_CLIPPED = 4, ETO_GLYPH_INDEX = 0x10, ETO_PDY = 0x2000, ETO_NO_RECT = 0x100;
    std::vector<TextRun> runs;
    auto readEmrText = [&](std::size_t at, bool wide, int gm, float ex, float ey) -> bool {
        TextRun run;
        run.graphicsMode = gm;
        run.exScale = ex;
        run.eyScale = ey;
        run.reference = {double(r.i32(at)), double(r.i32(at + 4))};
        uint32_t n = r.u32(at + 8), offString = r.u32(at + 12);
        run.options = r.u32(at + 16);
        run.clipRect = {r.i32(at + 20), r.i32(at + 24), r.i32(at + 28), r.i32(at + 32)};
        uint32_t offDx = r.u32(at + 36);
        if (!r.ok()) return false;
        if (n > 0) {
            std::size_t unit = wide ? 2 : 1;
            if (n > r.size() || !r.has(offString, std::size_t(n) * unit)) return false;
            for (uint32_t i = 0; i < n; ++i)
                run.text += wide ? static_cast<char16_t>(r.u16(offString + i * 2)) : static_cast<char16_t>(r.u8(offString + i));
            std::size_t per = (run.options & ETO_PDY) ? 8 : 4;
            if (offDx && r.has(offDx, std::size_t(n) * per)) {
                for (uint32_t i = 0; i < n; ++i) {
                    run.dx.push_back(r.i32(offDx + i * per));
                    if (per == 8) run.dy.push_back(r.i32(offDx + i * per + 4));
                }
            }
        }
        run.glyphIndices = (run.options & ETO_GLYPH_INDEX) != 0;
        run.ansi = !wide;
        runs.push_back(std::move(run));
        return true;
    };
    bool ok = true;
    switch (r.type()) {
        case emr::EXTTEXTOUTA:
        case emr::EXTTEXTOUTW:
            ok = readEmrText(36, r.type() == emr::EXTTEXTOUTW, r.i32(24), r.f32(28), r.f32(32));
            break;
        case emr::POLYTEXTOUTA:
        case emr::POLYTEXTOUTW: {
            uint32_t count = r.u32(36);
            if (count > (r.size() - 40) / 40) { ok = false; break; }
            for (uint32_t i = 0; i < count && ok; ++i)
                ok = readEmrText(40 + i * 40, r.type() == emr::POLYTEXTOUTW, r.i32(24), r.f32(28), r.f32(32));
            break;
        }
        case emr::SMALLTEXTOUT: {
            TextRun run;
            run.reference = {double(r.i32(8)), double(r.i32(12))};
            uint32_t n = r.u32(16);
            run.options = r.u32(20);
            run.graphicsMode = r.i32(24);
            run.exScale = r.f32(28);
            run.eyScale = r.f32(32);
            std::size_t at = 36;
            if (!(run.options & ETO_NO_RECT)) {
                run.clipRect = {r.i32(36), r.i32(40), r.i32(44), r.i32(48)};
                at = 52;
            } else {
                run.options &= ~(ETO_OPAQUE | ETO_CLIPPED);
            }
            bool wide = !(run.options & 0x200);   // ETO_SMALL_CHARS: 8-bit characters
            std::size_t unit = wide ? 2 : 1;
            if (n > r.size() || !r.has(at, std::size_t(n) * unit)) { ok = false; break; }
            for (uint32_t i = 0; i < n; ++i)
                run.text += wide ? static_cast<char16_t>(r.u16(at + i * 2)) : static_cast<char16_t>(r.u8(at + i));
            run.glyphIndices = (run.options & ETO_GLYPH_INDEX) != 0;
            run.ansi = !wide;   // bytes of the font's code page, as in EXTTEXTOUTA
            runs.push_back(std::move(run));
            break;
        }
        default: break;
    }
    if (!ok) { damaged(r, "text lies outside its record"); return; }
    if (inPath_) {
        unsupported(r.type());   // text outlines in a path need the glyphs
        return;
    }
    bool anyText = false, allDrawn = true;
    for (const auto& run : runs) {
        if (run.options & ETO_OPAQUE) {
            const RectL& rc = run.clipRect;
            if (rc.right != rc.left && rc.bottom != rc.top) {
                Path p;
                addRect(p, rc.left, rc.top, rc.right, rc.bottom);
                fillDevicePath(p, dc_.bkColor);
            }
        }
        if (!run.text.empty()) {
            anyText = true;
            // Embedded fonts first; the standard PDF fonts when no face is found.
            bool drawn = (text_ && text_->draw(*this, run)) || drawStandardText(run);
            if (!drawn) allDrawn = false;
        }
    }
    if (anyText && !allDrawn) unsupported(r.type());
    else ++result_.recordsPlayed;
}

}  // namespace quillkit
