// Playback: record dispatch, DC state, objects and clipping.
#include "playback.h"

#include <algorithm>
#include <cmath>

#include "pdf_number.h"

namespace quillkit {
namespace {

// Regions beyond this are "everything" for the clip operations.
const double kHuge = 1e7;

Matrix matrixOf(const RecordData& r, std::size_t off) {
    Matrix m;
    m.m11 = r.f32(off);
    m.m12 = r.f32(off + 4);
    m.m21 = r.f32(off + 8);
    m.m22 = r.f32(off + 12);
    m.dx = r.f32(off + 16);
    m.dy = r.f32(off + 20);
    return m;
}

ObjectRef makeStock(int index) {
    auto o = std::make_shared<GdiObject>();
    auto brush = [&](uint32_t c, int style = gdi::BS_SOLID) {
        o->kind = GdiObject::Kind::Brush;
        o->brush.style = style;
        o->brush.color = c;
    };
    auto pen = [&](uint32_t c, bool null = false) {
        o->kind = GdiObject::Kind::Pen;
        o->pen.color = c;
        o->pen.nullPen = null;
        o->pen.style = null ? gdi::PS_NULL : gdi::PS_SOLID;
    };
    switch (index) {
        case 0: brush(0xFFFFFF); break;
        case 1: brush(0xC0C0C0); break;
        case 2: brush(0x808080); break;
        case 3: brush(0x404040); break;
        case 4: brush(0x000000); break;
        case 5: brush(0, gdi::BS_NULL); break;
        case 6: pen(0xFFFFFF); break;
        case 7: pen(0x000000); break;
        case 8: pen(0, true); break;
        case 15: o->kind = GdiObject::Kind::Palette; break;
        case 18: brush(0xFFFFFF); break;   // DC brush
        case 19: pen(0x000000); break;     // DC pen
        default:
            o->kind = GdiObject::Kind::Font;
            o->font.faceName = u"Arial";
            o->font.height = -13;
            break;
    }
    return o;
}

}  // namespace

Player::Player(PageWriter& page, const Placement& placement, double gridPerInch, PlayResult& result,
               TextRenderer* text)
    : page_(page), placement_(placement), result_(result), text_(text) {
    for (int i = 0; i < 20; ++i) stockObjects_[i] = makeStock(i);
    dc_.pen = stockObjects_[7];
    dc_.brush = stockObjects_[0];
    dc_.font = stockObjects_[13];
    dc_.palette = stockObjects_[15];
    double k = page_.pointsPerUnit();                 // points per page unit
    snap_ = gridPerInch > 0;
    double grid = snap_ ? gridPerInch : 96;
    gridUnit_ = 72.0 / grid / k;                     // page units per grid pixel
    deviceToGrid_.m11 = placement_.scaleX / gridUnit_;
    deviceToGrid_.m22 = placement_.scaleY / gridUnit_;
    deviceToGrid_.dx = placement_.x / gridUnit_;
    deviceToGrid_.dy = placement_.y / gridUnit_;
    outPx_ = grid / 96.0;                            // grid pixels per 1/96 inch
}

void Player::damaged(const RecordData& r, const std::string& why) {
    if (result_.errors.size() < 50)
        result_.errors.push_back(emfRecordName(r.type()) + ": " + why);
}

std::string& Player::out() {
    flushPending();
    return page_.content();
}

bool Player::play(const uint8_t* data, std::size_t size, std::string& error) {
    EmfReader reader(data, size);
    if (!reader.readHeader(header_, error)) return false;
    objects_.assign(std::size_t(header_.handles) + 1, nullptr);
    std::string& c = page_.content();
    c += "q ";
    appendNumber(c, gridUnit_, 6); c += " 0 0 ";
    appendNumber(c, gridUnit_, 6); c += " 0 0 cm\nq\n";
    resetEmittedState();
    clipEmitted_ = clipVersion_;   // nothing clipped yet

    ++result_.recordsRead;
    ++result_.recordsPlayed;   // the header
    RecordData rec;
    while (reader.next(rec)) {
        ++result_.recordsRead;
        try {
            dispatch(rec);
        } catch (const std::bad_alloc&) {
            damaged(rec, "out of memory");
            break;
        }
        if (!rec.ok()) damaged(rec, "record too short for its fields");
    }
    if (!reader.error().empty()) {
        result_.errors.push_back(reader.error());
        result_.truncated = true;
    } else if (!reader.sawEof()) {
        result_.truncated = true;
    }
    flushPending();
    page_.content() += "Q\nQ\n";
    return true;
}

Matrix Player::toDevice() {
    if (!xformValid_) {
        Matrix page;
        double wx = dc_.windowExt.x ? dc_.windowExt.x : 1, wy = dc_.windowExt.y ? dc_.windowExt.y : 1;
        page.m11 = dc_.viewportExt.x / wx;
        page.m22 = dc_.viewportExt.y / wy;
        page.dx = dc_.viewportOrg.x - dc_.windowOrg.x * page.m11;
        page.dy = dc_.viewportOrg.y - dc_.windowOrg.y * page.m22;
        xform_ = multiply(multiply(dc_.world, page), deviceToGrid_);
        if (!xform_.isFinite()) xform_ = Matrix();
        xformValid_ = true;
    }
    return xform_;
}

RectD Player::deviceRect(const RectL& r) {
    PointD a = dev(r.left, r.top), b = dev(r.right, r.top), c = dev(r.left, r.bottom), d = dev(r.right, r.bottom);
    RectD out;
    out.x0 = std::min({a.x, b.x, c.x, d.x});
    out.x1 = std::max({a.x, b.x, c.x, d.x});
    out.y0 = std::min({a.y, b.y, c.y, d.y});
    out.y1 = std::max({a.y, b.y, c.y, d.y});
    return out;
}

void Player::setMapMode(int mode) {
    if (mode < gdi::MM_TEXT || mode > gdi::MM_ANISOTROPIC) return;
    dc_.mapMode = mode;
    double mmPerUnit = 0;
    switch (mode) {
        case gdi::MM_LOMETRIC: mmPerUnit = 0.1; break;
        case gdi::MM_HIMETRIC: mmPerUnit = 0.01; break;
        case gdi::MM_LOENGLISH: mmPerUnit = 0.254; break;
        case gdi::MM_HIENGLISH: mmPerUnit = 0.0254; break;
        case gdi::MM_TWIPS: mmPerUnit = 25.4 / 1440; break;
        case gdi::MM_ISOTROPIC: mmPerUnit = 0.1; break;   // starts like MM_LOMETRIC
        default: break;
    }
    if (mode == gdi::MM_TEXT) {
        dc_.windowExt = {1, 1};
        dc_.viewportExt = {1, 1};
    } else if (mmPerUnit > 0) {
        dc_.windowExt = {header_.micrometers.cx / 1000.0 / mmPerUnit, header_.micrometers.cy / 1000.0 / mmPerUnit};
        dc_.viewportExt = {double(header_.device.cx), -double(header_.device.cy)};
    }
    mappingChanged();
}

void Player::fixIsotropic() {
    // As GDI does: shrink the larger viewport extent so that a logical unit
    // is as long on x as on y (measured on the reference device).
    if (dc_.mapMode != gdi::MM_ISOTROPIC) return;
    if (dc_.windowExt.x == 0 || dc_.windowExt.y == 0) return;
    double xdim = dc_.viewportExt.x * header_.millimeters.cx / (double(header_.device.cx) * dc_.windowExt.x);
    double ydim = dc_.viewportExt.y * header_.millimeters.cy / (double(header_.device.cy) * dc_.windowExt.y);
    if (xdim == 0 || ydim == 0) return;
    if (xdim > ydim) {
        double mincx = dc_.viewportExt.x >= 0 ? 1 : -1;
        dc_.viewportExt.x = std::floor(dc_.viewportExt.x * std::fabs(ydim / xdim) + 0.5);
        if (dc_.viewportExt.x == 0) dc_.viewportExt.x = mincx;
    } else if (ydim > xdim) {
        double mincy = dc_.viewportExt.y >= 0 ? 1 : -1;
        dc_.viewportExt.y = std::floor(dc_.viewportExt.y * std::fabs(xdim / ydim) + 0.5);
        if (dc_.viewportExt.y == 0) dc_.viewportExt.y = mincy;
    }
}

uint32_t Player::resolveColor(uint32_t c) const {
    uint32_t flag = c >> 24;
    if (flag == 1) {   // PALETTEINDEX
        uint32_t idx = c & 0xFFFF;
        const auto& pal = dc_.palette ? dc_.palette->palette.entries : std::vector<uint32_t>();
        return idx < pal.size() ? pal[idx] & 0xFFFFFF : 0;
    }
    return c & 0xFFFFFF;
}

void Player::dispatch(const RecordData& r) {
    switch (r.type()) {
        case emr::EOF_:
        case emr::GDICOMMENT:
            ++result_.recordsPlayed;
            return;
        case emr::SETWINDOWEXTEX: case emr::SETWINDOWORGEX: case emr::SETVIEWPORTEXTEX:
        case emr::SETVIEWPORTORGEX: case emr::SETBRUSHORGEX: case emr::SETMAPPERFLAGS:
        case emr::SETMAPMODE: case emr::SETBKMODE: case emr::SETPOLYFILLMODE: case emr::SETROP2:
        case emr::SETSTRETCHBLTMODE: case emr::SETTEXTALIGN: case emr::SETTEXTCOLOR:
        case emr::SETBKCOLOR: case emr::MOVETOEX: case emr::SCALEVIEWPORTEXTEX:
        case emr::SCALEWINDOWEXTEX: case emr::SAVEDC: case emr::RESTOREDC:
        case emr::SETWORLDTRANSFORM: case emr::MODIFYWORLDTRANSFORM: case emr::SETARCDIRECTION:
        case emr::SETMITERLIMIT: case emr::SETICMMODE: case emr::SETLAYOUT: case emr::REALIZEPALETTE:
        case emr::SETCOLORADJUSTMENT: case emr::SETTEXTJUSTIFICATION: case emr::COLORCORRECTPALETTE:
        case emr::SETICMPROFILEA: case emr::SETICMPROFILEW: case emr::COLORMATCHTOTARGETW:
        case emr::FORCEUFIMAPPING: case emr::SETLINKEDUFIS: case emr::PIXELFORMAT:
            onState(r);
            return;
        case emr::SELECTOBJECT: case emr::CREATEPEN: case emr::CREATEBRUSHINDIRECT:
        case emr::DELETEOBJECT: case emr::SELECTPALETTE: case emr::CREATEPALETTE:
        case emr::SETPALETTEENTRIES: case emr::RESIZEPALETTE: case emr::EXTCREATEFONTINDIRECTW:
        case emr::CREATEMONOBRUSH: case emr::CREATEDIBPATTERNBRUSHPT: case emr::EXTCREATEPEN:
        case emr::CREATECOLORSPACE: case emr::CREATECOLORSPACEW: case emr::SETCOLORSPACE:
        case emr::DELETECOLORSPACE:
            onObject(r);
            return;
        case emr::OFFSETCLIPRGN: case emr::SETMETARGN: case emr::EXCLUDECLIPRECT:
        case emr::INTERSECTCLIPRECT: case emr::EXTSELECTCLIPRGN: case emr::SELECTCLIPPATH:
            onClip(r);
            return;
        case emr::SETPIXELV: case emr::ANGLEARC: case emr::ELLIPSE: case emr::RECTANGLE:
        case emr::ROUNDRECT: case emr::ARC: case emr::CHORD: case emr::PIE: case emr::LINETO:
        case emr::ARCTO:
            onShape(r);
            return;
        case emr::POLYBEZIER: case emr::POLYGON: case emr::POLYLINE: case emr::POLYBEZIERTO:
        case emr::POLYLINETO: case emr::POLYPOLYLINE: case emr::POLYPOLYGON: case emr::POLYDRAW:
        case emr::POLYBEZIER16: case emr::POLYGON16: case emr::POLYLINE16: case emr::POLYBEZIERTO16:
        case emr::POLYLINETO16: case emr::POLYPOLYLINE16: case emr::POLYPOLYGON16: case emr::POLYDRAW16:
            onPoly(r);
            return;
        case emr::BEGINPATH: case emr::ENDPATH: case emr::CLOSEFIGURE: case emr::FILLPATH:
        case emr::STROKEANDFILLPATH: case emr::STROKEPATH: case emr::FLATTENPATH:
        case emr::WIDENPATH: case emr::ABORTPATH:
            onPath(r);
            return;
        case emr::BITBLT: case emr::STRETCHBLT: case emr::MASKBLT: case emr::SETDIBITSTODEVICE:
        case emr::STRETCHDIBITS: case emr::ALPHABLEND: case emr::TRANSPARENTBLT:
            onBitmap(r);
            return;
        case emr::EXTTEXTOUTA: case emr::EXTTEXTOUTW: case emr::POLYTEXTOUTA: case emr::POLYTEXTOUTW:
        case emr::SMALLTEXTOUT:
            onText(r);
            return;
        case emr::FILLRGN: case emr::PAINTRGN: case emr::FRAMERGN: case emr::INVERTRGN:
            onRegionPaint(r);
            return;
        case emr::GRADIENTFILL:
            onGradient(r);
            return;
        default:
            unsupported(r.type());
            return;
    }
}

void Player::onState(const RecordData& r) {
    ++result_.recordsPlayed;
    switch (r.type()) {
        case emr::SETWINDOWEXTEX:
            if (dc_.mapMode == gdi::MM_ISOTROPIC || dc_.mapMode == gdi::MM_ANISOTROPIC) {
                int32_t x = r.i32(8), y = r.i32(12);
                if (x == 0 || y == 0) return;   // GDI refuses a zero extent
                dc_.windowExt = {double(x), double(y)};
                fixIsotropic();
                mappingChanged();
            }
            return;
        case emr::SETVIEWPORTEXTEX:
            if (dc_.mapMode == gdi::MM_ISOTROPIC || dc_.mapMode == gdi::MM_ANISOTROPIC) {
                int32_t x = r.i32(8), y = r.i32(12);
                if (x == 0 || y == 0) return;
                dc_.viewportExt = {double(x), double(y)};
                fixIsotropic();
                mappingChanged();
            }
            return;
        case emr::SETWINDOWORGEX:
            dc_.windowOrg = {double(r.i32(8)), double(r.i32(12))};
            mappingChanged();
            return;
        case emr::SETVIEWPORTORGEX:
            dc_.viewportOrg = {double(r.i32(8)), double(r.i32(12))};
            mappingChanged();
            return;
        case emr::SCALEVIEWPORTEXTEX:
        case emr::SCALEWINDOWEXTEX: {
            if (dc_.mapMode != gdi::MM_ISOTROPIC && dc_.mapMode != gdi::MM_ANISOTROPIC) return;
            int32_t xn = r.i32(8), xd = r.i32(12), yn = r.i32(16), yd = r.i32(20);
            if (xn == 0 || xd == 0 || yn == 0 || yd == 0) return;
            PointD& e = r.type() == emr::SCALEVIEWPORTEXTEX ? dc_.viewportExt : dc_.windowExt;
            e.x = e.x * xn / xd;
            e.y = e.y * yn / yd;
            fixIsotropic();
            mappingChanged();
            return;
        }
        case emr::SETBRUSHORGEX: dc_.brushOrg = {double(r.i32(8)), double(r.i32(12))}; return;
        case emr::SETMAPMODE: setMapMode(r.i32(8)); return;
        case emr::SETBKMODE: dc_.bkMode = r.i32(8) == gdi::TRANSPARENT ? gdi::TRANSPARENT : gdi::OPAQUE; return;
        case emr::SETPOLYFILLMODE: dc_.polyFillMode = r.i32(8) == gdi::WINDING ? gdi::WINDING : gdi::ALTERNATE; return;
        case emr::SETROP2: {
            int v = r.i32(8);
            if (v >= 1 && v <= 16) dc_.rop2 = v;
            return;
        }
        case emr::SETSTRETCHBLTMODE: dc_.stretchMode = r.i32(8); return;
        case emr::SETTEXTALIGN: dc_.textAlign = r.u32(8); return;
        case emr::SETTEXTCOLOR: dc_.textColor = r.u32(8); return;
        case emr::SETBKCOLOR: dc_.bkColor = r.u32(8); return;
        case emr::MOVETOEX: {
            dc_.current = {double(r.i32(8)), double(r.i32(12))};
            if (inPath_) {
                path_.moveTo(dev(dc_.current.x, dc_.current.y));
                pathFigureOpen_ = true;
            }
            return;
        }
        case emr::SAVEDC:
            if (saved_.size() < 10000) saved_.push_back(dc_);
            return;
        case emr::RESTOREDC: {
            int32_t n = r.i32(8);
            std::size_t target;
            if (n < 0) {
                if (std::size_t(-int64_t(n)) > saved_.size()) return;
                target = saved_.size() - std::size_t(-int64_t(n));
            } else {
                if (n == 0 || std::size_t(n) > saved_.size()) return;
                target = std::size_t(n) - 1;
            }
            dc_ = saved_[target];
            saved_.resize(target);
            mappingChanged();
            clipChanged();
            return;
        }
        case emr::SETWORLDTRANSFORM: {
            Matrix m = matrixOf(r, 8);
            if (m.isFinite() && m.determinant() != 0) dc_.world = m;
            mappingChanged();
            return;
        }
        case emr::MODIFYWORLDTRANSFORM: {
            Matrix m = matrixOf(r, 8);
            uint32_t mode = r.u32(32);
            if (!m.isFinite()) return;
            switch (mode) {
                case 1: dc_.world = Matrix(); break;                           // MWT_IDENTITY
                case 2: dc_.world = multiply(m, dc_.world); break;             // MWT_LEFTMULTIPLY
                case 3: dc_.world = multiply(dc_.world, m); break;             // MWT_RIGHTMULTIPLY
                case 4: if (m.determinant() != 0) dc_.world = m; break;        // MWT_SET
                default: break;
            }
            mappingChanged();
            return;
        }
        case emr::SETARCDIRECTION:
            dc_.arcDirection = r.i32(8) == gdi::AD_CLOCKWISE ? gdi::AD_CLOCKWISE : gdi::AD_COUNTERCLOCKWISE;
            return;
        case emr::SETMITERLIMIT: {
            uint32_t v = r.u32(8);
            double limit = v;
            if (v > 0x10000) {   // some writers store a float
                float f = r.f32(8);
                limit = std::isfinite(f) ? f : 10;
            }
            dc_.miterLimit = std::max(1.0, std::min(limit, 100.0));
            return;
        }
        case emr::SETLAYOUT: dc_.layout = r.u32(8); return;
        default:
            return;   // colour management, mapper flags: nothing to draw
    }
}

void Player::onObject(const RecordData& r) {
    auto slot = [&](uint32_t index) -> ObjectRef* {
        if (index == 0 || index >= objects_.size()) {
            damaged(r, "object index " + std::to_string(index) + " outside the object table");
            return nullptr;
        }
        return &objects_[index];
    };
    switch (r.type()) {
        case emr::SELECTOBJECT: {
            uint32_t index = r.u32(8);
            ObjectRef obj;
            if (index & 0x80000000u) {
                uint32_t stock = index & 0x7FFFFFFF;
                if (stock >= 20) { damaged(r, "unknown stock object"); return; }
                obj = stockObjects_[stock];
            } else {
                ObjectRef* s = slot(index);
                if (!s) return;
                obj = *s;
                if (!obj) { damaged(r, "selecting an object that does not exist"); return; }
            }
            switch (obj->kind) {
                case GdiObject::Kind::Pen: dc_.pen = obj; break;
                case GdiObject::Kind::Brush: dc_.brush = obj; break;
                case GdiObject::Kind::Font: dc_.font = obj; break;
                case GdiObject::Kind::Palette: dc_.palette = obj; break;
                default: break;
            }
            ++result_.recordsPlayed;
            return;
        }
        case emr::DELETEOBJECT: {
            ObjectRef* s = slot(r.u32(8));
            if (s) s->reset();   // a selected object stays selected (it is shared)
            ++result_.recordsPlayed;
            return;
        }
        case emr::SELECTPALETTE: {
            uint32_t index = r.u32(8);
            if (index & 0x80000000u) dc_.palette = stockObjects_[15];
            else if (index < objects_.size() && objects_[index] && objects_[index]->kind == GdiObject::Kind::Palette)
                dc_.palette = objects_[index];
            ++result_.recordsPlayed;
            return;
        }
        default: break;
    }

    ObjectRef* s = slot(r.u32(8));
    if (!s) return;
    auto o = std::make_shared<GdiObject>();
    switch (r.type()) {
        case emr::CREATEPEN: {
            o->kind = GdiObject::Kind::Pen;
            uint32_t style = r.u32(12);
            int32_t width = r.i32(16);
            o->pen.color = r.u32(24);
            o->pen.style = style & gdi::PS_STYLE_MASK;
            o->pen.width = std::abs(width);
            o->pen.nullPen = o->pen.style == gdi::PS_NULL;
            // Old-style pens: width 0 is one device pixel; wider ones are
            // geometric with round ends and joins, and always solid.
            o->pen.cosmetic = width == 0;
            if (!o->pen.cosmetic && width > 1 && o->pen.style != gdi::PS_NULL && o->pen.style != gdi::PS_INSIDEFRAME)
                o->pen.style = gdi::PS_SOLID;
            break;
        }
        case emr::EXTCREATEPEN: {
            o->kind = GdiObject::Kind::Pen;
            uint32_t style = r.u32(28);
            o->pen.style = style;
            o->pen.width = r.u32(32);
            o->pen.brushStyle = static_cast<int>(r.u32(36));
            o->pen.color = r.u32(40);
            o->pen.hatch = static_cast<int>(r.u32(44));
            uint32_t entries = r.u32(48);
            o->pen.cosmetic = (style & gdi::PS_TYPE_MASK) != gdi::PS_GEOMETRIC;
            o->pen.nullPen = (style & gdi::PS_STYLE_MASK) == gdi::PS_NULL || o->pen.brushStyle == gdi::BS_NULL;
            if ((style & gdi::PS_STYLE_MASK) == gdi::PS_USERSTYLE) {
                if (entries > 16 || !r.has(52, entries * 4)) { damaged(r, "bad dash entries"); entries = 0; }
                for (uint32_t i = 0; i < entries; ++i) o->pen.userDashes.push_back(r.u32(52 + i * 4));
            }
            if (o->pen.cosmetic) o->pen.width = 0;
            break;
        }
        case emr::CREATEBRUSHINDIRECT: {
            o->kind = GdiObject::Kind::Brush;
            o->brush.style = static_cast<int>(r.u32(12));
            o->brush.color = r.u32(16);
            o->brush.hatch = static_cast<int>(r.u32(20));
            if (o->brush.style != gdi::BS_SOLID && o->brush.style != gdi::BS_NULL && o->brush.style != gdi::BS_HATCHED) {
                damaged(r, "brush style " + std::to_string(o->brush.style) + " drawn as solid");
                o->brush.style = gdi::BS_SOLID;
            }
            if (o->brush.style == gdi::BS_HATCHED && (o->brush.hatch < 0 || o->brush.hatch > 5)) o->brush.style = gdi::BS_SOLID;
            break;
        }
        case emr::CREATEMONOBRUSH:
        case emr::CREATEDIBPATTERNBRUSHPT: {
            o->kind = GdiObject::Kind::Brush;
            uint32_t usage = r.u32(12);
            DibRef dib;
            if (!dibAt(r, r.u32(16), r.u32(20), r.u32(24), r.u32(28), dib) || !dib.present()) {
                damaged(r, "pattern bitmap lies outside its record");
                o->brush.style = gdi::BS_SOLID;
                o->brush.color = 0x808080;
                break;
            }
            int w = 0, h = 0, bits = 0;
            dibDimensions(dib, w, h, bits);
            if (r.type() == emr::CREATEMONOBRUSH || bits == 1) {
                // Coloured when used, from the text and background colours.
                o->brush.style = gdi::BS_PATTERN;
                auto bytes = std::make_shared<std::vector<uint8_t>>(dib.bmi, dib.bmi + dib.bmiSize);
                bytes->insert(bytes->end(), dib.bits, dib.bits + dib.bitsSize);
                o->brush.monoDib = bytes;
                o->brush.monoHeaderSize = dib.bmiSize;
                if (r.type() == emr::CREATEDIBPATTERNBRUSHPT) {
                    // A 1-bit DIB brush keeps its own colour table.
                    auto img = std::make_shared<DecodedImage>();
                    DibOptions opt;
                    opt.paletteIndices = usage == 1;
                    opt.palette = dc_.palette ? &dc_.palette->palette.entries : nullptr;
                    opt.maxPixels = 1u << 20;
                    std::string err;
                    if (decodeDib(dib, opt, *img, err)) {
                        o->brush.style = gdi::BS_DIBPATTERN;
                        o->brush.pattern = img;
                    }
                }
            } else {
                auto img = std::make_shared<DecodedImage>();
                DibOptions opt;
                opt.paletteIndices = usage == 1;
                opt.palette = dc_.palette ? &dc_.palette->palette.entries : nullptr;
                opt.maxPixels = 1u << 20;
                std::string err;
                if (!decodeDib(dib, opt, *img, err)) {
                    damaged(r, err);
                    o->brush.style = gdi::BS_SOLID;
                    o->brush.color = 0x808080;
                    break;
                }
                o->brush.style = gdi::BS_DIBPATTERN;
                o->brush.pattern = img;
            }
            break;
        }
        case emr::CREATEPALETTE: {
            o->kind = GdiObject::Kind::Palette;
            uint16_t n = r.u16(14);
            if (!r.has(16, std::size_t(n) * 4)) { damaged(r, "palette entries outside the record"); n = 0; }
            for (uint16_t i = 0; i < n; ++i) {
                uint32_t e = r.u32(16 + i * 4);
                o->palette.entries.push_back(e & 0xFFFFFF);
            }
            break;
        }
        case emr::SETPALETTEENTRIES: {
            // ihPal, iStart, cEntries, entries
            ObjectRef cur = *s;
            if (!cur || cur->kind != GdiObject::Kind::Palette) { ++result_.recordsPlayed; return; }
            *o = *cur;
            uint32_t start = r.u32(12), count = r.u32(16);
            if (count > 4096 || !r.has(20, std::size_t(count) * 4) || start > 4096) { damaged(r, "bad palette entries"); return; }
            if (o->palette.entries.size() < start + count) o->palette.entries.resize(start + count, 0);
            for (uint32_t i = 0; i < count; ++i) o->palette.entries[start + i] = r.u32(20 + i * 4) & 0xFFFFFF;
            break;
        }
        case emr::RESIZEPALETTE: {
            ObjectRef cur = *s;
            if (!cur || cur->kind != GdiObject::Kind::Palette) { ++result_.recordsPlayed; return; }
            *o = *cur;
            uint32_t n = r.u32(12);
            if (n <= 4096) o->palette.entries.resize(n, 0);
            break;
        }
        case emr::EXTCREATEFONTINDIRECTW: {
            o->kind = GdiObject::Kind::Font;
            FontObject& f = o->font;
            f.height = r.i32(12);
            f.width = r.i32(16);
            f.escapement = r.i32(20);
            f.orientation = r.i32(24);
            f.weight = r.i32(28);
            f.italic = r.u8(32) != 0;
            f.underline = r.u8(33) != 0;
            f.strikeOut = r.u8(34) != 0;
            f.charset = r.u8(35);
            f.quality = r.u8(38);
            f.pitchAndFamily = r.u8(39);
            for (int i = 0; i < 32 && r.has(40 + i * 2, 2); ++i) {
                char16_t ch = r.u16(40 + i * 2);
                if (!ch) break;
                f.faceName += ch;
            }
            break;
        }
        default:   // colour spaces
            o->kind = GdiObject::Kind::ColorSpace;
            break;
    }
    *s = o;
    ++result_.recordsPlayed;
}

// ---- clipping --------------------------------------------------------------

bool Player::readRegion(const RecordData& r, std::size_t offset, std::size_t size, bool logical, Region& out) {
    // RGNDATAHEADER: dwSize, iType, nCount, nRgnSize, rcBound; then the rects
    if (size < 32 || !r.has(offset, size)) return false;
    uint32_t count = r.u32(offset + 8);
    if (count > (size - 32) / 16) return false;
    std::vector<RectD> rects;
    rects.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        std::size_t o = offset + 32 + i * 16;
        RectL rl{r.i32(o), r.i32(o + 4), r.i32(o + 8), r.i32(o + 12)};
        if (logical) {
            rects.push_back(deviceRect(rl));
        } else {
            PointD a = deviceToGrid_.apply({double(rl.left), double(rl.top)});
            PointD b = deviceToGrid_.apply({double(rl.right), double(rl.bottom)});
            RectD d{a.x, a.y, b.x, b.y};
            if (d.x0 > d.x1) std::swap(d.x0, d.x1);
            if (d.y0 > d.y1) std::swap(d.y0, d.y1);
            rects.push_back(d);
        }
    }
    out = Region::fromRects(rects);
    return true;
}

void Player::combineClipRegion(const Region& rgn, Region::Op op) {
    Clip& c = dc_.clip;
    if (op == Region::Op::Copy) {
        c.paths.clear();
        c.hasRegion = true;
        c.region = rgn;
    } else {
        Region base = c.hasRegion ? c.region : Region(RectD{-kHuge, -kHuge, kHuge, kHuge});
        if (op == Region::Op::Or && !c.paths.empty()) c.paths.clear();   // a union frees what the paths cut
        c.region = Region::combined(base, rgn, op);
        c.hasRegion = true;
    }
    clipChanged();
}

void Player::onClip(const RecordData& r) {
    ++result_.recordsPlayed;
    switch (r.type()) {
        case emr::INTERSECTCLIPRECT:
        case emr::EXCLUDECLIPRECT: {
            RectL rl{r.i32(8), r.i32(12), r.i32(16), r.i32(20)};
            RectD d = deviceRect(rl);
            combineClipRegion(Region(d), r.type() == emr::INTERSECTCLIPRECT ? Region::Op::And : Region::Op::Diff);
            return;
        }
        case emr::OFFSETCLIPRGN: {
            PointD v = toDevice().applyVector({double(r.i32(8)), double(r.i32(12))});
            dc_.clip.region.offset(v.x, v.y);
            for (auto& p : dc_.clip.paths) p.path.offset(v.x, v.y);
            clipChanged();
            return;
        }
        case emr::SETMETARGN: {
            Clip& m = dc_.metaClip;
            const Clip& c = dc_.clip;
            if (c.hasRegion) {
                if (m.hasRegion) m.region.combine(c.region, Region::Op::And);
                else { m.region = c.region; m.hasRegion = true; }
            }
            m.paths.insert(m.paths.end(), c.paths.begin(), c.paths.end());
            dc_.clip = Clip();
            clipChanged();
            return;
        }
        case emr::EXTSELECTCLIPRGN: {
            uint32_t cb = r.u32(8), mode = r.u32(12);
            if (mode < 1 || mode > 5) { damaged(r, "bad region mode"); return; }
            if (cb == 0) {
                if (mode == 5) { dc_.clip = Clip(); clipChanged(); }   // RGN_COPY without a region: no clip
                return;
            }
            Region rgn;
            if (!readRegion(r, 16, cb, false, rgn)) { damaged(r, "region data outside its record"); return; }
            combineClipRegion(rgn, static_cast<Region::Op>(mode));
            return;
        }
        case emr::SELECTCLIPPATH: {
            uint32_t mode = r.u32(8);
            if (!path_.hasFigure() || inPath_) {
                damaged(r, "no closed path to clip with");
                path_.clear();
                return;
            }
            ClipPath cp;
            cp.path = path_;
            cp.path.close();
            cp.evenOdd = dc_.polyFillMode == gdi::ALTERNATE;
            Clip& c = dc_.clip;
            switch (mode) {
                case 5: c = Clip(); c.paths.push_back(cp); break;   // RGN_COPY
                case 1: c.paths.push_back(cp); break;                 // RGN_AND
                case 4: {                                             // RGN_DIFF: outside the path
                    Path p;
                    p.moveTo({-kHuge, -kHuge}); p.lineTo({kHuge, -kHuge}); p.lineTo({kHuge, kHuge});
                    p.lineTo({-kHuge, kHuge}); p.close();
                    p.append(cp.path);
                    c.paths.push_back({p, true});
                    break;
                }
                default:   // RGN_OR, RGN_XOR with a path: the path alone
                    c = Clip();
                    c.paths.push_back(cp);
                    break;
            }
            path_.clear();
            clipChanged();
            return;
        }
        default: return;
    }
}

void Player::emitClip(const Clip& c) {
    std::string& s = page_.content();
    if (c.hasRegion) {
        if (c.region.empty()) {
            s += "0 0 0 0 re W n\n";
        } else {
            for (const auto& rc : c.region.rects()) {
                double x0 = rc.x0, y0 = rc.y0, x1 = rc.x1, y1 = rc.y1;
                if (snap_) {
                    x0 = std::round(x0); y0 = std::round(y0); x1 = std::round(x1); y1 = std::round(y1);
                }
                appendNumber(s, x0, 2); s += ' ';
                appendNumber(s, y0, 2); s += ' ';
                appendNumber(s, x1 - x0, 2); s += ' ';
                appendNumber(s, y1 - y0, 2); s += " re\n";
            }
            s += "W n\n";
        }
    }
    for (const auto& p : c.paths) {
        emitPath(p.path);
        s += p.evenOdd ? "W* n\n" : "W n\n";
    }
}

void Player::ensureClip() {
    flushPending();
    if (clipEmitted_ == clipVersion_) return;
    page_.content() += "Q q\n";
    emitClip(dc_.metaClip);
    emitClip(dc_.clip);
    clipEmitted_ = clipVersion_;
    resetEmittedState();
}

void Player::resetEmittedState() {
    emFill_ = 0;
    emStroke_ = 0;
    emWidth_ = 1;
    emCap_ = 0;
    emJoin_ = 0;
    emMiter_ = 10;
    emDash_.clear();
}

}  // namespace quillkit
