#include "ppm_image.h"

#include <gtest/gtest.h>

namespace qkbench {
namespace {

TEST(PpmImage, ReadsRgbAndGreyWithComments) {
  Image img;
  std::string error;
  const char rgb[] = "P6\n# made by hand\n2 1\n255\n\x01\x02\x03\x04\x05\x06";
  ASSERT_TRUE(ParsePnm(std::string(rgb, sizeof(rgb) - 1), &img, &error))
      << error;
  EXPECT_EQ(img.width, 2);
  EXPECT_EQ(img.At(1, 0)[2], 6);

  const char grey[] = "P5 2 1 15 \x0f\x00";
  ASSERT_TRUE(ParsePnm(std::string(grey, sizeof(grey) - 1), &img, &error)) << error;
  EXPECT_EQ(img.At(0, 0)[1], 255);  // scaled from a maximum of 15
  EXPECT_EQ(img.At(1, 0)[0], 0);
}

TEST(PpmImage, RejectsTruncatedAndAbsurdPictures) {
  Image img;
  std::string error;
  EXPECT_FALSE(ParsePnm("P6\n2 2\n255\n\x01\x02", &img, &error));
  EXPECT_FALSE(ParsePnm("P6\n100000 100000\n255\n", &img, &error));
  EXPECT_FALSE(ParsePnm("P3\n1 1\n255\n0 0 0", &img, &error));
  EXPECT_FALSE(ParsePnm("P6\n1 1\n65535\n\x01\x02\x03\x04\x05\x06", &img, &error));
  EXPECT_FALSE(ParsePnm("", &img, &error));
}

}  // namespace
}  // namespace qkbench
