#include <gtest/gtest.h>

#include "w32/strings.h"

namespace {

TEST(Strings, RoundTripsUtf8AndSurvivesEmptyInput) {
  const std::wstring text = L"Gr\u00fc\u00dfe \u05e9\u05dc\u05d5\u05dd \U0001F600";
  EXPECT_EQ(w32::Widen(w32::Narrow(text, CP_UTF8), CP_UTF8), text);
  EXPECT_EQ(w32::Widen("", CP_UTF8), L"");
  EXPECT_EQ(w32::Narrow(L""), "");
}

TEST(Strings, FormatGrowsPastAnyFixedSize) {
  const std::wstring big(5000, L'x');
  const std::wstring out = w32::Format(L"[%s]-%d", big.c_str(), 42);
  EXPECT_EQ(out.size(), big.size() + 5);
  EXPECT_EQ(out.substr(out.size() - 4), L"]-42");
  EXPECT_EQ(w32::Format("%s:%03d", "a", 7), "a:007");
}

TEST(Strings, ReplaceAllHandlesOverlapAndGrowth) {
  EXPECT_EQ(w32::ReplaceAll(L"%P% and %P%", L"%P%", L"Scrivo"), L"Scrivo and Scrivo");
  EXPECT_EQ(w32::ReplaceAll(L"aaa", L"a", L"aa"), L"aaaaaa");
  EXPECT_EQ(w32::ReplaceAll(L"abc", L"", L"x"), L"abc");
}

TEST(Strings, SystemErrorTextKnowsCommonErrors) {
  EXPECT_FALSE(w32::SystemErrorText(ERROR_FILE_NOT_FOUND).empty());
  EXPECT_LE(w32::SystemErrorText(ERROR_FILE_NOT_FOUND, 5).size(), 5u);
}

}  // namespace
