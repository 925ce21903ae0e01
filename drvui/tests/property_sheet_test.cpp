// The plug-in's side of the host's property-sheet protocol, and its two pages
// shown in a real property sheet: their texts, the About title band, the
// "Additional Properties..." button starting inkui2.exe, and pictures of the
// pages for people to look at (BMP files in the test's working folder).
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <ostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "fake_sheet_host.h"
#include "modeless_sheet.h"
#include "plugin_library.h"
#include "screen_capture.h"
#include "testkit/process.h"
#include "testkit/ui_driver.h"
#include "w32/module_path.h"
#include "w32/strings.h"
#include "w32/unique_handle.h"

namespace drvui_test {
namespace {

constexpr int kAdditionalTemplate = 109;
constexpr int kAboutTemplate = 108;
constexpr int kAdditionalButton = 1011;
constexpr int kAboutTitle = 1009;
constexpr int kAboutVersion = 1008;
constexpr int kAboutLink = 1007;
constexpr DWORD kWaitMs = 20000;  // generous: the machine may be busy

enum class Sheet { kDocument, kDevice };

// How test names show the parameter.
void PrintTo(Sheet sheet, std::ostream* out) {
  *out << (sheet == Sheet::kDocument ? "document properties" : "device properties");
}

HRESULT CallSheets(IPrintOemUI* plugin, Sheet sheet, PROPSHEETUI_INFO* info, LPARAM lParam) {
  return sheet == Sheet::kDocument ? plugin->DocumentPropertySheets(info, lParam)
                                   : plugin->DevicePropertySheets(info, lParam);
}

// The pages the plug-in adds on initialisation, as the host received them.
std::vector<PROPSHEETPAGEW> PagesFor(IPrintOemUI* plugin, Sheet sheet) {
  FakeSheetHost host;
  PROPSHEETUI_INFO info = host.Info(PROPSHEETUI_REASON_INIT);
  std::vector<PROPSHEETPAGEW> pages;
  if (FAILED(CallSheets(plugin, sheet, &info, 0))) return pages;
  for (const auto& added : host.pages) pages.push_back(added.page);
  return pages;
}

std::wstring DialogText(HWND dialog, int id) {
  HWND control = ::GetDlgItem(dialog, id);
  if (!control) return L"<missing>";
  const int n = ::GetWindowTextLengthW(control);
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  ::GetWindowTextW(control, &text[0], n + 1);
  text.resize(static_cast<size_t>(n));
  return text;
}

// Clicks a button as the mouse does: the page gets BN_CLICKED.
void Click(HWND dialog, int id) {
  if (HWND button = ::GetDlgItem(dialog, id)) ::SendMessageW(button, BM_CLICK, 0, 0);
}

void SavePicture(HWND window, const std::wstring& name) {
  if (!SaveBmp(CaptureScreen(window), name)) ADD_FAILURE() << "could not save " << w32::Narrow(name);
}

std::string ReadFile(const std::wstring& path) {
  std::ifstream in(w32::Narrow(path), std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::wstring TempFolder() {
  wchar_t buffer[MAX_PATH + 1] = {};
  const DWORD n = ::GetTempPathW(MAX_PATH + 1, buffer);
  return n > 0 && n <= MAX_PATH ? std::wstring(buffer, n) : std::wstring(L".\\");
}

// A fresh, unique file path for inkui2's start record, removed afterwards.
class StartRecord {
 public:
  StartRecord()
      : path_(w32::JoinPath(TempFolder(), w32::Format(L"scrivo-inkui2-%lu-%lu.txt",
                                                      ::GetCurrentProcessId(),
                                                      ::GetTickCount()))) {
    ::DeleteFileW(path_.c_str());
    ::SetEnvironmentVariableW(L"SCRIVO_INKUI2_RECORD", path_.c_str());
  }
  ~StartRecord() {
    ::SetEnvironmentVariableW(L"SCRIVO_INKUI2_RECORD", nullptr);
    ::DeleteFileW(path_.c_str());
  }
  std::string Text() const { return ReadFile(path_); }

 private:
  std::wstring path_;
};

// Closes the windows of the inkui2 process `pid` and waits for it to end; a
// process that does not end in time is stopped.
void CloseSettingsProgram(DWORD pid) {
  w32::KernelHandle process(::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid));
  if (!process) return;
  for (HWND window : testkit::FindTopLevelWindows({pid, L"ScrivoInkui2Window", L"", false}))
    ::PostMessageW(window, WM_CLOSE, 0, 0);
  if (::WaitForSingleObject(process.Get(), kWaitMs) != WAIT_OBJECT_0)
    ::TerminateProcess(process.Get(), 1);
}

// --- the protocol ---------------------------------------------------------

class DrvuiSheetProtocol : public ::testing::TestWithParam<Sheet> {
 protected:
  void SetUp() override {
    plugin_ = PluginLibrary::Built().CreatePlugin();
    ASSERT_TRUE(plugin_);
  }
  HRESULT Call(PROPSHEETUI_INFO* info, LPARAM lParam) {
    return CallSheets(plugin_.Get(), GetParam(), info, lParam);
  }
  w32::ComPtr<IPrintOemUI> plugin_;
};

TEST_P(DrvuiSheetProtocol, InitialisationAddsAdditionalThenAbout) {
  FakeSheetHost host;
  PROPSHEETUI_INFO info = host.Info(PROPSHEETUI_REASON_INIT);
  ASSERT_EQ(Call(&info, 0), S_OK);
  ASSERT_EQ(host.pages.size(), 2u);
  EXPECT_TRUE(host.otherFunctions.empty());
  const int templates[] = {kAdditionalTemplate, kAboutTemplate};
  for (size_t i = 0; i < 2; ++i) {
    const PROPSHEETPAGEW& page = host.pages[i].page;
    EXPECT_EQ(host.pages[i].declaredSize, 52u) << "page " << i;
    EXPECT_EQ(page.hInstance, PluginLibrary::Built().Module());
    EXPECT_EQ(page.pszTemplate, MAKEINTRESOURCEW(templates[i]));
    EXPECT_NE(page.pfnDlgProc, nullptr);
    if (GetParam() == Sheet::kDevice) {
      EXPECT_TRUE(page.dwFlags & PSP_USEFUSIONCONTEXT) << "device pages run in the plug-in's context";
      EXPECT_NE(page.hActCtx, nullptr);
    } else {
      EXPECT_FALSE(page.dwFlags & PSP_USEFUSIONCONTEXT) << "document pages use the host's context";
      EXPECT_EQ(page.hActCtx, nullptr);
    }
  }
  EXPECT_NE(host.pages[0].page.pfnDlgProc, host.pages[1].page.pfnDlgProc);
  EXPECT_EQ(info.Result, static_cast<ULONG_PTR>(FakeSheetHost::PageHandle(1)))
      << "the result is the second page's handle";
}

TEST_P(DrvuiSheetProtocol, AnswersTheOtherReasons) {
  FakeSheetHost host;
  PROPSHEETUI_INFO_HEADER header = {};
  header.cbSize = sizeof header;
  PROPSHEETUI_INFO info = host.Info(PROPSHEETUI_REASON_GET_INFO_HEADER);
  ASSERT_EQ(Call(&info, reinterpret_cast<LPARAM>(&header)), S_OK);
  ASSERT_NE(header.pTitle, nullptr);
  EXPECT_STREQ(header.pTitle, L"OEM UI Page");
  EXPECT_EQ(info.Result, 1u);

  info = host.Info(PROPSHEETUI_REASON_DESTROY);
  ASSERT_EQ(Call(&info, 0), S_OK);
  EXPECT_EQ(info.Result, 1u);

  SETRESULT_INFO setResult = {};
  setResult.cbSize = sizeof setResult;
  setResult.Result = CPSUI_OK;
  info = host.Info(PROPSHEETUI_REASON_SET_RESULT);
  ASSERT_EQ(Call(&info, reinterpret_cast<LPARAM>(&setResult)), S_OK);
  EXPECT_EQ(info.Result, static_cast<ULONG_PTR>(CPSUI_OK));

  info = host.Info(PROPSHEETUI_REASON_GET_ICON);
  ASSERT_EQ(Call(&info, 0x77), S_OK);
  EXPECT_EQ(info.Result, 0u);

  info = host.Info(9);  // a reason of a later host
  ASSERT_EQ(Call(&info, 0x1234), S_OK);
  EXPECT_EQ(info.Result, 0x1234u);
  EXPECT_TRUE(host.pages.empty());
}

TEST_P(DrvuiSheetProtocol, RejectsABadBlock) {
  auto lastErrorOf = [&](PROPSHEETUI_INFO* info, LPARAM lParam, HRESULT* hr) {
    ::SetLastError(0);
    *hr = Call(info, lParam);
    return ::GetLastError();
  };
  HRESULT hr = S_OK;
  EXPECT_EQ(lastErrorOf(nullptr, 0, &hr), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(hr, E_FAIL);

  FakeSheetHost host;
  PROPSHEETUI_INFO info = host.Info(PROPSHEETUI_REASON_INIT);
  info.Version = 0x0200;
  EXPECT_EQ(lastErrorOf(&info, 0, &hr), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(hr, E_FAIL);
  EXPECT_EQ(info.Result, 0xDEADu) << "no result for a refused block";
  EXPECT_TRUE(host.pages.empty());

  // Blocks the reason needs but the host did not give.
  info = host.Info(PROPSHEETUI_REASON_GET_INFO_HEADER);
  EXPECT_EQ(lastErrorOf(&info, 0, &hr), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(hr, E_FAIL);
  info = host.Info(PROPSHEETUI_REASON_SET_RESULT);
  EXPECT_EQ(lastErrorOf(&info, 0, &hr), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  info = host.Info(PROPSHEETUI_REASON_INIT);
  info.pfnComPropSheet = nullptr;
  EXPECT_EQ(lastErrorOf(&info, 0, &hr), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

INSTANTIATE_TEST_SUITE_P(BothSheets, DrvuiSheetProtocol,
                         ::testing::Values(Sheet::kDocument, Sheet::kDevice),
                         [](const ::testing::TestParamInfo<Sheet>& info) {
                           return info.param == Sheet::kDocument ? "Document" : "Device";
                         });

// --- the pages in a real sheet ---------------------------------------------

class DrvuiPages : public ::testing::TestWithParam<Sheet> {
 protected:
  void SetUp() override {
    plugin_ = PluginLibrary::Built().CreatePlugin();
    ASSERT_TRUE(plugin_);
    const std::vector<PROPSHEETPAGEW> pages = PagesFor(plugin_.Get(), GetParam());
    ASSERT_EQ(pages.size(), 2u);
    ASSERT_TRUE(sheet_.Show(pages, GetParam() == Sheet::kDocument ? L"Scrivo Printing Preferences"
                                                                  : L"Scrivo Properties"))
        << w32::Narrow(sheet_.Error());
    ASSERT_TRUE(sheet_.Select(0, kWaitMs));
  }
  void TearDown() override {
    for (DWORD pid : ownedPrograms_) CloseSettingsProgram(pid);
  }

  std::wstring PictureName(const wchar_t* page) const {
    return w32::Format(L"drvui-%s-%s.bmp", GetParam() == Sheet::kDocument ? L"document" : L"device",
                       page);
  }

  w32::ComPtr<IPrintOemUI> plugin_;
  ModelessSheet sheet_;
  std::vector<DWORD> ownedPrograms_;  // inkui2 processes this test started
};

TEST_P(DrvuiPages, AdditionalPageShowsItsTextAndButton) {
  HWND page = sheet_.Page(0);
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(DialogText(page, kAdditionalButton), L"Additional Properties...");
  bool hintFound = false;
  for (const testkit::Control& control : testkit::Controls(page)) {
    if (control.text ==
        L"Click on the Additional Properties button to set additional printer properties.")
      hintFound = true;
  }
  EXPECT_TRUE(hintFound);
  EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(page, kAdditionalButton)));

  sheet_.PumpFor(300);
  SavePicture(sheet_.Window(), PictureName(L"additional"));
}

TEST_P(DrvuiPages, AboutPageNamesTheProductAndTheMaker) {
  ASSERT_TRUE(sheet_.Select(1, kWaitMs));
  HWND page = sheet_.Page(1);
  EXPECT_EQ(DialogText(page, kAboutTitle), L"Scrivo");
  const std::wstring version = DialogText(page, kAboutVersion);
  EXPECT_EQ(version.rfind(L"Version 1.00\n\n", 0), 0u) << w32::Narrow(version);
  EXPECT_NE(version.find(L"Scrivo"), std::wstring::npos) << "the notice names the maker";
  const std::wstring address = DialogText(page, kAboutLink);
  EXPECT_NE(address.find(L"scrivo"), std::wstring::npos) << w32::Narrow(address);
  EXPECT_EQ(address.find(L"://"), std::wstring::npos) << "shown without its scheme";

  sheet_.PumpFor(300);
  SavePicture(sheet_.Window(), PictureName(L"about"));
}

TEST_P(DrvuiPages, AboutTitleIsAGrayBandWithWhiteText) {
  ASSERT_TRUE(sheet_.Select(1, kWaitMs));
  HWND title = ::GetDlgItem(sheet_.Page(1), kAboutTitle);
  ASSERT_NE(title, nullptr);
  const Picture band = PrintClient(title);
  ASSERT_GT(band.width, 40);
  ASSERT_GT(band.height, 4);
  const COLORREF gray = RGB(128, 128, 128);
  EXPECT_EQ(band.At(0, 0), gray);
  EXPECT_EQ(band.At(band.width - 1, band.height - 1), gray);
  EXPECT_EQ(band.At(4, band.height / 2), gray) << "the text starts 8 pixels in";
  // The text: white pixels, in the middle rows, starting at the indent.
  int firstWhite = -1, whiteRowsTop = band.height, whiteRowsBottom = -1;
  for (int y = 0; y < band.height; ++y) {
    for (int x = 0; x < band.width; ++x) {
      if (band.At(x, y) != RGB(255, 255, 255)) continue;
      if (firstWhite < 0 || x < firstWhite) firstWhite = x;
      whiteRowsTop = std::min(whiteRowsTop, y);
      whiteRowsBottom = std::max(whiteRowsBottom, y);
    }
  }
  ASSERT_GE(firstWhite, 0) << "no white text in the band";
  EXPECT_GE(firstWhite, 8);
  EXPECT_LE(firstWhite, 12);
  // Vertically centred: the gaps above and below the text differ by little.
  const int above = whiteRowsTop, below = band.height - 1 - whiteRowsBottom;
  EXPECT_LE(std::abs(above - below), 4) << "above " << above << ", below " << below;
}

TEST_P(DrvuiPages, AdditionalPropertiesStartsTheSettingsProgram) {
  StartRecord record;
  const std::wstring ourFolder = [] {
    wchar_t buffer[MAX_PATH + 1] = {};
    ::GetCurrentDirectoryW(MAX_PATH + 1, buffer);
    return std::wstring(buffer);
  }();

  Click(sheet_.Page(0), kAdditionalButton);
  ASSERT_TRUE(sheet_.PumpUntil([&] { return record.Text().find('\n') != std::string::npos; },
                               kWaitMs))
      << "inkui2.exe did not start";

  // started<TAB>process id<TAB>command line<TAB>current folder
  std::string line = record.Text();
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  std::vector<std::string> fields;
  for (size_t start = 0;;) {
    const size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string::npos ? tab : tab - start));
    if (tab == std::string::npos) break;
    start = tab + 1;
  }
  ASSERT_EQ(fields.size(), 4u) << line;
  EXPECT_EQ(fields[0], "started");
  const DWORD pid = std::strtoul(fields[1].c_str(), nullptr, 10);
  ownedPrograms_.push_back(pid);

  std::string commandLine = fields[2];
  if (commandLine.size() >= 2 && commandLine.front() == '"' && commandLine.back() == '"')
    commandLine = commandLine.substr(1, commandLine.size() - 2);
  const std::string expected =
      w32::Narrow(w32::JoinPath(w32::ModuleFolder(PluginLibrary::Built().Module()), L"inkui2.exe"),
                  CP_UTF8);
  EXPECT_EQ(::lstrcmpiA(commandLine.c_str(), expected.c_str()), 0)
      << "started as '" << commandLine << "', expected the program beside the plug-in, no arguments";
  EXPECT_EQ(::lstrcmpiA(fields[3].c_str(), w32::Narrow(ourFolder, CP_UTF8).c_str()), 0)
      << "the program runs in the caller's folder";

  HWND window = nullptr;
  ASSERT_TRUE(sheet_.PumpUntil(
      [&] { return (window = testkit::FindTopLevelWindow({pid, L"ScrivoInkui2Window", L"", true})); },
      kWaitMs))
      << "inkui2.exe shows no window";
  EXPECT_EQ(testkit::WindowText(window), L"Scrivo Settings");
}

INSTANTIATE_TEST_SUITE_P(BothSheets, DrvuiPages,
                         ::testing::Values(Sheet::kDocument, Sheet::kDevice),
                         [](const ::testing::TestParamInfo<Sheet>& info) {
                           return info.param == Sheet::kDocument ? "Document" : "Device";
                         });

// --- a plug-in installed without the settings program ------------------------

// A copy of the plug-in in a folder of its own, without inkui2.exe beside it.
class LonelyPluginCopy {
 public:
  LonelyPluginCopy()
      : folder_(w32::JoinPath(TempFolder(), w32::Format(L"scrivo-drvui-%lu-%lu",
                                                        ::GetCurrentProcessId(),
                                                        ::GetTickCount()))),
        path_(w32::JoinPath(folder_, L"inkdrvui.dll")) {
    ::CreateDirectoryW(folder_.c_str(), nullptr);
    copied_ = ::CopyFileW(w32::ModulePath(PluginLibrary::Built().Module()).c_str(), path_.c_str(),
                          FALSE) != FALSE;
    if (copied_) library_ = std::make_unique<PluginLibrary>(path_);
  }
  ~LonelyPluginCopy() {
    library_.reset();
    ::DeleteFileW(path_.c_str());
    ::RemoveDirectoryW(folder_.c_str());
  }
  PluginLibrary* Library() const { return library_.get(); }

 private:
  std::wstring folder_, path_;
  bool copied_ = false;
  std::unique_ptr<PluginLibrary> library_;
};

TEST(DrvuiLonelyPlugin, AdditionalPropertiesDoesNothingVisibleWithoutTheProgram) {
  LonelyPluginCopy copy;
  ASSERT_NE(copy.Library(), nullptr);
  ASSERT_TRUE(copy.Library()->Loaded());
  ASSERT_NE(copy.Library()->Module(), PluginLibrary::Built().Module())
      << "the copy must be a module of its own";
  StartRecord record;
  {
    w32::ComPtr<IPrintOemUI> plugin = copy.Library()->CreatePlugin();
    ASSERT_TRUE(plugin);
    ModelessSheet sheet;
    ASSERT_TRUE(sheet.Show(PagesFor(plugin.Get(), Sheet::kDocument), L"Scrivo Printing Preferences"));
    ASSERT_TRUE(sheet.Select(0, kWaitMs));
    Click(sheet.Page(0), kAdditionalButton);
    // Nothing is to appear; give it time to show up if it wrongly did.
    sheet.PumpFor(1500);
    EXPECT_TRUE(record.Text().empty()) << "something started: " << record.Text();
    for (HWND window : testkit::FindTopLevelWindows({::GetCurrentProcessId(), L"", L"", true}))
      EXPECT_EQ(window, sheet.Window()) << "unexpected window '"
                                        << w32::Narrow(testkit::WindowText(window)) << "'";
    EXPECT_TRUE(::IsWindow(sheet.Window()));
  }
  EXPECT_EQ(copy.Library()->CanUnloadNow(), S_OK);
}

}  // namespace
}  // namespace drvui_test
