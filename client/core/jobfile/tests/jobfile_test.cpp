#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "jobfile/driver_info_parser.h"
#include "jobfile/ini.h"
#include "w32/strings.h"

namespace {

std::string TempFolder() {
  char temp[MAX_PATH + 1] = {};
  ::GetTempPathA(MAX_PATH, temp);
  std::string folder = std::string(temp) + "jobfile tests " + std::to_string(::GetCurrentProcessId());
  ::CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

class JobFile : public ::testing::Test {
 protected:
  void TearDown() override {
    for (const std::string& f : files_) ::DeleteFileA(f.c_str());
    ::RemoveDirectoryA(folder_.c_str());
  }
  std::string Page(const std::string& name) {
    const std::string path = folder_ + "\\" + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fputs("emf", f);
    std::fclose(f);
    files_.push_back(path);
    return path;
  }
  // Writes `body` as the job file, in the system code page or in UTF-16.
  std::string Job(const std::string& body, bool utf16 = false) {
    const std::string path = folder_ + "\\job.ini";
    FILE* f = std::fopen(path.c_str(), "wb");
    if (utf16) {
      const std::wstring wide = w32::Widen(body);
      std::fwrite("\xFF\xFE", 1, 2, f);
      std::fwrite(wide.data(), 2, wide.size(), f);
    } else {
      std::fwrite(body.data(), 1, body.size(), f);
    }
    std::fclose(f);
    files_.push_back(path);
    return path;
  }
  std::string Header(const char* count, bool paperLength = true) {
    std::string s =
        "[Device]\r\nDeviceName=Scrivo\r\n[Document]\r\nName=Report\r\nHorizontalResolution=600\r\n"
        "Orientation=1\r\nPaperSize=9\r\n";
    if (paperLength) s += "PaperLength=2970\r\n";
    s += "PaperWidth=2100\r\nJobID=7\r\n[EMF]\r\n";
    if (count) s += std::string("Count=") + count + "\r\n";
    return s;
  }
  std::string folder_ = TempFolder();
  std::vector<std::string> files_;
};

TEST_F(JobFile, ParsesEveryFieldInUtf16AndInTheSystemCodePage) {
  const std::string p0 = Page("page one.emf"), p1 = Page("page two.emf");
  for (bool utf16 : {false, true}) {
    const std::string job =
        Job(Header("2") + "File0=" + p0 + "\r\nFile1=" + p1 + "\r\n", utf16);
    CDriverInfoParser parser(job, CDriverInfoParser::Family::NtFamily);
    ASSERT_TRUE(parser.Parse()) << utf16;
    const CDriverInfo& info = *parser.Info();
    EXPECT_EQ(info.deviceName, "Scrivo");
    EXPECT_EQ(info.documentName, "Report");
    EXPECT_EQ(info.horizontalResolution, 600);
    EXPECT_EQ(info.orientation, 1);
    EXPECT_EQ(info.paperSize, 9);
    EXPECT_EQ(info.paperLength, 2970);
    EXPECT_EQ(info.paperWidth, 2100);
    EXPECT_EQ(info.pageCount, 2);
    ASSERT_EQ(info.pageFiles.size(), 2u);
    EXPECT_EQ(info.pageFiles[0], p0);
    EXPECT_EQ(info.pageFiles[1], p1);
    EXPECT_FALSE(parser.Reset());
    EXPECT_EQ(parser.Info(), nullptr);
  }
}

TEST_F(JobFile, MissingResolutionParsesAsTheMarkerAndBadOrientationAsZero) {
  const std::string job = Job(
      "[Document]\r\nOrientation=abc\r\nPaperSize=9\r\nPaperLength=1\r\nPaperWidth=1\r\n"
      "[EMF]\r\nCount=0\r\n");
  CDriverInfoParser parser(job, CDriverInfoParser::Family::NtFamily);
  ASSERT_TRUE(parser.Parse());
  EXPECT_EQ(parser.Info()->horizontalResolution, 123456);
  EXPECT_EQ(parser.Info()->orientation, 0);
  EXPECT_TRUE(parser.Info()->pageFiles.empty());
}

TEST_F(JobFile, ZeroAndNegativeCountsGiveAnEmptyPageList) {
  for (const char* count : {"0", "-4"}) {
    CDriverInfoParser parser(Job(Header(count)), CDriverInfoParser::Family::NtFamily);
    ASSERT_TRUE(parser.Parse()) << count;
    EXPECT_TRUE(parser.Info()->pageFiles.empty());
  }
}

TEST_F(JobFile, EachRequiredKeyMissingFails) {
  const std::string p0 = Page("p.emf");
  const std::string full = Header("1") + "File0=" + p0 + "\r\n";
  for (const char* key : {"Orientation=1\r\n", "PaperSize=9\r\n", "PaperLength=2970\r\n",
                          "PaperWidth=2100\r\n", "Count=1\r\n"}) {
    std::string body = full;
    body.erase(body.find(key), std::string(key).size());
    CDriverInfoParser parser(Job(body), CDriverInfoParser::Family::NtFamily);
    EXPECT_FALSE(parser.Parse()) << key;
    EXPECT_EQ(parser.Info(), nullptr);
  }
  CDriverInfoParser nothing(folder_ + "\\no such job.ini", CDriverInfoParser::Family::NtFamily);
  EXPECT_FALSE(nothing.Parse());
}

TEST_F(JobFile, PaperLengthIsRequiredOnlyOnTheNtFamily) {
  const std::string job = Job(Header("0", false));
  CDriverInfoParser nt(job, CDriverInfoParser::Family::NtFamily);
  EXPECT_FALSE(nt.Parse());
  CDriverInfoParser old(job, CDriverInfoParser::Family::Windows9x);
  ASSERT_TRUE(old.Parse());
  EXPECT_EQ(old.Info()->paperLength, 0);  // not read there
  CDriverInfoParser detected(job);  // Wine reports an NT-family system
  EXPECT_FALSE(detected.Parse());
}

TEST_F(JobFile, AMissingOrAbsentPageFailsTheWholeParse) {
  const std::string p0 = Page("a.emf"), p2 = Page("c.emf");
  CDriverInfoParser gap(Job(Header("3") + "File0=" + p0 + "\r\nFile2=" + p2 + "\r\n"),
                        CDriverInfoParser::Family::NtFamily);
  EXPECT_FALSE(gap.Parse());
  CDriverInfoParser gone(Job(Header("1") + "File0=" + folder_ + "\\gone.emf\r\n"),
                         CDriverInfoParser::Family::NtFamily);
  EXPECT_FALSE(gone.Parse());
  CDriverInfoParser empty(Job(Header("1") + "File0=\r\n"), CDriverInfoParser::Family::NtFamily);
  EXPECT_FALSE(empty.Parse());
}

TEST_F(JobFile, HugeCountFailsAtTheFirstMissingPageAtOnce) {
  const std::string p0 = Page("only.emf");
  for (const char* count : {"2000000000", "2147483647", "99999999999"}) {
    CDriverInfoParser parser(Job(Header(count) + "File0=" + p0 + "\r\n"),
                             CDriverInfoParser::Family::NtFamily);
    const DWORD start = ::GetTickCount();
    EXPECT_FALSE(parser.Parse()) << count;
    EXPECT_LT(::GetTickCount() - start, 10000u) << "the parse must not walk the count";
  }
}

TEST_F(JobFile, ShortPathComesBackInLongForm) {
  const std::string page = Page("a rather long page file name.emf");
  char shortPath[MAX_PATH] = {};
  ASSERT_GT(::GetShortPathNameA(page.c_str(), shortPath, MAX_PATH), 0u);
  ASSERT_NE(std::string(shortPath), page);
  CDriverInfoParser parser(Job(Header("1") + "File0=" + shortPath + "\r\n"),
                           CDriverInfoParser::Family::NtFamily);
  ASSERT_TRUE(parser.Parse());
  ASSERT_EQ(parser.Info()->pageFiles.size(), 1u);
  const std::string& got = parser.Info()->pageFiles[0];
  EXPECT_EQ(got.substr(got.rfind('\\') + 1), "a rather long page file name.emf");
}

TEST(Ini, ReadsTextAndIntegersLikeTheProfileFunctions) {
  char temp[MAX_PATH + 1] = {};
  ::GetTempPathA(MAX_PATH, temp);
  const std::string path = std::string(temp) + "ini test.ini";
  FILE* f = std::fopen(path.c_str(), "wb");
  std::fputs("[S]\r\nText=hello\r\nNum=  -42xyz\r\nPlus=+7\r\nLong=", f);
  for (int i = 0; i < 400; ++i) std::fputc('x', f);
  std::fputs("\r\n", f);
  std::fclose(f);
  {
    CIni ini(path);
    EXPECT_EQ(ini.ReadString("S", "Text"), "hello");
    EXPECT_EQ(ini.ReadString("s", "text"), "hello");
    EXPECT_EQ(ini.ReadString("S", "None"), "");
    EXPECT_EQ(ini.ReadString("S", "None", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadString("S", "Long").size(), 299u);
    EXPECT_EQ(ini.ReadInt("S", "Num", 5), -42);
    EXPECT_EQ(ini.ReadInt("S", "Plus", 5), 7);
    EXPECT_EQ(ini.ReadInt("S", "Text", 5), 0);
    EXPECT_EQ(ini.ReadInt("S", "None", -17), -17);
  }
  CIni none("");
  EXPECT_EQ(none.ReadString("S", "Text", "d"), "");
  EXPECT_EQ(none.ReadInt("S", "Num", 9), 9);
  EXPECT_EQ(CIni::ToInt("99999999999"), 2147483647);
  EXPECT_EQ(CIni::ToInt("-99999999999"), -2147483647 - 1);
  EXPECT_EQ(CIni::ToInt(""), 0);
  ::DeleteFileA(path.c_str());
}

}  // namespace
