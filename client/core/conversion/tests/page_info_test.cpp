#include <gtest/gtest.h>

#include "conversion/page_info.h"
#include "test_emf.h"

namespace {

TEST(PageInfo, DpiRoundingDropsHalfAndRaisesAboveHalf) {
  EXPECT_EQ(RoundDpi(299.5), 299);
  EXPECT_EQ(RoundDpi(299.51), 300);
  EXPECT_EQ(RoundDpi(299.49), 299);
  EXPECT_EQ(RoundDpi(600.0), 600);
  EXPECT_EQ(RawDpi(10, 0), 0);  // no physical size: no division
}

TEST(PageInfo, A4At600DotsPerInch) {
  const std::string folder = MakeScratchFolder("dpi");
  ASSERT_TRUE(WriteTestEmf(folder + "a4.emf", 4961, 7016, 210000, 297000));
  w32::EnhMetaFile emf;
  EmfSize size;
  ASSERT_TRUE(OpenEmf(folder + "a4.emf", emf, size));
  EXPECT_EQ(size.deviceWidth, 4961);
  EXPECT_EQ(size.deviceHeight, 7016);
  EXPECT_EQ(RoundDpi(RawDpi(size.deviceWidth, size.micrometresWidth)), 600);
  EXPECT_EQ(RoundDpi(RawDpi(size.deviceHeight, size.micrometresHeight)), 600);
  emf.Reset();
  RemoveTree(folder);
}

TEST(PageInfo, MissingOrSizelessFilesAreRefused) {
  const std::string folder = MakeScratchFolder("refuse");
  w32::EnhMetaFile emf;
  EmfSize size;
  EXPECT_FALSE(OpenEmf(folder + "missing.emf", emf, size));
  ASSERT_TRUE(WriteTestEmf(folder + "flat.emf", 100, 0, 210000, 297000));
  EXPECT_FALSE(OpenEmf(folder + "flat.emf", emf, size));
  ASSERT_TRUE(WriteTestEmf(folder + "nomm.emf", 100, 100, 0, 0));
  EXPECT_FALSE(OpenEmf(folder + "nomm.emf", emf, size));
  EXPECT_FALSE(emf.Valid());
  RemoveTree(folder);
}

}  // namespace
