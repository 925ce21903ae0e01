#include "controls/xp_button_ctrl.h"

#include <commctrl.h>

#include <string>

#include "w32/paint.h"

namespace {
const wchar_t kButtonProperty[] = L"scrivo.XPButton";
}

CXPButtonCtrl::~CXPButtonCtrl() {
  if (Handle()) ::RemovePropW(Handle(), kButtonProperty);
  CloseTheme();
}

bool CXPButtonCtrl::Attach(HWND button) {
  if (!SubclassWindow(button)) return false;
  ::SetPropW(button, kButtonProperty, this);
  LONG style = ::GetWindowLongW(button, GWL_STYLE);
  style = (style & ~0x0F) | BS_OWNERDRAW;  // push-button kind bits replaced
  ::SetWindowLongW(button, GWL_STYLE, style);
  textColor_ = ::GetSysColor(COLOR_BTNTEXT);
  OpenTheme();
  ::InvalidateRect(button, nullptr, TRUE);
  return true;
}

void CXPButtonCtrl::OpenTheme() {
  CloseTheme();
  if (CThemeApi::UseThemedDrawing()) theme_ = CThemeApi::Instance().Open(Handle(), L"Button");
}

void CXPButtonCtrl::CloseTheme() {
  if (theme_) CThemeApi::Instance().Close(theme_);
  theme_ = nullptr;
}

bool CXPButtonCtrl::LoadBitmap(HINSTANCE instance, int resourceId) {
  const bool loaded = looks_.Load(instance, resourceId);
  if (Handle()) ::InvalidateRect(Handle(), nullptr, TRUE);
  return loaded;
}

bool CXPButtonCtrl::ReflectDrawItem(LPARAM drawItem) {
  auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(drawItem);
  if (!item || item->CtlType != ODT_BUTTON || !item->hwndItem) return false;
  auto* self = static_cast<CXPButtonCtrl*>(::GetPropW(item->hwndItem, kButtonProperty));
  if (!self) return false;
  self->DrawItem(*item);
  return true;
}

LRESULT CXPButtonCtrl::OnThemeChanged(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  OpenTheme();
  return 0;
}

void CXPButtonCtrl::DrawItem(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  RECT rc = item.rcItem;
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  const bool disabled = (item.itemState & ODS_DISABLED) != 0;
  const bool focused = (item.itemState & ODS_FOCUS) != 0;
  const CThemeApi& api = CThemeApi::Instance();

  if (theme_) {
    const int state = pressed    ? kPbsPressed
                      : disabled ? kPbsDisabled
                      : Hovered()   ? kPbsHot
                      : focused  ? kPbsDefaulted
                                 : kPbsNormal;
    ::FillRect(dc, &rc, ::GetSysColorBrush(COLOR_BTNFACE));
    api.DrawBackground(theme_, dc, kBpPushButton, state, &rc);
  } else {
    RECT face = rc;
    if (focused) {
      ::FrameRect(dc, &face, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
      ::InflateRect(&face, -1, -1);
    }
    ::FillRect(dc, &face, ::GetSysColorBrush(COLOR_BTNFACE));
    if (pressed) {
      ::FrameRect(dc, &face, ::GetSysColorBrush(COLOR_BTNSHADOW));
    } else {
      ::DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (Hovered() ? DFCS_HOT : 0));
    }
  }

  wchar_t text[101]{};
  ::GetWindowTextW(Handle(), text, 101);
  const bool hasText = text[0] != 0;
  const int shift = (!theme_ && pressed) ? 1 : 0;

  const SIZE pic = looks_.cell;
  if (looks_.Count() > 0) {
    const int height = rc.bottom - rc.top, width = rc.right - rc.left;
    const int x = (hasText ? 6 : (width - pic.cx) / 2) + shift + rc.left;
    const int y = (height - pic.cy) / 2 + shift + rc.top;
    ::ImageList_Draw(looks_.List(Hovered() ? kLookPlain : kLookHighlight), 0, dc, x, y, ILD_TRANSPARENT);
    if (disabled) ::ImageList_Draw(looks_.List(kLookDisabled), 0, dc, x, y, ILD_TRANSPARENT);
  }

  if (hasText) {
    RECT textRect = rc;
    if (looks_.Count() > 0) textRect.left += 20;
    ::OffsetRect(&textRect, shift, shift);
    const DWORD flags = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(Handle(), WM_GETFONT, 0, 0));
    w32::SelectScope keepFont(dc, font);
    ::SetBkMode(dc, TRANSPARENT);
    if (theme_) {
      api.DrawText(theme_, dc, kBpPushButton, disabled ? kPbsDisabled : kPbsNormal, text, flags,
                   &textRect);
    } else if (disabled) {
      RECT emboss = textRect;
      ::OffsetRect(&emboss, 1, 1);
      ::SetTextColor(dc, ::GetSysColor(COLOR_BTNHIGHLIGHT));
      ::DrawTextW(dc, text, -1, &emboss, flags);
      ::SetTextColor(dc, ::GetSysColor(COLOR_BTNSHADOW));
      ::DrawTextW(dc, text, -1, &textRect, flags);
    } else {
      ::SetTextColor(dc, textColor_);
      ::DrawTextW(dc, text, -1, &textRect, flags);
    }
  }

  if (focused) {
    RECT focus = rc;
    ::InflateRect(&focus, -3, -3);
    ::DrawFocusRect(dc, &focus);
  }
}
