#include "controls/hover_static.h"

#include <cwchar>

#include "w32/paint.h"
#include "w32/registry.h"

CHoverStatic::CHoverStatic() = default;

bool CHoverStatic::ParseColor(const std::wstring& text, COLORREF& colour) {
  int r = -1, g = -1, b = -1;
  if (std::swscanf(text.c_str(), L"%d,%d,%d", &r, &g, &b) != 3) return false;
  if (r < 0 || r > 255 || g < 0 || g > 255 || b < 0 || b > 255) return false;
  colour = RGB(r, g, b);
  return true;
}

void CHoverStatic::LoadLinkColors() {
  const w32::RegKey key = w32::RegKey::Open(
      HKEY_CURRENT_USER, L"Software\\Microsoft\\Internet Explorer\\Settings");
  if (!key.Valid()) return;
  if (auto v = key.ReadString(L"Anchor Color")) ParseColor(*v, linkColor_);
  if (auto v = key.ReadString(L"Anchor Color Visited")) ParseColor(*v, visitedColor_);
}

bool CHoverStatic::Attach(HWND staticControl, HCURSOR cursor) {
  if (!SubclassWindow(staticControl)) return false;
  ::SetWindowLongW(staticControl, GWL_STYLE, ::GetWindowLongW(staticControl, GWL_STYLE) | SS_NOTIFY);
  cursor_ = cursor;
  LoadLinkColors();
  HFONT parentFont =
      reinterpret_cast<HFONT>(::SendMessageW(::GetParent(staticControl), WM_GETFONT, 0, 0));
  LOGFONTW lf{};
  if (parentFont && ::GetObjectW(parentFont, sizeof(lf), &lf)) ownFont_.Reset(::CreateFontIndirectW(&lf));
  wchar_t text[256]{};
  ::GetWindowTextW(staticControl, text, 256);
  label_ = text;
  tip_.Create(staticControl, label_);
  ComputeTextRect();
  return true;
}

HFONT CHoverStatic::LabelFont() const {
  return labelFont_ ? labelFont_ : static_cast<HFONT>(ownFont_.Get());
}

void CHoverStatic::SetLabelFont(HFONT font) {
  labelFont_ = font;
  ComputeTextRect();
  if (Handle()) ::InvalidateRect(Handle(), nullptr, TRUE);
}

void CHoverStatic::SetLabel(const std::wstring& label) {
  label_ = label;
  if (Handle()) {
    ::SetWindowTextW(Handle(), label_.c_str());
    tip_.SetText(label_);
  }
  ComputeTextRect();
  if (Handle()) ::InvalidateRect(Handle(), nullptr, TRUE);
}

UINT CHoverStatic::TextFormat() const {
  const LONG style = Handle() ? ::GetWindowLongW(Handle(), GWL_STYLE) : 0;
  UINT format = DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER;
  switch (style & SS_TYPEMASK) {
    case SS_CENTER: format |= DT_CENTER; break;
    case SS_RIGHT: format |= DT_RIGHT; break;
    default: format |= DT_LEFT; break;
  }
  return format;
}

void CHoverStatic::ComputeTextRect() {
  if (!Handle()) return;
  RECT client{};
  ::GetClientRect(Handle(), &client);
  w32::ClientDc dc(Handle());
  w32::SelectScope font(dc.Get(), LabelFont());
  RECT measure = client;
  ::DrawTextW(dc.Get(), label_.c_str(), -1, &measure, DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
  const int w = measure.right - measure.left, h = measure.bottom - measure.top;
  const UINT format = TextFormat();
  int left = client.left;
  if (format & DT_CENTER) left = (client.right - w) / 2;
  if (format & DT_RIGHT) left = client.right - w;
  const int top = (client.bottom - h) / 2;
  textRect_ = RECT{left, top, left + w, top + h};
}

LRESULT CHoverStatic::OnPaint(UINT, WPARAM, LPARAM, bool&) {
  w32::PaintDc paint(Handle());
  RECT client{};
  ::GetClientRect(Handle(), &client);
  HDC dc = paint.Get();
  // The dialog's own background, so the label looks drawn straight onto it.
  HBRUSH background = reinterpret_cast<HBRUSH>(::SendMessageW(
      ::GetParent(Handle()), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
      reinterpret_cast<LPARAM>(Handle())));
  ::FillRect(dc, &client, background ? background : ::GetSysColorBrush(COLOR_BTNFACE));
  w32::SelectScope font(dc, LabelFont());
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, ::IsWindowEnabled(Handle()) ? linkColor_ : ::GetSysColor(COLOR_GRAYTEXT));
  ::DrawTextW(dc, label_.c_str(), -1, &client, TextFormat());
  if (::GetFocus() == Handle()) {
    RECT focus = textRect_;
    ::InflateRect(&focus, 2, 1);
    ::DrawFocusRect(dc, &focus);
  }
  return 0;
}

void CHoverStatic::Clicked() { ::PostMessageW(::GetParent(Handle()), kHoverStaticClicked, 0, 0); }

LRESULT CHoverStatic::OnLButtonDown(UINT, WPARAM, LPARAM lParam, bool&) {
  const POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  if (::PtInRect(&textRect_, p)) {
    ::SetFocus(Handle());
    ::SetCapture(Handle());
    pressed_ = true;
  }
  return 0;
}

LRESULT CHoverStatic::OnLButtonUp(UINT, WPARAM, LPARAM lParam, bool&) {
  if (!pressed_) return 0;
  pressed_ = false;
  ::ReleaseCapture();
  const POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  if (::PtInRect(&textRect_, p)) Clicked();
  return 0;
}

LRESULT CHoverStatic::OnKeyDown(UINT, WPARAM wParam, LPARAM, bool& handled) {
  if (wParam == VK_RETURN || wParam == VK_SPACE) {
    Clicked();
    return 0;
  }
  handled = false;
  return 0;
}

LRESULT CHoverStatic::OnGetDlgCode(UINT, WPARAM wParam, LPARAM, bool&) {
  // Enter and Space reach the label instead of the dialog's default button.
  if (wParam == VK_RETURN || wParam == VK_SPACE) return DLGC_WANTMESSAGE;
  return DLGC_STATIC;
}

LRESULT CHoverStatic::OnSetCursor(UINT, WPARAM, LPARAM, bool& handled) {
  POINT p{};
  ::GetCursorPos(&p);
  ::ScreenToClient(Handle(), &p);
  if (cursor_ && ::PtInRect(&textRect_, p)) {
    ::SetCursor(cursor_);
    return TRUE;
  }
  handled = false;
  return 0;
}

LRESULT CHoverStatic::OnFocus(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  ::InvalidateRect(Handle(), nullptr, TRUE);
  return 0;
}

LRESULT CHoverStatic::OnSize(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  ComputeTextRect();
  return 0;
}
