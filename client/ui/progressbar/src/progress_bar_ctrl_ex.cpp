#include "progressbar/progress_bar_ctrl_ex.h"

#include <commctrl.h>

#include "w32/strings.h"
#include "w32/unique_handle.h"

namespace {
constexpr UINT_PTR kSubclassId = 0x5043;  // "PC"

COLORREF Resolve(COLORREF chosen, int systemColor) {
  return chosen == CProgressBarCtrlEx::kAutomatic ? ::GetSysColor(systemColor) : chosen;
}
}  // namespace

CProgressBarCtrlEx::~CProgressBarCtrlEx() { UnsubclassWindow(); }

bool CProgressBarCtrlEx::SubclassWindow(HWND window) {
  if (window_ || !::IsWindow(window)) return false;
  if (!::SetWindowSubclass(window, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this)))
    return false;
  window_ = window;
  filledWidth_ = FilledWidth();
  ::InvalidateRect(window_, nullptr, TRUE);
  return true;
}

void CProgressBarCtrlEx::UnsubclassWindow() {
  if (window_ && ::IsWindow(window_)) ::RemoveWindowSubclass(window_, SubclassProc, kSubclassId);
  window_ = nullptr;
}

void CProgressBarCtrlEx::DestroyWindow() {
  if (window_ && ::IsWindow(window_)) ::DestroyWindow(window_);  // WM_NCDESTROY unsubclasses
  window_ = nullptr;
}

int CProgressBarCtrlEx::ClientWidth() const {
  RECT rc = {};
  if (window_) ::GetClientRect(window_, &rc);
  return rc.right - rc.left;
}

int CProgressBarCtrlEx::WidthFor(int position, int clientWidth) const {
  if (max_ <= min_) return 0;
  const double ratio = static_cast<double>(position - min_) / (max_ - min_);
  return static_cast<int>(ratio * clientWidth);
}

int CProgressBarCtrlEx::FilledWidth() const { return WidthFor(pos_, ClientWidth()); }

void CProgressBarCtrlEx::Repaint() {
  ++repaints_;
  if (window_) ::InvalidateRect(window_, nullptr, FALSE);
}

void CProgressBarCtrlEx::SetRange(int minimum, int maximum) {
  min_ = minimum;
  max_ = maximum;
  filledWidth_ = FilledWidth();
  Repaint();
}

void CProgressBarCtrlEx::SetPos(int position) {
  pos_ = position;
  const int width = FilledWidth();
  if (width != filledWidth_) {
    filledWidth_ = width;
    Repaint();
  }
}

void CProgressBarCtrlEx::SetBarColor(COLORREF c) { barColor_ = c; Repaint(); }
void CProgressBarCtrlEx::SetBkColor(COLORREF c) { bkColor_ = c; Repaint(); }
void CProgressBarCtrlEx::SetTextColor(COLORREF c) { textColor_ = c; Repaint(); }
void CProgressBarCtrlEx::SetText(const std::wstring& text) { text_ = text; Repaint(); }
void CProgressBarCtrlEx::SetShowText(bool show) { showText_ = show; Repaint(); }

std::wstring CProgressBarCtrlEx::DisplayText() const {
  if (!text_.empty()) return text_;
  if (max_ <= min_) return L"";
  const double ratio = static_cast<double>(pos_ - min_) / (max_ - min_);
  return w32::Format(L"%d%%", static_cast<int>(ratio * 100));
}

void CProgressBarCtrlEx::Paint(HDC dc) const {
  if (!window_ || max_ <= min_) return;
  RECT client = {};
  ::GetClientRect(window_, &client);
  const COLORREF bar = Resolve(barColor_, COLOR_HIGHLIGHT);
  const COLORREF back = Resolve(bkColor_, COLOR_WINDOW);
  RECT filled = client;
  filled.right = client.left + WidthFor(pos_, client.right - client.left);
  RECT rest = client;
  rest.left = filled.right;

  w32::GdiObject barBrush(::CreateSolidBrush(bar));
  w32::GdiObject backBrush(::CreateSolidBrush(back));
  ::FillRect(dc, &filled, static_cast<HBRUSH>(barBrush.Get()));
  ::FillRect(dc, &rest, static_cast<HBRUSH>(backBrush.Get()));

  if (showText_) {
    const std::wstring text = DisplayText();
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(::GetParent(window_), WM_GETFONT, 0, 0));
    HGDIOBJ oldFont = font ? ::SelectObject(dc, font) : nullptr;
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    const UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
    // Drawn twice, each time clipped to one part, so the text stays readable
    // over both colours.
    const RECT* parts[] = {&filled, &rest};
    const COLORREF colors[] = {back, bar};
    for (int i = 0; i < 2; ++i) {
      const int saved = ::SaveDC(dc);
      ::IntersectClipRect(dc, parts[i]->left, parts[i]->top, parts[i]->right, parts[i]->bottom);
      ::SetTextColor(dc, textColor_ == kAutomatic ? colors[i] : textColor_);
      RECT r = client;
      ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
      ::RestoreDC(dc, saved);
    }
    ::SetBkMode(dc, oldMode);
    if (oldFont) ::SelectObject(dc, oldFont);
  }

  // One-pixel sunken border.
  w32::GdiObject shadow(::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW)));
  w32::GdiObject light(::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNHIGHLIGHT)));
  HGDIOBJ oldPen = ::SelectObject(dc, shadow.Get());
  ::MoveToEx(dc, client.left, client.bottom - 1, nullptr);
  ::LineTo(dc, client.left, client.top);
  ::LineTo(dc, client.right - 1, client.top);
  ::SelectObject(dc, light.Get());
  ::LineTo(dc, client.right - 1, client.bottom - 1);
  ::LineTo(dc, client.left, client.bottom - 1);
  ::SelectObject(dc, oldPen);
}

LRESULT CProgressBarCtrlEx::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = ::BeginPaint(window_, &ps);
      Paint(dc);
      ::EndPaint(window_, &ps);
      return 0;
    }
    case WM_PRINTCLIENT:
      Paint(reinterpret_cast<HDC>(wp));
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_SIZE:
      filledWidth_ = FilledWidth();
      ::InvalidateRect(window_, nullptr, FALSE);
      break;
    case PBM_SETRANGE32:
      SetRange(static_cast<int>(wp), static_cast<int>(lp));
      return 0;
    case PBM_SETPOS: {
      const int old = pos_;
      SetPos(static_cast<int>(wp));
      return old;
    }
    case PBM_GETPOS:
      return pos_;
    case PBM_STEPIT: {
      const int old = pos_;
      StepIt();
      return old;
    }
    default:
      break;
  }
  return ::DefSubclassProc(window_, msg, wp, lp);
}

LRESULT CALLBACK CProgressBarCtrlEx::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp,
                                                  UINT_PTR, DWORD_PTR ref) {
  auto* self = reinterpret_cast<CProgressBarCtrlEx*>(ref);
  if (msg == WM_NCDESTROY) {
    ::RemoveWindowSubclass(hwnd, SubclassProc, kSubclassId);
    if (self) self->window_ = nullptr;
    return ::DefSubclassProc(hwnd, msg, wp, lp);
  }
  if (!self || self->window_ != hwnd) return ::DefSubclassProc(hwnd, msg, wp, lp);
  return self->OnMessage(msg, wp, lp);
}
