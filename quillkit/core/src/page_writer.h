// One page under construction: its content stream (kept in memory until the
// page ends) and the resources it uses. Images are written to the file at
// once and shared by every page that shows the same pixels; patterns, which
// depend on the page height, are written when the page ends.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "dib.h"
#include "pdf_file.h"

namespace quillkit {

// Images already in the file, by content digest, shared across pages.
struct ImageCache {
    std::unordered_map<uint64_t, uint32_t> objects;
    std::map<std::string, uint32_t> standardFonts;   // base font name -> font object
    std::unordered_map<uint32_t, uint32_t> stencilColors;   // stencil mask image -> its COLORREF
};

enum class ImageMask {
    None,          // opaque
    Alpha,         // the image's alpha channel becomes a soft mask
    BlackIsClear,  // black pixels let the page show through (SRCPAINT)
    WhiteIsClear,  // white pixels let the page show through (SRCAND)
    ColorIsClear   // pixels of keyColor are clear (TRANSPARENTBLT)
};

class PageWriter {
public:
    PageWriter(PdfFile& file, ImageCache& images, double width, double height, double unitsPerInch);

    std::string& content() { return content_; }
    void setSize(double width, double height) { width_ = width; height_ = height; }
    double width() const { return width_; }
    double height() const { return height_; }
    double pointsPerUnit() const { return 72.0 / unitsPerInch_; }

    // Writes (or reuses) an image XObject; returns its resource name, or ""
    // when the image cannot be written. `alphaScale` multiplies the alpha
    // channel (constant alpha of a blend).
    // With `stencilColor`, a two-colour image of which one colour is the
    // clear one (black or white mask) may become a 1-bit stencil mask: then
    // *stencilColor is the COLORREF to paint it with, else -1.
    std::string image(const DecodedImage& img, ImageMask mask, uint32_t keyColor = 0, uint8_t alphaScale = 255,
                      int64_t* stencilColor = nullptr);

    // An uncoloured hatch pattern (GDI hatch style 0-5) whose 8-pixel cell
    // is anchored at the device origin (originX, originY, in page units) and
    // measured in pixels of `pixelSize` points.
    std::string hatchPattern(int style, double originX, double originY, double pixelSize);
    // A coloured pattern tiling an image, one image pixel per `pixelSize`
    // points, anchored like the hatch.
    std::string imagePattern(const DecodedImage& img, double originX, double originY, double pixelSize);
    // Axial shading between two colours, for gradient fills (user space
    // coordinates of the content that uses it).
    std::string axialShading(double x0, double y0, double x1, double y1, const double c0[3], const double c1[3]);
    // Free-form triangle shading; each vertex x, y, r, g, b (colours 0..1).
    std::string triangleShading(const std::vector<double>& vertices);
    // One of the standard 14 fonts (WinAnsiEncoding, Symbol its own), shared
    // by every page of the document.
    std::string standardFont(const std::string& baseFont);
    // The page's resource name for a font object written elsewhere.
    std::string fontResource(uint32_t fontObject);
    // Constant fill opacity, 0..1.
    std::string fillAlpha(double alpha);
    // A graphics state with the blend mode (a PDF name such as Multiply).
    // A page that blends with anything but Normal is laid on opaque white
    // paper, so that the page itself is what the paints combine with.
    std::string blendMode(const std::string& mode);

    // Writes the content stream, patterns and the page object; returns the
    // page object number (0 on failure).
    uint32_t finish(uint32_t parent);

private:
    struct PatternDef {
        int hatch = -1;         // hatch style, or -1 for an image pattern
        uint32_t image = 0;     // image XObject of an image pattern
        int cellW = 8, cellH = 8;
        double originX = 0, originY = 0, pixelSize = 0.75;
    };

    PdfFile& file_;
    ImageCache& images_;
    double width_, height_, unitsPerInch_;
    std::string content_;
    std::map<std::string, uint32_t> xobjects_;
    std::map<std::string, PatternDef> patterns_;
    std::map<std::string, std::string> patternKeys_;   // key -> name
    std::map<std::string, uint32_t> shadings_;
    std::map<std::string, std::string> gstates_;       // name -> dictionary
    std::map<std::string, uint32_t> fonts_;            // name -> font object
    int nextName_ = 1;
    bool blends_ = false;
};

}  // namespace quillkit
