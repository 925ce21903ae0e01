// The device-context state that EMF playback keeps: GDI objects, mapping,
// transforms, colours, modes, current position and clipping.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dib.h"
#include "geometry.h"
#include "region.h"

namespace quillkit {

namespace gdi {
enum { TRANSPARENT = 1, OPAQUE = 2 };
enum { ALTERNATE = 1, WINDING = 2 };
enum { MM_TEXT = 1, MM_LOMETRIC, MM_HIMETRIC, MM_LOENGLISH, MM_HIENGLISH, MM_TWIPS, MM_ISOTROPIC, MM_ANISOTROPIC };
enum { R2_BLACK = 1, R2_NOP = 11, R2_COPYPEN = 13, R2_WHITE = 16 };
enum { AD_COUNTERCLOCKWISE = 1, AD_CLOCKWISE = 2 };
enum { PS_SOLID = 0, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME, PS_USERSTYLE, PS_ALTERNATE };
enum : uint32_t { PS_STYLE_MASK = 0xF, PS_ENDCAP_MASK = 0xF00, PS_JOIN_MASK = 0xF000, PS_TYPE_MASK = 0xF0000 };
enum : uint32_t { PS_ENDCAP_ROUND = 0, PS_ENDCAP_SQUARE = 0x100, PS_ENDCAP_FLAT = 0x200 };
enum : uint32_t { PS_JOIN_ROUND = 0, PS_JOIN_BEVEL = 0x1000, PS_JOIN_MITER = 0x2000, PS_GEOMETRIC = 0x10000 };
enum { BS_SOLID = 0, BS_NULL = 1, BS_HATCHED = 2, BS_PATTERN = 3, BS_DIBPATTERN = 5, BS_DIBPATTERNPT = 6 };
enum { GM_COMPATIBLE = 1, GM_ADVANCED = 2 };
}  // namespace gdi

struct PenObject {
    uint32_t style = gdi::PS_SOLID;   // full style word (type, caps, join, style)
    double width = 0;                 // logical units; 0 = one device pixel
    uint32_t color = 0;               // COLORREF
    bool cosmetic = true;
    bool nullPen = false;
    std::vector<double> userDashes;   // PS_USERSTYLE entries
    int brushStyle = gdi::BS_SOLID;   // of an extended pen
    int hatch = 0;
};

struct BrushObject {
    int style = gdi::BS_SOLID;
    uint32_t color = 0xFFFFFF;
    int hatch = 0;
    // BS_DIBPATTERN: the decoded tile. BS_PATTERN (monochrome): the DIB is
    // kept and coloured with the text and background colours when used.
    std::shared_ptr<DecodedImage> pattern;
    std::shared_ptr<std::vector<uint8_t>> monoDib;   // header + bits of a mono brush
    std::size_t monoHeaderSize = 0;
};

struct FontObject {
    int32_t height = 0, width = 0, escapement = 0, orientation = 0, weight = 0;
    bool italic = false, underline = false, strikeOut = false;
    uint8_t charset = 1, quality = 0, pitchAndFamily = 0;
    std::u16string faceName;
};

struct PaletteObject {
    std::vector<uint32_t> entries;   // COLORREF
};

struct GdiObject {
    enum class Kind { Pen, Brush, Font, Palette, ColorSpace } kind = Kind::Pen;
    PenObject pen;
    BrushObject brush;
    FontObject font;
    PaletteObject palette;
};
using ObjectRef = std::shared_ptr<const GdiObject>;

// One clipping constraint: a device-space path filled with a rule.
struct ClipPath {
    Path path;
    bool evenOdd = false;
};

// A clip is the intersection of an optional region and any number of paths.
// No region and no path: nothing is clipped.
struct Clip {
    bool hasRegion = false;
    Region region;
    std::vector<ClipPath> paths;
    bool unclipped() const { return !hasRegion && paths.empty(); }
};

struct DcState {
    int mapMode = gdi::MM_TEXT;
    PointD windowOrg{0, 0}, windowExt{1, 1};
    PointD viewportOrg{0, 0}, viewportExt{1, 1};
    Matrix world;
    int graphicsMode = gdi::GM_COMPATIBLE;

    ObjectRef pen, brush, font, palette;
    uint32_t textColor = 0;
    uint32_t bkColor = 0xFFFFFF;
    int bkMode = gdi::OPAQUE;
    int polyFillMode = gdi::ALTERNATE;
    int rop2 = gdi::R2_COPYPEN;
    double miterLimit = 10;
    int stretchMode = 1;
    uint32_t textAlign = 0;
    int arcDirection = gdi::AD_COUNTERCLOCKWISE;
    uint32_t layout = 0;
    double textCharExtra = 0;
    PointD brushOrg{0, 0};
    PointD current{0, 0};   // current position, logical

    Clip clip;
    Clip metaClip;
};

}  // namespace quillkit
