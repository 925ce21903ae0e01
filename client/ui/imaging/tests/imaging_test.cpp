// The pixel arithmetic of the button looks: HLS round trips in single
// precision, the two effects on the colours users see, the mask colour kept,
// and the pipeline's sizes, background fill and bitmap round trip.
#include <gtest/gtest.h>

#include <vector>

#include "imaging/en_bitmap.h"
#include "imaging/hls_color.h"

namespace {

constexpr COLORREF kMagenta = 0xFF00FF;

RGBQUAD Px(BYTE r, BYTE g, BYTE b, BYTE spare = 0) { return RGBQUAD{b, g, r, spare}; }

// Runs one effect's processor list over a one-pixel image.
RGBQUAD Highlight(RGBQUAD p) {
  CImageHigh high(0.04f, TRUE, kMagenta);
  std::vector<RGBQUAD> pixels{p};
  SIZE size{1, 1};
  EXPECT_TRUE(CEnBitmap::ProcessPixels({&high, &high}, pixels, size, 0xFFFFFF));
  return pixels[0];
}
RGBQUAD Disabled(RGBQUAD p) {
  CImageGrayer grayer(TRUE, kMagenta);
  CImageHigh high(0.08f, TRUE, kMagenta);
  std::vector<RGBQUAD> pixels{p};
  SIZE size{1, 1};
  EXPECT_TRUE(CEnBitmap::ProcessPixels({&grayer, &high, &high, &high}, pixels, size, 0xFFFFFF));
  return pixels[0];
}

void ExpectRgb(RGBQUAD p, int r, int g, int b) {
  EXPECT_EQ(p.rgbRed, r);
  EXPECT_EQ(p.rgbGreen, g);
  EXPECT_EQ(p.rgbBlue, b);
}

TEST(HlsColor, ConvertsWithTheGivenFormulas) {
  CHlsColor c;
  c.SetRgb(0, 200, 0);
  c.ToHls();
  EXPECT_FLOAT_EQ(c.hue, 120.0f);
  EXPECT_FLOAT_EQ(c.lightness, 200.0f / 510.0f);
  EXPECT_FLOAT_EQ(c.saturation, 1.0f);

  c.SetRgb(255, 128, 0);  // red is the max: (bc + 6 - gc) * 60, above 360 wraps
  c.ToHls();
  EXPECT_NEAR(c.hue, 30.117647f, 1e-4);

  c.SetRgb(200, 200, 50);  // red and green tie: the green formula wins
  c.ToHls();
  EXPECT_FLOAT_EQ(c.hue, 60.0f);

  c.SetRgb(90, 90, 90);
  c.ToHls();
  EXPECT_EQ(c.saturation, 0.0f);
  EXPECT_EQ(c.hue, 0.0f);
}

TEST(HlsColor, ConvertsOnlyWhatIsNotCurrent) {
  CHlsColor c;
  c.SetRgb(10, 20, 30);
  c.ToHls();
  c.lightness = 0.5f;  // a later ToHls must not overwrite the HLS side
  c.ToHls();
  EXPECT_EQ(c.lightness, 0.5f);
  c.ToRgb();  // RGB still current: nothing recomputed
  ExpectRgb(Px(c.red, c.green, c.blue), 10, 20, 30);
}

TEST(HlsColor, RoundTripsTruncateTowardZero) {
  for (int r = 0; r < 256; r += 51)
    for (int g = 0; g < 256; g += 51)
      for (int b = 0; b < 256; b += 51) {
        CHlsColor c;
        c.SetRgb(BYTE(r), BYTE(g), BYTE(b));
        c.ToHls();
        c.rgbCurrent = false;
        c.ToRgb();
        // Truncation may lose up to one step, never gain.
        EXPECT_LE(c.red, r);
        EXPECT_GE(c.red, r - 1);
        EXPECT_LE(c.green, g);
        EXPECT_GE(c.green, g - 1);
        EXPECT_LE(c.blue, b);
        EXPECT_GE(c.blue, b - 1);
      }
}

TEST(ButtonLooks, HighlightLightensGreyAndGreenAndKeepsWhite) {
  ExpectRgb(Highlight(Px(100, 100, 100)), 120, 120, 120);
  ExpectRgb(Highlight(Px(255, 255, 255)), 255, 255, 255);
  ExpectRgb(Highlight(Px(0, 200, 0)), 0, 240, 0);
}

TEST(ButtonLooks, DisabledGreysThenLightensThreeTimes) {
  ExpectRgb(Disabled(Px(0, 200, 0)), 180, 180, 180);
  // The grey formula alone: (blue + 6 green + 3 red) / 10.
  CImageGrayer grayer;
  RGBQUAD src = Px(10, 20, 35, 9), dest = Px(1, 1, 1, 1);
  grayer.ProcessPixels(&src, SIZE{1, 1}, &dest, SIZE{1, 1});
  ExpectRgb(dest, 18, 18, 18);  // (35 + 120 + 30) / 10 = 18
  EXPECT_EQ(dest.rgbReserved, 0);
}

TEST(ButtonLooks, MaskColourSurvivesBothEffects) {
  ExpectRgb(Highlight(Px(255, 0, 255)), 255, 0, 255);
  ExpectRgb(Disabled(Px(255, 0, 255)), 255, 0, 255);
  // Without the mask switch magenta is processed like any colour.
  CImageGrayer plain;
  RGBQUAD src = Px(255, 0, 255), dest{};
  plain.ProcessPixels(&src, SIZE{1, 1}, &dest, SIZE{1, 1});
  ExpectRgb(dest, 102, 102, 102);
}

TEST(ButtonLooks, HighlightKeepsTheDestinationsSpareByte) {
  CImageHigh high(0.04f);
  RGBQUAD src = Px(100, 100, 100, 5), dest = Px(0, 0, 0, 0xAB);
  high.ProcessPixels(&src, SIZE{1, 1}, &dest, SIZE{1, 1});
  EXPECT_EQ(dest.rgbReserved, 0xAB);
  ExpectRgb(dest, 110, 110, 110);
}

TEST(ButtonLooks, LightnessStaysWithinZeroAndOne) {
  CHlsColor c;
  c.SetRgb(250, 250, 250);
  c.AddLightness(0.5f);
  EXPECT_EQ(c.lightness, 1.0f);
  c.SetRgb(3, 3, 3);
  c.AddLightness(-0.5f);
  EXPECT_EQ(c.lightness, 0.0f);
  c.ToRgb();
  ExpectRgb(Px(c.red, c.green, c.blue), 0, 0, 0);
}

// A processor that doubles the width, to see the pipeline's sizes.
class Widen : public C32BitImageProcessor {
 public:
  SIZE CalcDestSize(SIZE s) override { return SIZE{s.cx * 2, s.cy}; }
  BOOL ProcessPixels(const RGBQUAD* src, SIZE ss, RGBQUAD* dest, SIZE ds) override {
    for (LONG y = 0; y < ss.cy; ++y)
      for (LONG x = 0; x < ss.cx; ++x) dest[y * ds.cx + x] = src[y * ss.cx + x];
    return TRUE;
  }
};
class Fail : public C32BitImageProcessor {
 public:
  BOOL ProcessPixels(const RGBQUAD*, SIZE, RGBQUAD*, SIZE) override { return FALSE; }
};

TEST(Pipeline, SizesChainAndTheBackgroundFillsWhatIsNew) {
  std::vector<RGBQUAD> pixels{Px(1, 2, 3), Px(4, 5, 6)};
  SIZE size{2, 1};
  Widen widen;
  ASSERT_TRUE(CEnBitmap::ProcessPixels({&widen, &widen}, pixels, size, RGB(10, 20, 30)));
  EXPECT_EQ(size.cx, 8);
  ASSERT_EQ(pixels.size(), 8u);
  ExpectRgb(pixels[1], 4, 5, 6);
  ExpectRgb(pixels[7], 10, 20, 30);
  EXPECT_EQ(pixels[7].rgbReserved, 0);
}

TEST(Pipeline, EmptyListChangesNothingAndAFailingStepFails) {
  std::vector<RGBQUAD> pixels{Px(1, 2, 3)};
  SIZE size{1, 1};
  EXPECT_TRUE(CEnBitmap::ProcessPixels({}, pixels, size, 0));
  ExpectRgb(pixels[0], 1, 2, 3);
  Fail fail;
  C32BitImageProcessor copy;
  EXPECT_FALSE(CEnBitmap::ProcessPixels({&copy, &fail}, pixels, size, 0));
  ExpectRgb(pixels[0], 1, 2, 3);
}

TEST(Pipeline, BackgroundFillRules) {
  RGBQUAD p[2];
  CEnBitmap::FillBackground(p, 2, 0);
  EXPECT_EQ(p[1].rgbRed + p[1].rgbGreen + p[1].rgbBlue + p[1].rgbReserved, 0);
  CEnBitmap::FillBackground(p, 2, 0xFFFFFF);
  EXPECT_EQ(p[1].rgbReserved, 0xFF);
  CEnBitmap::FillBackground(p, 2, 0xFFFFFFFF);
  EXPECT_EQ(p[0].rgbReserved, 0xFF);
  CEnBitmap::FillBackground(p, 2, RGB(1, 2, 3));
  ExpectRgb(p[1], 1, 2, 3);
  EXPECT_EQ(p[1].rgbReserved, 0);
}

TEST(Pipeline, TooLargeImagesFail) {
  std::vector<RGBQUAD> pixels{Px(1, 1, 1)};
  SIZE size{1, 1};
  class Huge : public C32BitImageProcessor {
    SIZE CalcDestSize(SIZE) override { return SIZE{1 << 15, 1 << 15}; }
  } huge;
  EXPECT_FALSE(CEnBitmap::ProcessPixels({&huge}, pixels, size, 0));
}

TEST(EnBitmap, EffectsRoundTripThroughARealBitmap) {
  HDC screen = ::GetDC(nullptr);
  ASSERT_NE(screen, nullptr);
  HBITMAP bm = ::CreateCompatibleBitmap(screen, 2, 1);
  ASSERT_NE(bm, nullptr);
  RGBQUAD in[2] = {Px(0, 200, 0), Px(255, 0, 255)};
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 2, -1, 1, 32, BI_RGB};
  ASSERT_EQ(::SetDIBits(screen, bm, 0, 1, in, &info, DIB_RGB_COLORS), 1);
  CEnBitmap bitmap;
  bitmap.Attach(bm);
  ASSERT_TRUE(bitmap.DisabledEffect(kMagenta));
  EXPECT_EQ(bitmap.Size().cx, 2);
  RGBQUAD out[2]{};
  ASSERT_EQ(::GetDIBits(screen, bitmap.Get(), 0, 1, out, &info, DIB_RGB_COLORS), 1);
  ExpectRgb(out[0], 180, 180, 180);
  ExpectRgb(out[1], 255, 0, 255);
  ::ReleaseDC(nullptr, screen);
}

}  // namespace
