// Playback: lines, shapes, paths and how they are painted.
#include <algorithm>
#include <cmath>

#include "pdf_number.h"
#include "playback.h"

namespace quillkit {
namespace {

const double kPi = 3.14159265358979323846;

void appendPoint(std::string& s, PointD p) {
    appendNumber(s, p.x, 2);
    s += ' ';
    appendNumber(s, p.y, 2);
}

}  // namespace

// ---- geometry ----------------------------------------------------------------

void Player::addRect(Path& p, double l, double t, double r, double b) {
    p.moveTo(dev(l, t));
    p.lineTo(dev(r, t));
    p.lineTo(dev(r, b));
    p.lineTo(dev(l, b));
    p.close();
}

void Player::addEllipse(Path& p, double l, double t, double r, double b) {
    double cx = (l + r) / 2, cy = (t + b) / 2, rx = (r - l) / 2, ry = (b - t) / 2;
    const double k = 0.5522847498;
    p.moveTo(dev(cx + rx, cy));
    p.curveTo(dev(cx + rx, cy + k * ry), dev(cx + k * rx, cy + ry), dev(cx, cy + ry));
    p.curveTo(dev(cx - k * rx, cy + ry), dev(cx - rx, cy + k * ry), dev(cx - rx, cy));
    p.curveTo(dev(cx - rx, cy - k * ry), dev(cx - k * rx, cy - ry), dev(cx, cy - ry));
    p.curveTo(dev(cx + k * rx, cy - ry), dev(cx + rx, cy - k * ry), dev(cx + rx, cy));
    p.close();
}

// An elliptic arc of the box from the radial through `start` to the radial
// through `end`, in the DC's arc direction as seen on the device.
void Player::addArc(Path& p, double l, double t, double r, double b, PointD start, PointD end, bool moveFirst,
                    PointD* endPoint) {
    double cx = (l + r) / 2, cy = (t + b) / 2, rx = std::fabs(r - l) / 2, ry = std::fabs(b - t) / 2;
    if (rx == 0 || ry == 0) {
        if (moveFirst) p.moveTo(dev(cx, cy));
        if (endPoint) *endPoint = {cx, cy};
        return;
    }
    double a0 = std::atan2((start.y - cy) / ry, (start.x - cx) / rx);
    double a1 = std::atan2((end.y - cy) / ry, (end.x - cx) / rx);
    // Counter-clockwise on a y-down device is decreasing angle in logical
    // numbers, unless the mapping to the device mirrors.
    bool ccw = dc_.arcDirection == gdi::AD_COUNTERCLOCKWISE;
    bool mirrored = !rawGrid_ && toDevice().determinant() < 0;
    bool decreasing = ccw != mirrored;
    double sweep = a1 - a0;
    if (decreasing) {
        while (sweep >= 0) sweep -= 2 * kPi;
    } else {
        while (sweep <= 0) sweep += 2 * kPi;
    }
    int segments = std::max(1, static_cast<int>(std::ceil(std::fabs(sweep) / (kPi / 2) - 1e-9)));
    double step = sweep / segments;
    double h = 4.0 / 3.0 * std::tan(step / 4);
    auto at = [&](double a) { return PointD{cx + rx * std::cos(a), cy + ry * std::sin(a)}; };
    PointD s = at(a0);
    if (moveFirst) p.moveTo(dev(s.x, s.y));
    else p.lineTo(dev(s.x, s.y));
    double a = a0;
    for (int i = 0; i < segments; ++i) {
        double b2 = a + step;
        PointD p0 = at(a), p3 = at(b2);
        PointD c1{p0.x - h * rx * std::sin(a), p0.y + h * ry * std::cos(a)};
        PointD c2{p3.x + h * rx * std::sin(b2), p3.y - h * ry * std::cos(b2)};
        p.curveTo(dev(c1.x, c1.y), dev(c2.x, c2.y), dev(p3.x, p3.y));
        a = b2;
    }
    if (endPoint) *endPoint = at(a0 + sweep);
}

void Player::addRoundRect(Path& p, double l, double t, double r, double b, double w, double h) {
    if (l > r) std::swap(l, r);
    if (t > b) std::swap(t, b);
    double rx = std::min(std::fabs(w) / 2, (r - l) / 2), ry = std::min(std::fabs(h) / 2, (b - t) / 2);
    if (rx <= 0 || ry <= 0) { addRect(p, l, t, r, b); return; }
    const double k = 0.5522847498;
    p.moveTo(dev(l + rx, t));
    p.lineTo(dev(r - rx, t));
    p.curveTo(dev(r - rx + k * rx, t), dev(r, t + ry - k * ry), dev(r, t + ry));
    p.lineTo(dev(r, b - ry));
    p.curveTo(dev(r, b - ry + k * ry), dev(r - rx + k * rx, b), dev(r - rx, b));
    p.lineTo(dev(l + rx, b));
    p.curveTo(dev(l + rx - k * rx, b), dev(l, b - ry + k * ry), dev(l, b - ry));
    p.lineTo(dev(l, t + ry));
    p.curveTo(dev(l, t + ry - k * ry), dev(l + rx - k * rx, t), dev(l + rx, t));
    p.close();
}

// ---- painting ------------------------------------------------------------

bool Player::hasFill() const {
    return dc_.brush && dc_.brush->brush.style != gdi::BS_NULL && dc_.rop2 != gdi::R2_NOP;
}

bool Player::hasStroke() const {
    return dc_.pen && !dc_.pen->pen.nullPen && dc_.rop2 != gdi::R2_NOP;
}

uint32_t Player::ropColor(uint32_t c) const {
    c = resolveColor(c);
    if (ropStep_) return ropStep_->source == 0 ? 0xFFFFFF : ropStep_->source == 1 ? c : ~c & 0xFFFFFF;
    switch (dc_.rop2) {
        case gdi::R2_BLACK: return 0;
        case gdi::R2_WHITE: return 0xFFFFFF;
        case 6: return 0;                        // R2_NOT over white paper
        case 4: case 7: return ~c & 0xFFFFFF;    // R2_NOTCOPYPEN, R2_XORPEN over white paper
        default: return c;
    }
}

// Binary raster operations that combine the pen or brush with the page. Bit
// logic on colour channels maps onto blend modes: AND is Multiply, OR is
// Screen, XOR is Difference, NOT is Difference with white. The result is
// exact for channels of 0 or 255 and a smooth blend in between. The other
// operations (copy, its inverse, black, white, no-op) do not read the page.
int Player::ropSteps(RopStep out[2]) const {
    enum { White = 0, Pen = 1, NotPen = 2 };
    auto one = [&](const char* b, int src) { out[0] = {b, src}; return 1; };
    auto two = [&](const char* b0, int s0, const char* b1, int s1) {
        out[0] = {b0, s0};
        out[1] = {b1, s1};
        return 2;
    };
    switch (dc_.rop2) {
        case 2: return two("Difference", White, "Multiply", NotPen);   // R2_NOTMERGEPEN: ~D & ~P
        case 3: return one("Multiply", NotPen);                        // R2_MASKNOTPEN: D & ~P
        case 5: return two("Difference", White, "Multiply", Pen);      // R2_MASKPENNOT: P & ~D
        case 6: return one("Difference", White);                       // R2_NOT: ~D
        case 7: return one("Difference", Pen);                         // R2_XORPEN: D ^ P
        case 8: return two("Multiply", Pen, "Difference", White);      // R2_NOTMASKPEN: ~(D & P)
        case 9: return one("Multiply", Pen);                           // R2_MASKPEN: D & P
        case 10: return one("Difference", NotPen);                     // R2_NOTXORPEN: D ^ ~P
        case 12: return one("Screen", NotPen);                         // R2_MERGENOTPEN: D | ~P
        case 14: return two("Difference", White, "Screen", Pen);       // R2_MERGEPENNOT: P | ~D
        case 15: return one("Screen", Pen);                            // R2_MERGEPEN: D | P
        default: return 0;
    }
}

// Points on the grid as GDI rounds them: fills take whole pixels, strokes
// run through pixel centres. Control points are not rounded.
void Player::point(std::string& s, PointD p, bool stroke, bool onCurve) {
    if (snap_ && onCurve) {
        p.x = std::floor(p.x + 0.5);
        p.y = std::floor(p.y + 0.5);
        if (stroke) { p.x += 0.5; p.y += 0.5; }
    } else if (snap_ && stroke) {
        p.x += 0.5;
        p.y += 0.5;
    }
    appendPoint(s, p);
}

namespace {

// Winding number of a polygon set at q (for the even-odd and nonzero tests).
int winding(const std::vector<std::vector<PointD>>& polys, PointD q, bool evenOdd) {
    int w = 0, crossings = 0;
    for (const auto& poly : polys) {
        std::size_t n = poly.size();
        for (std::size_t i = 0; i < n; ++i) {
            PointD a = poly[i], b = poly[(i + 1) % n];
            if ((a.y <= q.y) != (b.y <= q.y)) {
                double x = a.x + (q.y - a.y) * (b.x - a.x) / (b.y - a.y);
                if (x > q.x) {
                    ++crossings;
                    w += b.y > a.y ? 1 : -1;
                }
            }
        }
    }
    return evenOdd ? (crossings & 1) : (w != 0);
}

double signedArea(const std::vector<PointD>& v) {
    double a = 0;
    for (std::size_t i = 0, n = v.size(); i < n; ++i) {
        const PointD& p = v[i];
        const PointD& q = v[(i + 1) % n];
        a += p.x * q.y - q.x * p.y;
    }
    return a / 2;
}

// Moves every edge of the polygon by d to its left (dir = 1) or right
// (dir = -1), mitred, with the mitre clamped.
std::vector<PointD> offsetPolygon(const std::vector<PointD>& v, double d) {
    std::size_t n = v.size();
    std::vector<PointD> out(n);
    auto normal = [&](std::size_t i) {
        PointD a = v[i], b = v[(i + 1) % n];
        double dx = b.x - a.x, dy = b.y - a.y, len = std::sqrt(dx * dx + dy * dy);
        return len > 0 ? PointD{-dy / len, dx / len} : PointD{0, 0};
    };
    for (std::size_t i = 0; i < n; ++i) {
        PointD n1 = normal((i + n - 1) % n), n2 = normal(i);
        double dot = n1.x * n2.x + n1.y * n2.y;
        PointD m{n1.x + n2.x, n1.y + n2.y};
        double k = 1 + dot;
        if (k < 0.25) {   // sharp spike: a short mitre
            double len = std::sqrt(m.x * m.x + m.y * m.y);
            m = len > 0 ? PointD{m.x / len * 2, m.y / len * 2} : PointD{0, 0};
            out[i] = {v[i].x + m.x * d, v[i].y + m.y * d};
        } else {
            out[i] = {v[i].x + m.x / k * d, v[i].y + m.y / k * d};
        }
    }
    return out;
}

}  // namespace

// A fill on the grid: vertices on whole pixels as GDI rounds them, then
// every polygon edge pulled half a pixel into the filled area, so that a
// renderer that paints every pixel the shape touches paints the pixels
// whose centres lie inside, as GDI does.
void Player::emitFillPath(const Path& p, bool evenOdd) {
    std::string& s = page_.content();
    const auto& ops = p.ops();
    const auto& pts = p.points();
    std::vector<std::vector<PointD>> polys;
    bool curves = false;
    std::size_t k = 0;
    for (uint8_t op : ops) {
        if (op == Path::Move) { polys.emplace_back(); polys.back().push_back(pts[k++]); }
        else if (op == Path::Line) { if (polys.empty()) polys.emplace_back(); polys.back().push_back(pts[k++]); }
        else if (op == Path::Curve) { curves = true; k += 3; }
    }
    std::size_t total = 0;
    for (const auto& v : polys) total += v.size();
    if (curves || fillExact_ || polys.size() > 64 || total > 20000) {
        if (fillExact_) {
            std::size_t j = 0;
            for (uint8_t op : ops) {
                switch (op) {
                    case Path::Move: appendPoint(s, pts[j++]); s += " m\n"; break;
                    case Path::Line: appendPoint(s, pts[j++]); s += " l\n"; break;
                    case Path::Curve:
                        appendPoint(s, pts[j]); s += ' '; appendPoint(s, pts[j + 1]); s += ' ';
                        appendPoint(s, pts[j + 2]); s += " c\n"; j += 3; break;
                    case Path::Close: s += "h\n"; break;
                }
            }
        } else {
            emitPath(p, false);
        }
        return;
    }
    for (auto& v : polys) {
        for (auto& q : v) { q.x = std::floor(q.x + 0.5); q.y = std::floor(q.y + 0.5); }
        // drop repeated points and a closing point equal to the first
        std::vector<PointD> u;
        for (const auto& q : v)
            if (u.empty() || q.x != u.back().x || q.y != u.back().y) u.push_back(q);
        while (u.size() > 1 && u.front().x == u.back().x && u.front().y == u.back().y) u.pop_back();
        v.swap(u);
    }
    std::vector<std::vector<PointD>> rounded = polys;
    for (auto& v : polys) {
        if (v.size() < 3) continue;
        double area = signedArea(v);
        if (area == 0) continue;
        // The side of the edges that is filled: to the left of a contour
        // with positive area, unless the whole path says otherwise.
        double dir = area > 0 ? 1 : -1;
        if (rounded.size() > 1) {
            PointD a = v[0], b = v[1];
            double dx = b.x - a.x, dy = b.y - a.y, len = std::sqrt(dx * dx + dy * dy);
            if (len > 0) {
                PointD probe{(a.x + b.x) / 2 - dy / len * 0.25 * dir, (a.y + b.y) / 2 + dx / len * 0.25 * dir};
                if (!winding(rounded, probe, evenOdd)) dir = -dir;
            }
        }
        v = offsetPolygon(v, 0.5 * dir);
    }
    for (const auto& v : polys) {
        if (v.empty()) continue;
        appendPoint(s, v[0]);
        s += " m\n";
        for (std::size_t i = 1; i < v.size(); ++i) { appendPoint(s, v[i]); s += " l\n"; }
        s += "h\n";
    }
}

void Player::emitPath(const Path& p, bool stroke) {
    std::string& s = page_.content();
    const auto& pts = p.points();
    std::size_t k = 0;
    for (uint8_t op : p.ops()) {
        switch (op) {
            case Path::Move: point(s, pts[k++], stroke); s += " m\n"; break;
            case Path::Line: point(s, pts[k++], stroke); s += " l\n"; break;
            case Path::Curve:
                point(s, pts[k], stroke, false); s += ' ';
                point(s, pts[k + 1], stroke, false); s += ' ';
                point(s, pts[k + 2], stroke); s += " c\n";
                k += 3;
                break;
            case Path::Close: s += "h\n"; break;
        }
    }
}

// An axis-aligned closed rectangle becomes "re"; anything else a path.
void Player::emitRectOrPath(const Path& p) {
    const auto& ops = p.ops();
    const auto& q = p.points();
    if (ops.size() == 5 && ops[0] == Path::Move && ops[1] == Path::Line && ops[2] == Path::Line &&
        ops[3] == Path::Line && ops[4] == Path::Close) {
        bool aligned = (q[0].y == q[1].y && q[1].x == q[2].x && q[2].y == q[3].y && q[3].x == q[0].x) ||
                       (q[0].x == q[1].x && q[1].y == q[2].y && q[2].x == q[3].x && q[3].y == q[0].y);
        if (aligned) {
            double x0 = std::min(q[0].x, q[2].x), y0 = std::min(q[0].y, q[2].y);
            double x1 = std::max(q[0].x, q[2].x), y1 = std::max(q[0].y, q[2].y);
            if (snap_) {
                x0 = std::floor(x0 + 0.5); y0 = std::floor(y0 + 0.5);
                x1 = std::floor(x1 + 0.5); y1 = std::floor(y1 + 0.5);
            }
            std::string& s = page_.content();
            appendNumber(s, x0, 2); s += ' ';
            appendNumber(s, y0, 2); s += ' ';
            appendNumber(s, x1 - x0, 2); s += ' ';
            appendNumber(s, y1 - y0, 2); s += " re\n";
            return;
        }
    }
    if (snap_) emitFillPath(p, dc_.polyFillMode == gdi::ALTERNATE);
    else emitPath(p);
}

void Player::setFillColor(uint32_t c) {
    c &= 0xFFFFFF;
    if (emFill_ == static_cast<int>(c)) return;
    std::string& s = out();
    appendNumber(s, (c & 0xFF) / 255.0); s += ' ';
    appendNumber(s, ((c >> 8) & 0xFF) / 255.0); s += ' ';
    appendNumber(s, ((c >> 16) & 0xFF) / 255.0); s += " rg\n";
    emFill_ = static_cast<int>(c);
}

void Player::setStrokeColor(uint32_t c) {
    c &= 0xFFFFFF;
    if (emStroke_ == static_cast<int>(c)) return;
    std::string& s = out();
    appendNumber(s, (c & 0xFF) / 255.0); s += ' ';
    appendNumber(s, ((c >> 8) & 0xFF) / 255.0); s += ' ';
    appendNumber(s, ((c >> 16) & 0xFF) / 255.0); s += " RG\n";
    emStroke_ = static_cast<int>(c);
}

void Player::fillDevicePath(const Path& p, uint32_t colorref) {
    ensureClip();
    setFillColor(resolveColor(colorref));
    emitRectOrPath(p);
    page_.content() += "f\n";
}

void Player::paintFill(const Path& p, bool evenOdd, const GdiObject* brushObj) {
    const BrushObject& b = brushObj->brush;
    const char* op = evenOdd ? "f*\n" : "f\n";
    std::string& s = page_.content();
    double k = page_.pointsPerUnit();
    // Patterns are anchored at the device origin of this drawing.
    double ox = placement_.x, oy = placement_.y;
    switch (b.style) {
        case gdi::BS_SOLID:
            setFillColor(ropColor(b.color));
            emitRectOrPath(p);
            s += op;
            return;
        case gdi::BS_HATCHED: {
            if (dc_.bkMode == gdi::OPAQUE) {
                setFillColor(ropStep_ ? ropColor(dc_.bkColor) : resolveColor(dc_.bkColor));
                emitRectOrPath(p);
                s += op;
            }
            std::string name = page_.hatchPattern(b.hatch, ox, oy, 0.75);
            uint32_t c = ropColor(b.color);
            s += "/CsP cs ";
            appendNumber(s, (c & 0xFF) / 255.0); s += ' ';
            appendNumber(s, ((c >> 8) & 0xFF) / 255.0); s += ' ';
            appendNumber(s, ((c >> 16) & 0xFF) / 255.0);
            s += " /" + name + " scn\n";
            emFill_ = -1;
            emitRectOrPath(p);
            s += op;
            return;
        }
        case gdi::BS_PATTERN:
        case gdi::BS_DIBPATTERN: {
            std::shared_ptr<DecodedImage> img = b.pattern;
            if (b.style == gdi::BS_PATTERN && b.monoDib) {
                DibRef dib;
                dib.bmi = b.monoDib->data();
                dib.bmiSize = b.monoHeaderSize;
                dib.bits = b.monoDib->data() + b.monoHeaderSize;
                dib.bitsSize = b.monoDib->size() - b.monoHeaderSize;
                DibOptions opt;
                opt.monoColors = true;
                opt.mono0 = resolveColor(dc_.textColor);
                opt.mono1 = resolveColor(dc_.bkColor);
                opt.maxPixels = 1u << 20;
                auto decoded = std::make_shared<DecodedImage>();
                std::string err;
                if (decodeDib(dib, opt, *decoded, err)) img = decoded;
            }
            std::string name = img ? page_.imagePattern(*img, ox, oy, 0.75) : std::string();
            if (name.empty()) {
                setFillColor(0x808080);
            } else {
                s += "/Pattern cs /" + name + " scn\n";
                emFill_ = -1;
            }
            (void)k;
            emitRectOrPath(p);
            s += op;
            return;
        }
        default:
            return;
    }
}

void Player::applyPen(const PenObject& pen, uint32_t colorref, bool solid) {
    setStrokeColor(colorref);
    std::string& s = page_.content();
    Matrix m = toDevice();
    double width = pen.cosmetic || pen.width == 0 ? 0 : pen.width * m.scale();
    // A line thinner than a device pixel is still drawn one pixel wide.
    if (!pen.cosmetic && width > 0 && width < 1) width = 0;
    if (width != emWidth_) {
        appendNumber(s, width, 3);
        s += " w\n";
        emWidth_ = width;
    }
    int cap = 1, join = 1;
    if (pen.cosmetic) {
        cap = 0;
        join = 0;
    } else if ((pen.style & gdi::PS_TYPE_MASK) == gdi::PS_GEOMETRIC) {
        uint32_t c = pen.style & gdi::PS_ENDCAP_MASK, j = pen.style & gdi::PS_JOIN_MASK;
        cap = c == gdi::PS_ENDCAP_FLAT ? 0 : c == gdi::PS_ENDCAP_SQUARE ? 2 : 1;
        join = j == gdi::PS_JOIN_MITER ? 0 : j == gdi::PS_JOIN_BEVEL ? 2 : 1;
    }
    if (cap != emCap_) { s += std::to_string(cap) + " J\n"; emCap_ = cap; }
    if (join != emJoin_) { s += std::to_string(join) + " j\n"; emJoin_ = join; }
    if (join == 0 && dc_.miterLimit != emMiter_) {
        appendNumber(s, dc_.miterLimit, 2);
        s += " M\n";
        emMiter_ = dc_.miterLimit;
    }
    // dashes
    std::vector<double> dashes;
    uint32_t style = pen.style & gdi::PS_STYLE_MASK;
    if (!solid) {
        double unit = pen.cosmetic ? outPx_ : std::max(width, outPx_);
        switch (style) {
            case gdi::PS_DASH: dashes = pen.cosmetic ? std::vector<double>{18, 6} : std::vector<double>{3, 1}; break;
            case gdi::PS_DOT: dashes = pen.cosmetic ? std::vector<double>{3, 3} : std::vector<double>{1, 1}; break;
            case gdi::PS_DASHDOT:
                dashes = pen.cosmetic ? std::vector<double>{9, 6, 3, 6} : std::vector<double>{3, 1, 1, 1};
                break;
            case gdi::PS_DASHDOTDOT:
                dashes = pen.cosmetic ? std::vector<double>{9, 3, 3, 3, 3, 3} : std::vector<double>{3, 1, 1, 1, 1, 1};
                break;
            case gdi::PS_ALTERNATE: dashes = {1, 1}; break;
            case gdi::PS_USERSTYLE: {
                // Entries are lengths in pixels of the output device, for
                // geometric pens too (as the reference GDI draws them).
                bool any = false;
                for (double d : pen.userDashes) {
                    dashes.push_back(d * outPx_ / unit);
                    if (d > 0) any = true;
                }
                if (dashes.size() % 2) dashes.insert(dashes.end(), dashes.begin(), dashes.end());
                if (!any) dashes.clear();
                break;
            }
            default: break;
        }
        for (auto& d : dashes) d *= unit;
        // Round caps lengthen every dash by the width; shorten to compensate.
        if (cap != 0 && !dashes.empty() && width > 0)
            for (std::size_t i = 0; i < dashes.size(); i += 2) {
                dashes[i] = std::max(0.0, dashes[i] - width);
                dashes[i + 1] += width;
            }
    }
    std::string dash;
    if (!dashes.empty()) {
        dash = "[";
        for (std::size_t i = 0; i < dashes.size(); ++i) {
            if (i) dash += ' ';
            appendNumber(dash, dashes[i], 2);
        }
        dash += "] 0 d\n";
    }
    if (dash != emDash_) {
        s += dash.empty() ? "[] 0 d\n" : dash;
        emDash_ = dash;
    }
}

static bool isStyled(const PenObject& pen) {
    uint32_t st = pen.style & gdi::PS_STYLE_MASK;
    return st == gdi::PS_DASH || st == gdi::PS_DOT || st == gdi::PS_DASHDOT || st == gdi::PS_DASHDOTDOT ||
           st == gdi::PS_ALTERNATE || st == gdi::PS_USERSTYLE;
}

void Player::paintStroke(const Path& p) {
    const PenObject& pen = dc_.pen->pen;
    std::string& s = page_.content();
    bool styled = isStyled(pen);
    if (styled && dc_.bkMode == gdi::OPAQUE) {
        // The gaps of a styled line show the background colour.
        applyPen(pen, ropColor(dc_.bkColor), true);
        emitPath(p, true);
        s += "S\n";
    }
    applyPen(pen, ropColor(pen.color), !styled);
    emitPath(p, true);
    s += "S\n";
}

void Player::draw(const Path& p, bool fill, bool stroke) { drawShape(p, p, fill, stroke); }

void Player::drawShape(const Path& p, const Path& strokePath, bool fill, bool stroke) {
    if (p.empty()) return;
    if (inPath_) {
        path_.append(p);
        pathFigureOpen_ = !p.ops().empty() && p.ops().back() != Path::Close;
        return;
    }
    fill = fill && hasFill();
    stroke = stroke && hasStroke();
    if (!fill && !stroke) return;
    ensureClip();
    bool evenOdd = dc_.polyFillMode == gdi::ALTERNATE;
    RopStep steps[2];
    if (int n = ropSteps(steps)) {
        std::string& s = page_.content();
        bool pattern = dc_.brush && (dc_.brush->brush.style == gdi::BS_PATTERN ||
                                     dc_.brush->brush.style == gdi::BS_DIBPATTERN);
        // Pattern brushes keep their own pixels (they are painted as they are).
        if (fill && pattern) paintFill(p, evenOdd, dc_.brush.get());
        for (int part = 0; part < 2; ++part) {
            if (part == 0 ? !fill || pattern : !stroke) continue;
            for (int i = 0; i < n; ++i) {
                s += "/" + page_.blendMode(steps[i].blend) + " gs\n";
                ropStep_ = &steps[i];
                if (part == 0) paintFill(p, evenOdd, dc_.brush.get());
                else paintStroke(strokePath);
            }
            ropStep_ = nullptr;
            s += "/" + page_.blendMode("Normal") + " gs\n";
        }
        return;
    }
    // A solid fill and a plain pen in one operator (when fill and outline
    // share their geometry, that is, without grid alignment).
    if (!snap_ && fill && stroke && dc_.brush->brush.style == gdi::BS_SOLID && !isStyled(dc_.pen->pen)) {
        setFillColor(ropColor(dc_.brush->brush.color));
        applyPen(dc_.pen->pen, ropColor(dc_.pen->pen.color), true);
        emitPath(p);
        page_.content() += evenOdd ? "B*\n" : "B\n";
        return;
    }
    if (fill) paintFill(p, evenOdd, dc_.brush.get());
    if (stroke) paintStroke(strokePath);
}

void Player::flushPending() {
    if (!pendingActive_) return;
    pendingActive_ = false;
    page_.content() += pending_;
    page_.content() += "S\n";
    pending_.clear();
}

void Player::lineTo(PointD to) {
    PointD from = dc_.current;
    dc_.current = to;
    PointD a = dev(from.x, from.y), b = dev(to.x, to.y);
    if (inPath_) {
        if (!pathFigureOpen_) path_.moveTo(a);
        path_.lineTo(b);
        pathFigureOpen_ = true;
        return;
    }
    if (!hasStroke()) return;
    RopStep steps[2];
    if (ropSteps(steps)) {   // reads the page: painted on its own
        flushPending();
        Path p;
        p.moveTo(a);
        p.lineTo(b);
        draw(p, false, true);
        return;
    }
    if (pendingActive_ && pendingPen_ == dc_.pen.get() && pendingClip_ == clipVersion_ &&
        pendingEnd_.x == a.x && pendingEnd_.y == a.y && !(isStyled(dc_.pen->pen) && dc_.bkMode == gdi::OPAQUE)) {
        point(pending_, b, true);
        pending_ += " l\n";
        pendingEnd_ = b;
        return;
    }
    const PenObject& pen = dc_.pen->pen;
    if (isStyled(pen) && dc_.bkMode == gdi::OPAQUE) {
        Path p;
        p.moveTo(a);
        p.lineTo(b);
        ensureClip();
        paintStroke(p);
        return;
    }
    ensureClip();
    applyPen(pen, ropColor(pen.color), !isStyled(pen));
    pending_.clear();
    point(pending_, a, true);
    pending_ += " m\n";
    point(pending_, b, true);
    pending_ += " l\n";
    pendingEnd_ = b;
    pendingPen_ = dc_.pen.get();
    pendingClip_ = clipVersion_;
    pendingActive_ = true;
}

// ---- shape records -------------------------------------------------------

void Player::boxShape(uint32_t type, double l, double t, double r, double b, PointD start, PointD end, double cw,
                      double ch) {
    auto build = [&](Path& p, double L, double T, double R, double B, PointD s, PointD e, double w, double h) {
        switch (type) {
            case emr::RECTANGLE: addRect(p, L, T, R, B); break;
            case emr::ELLIPSE: addEllipse(p, L, T, R, B); break;
            case emr::ROUNDRECT: addRoundRect(p, L, T, R, B, w, h); break;
            case emr::ARC: addArc(p, L, T, R, B, s, e, true, nullptr); break;
            case emr::CHORD: addArc(p, L, T, R, B, s, e, true, nullptr); p.close(); break;
            case emr::PIE:
                p.moveTo(dev((L + R) / 2, (T + B) / 2));
                addArc(p, L, T, R, B, s, e, false, nullptr);
                p.close();
                break;
            default: break;
        }
    };
    bool fill = type != emr::ARC;
    Matrix m = toDevice();
    if (!snap_ || !m.axisAligned() || inPath_) {
        Path p;
        build(p, l, t, r, b, start, end, cw, ch);
        draw(p, fill, true);
        return;
    }
    // On the grid: the box covers pixels left..right-1 and top..bottom-1;
    // its outline runs through the centres of its outermost pixels, and
    // without a pen the filled box is one pixel smaller.
    PointD a = dev(l, t), c = dev(r, b);
    double x0 = std::floor(std::min(a.x, c.x) + 0.5), x1 = std::floor(std::max(a.x, c.x) + 0.5);
    double y0 = std::floor(std::min(a.y, c.y) + 0.5), y1 = std::floor(std::max(a.y, c.y) + 0.5);
    PointD s = dev(start.x, start.y), e = dev(end.x, end.y);
    double w = cw * std::fabs(m.m11), h = ch * std::fabs(m.m22);
    bool pen = hasStroke();
    Path fp, sp;
    rawGrid_ = true;
    // The fill of a curved box shrinks by half a pixel all round, for the
    // same reason as polygon fills (see emitFillPath).
    double in = type == emr::RECTANGLE ? 0 : 0.5;
    double fx1 = pen ? x1 : x1 - 1, fy1 = pen ? y1 : y1 - 1;
    if (fx1 - x0 > 2 * in && fy1 - y0 > 2 * in) build(fp, x0 + in, y0 + in, fx1 - in, fy1 - in, s, e, w - in, h - in);
    else build(fp, x0, y0, fx1, fy1, s, e, w, h);
    if (pen) build(sp, x0, y0, x1 - 1, y1 - 1, s, e, w, h);
    rawGrid_ = false;
    fillExact_ = in > 0;
    drawShape(fp, sp, fill, pen);
    fillExact_ = false;
}

void Player::onShape(const RecordData& r) {
    ++result_.recordsPlayed;
    auto box = [&](double& l, double& t, double& rr, double& b) {
        l = r.i32(8); t = r.i32(12); rr = r.i32(16); b = r.i32(20);
        if (dc_.pen && dc_.pen->pen.style == gdi::PS_INSIDEFRAME && !dc_.pen->pen.cosmetic) {
            double hw = dc_.pen->pen.width / 2;
            double sx = rr >= l ? 1 : -1, sy = b >= t ? 1 : -1;
            l += hw * sx; rr -= hw * sx; t += hw * sy; b -= hw * sy;
        }
    };
    switch (r.type()) {
        case emr::LINETO:
            lineTo({double(r.i32(8)), double(r.i32(12))});
            return;
        case emr::SETPIXELV: {
            if (inPath_) return;
            PointD p = dev(r.i32(8), r.i32(12));
            double w = std::max(1.0, outPx_);
            Path px;
            px.moveTo(p);
            px.lineTo({p.x + w, p.y});
            px.lineTo({p.x + w, p.y + w});
            px.lineTo({p.x, p.y + w});
            px.close();
            fillDevicePath(px, r.u32(16));
            return;
        }
        case emr::RECTANGLE:
        case emr::ELLIPSE:
        case emr::ROUNDRECT: {
            double l, t, rr, b;
            box(l, t, rr, b);
            double cw = 0, ch = 0;
            if (r.type() == emr::ROUNDRECT) { cw = r.i32(24); ch = r.i32(28); }
            boxShape(r.type(), l, t, rr, b, {}, {}, cw, ch);
            return;
        }
        case emr::ARC:
        case emr::ARCTO:
        case emr::CHORD:
        case emr::PIE: {
            double l, t, rr, b;
            box(l, t, rr, b);
            PointD s{double(r.i32(24)), double(r.i32(28))}, e{double(r.i32(32)), double(r.i32(36))};
            Path p;
            PointD endPt;
            if (r.type() != emr::ARCTO) {
                boxShape(r.type(), l, t, rr, b, s, e, 0, 0);
            } else {   // ARCTO: a line from the current position to the arc, then the arc
                PointD from = dc_.current;
                if (inPath_ && pathFigureOpen_) {
                    addArc(p, l, t, rr, b, s, e, false, &endPt);
                } else {
                    p.moveTo(dev(from.x, from.y));
                    addArc(p, l, t, rr, b, s, e, false, &endPt);
                }
                draw(p, false, true);
                dc_.current = endPt;
            }
            return;
        }
        case emr::ANGLEARC: {
            double cx = r.i32(8), cy = r.i32(12), radius = r.u32(16);
            double start = r.f32(20), sweep = r.f32(24);
            if (!std::isfinite(start) || !std::isfinite(sweep) || radius > 1e8) { damaged(r, "bad angles"); return; }
            sweep = std::max(-3600.0, std::min(3600.0, sweep));
            const double d2r = kPi / 180;
            // Positive angles turn counter-clockwise with y upwards on the page.
            double a0 = -start * d2r, total = -sweep * d2r;
            Path p;
            PointD from = dc_.current;
            if (inPath_ && pathFigureOpen_) p.lineTo(dev(cx + radius * std::cos(a0), cy + radius * std::sin(a0)));
            else {
                p.moveTo(dev(from.x, from.y));
                p.lineTo(dev(cx + radius * std::cos(a0), cy + radius * std::sin(a0)));
            }
            int segments = std::max(1, static_cast<int>(std::ceil(std::fabs(total) / (kPi / 2))));
            double step = total / segments, h = 4.0 / 3.0 * std::tan(step / 4);
            double a = a0;
            for (int i = 0; i < segments; ++i) {
                double b2 = a + step;
                PointD p0{cx + radius * std::cos(a), cy + radius * std::sin(a)};
                PointD p3{cx + radius * std::cos(b2), cy + radius * std::sin(b2)};
                PointD c1{p0.x - h * radius * std::sin(a), p0.y + h * radius * std::cos(a)};
                PointD c2{p3.x + h * radius * std::sin(b2), p3.y - h * radius * std::cos(b2)};
                p.curveTo(dev(c1.x, c1.y), dev(c2.x, c2.y), dev(p3.x, p3.y));
                a = b2;
            }
            draw(p, false, true);
            dc_.current = {cx + radius * std::cos(a0 + total), cy + radius * std::sin(a0 + total)};
            return;
        }
        default: return;
    }
}

void Player::onPoly(const RecordData& r) {
    uint32_t t = r.type();
    bool small = t >= emr::POLYBEZIER16 && t <= emr::POLYDRAW16;
    if (t == emr::POLYPOLYLINE || t == emr::POLYPOLYGON || t == emr::POLYPOLYLINE16 || t == emr::POLYPOLYGON16) {
        std::vector<uint32_t> counts;
        std::vector<PointL> pts;
        if (!readPolyPoints(r, small, counts, pts)) { damaged(r, "point counts do not fit the record"); return; }
        ++result_.recordsPlayed;
        bool polygon = t == emr::POLYPOLYGON || t == emr::POLYPOLYGON16;
        Path p;
        std::size_t k = 0;
        for (uint32_t c : counts) {
            if (c == 0) continue;
            p.moveTo(dev(pts[k]));
            for (uint32_t i = 1; i < c; ++i) p.lineTo(dev(pts[k + i]));
            if (polygon) p.close();
            k += c;
        }
        draw(p, polygon, true);
        return;
    }
    if (t == emr::POLYDRAW || t == emr::POLYDRAW16) {
        uint32_t count = r.u32(24);
        std::size_t each = small ? 4 : 8;
        if (count > (r.size() - 28) / (each + 1)) { damaged(r, "point count does not fit the record"); return; }
        ++result_.recordsPlayed;
        std::size_t typesAt = 28 + count * each;
        Path p;
        PointD cp = dc_.current;
        p.moveTo(dev(cp.x, cp.y));
        for (uint32_t i = 0; i < count; ++i) {
            std::size_t off = 28 + i * each;
            PointD q = small ? PointD{double(r.i16(off)), double(r.i16(off + 2))}
                             : PointD{double(r.i32(off)), double(r.i32(off + 4))};
            uint8_t type = r.u8(typesAt + i);
            switch (type & ~1u) {
                case 6: p.moveTo(dev(q.x, q.y)); break;   // PT_MOVETO
                case 2: p.lineTo(dev(q.x, q.y)); break;   // PT_LINETO
                case 4:                                   // PT_BEZIERTO: three points
                    if (i + 2 < count) {
                        std::size_t o2 = off + each, o3 = off + 2 * each;
                        PointD q2 = small ? PointD{double(r.i16(o2)), double(r.i16(o2 + 2))}
                                          : PointD{double(r.i32(o2)), double(r.i32(o2 + 4))};
                        PointD q3 = small ? PointD{double(r.i16(o3)), double(r.i16(o3 + 2))}
                                          : PointD{double(r.i32(o3)), double(r.i32(o3 + 4))};
                        p.curveTo(dev(q.x, q.y), dev(q2.x, q2.y), dev(q3.x, q3.y));
                        type = r.u8(typesAt + i + 2);
                        i += 2;
                        q = q3;
                    }
                    break;
                default: break;
            }
            if (type & 1) p.close();   // PT_CLOSEFIGURE
            cp = q;
        }
        dc_.current = cp;
        draw(p, false, true);
        return;
    }
    std::vector<PointL> pts;
    if (!readPoints(r, small, pts)) { damaged(r, "point count does not fit the record"); return; }
    ++result_.recordsPlayed;
    if (pts.empty()) return;
    Path p;
    switch (t) {
        case emr::POLYGON:
        case emr::POLYGON16:
            p.moveTo(dev(pts[0]));
            for (std::size_t i = 1; i < pts.size(); ++i) p.lineTo(dev(pts[i]));
            p.close();
            draw(p, true, true);
            return;
        case emr::POLYLINE:
        case emr::POLYLINE16:
            if (pts.size() < 2) return;
            p.moveTo(dev(pts[0]));
            for (std::size_t i = 1; i < pts.size(); ++i) p.lineTo(dev(pts[i]));
            if (inPath_) {
                path_.append(p);
                pathFigureOpen_ = true;
            } else {
                draw(p, false, true);
            }
            return;
        case emr::POLYLINETO:
        case emr::POLYLINETO16:
            if (inPath_) {
                if (!pathFigureOpen_) path_.moveTo(dev(dc_.current.x, dc_.current.y));
                for (const auto& q : pts) path_.lineTo(dev(q));
                pathFigureOpen_ = true;
            } else {
                p.moveTo(dev(dc_.current.x, dc_.current.y));
                for (const auto& q : pts) p.lineTo(dev(q));
                draw(p, false, true);
            }
            dc_.current = {double(pts.back().x), double(pts.back().y)};
            return;
        case emr::POLYBEZIER:
        case emr::POLYBEZIER16: {
            if (pts.size() < 4) return;
            p.moveTo(dev(pts[0]));
            for (std::size_t i = 1; i + 2 < pts.size(); i += 3) p.curveTo(dev(pts[i]), dev(pts[i + 1]), dev(pts[i + 2]));
            if (inPath_) { path_.append(p); pathFigureOpen_ = true; }
            else draw(p, false, true);
            return;
        }
        case emr::POLYBEZIERTO:
        case emr::POLYBEZIERTO16: {
            if (pts.size() < 3) return;
            if (inPath_) {
                if (!pathFigureOpen_) path_.moveTo(dev(dc_.current.x, dc_.current.y));
                for (std::size_t i = 0; i + 2 < pts.size(); i += 3)
                    path_.curveTo(dev(pts[i]), dev(pts[i + 1]), dev(pts[i + 2]));
                pathFigureOpen_ = true;
            } else {
                p.moveTo(dev(dc_.current.x, dc_.current.y));
                for (std::size_t i = 0; i + 2 < pts.size(); i += 3) p.curveTo(dev(pts[i]), dev(pts[i + 1]), dev(pts[i + 2]));
                draw(p, false, true);
            }
            std::size_t last = (pts.size() / 3) * 3 - 1;
            dc_.current = {double(pts[last].x), double(pts[last].y)};
            return;
        }
        default: return;
    }
}

void Player::onPath(const RecordData& r) {
    ++result_.recordsPlayed;
    switch (r.type()) {
        case emr::BEGINPATH:
            flushPending();
            inPath_ = true;
            path_.clear();
            pathFigureOpen_ = false;
            pathWidened_ = false;
            return;
        case emr::ENDPATH:
            inPath_ = false;
            return;
        case emr::ABORTPATH:
            inPath_ = false;
            path_.clear();
            return;
        case emr::CLOSEFIGURE:
            if (inPath_) {
                path_.close();
                pathFigureOpen_ = false;
            }
            return;
        case emr::FLATTENPATH:
            return;   // curves stay curves: PDF draws them exactly
        case emr::WIDENPATH:
            pathWidened_ = true;   // filled later as the stroke it stands for
            return;
        case emr::FILLPATH:
        case emr::STROKEPATH:
        case emr::STROKEANDFILLPATH: {
            if (inPath_) {
                damaged(r, "path used before it was ended");
                inPath_ = false;
            }
            Path p = path_;
            path_.clear();
            if (p.empty()) return;
            bool fill = r.type() != emr::STROKEPATH, stroke = r.type() != emr::FILLPATH;
            if (pathWidened_ && r.type() == emr::FILLPATH) {
                // The widened outline filled with the brush: stroke with the
                // pen's geometry in the brush colour.
                if (!hasFill() || !dc_.pen) return;
                ensureClip();
                uint32_t c = dc_.brush->brush.style == gdi::BS_SOLID ? dc_.brush->brush.color : dc_.pen->pen.color;
                PenObject pen = dc_.pen->pen;
                applyPen(pen, ropColor(c), true);
                emitPath(p, true);
                page_.content() += "S\n";
                return;
            }
            if (fill) {
                Path closed = p;
                draw(closed, true, false);
            }
            if (stroke) draw(p, false, true);
            return;
        }
        default: return;
    }
}

}  // namespace quillkit
