#include "mainwnd/main_dlg.h"

#include <commdlg.h>
#include <objbase.h>
#include <shellapi.h>

#include <vector>

#include "Tessera_h.h"
#include "jobfile/driver_info_parser.h"
#include "log/trace.h"
#include "resources/resource_ids.h"
#include "w32/bstr.h"
#include "w32/com_ptr.h"
#include "w32/strings.h"

namespace {

constexpr int kNarrower = 100;        // the window and its buttons move left by this
constexpr int kBottomStrip = 40;      // below the preview
const char kUntitled[] = "Untitled document";

void LogPair(const char* prefix, const std::string& value) {
  if (TraceOn()) LogInfoF("%s - %s", prefix, value.c_str());
}

}  // namespace

CMainDlg::CMainDlg(std::string jobPath, std::string appFolder, w32::MessageLoop* loop,
                   std::unique_ptr<IUiTexts> texts)
    : jobPath_(std::move(jobPath)),
      appFolder_(std::move(appFolder)),
      loop_(loop),
      texts_(texts ? std::move(texts) : MakeUiTexts()),
      finishedMessage_(ConversionFinishedMessage()) {}

CMainDlg::~CMainDlg() {
  if (loop_) {
    loop_->RemoveMessageFilter(this);
    loop_->RemoveIdleHandler(this);
  }
  converter_.reset();
}

HWND CMainDlg::Create(HINSTANCE instance) {
  instance_ = instance;
  return Dialog::Create(instance, IDD_MAINDLG, nullptr);
}

std::string CMainDlg::SafeDocumentName(const std::string& name) {
  return name.find_first_of(":*?\"/<>|") == std::string::npos ? name : std::string(kUntitled);
}

std::string CMainDlg::DefaultFileName(const std::string& documentName) {
  const size_t slash = documentName.find_last_of('\\');
  const size_t dot = documentName.find_last_of('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
    return documentName.substr(0, dot);
  return documentName;
}

bool CMainDlg::FileInUse(const std::wstring& path) {
  HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    ::CloseHandle(file);
    return false;
  }
  return ::GetLastError() == ERROR_SHARING_VIOLATION;
}

bool CMainDlg::PreTranslateMessage(MSG& message) {
  if (!Handle()) return false;
  if (message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST &&
      w32::TranslateAcceleratorFor(Handle(), accelerators_.Get(), message))
    return true;
  return ::IsDialogMessageW(Handle(), &message) != 0;
}

int CMainDlg::Ask(const wchar_t* text, const wchar_t* caption, UINT flags) {
  return ::MessageBoxW(Handle(), text, caption, flags);
}

void CMainDlg::BringToFront() {
  const DWORD self = ::GetCurrentThreadId();
  HWND foreground = ::GetForegroundWindow();
  const DWORD other = foreground ? ::GetWindowThreadProcessId(foreground, nullptr) : 0;
  const bool attached = other && other != self && ::AttachThreadInput(self, other, TRUE);
  ::SetForegroundWindow(Handle());
  ::SetFocus(Handle());
  if (attached) ::AttachThreadInput(self, other, FALSE);
}

void CMainDlg::LayoutPreview() {
  if (!preview_.Handle()) return;
  RECT client{};
  ::GetClientRect(Handle(), &client);
  const int height = client.bottom - kBottomStrip;
  ::SetWindowPos(preview_.Handle(), nullptr, 0, 0, client.right, height > 0 ? height : 0,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  preview_.Layout();
}

LRESULT CMainDlg::OnInitDialog(UINT, WPARAM, LPARAM, bool&) {
  // 1, 2: to the front, 100 pixels narrower, centred.
  BringToFront();
  RECT rc{};
  ::GetWindowRect(Handle(), &rc);
  ::SetWindowPos(Handle(), nullptr, 0, 0, rc.right - rc.left - kNarrower, rc.bottom - rc.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  CenterWindow(::GetDesktopWindow());

  // 3: caption and icons.
  ::SetWindowTextW(Handle(), L"Inkwell 1.4");
  bigIcon_.Reset(static_cast<HICON>(::LoadImageW(instance_, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                                                 ::GetSystemMetrics(SM_CXICON),
                                                 ::GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR)));
  smallIcon_.Reset(static_cast<HICON>(::LoadImageW(instance_, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                                                   ::GetSystemMetrics(SM_CXSMICON),
                                                   ::GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR)));
  ::SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.Get()));
  ::SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.Get()));

  // 4: the preview in place of its placeholder.
  ::DestroyWindow(Item(IDC_PREVIEW_FRAME));
  preview_.SetJobPath(jobPath_);
  if (preview_.Create(instance_, Handle())) {
    preview_.Build();
    LayoutPreview();
    ::ShowWindow(preview_.Handle(), SW_SHOWNA);
  }

  // 5: the profile list is not used.
  if (HWND list = Item(IDC_PROFILE_LIST)) {
    ::ShowWindow(list, SW_HIDE);
    ::EnableWindow(list, FALSE);
    ::DestroyWindow(list);
  }

  // 6: buttons 1 and 1007 move left with the narrower window.
  for (int id : {IDC_SAVE_PDF, IDC_INFO}) {
    HWND button = Item(id);
    RECT br{};
    ::GetWindowRect(button, &br);
    ::MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&br), 2);
    ::SetWindowPos(button, nullptr, br.left - kNarrower, br.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  // 7: pictures, captions, owner drawing.
  saveButton_.LoadBitmap(instance_, IDB_SAVE_BUTTON);
  ::ShowWindow(Item(IDC_ADJUST_SETTINGS), SW_HIDE);
  ::SetWindowTextW(Item(IDC_INFO), L"Info        ");
  ::ShowWindow(Item(IDC_SAVE_PDF), SW_HIDE);
  saveButton_.Attach(Item(IDC_SAVE_PDF));
  settingsButton_.Attach(Item(IDC_ADJUST_SETTINGS));
  infoButton_.Attach(Item(IDC_INFO));

  // 8: the language's captions.
  if (texts_->Active()) {
    ::SetWindowTextW(Item(IDC_ADJUST_SETTINGS), w32::Widen(texts_->Text("PDF_OPTIONS")).c_str());
    ::SetWindowTextW(Item(IDC_INFO), w32::Widen(texts_->Text("CANCEL")).c_str());
    ::SetWindowTextW(Item(IDC_SAVE_PDF), w32::Widen(texts_->Text("SAVE_PROFILE")).c_str());
  }

  // 9: keys, message filter, idle handler.
  accelerators_.Reset(::LoadAcceleratorsW(instance_, MAKEINTRESOURCEW(IDR_MAINFRAME)));
  if (loop_) {
    loop_->AddMessageFilter(this);
    loop_->AddIdleHandler(this);
  }

  // 10: resizing rules: what the buttons keep, the smallest size.
  RECT client{};
  ::GetClientRect(Handle(), &client);
  const int ids[3] = {IDC_SAVE_PDF, IDC_INFO, IDC_ADJUST_SETTINGS};
  for (int i = 0; i < 3; ++i) {
    RECT br{};
    ::GetWindowRect(Item(ids[i]), &br);
    ::MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&br), 2);
    const bool right = ids[i] != IDC_ADJUST_SETTINGS;
    anchors_[i] = Anchor{ids[i], right,
                         POINT{right ? client.right - br.left : br.left, client.bottom - br.top}};
  }
  ::GetWindowRect(Handle(), &rc);
  minimumSize_ = SIZE{rc.right - rc.left, rc.bottom - rc.top};
  ::SetWindowLongW(Handle(), GWL_STYLE, ::GetWindowLongW(Handle(), GWL_STYLE) | WS_CLIPCHILDREN);
  return TRUE;
}

LRESULT CMainDlg::OnSize(UINT, WPARAM, LPARAM, bool&) {
  if (minimumSize_.cx == 0) return 0;  // before the rules are set up
  RECT client{};
  ::GetClientRect(Handle(), &client);
  for (const Anchor& a : anchors_) {
    HWND button = Item(a.id);
    if (!button) continue;
    const int x = a.right ? client.right - a.offset.x : a.offset.x;
    ::SetWindowPos(button, nullptr, x, client.bottom - a.offset.y, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  LayoutPreview();
  ::InvalidateRect(Handle(), nullptr, TRUE);
  return 0;
}

LRESULT CMainDlg::OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, bool&) {
  auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
  if (minimumSize_.cx > 0) {
    info->ptMinTrackSize.x = minimumSize_.cx;
    info->ptMinTrackSize.y = minimumSize_.cy;
  }
  return 0;
}

LRESULT CMainDlg::OnDrawItem(UINT, WPARAM, LPARAM lParam, bool& handled) {
  if (CXPButtonCtrl::ReflectDrawItem(lParam)) return TRUE;
  handled = false;
  return 0;
}

bool CMainDlg::AskTargetPath(const std::string& defaultName, std::string& path) {
  std::vector<wchar_t> buffer(260, L'\0');
  const std::wstring name = w32::Widen(defaultName);
  lstrcpynW(buffer.data(), name.c_str(), static_cast<int>(buffer.size()));
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = Handle();
  ofn.lpstrFilter = L"PDF file (*.pdf)\0*.pdf\0\0";
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer.size());
  ofn.lpstrDefExt = L"pdf";
  ofn.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_EXPLORER | OFN_ENABLESIZING;
  if (!::GetSaveFileNameW(&ofn)) return false;
  path = w32::Narrow(buffer.data());
  return true;
}

LRESULT CMainDlg::OnSave(WORD, WORD, HWND, bool&) {
  // 1, 2: the document name from the job.
  {
    CDriverInfoParser parser(jobPath_);
    if (parser.Parse() && parser.Info()) {
      documentName_ = SafeDocumentName(parser.Info()->documentName);
    } else {
      Ask(L"Cannot parse printer job", L"Warning", MB_OK | MB_ICONINFORMATION);
    }
  }
  LogPair("Document name is ", documentName_);

  // 3, 4, 5: the target.
  std::string target;
  if (!AskTargetPath(DefaultFileName(documentName_), target)) return 0;
  targetPath_ = target;
  LogPair("Target document name is ", targetPath_);

  // 6: a file another program holds open cannot be written.
  if (FileInUse(w32::Widen(targetPath_))) {
    Ask(L"The file is already opened by another application,please select another file name",
        L"Warning", MB_OK | MB_ICONINFORMATION);
    return 0;
  }
  StartConversion();
  return 0;
}

bool CMainDlg::StartConversion() {
  // 7, 8.
  converter_.reset();
  ::SetCurrentDirectoryW(w32::Widen(appFolder_).c_str());

  // 9: the options object.
  w32::ComPtr<ITessera> options;
  CLSID clsid{};
  if (FAILED(::CLSIDFromProgID(L"Tessera", &clsid)) ||
      FAILED(::CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_ITessera, options.PutVoid())) ||
      !options) {
    ::MessageBoxW(nullptr, L"Cannot connect to ITessera !", L"Printer", MB_OK | MB_ICONINFORMATION);
    if (TraceOn()) LogError("Cannot connect to ITessera !");
    return false;
  }

  // 10, 12: the target chosen here (the save dialog has asked about
  // overwriting), and the watermark settings. A value the object refuses
  // or cannot give stops the save: nothing is written, the window stays.
  SaveOptions settings;
  std::string failed;
  if (!ExchangeSaveOptions(*options.Get(), targetPath_, settings, failed)) {
    options.Reset();
    const std::string text = "Cannot read the PDF options (" + failed +
                             "). The PDF is not written; check the settings and save again.";
    Ask(w32::Widen(text).c_str(), L"Warning", MB_OK | MB_ICONINFORMATION);
    if (TraceOn()) LogError(text.c_str());
    return false;
  }
  options.Reset();  // writes the settings for the job's own instance

  // 11: the job, with the watermark settings.
  converter_ = std::make_unique<CEmfToPdfConverter>(jobPath_, Handle());
  converter_->putWatermarks = settings.putWatermarks;
  converter_->firstPageSeparate = settings.firstPageSeparate;
  converter_->watermarkOnTop = settings.watermarkOnTop;
  converter_->watermarkPortrait = settings.portrait;
  converter_->watermarkLandscape = settings.landscape;
  converter_->watermarkFirstPortrait = settings.firstPortrait;
  converter_->watermarkFirstLandscape = settings.firstLandscape;

  // 13, 14.
  converter_->workingFolder = appFolder_;
  converter_->askToOpen = 1;
  if (texts_->Active()) {
    converter_->progress.caption = texts_->Text("PROGRESS_DLG_CAPTION");
    converter_->progress.statusText = texts_->Text("PREPARING_DOCUMENT");
    converter_->questionText = texts_->Text("OPEN_PDF_DOCUMENT_QUESTION");
    converter_->questionCaption = texts_->Text("QUESTION");
    converter_->progress.cancelText = texts_->Text("CANCEL");
  }

  // 15.
  if (TraceOn()) LogInfo("Now starting print.");
  return converter_->Start();
}

LRESULT CMainDlg::OnCancel(WORD, WORD, HWND, bool&) {
  if (tornDown_) return 0;
  if (Ask(L"Would you like to cancel printing ?", L"Question", MB_YESNO | MB_ICONINFORMATION) !=
      IDYES)
    return 0;
  if (TraceOn()) {
    LogInfo("Job is cancelled by user.");
    LogInfo("Job is cancelled.");
  }
  // A running conversion ends first, so that it no longer reads the files.
  converter_.reset();
  CDriverInfoParser parser(jobPath_);
  if (parser.Parse() && parser.Info()) {
    for (const std::string& page : parser.Info()->pageFiles) ::DeleteFileA(page.c_str());
    parser.Reset();
    ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, jobPath_.c_str());
    ::DeleteFileA(jobPath_.c_str());
  }
  Teardown(2);
  return 0;
}

LRESULT CMainDlg::OnConversionFinished(UINT, WPARAM, LPARAM, bool&) {
  if (TraceOn()) LogInfo("Printing complete.");
  if (converter_) {
    DWORD code = 0;
    if (converter_->ThreadHandle() && ::GetExitCodeThread(converter_->ThreadHandle(), &code) &&
        code == STILL_ACTIVE)
      converter_->Stop();
    converter_.reset();
  }
  ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, jobPath_.c_str());
  ::DeleteFileA(jobPath_.c_str());
  Teardown(1);
  return 0;
}

std::wstring CMainDlg::HelpProgram() {
  std::vector<wchar_t> windows(MAX_PATH + 1, L'\0');
  const UINT n = ::GetWindowsDirectoryW(windows.data(), static_cast<UINT>(windows.size()));
  if (n == 0 || n >= windows.size()) return L"hh.exe";
  return std::wstring(windows.data(), n) + L"\\hh.exe";
}

std::wstring CMainDlg::HelpParameters(const std::string& appFolder) {
  return L"\"" + w32::Widen(appFolder) + L"help.chm::Other.htm\"";
}

std::wstring CMainDlg::SettingsParameters(HWND window) {
  return w32::Format(L"%s%d", L"-s -o -c InkwellPrinter -h",
                     static_cast<int>(reinterpret_cast<INT_PTR>(window)));
}

LRESULT CMainDlg::OnHelp(WORD, WORD, HWND, bool&) {
  ::ShellExecuteW(Handle(), L"open", HelpProgram().c_str(), HelpParameters(appFolder_).c_str(),
                  nullptr, SW_SHOWNORMAL);
  return 0;
}

LRESULT CMainDlg::OnAdjustSettings(WORD, WORD, HWND, bool&) {
  ::ShellExecuteW(Handle(), L"open", L"inksetman.exe", SettingsParameters(Handle()).c_str(),
                  w32::Widen(appFolder_).c_str(), SW_SHOWNORMAL);
  return 0;
}

void CMainDlg::Teardown(int exitCode) {
  if (tornDown_) return;
  tornDown_ = true;
  exitCode_ = exitCode;
  converter_.reset();
  preview_.DestroyWindow();
  if (loop_) {
    loop_->RemoveMessageFilter(this);
    loop_->RemoveIdleHandler(this);
  }
  DestroyWindow();
  bigIcon_.Reset();
  smallIcon_.Reset();
  ::PostQuitMessage(exitCode);
}
