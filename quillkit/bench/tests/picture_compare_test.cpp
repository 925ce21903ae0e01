#include "picture_compare.h"

#include <gtest/gtest.h>

namespace qkbench {
namespace {

Image White(int w, int h) {
  Image img;
  img.width = w;
  img.height = h;
  img.rgb.assign(static_cast<size_t>(w) * h * 3, 255);
  return img;
}

void Set(Image& img, int x, int y, uint8_t r, uint8_t g, uint8_t b) {
  uint8_t* p = img.rgb.data() + (static_cast<size_t>(y) * img.width + x) * 3;
  p[0] = r, p[1] = g, p[2] = b;
}

void Box(Image& img, int x0, int y0, int x1, int y1, uint8_t v = 0) {
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) Set(img, x, y, v, v, v);
}

TEST(PictureCompare, IdenticalPicturesMatch) {
  Image a = White(50, 40);
  Box(a, 10, 10, 30, 20);
  const CompareResult r = ComparePictures(a, a, CompareOptions{});
  EXPECT_TRUE(r.match);
  EXPECT_EQ(r.differing, 0);
  EXPECT_EQ(r.ink, 200);
  EXPECT_EQ(r.pixels, 2000);
}

TEST(PictureCompare, OnePixelShiftIsForgivenTwoAreNot) {
  Image a = White(100, 100), b = White(100, 100), c = White(100, 100);
  Box(a, 20, 20, 21, 80);  // a one-pixel vertical line
  Box(b, 21, 20, 22, 80);  // the same line one pixel to the right
  Box(c, 22, 20, 23, 80);  // two pixels to the right
  EXPECT_EQ(ComparePictures(a, b, CompareOptions{}).differing, 0);
  const CompareResult r = ComparePictures(a, c, CompareOptions{});
  EXPECT_EQ(r.differing, 120);
  EXPECT_EQ(r.inkDiffering, 120);
  EXPECT_FALSE(r.match);  // all of the ink differs
}

TEST(PictureCompare, BlankPageDoesNotPassForSparseClipArt) {
  Image art = White(100, 100);
  Box(art, 10, 10, 20, 20);  // 1% of the page
  const CompareResult r = ComparePictures(art, White(100, 100), CompareOptions{});
  EXPECT_LE(r.DiffShare(), 0.02);
  EXPECT_DOUBLE_EQ(r.InkDiffShare(), 1.0);
  EXPECT_FALSE(r.match);
}

TEST(PictureCompare, ColourToleranceAndShareLimit) {
  Image a = White(100, 100), b = White(100, 100);
  Box(a, 0, 0, 100, 50, 100);
  Box(b, 0, 0, 100, 50, 100 + 30);  // within the tolerance of 32
  EXPECT_TRUE(ComparePictures(a, b, CompareOptions{}).match);
  Box(b, 0, 0, 100, 3, 200);  // 3% of all pixels clearly different
  const CompareResult r = ComparePictures(a, b, CompareOptions{});
  EXPECT_EQ(r.differing, 300);  // nothing of b's new colour is anywhere near in a
  EXPECT_FALSE(r.match);
}

TEST(PictureCompare, DifferenceIsSeenFromBothPictures) {
  // b has all of a's ink plus more: every pixel of a finds its colour in b,
  // but b's extra ink finds none in a.
  Image a = White(60, 60), b = White(60, 60);
  Box(a, 10, 10, 20, 20);
  Box(b, 10, 10, 40, 40);
  const CompareResult r = ComparePictures(a, b, CompareOptions{});
  EXPECT_GT(r.differing, 0);
  EXPECT_EQ(ComparePictures(b, a, CompareOptions{}).differing, r.differing);
}

TEST(PictureCompare, NearSizesAreAlignedFarSizesArePadded) {
  Image a = White(100, 80), b = White(101, 79);
  Box(a, 10, 10, 50, 50);
  Box(b, 10, 10, 50, 50);
  const CompareResult near = ComparePictures(a, b, CompareOptions{});
  EXPECT_FALSE(near.sizesDiffer);
  EXPECT_EQ(near.width, 100);
  EXPECT_EQ(near.height, 79);
  EXPECT_TRUE(near.match);

  Image page = White(200, 300);  // a page much larger than the picture
  Box(page, 10, 10, 50, 50);
  Box(page, 150, 250, 190, 290);  // ink outside the picture's area
  const CompareResult far = ComparePictures(a, page, CompareOptions{});
  EXPECT_TRUE(far.sizesDiffer);
  EXPECT_EQ(far.width, 200);
  EXPECT_EQ(far.height, 300);
  EXPECT_EQ(far.inkDiffering, 1600);
}

TEST(PictureCompare, DiffPictureMarksDifferences) {
  Image a = White(10, 10), b = White(10, 10);
  Box(a, 5, 5, 6, 6);
  Image diff;
  ComparePictures(a, b, CompareOptions{}, &diff);
  ASSERT_EQ(diff.width, 10);
  EXPECT_EQ(diff.At(5, 5)[0], 230);
  EXPECT_EQ(diff.At(5, 5)[1], 0);
  EXPECT_EQ(diff.At(0, 0)[1], 255);
}

}  // namespace
}  // namespace qkbench
