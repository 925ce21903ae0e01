#include "controls/balloon_help.h"

#include <shellapi.h>

#include "w32/paint.h"

namespace {

constexpr int kTailHeight = 14;
constexpr int kTailWidth = 16;
constexpr int kMargin = 10;
constexpr int kCorner = 10;
constexpr int kIconSize = 16;
constexpr UINT_PTR kTimeoutTimer = 1;

thread_local CBalloonHelp* currentBalloon = nullptr;

SIZE TextSize(HDC dc, HFONT font, const std::wstring& text) {
  w32::SelectScope keep(dc, font);
  RECT rc{0, 0, 400, 0};
  if (text.empty()) return SIZE{0, 0};
  ::DrawTextW(dc, text.c_str(), -1, &rc, DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS);
  return SIZE{rc.right, rc.bottom};
}

}  // namespace

CBalloonHelp* CBalloonHelp::Current() { return currentBalloon; }

CBalloonHelp::~CBalloonHelp() {
  if (mouseHook_) ::UnhookWindowsHookEx(mouseHook_);
  if (keyboardHook_) ::UnhookWindowsHookEx(keyboardHook_);
  if (currentBalloon == this) currentBalloon = nullptr;
}

CBalloonHelp* CBalloonHelp::LaunchBalloon(const std::wstring& title, const std::wstring& content,
                                          HWND anchorControl, const wchar_t* icon,
                                          unsigned options, HWND parent, const std::wstring& url,
                                          UINT timeoutMs) {
  POINT anchor{};
  RECT rc{};
  if (anchorControl && ::GetWindowRect(anchorControl, &rc)) {
    anchor.x = (rc.left + rc.right) / 2;
    anchor.y = (rc.top + rc.bottom) / 2;
  } else {
    ::GetCursorPos(&anchor);
  }
  // One balloon at a time: a new one replaces the one shown.
  if (currentBalloon) currentBalloon->RequestClose();
  auto* balloon = new CBalloonHelp();
  if (!balloon->Show(title, content, anchor, icon, options, parent, url, timeoutMs)) {
    delete balloon;
    return nullptr;
  }
  return balloon;
}

void CBalloonHelp::Layout(SIZE& size, bool& below, int& tailX) {
  w32::ClientDc screen(nullptr);
  const SIZE title = TextSize(screen.Get(), static_cast<HFONT>(titleFont_.Get()), title_);
  const SIZE content = TextSize(screen.Get(), static_cast<HFONT>(contentFont_.Get()), content_);
  const int headerHeight = (title.cy > kIconSize ? title.cy : kIconSize);
  int width = kIconSize + 6 + title.cx;
  if (content.cx > width) width = content.cx;
  body_ = SIZE{width + 2 * kMargin, headerHeight + (content.cy ? 6 + content.cy : 0) + 2 * kMargin};
  size = SIZE{body_.cx, body_.cy + kTailHeight};
  // Below the anchor when there is room, else above it.
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  below = anchor_.y + size.cy <= work.bottom;
  tailX = kCorner + 8;
}

bool CBalloonHelp::Show(const std::wstring& title, const std::wstring& content, POINT anchor,
                        const wchar_t* icon, unsigned options, HWND parent,
                        const std::wstring& url, UINT timeoutMs) {
  title_ = title;
  content_ = content;
  url_ = url;
  anchor_ = anchor;
  options_ = options;
  icon_ = icon ? ::LoadIconW(nullptr, icon) : nullptr;

  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
  LOGFONTW lf = metrics.lfMessageFont;
  contentFont_.Reset(::CreateFontIndirectW(&lf));
  lf.lfWeight = FW_BOLD;
  titleFont_.Reset(::CreateFontIndirectW(&lf));

  if (!RegisterWindowClass(kClassName, CS_SAVEBITS | CS_DROPSHADOW, ::LoadCursorW(nullptr, IDC_ARROW),
                           nullptr) &&
      !RegisterWindowClass(kClassName, CS_SAVEBITS, ::LoadCursorW(nullptr, IDC_ARROW), nullptr))
    return false;

  SIZE size{};
  Layout(size, below_, tailX_);
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  int left = anchor_.x - tailX_;
  if (left + size.cx > work.right) left = work.right - size.cx;
  if (left < work.left) left = work.left;
  tailX_ = anchor_.x - left;
  if (tailX_ < kCorner) tailX_ = kCorner;
  if (tailX_ > size.cx - kCorner - kTailWidth) tailX_ = size.cx - kCorner - kTailWidth;
  const int top = below_ ? anchor_.y : anchor_.y - size.cy;
  RECT rc{left, top, left + size.cx, top + size.cy};

  DWORD exStyle = WS_EX_TOOLWINDOW;
  if (options_ & kShowTopmost) exStyle |= WS_EX_TOPMOST;
  if (!Create(kClassName, parent, rc, title_.c_str(), WS_POPUP, exStyle)) return false;

  // The balloon's shape: rounded body and a tail towards the anchor.
  const int bodyTop = below_ ? kTailHeight : 0;
  HRGN body = ::CreateRoundRectRgn(0, bodyTop, body_.cx + 1, bodyTop + body_.cy + 1, kCorner, kCorner);
  POINT tail[3];
  if (below_) {
    tail[0] = POINT{tailX_, 0};
    tail[1] = POINT{tailX_, bodyTop + 2};
    tail[2] = POINT{tailX_ + kTailWidth, bodyTop + 2};
  } else {
    tail[0] = POINT{tailX_, size.cy};
    tail[1] = POINT{tailX_, body_.cy - 2};
    tail[2] = POINT{tailX_ + kTailWidth, body_.cy - 2};
  }
  HRGN tailRegion = ::CreatePolygonRgn(tail, 3, WINDING);
  ::CombineRgn(body, body, tailRegion, RGN_OR);
  ::DeleteObject(tailRegion);
  ::SetWindowRgn(Handle(), body, FALSE);  // the window owns the region now

  BOOL animate = FALSE, fade = FALSE;
  ::SystemParametersInfoW(SPI_GETTOOLTIPANIMATION, 0, &animate, 0);
  ::SystemParametersInfoW(SPI_GETTOOLTIPFADE, 0, &fade, 0);
  if (animate && fade && !(options_ & kDisableFadeIn)) {
    ::AnimateWindow(Handle(), 200, AW_BLEND);
  } else {
    ::ShowWindow(Handle(), SW_SHOWNOACTIVATE);
  }
  ::UpdateWindow(Handle());

  const unsigned mouseOptions = kCloseOnAnyButtonDown | kCloseOnLButtonUp | kCloseOnMButtonUp |
                                kCloseOnRButtonUp;
  if (options_ & mouseOptions)
    mouseHook_ = ::SetWindowsHookExW(WH_MOUSE, MouseHook, nullptr, ::GetCurrentThreadId());
  if (options_ & kCloseOnKeyPress)
    keyboardHook_ = ::SetWindowsHookExW(WH_KEYBOARD, KeyboardHook, nullptr, ::GetCurrentThreadId());
  if (timeoutMs) ::SetTimer(Handle(), kTimeoutTimer, timeoutMs, nullptr);
  currentBalloon = this;
  return true;
}

void CBalloonHelp::RequestClose() {
  if (closing_ || !Handle()) return;
  closing_ = true;
  ::PostMessageW(Handle(), WM_CLOSE, 0, 0);
}

LRESULT CALLBACK CBalloonHelp::MouseHook(int code, WPARAM wParam, LPARAM lParam) {
  CBalloonHelp* self = currentBalloon;
  if (code >= 0 && self) {
    const unsigned o = self->options_;
    const bool close = (wParam == WM_LBUTTONDOWN && (o & kCloseOnLButtonDown)) ||
                       (wParam == WM_MBUTTONDOWN && (o & kCloseOnMButtonDown)) ||
                       (wParam == WM_RBUTTONDOWN && (o & kCloseOnRButtonDown)) ||
                       (wParam == WM_LBUTTONUP && (o & kCloseOnLButtonUp)) ||
                       (wParam == WM_MBUTTONUP && (o & kCloseOnMButtonUp)) ||
                       (wParam == WM_RBUTTONUP && (o & kCloseOnRButtonUp)) ||
                       (wParam == WM_NCLBUTTONDOWN && (o & kCloseOnLButtonDown)) ||
                       (wParam == WM_NCRBUTTONDOWN && (o & kCloseOnRButtonDown));
    if (close) self->RequestClose();
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK CBalloonHelp::KeyboardHook(int code, WPARAM wParam, LPARAM lParam) {
  CBalloonHelp* self = currentBalloon;
  // Bit 31 clear: a key going down.
  if (code >= 0 && self && !(lParam & 0x80000000)) self->RequestClose();
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CBalloonHelp::OnPaint(UINT, WPARAM, LPARAM, bool&) {
  w32::PaintDc paint(Handle());
  RECT client{};
  ::GetClientRect(Handle(), &client);
  w32::MemoryDc buffer(paint.Get(), client.right, client.bottom);
  HDC dc = buffer.Valid() ? buffer.Get() : paint.Get();
  ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_INFOBK));

  // The outline follows the window's region.
  HRGN outline = ::CreateRectRgn(0, 0, 0, 0);
  if (::GetWindowRgn(Handle(), outline) != ERROR) {
    ::FrameRgn(dc, outline, ::GetSysColorBrush(COLOR_WINDOWFRAME), 1, 1);
  }
  ::DeleteObject(outline);

  const int bodyTop = below_ ? kTailHeight : 0;
  int x = kMargin, y = bodyTop + kMargin;
  if (icon_) ::DrawIconEx(dc, x, y, icon_, kIconSize, kIconSize, 0, nullptr, DI_NORMAL);
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, ::GetSysColor(COLOR_INFOTEXT));
  {
    w32::SelectScope font(dc, titleFont_.Get());
    RECT rc{x + kIconSize + 6, y, client.right - kMargin, y + kIconSize};
    ::DrawTextW(dc, title_.c_str(), -1, &rc, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  }
  {
    w32::SelectScope font(dc, contentFont_.Get());
    RECT rc{x, y + kIconSize + 6, client.right - kMargin, bodyTop + body_.cy - kMargin};
    ::DrawTextW(dc, content_.c_str(), -1, &rc, DT_NOPREFIX | DT_EXPANDTABS);
  }
  if (buffer.Valid()) buffer.BlitTo(paint.Get());
  return 0;
}

LRESULT CBalloonHelp::OnClick(UINT, WPARAM, LPARAM, bool&) {
  if (!url_.empty())
    ::ShellExecuteW(nullptr, L"open", url_.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  if (!url_.empty()) RequestClose();
  return 0;
}

LRESULT CBalloonHelp::OnTimer(UINT, WPARAM wParam, LPARAM, bool& handled) {
  if (wParam != kTimeoutTimer) {
    handled = false;
    return 0;
  }
  ::KillTimer(Handle(), kTimeoutTimer);
  RequestClose();
  return 0;
}

LRESULT CBalloonHelp::OnActivateApp(UINT, WPARAM wParam, LPARAM, bool&) {
  if (!wParam && (options_ & kCloseOnAppDeactivate)) RequestClose();
  return 0;
}

LRESULT CBalloonHelp::OnClose(UINT, WPARAM, LPARAM, bool&) {
  if (mouseHook_) ::UnhookWindowsHookEx(mouseHook_);
  if (keyboardHook_) ::UnhookWindowsHookEx(keyboardHook_);
  mouseHook_ = keyboardHook_ = nullptr;
  if (currentBalloon == this) currentBalloon = nullptr;
  DestroyWindow();
  return 0;
}

void CBalloonHelp::OnFinalMessage(HWND) { delete this; }
