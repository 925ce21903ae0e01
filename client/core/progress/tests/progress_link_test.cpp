#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <functional>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "log/trace.h"
#include "progress/progress_dlg.h"
#include "progress/progress_link.h"
#include "test_job.h"
#include "testkit/owner_window.h"
#include "testkit/process.h"
#include "testkit/ui_driver.h"
#include "w32/strings.h"

namespace {

constexpr DWORD kWaitMs = 90000;  // a first window can be slow on a loaded machine

class CancelCounter : public CCancelWork {
 public:
  void CancelWork() override { ++calls; }
  std::atomic<int> calls{0};
};


HWND FindProgressDialog() {
  testkit::WindowQuery q;
  q.processId = ::GetCurrentProcessId();
  q.className = L"#32770";
  q.title = L"Inkwell 1.4";
  return testkit::WaitForTopLevelWindow(q, kWaitMs);
}

int BarPosition(HWND dialog) {
  DWORD_PTR pos = static_cast<DWORD_PTR>(-1);
  ::SendMessageTimeoutW(testkit::ControlById(dialog, kIdProgressBar), PBM_GETPOS, 0, 0,
                        SMTO_ABORTIFHUNG, 5000, &pos);
  return static_cast<int>(pos);
}

bool WaitUntil(const std::function<bool()>& condition) {
  for (DWORD waited = 0; waited < kWaitMs; waited += 20) {
    if (condition()) return true;
    ::Sleep(20);
  }
  return condition();
}

TEST(ProgressTemplate, HoldsTheDialogAndItsThreeItems) {
  const std::vector<BYTE> t = CProgressDlg::BuildTemplate(L"Converting to PDF format", L"Preparing");
  ASSERT_GE(t.size(), sizeof(DLGTEMPLATE));
  const auto* d = reinterpret_cast<const DLGTEMPLATE*>(t.data());
  EXPECT_EQ(d->style, static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME));
  EXPECT_EQ(d->dwExtendedStyle, 0u);
  EXPECT_EQ(d->cdit, 3);
  EXPECT_EQ(d->x, 10);
  EXPECT_EQ(d->y, 10);
  EXPECT_EQ(d->cx, 140);
  EXPECT_EQ(d->cy, 60);
  // A very long status text still fits: the template grows instead.
  const std::vector<BYTE> big = CProgressDlg::BuildTemplate(L"c", std::wstring(3000, L'x'));
  EXPECT_GT(big.size(), 6000u);
}

TEST(Progress, DialogShowsMovesToHundredAndClosesOnStop) {
  testkit::OwnerWindow owner;
  ASSERT_NE(owner.Get(), nullptr);
  CancelCounter cancel;
  ProgressLink link;
  link.statusText = "Preparing document";
  link.cancelText = "Stop it";
  ASSERT_TRUE(link.StartProgress(owner.Get(), &cancel));
  const HWND dialog = FindProgressDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(testkit::WindowText(testkit::ControlById(dialog, kIdStatusText)), L"Preparing document");
  EXPECT_EQ(testkit::WindowText(testkit::ControlById(dialog, IDCANCEL)), L"Stop it");
  EXPECT_EQ(::GetWindow(dialog, GW_OWNER), owner.Get());
  EXPECT_FALSE(::IsWindowEnabled(owner.Get()));  // modal over the owner

  // Several positions in a row: only the latest matters.
  link.SetProgressPos(10);
  link.SetProgressPos(40);
  link.SetProgressPos(100);
  EXPECT_TRUE(WaitUntil([&] { return BarPosition(dialog) == 100; })) << BarPosition(dialog);

  link.StopProgress();
  EXPECT_FALSE(::IsWindow(dialog));
  EXPECT_FALSE(link.ManagerRunning());
  EXPECT_TRUE(WaitUntil([&] { return ::IsWindowEnabled(owner.Get()) != FALSE; }));
  EXPECT_EQ(cancel.calls, 0);
}

// The dialog as the user sees it part way through a job, for the record.
TEST(Progress, DialogScreenshotPartWayThrough) {
  testkit::OwnerWindow owner;
  ASSERT_NE(owner.Get(), nullptr);
  CancelCounter cancel;
  ProgressLink link;
  link.statusText = "Preparing document";
  ASSERT_TRUE(link.StartProgress(owner.Get(), &cancel));
  const HWND dialog = FindProgressDialog();
  ASSERT_NE(dialog, nullptr);
  link.SetProgressPos(40);
  EXPECT_TRUE(WaitUntil([&] { return BarPosition(dialog) == 40; })) << BarPosition(dialog);
  ::RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  ::Sleep(300);
  const std::string folder = w32::Narrow(testkit::BinFolder()) + "\\screenshots";
  ::CreateDirectoryA(folder.c_str(), nullptr);
  EXPECT_TRUE(SaveScreenshot(dialog, folder + "\\progress_dialog.bmp"));
  link.StopProgress();
  EXPECT_FALSE(::IsWindow(dialog));
  EXPECT_EQ(cancel.calls, 0);
}

TEST(Progress, CancelClosesTheDialogAtOnceAndStopDoesNotWaitForIt) {
  testkit::OwnerWindow owner;
  CancelCounter cancel;
  ProgressLink link;
  ASSERT_TRUE(link.StartProgress(owner.Get(), &cancel));
  const HWND dialog = FindProgressDialog();
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(testkit::PressButton(dialog, IDCANCEL));
  EXPECT_TRUE(testkit::WaitForWindowGone(dialog, kWaitMs));
  EXPECT_EQ(cancel.calls, 1);
  link.SetProgressPos(50);  // no dialog any more: dropped
  link.StopProgress();
  EXPECT_FALSE(link.ManagerRunning());
}

TEST(Progress, EscapeOrTheCloseBoxCancelsToo) {
  testkit::OwnerWindow owner;
  CancelCounter cancel;
  ProgressLink link;
  ASSERT_TRUE(link.StartProgress(owner.Get(), &cancel));
  const HWND dialog = FindProgressDialog();
  ASSERT_NE(dialog, nullptr);
  ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);  // no control: the keyboard
  EXPECT_TRUE(testkit::WaitForWindowGone(dialog, kWaitMs));
  EXPECT_EQ(cancel.calls, 1);
  link.StopProgress();
}

TEST(Progress, DialogThatCannotBeCreatedDoesNotHangStart) {
  // An owner that is no window makes the dialog's creation fail.
  HWND gone = ::CreateWindowExW(0, L"STATIC", L"x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                nullptr, nullptr);
  ASSERT_NE(gone, nullptr);
  ::DestroyWindow(gone);
  CancelCounter cancel;
  ProgressLink link;
  EXPECT_FALSE(link.StartProgress(gone, &cancel));
  link.SetProgressPos(50);
  link.StopProgress();
  EXPECT_FALSE(link.ManagerRunning());
  EXPECT_EQ(cancel.calls, 0);
}

TEST(Progress, DestroyingTheLinkWithTheDialogUpLeavesCancelHarmless) {
  testkit::OwnerWindow owner;
  HWND dialog = nullptr;
  {
    CancelCounter cancel;
    ProgressLink link;
    ASSERT_TRUE(link.StartProgress(owner.Get(), &cancel));
    dialog = FindProgressDialog();
    ASSERT_NE(dialog, nullptr);
  }  // the job is gone, its dialog stays until the user cancels it
  ASSERT_TRUE(::IsWindow(dialog));
  ASSERT_TRUE(testkit::PressButton(dialog, IDCANCEL));
  EXPECT_TRUE(testkit::WaitForWindowGone(dialog, kWaitMs));
}

std::vector<std::string> LogLines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

// Index of the first line equal to `text` at or after `from`, or -1.
int FindLine(const std::vector<std::string>& lines, const std::string& text, int from = 0) {
  for (size_t i = static_cast<size_t>(from); i < lines.size(); ++i)
    if (lines[i] == text) return static_cast<int>(i);
  return -1;
}

void ExpectInOrder(const std::vector<std::string>& lines, const std::vector<std::string>& texts) {
  int at = 0;
  for (const std::string& t : texts) {
    const int found = FindLine(lines, "-INFO- " + t, at);
    ASSERT_GE(found, 0) << "missing or out of order: " << t;
    at = found + 1;
  }
}

TEST(Progress, LogsEveryStepOfEachThreadInOrder) {
  char temp[MAX_PATH + 1] = {};
  ::GetTempPathA(MAX_PATH, temp);
  const std::string path =
      std::string(temp) + "scrivo_progress_" + std::to_string(::GetCurrentProcessId()) + ".log";
  ::DeleteFileA(path.c_str());
  ASSERT_TRUE(OpenProcessLog(1, path, false));
  {
    testkit::OwnerWindow owner;
    CancelCounter cancel;
    ProgressLink link;
    ASSERT_TRUE(link.StartProgress(owner.Get(), &cancel));
    link.SetProgressPos(100);
    const HWND dialog = FindProgressDialog();
    WaitUntil([&] { return BarPosition(dialog) == 100; });
    link.StopProgress();
  }
  CloseProcessLog();
  const std::vector<std::string> lines = LogLines(path);
  ExpectInOrder(lines, {"-=CPDM=- ()", "-=ETPC=- Starting progress manager.",
                        "-=ETPC=- Waiting for progress manager", "-=ETPC=- Starting progress dialog.",
                        "-=ETPC=- Waiting for progress dialog created.",
                        "-=ETPC=- Progress dialog is created.", "-=ETPC=- Stopping progress dialog.",
                        "-=ETPC=- Waiting for progress dialog closed.",
                        "-=ETPC=- Waiting for progress manager to stop.", "-=CPDM=- ~"});
  ExpectInOrder(lines, {"-=CPD=- ()", "-=CPDM=- Starting progress creator.",
                        "-=CPDM=- Update progress bar pos.", "-=CPDM=- Closing progress dialog.",
                        "-=CPDM=- Waiting for creator.", "-=CPD=- ~",
                        "-=CPDM=- Progress manager stopped."});
  ExpectInOrder(lines, {"-=CDC=- DoModal progress.", "-=CPD=- OnInit", "-=CPD=- OnCreate",
                        "-=ETPC=- Progress dialog is created."});
  ExpectInOrder(lines, {"-=CDC=- Progress dialog - return from DoModal.", "-=CPD=- ~"});
  ::DeleteFileA(path.c_str());
}

}  // namespace
