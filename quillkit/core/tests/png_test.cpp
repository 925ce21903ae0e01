// PNG bitmaps (BI_PNG) built here with zlib: every filter, palettes with
// transparency, 16-bit samples, interlacing, and damaged files that must
// fail cleanly.
#include <gtest/gtest.h>

#include <zlib.h>

#include <cstdlib>

#include "dib.h"
#include "png_decode.h"

using namespace quillkit;

namespace {

void be32(std::vector<uint8_t>& v, uint32_t x) {
    for (int s = 24; s >= 0; s -= 8) v.push_back(uint8_t(x >> s));
}

void chunk(std::vector<uint8_t>& png, const char* type, const std::vector<uint8_t>& body) {
    be32(png, uint32_t(body.size()));
    std::vector<uint8_t> typed(type, type + 4);
    typed.insert(typed.end(), body.begin(), body.end());
    png.insert(png.end(), typed.begin(), typed.end());
    be32(png, uint32_t(crc32(0, typed.data(), uInt(typed.size()))));
}

// Filters one row with `type` against the previous one (the encoder side).
std::vector<uint8_t> filterRow(const std::vector<uint8_t>& row, const std::vector<uint8_t>& prev, int type, std::size_t bpp) {
    std::vector<uint8_t> out{uint8_t(type)};
    for (std::size_t i = 0; i < row.size(); ++i) {
        int a = i >= bpp ? row[i - bpp] : 0, b = prev[i], c = i >= bpp ? prev[i - bpp] : 0;
        int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
        int pred = type == 1 ? a : type == 2 ? b : type == 3 ? (a + b) / 2
                 : type == 4 ? (pa <= pb && pa <= pc ? a : pb <= pc ? b : c) : 0;
        out.push_back(uint8_t(row[i] - pred));
    }
    return out;
}

// A PNG file of the rows (already packed samples), each row with the filter
// types in turn; `extra` chunks go before the data.
std::vector<uint8_t> makePng(uint32_t w, uint32_t h, int depth, int colorType, const std::vector<std::vector<uint8_t>>& rows,
                             std::size_t bpp, const std::vector<std::pair<const char*, std::vector<uint8_t>>>& extra = {},
                             int interlace = 0, const std::vector<uint8_t>* rawData = nullptr) {
    std::vector<uint8_t> png{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::vector<uint8_t> ihdr;
    be32(ihdr, w);
    be32(ihdr, h);
    ihdr.insert(ihdr.end(), {uint8_t(depth), uint8_t(colorType), 0, 0, uint8_t(interlace)});
    chunk(png, "IHDR", ihdr);
    for (const auto& e : extra) chunk(png, e.first, e.second);
    std::vector<uint8_t> raw;
    if (rawData) raw = *rawData;
    else {
        std::vector<uint8_t> prev(rows.empty() ? 0 : rows[0].size(), 0);
        for (std::size_t y = 0; y < rows.size(); ++y) {
            auto f = filterRow(rows[y], prev, int(y % 5), bpp);
            raw.insert(raw.end(), f.begin(), f.end());
            prev = rows[y];
        }
    }
    uLongf n = compressBound(uLong(raw.size()));
    std::vector<uint8_t> z(n);
    compress(z.data(), &n, raw.data(), uLong(raw.size()));
    z.resize(n);
    // The data split over two IDAT chunks, as encoders do.
    std::size_t half = z.size() / 2;
    chunk(png, "IDAT", std::vector<uint8_t>(z.begin(), z.begin() + half));
    chunk(png, "IDAT", std::vector<uint8_t>(z.begin() + half, z.end()));
    chunk(png, "IEND", {});
    return png;
}

std::vector<uint8_t> pixel(const DecodedImage& img, int x, int y) {
    std::size_t o = std::size_t(y) * img.width + x;
    std::vector<uint8_t> p(img.rgb.begin() + o * 3, img.rgb.begin() + o * 3 + 3);
    if (!img.alpha.empty()) p.push_back(img.alpha[o]);
    return p;
}

}  // namespace

TEST(PngBitmaps, DecodeEveryFilterColourTypeAndDepth) {
    // RGBA, 8 bits, five rows: each of the five filters once.
    std::vector<std::vector<uint8_t>> rows;
    for (int y = 0; y < 5; ++y) {
        std::vector<uint8_t> row;
        for (int x = 0; x < 3; ++x) row.insert(row.end(), {uint8_t(40 * x + y), uint8_t(200 - 30 * y), uint8_t(x * y * 17), uint8_t(255 - 50 * y)});
        rows.push_back(row);
    }
    DecodedImage img;
    std::string err;
    auto rgba = makePng(3, 5, 8, 6, rows, 4);
    ASSERT_TRUE(decodePng(rgba.data(), rgba.size(), 1000, img, err)) << err;
    EXPECT_EQ(img.width, 3);
    EXPECT_EQ(img.height, 5);
    EXPECT_EQ(img.bitCount, 32);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(pixel(img, x, y), std::vector<uint8_t>(rows[y].begin() + x * 4, rows[y].begin() + x * 4 + 4)) << x << "," << y;

    // Palette of 2 bits with a transparent entry; 5 pixels a row cross a byte.
    std::vector<uint8_t> plte{255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 9, 9};
    std::vector<std::vector<uint8_t>> idx{{0x1B, 0x40}, {0xE4, 0xC0}};   // 0 1 2 3 1 / 3 2 1 0 3
    auto pal = makePng(5, 2, 2, 3, idx, 1, {{"PLTE", plte}, {"tRNS", {255, 0}}});
    ASSERT_TRUE(decodePng(pal.data(), pal.size(), 1000, img, err)) << err;
    EXPECT_EQ(pixel(img, 0, 0), (std::vector<uint8_t>{255, 0, 0, 255}));
    EXPECT_EQ(pixel(img, 1, 0), (std::vector<uint8_t>{0, 255, 0, 0}));
    EXPECT_EQ(pixel(img, 4, 0), (std::vector<uint8_t>{0, 255, 0, 0}));
    EXPECT_EQ(pixel(img, 0, 1), (std::vector<uint8_t>{9, 9, 9, 255}));
    EXPECT_EQ(pixel(img, 4, 1), (std::vector<uint8_t>{9, 9, 9, 255}));

    // Grey, 16 bits: the high byte; opaque images have no alpha.
    auto grey = makePng(2, 1, 16, 0, {{0x12, 0x34, 0xFE, 0xDC}}, 2);
    ASSERT_TRUE(decodePng(grey.data(), grey.size(), 1000, img, err)) << err;
    EXPECT_EQ(img.bitCount, 24);
    EXPECT_TRUE(img.alpha.empty());
    EXPECT_EQ(pixel(img, 0, 0), (std::vector<uint8_t>{0x12, 0x12, 0x12}));
    EXPECT_EQ(pixel(img, 1, 0), (std::vector<uint8_t>{0xFE, 0xFE, 0xFE}));
}

TEST(PngBitmaps, InterlacedImagesComeOutInPlace) {
    // 5 x 5 grey, 8 bits, value = 10 * y + x, in the seven Adam7 passes
    // (unfiltered rows).
    const int x0[7] = {0, 4, 0, 2, 0, 1, 0}, y0[7] = {0, 0, 4, 0, 2, 0, 1};
    const int dx[7] = {8, 8, 4, 4, 2, 2, 1}, dy[7] = {8, 8, 8, 4, 4, 2, 2};
    std::vector<uint8_t> raw;
    for (int p = 0; p < 7; ++p)
        for (int y = y0[p]; y < 5; y += dy[p]) {
            if (x0[p] >= 5) break;
            raw.push_back(0);
            for (int x = x0[p]; x < 5; x += dx[p]) raw.push_back(uint8_t(10 * y + x));
        }
    auto png = makePng(5, 5, 8, 0, {}, 1, {}, 1, &raw);
    DecodedImage img;
    std::string err;
    ASSERT_TRUE(decodePng(png.data(), png.size(), 1000, img, err)) << err;
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(img.rgb[(y * 5 + x) * 3], 10 * y + x) << x << "," << y;
}

TEST(PngBitmaps, DamagedOrOversizedDataFailsWithAReason) {
    std::vector<std::vector<uint8_t>> rows{{1, 2, 3}, {4, 5, 6}};
    auto good = makePng(3, 2, 8, 0, rows, 1);
    DecodedImage img;
    std::string err;
    ASSERT_TRUE(decodePng(good.data(), good.size(), 1000, img, err)) << err;
    // Every truncation fails or (cut inside IEND only) still decodes; never
    // reads past the data (checked under ASan).
    for (std::size_t n = 0; n < good.size(); ++n) {
        std::vector<uint8_t> cut(good.begin(), good.begin() + n);
        if (decodePng(cut.data(), cut.size(), 1000, img, err)) EXPECT_GE(n, good.size() - 12);
        else EXPECT_FALSE(err.empty());
    }
    EXPECT_FALSE(decodePng(good.data(), good.size(), 5, img, err));   // more pixels than allowed
    EXPECT_EQ(err, "bitmap is too large");
    std::vector<uint8_t> badFilter{9, 1, 2, 3, 0, 4, 5, 6};
    auto bad = makePng(3, 2, 8, 0, {}, 1, {}, 0, &badFilter);
    EXPECT_FALSE(decodePng(bad.data(), bad.size(), 1000, img, err));
    auto badDepth = makePng(3, 2, 16, 3, rows, 1, {{"PLTE", {1, 2, 3}}});
    EXPECT_FALSE(decodePng(badDepth.data(), badDepth.size(), 1000, img, err));
    auto noPalette = makePng(3, 2, 8, 3, rows, 1);
    EXPECT_FALSE(decodePng(noPalette.data(), noPalette.size(), 1000, img, err));
    // A palette index past the palette: black, not a read outside it.
    auto shortPalette = makePng(3, 2, 8, 3, rows, 1, {{"PLTE", {7, 8, 9}}});
    ASSERT_TRUE(decodePng(shortPalette.data(), shortPalette.size(), 1000, img, err)) << err;
    EXPECT_EQ(pixel(img, 2, 1), (std::vector<uint8_t>{0, 0, 0}));

    // Through the bitmap header: the PNG's size must be the header's.
    std::vector<uint8_t> bmi(40, 0);
    bmi[0] = 40;
    bmi[4] = 3;                      // width
    bmi[8] = 2;                      // height
    bmi[12] = 1; bmi[14] = 0;        // planes, bit count 0
    bmi[16] = 5;                     // BI_PNG
    DibRef dib{bmi.data(), bmi.size(), good.data(), good.size()};
    ASSERT_TRUE(decodeDib(dib, DibOptions(), img, err)) << err;
    EXPECT_EQ(img.rgb[5 * 3], 6);
    bmi[4] = 4;
    EXPECT_FALSE(decodeDib(dib, DibOptions(), img, err));
    EXPECT_NE(err.find("size"), std::string::npos);
}
