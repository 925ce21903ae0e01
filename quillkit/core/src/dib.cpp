#include "dib.h"

#include <algorithm>
#include <cstring>

#include "png_decode.h"

namespace quillkit {
namespace {

enum { BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3, BI_JPEG = 4, BI_PNG = 5, BI_ALPHABITFIELDS = 6 };

uint32_t le32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }
uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

struct Header {
    int32_t width = 0, height = 0;
    int bitCount = 0;
    uint32_t compression = 0;
    uint32_t clrUsed = 0;
    uint32_t headerSize = 0;
    uint32_t masks[4] = {0, 0, 0, 0};
    bool hasMasks = false;
    bool core = false;
};

bool readHeader(const DibRef& dib, Header& h, std::string& error) {
    if (dib.bmiSize < 12) { error = "bitmap header too short"; return false; }
    h.headerSize = le32(dib.bmi);
    if (h.headerSize == 12) {
        h.core = true;
        h.width = le16(dib.bmi + 4);
        h.height = static_cast<int16_t>(le16(dib.bmi + 6));
        h.bitCount = le16(dib.bmi + 10);
        return true;
    }
    if (h.headerSize < 40 || h.headerSize > dib.bmiSize) { error = "bitmap header has a bad size"; return false; }
    h.width = static_cast<int32_t>(le32(dib.bmi + 4));
    h.height = static_cast<int32_t>(le32(dib.bmi + 8));
    h.bitCount = le16(dib.bmi + 14);
    h.compression = le32(dib.bmi + 16);
    h.clrUsed = le32(dib.bmi + 32);
    if (h.compression == BI_BITFIELDS || h.compression == BI_ALPHABITFIELDS) {
        int n = h.compression == BI_ALPHABITFIELDS ? 4 : 3;
        if (h.headerSize >= 52) {   // V2 and later carry the masks inside the header
            for (int i = 0; i < n && 40 + 4 * i + 4 <= static_cast<int>(h.headerSize); ++i)
                h.masks[i] = le32(dib.bmi + 40 + 4 * i);
        } else {
            if (dib.bmiSize < 40u + 4u * n) { error = "bitmap masks missing"; return false; }
            for (int i = 0; i < n; ++i) h.masks[i] = le32(dib.bmi + 40 + 4 * i);
        }
        if (h.headerSize >= 56 && h.compression == BI_BITFIELDS) h.masks[3] = le32(dib.bmi + 52);
        h.hasMasks = true;
    }
    return true;
}

struct MaskShift {
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;
    explicit MaskShift(uint32_t m) : mask(m) {
        if (!m) return;
        while (!((m >> shift) & 1)) ++shift;
        while (shift + bits < 32 && ((m >> (shift + bits)) & 1)) ++bits;
    }
    uint8_t get(uint32_t v) const {
        if (!mask) return 0;
        uint32_t x = (v & mask) >> shift;
        if (bits >= 8) return static_cast<uint8_t>(x >> (bits - 8));
        uint32_t maxv = (1u << bits) - 1;
        return static_cast<uint8_t>((x * 255 + maxv / 2) / maxv);
    }
};

// RLE4/RLE8 expanded into one byte per pixel, bottom row first.
bool expandRle(const uint8_t* src, std::size_t n, int width, int height, bool four, std::vector<uint8_t>& out) {
    out.assign(std::size_t(width) * height, 0);
    int x = 0, y = 0;
    std::size_t i = 0;
    auto put = [&](uint8_t v) {
        if (x < width && y < height) out[std::size_t(y) * width + x] = v;
        ++x;
    };
    while (i + 1 < n) {
        uint8_t count = src[i], value = src[i + 1];
        i += 2;
        if (count > 0) {
            for (int k = 0; k < count; ++k) put(four ? ((k & 1) ? (value & 15) : (value >> 4)) : value);
        } else if (value == 0) {
            x = 0; ++y;
        } else if (value == 1) {
            break;
        } else if (value == 2) {
            if (i + 1 >= n) break;
            x += src[i]; y += src[i + 1];
            i += 2;
        } else {
            int len = value;
            std::size_t bytes = four ? (len + 1) / 2 : len;
            if (i + bytes > n) return false;
            for (int k = 0; k < len; ++k) {
                uint8_t b = four ? ((k & 1) ? (src[i + k / 2] & 15) : (src[i + k / 2] >> 4)) : src[i + k];
                put(b);
            }
            i += (bytes + 1) & ~std::size_t(1);
        }
        if (y >= height) break;
    }
    return true;
}

}  // namespace

bool dibDimensions(const DibRef& dib, int& width, int& height, int& bitCount) {
    Header h;
    std::string e;
    if (!readHeader(dib, h, e)) return false;
    width = h.width;
    height = h.height < 0 ? -h.height : h.height;
    bitCount = h.bitCount;
    return true;
}

bool decodeDib(const DibRef& dib, const DibOptions& opt, DecodedImage& out, std::string& error) {
    out = DecodedImage();
    Header h;
    if (!readHeader(dib, h, error)) return false;
    if (h.width <= 0 || h.height == 0 || h.height == INT32_MIN) { error = "bitmap has no size"; return false; }
    bool topDown = h.height < 0;
    int64_t width = h.width, height = topDown ? -int64_t(h.height) : h.height;
    if (uint64_t(width) * uint64_t(height) > opt.maxPixels) { error = "bitmap is too large"; return false; }
    out.width = static_cast<int>(width);
    out.height = static_cast<int>(height);
    out.bitCount = h.bitCount;

    if (h.compression == BI_JPEG) {
        out.jpeg.assign(dib.bits, dib.bits + dib.bitsSize);
        return !out.jpeg.empty();
    }
    if (h.compression == BI_PNG) {
        if (!decodePng(dib.bits, dib.bitsSize, opt.maxPixels, out, error)) return false;
        // The header's size is what the record's source rectangle counts in.
        if (out.width != width || out.height != height) {
            error = "PNG bitmap size differs from its header";
            out = DecodedImage();
            return false;
        }
        return true;
    }

    int bpp = h.bitCount;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) {
        error = "bitmap bit count " + std::to_string(bpp) + " is not supported";
        return false;
    }
    // colour table
    std::vector<uint32_t> table;   // 0x00RRGGBB
    if (bpp <= 8) {
        uint32_t entries = h.clrUsed && h.clrUsed < (1u << bpp) ? h.clrUsed : (1u << bpp);
        std::size_t entrySize = opt.paletteIndices ? 2 : (h.core ? 3 : 4);
        std::size_t tableAt = h.headerSize + (h.hasMasks && h.headerSize == 40 ? 12 : 0);
        table.assign(std::size_t(1) << bpp, 0);
        for (uint32_t i = 0; i < entries; ++i) {
            std::size_t off = tableAt + i * entrySize;
            if (off + entrySize > dib.bmiSize) break;   // a short table: missing entries stay black
            const uint8_t* e = dib.bmi + off;
            if (opt.paletteIndices) {
                uint16_t idx = le16(e);
                if (opt.palette && idx < opt.palette->size()) {
                    uint32_t c = (*opt.palette)[idx];
                    table[i] = (c & 0xFF) << 16 | (c & 0xFF00) | ((c >> 16) & 0xFF);
                } else {
                    uint8_t g = static_cast<uint8_t>(idx * 255 / ((1u << bpp) - 1));
                    table[i] = uint32_t(g) << 16 | uint32_t(g) << 8 | g;
                }
            } else {
                table[i] = uint32_t(e[2]) << 16 | uint32_t(e[1]) << 8 | e[0];
            }
        }
        if (bpp == 1 && opt.monoColors) {
            auto swap = [](uint32_t c) { return (c & 0xFF) << 16 | (c & 0xFF00) | ((c >> 16) & 0xFF); };
            table[0] = swap(opt.mono0);
            table[1] = swap(opt.mono1);
        }
    }

    out.rgb.resize(std::size_t(width) * height * 3);
    auto setPixel = [&](int64_t x, int64_t row, uint32_t rgb) {
        uint8_t* p = &out.rgb[(std::size_t(row) * width + x) * 3];
        p[0] = static_cast<uint8_t>(rgb >> 16);
        p[1] = static_cast<uint8_t>(rgb >> 8);
        p[2] = static_cast<uint8_t>(rgb);
    };

    if (h.compression == BI_RLE8 || h.compression == BI_RLE4) {
        if ((h.compression == BI_RLE8) != (bpp == 8) && (h.compression == BI_RLE4) != (bpp == 4)) {
            error = "RLE bitmap with a wrong bit count";
            return false;
        }
        std::vector<uint8_t> idx;
        if (!expandRle(dib.bits, dib.bitsSize, out.width, out.height, h.compression == BI_RLE4, idx)) {
            error = "RLE bitmap data is damaged";
            return false;
        }
        for (int64_t y = 0; y < height; ++y)
            for (int64_t x = 0; x < width; ++x)
                setPixel(x, height - 1 - y, table[idx[std::size_t(y) * width + x] & ((1u << bpp) - 1)]);
        return true;
    }
    if (h.compression != BI_RGB && h.compression != BI_BITFIELDS && h.compression != BI_ALPHABITFIELDS) {
        error = "bitmap compression " + std::to_string(h.compression) + " is not supported";
        return false;
    }

    uint64_t stride = ((uint64_t(width) * bpp + 31) / 32) * 4;
    uint64_t rowsAvailable = stride ? dib.bitsSize / stride : 0;
    if (rowsAvailable == 0) { error = "bitmap has no pixel data"; return false; }
    // Fewer rows than claimed: draw the rows that are there; the rest stays white.
    int64_t rows = std::min<uint64_t>(rowsAvailable, uint64_t(height));
    if (rows < height) std::fill(out.rgb.begin(), out.rgb.end(), 0xFF);

    MaskShift mr(0), mg(0), mb(0), ma(0);
    if (bpp == 16 || bpp == 32) {
        uint32_t r = bpp == 16 ? 0x7C00 : 0xFF0000, g = bpp == 16 ? 0x03E0 : 0xFF00, b = bpp == 16 ? 0x1F : 0xFF;
        uint32_t a = bpp == 32 ? 0xFF000000 : 0;
        if (h.hasMasks && (h.masks[0] | h.masks[1] | h.masks[2])) {
            r = h.masks[0]; g = h.masks[1]; b = h.masks[2];
            a = h.masks[3];
        }
        mr = MaskShift(r); mg = MaskShift(g); mb = MaskShift(b); ma = MaskShift(a);
        if (bpp == 32) out.alpha.resize(std::size_t(width) * height, 0xFF);
    }

    for (int64_t y = 0; y < rows; ++y) {
        const uint8_t* line = dib.bits + y * stride;
        int64_t row = topDown ? y : height - 1 - y;
        for (int64_t x = 0; x < width; ++x) {
            switch (bpp) {
                case 1: setPixel(x, row, table[(line[x >> 3] >> (7 - (x & 7))) & 1]); break;
                case 4: setPixel(x, row, table[(line[x >> 1] >> ((x & 1) ? 0 : 4)) & 15]); break;
                case 8: setPixel(x, row, table[line[x]]); break;
                case 16: {
                    uint32_t v = le16(line + x * 2);
                    setPixel(x, row, uint32_t(mr.get(v)) << 16 | uint32_t(mg.get(v)) << 8 | mb.get(v));
                    break;
                }
                case 24: {
                    const uint8_t* p = line + x * 3;
                    setPixel(x, row, uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0]);
                    break;
                }
                case 32: {
                    uint32_t v = le32(line + x * 4);
                    setPixel(x, row, uint32_t(mr.get(v)) << 16 | uint32_t(mg.get(v)) << 8 | mb.get(v));
                    uint8_t a = ma.mask ? ma.get(v) : static_cast<uint8_t>(v >> 24);
                    out.alpha[std::size_t(row) * width + x] = a;
                    if (a) out.alphaNonZero = true;
                    break;
                }
            }
        }
    }
    return true;
}

bool cropImage(DecodedImage& img, int x, int y, int w, int h) {
    if (!img.jpeg.empty()) return true;   // JPEGs are drawn whole
    int64_t x0 = std::max(0, x), y0 = std::max(0, y);
    int64_t x1 = std::min<int64_t>(img.width, int64_t(x) + w), y1 = std::min<int64_t>(img.height, int64_t(y) + h);
    if (x0 >= x1 || y0 >= y1) return false;
    if (x0 == 0 && y0 == 0 && x1 == img.width && y1 == img.height) return true;
    int nw = static_cast<int>(x1 - x0), nh = static_cast<int>(y1 - y0);
    std::vector<uint8_t> rgb(std::size_t(nw) * nh * 3);
    std::vector<uint8_t> alpha(img.alpha.empty() ? 0 : std::size_t(nw) * nh);
    for (int64_t r = 0; r < nh; ++r) {
        std::memcpy(&rgb[std::size_t(r) * nw * 3], &img.rgb[(std::size_t(y0 + r) * img.width + x0) * 3], std::size_t(nw) * 3);
        if (!alpha.empty())
            std::memcpy(&alpha[std::size_t(r) * nw], &img.alpha[std::size_t(y0 + r) * img.width + x0], nw);
    }
    img.rgb.swap(rgb);
    img.alpha.swap(alpha);
    img.width = nw;
    img.height = nh;
    return true;
}

}  // namespace quillkit
