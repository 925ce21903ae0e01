#include "progress/progress_dlg.h"

#include <cstring>

#include "log/trace.h"
#include "w32/strings.h"
#include "w32/unique_handle.h"

UINT ProgressUpdateMessage() {
  static const UINT message = ::RegisterWindowMessageW(L"C4179363-A04E-4209-9DBD-E117B6E9C002");
  return message;
}

namespace {

// Appends the parts of an in-memory dialog template.
class TemplateWriter {
 public:
  void Align4() {
    while (bytes_.size() % 4) bytes_.push_back(0);
  }
  void Word(WORD w) { Raw(&w, sizeof(w)); }
  void Dword(DWORD d) { Raw(&d, sizeof(d)); }
  void Text(const std::wstring& s) {
    Raw(s.c_str(), (s.size() + 1) * sizeof(wchar_t));
  }
  void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD classAtom,
            const std::wstring& text) {
    Align4();
    Dword(style);
    Dword(0);  // extended style
    Word(x);
    Word(y);
    Word(cx);
    Word(cy);
    Word(id);
    Word(0xFFFF);
    Word(classAtom);
    Text(text);
    Word(0);  // no creation data
  }
  std::vector<BYTE>& Bytes() { return bytes_; }

 private:
  void Raw(const void* p, size_t n) {
    const BYTE* b = static_cast<const BYTE*>(p);
    bytes_.insert(bytes_.end(), b, b + n);
  }
  std::vector<BYTE> bytes_;
};

constexpr WORD kButtonAtom = 0x0080;
constexpr WORD kStaticAtom = 0x0082;
constexpr size_t kTemplateBlockBytes = 1024;

}  // namespace

std::vector<BYTE> CProgressDlg::BuildTemplate(const std::wstring& caption,
                                              const std::wstring& status) {
  TemplateWriter w;
  w.Dword(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);
  w.Dword(0);  // extended style
  w.Word(3);   // items
  w.Word(10);
  w.Word(10);
  w.Word(140);
  w.Word(60);
  w.Word(0);  // no menu
  w.Word(0);  // default dialog class
  w.Text(caption);
  w.Item(WS_CHILD | WS_VISIBLE, 3, 24, 134, 8, kIdProgressBar, kStaticAtom, L"");
  w.Item(WS_CHILD | WS_VISIBLE, 3, 3, 134, 8, kIdStatusText, kStaticAtom, status);
  w.Item(WS_CHILD | WS_VISIBLE | WS_TABSTOP, 100, 46, 38, 12, IDCANCEL, kButtonAtom, L"Cancel");
  return std::move(w.Bytes());
}

CProgressDlg::CProgressDlg() : font_(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT))) {
  LogInfo("-=CPD=- ()");
}

CProgressDlg::~CProgressDlg() {
  LogInfo("-=CPD=- ~");
  bar_.UnsubclassWindow();
}

INT_PTR CProgressDlg::DoModal() {
  const std::vector<BYTE> bytes = BuildTemplate(w32::Widen(caption_), w32::Widen(status_));
  // The usual block is 1024 bytes; long texts get a larger one rather than
  // running past its end.
  const size_t size = bytes.size() > kTemplateBlockBytes ? bytes.size() : kTemplateBlockBytes;
  w32::GlobalMem block(::GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, size));
  if (!block) return -1;
  void* p = ::GlobalLock(block.Get());
  std::memcpy(p, bytes.data(), bytes.size());
  const INT_PTR result = ::DialogBoxIndirectParamW(
      ::GetModuleHandleW(nullptr), static_cast<LPCDLGTEMPLATEW>(p), owner_, &DialogProc,
      reinterpret_cast<LPARAM>(this));
  ::GlobalUnlock(block.Get());
  return result;
}

void CProgressDlg::PostEnd() {
  const HWND w = window_.load();
  if (w) ::PostMessageW(w, kEndProgressDialogMessage, 0, 0);
}

INT_PTR CALLBACK CProgressDlg::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  CProgressDlg* self;
  if (msg == WM_INITDIALOG) {
    self = reinterpret_cast<CProgressDlg*>(lp);
    ::SetWindowLongPtrW(hwnd, DWLP_USER, lp);
    self->window_ = hwnd;
  } else {
    self = reinterpret_cast<CProgressDlg*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
  }
  if (!self) return FALSE;
  try {
    return self->OnMessage(msg, wp, lp);
  } catch (...) {
    return FALSE;  // nothing may cross back into the dialog manager
  }
}

void CProgressDlg::OnInitDialog() {
  const HWND hwnd = window_.load();
  // Centre over the owner (or the screen's work area without one).
  RECT area = {}, me = {};
  if (!owner_ || !::GetWindowRect(owner_, &area))
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  ::GetWindowRect(hwnd, &me);
  const int w = me.right - me.left, h = me.bottom - me.top;
  ::SetWindowPos(hwnd, nullptr, area.left + ((area.right - area.left) - w) / 2,
                 area.top + ((area.bottom - area.top) - h) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  // The title is the product's, whatever caption text the job gave.
  ::SetWindowTextW(hwnd, L"Inkwell 1.4");
  ::SetDlgItemTextW(hwnd, kIdStatusText, w32::Widen(status_).c_str());
  ::SendDlgItemMessageW(hwnd, IDCANCEL, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  ::SendDlgItemMessageW(hwnd, kIdStatusText, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  if (!cancelText_.empty()) ::SetDlgItemTextW(hwnd, IDCANCEL, w32::Widen(cancelText_).c_str());
  bar_.SubclassWindow(::GetDlgItem(hwnd, kIdProgressBar));
  LogInfo("-=CPD=- OnInit");
}

void CProgressDlg::OnCancel(HWND from) {
  const HWND hwnd = window_.load();
  LogInfoF("%s, my window is %d, command from %d,CB is %d", "-=CPD=- CancelWork()",
           static_cast<int>(reinterpret_cast<INT_PTR>(hwnd)),
           static_cast<int>(reinterpret_cast<INT_PTR>(from)),
           static_cast<int>(reinterpret_cast<INT_PTR>(::GetDlgItem(hwnd, IDCANCEL))));
  if (cancelTarget_) cancelTarget_->CancelWork();
  bar_.DestroyWindow();
  ::EndDialog(hwnd, 0);
}

INT_PTR CProgressDlg::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_INITDIALOG:
      OnInitDialog();
      return TRUE;
    case WM_CTLCOLORDLG:
      // The first request for the background colour is the first painting:
      // the dialog is on the screen now.
      if (!created_.load()) {
        LogInfo("-=CPD=- OnCreate");
        created_ = true;
        if (dialogCreated_) ::SetEvent(dialogCreated_);
      }
      return FALSE;
    case WM_COMMAND:
      if (LOWORD(wp) == IDCANCEL) {
        OnCancel(reinterpret_cast<HWND>(lp));
        return TRUE;
      }
      return FALSE;
    case kEndProgressDialogMessage:
      ::EndDialog(window_.load(), 0);
      return TRUE;
    case WM_NCDESTROY:
      bar_.UnsubclassWindow();
      window_ = nullptr;
      return FALSE;
    default:
      if (msg == ProgressUpdateMessage()) {
        bar_.SetPos(static_cast<int>(lp));
        return TRUE;
      }
      return FALSE;
  }
}
