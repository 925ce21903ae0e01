#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "conversion/com_error.h"
#include "conversion/emf_to_pdf_converter.h"
#include "conversion/target_path.h"
#include "log/trace.h"
#include "fakes.h"
#include "test_emf.h"
#include "w32/strings.h"

namespace {

const HWND kOwner = reinterpret_cast<HWND>(0x4242);  // never used as a window by the fakes

class Conversion : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = MakeScratchFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
    jobFile_ = folder_ + "job.ini";
    std::ofstream(jobFile_) << "[Document]\n";
  }
  void TearDown() override {
    CloseProcessLog();
    RemoveTree(folder_);
  }
  // A job of `count` A4 pages at 600 dpi; `landscapeAt` makes one page wide.
  std::unique_ptr<TestConverter> MakeJob(int count, int landscapeAt = -1, HWND owner = kOwner) {
    auto c = std::make_unique<TestConverter>(jobFile_, owner);
    c->job.documentName = "Report";
    c->job.resolution = 600;
    for (int i = 0; i < count; ++i) {
      const std::string page = folder_ + "page" + std::to_string(i) + ".emf";
      if (i == landscapeAt) WriteTestEmf(page, 7016, 4961, 297000, 210000);
      else WriteTestEmf(page, 4961, 7016, 210000, 297000);
      c->job.pageFiles.push_back(page);
    }
    c->numbers[JobOption::ShowErrorMessages] = 1;
    c->numbers[JobOption::UsingTargetFile] = 1;
    c->texts[JobOption::TargetFile] = folder_ + "out.pdf";
    return c;
  }
  static void RunToEnd(CEmfToPdfConverter& c) {
    ASSERT_TRUE(c.Start());
    ASSERT_EQ(::WaitForSingleObject(c.ThreadHandle(), 120000), WAIT_OBJECT_0);
    DWORD code = 99;
    ::GetExitCodeThread(c.ThreadHandle(), &code);
    EXPECT_EQ(code, 0u);
  }
  bool AllPagesExist(const TestConverter& c) {
    for (const auto& p : c.job.pageFiles)
      if (!FileExists(p)) return false;
    return true;
  }
  bool NoPageExists(const TestConverter& c) {
    for (const auto& p : c.job.pageFiles)
      if (FileExists(p)) return false;
    return true;
  }
  std::string folder_, jobFile_;
};

TEST_F(Conversion, ThreePagesMakeTheWriterCallsInOrder) {
  auto c = MakeJob(3);
  c->numbers[JobOption::Mode] = 2;
  c->numbers[JobOption::Layout] = 1;
  c->numbers[JobOption::Compression] = 1;
  c->texts[JobOption::Title] = "T";
  c->texts[JobOption::Author] = "A";
  c->texts[JobOption::Subject] = "S";
  c->texts[JobOption::Keywords] = "K";
  c->numbers[JobOption::PdfProtectionEnabled] = 1;
  c->numbers[JobOption::EnableCopyInformation] = 1;
  c->numbers[JobOption::EnablePrinting] = 0;
  c->numbers[JobOption::EnableModifyAnnotation] = 1;
  c->numbers[JobOption::EnableModifyStructure] = 0;
  c->texts[JobOption::UserPassword] = "u";
  c->texts[JobOption::OwnerPassword] = "o";
  c->numbers[JobOption::KeyLength] = 1;
  RunToEnd(*c);

  const std::vector<std::string> calls = {
      "Fixed1(1)", "Fixed2(0)", "Fixed3(0)", "PageMode(2)", "PageLayout(1)", "Compression(1)",
      "Title(T)", "Author(A)", "Subject(S)", "Keywords(K)", "Encryption(1)", "Copy(1)",
      "Print(0)", "Annot(1)", "Struct(0)", "KeyLength(1)", "UserPw(u)", "OwnerPw(o)",
      "Output", "SetRes(600)", "Begin", "Fixed4(100)", "Play", "SetRes(600)", "NewPage",
      "Play", "SetRes(600)", "NewPage", "Play", "End"};
  EXPECT_EQ(c->seen.calls, calls);
  const std::vector<std::string> reads = {
      "ShowErrorMessages", "OverwriteFileIfExist", "CreateDirectoryIfNotExist", "Mode", "Layout",
      "Compression", "Title", "Author", "Subject", "Keywords", "PdfProtectionEnabled",
      "EnableCopyInformation", "EnablePrinting", "EnableModifyAnnotation",
      "EnableModifyStructure", "UserPassword", "OwnerPassword", "KeyLength", "UsingTargetFile",
      "TargetFile", "ShowErrorMessages"};
  EXPECT_EQ(c->seen.reads, reads);
  EXPECT_EQ(c->seen.outputFile, folder_ + "out.pdf");
  EXPECT_TRUE(NoPageExists(*c));  // deleted after the conversion
  EXPECT_EQ(c->completions, 1);
  ASSERT_EQ(c->shown.size(), 1u);
  EXPECT_EQ(c->shown[0].text, "Would you like to open PDF file ?");
  EXPECT_EQ(c->shown[0].caption, "Question");
  EXPECT_EQ(c->shown[0].flags, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
  EXPECT_TRUE(c->opened.empty());  // answered No
  EXPECT_EQ(c->progressStarts, 1);
  EXPECT_EQ(c->progressStops, 1);
}

TEST_F(Conversion, ProtectionOffOrWithoutPasswordsMakesFewerCalls) {
  auto off = MakeJob(1);
  RunToEnd(*off);
  for (const auto& call : off->seen.calls) EXPECT_EQ(call.find("Encryption"), std::string::npos);
  auto noPasswords = MakeJob(1);
  noPasswords->numbers[JobOption::PdfProtectionEnabled] = 1;
  RunToEnd(*noPasswords);
  const auto& calls = noPasswords->seen.calls;
  EXPECT_NE(std::find(calls.begin(), calls.end(), "Struct(0)"), calls.end());
  for (const auto& call : calls) {
    EXPECT_EQ(call.find("KeyLength"), std::string::npos);
    EXPECT_EQ(call.find("Pw("), std::string::npos);
  }
}

TEST_F(Conversion, EachPageGetsItsOwnSize) {
  auto c = MakeJob(2);
  // Page 2 is a 300 dpi A5 landscape page in a 600 dpi job.
  WriteTestEmf(c->job.pageFiles[1], 2480, 1748, 210000, 148000);
  RunToEnd(*c);
  ASSERT_EQ(c->seen.pages.size(), 2u);
  EXPECT_EQ(c->seen.pages[0].width, 4961);
  EXPECT_EQ(c->seen.pages[0].height, 7016);
  ASSERT_EQ(c->seen.pages[0].plays.size(), 1u);
  EXPECT_EQ(c->seen.pages[0].plays[0], "4961x7016@1.0000,1.0000");
  EXPECT_EQ(c->seen.pages[1].width, 4960);
  EXPECT_EQ(c->seen.pages[1].height, 3496);
  EXPECT_EQ(c->seen.pages[1].plays[0], "2480x1748@2.0000,2.0000");
}

TEST_F(Conversion, ProgressOnlyGrowsAndEndsAtHundred) {
  auto c = MakeJob(3);
  RunToEnd(*c);
  ASSERT_EQ(c->positions.size(), 3u);
  EXPECT_EQ(c->positions, (std::vector<unsigned>{33, 66, 100}));
  auto noOwner = MakeJob(3, -1, nullptr);
  RunToEnd(*noOwner);
  EXPECT_TRUE(noOwner->positions.empty());
  EXPECT_EQ(noOwner->progressStarts, 0);
  EXPECT_EQ(noOwner->completions, 1);
}

TEST_F(Conversion, CancelDuringTenPagesKeepsThePagesDone) {
  auto c = MakeJob(10);
  c->cancelAtPosition = 50;  // Cancel pressed while page 5 is drawn
  RunToEnd(*c);
  EXPECT_TRUE(c->Cancelled());
  EXPECT_TRUE(c->seen.ended);
  EXPECT_EQ(c->seen.pages.size(), 5u);  // no empty sixth page
  EXPECT_TRUE(AllPagesExist(*c));
  EXPECT_TRUE(c->shown.empty());
  EXPECT_EQ(c->completions, 0);
  EXPECT_EQ(c->progressStops, 1);
}

TEST_F(Conversion, TargetFolderWithOrWithoutBackslashAndUntitledNames) {
  for (const std::string& dir : {folder_ + "out", folder_ + "out\\"}) {
    auto c = MakeJob(1);
    c->numbers[JobOption::UsingTargetFile] = 0;
    c->numbers[JobOption::CreateDirectoryIfNotExist] = 1;
    c->texts[JobOption::TargetDir] = dir;
    RunToEnd(*c);
    EXPECT_EQ(c->TargetPath(), folder_ + "out\\Report.pdf");
    EXPECT_TRUE(FolderExists(folder_ + "out"));
  }
  auto colon = MakeJob(1);
  colon->job.documentName = "http://example/page";
  colon->numbers[JobOption::UsingTargetFile] = 0;
  colon->texts[JobOption::TargetDir] = folder_;
  RunToEnd(*colon);
  EXPECT_EQ(colon->TargetPath(), folder_ + "Untitled document.pdf");
}

TEST_F(Conversion, TargetFolderNumbersTakenNamesAndCreatesMissingLevels) {
  std::ofstream(folder_ + "Report.pdf") << "taken";
  std::ofstream(folder_ + "Report_1.pdf") << "taken";
  auto c = MakeJob(1);
  c->numbers[JobOption::UsingTargetFile] = 0;
  c->texts[JobOption::TargetDir] = folder_;
  RunToEnd(*c);
  EXPECT_EQ(c->TargetPath(), folder_ + "Report_2.pdf");

  auto deep = MakeJob(1);
  deep->numbers[JobOption::UsingTargetFile] = 0;
  deep->numbers[JobOption::CreateDirectoryIfNotExist] = 1;
  deep->texts[JobOption::TargetDir] = folder_ + "x\\y\\z";
  RunToEnd(*deep);
  EXPECT_TRUE(FolderExists(folder_ + "x\\y\\z"));
  EXPECT_EQ(deep->seen.outputFile, folder_ + "x\\y\\z\\Report.pdf");
}

TEST_F(Conversion, TargetErrorsShowDeleteThePagesAndWriteNothing) {
  struct Case {
    const char* name;
    long usingFile;
    std::string target;
    long createDir;
    std::string message;
  } cases[] = {
      {"empty file", 1, "", 1, "PDF converter target file is not specified !"},
      {"empty folder", 0, "", 1, "PDF converter target folder is not specified !"},
      {"missing folder", 0, folder_ + "none", 0, "PDF converter target directory is not exist !"},
  };
  for (const Case& k : cases) {
    auto c = MakeJob(2);
    c->numbers[JobOption::UsingTargetFile] = k.usingFile;
    c->numbers[JobOption::CreateDirectoryIfNotExist] = k.createDir;
    c->texts[JobOption::TargetFile] = k.target;
    c->texts[JobOption::TargetDir] = k.target;
    RunToEnd(*c);
    ASSERT_EQ(c->shown.size(), 1u) << k.name;
    EXPECT_EQ(c->shown[0].text, k.message);
    EXPECT_EQ(c->shown[0].caption, "Error");
    EXPECT_EQ(c->shown[0].flags, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    EXPECT_FALSE(c->seen.ended) << k.name;
    EXPECT_TRUE(NoPageExists(*c)) << k.name;
    EXPECT_TRUE(c->Cancelled());
    EXPECT_EQ(c->completions, 0);
    EXPECT_EQ(c->progressStops, 0);  // the dialog stays for the user to close
  }
}

TEST_F(Conversion, ExistingTargetWithoutOverwriteIsLoggedNotShownWhenMessagesAreOff) {
  const std::string logPath = folder_ + "PrinterEvents.log";
  ASSERT_TRUE(OpenProcessLog(1, logPath, false));
  std::ofstream(folder_ + "out.pdf") << "keep me";
  auto c = MakeJob(2);
  c->numbers[JobOption::ShowErrorMessages] = 0;
  RunToEnd(*c);
  CloseProcessLog();
  EXPECT_TRUE(c->shown.empty());
  EXPECT_TRUE(NoPageExists(*c));
  EXPECT_FALSE(c->seen.ended);
  std::ifstream in(logPath);
  std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(log.find("-INFO- -=ETPC=- PDF converter target file is exist, cannot overwrite !\n"),
            std::string::npos);
  std::ifstream kept(folder_ + "out.pdf");
  std::string text;
  kept >> text;
  EXPECT_EQ(text, "keep");
}

TEST_F(Conversion, TargetHeldOpenIsReportedWithoutOwner) {
  std::ofstream(folder_ + "out.pdf") << "x";
  w32::KernelHandle held(::CreateFileA((folder_ + "out.pdf").c_str(), GENERIC_READ, 0, nullptr,
                                       OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(held.Valid());
  auto c = MakeJob(1);
  c->numbers[JobOption::OverwriteFileIfExist] = 1;
  RunToEnd(*c);
  ASSERT_EQ(c->shown.size(), 1u);
  EXPECT_EQ(c->shown[0].text,
            "PDF converter target file is opened by other application, cannot overwrite !");
  EXPECT_FALSE(c->shown[0].owned);
  EXPECT_FALSE(c->seen.ended);
}

TEST_F(Conversion, WatermarksUnderOrOverAndFirstPageSeparate) {
  const std::string wmPortrait = folder_ + "wp.emf", wmLandscape = folder_ + "wl.emf",
                    wmFirstPortrait = folder_ + "wfp.emf", wmFirstLandscape = folder_ + "wfl.emf";
  WriteTestEmf(wmPortrait, 100, 200, 254000, 508000);        // 10 dpi
  WriteTestEmf(wmLandscape, 200, 100, 508000, 254000);
  WriteTestEmf(wmFirstPortrait, 101, 201, 256540, 510540);
  WriteTestEmf(wmFirstLandscape, 201, 101, 510540, 256540);
  auto setUp = [&](TestConverter& c, long onTop) {
    c.putWatermarks = 1;
    c.firstPageSeparate = 1;
    c.watermarkOnTop = onTop;
    c.watermarkPortrait = wmPortrait;
    c.watermarkLandscape = wmLandscape;
    c.watermarkFirstPortrait = wmFirstPortrait;
    c.watermarkFirstLandscape = wmFirstLandscape;
  };
  auto under = MakeJob(3, /*landscapeAt=*/0);
  setUp(*under, 0);
  RunToEnd(*under);
  ASSERT_EQ(under->seen.pages.size(), 3u);
  EXPECT_EQ(under->seen.pages[0].plays,
            (std::vector<std::string>{"201x101@60.0000,60.0000", "7016x4961@1.0000,1.0000"}));
  EXPECT_EQ(under->seen.pages[1].plays,
            (std::vector<std::string>{"100x200@60.0000,60.0000", "4961x7016@1.0000,1.0000"}));
  auto over = MakeJob(2, /*landscapeAt=*/1);
  setUp(*over, 1);
  over->firstPageSeparate = 0;
  RunToEnd(*over);
  EXPECT_EQ(over->seen.pages[0].plays,
            (std::vector<std::string>{"4961x7016@1.0000,1.0000", "100x200@60.0000,60.0000"}));
  EXPECT_EQ(over->seen.pages[1].plays,
            (std::vector<std::string>{"7016x4961@1.0000,1.0000", "200x100@60.0000,60.0000"}));
}

TEST_F(Conversion, MissingWatermarkFileTurnsWatermarksOffAndTheJobCompletes) {
  auto c = MakeJob(2);
  c->putWatermarks = 1;
  c->watermarkPortrait = folder_ + "nowhere.emf";
  RunToEnd(*c);
  EXPECT_EQ(c->putWatermarks, 0);
  for (const auto& page : c->seen.pages) EXPECT_EQ(page.plays.size(), 1u);
  EXPECT_EQ(c->completions, 1);
}

TEST_F(Conversion, PageFileGoneAfterParsingIsSkipped) {
  auto c = MakeJob(3);
  ::DeleteFileA(c->job.pageFiles[1].c_str());
  RunToEnd(*c);
  EXPECT_EQ(c->Pages().size(), 2u);
  EXPECT_EQ(c->seen.pages.size(), 2u);
  EXPECT_EQ(c->positions.back(), 100u);
  EXPECT_EQ(c->completions, 1);

  auto none = MakeJob(2);
  for (const auto& p : none->job.pageFiles) ::DeleteFileA(p.c_str());
  RunToEnd(*none);
  ASSERT_EQ(none->shown.size(), 1u);
  EXPECT_EQ(none->shown[0].text, "No files in PDF converter job !");
  EXPECT_TRUE(none->Cancelled());
  EXPECT_TRUE(none->seen.calls.empty());
}

TEST_F(Conversion, PageFileGoneWhileDrawingIsSkippedAndTheBarStillEndsAtHundred) {
  auto c = MakeJob(3);
  c->deleteAtFirstProgress = {c->job.pageFiles[1]};  // lost once page 1 is drawn
  RunToEnd(*c);
  EXPECT_EQ(c->Pages().size(), 3u);  // all three were there when prepared
  ASSERT_EQ(c->seen.pages.size(), 2u);  // no empty page in place of the lost one
  EXPECT_EQ(c->seen.pages[1].plays.size(), 1u);
  EXPECT_EQ(c->positions, (std::vector<unsigned>{33, 66, 100}));
  EXPECT_EQ(c->completions, 1);
  EXPECT_TRUE(c->seen.ended);
}

TEST_F(Conversion, NoPageLeftToDrawWritesNoEmptyDocument) {
  auto gone = MakeJob(2);
  gone->seen.deleteAtFirstCall = gone->job.pageFiles;  // prepared, then lost
  RunToEnd(*gone);
  EXPECT_EQ(gone->Pages().size(), 2u);
  EXPECT_FALSE(gone->seen.ended);  // no blank PDF passes for the result
  ASSERT_EQ(gone->shown.size(), 1u);
  EXPECT_EQ(gone->shown[0].text, "No files in PDF converter job !");
  EXPECT_TRUE(gone->Cancelled());
  EXPECT_EQ(gone->completions, 0);
  EXPECT_EQ(gone->progressStops, 1);

  // A cancel before the pages are prepared is no error: no message at all.
  auto early = MakeJob(2);
  early->cancelWhileParsing = true;
  RunToEnd(*early);
  EXPECT_TRUE(early->shown.empty());
  EXPECT_TRUE(early->seen.calls.empty());
  EXPECT_EQ(early->progressStarts, 1);
  EXPECT_EQ(early->progressStops, 1);
  EXPECT_TRUE(AllPagesExist(*early));
  EXPECT_EQ(early->completions, 0);
}

TEST_F(Conversion, ConnectionAndJobFailuresEndWithTheirMessages) {
  auto noOptions = MakeJob(1);
  noOptions->optionsConnect = false;
  RunToEnd(*noOptions);
  ASSERT_EQ(noOptions->shown.size(), 1u);
  EXPECT_EQ(noOptions->shown[0].text, "PDF converter - connection to ITessera failed !");
  EXPECT_TRUE(AllPagesExist(*noOptions));

  auto unparsable = MakeJob(1);
  unparsable->parseSucceeds = false;
  RunToEnd(*unparsable);
  ASSERT_EQ(unparsable->shown.size(), 1u);
  EXPECT_EQ(unparsable->shown[0].text, "Cannot parse input file !");
  EXPECT_TRUE(AllPagesExist(*unparsable));
  EXPECT_EQ(unparsable->completions, 0);

  // A job file without a usable resolution is refused the same way, before
  // a dialog is shown or the writer is touched.
  auto noResolution = MakeJob(1);
  noResolution->job.resolution = 0;
  RunToEnd(*noResolution);
  ASSERT_EQ(noResolution->shown.size(), 1u);
  EXPECT_EQ(noResolution->shown[0].text, "Cannot parse input file !");
  EXPECT_EQ(noResolution->progressStarts, 0);
  EXPECT_TRUE(noResolution->seen.calls.empty());
  EXPECT_TRUE(AllPagesExist(*noResolution));

  TestConverter noJob(folder_ + "missing.ini", kOwner);
  EXPECT_EQ(noJob.JobPath(), "");
  noJob.numbers[JobOption::ShowErrorMessages] = 1;
  RunToEnd(noJob);
  ASSERT_EQ(noJob.shown.size(), 1u);
  EXPECT_EQ(noJob.shown[0].text, "PDF converter job is not specified !");
}

TEST_F(Conversion, WriterFailureEndsTheThreadQuietly) {
  auto c = MakeJob(2);
  c->seen.failOn = "Title";
  RunToEnd(*c);
  EXPECT_TRUE(c->shown.empty());
  EXPECT_EQ(c->completions, 0);
  EXPECT_TRUE(AllPagesExist(*c));
  auto newPage = MakeJob(3);
  newPage->seen.failOn = "NewPage";  // dropped: the drawing goes on
  RunToEnd(*newPage);
  EXPECT_TRUE(newPage->seen.ended);
  EXPECT_EQ(newPage->completions, 1);
}

TEST_F(Conversion, LogTellsTheStepsInOrder) {
  const std::string logPath = folder_ + "PrinterEvents.log";
  ASSERT_TRUE(OpenProcessLog(1, logPath, false));
  auto c = MakeJob(2);
  c->answer = IDYES;
  RunToEnd(*c);
  c.reset();
  CloseProcessLog();
  std::ifstream in(logPath);
  std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const char* steps[] = {"-=ETPC=- ()", "-=ETPC=- Target file is " /* path follows */,
                         "-=ETPC=- Starting PDF generation.", "-=ETPC=- CreatePDF",
                         "-=ETPC=- Doc started", "-=ETPC=- Job", "-=ETPC=- SetProgressPos",
                         "-=ETPC=- Job", "-=ETPC=- SetProgressPos",
                         "-=ETPC=- Ending PDF document.", "-=ETPC=- PDF document is complete.",
                         "-=ETPC=- PDF converter job is complete.", "-=ETPC=- ~"};
  size_t at = 0;
  for (const char* step : steps) {
    const size_t found = log.find(std::string("-INFO- ") + step, at);
    ASSERT_NE(found, std::string::npos) << step << "\n" << log;
    at = found + 1;
  }
}

TEST_F(Conversion, YesAnswerOpensTheTarget) {
  auto c = MakeJob(1);
  c->answer = IDYES;
  RunToEnd(*c);
  EXPECT_EQ(c->opened, (std::vector<std::string>{folder_ + "out.pdf"}));
  auto quiet = MakeJob(1);
  quiet->askToOpen = 0;
  RunToEnd(*quiet);
  EXPECT_TRUE(quiet->shown.empty());
  EXPECT_EQ(quiet->completions, 1);
}

}  // namespace

namespace {

TEST_F(Conversion, JobDescriptionFileGivesNameResolutionAndPages) {
  std::vector<std::string> pages;
  for (int i = 0; i < 3; ++i) {
    pages.push_back(folder_ + "real" + std::to_string(i) + ".emf");
    WriteTestEmf(pages.back(), 4961, 7016, 210000, 297000);
  }
  // Fresh file names: the profile functions may cache a file rewritten
  // within the same second.
  WriteJobFile(folder_ + "real.ini", "Minutes", pages);
  TestConverter c(folder_ + "real.ini", kOwner);
  c.realParser = true;
  c.numbers[JobOption::UsingTargetFile] = 0;
  c.texts[JobOption::TargetDir] = folder_;
  RunToEnd(c);
  EXPECT_EQ(c.TargetPath(), folder_ + "Minutes.pdf");
  ASSERT_EQ(c.Pages().size(), 3u);
  EXPECT_EQ(c.Pages()[0].resolution, 600);
  EXPECT_EQ(c.seen.pages.size(), 3u);
  for (const auto& p : pages) EXPECT_FALSE(FileExists(p));

  WriteJobFile(folder_ + "broken.ini", "Broken", {folder_ + "absent.emf"});
  TestConverter broken(folder_ + "broken.ini", kOwner);
  broken.realParser = true;
  broken.numbers[JobOption::ShowErrorMessages] = 1;
  RunToEnd(broken);
  ASSERT_EQ(broken.shown.size(), 1u);
  EXPECT_EQ(broken.shown[0].text, "Cannot parse input file !");
}

}  // namespace
