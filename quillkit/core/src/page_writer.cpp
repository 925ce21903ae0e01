#include "page_writer.h"

#include <algorithm>
#include <cstring>

#include "pdf_number.h"

namespace quillkit {
namespace {

uint64_t fnv(uint64_t h, const void* data, std::size_t n) {
    const uint8_t* p = static_cast<const uint8_t*>(data);
    for (std::size_t i = 0; i < n; ++i) {
        h ^= p[i];
        h *= 1099511628211ull;
    }
    return h;
}

// GDI's 8x8 hatch cells, one byte per row, bit 7 = leftmost pixel.
const uint8_t kHatch[6][8] = {
    {0x00, 0x00, 0x00, 0xff, 0x00, 0x00, 0x00, 0x00},   // horizontal
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08},   // vertical
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01},   // forward diagonal
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},   // backward diagonal
    {0x08, 0x08, 0x08, 0xff, 0x08, 0x08, 0x08, 0x08},   // cross
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81}};  // diagonal cross

std::string num(double v, int d = 4) { return formatNumber(v, d); }

}  // namespace

PageWriter::PageWriter(PdfFile& file, ImageCache& images, double width, double height, double unitsPerInch)
    : file_(file), images_(images), width_(width), height_(height), unitsPerInch_(unitsPerInch) {}

namespace {

// The one colour (0xRRGGBB) of an image besides `clear`, when it has no
// other; -1 when it has more. An image of only the clear colour gives black.
int64_t singleColorBesides(const DecodedImage& img, uint32_t clear) {
    int64_t other = -1;
    for (std::size_t i = 0; i + 2 < img.rgb.size(); i += 3) {
        uint32_t c = uint32_t(img.rgb[i]) << 16 | uint32_t(img.rgb[i + 1]) << 8 | img.rgb[i + 2];
        if (c == clear) continue;
        if (other < 0) other = c;
        else if (c != uint32_t(other)) return -1;
    }
    return other < 0 ? 0 : other;
}

}  // namespace

std::string PageWriter::image(const DecodedImage& img, ImageMask mask, uint32_t keyColor, uint8_t alphaScale,
                              int64_t* stencilColor) {
    if (stencilColor) *stencilColor = -1;
    if (img.width <= 0 || img.height <= 0) return std::string();
    if (img.jpeg.empty() && img.rgb.size() != std::size_t(img.width) * img.height * 3) return std::string();
    // A scan or line art blitted so that white (or black) leaves the page as
    // it is: a stencil mask in its other colour, one bit a pixel, drawn as
    // crisply as GDI draws it (viewers smooth colour images when scaling).
    if (stencilColor && img.jpeg.empty() && alphaScale == 255 &&
        (mask == ImageMask::WhiteIsClear || mask == ImageMask::BlackIsClear)) {
        uint32_t clear = mask == ImageMask::WhiteIsClear ? 0xFFFFFF : 0;
        int64_t ink = singleColorBesides(img, clear);
        if (ink >= 0) {
            uint32_t colorref = uint32_t(ink >> 16 & 0xFF) | uint32_t(ink & 0xFF00) | uint32_t(ink & 0xFF) << 16;
            uint64_t h = 1469598103934665603ull;
            int dims[3] = {img.width, img.height, 1000 + static_cast<int>(mask)};
            h = fnv(h, dims, sizeof dims);
            h = fnv(h, img.rgb.data(), img.rgb.size());
            uint32_t obj;
            auto found = images_.objects.find(h);
            if (found != images_.objects.end()) {
                obj = found->second;
            } else {
                std::size_t stride = (std::size_t(img.width) + 7) / 8;
                std::vector<uint8_t> bits(stride * img.height, 0);
                for (int y = 0; y < img.height; ++y)
                    for (int x = 0; x < img.width; ++x) {
                        const uint8_t* px = &img.rgb[(std::size_t(y) * img.width + x) * 3];
                        uint32_t c = uint32_t(px[0]) << 16 | uint32_t(px[1]) << 8 | px[2];
                        // Bit 1 leaves the page unchanged, bit 0 paints.
                        if (c == clear) bits[y * stride + x / 8] |= uint8_t(0x80 >> (x % 8));
                    }
                obj = file_.reserve();
                file_.writeStream(obj, "/Type /XObject /Subtype /Image /Width " + std::to_string(img.width) +
                                  " /Height " + std::to_string(img.height) + " /ImageMask true /BitsPerComponent 1",
                                  bits.data(), bits.size(), std::string(), true);
                images_.objects[h] = obj;
                images_.stencilColors[obj] = colorref;
            }
            *stencilColor = images_.stencilColors[obj];
            for (const auto& kv : xobjects_)
                if (kv.second == obj) return kv.first;
            std::string name = "Im" + std::to_string(nextName_++);
            xobjects_[name] = obj;
            return name;
        }
    }
    uint64_t h = 1469598103934665603ull;
    int dims[4] = {img.width, img.height, static_cast<int>(mask), static_cast<int>(alphaScale)};
    h = fnv(h, dims, sizeof dims);
    h = fnv(h, &keyColor, sizeof keyColor);
    if (!img.jpeg.empty()) h = fnv(h, img.jpeg.data(), img.jpeg.size());
    else h = fnv(h, img.rgb.data(), img.rgb.size());
    bool useAlpha = mask == ImageMask::Alpha && !img.alpha.empty();
    if (useAlpha) h = fnv(h, img.alpha.data(), img.alpha.size());

    uint32_t obj;
    auto found = images_.objects.find(h);
    if (found != images_.objects.end()) {
        obj = found->second;
    } else {
        obj = file_.reserve();
        std::string dict = "/Type /XObject /Subtype /Image /Width " + std::to_string(img.width) + " /Height " +
                           std::to_string(img.height) + " /BitsPerComponent 8";
        if (!img.jpeg.empty()) {
            dict += img.jpegComponents == 1 ? " /ColorSpace /DeviceGray" : " /ColorSpace /DeviceRGB";
            file_.writeStream(obj, dict, img.jpeg.data(), img.jpeg.size(), "/DCTDecode");
        } else {
            dict += " /ColorSpace /DeviceRGB";
            if (useAlpha || alphaScale != 255) {
                std::vector<uint8_t> a(std::size_t(img.width) * img.height, 255);
                if (useAlpha) a = img.alpha;
                if (alphaScale != 255)
                    for (auto& v : a) v = static_cast<uint8_t>((v * alphaScale + 127) / 255);
                uint32_t smask = file_.reserve();
                file_.writeStream(smask, "/Type /XObject /Subtype /Image /Width " + std::to_string(img.width) +
                                  " /Height " + std::to_string(img.height) +
                                  " /BitsPerComponent 8 /ColorSpace /DeviceGray", a.data(), a.size(),
                                  std::string(), true);
                dict += " /SMask " + std::to_string(smask) + " 0 R";
            } else if (mask == ImageMask::BlackIsClear) {
                dict += " /Mask [0 0 0 0 0 0]";
            } else if (mask == ImageMask::WhiteIsClear) {
                dict += " /Mask [255 255 255 255 255 255]";
            } else if (mask == ImageMask::ColorIsClear) {
                int r = keyColor & 0xFF, g = (keyColor >> 8) & 0xFF, b = (keyColor >> 16) & 0xFF;
                dict += " /Mask [" + std::to_string(r) + " " + std::to_string(r) + " " + std::to_string(g) + " " +
                        std::to_string(g) + " " + std::to_string(b) + " " + std::to_string(b) + "]";
            }
            // Pixel data is always compressed: uncompressed images are huge.
            file_.writeStream(obj, dict, img.rgb.data(), img.rgb.size(), std::string(), true);
        }
        images_.objects[h] = obj;
    }
    for (const auto& kv : xobjects_)
        if (kv.second == obj) return kv.first;
    std::string name = "Im" + std::to_string(nextName_++);
    xobjects_[name] = obj;
    return name;
}

std::string PageWriter::hatchPattern(int style, double originX, double originY, double pixelSize) {
    if (style < 0 || style > 5) style = 0;
    std::string key = "h" + std::to_string(style) + "_" + num(originX) + "_" + num(originY) + "_" + num(pixelSize);
    auto it = patternKeys_.find(key);
    if (it != patternKeys_.end()) return it->second;
    PatternDef def;
    def.hatch = style;
    def.originX = originX;
    def.originY = originY;
    def.pixelSize = pixelSize;
    std::string name = "P" + std::to_string(nextName_++);
    patterns_[name] = def;
    patternKeys_[key] = name;
    return name;
}

std::string PageWriter::imagePattern(const DecodedImage& img, double originX, double originY, double pixelSize) {
    std::string im = image(img, ImageMask::None);
    if (im.empty()) return std::string();
    uint32_t obj = xobjects_[im];
    std::string key = "i" + std::to_string(obj) + "_" + num(originX) + "_" + num(originY) + "_" + num(pixelSize);
    auto it = patternKeys_.find(key);
    if (it != patternKeys_.end()) return it->second;
    PatternDef def;
    def.image = obj;
    def.cellW = img.width;
    def.cellH = img.height;
    def.originX = originX;
    def.originY = originY;
    def.pixelSize = pixelSize;
    std::string name = "P" + std::to_string(nextName_++);
    patterns_[name] = def;
    patternKeys_[key] = name;
    return name;
}

std::string PageWriter::axialShading(double x0, double y0, double x1, double y1, const double c0[3], const double c1[3]) {
    uint32_t obj = file_.reserve();
    std::string body = "<< /ShadingType 2 /ColorSpace /DeviceRGB /Coords [" + num(x0) + " " + num(y0) + " " + num(x1) +
                       " " + num(y1) + "] /Function << /FunctionType 2 /Domain [0 1] /N 1 /C0 [" + num(c0[0]) + " " +
                       num(c0[1]) + " " + num(c0[2]) + "] /C1 [" + num(c1[0]) + " " + num(c1[1]) + " " +
                       num(c1[2]) + "] >> /Extend [true true] >>";
    file_.writeObject(obj, body);
    std::string name = "Sh" + std::to_string(nextName_++);
    shadings_[name] = obj;
    return name;
}

std::string PageWriter::triangleShading(const std::vector<double>& v) {
    if (v.size() < 15 || v.size() % 5 != 0) return std::string();
    double minX = v[0], maxX = v[0], minY = v[1], maxY = v[1];
    for (std::size_t i = 0; i < v.size(); i += 5) {
        minX = std::min(minX, v[i]); maxX = std::max(maxX, v[i]);
        minY = std::min(minY, v[i + 1]); maxY = std::max(maxY, v[i + 1]);
    }
    if (maxX <= minX) maxX = minX + 1;
    if (maxY <= minY) maxY = minY + 1;
    std::vector<uint8_t> data;
    auto put32 = [&](double t) {
        uint32_t q = static_cast<uint32_t>(std::min(4294967295.0, std::max(0.0, t * 4294967295.0)));
        for (int s = 24; s >= 0; s -= 8) data.push_back(static_cast<uint8_t>(q >> s));
    };
    for (std::size_t i = 0; i < v.size(); i += 5) {
        data.push_back(0);
        put32((v[i] - minX) / (maxX - minX));
        put32((v[i + 1] - minY) / (maxY - minY));
        for (int c = 0; c < 3; ++c) data.push_back(static_cast<uint8_t>(std::min(1.0, std::max(0.0, v[i + 2 + c])) * 255 + 0.5));
    }
    uint32_t obj = file_.reserve();
    std::string dict = "/ShadingType 4 /ColorSpace /DeviceRGB /BitsPerCoordinate 32 /BitsPerComponent 8 /BitsPerFlag 8 /Decode [" +
                       num(minX) + " " + num(maxX) + " " + num(minY) + " " + num(maxY) + " 0 1 0 1 0 1]";
    file_.writeStream(obj, dict, data.data(), data.size());
    std::string name = "Sh" + std::to_string(nextName_++);
    shadings_[name] = obj;
    return name;
}

std::string PageWriter::standardFont(const std::string& baseFont) {
    uint32_t obj;
    auto it = images_.standardFonts.find(baseFont);
    if (it != images_.standardFonts.end()) {
        obj = it->second;
    } else {
        obj = file_.reserve();
        std::string body = "<< /Type /Font /Subtype /Type1 /BaseFont /" + baseFont;
        if (baseFont != "Symbol") body += " /Encoding /WinAnsiEncoding";
        body += " >>";
        file_.writeObject(obj, body);
        images_.standardFonts[baseFont] = obj;
    }
    return fontResource(obj);
}

std::string PageWriter::fontResource(uint32_t obj) {
    for (const auto& kv : fonts_)
        if (kv.second == obj) return kv.first;
    std::string name = "F" + std::to_string(nextName_++);
    fonts_[name] = obj;
    return name;
}

std::string PageWriter::fillAlpha(double alpha) {
    std::string dict = "<< /Type /ExtGState /ca " + num(alpha, 3) + " /CA " + num(alpha, 3) + " >>";
    for (const auto& kv : gstates_)
        if (kv.second == dict) return kv.first;
    std::string name = "G" + std::to_string(nextName_++);
    gstates_[name] = dict;
    return name;
}

std::string PageWriter::blendMode(const std::string& mode) {
    if (mode != "Normal") blends_ = true;
    std::string dict = "<< /Type /ExtGState /BM /" + mode + " >>";
    for (const auto& kv : gstates_)
        if (kv.second == dict) return kv.first;
    std::string name = "G" + std::to_string(nextName_++);
    gstates_[name] = dict;
    return name;
}

uint32_t PageWriter::finish(uint32_t parent) {
    double k = pointsPerUnit();
    double wPt = width_ * k, hPt = height_ * k;
    // Page units with y downwards from the top-left corner.
    std::string stream = num(k, 6) + " 0 0 " + num(-k, 6) + " 0 " + num(hPt) + " cm\n";
    if (blends_) stream += "q 1 g 0 0 " + num(width_) + " " + num(height_) + " re f Q\n";
    stream += content_;
    uint32_t contentObj = file_.reserve();
    file_.writeStream(contentObj, std::string(), stream);
    content_.clear();
    content_.shrink_to_fit();

    std::string res = "<< /ProcSet [/PDF /Text /ImageC]";
    if (!xobjects_.empty()) {
        res += " /XObject <<";
        for (const auto& kv : xobjects_) res += " /" + kv.first + " " + std::to_string(kv.second) + " 0 R";
        res += " >>";
    }
    if (!patterns_.empty()) {
        res += " /ColorSpace << /CsP [/Pattern /DeviceRGB] >> /Pattern <<";
        for (const auto& kv : patterns_) {
            const PatternDef& p = kv.second;
            uint32_t obj = file_.reserve();
            double px = p.pixelSize;
            // Pattern space: device pixels, y downwards from the anchor.
            std::string matrix = "[" + num(px) + " 0 0 " + num(-px) + " " + num(p.originX * k) + " " +
                                 num(hPt - p.originY * k) + "]";
            std::string dict = "/Type /Pattern /PatternType 1 /TilingType 1 /BBox [0 0 " + std::to_string(p.cellW) +
                               " " + std::to_string(p.cellH) + "] /XStep " + std::to_string(p.cellW) + " /YStep " +
                               std::to_string(p.cellH) + " /Matrix " + matrix;
            std::string cell;
            if (p.hatch >= 0) {
                dict += " /PaintType 2 /Resources << >>";
                for (int row = 0; row < 8; ++row)
                    for (int col = 0; col < 8; ++col)
                        if (kHatch[p.hatch][row] & (0x80 >> col))
                            cell += std::to_string(col) + " " + std::to_string(row) + " 1 1 re\n";
                cell += "f\n";
            } else {
                std::string imName = "I";
                dict += " /PaintType 1 /Resources << /XObject << /I " + std::to_string(p.image) + " 0 R >> >>";
                // The image's top row at pattern y = 0 (y grows downwards).
                cell = std::to_string(p.cellW) + " 0 0 " + std::to_string(-p.cellH) + " 0 " + std::to_string(p.cellH) +
                       " cm /I Do\n";
            }
            file_.writeStream(obj, dict, cell);
            res += " /" + kv.first + " " + std::to_string(obj) + " 0 R";
        }
        res += " >>";
    }
    if (!shadings_.empty()) {
        res += " /Shading <<";
        for (const auto& kv : shadings_) res += " /" + kv.first + " " + std::to_string(kv.second) + " 0 R";
        res += " >>";
    }
    if (!fonts_.empty()) {
        res += " /Font <<";
        for (const auto& kv : fonts_) res += " /" + kv.first + " " + std::to_string(kv.second) + " 0 R";
        res += " >>";
    }
    if (!gstates_.empty()) {
        res += " /ExtGState <<";
        for (const auto& kv : gstates_) res += " /" + kv.first + " " + kv.second;
        res += " >>";
    }
    res += " >>";

    uint32_t page = file_.reserve();
    file_.writeObject(page, "<< /Type /Page /Parent " + std::to_string(parent) + " 0 R /MediaBox [0 0 " + num(wPt) + " " +
                                num(hPt) + "] /Resources " + res + " /Contents " + std::to_string(contentObj) + " 0 R >>");
    return file_.good() ? page : 0;
}

}  // namespace quillkit
