#include <gtest/gtest.h>

#include "w32/com_registration.h"
#include "w32/registry.h"

namespace {

// A key per process: ctest runs each test in a process of its own, side by side.
std::wstring TestRoot() {
  return L"Software\\ScrivoTest\\w32_com_registration_" + std::to_wstring(::GetCurrentProcessId());
}
const CLSID kClsid = {0x1c2d3e4f, 0x0a0b, 0x4c0d, {0x9e, 0x8f, 0x70, 0x61, 0x52, 0x43, 0x34, 0x25}};
const GUID kLibrary = {0x1c2d3e4f, 0x0a0b, 0x4c0d, {0x9e, 0x8f, 0x70, 0x61, 0x52, 0x43, 0x34, 0x26}};

class ComRegistration : public ::testing::Test {
 protected:
  void SetUp() override {
    w32::DeleteKeyTree(HKEY_CURRENT_USER, TestRoot());
    root_ = w32::RegKey::Create(HKEY_CURRENT_USER, TestRoot());
    ASSERT_TRUE(root_.Valid());
    cls_.clsid = kClsid;
    cls_.description = L"Widget Class";
    cls_.progId = L"Widget.1";
    cls_.versionIndependentProgId = L"Widget";
    cls_.serverPath = L"C:\\Program Files\\Widget\\Widget.dll";
    cls_.threadingModel = L"Apartment";
    cls_.typeLibrary = kLibrary;
    cls_.programmable = true;
  }
  void TearDown() override {
    root_ = w32::RegKey();
    w32::DeleteKeyTree(HKEY_CURRENT_USER, TestRoot());
  }
  std::optional<std::wstring> Value(const std::wstring& path, const wchar_t* name = L"") {
    w32::RegKey key = w32::RegKey::Open(root_.Get(), path);
    if (!key.Valid()) return std::nullopt;
    return key.ReadString(name);
  }
  bool Exists(const std::wstring& path) { return w32::RegKey::Open(root_.Get(), path).Valid(); }

  w32::RegKey root_;
  w32::InprocClassRegistration cls_;
};

TEST_F(ComRegistration, GuidStringIsTheBracedUpperCaseForm) {
  EXPECT_EQ(w32::GuidString(kClsid), L"{1C2D3E4F-0A0B-4C0D-9E8F-706152433425}");
}

TEST_F(ComRegistration, WritesEveryKeyOfTheClass) {
  ASSERT_EQ(w32::RegisterInprocClass(cls_, root_.Get()), S_OK);
  const std::wstring clsid = L"{1C2D3E4F-0A0B-4C0D-9E8F-706152433425}";
  const std::wstring classKey = L"CLSID\\" + clsid;
  EXPECT_EQ(Value(L"Widget.1"), L"Widget Class");
  EXPECT_EQ(Value(L"Widget.1\\CLSID"), clsid);
  EXPECT_FALSE(Exists(L"Widget.1\\CurVer"));
  EXPECT_EQ(Value(L"Widget"), L"Widget Class");
  EXPECT_EQ(Value(L"Widget\\CLSID"), clsid);
  EXPECT_EQ(Value(L"Widget\\CurVer"), L"Widget.1");
  EXPECT_EQ(Value(classKey), L"Widget Class");
  EXPECT_EQ(Value(classKey + L"\\ProgID"), L"Widget.1");
  EXPECT_EQ(Value(classKey + L"\\VersionIndependentProgID"), L"Widget");
  EXPECT_EQ(Value(classKey + L"\\Programmable"), L"");
  EXPECT_EQ(Value(classKey + L"\\InprocServer32"), cls_.serverPath);
  EXPECT_EQ(Value(classKey + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
  EXPECT_EQ(Value(classKey + L"\\TypeLib"), L"{1C2D3E4F-0A0B-4C0D-9E8F-706152433426}");
}

TEST_F(ComRegistration, ReRegistrationDropsStaleEntriesOfTheClassKey) {
  ASSERT_EQ(w32::RegisterInprocClass(cls_, root_.Get()), S_OK);
  const std::wstring classKey = L"CLSID\\" + w32::GuidString(kClsid);
  w32::RegKey::Create(root_.Get(), classKey + L"\\LocalServer32\\Deep");
  cls_.programmable = false;
  cls_.typeLibrary.reset();
  ASSERT_EQ(w32::RegisterInprocClass(cls_, root_.Get()), S_OK);
  EXPECT_FALSE(Exists(classKey + L"\\LocalServer32"));
  EXPECT_FALSE(Exists(classKey + L"\\Programmable"));
  EXPECT_FALSE(Exists(classKey + L"\\TypeLib"));
  EXPECT_EQ(Value(classKey + L"\\InprocServer32"), cls_.serverPath);
}

TEST_F(ComRegistration, UnregistrationRemovesTheClassButKeepsClsidAndOthers) {
  w32::RegKey::Create(root_.Get(), L"CLSID\\{00000000-0000-0000-0000-000000000001}");
  ASSERT_EQ(w32::RegisterInprocClass(cls_, root_.Get()), S_OK);
  ASSERT_EQ(w32::UnregisterInprocClass(cls_, root_.Get()), S_OK);
  EXPECT_FALSE(Exists(L"Widget.1"));
  EXPECT_FALSE(Exists(L"Widget"));
  EXPECT_FALSE(Exists(L"CLSID\\" + w32::GuidString(kClsid)));
  EXPECT_TRUE(Exists(L"CLSID"));
  EXPECT_TRUE(Exists(L"CLSID\\{00000000-0000-0000-0000-000000000001}"));
  // A second unregistration finds nothing to remove and still succeeds.
  EXPECT_EQ(w32::UnregisterInprocClass(cls_, root_.Get()), S_OK);
}

TEST_F(ComRegistration, MissingTypeLibraryFileIsAnError) {
  EXPECT_TRUE(FAILED(w32::RegisterTypeLibrary(L"C:\\no\\such\\library.tlb")));
}

}  // namespace
