#include "png_decode.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace quillkit {
namespace {

uint32_t be32(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }

// Inflates exactly `expected` bytes (more is an error only when the stream
// goes on past them; less is an error).
bool inflateAll(const std::vector<uint8_t>& in, std::size_t expected, std::vector<uint8_t>& out) {
    out.assign(expected, 0);
    z_stream z;
    std::memset(&z, 0, sizeof z);
    if (inflateInit(&z) != Z_OK) return false;
    std::size_t inPos = 0, outPos = 0;
    int rc = Z_OK;
    while (rc == Z_OK && outPos < expected) {
        // zlib counts in 32-bit units: feed big buffers in slices.
        uInt inChunk = uInt(std::min<std::size_t>(in.size() - inPos, 1u << 30));
        uInt outChunk = uInt(std::min<std::size_t>(expected - outPos, 1u << 30));
        z.next_in = const_cast<Bytef*>(in.data() + inPos);
        z.avail_in = inChunk;
        z.next_out = out.data() + outPos;
        z.avail_out = outChunk;
        rc = inflate(&z, Z_NO_FLUSH);
        inPos += inChunk - z.avail_in;
        outPos += outChunk - z.avail_out;
        if (rc == Z_BUF_ERROR && inPos >= in.size()) break;   // data ran out
        if (rc == Z_BUF_ERROR) rc = Z_OK;
    }
    inflateEnd(&z);
    return outPos == expected && (rc == Z_OK || rc == Z_STREAM_END);
}

uint8_t paeth(int a, int b, int c) {
    int p = a + b - c, pa = p > a ? p - a : a - p, pb = p > b ? p - b : b - p, pc = p > c ? p - c : c - p;
    return uint8_t(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

// Undoes the row filters of one (sub)image in place: rows of 1 + rowBytes.
bool unfilter(uint8_t* data, std::size_t rows, std::size_t rowBytes, std::size_t bpp) {
    std::vector<uint8_t> zero(rowBytes, 0);
    const uint8_t* prev = zero.data();
    for (std::size_t y = 0; y < rows; ++y) {
        uint8_t* row = data + y * (rowBytes + 1);
        uint8_t type = row[0];
        uint8_t* cur = row + 1;
        for (std::size_t i = 0; i < rowBytes; ++i) {
            int a = i >= bpp ? cur[i - bpp] : 0, b = prev[i], c = i >= bpp ? prev[i - bpp] : 0;
            switch (type) {
                case 0: break;
                case 1: cur[i] = uint8_t(cur[i] + a); break;
                case 2: cur[i] = uint8_t(cur[i] + b); break;
                case 3: cur[i] = uint8_t(cur[i] + ((a + b) >> 1)); break;
                case 4: cur[i] = uint8_t(cur[i] + paeth(a, b, c)); break;
                default: return false;
            }
        }
        prev = cur;
    }
    return true;
}

}  // namespace

bool decodePng(const uint8_t* data, std::size_t size, uint64_t maxPixels, DecodedImage& out, std::string& error) {
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    out = DecodedImage();
    if (!data || size < 8 || std::memcmp(data, kSignature, 8) != 0) { error = "PNG bitmap lacks its signature"; return false; }
    uint32_t width = 0, height = 0;
    int depth = 0, colorType = -1, interlace = 0;
    std::vector<uint8_t> palette, trns, idat;
    bool haveHeader = false, ended = false;
    std::size_t pos = 8;
    while (pos + 12 <= size && !ended) {
        uint32_t len = be32(data + pos);
        if (len > size - pos - 12) { error = "PNG chunk runs past the bitmap"; return false; }
        const uint8_t* type = data + pos + 4;
        const uint8_t* body = data + pos + 8;
        if (!std::memcmp(type, "IHDR", 4)) {
            if (len < 13) { error = "PNG header is short"; return false; }
            width = be32(body);
            height = be32(body + 4);
            depth = body[8];
            colorType = body[9];
            interlace = body[12];
            if (body[10] != 0 || body[11] != 0 || interlace > 1) { error = "PNG method is not known"; return false; }
            haveHeader = true;
        } else if (!std::memcmp(type, "PLTE", 4)) {
            palette.assign(body, body + len);
        } else if (!std::memcmp(type, "tRNS", 4)) {
            trns.assign(body, body + len);
        } else if (!std::memcmp(type, "IDAT", 4)) {
            if (idat.size() + len > (std::size_t(1) << 31)) { error = "PNG data is too large"; return false; }
            idat.insert(idat.end(), body, body + len);
        } else if (!std::memcmp(type, "IEND", 4)) {
            ended = true;
        }
        pos += 12 + std::size_t(len);
    }
    if (!haveHeader) { error = "PNG bitmap has no header"; return false; }
    int channels = 0;
    switch (colorType) {
        case 0: channels = 1; break;
        case 2: channels = 3; break;
        case 3: channels = 1; break;
        case 4: channels = 2; break;
        case 6: channels = 4; break;
        default: error = "PNG colour type is not known"; return false;
    }
    bool depthOk = depth == 8 || depth == 16 || (colorType == 0 && (depth == 1 || depth == 2 || depth == 4)) ||
                   (colorType == 3 && (depth == 1 || depth == 2 || depth == 4));
    if (colorType == 3 && depth == 16) depthOk = false;
    if (!depthOk) { error = "PNG bit depth " + std::to_string(depth) + " does not fit its colour type"; return false; }
    if (width == 0 || height == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF) { error = "PNG bitmap has no size"; return false; }
    if (uint64_t(width) * height > maxPixels) { error = "bitmap is too large"; return false; }
    if (colorType == 3 && (palette.empty() || palette.size() % 3)) { error = "PNG palette is missing"; return false; }

    // The passes: the whole image, or the seven of Adam7.
    struct Pass { int x0, y0, dx, dy; };
    static const Pass kWhole[1] = {{0, 0, 1, 1}};
    static const Pass kAdam7[7] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                   {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
    const Pass* passes = interlace ? kAdam7 : kWhole;
    int passCount = interlace ? 7 : 1;
    std::size_t bitsPerPixel = std::size_t(channels) * depth;
    std::size_t bpp = (bitsPerPixel + 7) / 8;
    std::size_t expected = 0;
    for (int p = 0; p < passCount; ++p) {
        uint64_t pw = (uint64_t(width) + passes[p].dx - 1 - passes[p].x0) / passes[p].dx;
        uint64_t ph = (uint64_t(height) + passes[p].dy - 1 - passes[p].y0) / passes[p].dy;
        if (width <= uint32_t(passes[p].x0) || height <= uint32_t(passes[p].y0)) continue;
        expected += std::size_t(ph * (1 + (pw * bitsPerPixel + 7) / 8));
    }
    std::vector<uint8_t> raw;
    if (!inflateAll(idat, expected, raw)) { error = "PNG data is damaged or short"; return false; }

    bool hasAlpha = colorType == 4 || colorType == 6 || !trns.empty();
    out.width = int(width);
    out.height = int(height);
    out.bitCount = hasAlpha ? 32 : 24;
    out.rgb.assign(std::size_t(width) * height * 3, 0);
    if (hasAlpha) out.alpha.assign(std::size_t(width) * height, 255);
    int maxSample = (1 << depth) - 1;
    std::size_t at = 0;
    for (int p = 0; p < passCount; ++p) {
        if (width <= uint32_t(passes[p].x0) || height <= uint32_t(passes[p].y0)) continue;
        std::size_t pw = (std::size_t(width) + passes[p].dx - 1 - passes[p].x0) / passes[p].dx;
        std::size_t ph = (std::size_t(height) + passes[p].dy - 1 - passes[p].y0) / passes[p].dy;
        std::size_t rowBytes = (pw * bitsPerPixel + 7) / 8;
        uint8_t* sub = raw.data() + at;
        if (!unfilter(sub, ph, rowBytes, bpp)) { error = "PNG row filter is not known"; return false; }
        for (std::size_t y = 0; y < ph; ++y) {
            const uint8_t* row = sub + y * (rowBytes + 1) + 1;
            for (std::size_t x = 0; x < pw; ++x) {
                // Samples of the pixel, scaled to 8 bits (and raw, for tRNS).
                uint32_t s[4] = {0, 0, 0, 0}, rawS[4] = {0, 0, 0, 0};
                for (int c = 0; c < channels; ++c) {
                    std::size_t bit = (x * channels + c) * depth;
                    uint32_t v;
                    if (depth == 16) v = uint32_t(row[bit / 8]) << 8 | row[bit / 8 + 1];
                    else if (depth == 8) v = row[bit / 8];
                    else v = (row[bit / 8] >> (8 - depth - bit % 8)) & maxSample;
                    rawS[c] = v;
                    s[c] = depth == 16 ? v >> 8 : depth == 8 ? v : v * 255 / maxSample;
                }
                uint8_t r, g, b, a = 255;
                if (colorType == 3) {
                    std::size_t i = rawS[0];
                    if (i * 3 + 2 >= palette.size()) { r = g = b = 0; }
                    else { r = palette[i * 3]; g = palette[i * 3 + 1]; b = palette[i * 3 + 2]; }
                    if (i < trns.size()) a = trns[i];
                } else if (colorType == 0 || colorType == 4) {
                    r = g = b = uint8_t(s[0]);
                    if (colorType == 4) a = uint8_t(s[1]);
                    else if (trns.size() >= 2 && rawS[0] == (uint32_t(trns[0]) << 8 | trns[1])) a = 0;
                } else {
                    r = uint8_t(s[0]); g = uint8_t(s[1]); b = uint8_t(s[2]);
                    if (colorType == 6) a = uint8_t(s[3]);
                    else if (trns.size() >= 6 && rawS[0] == (uint32_t(trns[0]) << 8 | trns[1]) &&
                             rawS[1] == (uint32_t(trns[2]) << 8 | trns[3]) && rawS[2] == (uint32_t(trns[4]) << 8 | trns[5]))
                        a = 0;
                }
                std::size_t ox = passes[p].x0 + x * passes[p].dx, oy = passes[p].y0 + y * passes[p].dy;
                std::size_t o = oy * width + ox;
                out.rgb[o * 3] = r;
                out.rgb[o * 3 + 1] = g;
                out.rgb[o * 3 + 2] = b;
                if (hasAlpha) {
                    out.alpha[o] = a;
                    if (a) out.alphaNonZero = true;
                }
            }
        }
        at += ph * (rowBytes + 1);
    }
    return true;
}

}  // namespace quillkit
