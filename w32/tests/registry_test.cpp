#include <gtest/gtest.h>

#include "w32/registry.h"

namespace {

// ctest runs each test in a process of its own, two at a time: a key per
// process keeps parallel tests apart.
class Registry : public ::testing::Test {
 protected:
  void SetUp() override {
    key_ = L"Software\\ScrivoTest\\w32_registry_" + std::to_wstring(::GetCurrentProcessId());
    w32::DeleteKeyTree(HKEY_CURRENT_USER, key_);
  }
  void TearDown() override { w32::DeleteKeyTree(HKEY_CURRENT_USER, key_); }
  std::wstring key_;
};

TEST_F(Registry, ReadsBackWhatWasWritten) {
  w32::RegKey key = w32::RegKey::Create(HKEY_CURRENT_USER, key_);
  ASSERT_TRUE(key.Valid());
  EXPECT_EQ(key.WriteDword(L"n", 7), ERROR_SUCCESS);
  EXPECT_EQ(key.WriteString(L"s", L"C:\\a b\\job.ini"), ERROR_SUCCESS);
  EXPECT_EQ(key.ReadDword(L"n"), 7u);
  EXPECT_EQ(key.ReadString(L"s"), std::wstring(L"C:\\a b\\job.ini"));
  EXPECT_EQ(key.ReadDwordOr(L"missing", 9), 9u);
}

TEST_F(Registry, ValuesOfTheWrongTypeOrSizeReadAsAbsent) {
  w32::RegKey key = w32::RegKey::Create(HKEY_CURRENT_USER, key_);
  ASSERT_TRUE(key.Valid());
  key.WriteString(L"str", L"1");
  const BYTE two[2] = {1, 0};
  ::RegSetValueExW(key.Get(), L"short", 0, REG_DWORD, two, sizeof(two));
  const DWORD n = 5;
  ::RegSetValueExW(key.Get(), L"binary", 0, REG_BINARY, reinterpret_cast<const BYTE*>(&n),
                   sizeof(n));
  EXPECT_FALSE(key.ReadDword(L"str"));
  EXPECT_FALSE(key.ReadDword(L"short"));
  EXPECT_FALSE(key.ReadString(L"binary"));
}

TEST_F(Registry, StringWithoutTerminatorIsReadWhole) {
  w32::RegKey key = w32::RegKey::Create(HKEY_CURRENT_USER, key_);
  ASSERT_TRUE(key.Valid());
  const wchar_t raw[3] = {L'a', L'b', L'c'};
  ::RegSetValueExW(key.Get(), L"raw", 0, REG_SZ, reinterpret_cast<const BYTE*>(raw), sizeof(raw));
  EXPECT_EQ(key.ReadString(L"raw"), std::wstring(L"abc"));
}

TEST_F(Registry, OpenOfMissingKeyReportsTheError) {
  LONG error = 0;
  w32::RegKey key = w32::RegKey::Open(HKEY_CURRENT_USER, key_, KEY_READ, &error);
  EXPECT_FALSE(key.Valid());
  EXPECT_EQ(error, ERROR_FILE_NOT_FOUND);
}

}  // namespace
