#include "writer_session.h"

#include "emf_builder.h"
#include "emf_types.h"
#include "quillkit/fonts.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace quillkit::com {
namespace {

std::vector<char> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool Exists(const std::string& path) { return static_cast<bool>(std::ifstream(path)); }

class SessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    emf_ = ReadFile(std::string(QK_CORPUS_DIR) + "/apps/test-068.emf");
    ASSERT_GT(emf_.size(), 1000u);
    path_ = ::testing::TempDir() + "qk_session_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".pdf";
    std::remove(path_.c_str());
  }
  void TearDown() override { std::remove(path_.c_str()); }

  SessionError Play(WriterSession& s, bool* partial = nullptr) {
    return s.Play(emf_.data(), emf_.size(), 0, 0, 0.1, 0.1, partial);
  }
  void Begin(WriterSession& s) {
    ASSERT_EQ(s.SetOutputPath(path_), SessionError::None);
    ASSERT_EQ(s.SetResolution(600), SessionError::None);
    ASSERT_EQ(s.Begin(), SessionError::None);
  }
  // One page of the conversion job: size, draw.
  void DrawPage(WriterSession& s, int32_t w = 4750, int32_t h = 6814) {
    ASSERT_EQ(s.SetPageWidth(w), SessionError::None);
    ASSERT_EQ(s.SetPageHeight(h), SessionError::None);
    ASSERT_EQ(Play(s), SessionError::None);
  }

  std::vector<char> emf_;
  std::string path_;
};

TEST_F(SessionTest, JobPagesWithNewPageBetweenThem) {
  WriterSession s;
  Begin(s);
  DrawPage(s);
  ASSERT_EQ(s.NewPage(), SessionError::None);
  DrawPage(s, 7000, 5000);
  ASSERT_EQ(s.NewPage(), SessionError::None);
  DrawPage(s);
  ASSERT_EQ(s.End(), SessionError::None);
  EXPECT_EQ(s.PagesWritten(), 3);
  const std::vector<char> pdf = ReadFile(path_);
  ASSERT_GT(pdf.size(), 100u);
  EXPECT_EQ(std::string(pdf.begin(), pdf.begin() + 5), "%PDF-");
}

TEST_F(SessionTest, PageOpenedAndNeverUsedIsDropped) {
  // A cancelled job: the last "new page" is followed directly by the end.
  WriterSession s;
  Begin(s);
  DrawPage(s);
  ASSERT_EQ(s.NewPage(), SessionError::None);
  DrawPage(s);
  ASSERT_EQ(s.NewPage(), SessionError::None);
  ASSERT_EQ(s.End(), SessionError::None);
  EXPECT_EQ(s.PagesWritten(), 2);
}

TEST_F(SessionTest, BlankPagesThatWereAskedForAreKept) {
  WriterSession s;
  Begin(s);
  DrawPage(s);
  ASSERT_EQ(s.NewPage(), SessionError::None);
  ASSERT_EQ(s.SetPageWidth(4750), SessionError::None);  // sized, nothing drawn
  ASSERT_EQ(s.NewPage(), SessionError::None);
  ASSERT_EQ(s.NewPage(), SessionError::None);  // opened and closed on purpose
  ASSERT_EQ(s.SetPageHeight(100), SessionError::None);  // the last page, sized only
  ASSERT_EQ(s.End(), SessionError::None);
  EXPECT_EQ(s.PagesWritten(), 4);
}

TEST_F(SessionTest, DocumentWithoutPagesGetsOne) {
  WriterSession s;
  Begin(s);
  ASSERT_EQ(s.End(), SessionError::None);
  EXPECT_EQ(s.PagesWritten(), 1);
  EXPECT_TRUE(Exists(path_));
}

TEST_F(SessionTest, SizesReadBackAsSetAndFollowTheResolution) {
  WriterSession s;
  EXPECT_EQ(s.Resolution(), 72);
  EXPECT_EQ(s.PageWidth(), 612);  // US Letter until sized
  Begin(s);
  EXPECT_EQ(s.PageWidth(), 5100);
  ASSERT_EQ(s.SetPageWidth(4961), SessionError::None);
  ASSERT_EQ(s.SetPageHeight(7016), SessionError::None);
  EXPECT_EQ(s.PageWidth(), 4961);
  EXPECT_EQ(s.PageHeight(), 7016);
  ASSERT_EQ(s.SetResolution(300), SessionError::None);
  EXPECT_EQ(s.PageWidth(), 2481);  // 4961 / 2, rounded
  EXPECT_EQ(s.PageHeight(), 3508);
  ASSERT_EQ(Play(s), SessionError::None);
  ASSERT_EQ(s.NewPage(), SessionError::None);
  EXPECT_EQ(s.PageHeight(), 3508);  // a new page starts with the last size
  ASSERT_EQ(s.SetPageWidth(1000), SessionError::None);  // resized after drawing
  ASSERT_EQ(Play(s), SessionError::None);
  ASSERT_EQ(s.SetPageWidth(1200), SessionError::None);
  EXPECT_EQ(s.PageWidth(), 1200);
  ASSERT_EQ(s.End(), SessionError::None);
}

TEST_F(SessionTest, CallsOutOfOrderAreRefused) {
  WriterSession s;
  EXPECT_EQ(Play(s), SessionError::WrongState);
  EXPECT_EQ(s.NewPage(), SessionError::WrongState);
  EXPECT_EQ(s.End(), SessionError::WrongState);
  EXPECT_EQ(s.SetPageWidth(10), SessionError::WrongState);
  EXPECT_EQ(s.Begin(), SessionError::WrongState);  // no file name
  EXPECT_FALSE(s.LastError().empty());
  Begin(s);
  EXPECT_EQ(s.Begin(), SessionError::WrongState);
  EXPECT_EQ(s.SetOutputPath(path_ + ".other"), SessionError::WrongState);
  EXPECT_EQ(s.SetInfo(InfoField::Title, "late"), SessionError::WrongState);
  EXPECT_EQ(s.SetPageMode(1), SessionError::WrongState);
  EXPECT_EQ(s.SetPageLayout(1), SessionError::WrongState);
  EXPECT_EQ(s.SetCompression(0), SessionError::WrongState);
  EXPECT_EQ(s.SetEncryption(true), SessionError::WrongState);
  EXPECT_EQ(s.SetPermission(Permission::Print, false), SessionError::WrongState);
  EXPECT_EQ(s.SetKeyLength(1), SessionError::WrongState);
  EXPECT_EQ(s.SetUserPassword("u"), SessionError::WrongState);
  EXPECT_EQ(s.SetOwnerPassword("o"), SessionError::WrongState);
  EXPECT_EQ(s.SetResolution(300), SessionError::None);  // resolution may change between pages
  DrawPage(s);
  ASSERT_EQ(s.End(), SessionError::None);
  EXPECT_EQ(Play(s), SessionError::WrongState);
  // The same object may write a second document with the same settings.
  ASSERT_EQ(s.Begin(), SessionError::None);
  DrawPage(s);
  ASSERT_EQ(s.End(), SessionError::None);
  EXPECT_EQ(s.PagesWritten(), 1);
}

TEST_F(SessionTest, ValuesOutOfRangeAreRefused) {
  WriterSession s;
  EXPECT_EQ(s.SetResolution(0), SessionError::InvalidArgument);
  EXPECT_EQ(s.SetResolution(WriterSession::kMaxResolution + 1), SessionError::InvalidArgument);
  EXPECT_EQ(s.SetPageMode(4), SessionError::InvalidArgument);
  EXPECT_EQ(s.SetPageLayout(-1), SessionError::InvalidArgument);
  EXPECT_EQ(s.SetCompression(2), SessionError::InvalidArgument);
  EXPECT_EQ(s.SetKeyLength(-1), SessionError::InvalidArgument);
  EXPECT_EQ(s.SetOutputPath(""), SessionError::InvalidArgument);
  EXPECT_EQ(s.Resolution(), 72);
  Begin(s);
  EXPECT_EQ(s.SetPageWidth(0), SessionError::InvalidArgument);
  EXPECT_EQ(s.SetPageHeight(-1), SessionError::InvalidArgument);
  EXPECT_EQ(s.SetPageWidth(600 * 200 + 1), SessionError::InvalidArgument);
  EXPECT_EQ(s.SetPageWidth(600 * 200), SessionError::None);
  EXPECT_EQ(s.Play(emf_.data(), emf_.size(), 0, 0, 1.0 / 0.0, 1, nullptr), SessionError::InvalidArgument);
  const char junk[200] = {1, 2, 3};
  EXPECT_EQ(s.Play(junk, sizeof(junk), 0, 0, 1, 1, nullptr), SessionError::BadHandle);
  EXPECT_EQ(s.Play(nullptr, 0, 0, 0, 1, 1, nullptr), SessionError::BadHandle);
  ASSERT_EQ(s.End(), SessionError::None);
}

TEST_F(SessionTest, DamagedMetafileIsDrawnAsFarAsValid) {
  std::vector<char> damaged = emf_;
  uint32_t headerSize = 0;
  std::memcpy(&headerSize, damaged.data() + 4, 4);
  const uint32_t huge = 0x7FFFFFF0;
  std::memcpy(damaged.data() + headerSize + 4, &huge, 4);
  WriterSession s;
  Begin(s);
  ASSERT_EQ(s.SetPageWidth(5000), SessionError::None);
  bool partial = false;
  EXPECT_EQ(s.Play(damaged.data(), damaged.size(), 0, 0, 1, 1, &partial), SessionError::None);
  EXPECT_TRUE(partial);
  EXPECT_FALSE(s.LastError().empty());
  ASSERT_EQ(s.End(), SessionError::None);
  EXPECT_EQ(s.PagesWritten(), 1);
}

TEST_F(SessionTest, UnfinishedDocumentLeavesNoFile) {
  {
    WriterSession s;
    Begin(s);
    DrawPage(s);
    EXPECT_TRUE(Exists(path_));
  }
  EXPECT_FALSE(Exists(path_));
}

TEST_F(SessionTest, UnwritableTargetFailsAtBegin) {
  WriterSession s;
  ASSERT_EQ(s.SetOutputPath(::testing::TempDir() + "no-such-folder/x/y.pdf"), SessionError::None);
  EXPECT_EQ(s.Begin(), SessionError::WriteFailed);
  EXPECT_FALSE(s.LastError().empty());
  EXPECT_FALSE(s.Begun());
  EXPECT_EQ(s.SetOutputPath(path_), SessionError::None);  // still in setup
}

// Counts the requests and answers them with the default provider.
class CountingFonts : public FontProvider {
 public:
  bool find(const FontRequest& request, FontFile& out) override {
    ++calls;
    return defaultFontProvider()->find(request, out);
  }
  int calls = 0;
};

TEST_F(SessionTest, TextTakesItsFontsFromTheProviderGiven) {
  auto fonts = std::make_shared<CountingFonts>();
  WriterSession s;
  ASSERT_EQ(s.SetFontProvider(fonts), SessionError::None);
  Begin(s);
  EXPECT_EQ(s.SetFontProvider(nullptr), SessionError::WrongState);  // fixed for the document
  DrawPage(s);
  ASSERT_EQ(s.End(), SessionError::None);
  EXPECT_GT(fonts->calls, 0);
}

// The content of a one-line page: a line one dot long at (100, 100) dots of
// the given resolution, drawn one dot per picture pixel.
std::string OneDotLine(const std::string& path, int32_t resolution) {
  WriterSession s;
  EXPECT_EQ(s.SetOutputPath(path), SessionError::None);
  EXPECT_EQ(s.SetCompression(0), SessionError::None);
  EXPECT_EQ(s.SetResolution(resolution), SessionError::None);
  EXPECT_EQ(s.Begin(), SessionError::None);
  EXPECT_EQ(s.SetPageWidth(resolution), SessionError::None);
  EXPECT_EQ(s.SetPageHeight(resolution), SessionError::None);
  const std::vector<uint8_t> emf =
      qktest::EmfBuilder().rec(emr::MOVETOEX, {100, 100}).rec(emr::LINETO, {101, 100}).bytes();
  EXPECT_EQ(s.Play(emf.data(), emf.size(), 0, 0, 1, 1, nullptr), SessionError::None);
  EXPECT_EQ(s.End(), SessionError::None);
  const std::vector<char> pdf = ReadFile(path);
  return std::string(pdf.begin(), pdf.end());
}

TEST_F(SessionTest, DrawingsAlignToTheDocumentsResolution) {
  // A line from dot 100 to dot 101 of 600 dpi keeps its two ends (each on
  // the middle of its dot), where a 96 dpi grid would put both on one pixel.
  const std::string content = OneDotLine(path_, 600);
  EXPECT_NE(content.find("100.5 100.5 m\n101.5 100.5 l"), std::string::npos) << content;
}

}  // namespace
}  // namespace quillkit::com
