// The main window's rules (document names, default file names, the in-use
// test), start-up's command line and folder rules, and inkclient.exe driven
// through its window: one page, keys, Cancel with both answers, Save onto a
// file another program holds open, and the registration without a job.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <atomic>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

#include "Tessera_h.h"
#include "mainwnd/main_dlg.h"
#include "w32/bstr.h"
#include "w32/com_ptr.h"
#include "startup.h"
#include "test_job.h"
#include "testkit/components.h"
#include "testkit/process.h"
#include "testkit/ui_driver.h"
#include "w32/registry.h"
#include "w32/strings.h"
#include "w32/unique_handle.h"

namespace {

constexpr DWORD kWait = 60000;  // a first window on a slow, loaded machine

bool Exists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ShotPath(const std::string& name) {
  const std::string folder = w32::Narrow(testkit::BinFolder()) + "\\screenshots";
  ::CreateDirectoryA(folder.c_str(), nullptr);
  return folder + "\\" + name + ".bmp";
}

TEST(MainWindowRules, DocumentNamesAndDefaultFileNames) {
  EXPECT_EQ(CMainDlg::DefaultFileName("report.doc"), "report");
  EXPECT_EQ(CMainDlg::DefaultFileName("report"), "report");
  EXPECT_EQ(CMainDlg::DefaultFileName("C:\\v1.2\\report"), "C:\\v1.2\\report");
  EXPECT_EQ(CMainDlg::DefaultFileName("archive.tar.gz"), "archive.tar");
  EXPECT_EQ(CMainDlg::SafeDocumentName("a/b"), "Untitled document");
  EXPECT_EQ(CMainDlg::SafeDocumentName("x:y"), "Untitled document");
  for (const char* bad : {"a*", "a?", "a\"", "a<", "a>", "a|"})
    EXPECT_EQ(CMainDlg::SafeDocumentName(bad), "Untitled document") << bad;
  EXPECT_EQ(CMainDlg::SafeDocumentName("dir\\name"), "dir\\name");
}

TEST(MainWindowRules, FileInUseOnlyForSharingViolations) {
  const TestJob job = TestJob::Make("mainwnd in use", 1);
  const std::wstring path = w32::Widen(job.pages[0]);
  EXPECT_FALSE(CMainDlg::FileInUse(path));
  EXPECT_FALSE(CMainDlg::FileInUse(path + L".missing"));
  HANDLE held = ::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(CMainDlg::FileInUse(path));
  ::CloseHandle(held);
  job.Remove();
}

// The few members of the options object that Save uses; any of them can be
// made to fail as another component registered under the name could.
struct FakeSaveOptions {
  std::string failing;
  long usingTarget = 0, overwrite = 0;
  std::wstring target;
  HRESULT Result(const char* name) const { return failing == name ? E_FAIL : S_OK; }
  HRESULT Flag(const char* name, VARIANT_BOOL* v, VARIANT_BOOL value) const {
    *v = value;
    return Result(name);
  }
  HRESULT Text(const char* name, BSTR* v, const wchar_t* value) const {
    *v = ::SysAllocString(value);
    return Result(name);
  }
  HRESULT STDMETHODCALLTYPE put_UsingTargetFile(long v) { usingTarget = v; return Result("UsingTargetFile"); }
  HRESULT STDMETHODCALLTYPE put_OverwriteFileIfExist(long v) { overwrite = v; return Result("OverwriteFileIfExist"); }
  HRESULT STDMETHODCALLTYPE put_TargetFile(BSTR v) {
    if (failing == "TargetFile") return E_INVALIDARG;
    target = v;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_PutWatermarks(VARIANT_BOOL* v) { return Flag("PutWatermarks", v, VARIANT_TRUE); }
  HRESULT STDMETHODCALLTYPE get_FirstPageSeparate(VARIANT_BOOL* v) { return Flag("FirstPageSeparate", v, 1); }
  HRESULT STDMETHODCALLTYPE get_WatermarkOnTheTop(VARIANT_BOOL* v) { return Flag("WatermarkOnTheTop", v, VARIANT_FALSE); }
  HRESULT STDMETHODCALLTYPE get_WatermarksFile(BSTR* v) { return Text("WatermarksFile", v, L"C:\\w\\p.emf"); }
  HRESULT STDMETHODCALLTYPE get_WatermarksFileLandscape(BSTR* v) { return Text("WatermarksFileLandscape", v, L"l.emf"); }
  HRESULT STDMETHODCALLTYPE get_FirstPageWatermarkFile(BSTR* v) { return Text("FirstPageWatermarkFile", v, L"fp.emf"); }
  HRESULT STDMETHODCALLTYPE get_FirstPageWatermarkFileLandscape(BSTR* v) {
    return Text("FirstPageWatermarkFileLandscape", v, L"");
  }
};

TEST(MainWindowRules, SaveHandsOverTheTargetAndReadsTheWatermarkSettings) {
  FakeSaveOptions o;
  SaveOptions got;
  std::string failed;
  ASSERT_TRUE(CMainDlg::ExchangeSaveOptions(o, "C:\\out\\report 1.4.pdf", got, failed)) << failed;
  EXPECT_EQ(o.usingTarget, 1);
  EXPECT_EQ(o.overwrite, 1);
  EXPECT_EQ(w32::Narrow(o.target), "C:\\out\\report 1.4.pdf");
  EXPECT_EQ(got.putWatermarks, VARIANT_TRUE);
  EXPECT_EQ(got.firstPageSeparate, 1);
  EXPECT_EQ(got.watermarkOnTop, 0);
  EXPECT_EQ(got.portrait, "C:\\w\\p.emf");
  EXPECT_EQ(got.landscape, "l.emf");
  EXPECT_EQ(got.firstPortrait, "fp.emf");
  EXPECT_EQ(got.firstLandscape, "");
}

// A refused target or a setting that cannot be read stops the save, naming
// the member: the job would otherwise write to another (stale) target, or
// leave out the watermarks that were asked for.
TEST(MainWindowRules, SaveStopsOnAnyRefusedOrUnreadableOption) {
  for (const char* member :
       {"UsingTargetFile", "TargetFile", "OverwriteFileIfExist", "PutWatermarks", "FirstPageSeparate",
        "WatermarkOnTheTop", "WatermarksFile", "WatermarksFileLandscape", "FirstPageWatermarkFile",
        "FirstPageWatermarkFileLandscape"}) {
    FakeSaveOptions o;
    o.failing = member;
    SaveOptions got;
    std::string failed;
    EXPECT_FALSE(CMainDlg::ExchangeSaveOptions(o, "C:\\out\\a.pdf", got, failed)) << member;
    EXPECT_EQ(failed, member);
  }
}

TEST(MainWindowRules, HelpAndSettingsCommandLines) {
  wchar_t windows[MAX_PATH + 1]{};
  ::GetWindowsDirectoryW(windows, MAX_PATH + 1);
  EXPECT_EQ(CMainDlg::HelpProgram(), std::wstring(windows) + L"\\hh.exe");
  EXPECT_EQ(CMainDlg::HelpParameters("C:\\Program Files\\Inkwell 1.4\\"),
            L"\"C:\\Program Files\\Inkwell 1.4\\help.chm::Other.htm\"");
  EXPECT_EQ(CMainDlg::SettingsParameters(reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1234))),
            L"-s -o -c InkwellPrinter -h4660");
  // The handle as a signed number, as the settings manager reads it back.
  EXPECT_EQ(CMainDlg::SettingsParameters(reinterpret_cast<HWND>(static_cast<INT_PTR>(-2))),
            L"-s -o -c InkwellPrinter -h-2");
}

TEST(Startup, JobPathIsTheWholeRestOfTheCommandLine) {
  EXPECT_EQ(JobPathFromCommandLine(L"C:\\bin\\inkclient.exe C:\\My Jobs\\job 1.ini"),
            L"C:\\My Jobs\\job 1.ini");
  EXPECT_EQ(JobPathFromCommandLine(L"\"C:\\Program Files\\inkclient.exe\" \"C:\\a b\\j.ini\""),
            L"\"C:\\a b\\j.ini\"");
  EXPECT_EQ(JobPathFromCommandLine(L"inkclient.exe"), L"");
  EXPECT_EQ(JobPathFromCommandLine(L"inkclient.exe   "), L"");
}

TEST(Startup, ApplicationFolderKeepsDottedFolderNames) {
  EXPECT_EQ(ApplicationFolder("C:\\Program Files\\Inkwell 1.4\\inkclient.exe"),
            "C:\\Program Files\\Inkwell 1.4\\");
  EXPECT_EQ(ApplicationFolder("C:\\bin\\inkclient.exe"), "C:\\bin\\");
}

// inkclient.exe with a job, and its main window.
class Client : public ::testing::Test {
 protected:
  void Start(int pages) {
    job_ = TestJob::Make("mainwnd client", pages);
    process_ = testkit::Process::Start(testkit::QuotedProgram(L"inkclient.exe") + L" " +
                                       w32::Widen(job_.jobPath));
    ASSERT_TRUE(process_.Valid());
    testkit::WindowQuery q;
    q.processId = process_.Id();
    q.title = L"Inkwell 1.4";
    window_ = testkit::WaitForTopLevelWindow(q, kWait);
    ASSERT_NE(window_, nullptr);
    ASSERT_TRUE(testkit::WaitUntil(
        [&] { return testkit::WindowText(testkit::ControlById(window_, 1014)).rfind(L"Page", 0) == 0; },
        kWait));
  }
  void TearDown() override {
    if (process_.Running()) process_.Terminate();
    job_.Remove();
  }
  bool Enabled(int id) { return ::IsWindowEnabled(testkit::ControlById(window_, id)) != FALSE; }
  void Key(WORD vk) {
    ::PostMessageW(window_, WM_KEYDOWN, vk, 1);
    ::PostMessageW(window_, WM_KEYUP, vk, 0xC0000001);
  }
  std::wstring Indicator() { return testkit::WindowText(testkit::ControlById(window_, 1014)); }

  TestJob job_;
  testkit::Process process_;
  HWND window_ = nullptr;
};

TEST_F(Client, OnePageShowsPageOneOfOneWithEverythingDisabled) {
  Start(1);
  EXPECT_EQ(Indicator(), L"Page 1 of 1");
  for (int id : {40001, 40002, 40003, 40004}) EXPECT_FALSE(Enabled(id)) << id;
  // Only the Info button shows; Save PDF and Adjust settings stay hidden.
  EXPECT_TRUE(::IsWindowVisible(testkit::ControlById(window_, 1007)));
  EXPECT_EQ(testkit::WindowText(testkit::ControlById(window_, 1007)), L"Info        ");
  EXPECT_FALSE(::IsWindowVisible(testkit::ControlById(window_, 1)));
  EXPECT_FALSE(::IsWindowVisible(testkit::ControlById(window_, 3)));
  EXPECT_EQ(testkit::ControlById(window_, 1000), nullptr);
  EXPECT_EQ(testkit::ControlById(window_, 1001), nullptr);
  ::Sleep(500);
  SaveScreenshot(window_, ShotPath("main_window_one_page"));
  // Insert, the go-to-page key, does nothing with one page.
  Key(VK_INSERT);
  testkit::WindowQuery q;
  q.processId = process_.Id();
  q.title = L"Go to page";
  EXPECT_EQ(testkit::WaitForTopLevelWindow(q, 1500), nullptr);
}

TEST_F(Client, NavigationKeysMoveThroughThePages) {
  Start(5);
  EXPECT_EQ(Indicator(), L"Page 1 of 5");
  Key(VK_NEXT);
  EXPECT_TRUE(testkit::WaitUntil([&] { return Indicator() == L"Page 2 of 5"; }, kWait));
  Key(VK_RIGHT);
  EXPECT_TRUE(testkit::WaitUntil([&] { return Indicator() == L"Page 3 of 5"; }, kWait));
  Key(VK_END);
  EXPECT_TRUE(testkit::WaitUntil([&] { return Indicator() == L"Page 5 of 5"; }, kWait));
  EXPECT_FALSE(Enabled(40002));
  Key(VK_LEFT);
  EXPECT_TRUE(testkit::WaitUntil([&] { return Indicator() == L"Page 4 of 5"; }, kWait));
  Key(VK_UP);
  EXPECT_TRUE(testkit::WaitUntil([&] { return Indicator() == L"Page 1 of 5"; }, kWait));
  Key(VK_DOWN);
  EXPECT_TRUE(testkit::WaitUntil([&] { return Indicator() == L"Page 5 of 5"; }, kWait));
  Key(VK_PRIOR);
  EXPECT_TRUE(testkit::WaitUntil([&] { return Indicator() == L"Page 4 of 5"; }, kWait));
  Key(VK_HOME);
  EXPECT_TRUE(testkit::WaitUntil([&] { return Indicator() == L"Page 1 of 5"; }, kWait));
  // The bottom toolbar's buttons do the same.
  testkit::PressButton(window_, 40004);
  EXPECT_TRUE(testkit::WaitUntil([&] { return Indicator() == L"Page 5 of 5"; }, kWait));
  ::Sleep(300);
  SaveScreenshot(window_, ShotPath("main_window_last_page"));
}

TEST_F(Client, CancelAnsweredNoKeepsEverythingYesDeletesAndExitsWith2) {
  Start(2);
  ::PostMessageW(window_, WM_COMMAND, IDCANCEL, 0);
  auto box = testkit::WaitForMessageBox(process_.Id(), kWait);
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->text, L"Would you like to cancel printing ?");
  EXPECT_EQ(box->caption, L"Question");
  testkit::PressMessageBoxButton(box->window, IDNO);
  EXPECT_FALSE(process_.Wait(1000).has_value());
  EXPECT_TRUE(Exists(job_.jobPath));

  ::PostMessageW(window_, WM_COMMAND, IDCANCEL, 0);
  box = testkit::WaitForMessageBox(process_.Id(), kWait);
  ASSERT_TRUE(box.has_value());
  testkit::PressMessageBoxButton(box->window, IDYES);
  EXPECT_EQ(process_.Wait(kWait), std::optional<DWORD>(2));
  EXPECT_FALSE(Exists(job_.jobPath));
  for (const std::string& page : job_.pages) EXPECT_FALSE(Exists(page));
}

TEST_F(Client, SaveOntoAFileHeldOpenShowsTheInUseMessageAndKeepsTheWindow) {
  Start(1);
  const std::string target = job_.folder + "\\held.pdf";
  HANDLE held = ::CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  testkit::PressButton(window_, IDOK);
  // The save dialog: its file name edit sits inside a combo box.
  HWND dialog = nullptr;
  ASSERT_TRUE(testkit::WaitUntil([&] {
    for (HWND w : testkit::FindTopLevelWindows({process_.Id(), L"#32770", L"", true}))
      if (testkit::ControlById(w, 0x47c)) dialog = w;
    return dialog != nullptr;
  }, kWait));
  HWND edit = nullptr;
  for (const testkit::Control& c : testkit::Controls(dialog))
    if (c.id == 0x47c && c.className == L"Edit") edit = c.window;
  if (!edit) edit = testkit::ControlById(dialog, 0x47c);
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(testkit::WindowText(edit), L"Report");
  testkit::SetEditText(edit, w32::Widen(target));
  HWND root = ::GetAncestor(edit, GA_ROOT);
  ::PostMessageW(root, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(root, IDOK)));
  // The system's overwrite question comes first (the file exists).
  auto box = testkit::WaitForMessageBox(process_.Id(), kWait);
  ASSERT_TRUE(box.has_value());
  if (box->text.find(L"already opened") == std::wstring::npos) {
    testkit::PressMessageBoxButton(box->window, IDYES);
    const HWND question = box->window;
    ASSERT_TRUE(testkit::WaitUntil([&] {
      box = testkit::WaitForMessageBox(process_.Id(), 200);
      return box && box->window != question && !box->text.empty();
    }, kWait));
  }
  EXPECT_EQ(box->text,
            L"The file is already opened by another application,please select another file name");
  EXPECT_EQ(box->caption, L"Warning");
  testkit::PressMessageBoxButton(box->window, IDOK);
  EXPECT_FALSE(process_.Wait(1000).has_value());
  EXPECT_TRUE(::IsWindow(window_));
  ::CloseHandle(held);
  ::DeleteFileA(target.c_str());
}

// inkclient.exe run as a debuggee, so that every program it starts is seen
// at its creation, however soon it ends (the help viewer, given no help
// file, ends at once). The debug loop runs on a thread of its own, as the
// thread that starts a debuggee must serve its events.
class WatchedClient {
 public:
  explicit WatchedClient(const std::wstring& commandLine) {
    thread_ = std::thread([this, commandLine] { Loop(commandLine); });
  }
  ~WatchedClient() {
    stop_ = true;
    thread_.join();
  }
  DWORD ProcessId() const { return processId_.load(); }
  // Full paths of the programs the client started, in order.
  std::vector<std::wstring> Started() {
    std::lock_guard<std::mutex> lock(mutex_);
    return started_;
  }

 private:
  static std::wstring ImagePath(HANDLE process) {
    using Query = BOOL(WINAPI*)(HANDLE, DWORD, LPWSTR, PDWORD);
    auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "QueryFullProcessImageNameW")));
    std::vector<wchar_t> path(1024, L'\0');
    DWORD size = static_cast<DWORD>(path.size());
    if (!query || !query(process, 0, path.data(), &size)) return L"";
    return std::wstring(path.data(), size);
  }

  void Loop(std::wstring commandLine) {
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, DEBUG_PROCESS, nullptr,
                          nullptr, &si, &pi))
      return;
    w32::KernelHandle process(pi.hProcess), thread(pi.hThread);
    processId_ = pi.dwProcessId;
    bool clientEnded = false;
    while (!clientEnded) {
      DEBUG_EVENT e{};
      if (!::WaitForDebugEvent(&e, 100)) {
        if (stop_) ::TerminateProcess(process.Get(), 1);  // its end comes as an event
        continue;
      }
      DWORD status = DBG_CONTINUE;
      switch (e.dwDebugEventCode) {
        case CREATE_PROCESS_DEBUG_EVENT:
          if (e.dwProcessId != pi.dwProcessId) {
            std::lock_guard<std::mutex> lock(mutex_);
            started_.push_back(ImagePath(e.u.CreateProcessInfo.hProcess));
          }
          if (e.u.CreateProcessInfo.hFile) ::CloseHandle(e.u.CreateProcessInfo.hFile);
          break;
        case LOAD_DLL_DEBUG_EVENT:
          if (e.u.LoadDll.hFile) ::CloseHandle(e.u.LoadDll.hFile);
          break;
        case EXCEPTION_DEBUG_EVENT:
          // The loader's first breakpoint is ours to pass; everything else
          // is the program's own to handle.
          if (e.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT)
            status = DBG_EXCEPTION_NOT_HANDLED;
          break;
        case EXIT_PROCESS_DEBUG_EVENT:
          clientEnded = e.dwProcessId == pi.dwProcessId;
          break;
        default:
          break;
      }
      ::ContinueDebugEvent(e.dwProcessId, e.dwThreadId, status);
    }
  }

  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<DWORD> processId_{0};
  std::mutex mutex_;
  std::vector<std::wstring> started_;
};

TEST(ClientHelp, InfoStartsTheHelpViewerOfTheWindowsFolderAndTheWindowGoesOn) {
  const TestJob job = TestJob::Make("mainwnd help", 1);
  HWND window = nullptr;
  {
    WatchedClient client(testkit::QuotedProgram(L"inkclient.exe") + L" " + w32::Widen(job.jobPath));
    ASSERT_TRUE(testkit::WaitUntil([&] { return client.ProcessId() != 0; }, kWait));
    testkit::WindowQuery q;
    q.processId = client.ProcessId();
    q.title = L"Inkwell 1.4";
    window = testkit::WaitForTopLevelWindow(q, 60000);
    ASSERT_NE(window, nullptr);
    testkit::PressButton(window, 1007);
    std::vector<std::wstring> started;
    EXPECT_TRUE(testkit::WaitUntil([&] { return !(started = client.Started()).empty(); }, 60000, 50));
    ASSERT_FALSE(started.empty());
    EXPECT_EQ(_wcsicmp(started[0].c_str(), CMainDlg::HelpProgram().c_str()), 0)
        << w32::Narrow(started[0]);
    ::Sleep(500);
    EXPECT_TRUE(::IsWindow(window));  // the window goes on
  }
  job.Remove();
}

TEST_F(Client, AdjustSettingsStartsTheSettingsManagerForThePrinterOverTheWindow) {
  Start(1);
  ::PostMessageW(window_, WM_COMMAND, MAKEWPARAM(3, BN_CLICKED), 0);
  testkit::WindowQuery q;
  q.title = L"Inkwell settings";
  const HWND manager = testkit::WaitForTopLevelWindow(q, 60000);
  ASSERT_NE(manager, nullptr);
  DWORD managerPid = 0;
  ::GetWindowThreadProcessId(manager, &managerPid);
  w32::KernelHandle managerProcess(
      ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, managerPid));
  // "-h" and the window's handle: the manager's dialog belongs to the window;
  // "-c InkwellPrinter": the printer whose settings it edits.
  EXPECT_EQ(::GetWindow(manager, GW_OWNER), window_);
  EXPECT_EQ(testkit::WindowText(testkit::ControlById(manager, 1040)), L"Printer: InkwellPrinter");
  testkit::PressButton(manager, IDCANCEL);
  ASSERT_TRUE(managerProcess.Valid());
  EXPECT_EQ(::WaitForSingleObject(managerProcess.Get(), kWait), WAIT_OBJECT_0);
  DWORD code = 0;
  ::GetExitCodeProcess(managerProcess.Get(), &code);
  EXPECT_EQ(code, 2u);  // cancelled: nothing saved
  EXPECT_FALSE(process_.Wait(500).has_value());
  EXPECT_TRUE(::IsWindowEnabled(window_));
}

TEST(ClientRegistration, WithoutAJobTheClientRecordsItselfAndEndsWith0) {
  const w32::RegKey product = w32::RegKey::Create(HKEY_LOCAL_MACHINE, L"Software\\Scrivo");
  ASSERT_TRUE(product.Valid());
  product.DeleteValue(L"Client Application");
  EXPECT_EQ(testkit::RunAndWait(testkit::QuotedProgram(L"inkclient.exe"), kWait),
            std::optional<DWORD>(0));
  const auto value = product.ReadString(L"Client Application");
  ASSERT_TRUE(value.has_value());
  EXPECT_EQ(*value, testkit::BinFolder() + L"\\inkclient.exe");
}

}  // namespace

namespace {

// Fills in the save dialog of `processId` with `target` and presses Save.
bool AnswerSaveDialog(DWORD processId, const std::string& target) {
  HWND edit = nullptr;
  testkit::WaitUntil([&] {
    for (HWND w : testkit::FindTopLevelWindows({processId, L"#32770", L"", true}))
      if (HWND e = testkit::ControlById(w, 0x47c)) edit = e;
    return edit != nullptr;
  }, kWait);
  if (!edit) return false;
  testkit::SetEditText(edit, w32::Widen(target));
  HWND root = ::GetAncestor(edit, GA_ROOT);
  return ::PostMessageW(root, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                        reinterpret_cast<LPARAM>(::GetDlgItem(root, IDOK))) != FALSE;
}

}  // namespace

TEST_F(Client, FinishedConversionWritesThePdfDeletesTheJobAndExitsWith1) {
  testkit::OptionsFileAside options;
  ASSERT_EQ(testkit::RegisterServerBeside(L"Tessera.dll"), S_OK);
  const HRESULT writer = testkit::RegisterServerBeside(L"quillkit.dll");
  if (FAILED(writer)) GTEST_SKIP() << "no PDF writer component in this build";
  Start(2);
  const std::string target = job_.folder + "\\saved.pdf";
  ::DeleteFileA(target.c_str());
  ::PostMessageW(window_, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(AnswerSaveDialog(process_.Id(), target));
  // After the conversion the job asks whether to open the PDF.
  std::optional<testkit::MessageBoxInfo> box;
  ASSERT_TRUE(testkit::WaitUntil([&] {
    box = testkit::WaitForMessageBox(process_.Id(), 200);
    return box && !box->text.empty();
  }, 60000));
  EXPECT_EQ(box->text, L"Would you like to open PDF file ?");
  testkit::PressMessageBoxButton(box->window, IDNO);
  EXPECT_EQ(process_.Wait(kWait), std::optional<DWORD>(1));
  EXPECT_FALSE(Exists(job_.jobPath));
  ASSERT_TRUE(Exists(target));
  FILE* f = std::fopen(target.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  char head[5]{};
  std::fread(head, 1, 4, f);
  std::fclose(f);
  EXPECT_STREQ(head, "%PDF");
  ::DeleteFileA(target.c_str());
}

// The settings manager as the client starts it, without an owner window.
class SettingsManager : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(testkit::RegisterServerBeside(L"Tessera.dll"), S_OK);
    manager_ = testkit::Process::Start(testkit::QuotedProgram(L"inksetman.exe") +
                                       L" -s -o -c InkwellPrinter -h0");
    ASSERT_TRUE(manager_.Valid());
    testkit::WindowQuery q;
    q.processId = manager_.Id();
    q.title = L"Inkwell settings";
    dialog_ = testkit::WaitForTopLevelWindow(q, 60000);
    ASSERT_NE(dialog_, nullptr);
  }
  HWND Item(int id) { return testkit::ControlById(dialog_, id); }
  void Check(int id, bool on) {
    ::SendMessageW(Item(id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  void Choose(int id, int index) { ::SendMessageW(Item(id), CB_SETCURSEL, index, 0); }
  // A fresh options object, as the client's next Save creates one.
  template <class Body>
  void WithOptions(Body body) {
    ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    {
      CLSID clsid{};
      ASSERT_EQ(::CLSIDFromProgID(L"Tessera", &clsid), S_OK);
      w32::ComPtr<ITessera> tessera;
      ASSERT_EQ(::CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_ITessera, tessera.PutVoid()), S_OK);
      body(*tessera.Get());
    }
    ::CoUninitialize();
  }

  testkit::OptionsFileAside options_;
  testkit::Process manager_;
  HWND dialog_ = nullptr;
};

TEST_F(SettingsManager, ShowsThePrinterAndSavesPrinterSettingsAndWatermarks) {
  EXPECT_EQ(testkit::WindowText(Item(1040)), L"Printer: InkwellPrinter");
  ::Sleep(300);
  SaveScreenshot(dialog_, ShotPath("settings_manager"));
  Check(1027, false);                                           // one target file: off
  ASSERT_TRUE(testkit::SetEditText(Item(1029), L"C:\\PDF out"));  // target folder
  Check(1033, true);                                            // silent mode
  Check(1030, true);                                            // overwrite
  Choose(1034, 3);                                              // PNG output
  Check(1011, true);                                            // put watermarks
  Check(1035, true);                                            // a first page of its own
  ASSERT_TRUE(testkit::SetEditText(Item(1038), L"C:\\marks\\first wide.emf"));
  testkit::PressButton(dialog_, IDOK);
  ASSERT_EQ(manager_.Wait(kWait), std::optional<DWORD>(0));
  WithOptions([](ITessera& t) {
    long value = -1;
    EXPECT_EQ(t.get_UsingTargetFile(&value), S_OK);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(t.get_SilentMode(&value), S_OK);
    EXPECT_EQ(value, 1);
    EXPECT_EQ(t.get_OverwriteFileIfExist(&value), S_OK);
    EXPECT_EQ(value, 1);
    OutputFormat format{};
    EXPECT_EQ(t.get_OutputType(&format), S_OK);
    EXPECT_EQ(static_cast<int>(format), 3);
    w32::Bstr text;
    EXPECT_EQ(t.get_TargetDir(text.Put()), S_OK);
    EXPECT_EQ(std::wstring(text.View()), L"C:\\PDF out");
    EXPECT_EQ(t.get_FirstPageWatermarkFileLandscape(text.Put()), S_OK);
    EXPECT_EQ(std::wstring(text.View()), L"C:\\marks\\first wide.emf");
    VARIANT_BOOL flag = VARIANT_FALSE;
    EXPECT_EQ(t.get_FirstPageSeparate(&flag), S_OK);
    EXPECT_NE(flag, VARIANT_FALSE);
  });
}

// The default profile's options are not changed: changed PDF options are
// refused at Save under it, and kept by adding them as a profile.
TEST_F(SettingsManager, ChangedOptionsGoIntoANewProfileNotTheDefault) {
  ASSERT_TRUE(testkit::SetEditText(Item(1002), L"Quarterly report"));  // title
  Choose(1021, 3);                                                      // layout
  testkit::PressButton(dialog_, IDOK);
  std::optional<testkit::MessageBoxInfo> box;
  ASSERT_TRUE(testkit::WaitUntil([&] {
    box = testkit::WaitForMessageBox(manager_.Id(), 0);
    return box && box->window != dialog_;
  }, kWait));
  EXPECT_NE(box->text.find(L"default profile keeps its options"), std::wstring::npos);
  testkit::PressMessageBoxButton(box->window, IDOK);
  EXPECT_FALSE(manager_.Wait(500).has_value());

  ASSERT_TRUE(testkit::SetEditText(Item(1041), L"Reports"));
  testkit::PressButton(dialog_, 1042);  // Add
  EXPECT_TRUE(testkit::WaitUntil(
      [&] { return testkit::WindowText(Item(1001)) == L"Reports"; }, kWait));
  testkit::PressButton(dialog_, IDOK);
  ASSERT_EQ(manager_.Wait(kWait), std::optional<DWORD>(0));
  WithOptions([](ITessera& t) {
    w32::Bstr text;
    EXPECT_EQ(t.get_Title(text.Put()), S_OK);
    EXPECT_EQ(std::wstring(text.View()), L"Quarterly report");
    EXPECT_EQ(t.GetCurrentProfileName(text.Put()), S_OK);
    EXPECT_EQ(std::wstring(text.View()), L"Reports");
    PageLayout layout{};
    EXPECT_EQ(t.get_Layout(&layout), S_OK);
    EXPECT_EQ(static_cast<int>(layout), 3);
    // The default profile kept the title it had.
    ASSERT_EQ(t.SetActual(0), S_OK);
    EXPECT_EQ(t.get_Title(text.Put()), S_OK);
    EXPECT_EQ(std::wstring(text.View()), L"");
  });
}
