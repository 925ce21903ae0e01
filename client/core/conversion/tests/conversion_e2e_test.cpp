// The conversion job end to end: job description files as the spooler side
// writes them, options stored by another Tessera instance (as the main window
// and the settings manager store them), quillkit.dll writing the PDF and the
// real progress dialog over a window that keeps pumping messages.
//
// What only the PDF can tell is left for check_pdfs.sh: every test writes its
// PDFs into "conv-e2e-out" beside this program with a NAME.expect file that
// says what qpdf, pdfinfo, mutool and pdftoppm must find in them.
#include <gtest/gtest.h>

#include <objbase.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "Tessera_h.h"
#include "testkit/components.h"
#include "testkit/owner_window.h"
#include "testkit/process.h"
#include "conversion/emf_to_pdf_converter.h"
#include "log/trace.h"
#include "test_emf.h"
#include "testkit/ui_driver.h"
#include "w32/bstr.h"
#include "w32/com_ptr.h"
#include "w32/module_path.h"
#include "w32/registry.h"
#include "w32/strings.h"

namespace {

// Generous: the first window, COM registration and the writer's start can be
// slow on a loaded machine.
constexpr DWORD kWaitMs = 120000;


std::string OutFolder() {
  return w32::Narrow(w32::ModuleFolder()) + "\\conv-e2e-out\\";
}


// The job with its real connections; only the user's side is replaced:
// message boxes are recorded (and answered No), nothing is opened, and the
// positions handed to the progress dialog are recorded on their way.
class RealJob : public CEmfToPdfConverter {
 public:
  RealJob(const std::string& jobPath, HWND owner) : CEmfToPdfConverter(jobPath, owner) {
    askToOpen = 0;
  }
  std::vector<std::string> shown;     // "caption: text"
  std::vector<unsigned> positions;
  unsigned cancelAt = 0;              // press the dialog's Cancel at this position
  bool cancelPressed = false;

 protected:
  int ShowMessage(HWND, const std::string& text, const std::string& caption, UINT) override {
    shown.push_back(caption + ": " + text);
    return IDNO;
  }
  void OpenTarget(const std::string&) override {}
  void ReportProgress(unsigned position) override {
    positions.push_back(position);
    CEmfToPdfConverter::ReportProgress(position);
    if (cancelAt == 0 || position < cancelAt || cancelPressed) return;
    // The user presses Cancel while this page is being finished; the job
    // thread waits here until the dialog has passed the cancel on, so the
    // page count of the result does not depend on timing.
    cancelPressed = true;
    testkit::WindowQuery q;
    q.processId = ::GetCurrentProcessId();
    q.className = L"#32770";
    q.title = L"Inkwell 1.4";
    const HWND dialog = testkit::WaitForTopLevelWindow(q, kWaitMs);
    if (dialog && testkit::PressButton(dialog, IDCANCEL))
      testkit::WaitUntil([this] { return Cancelled(); }, kWaitMs);
  }
};

// What the user has stored: printer settings and one profile of PDF options
// made the actual one.
struct StoredOptions {
  long mode = 0, layout = 0, compression = 1;
  std::string title, author, subject, keywords;
  long protection = 0, copy = 0, print = 0, annotate = 0, structure = 0, keyLength = 0;
  std::string userPassword, ownerPassword;
  long usingTargetFile = 1, overwrite = 1, createDirectory = 1, showErrors = 1;
  std::string targetFile, targetDir;
};

void PutText(ITessera* t, HRESULT (STDMETHODCALLTYPE ITessera::*put)(BSTR), const std::string& text) {
  w32::Bstr b;
  ASSERT_EQ(w32::BstrFromNarrow(text, b.Put()), S_OK);
  ASSERT_EQ((t->*put)(b.Get()), S_OK);
}

void Store(const StoredOptions& o) {
  w32::ComPtr<ITessera> t;
  CLSID clsid;
  ASSERT_EQ(::CLSIDFromProgID(L"Tessera", &clsid), S_OK);
  ASSERT_EQ(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_ITessera, t.PutVoid()),
            S_OK);
  ASSERT_EQ(t->put_Mode(static_cast<PageMode>(o.mode)), S_OK);
  ASSERT_EQ(t->put_Layout(static_cast<PageLayout>(o.layout)), S_OK);
  ASSERT_EQ(t->put_Compression(static_cast<PDFCompression>(o.compression)), S_OK);
  PutText(t.Get(), &ITessera::put_Title, o.title);
  PutText(t.Get(), &ITessera::put_Author, o.author);
  PutText(t.Get(), &ITessera::put_Subject, o.subject);
  PutText(t.Get(), &ITessera::put_Keywords, o.keywords);
  ASSERT_EQ(t->put_PdfProtectionEnabled(o.protection), S_OK);
  ASSERT_EQ(t->put_EnableCopyInformation(o.copy), S_OK);
  ASSERT_EQ(t->put_EnablePrinting(o.print), S_OK);
  ASSERT_EQ(t->put_EnableModifyAnnotation(o.annotate), S_OK);
  ASSERT_EQ(t->put_EnableModifyStructure(o.structure), S_OK);
  ASSERT_EQ(t->put_KeyLength(static_cast<CryptoKeyLength>(o.keyLength)), S_OK);
  PutText(t.Get(), &ITessera::put_UserPassword, o.userPassword);
  PutText(t.Get(), &ITessera::put_OwnerPassword, o.ownerPassword);
  ASSERT_EQ(t->put_UsingTargetFile(o.usingTargetFile), S_OK);
  ASSERT_EQ(t->put_OverwriteFileIfExist(o.overwrite), S_OK);
  ASSERT_EQ(t->put_CreateDirectoryIfNotExist(o.createDirectory), S_OK);
  ASSERT_EQ(t->put_ShowErrorMessages(o.showErrors), S_OK);
  PutText(t.Get(), &ITessera::put_TargetFile, o.targetFile);
  PutText(t.Get(), &ITessera::put_TargetDir, o.targetDir);
  // Profile names must be new: each store adds one of its own.
  static int stores = 0;
  w32::Bstr name;
  ASSERT_EQ(w32::BstrFromNarrow("End to end " + std::to_string(++stores), name.Put()), S_OK);
  BSTR raw = name.Get();
  ASSERT_EQ(t->AddProfile(&raw), S_OK);
  short count = 0;
  ASSERT_EQ(t->GetProfilesCount(&count), S_OK);
  ASSERT_EQ(t->SetActual(static_cast<short>(count - 1)), S_OK);
}  // the release writes the options file

// A page's reference device in pixels and its size in micrometres.
struct PageSize {
  long w, h, umW, umH;
};

class ConversionE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    ASSERT_EQ(testkit::RegisterServerBeside(L"Tessera.dll"), S_OK);
    ASSERT_EQ(testkit::RegisterServerBeside(L"quillkit.dll"), S_OK);
    name_ = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    pages_ = MakeScratchFolder(name_);
    ::CreateDirectoryA(OutFolder().c_str(), nullptr);
    // A result of an earlier run must not pass for this one's.
    ::DeleteFileA((OutFolder() + name_ + ".expect").c_str());
  }
  void TearDown() override {
    CloseProcessLog();
    RemoveTree(pages_);
    ::CoUninitialize();
  }

  // `count` pages; page i has the device size and physical size of sizes[i % n].
  std::vector<std::string> WritePages(const std::string& prefix, int count,
                                      const std::vector<PageSize>& sizes) {
    std::vector<std::string> files;
    for (int i = 0; i < count; ++i) {
      const PageSize& s = sizes[static_cast<size_t>(i) % sizes.size()];
      files.push_back(pages_ + prefix + std::to_string(i) + ".emf");
      EXPECT_TRUE(WriteTestEmf(files.back(), s.w, s.h, s.umW, s.umH));
    }
    return files;
  }
  std::string JobFile(const std::string& name, const std::string& documentName,
                      const std::vector<std::string>& pages) {
    const std::string path = pages_ + name + ".ini";
    WriteJobFile(path, documentName, pages);
    return path;
  }
  static void RunToEnd(CEmfToPdfConverter& job) {
    ASSERT_TRUE(job.Start());
    ASSERT_EQ(::WaitForSingleObject(job.ThreadHandle(), kWaitMs), WAIT_OBJECT_0);
    DWORD code = 99;
    ::GetExitCodeThread(job.ThreadHandle(), &code);
    EXPECT_EQ(code, 0u);
  }
  // Written last, so that only a test that got this far leaves its checks.
  void Expect(const std::string& lines) {
    std::ofstream(OutFolder() + name_ + ".expect") << lines;
  }

  std::string name_, pages_;
  testkit::OptionsFileAside optionsFile_;
};

const PageSize kA4At600 = {4961, 7016, 210000, 297000};
const PageSize kA5LandscapeAt300 = {2480, 1748, 210000, 148000};
const PageSize kLetterAt200 = {1700, 2200, 215900, 279400};

bool AllExist(const std::vector<std::string>& files) {
  for (const auto& f : files)
    if (!FileExists(f)) return false;
  return true;
}
bool NoneExists(const std::vector<std::string>& files) {
  for (const auto& f : files)
    if (FileExists(f)) return false;
  return true;
}

TEST_F(ConversionE2E, ThreePagesCarryTheStoredOptionsAndTheirOwnSizes) {
  StoredOptions o;
  o.mode = 2;    // thumbnails
  o.layout = 3;  // two columns, right
  o.title = "Quarterly figures";
  o.author = "Ann Author";
  o.subject = "Sales";
  o.keywords = "north; south";
  o.protection = 1;
  o.print = 1;
  o.annotate = 1;
  o.keyLength = 1;  // 128 bits
  o.userPassword = "user1";
  o.ownerPassword = "owner1";
  o.targetFile = OutFolder() + "three_pages.pdf";
  ::DeleteFileA(o.targetFile.c_str());
  Store(o);

  // Each page shows a blue square over 10..50 % of its sides: drawn at the
  // wrong scale it would land elsewhere on the PDF page.
  std::vector<std::string> pages;
  for (const PageSize& s : {kA4At600, kA5LandscapeAt300, kLetterAt200}) {
    pages.push_back(pages_ + "p" + std::to_string(pages.size()) + ".emf");
    ASSERT_TRUE(WriteFilledEmf(pages.back(), s.w, s.h, s.umW, s.umH, RGB(0, 0, 255),
                               RECTL{s.w / 10, s.h / 10, s.w / 2, s.h / 2}));
  }
  testkit::OwnerWindow owner(ConversionFinishedMessage());
  {
    RealJob job(JobFile("three", "Figures", pages), owner.Get());
    RunToEnd(job);
    EXPECT_TRUE(job.shown.empty()) << job.shown[0];
    EXPECT_EQ(job.TargetPath(), o.targetFile);
    // Each page weighs its pixel count: 34.8 + 4.3 + 3.7 million.
    EXPECT_EQ(job.positions, (std::vector<unsigned>{81, 91, 100}));
  }
  EXPECT_TRUE(testkit::WaitUntil([&] { return owner.Count() == 1; }, kWaitMs));
  EXPECT_TRUE(NoneExists(pages));  // deleted after the conversion
  ASSERT_TRUE(FileExists(o.targetFile));
  // 4961 x 7016 at 600 dpi; 2480 x 1748 at 300 dpi drawn twice as large in the
  // job's 600 dpi; 1700 x 2200 at 200 dpi three times as large.
  Expect("file three_pages.pdf\npassword user1\npages 3\n"
         "mediabox 1 595.32 841.92\nmediabox 2 595.20 419.52\nmediabox 3 612.00 792.00\n"
         "info Title Quarterly figures\ninfo Author Ann Author\ninfo Subject Sales\n"
         "info Keywords north; south\n"
         "root PageMode /UseThumbs\nroot PageLayout /TwoColumnRight\n"
         "encrypt 128 print=yes copy=no annotate=yes modify=no\n"
         "owner owner1\nowner-unknown\n"
         "pixel 1 12 12 blue\npixel 1 48 48 blue\npixel 1 55 55 white\npixel 1 7 7 white\n"
         "pixel 2 12 12 blue\npixel 2 48 48 blue\npixel 2 55 55 white\npixel 2 7 7 white\n"
         "pixel 3 12 12 blue\npixel 3 48 48 blue\npixel 3 55 55 white\npixel 3 7 7 white\n");
}

TEST_F(ConversionE2E, CancelDuringTenPagesKeepsThePagesDoneAndThePageFiles) {
  StoredOptions o;
  o.title = "Cancelled";
  o.targetFile = OutFolder() + "cancelled.pdf";
  ::DeleteFileA(o.targetFile.c_str());
  Store(o);

  const auto pages = WritePages("c", 10, {kA4At600});
  testkit::OwnerWindow owner(ConversionFinishedMessage());
  {
    RealJob job(JobFile("ten", "Ten pages", pages), owner.Get());
    job.cancelAt = 50;  // the fifth page
    RunToEnd(job);
    EXPECT_TRUE(job.cancelPressed);
    EXPECT_TRUE(job.Cancelled());
    EXPECT_EQ(job.positions, (std::vector<unsigned>{10, 20, 30, 40, 50}));
    EXPECT_TRUE(job.shown.empty());  // no question after a cancel
  }
  EXPECT_EQ(owner.Count(), 0);
  EXPECT_TRUE(AllExist(pages));
  ASSERT_TRUE(FileExists(o.targetFile));
  Expect("file cancelled.pdf\npassword\npages 5\nencrypt none\ninfo Title Cancelled\n"
         "mediabox 5 595.32 841.92\n");
}

TEST_F(ConversionE2E, TargetFolderBuildsNamesNumbersTakenOnesAndCreatesFolders) {
  const std::string top = OutFolder() + "folders\\";
  RemoveTree(top);
  StoredOptions o;
  o.usingTargetFile = 0;
  o.targetDir = top + "new\\deeper";  // no trailing backslash, two levels missing
  o.targetFile = OutFolder() + "not_used.pdf";
  Store(o);

  struct Run {
    std::string document, expected;
  };
  const std::vector<Run> runs = {{"Quarterly report", "Quarterly report.pdf"},
                                 {"Quarterly report", "Quarterly report_1.pdf"},
                                 {"Quarterly report", "Quarterly report_2.pdf"},
                                 {"Re: minutes", "Untitled document.pdf"}};
  std::string expect;
  for (size_t i = 0; i < runs.size(); ++i) {
    const auto pages = WritePages("f" + std::to_string(i) + "_", 1, {kLetterAt200});
    RealJob job(JobFile("folder" + std::to_string(i), runs[i].document, pages), nullptr);
    RunToEnd(job);
    EXPECT_TRUE(job.shown.empty()) << job.shown[0];
    EXPECT_EQ(job.TargetPath(), top + "new\\deeper\\" + runs[i].expected);
    EXPECT_TRUE(FileExists(job.TargetPath()));
    EXPECT_TRUE(NoneExists(pages));
    expect += "file folders/new/deeper/" + runs[i].expected +
              "\npassword\npages 1\nmediabox 1 612.00 792.00\n";
  }
  EXPECT_FALSE(FileExists(OutFolder() + "not_used.pdf"));

  // With folder creation off, a missing folder is an error: the pages go and
  // nothing is written.
  o.targetDir = top + "absent";
  o.createDirectory = 0;
  Store(o);
  const auto pages = WritePages("absent", 1, {kLetterAt200});
  RealJob job(JobFile("absent", "Quarterly report", pages), nullptr);
  RunToEnd(job);
  EXPECT_EQ(job.shown, (std::vector<std::string>{"Error: PDF converter target directory is not exist !"}));
  EXPECT_TRUE(NoneExists(pages));
  EXPECT_FALSE(FileExists(top + "absent"));
  Expect(expect);
}

TEST_F(ConversionE2E, WatermarksLandUnderOrOverThePages) {
  // Pages: a blue square over 10..50 % of each side. Watermarks cover
  // 30..90 % of each side of their own page-sized picture at 100 dpi:
  // green for the first page, red for the others.
  const COLORREF blue = RGB(0, 0, 255), red = RGB(255, 0, 0), green = RGB(0, 160, 0);
  auto box = [](long w, long h, int from, int to) {
    return RECTL{w * from / 100, h * from / 100, w * to / 100, h * to / 100};
  };
  const std::string wmPortrait = pages_ + "wm_p.emf", wmLandscape = pages_ + "wm_l.emf",
                    wmFirstPortrait = pages_ + "wm_fp.emf",
                    wmFirstLandscape = pages_ + "wm_fl.emf";
  ASSERT_TRUE(WriteFilledEmf(wmPortrait, 827, 1169, 210000, 297000, red, box(827, 1169, 30, 90)));
  ASSERT_TRUE(WriteFilledEmf(wmLandscape, 1169, 827, 297000, 210000, red, box(1169, 827, 30, 90)));
  ASSERT_TRUE(WriteFilledEmf(wmFirstPortrait, 827, 1169, 210000, 297000, green,
                             box(827, 1169, 30, 90)));
  ASSERT_TRUE(WriteFilledEmf(wmFirstLandscape, 1169, 827, 297000, 210000, green,
                             box(1169, 827, 30, 90)));

  std::string expect;
  for (long onTop : {0L, 1L}) {
    StoredOptions o;
    o.targetFile = OutFolder() + (onTop ? "wm_over.pdf" : "wm_under.pdf");
    ::DeleteFileA(o.targetFile.c_str());
    Store(o);
    const std::string prefix = onTop ? "over" : "under";
    const std::vector<std::string> pages = {pages_ + prefix + "0.emf", pages_ + prefix + "1.emf",
                                            pages_ + prefix + "2.emf"};
    ASSERT_TRUE(WriteFilledEmf(pages[0], 4961, 7016, 210000, 297000, blue, box(4961, 7016, 10, 50)));
    ASSERT_TRUE(WriteFilledEmf(pages[1], 7016, 4961, 297000, 210000, blue, box(7016, 4961, 10, 50)));
    ASSERT_TRUE(WriteFilledEmf(pages[2], 4961, 7016, 210000, 297000, blue, box(4961, 7016, 10, 50)));
    RealJob job(JobFile(prefix, "Watermarks", pages), nullptr);
    job.putWatermarks = 1;
    job.firstPageSeparate = 1;
    job.watermarkOnTop = onTop;
    job.watermarkPortrait = wmPortrait;
    job.watermarkLandscape = wmLandscape;
    job.watermarkFirstPortrait = wmFirstPortrait;
    job.watermarkFirstLandscape = wmFirstLandscape;
    RunToEnd(job);
    EXPECT_TRUE(job.shown.empty()) << job.shown[0];
    EXPECT_EQ(job.putWatermarks, 1);
    ASSERT_TRUE(FileExists(o.targetFile));
    // 40 % lies in both pictures: the one drawn last shows. 20 % only in the
    // page, 70 % only in the watermark, 95 % in neither.
    expect += "file " + std::string(onTop ? "wm_over.pdf" : "wm_under.pdf") +
              "\npassword\npages 3\n"
              "pixel 1 40 40 " + (onTop ? "green" : "blue") + "\npixel 1 20 20 blue\n"
              "pixel 1 70 70 green\npixel 1 95 95 white\n"
              "pixel 2 40 40 " + (onTop ? "red" : "blue") + "\npixel 2 70 70 red\n"
              "pixel 3 40 40 " + (onTop ? "red" : "blue") + "\npixel 3 70 70 red\n"
              "pixel 3 20 20 blue\npixel 2 20 20 blue\npixel 2 95 95 white\n";
  }
  Expect(expect);
}

TEST_F(ConversionE2E, JobGoesOnWhenItsProgressDialogCannotBeCreated) {
  StoredOptions o;
  o.targetFile = OutFolder() + "no_dialog.pdf";
  ::DeleteFileA(o.targetFile.c_str());
  Store(o);
  const auto pages = WritePages("n", 2, {kA4At600});
  // An owner that is no window: the dialog cannot be made over it.
  RealJob job(JobFile("nodialog", "No dialog", pages), reinterpret_cast<HWND>(0x4242));
  RunToEnd(job);  // returns: the job did not wait for a dialog for ever
  EXPECT_TRUE(job.shown.empty()) << job.shown[0];
  EXPECT_EQ(job.positions, (std::vector<unsigned>{50, 100}));
  EXPECT_TRUE(NoneExists(pages));
  ASSERT_TRUE(FileExists(o.targetFile));
  Expect("file no_dialog.pdf\npassword\npages 2\n");
}

// The trace switch is the real per-user value: it is kept as it was found.
class ConversionE2ETrace : public ConversionE2E {
 protected:
  void SetUp() override {
    ConversionE2E::SetUp();
    key_ = w32::RegKey::Create(HKEY_CURRENT_USER, kTraceKeyPath);
    ASSERT_TRUE(key_.Valid());
    saved_ = key_.ReadDword(L"TRACE_STATUS");
    logPath_ = DefaultLogPath();
    ::DeleteFileA(logPath_.c_str());
  }
  void TearDown() override {
    CloseProcessLog();
    ::DeleteFileA(logPath_.c_str());
    key_.DeleteValue(L"TRACE_STATUS");
    if (saved_) key_.WriteDword(L"TRACE_STATUS", *saved_);
    ConversionE2E::TearDown();
  }
  // One page converted with the progress dialog, the log as start-up makes it.
  void ConvertOnePage(const std::string& pdf) {
    StoredOptions o;
    o.targetFile = OutFolder() + pdf;
    ::DeleteFileA(o.targetFile.c_str());
    Store(o);
    const auto pages = WritePages("t", 1, {kA4At600});
    testkit::OwnerWindow owner(ConversionFinishedMessage());
    {
      RealJob job(JobFile("trace", "Traced", pages), owner.Get());
      RunToEnd(job);
      EXPECT_TRUE(job.shown.empty()) << job.shown[0];
    }
    EXPECT_TRUE(testkit::WaitUntil([&] { return owner.Count() == 1; }, kWaitMs));
    EXPECT_TRUE(FileExists(o.targetFile));
  }
  w32::RegKey key_;
  std::optional<DWORD> saved_;
  std::string logPath_;
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST_F(ConversionE2ETrace, SwitchOnLogsTheReportAndTheTaggedStepsInOrder) {
  key_.WriteDword(L"TRACE_STATUS", 1);
  ASSERT_TRUE(StartProcessLog());
  ConvertOnePage("traced.pdf");
  CloseProcessLog();

  std::ifstream in(logPath_, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  const std::string text = all.str();
  // The run separator, then the system report as one information entry
  // whose text starts with a line feed.
  ASSERT_EQ(text.rfind("\n\n-INFO- \n", 0), 0u) << text.substr(0, 60);
  const size_t reportEnd = text.find("\n-INFO- -=ETPC=- ()\n");
  ASSERT_NE(reportEnd, std::string::npos);
  const std::string report = text.substr(0, reportEnd);
  for (const char* part : {" at ", "Internet Explorer", "Clock Frequency: ", "Installed RAM: ",
                           "Memory Available: ", "Percent of used RAM: %"})
    EXPECT_NE(report.find(part), std::string::npos) << part;
  EXPECT_TRUE(report.find("Vendor ID: ") != std::string::npos ||
              report.find("Error: CPU does not support CPUID.") != std::string::npos);

  const std::vector<std::string> lines = Lines(text);
  const std::vector<std::string> steps = {
      "-=ETPC=- ()", "-=CPDM=- ()", "-=ETPC=- Starting progress manager.",
      "-=ETPC=- Waiting for progress manager", "-=ETPC=- Starting progress dialog.",
      "-=ETPC=- Waiting for progress dialog created.", "-=ETPC=- Progress dialog is created.",
      "-=ETPC=- Target file is " + OutFolder() + "traced.pdf", "-=ETPC=- Starting PDF generation.",
      "-=ETPC=- CreatePDF", "-=ETPC=- Doc started", "-=ETPC=- Job", "-=ETPC=- SetProgressPos",
      "-=ETPC=- Ending PDF document.", "-=ETPC=- PDF document is complete.",
      "-=ETPC=- Stopping progress dialog.", "-=ETPC=- Waiting for progress dialog closed.",
      "-=ETPC=- Waiting for progress manager to stop.", "-=CPDM=- ~",
      "-=ETPC=- PDF converter job is complete.", "-=ETPC=- ~"};
  size_t at = 0;
  for (const std::string& step : steps) {
    size_t found = at;
    while (found < lines.size() && lines[found] != "-INFO- " + step) ++found;
    ASSERT_LT(found, lines.size()) << "missing or out of order: " << step;
    at = found + 1;
  }
  // The dialog's own threads log between these, each in its order.
  for (const char* line : {"-INFO- -=CDC=- DoModal progress.", "-INFO- -=CPD=- OnInit",
                           "-INFO- -=CPD=- OnCreate", "-INFO- -=CPDM=- Update progress bar pos.",
                           "-INFO- -=CPDM=- Closing progress dialog.", "-INFO- -=CPD=- ~"})
    EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
  for (const std::string& line : lines)
    EXPECT_EQ(line.find("-====ERROR====-"), std::string::npos) << line;
  Expect("file traced.pdf\npassword\npages 1\nmediabox 1 595.32 841.92\n");
}

TEST_F(ConversionE2ETrace, SwitchOffLeavesNoLogFile) {
  key_.WriteDword(L"TRACE_STATUS", 0);
  EXPECT_FALSE(StartProcessLog());
  ConvertOnePage("untraced.pdf");
  EXPECT_FALSE(FileExists(logPath_));
  Expect("file untraced.pdf\npassword\npages 1\n");
}

}  // namespace
