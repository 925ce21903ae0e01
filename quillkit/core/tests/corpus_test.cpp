// Every corpus file converts without a crash and gives a PDF that qpdf
// accepts; damaged files get a clean error or a partial page.
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "emf_builder.h"
#include "quillkit/document.h"

using namespace quillkit;

namespace {

std::vector<std::string> emfFiles(const std::string& dir) {
    std::vector<std::string> out;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            std::string n = e->d_name;
            if (n.size() > 4 && n.substr(n.size() - 4) == ".emf") out.push_back(dir + "/" + n);
        }
        closedir(d);
    }
    std::sort(out.begin(), out.end());
    return out;
}

bool qpdfAccepts(const std::string& pdf, std::string* output) {
    std::string cmd = std::string(QK_QPDF) + " --check '" + pdf + "' 2>&1";
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return false;
    char buf[512];
    output->clear();
    while (std::fgets(buf, sizeof buf, p)) *output += buf;
    int rc = pclose(p);
    return WIFEXITED(rc) && WEXITSTATUS(rc) == 0;
}

// Converts one file as emf2pdf does; returns whether the PDF was completed.
bool convert(const std::string& emfPath, const std::string& pdfPath, PlayResult& result) {
    std::ifstream f(emfPath, std::ios::binary);
    std::vector<uint8_t> data((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    Document doc;
    if (doc.open(pdfPath, DocumentSettings()) != Status::Ok) return false;
    EmfHeaderInfo info;
    FramePlacement fp;
    if (readEmfHeader(data.data(), data.size(), info) == Status::Ok && placementForFrame(info, 72, fp) &&
        fp.pageWidth <= 200 * 72 && fp.pageHeight <= 200 * 72) {
        if (doc.beginPage(fp.pageWidth, fp.pageHeight) != Status::Ok) return false;
        doc.playEmf(data.data(), data.size(), fp.placement, &result);
    }
    return doc.finish() == Status::Ok;
}

class Corpus : public ::testing::TestWithParam<const char*> {};

TEST_P(Corpus, EveryFileGivesAValidPdf) {
    std::string dir = std::string(QK_CORPUS_DIR) + "/" + GetParam();
    auto files = emfFiles(dir);
    if (files.empty()) GTEST_SKIP() << "no corpus at " << dir;
    std::string pdf = qktest::tempPath(std::string("corpus_") + GetParam() + ".pdf");
    int damaged = 0;
    for (const auto& f : files) {
        PlayResult result;
        ASSERT_TRUE(convert(f, pdf, result)) << f;
        if (!result.errors.empty()) ++damaged;
        std::string out;
        EXPECT_TRUE(qpdfAccepts(pdf, &out)) << f << "\n" << out;
    }
    std::remove(pdf.c_str());
    if (std::string(GetParam()) == "corrupted") {
        EXPECT_GT(damaged, 0);   // the damage is noticed, not ignored
    }
}

INSTANTIATE_TEST_SUITE_P(Folders, Corpus, ::testing::Values("apps", "ea", "synthetic", "corrupted"));

TEST(CorpusDocument, AllPagesInOneDocument) {
    // The files of one folder as the pages of one document, as a print job.
    auto files = emfFiles(std::string(QK_CORPUS_DIR) + "/ea");
    if (files.empty()) GTEST_SKIP();
    std::string pdf = qktest::tempPath("corpus_all.pdf");
    Document doc;
    DocumentSettings s;
    s.unitsPerInch = 600;   // printer resolution units, as the COM shell uses
    s.gridPerInch = 600;
    ASSERT_EQ(doc.open(pdf, s), Status::Ok);
    for (const auto& f : files) {
        std::ifstream in(f, std::ios::binary);
        std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EmfHeaderInfo info;
        FramePlacement fp;
        ASSERT_EQ(readEmfHeader(data.data(), data.size(), info), Status::Ok);
        ASSERT_TRUE(placementForFrame(info, 600, fp));
        ASSERT_EQ(doc.beginPage(fp.pageWidth, fp.pageHeight), Status::Ok);
        doc.playEmf(data.data(), data.size(), fp.placement);
        ASSERT_EQ(doc.endPage(), Status::Ok);
    }
    ASSERT_EQ(doc.finish(), Status::Ok);
    std::string out;
    EXPECT_TRUE(qpdfAccepts(pdf, &out)) << out;
    std::remove(pdf.c_str());
}

}  // namespace
