#include <gtest/gtest.h>

#include <fstream>

#include "conversion/target_path.h"
#include "test_emf.h"

namespace {

TEST(TargetPath, FolderGetsExactlyOneBackslash) {
  EXPECT_EQ(WithTrailingBackslash("C:\\out"), "C:\\out\\");
  EXPECT_EQ(WithTrailingBackslash("C:\\out\\"), "C:\\out\\");
  EXPECT_EQ(WithTrailingBackslash(""), "");
}

TEST(TargetPath, NamesWithForbiddenCharactersBecomeUntitled) {
  for (const char* bad : {"a:b", "a*b", "a?b", "a\"b", "a<b", "a>b", "a|b", ""})
    EXPECT_EQ(TargetFileName(bad), "Untitled document") << bad;
  EXPECT_EQ(TargetFileName("Quarterly report - draft"), "Quarterly report - draft");
}

TEST(TargetPath, UniqueNamesAreNumberedFromOne) {
  const std::string folder = MakeScratchFolder("unique");
  std::ofstream(folder + "report.pdf") << "x";
  EXPECT_EQ(MakeUniqueFileName(folder + "report.pdf"), folder + "report_1.pdf");
  std::ofstream(folder + "report_1.pdf") << "x";
  EXPECT_EQ(MakeUniqueFileName(folder + "report.pdf"), folder + "report_2.pdf");
  EXPECT_EQ(MakeUniqueFileName(folder + "noext"), folder + "noext_1");
  EXPECT_EQ(MakeUniqueFileName(folder + "v1.2.pdf"), folder + "v1.2_1.pdf");
  RemoveTree(folder);
}

TEST(TargetPath, CreatesEveryMissingLevel) {
  const std::string folder = MakeScratchFolder("levels");
  const std::string deep = folder + "a\\b\\c\\";
  CreateDirectoryPath(deep);
  EXPECT_TRUE(FolderExists(deep));
  CreateDirectoryPath(deep);  // existing levels are fine
  EXPECT_TRUE(FolderExists(deep));
  RemoveTree(folder);
}

}  // namespace
