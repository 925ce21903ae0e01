#include <gtest/gtest.h>

#include "common/job_profile.h"
#include "test_files.h"

namespace {

class JobProfileFile : public ::testing::Test {
 protected:
  void TearDown() override { ::DeleteFileW(path_.c_str()); }
  scrivo::JobProfile Write(const char* text) {
    FILE* f = _wfopen(path_.c_str(), L"wb");
    fputs(text, f);
    fclose(f);
    return scrivo::JobProfile(path_);
  }
  std::wstring path_ = testfiles::FreshPath(L"job");
};

TEST_F(JobProfileFile, ReadsTextAndIntegers) {
  auto p = Write("[Device]\r\nDeviceName=Scrivo\r\n[EMF]\r\nCount= -3\r\nFile0=\r\n");
  EXPECT_EQ(p.ReadText(L"Device", L"DeviceName"), L"Scrivo");
  EXPECT_EQ(p.ReadText(L"device", L"devicename"), L"Scrivo");
  EXPECT_EQ(p.ReadText(L"Device", L"Missing", L"dflt"), L"dflt");
  EXPECT_EQ(p.ReadText(L"Device", L"DeviceName", L"", 3), L"Scr");
  EXPECT_EQ(p.ReadInt(L"EMF", L"Count", 0), -3);
  EXPECT_EQ(p.ReadInt(L"EMF", L"Nothing", 77), 77);
  EXPECT_TRUE(p.HasKey(L"EMF", L"File0"));
  EXPECT_FALSE(p.HasKey(L"EMF", L"File1"));
}

TEST_F(JobProfileFile, PageKeyBoundStopsAtTheHighestPageKeyPresent) {
  auto p = Write("[EMF]\r\nCount=2000000000\r\nFile0=a\r\nFile2=c\r\nFilex=d\r\n");
  EXPECT_EQ(p.PageKeyBound(2000000000), 3);
  EXPECT_EQ(p.PageKeyBound(2), 2);
  EXPECT_EQ(p.PageKeyBound(0), 0);
  EXPECT_EQ(p.PageKeyBound(-5), 0);
  auto none = Write("[EMF]\r\nCount=9\r\n");
  EXPECT_EQ(none.PageKeyBound(9), 0);
}

TEST_F(JobProfileFile, DeletesASection) {
  auto p = Write("[Device]\r\nDeviceName=Scrivo\r\n[EMF]\r\nCount=1\r\nFile0=x\r\n");
  EXPECT_TRUE(p.DeleteSection(L"EMF"));
  p.Flush();
  EXPECT_EQ(p.ReadInt(L"EMF", L"Count", 123), 123);
  EXPECT_EQ(p.ReadText(L"Device", L"DeviceName"), L"Scrivo");
}

}  // namespace
