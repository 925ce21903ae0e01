#include <gtest/gtest.h>

#include "emf_builder.h"
#include "emf_types.h"
#include "quillkit/document.h"

using namespace quillkit;
using qktest::EmfBuilder;

TEST(Document, CallsOutOfOrderAreRefused) {
    Document d;
    EXPECT_EQ(d.beginPage(100, 100), Status::WrongState);
    EXPECT_EQ(d.finish(), Status::WrongState);
    DocumentSettings s;
    ASSERT_EQ(d.open(qktest::tempPath("order.pdf"), s), Status::Ok) << d.lastError();
    EXPECT_EQ(d.open(qktest::tempPath("order2.pdf"), s), Status::WrongState);
    auto emf = EmfBuilder().bytes();
    EXPECT_EQ(d.playEmf(emf.data(), emf.size(), Placement()), Status::WrongState);
    EXPECT_EQ(d.endPage(), Status::WrongState);
    EXPECT_EQ(d.beginPage(0, 100), Status::InvalidArgument);
    EXPECT_EQ(d.beginPage(100, 1e9), Status::InvalidArgument);
    ASSERT_EQ(d.beginPage(100, 100), Status::Ok);
    EXPECT_EQ(d.beginPage(100, 100), Status::WrongState);
    EXPECT_EQ(d.playEmf(nullptr, 0, Placement()), Status::InvalidArgument);
    Placement zero;
    zero.scaleX = 0;
    EXPECT_EQ(d.playEmf(emf.data(), emf.size(), zero), Status::InvalidArgument);
    EXPECT_EQ(d.finish(), Status::Ok) << d.lastError();
    EXPECT_EQ(d.pageCount(), 1);
}

TEST(Document, PageSizeMayChangeUntilThePageEnds) {
    Document d;
    DocumentSettings s;
    s.compress = false;
    std::string path = qktest::tempPath("size.pdf");
    ASSERT_EQ(d.open(path, s), Status::Ok);
    ASSERT_EQ(d.beginPage(100, 100), Status::Ok);
    ASSERT_EQ(d.setPageSize(300, 200), Status::Ok);
    EXPECT_EQ(d.pageWidth(), 300);
    ASSERT_EQ(d.endPage(), Status::Ok);
    ASSERT_EQ(d.finish(), Status::Ok);
    std::string pdf = qktest::readFile(path);
    EXPECT_NE(pdf.find("/MediaBox [0 0 300 200]"), std::string::npos);
    EXPECT_NE(pdf.find("%%EOF"), std::string::npos);
}

TEST(Document, NotAMetafileIsACleanErrorAndThePageSurvives) {
    Document d;
    DocumentSettings s;
    ASSERT_EQ(d.open(qktest::tempPath("bad.pdf"), s), Status::Ok);
    ASSERT_EQ(d.beginPage(100, 100), Status::Ok);
    std::vector<uint8_t> junk(200, 0x41);
    PlayResult r;
    EXPECT_EQ(d.playEmf(junk.data(), junk.size(), Placement(), &r), Status::BadMetafile);
    EXPECT_FALSE(d.lastError().empty());
    auto truncated = EmfBuilder().rec(emr::SAVEDC, {}).bytes(false);
    truncated.resize(truncated.size() - 4);
    EXPECT_EQ(d.playEmf(truncated.data(), truncated.size(), Placement(), &r), Status::BadMetafile);
    EXPECT_TRUE(r.truncated);
    auto good = EmfBuilder().rec(emr::SAVEDC, {}).rec(emr::PIXELFORMAT + 1000, {1}).bytes();
    EXPECT_EQ(d.playEmf(good.data(), good.size(), Placement(), &r), Status::Ok) << d.lastError();
    EXPECT_EQ(r.unsupported.size(), 1u);
    EXPECT_EQ(d.finish(), Status::Ok);
}

TEST(Document, InfoCatalogAndEmptyDocument) {
    Document d;
    DocumentSettings s;
    s.compress = false;
    s.pageMode = PageMode::UseThumbs;
    s.pageLayout = PageLayout::TwoColumnRight;
    s.info.title = "Plain";
    s.info.author = "J\xC3\xBCrgen";
    std::string path = qktest::tempPath("info.pdf");
    ASSERT_EQ(d.open(path, s), Status::Ok);
    ASSERT_EQ(d.finish(), Status::Ok);   // one empty page
    std::string pdf = qktest::readFile(path);
    EXPECT_NE(pdf.find("/PageMode /UseThumbs /PageLayout /TwoColumnRight"), std::string::npos);
    EXPECT_NE(pdf.find("/Title <506C61696E>"), std::string::npos);
    EXPECT_NE(pdf.find("/Author <FEFF004A00FC007200670065006E>"), std::string::npos);
    EXPECT_NE(pdf.find("/Count 1"), std::string::npos);
}

TEST(Document, UnwritableFileIsAnIoError) {
    Document d;
    EXPECT_EQ(d.open("/nonexistent-folder/x/y.pdf", DocumentSettings()), Status::IoError);
    EXPECT_FALSE(d.lastError().empty());
}

TEST(Document, FramePlacementKeepsThePhysicalSize) {
    auto emf = EmfBuilder(1000, 250).bytes();
    EmfHeaderInfo info;
    ASSERT_EQ(readEmfHeader(emf.data(), emf.size(), info), Status::Ok);
    FramePlacement fp;
    ASSERT_TRUE(placementForFrame(info, 72, fp));
    EXPECT_NEAR(fp.pageWidth, 249.99 / 25.4 * 72, 1e-6);
    EXPECT_NEAR(fp.placement.scaleX, 72 / 25.4 / 4, 1e-9);   // 4 pixels per mm
}
