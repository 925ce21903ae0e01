// The main window's rules (document names, default file names, the in-use
// test), start-up's command line and folder rules, and inkclient.exe driven
// through its window: one page, keys, Cancel with both answers, Save onto a
// file another program holds open, and the registration without a job.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <cstdio>

#include "Tessera_h.h"
#include "mainwnd/main_dlg.h"
#include "w32/bstr.h"
#include "w32/com_ptr.h"
#include "startup.h"
#include "test_job.h"
#include "testkit/process.h"
#include "testkit/ui_driver.h"
#include "w32/registry.h"
#include "w32/strings.h"

namespace {

constexpr DWORD kWait = 30000;

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

HRESULT RegisterServerBeside(const wchar_t* dll) {
  const std::wstring path = testkit::BinFolder() + L"\\" + dll;
  HMODULE module = ::LoadLibraryW(path.c_str());
  if (!module) return HRESULT_FROM_WIN32(::GetLastError());
  using Register = HRESULT(STDAPICALLTYPE*)();
  auto reg = reinterpret_cast<Register>(
      reinterpret_cast<void*>(::GetProcAddress(module, "DllRegisterServer")));
  const HRESULT hr = reg ? reg() : E_NOINTERFACE;
  ::FreeLibrary(module);
  return hr;
}

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

// Keeps the user's options file ("RurAdazavu.ini") out of the way of a test.
class OptionsFileAside {
 public:
  OptionsFileAside() {
    char folder[MAX_PATH + 1]{};
    ::SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, folder);
    path_ = std::string(folder) + "\\RurAdazavu.ini";
    saved_ = path_ + ".clientui-test";
    had_ = ::MoveFileExA(path_.c_str(), saved_.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
  }
  ~OptionsFileAside() {
    ::DeleteFileA(path_.c_str());
    if (had_) ::MoveFileExA(saved_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING);
  }

 private:
  std::string path_, saved_;
  bool had_ = false;
};

TEST_F(Client, FinishedConversionWritesThePdfDeletesTheJobAndExitsWith1) {
  OptionsFileAside options;
  ASSERT_EQ(RegisterServerBeside(L"Tessera.dll"), S_OK);
  const HRESULT writer = RegisterServerBeside(L"quillkit.dll");
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

TEST(SettingsManager, SavesWhatIsEditedForTheNextSave) {
  OptionsFileAside options;
  ASSERT_EQ(RegisterServerBeside(L"Tessera.dll"), S_OK);
  testkit::Process manager =
      testkit::Process::Start(testkit::QuotedProgram(L"inksetman.exe") + L" -s -o -c InkwellPrinter -h0");
  ASSERT_TRUE(manager.Valid());
  testkit::WindowQuery q;
  q.processId = manager.Id();
  q.title = L"Inkwell settings";
  HWND dialog = testkit::WaitForTopLevelWindow(q, kWait);
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(testkit::SetEditText(testkit::ControlById(dialog, 1002), L"Quarterly report"));
  testkit::PressButton(dialog, IDOK);
  EXPECT_EQ(manager.Wait(kWait), std::optional<DWORD>(0));

  ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  {
    CLSID clsid{};
    ASSERT_EQ(::CLSIDFromProgID(L"Tessera", &clsid), S_OK);
    w32::ComPtr<ITessera> tessera;
    ASSERT_EQ(::CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_ITessera, tessera.PutVoid()), S_OK);
    w32::Bstr title;
    ASSERT_EQ(tessera->get_Title(title.Put()), S_OK);
    EXPECT_EQ(std::wstring(title.View()), L"Quarterly report");
  }
  ::CoUninitialize();
}
