#include "controls/button_group_ctrl.h"

CButtonGroupCtrl::~CButtonGroupCtrl() { DestroyButtons(); }

bool CButtonGroupCtrl::LoadImages(HINSTANCE instance, int stripId) {
  return looks_.Load(instance, stripId, kCellSize, kCellSize);
}

void CButtonGroupCtrl::AddButton(int commandId, int imageIndex, const std::wstring& tip) {
  buttons_.push_back(Entry{commandId, imageIndex, tip, nullptr});
}

bool CButtonGroupCtrl::Attach(HWND staticControl) {
  if (!SubclassWindow(staticControl)) return false;
  // The buttons are children of the static: clip them when it paints.
  ::SetWindowLongW(staticControl, GWL_STYLE,
                   ::GetWindowLongW(staticControl, GWL_STYLE) | WS_CLIPCHILDREN);
  RECT client{};
  ::GetClientRect(staticControl, &client);
  const int n = static_cast<int>(buttons_.size());
  for (int i = 0; i < n; ++i) {
    // The last added sits at the right end (at the top); each earlier one
    // one step further left (lower).
    const int steps = n - 1 - i;
    RECT rc{};
    if (orientation_ == kHorizontal) {
      rc.left = client.right - kCellSize - steps * kSpacing;
      rc.top = 0;
    } else {
      rc.left = 0;
      rc.top = steps * kSpacing;
    }
    rc.right = rc.left + kCellSize;
    rc.bottom = rc.top + kCellSize;
    auto button = std::make_unique<CBmpBtn>();
    if (button->Create(staticControl, buttons_[i].commandId, rc,
                       MakeButtonImageList(looks_, buttons_[i].imageIndex), buttons_[i].tip))
      buttons_[i].button = std::move(button);
  }
  return true;
}

void CButtonGroupCtrl::EnableButton(int commandId, bool enable) {
  HWND window = ButtonWindow(commandId);
  if (!window) return;
  ::EnableWindow(window, enable ? TRUE : FALSE);
  ::InvalidateRect(window, nullptr, FALSE);
}

bool CButtonGroupCtrl::IsButtonEnabled(int commandId) const {
  HWND window = ButtonWindow(commandId);
  return window && ::IsWindowEnabled(window);
}

const CBmpBtn* CButtonGroupCtrl::Button(int commandId) const {
  for (const Entry& e : buttons_)
    if (e.commandId == commandId) return e.button.get();
  return nullptr;
}

HWND CButtonGroupCtrl::ButtonWindow(int commandId) const {
  const CBmpBtn* button = Button(commandId);
  return button ? button->Handle() : nullptr;
}

LRESULT CButtonGroupCtrl::OnCommand(UINT, WPARAM wParam, LPARAM lParam, bool& handled) {
  if (HIWORD(wParam) != 0) {
    handled = false;
    return 0;
  }
  ::PostMessageW(::GetParent(Handle()), WM_COMMAND, wParam, lParam);
  return 0;
}

LRESULT CButtonGroupCtrl::OnDrawItem(UINT, WPARAM, LPARAM lParam, bool& handled) {
  auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
  for (Entry& e : buttons_) {
    if (e.button && e.button->Handle() == item->hwndItem) {
      e.button->DrawItem(*item);
      return TRUE;
    }
  }
  handled = false;
  return 0;
}

LRESULT CButtonGroupCtrl::OnEraseBackground(UINT, WPARAM wParam, LPARAM, bool&) {
  RECT rc{};
  ::GetClientRect(Handle(), &rc);
  ::FillRect(reinterpret_cast<HDC>(wParam), &rc, ::GetSysColorBrush(COLOR_BTNFACE));
  return TRUE;
}

LRESULT CButtonGroupCtrl::OnDestroy(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  DestroyButtons();
  return 0;
}

void CButtonGroupCtrl::DestroyButtons() {
  for (Entry& e : buttons_) {
    if (e.button) e.button->DestroyWindow();
    e.button.reset();
  }
}
