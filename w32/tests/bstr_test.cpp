#include <gtest/gtest.h>

#include "w32/bstr.h"

namespace {

TEST(Bstr, NarrowTextRoundTripsThroughTheCodePage) {
  BSTR raw = nullptr;
  ASSERT_EQ(w32::BstrFromNarrow("Caf\xE9 \x80", &raw, 1252), S_OK);
  w32::Bstr s(raw);
  EXPECT_EQ(s.View(), std::wstring_view(L"Caf\u00E9 \u20AC"));
  std::string back;
  ASSERT_EQ(w32::NarrowFromBstr(s.Get(), back, 1252), S_OK);
  EXPECT_EQ(back, "Caf\xE9 \x80");
}

TEST(Bstr, EmptyTextGivesEmptyNonNullAndNullReadsAsEmpty) {
  w32::Bstr s;
  ASSERT_EQ(w32::BstrFromNarrow("", s.Put()), S_OK);
  ASSERT_NE(s.Get(), nullptr);
  EXPECT_EQ(s.Length(), 0u);
  ASSERT_EQ(w32::BstrFromWide(L"", s.Put()), S_OK);
  ASSERT_NE(s.Get(), nullptr);

  std::string narrow = "old";
  EXPECT_EQ(w32::NarrowFromBstr(nullptr, narrow), S_OK);
  EXPECT_EQ(narrow, "");
  std::wstring wide = L"old";
  EXPECT_EQ(w32::WideFromBstr(nullptr, wide), S_OK);
  EXPECT_EQ(wide, L"");
  EXPECT_EQ(w32::BstrView(nullptr).size(), 0u);
}

TEST(Bstr, FailedConversionIsOutOfMemoryAndLeavesTheTarget) {
  const UINT noSuchCodePage = 64999;
  BSTR raw = reinterpret_cast<BSTR>(1);
  EXPECT_EQ(w32::BstrFromNarrow("abc", &raw, noSuchCodePage), E_OUTOFMEMORY);
  EXPECT_EQ(raw, nullptr);
  w32::Bstr s;
  ASSERT_EQ(w32::BstrFromWide(L"abc", s.Put()), S_OK);
  std::string narrow = "kept";
  EXPECT_EQ(w32::NarrowFromBstr(s.Get(), narrow, noSuchCodePage), E_OUTOFMEMORY);
  EXPECT_EQ(narrow, "kept");
  EXPECT_EQ(w32::BstrFromWide(L"x", nullptr), E_POINTER);
}

TEST(Bstr, OwnerKeepsEmbeddedZerosAndHandsOver) {
  const wchar_t text[] = L"a\0b";
  w32::Bstr s;
  ASSERT_EQ(w32::BstrFromWide(std::wstring_view(text, 3), s.Put()), S_OK);
  EXPECT_EQ(s.Length(), 3u);
  w32::Bstr moved = std::move(s);
  EXPECT_EQ(s.Get(), nullptr);
  BSTR raw = moved.Detach();
  EXPECT_EQ(moved.Get(), nullptr);
  EXPECT_EQ(::SysStringLen(raw), 3u);
  ::SysFreeString(raw);
}

}  // namespace
