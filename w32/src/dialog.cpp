#include "w32/dialog.h"

namespace w32 {

Dialog::~Dialog() {
  if (window_ && ::IsWindow(window_)) {
    ::SetWindowLongPtrW(window_, DWLP_USER, 0);
    ::DestroyWindow(window_);
  }
}

INT_PTR Dialog::DoModal(HINSTANCE instance, int templateId, HWND parent) {
  if (window_) return -1;
  return ::DialogBoxParamW(instance, MAKEINTRESOURCEW(templateId), parent, DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

HWND Dialog::Create(HINSTANCE instance, int templateId, HWND parent) {
  if (window_) return nullptr;
  return ::CreateDialogParamW(instance, MAKEINTRESOURCEW(templateId), parent, DialogProc,
                              reinterpret_cast<LPARAM>(this));
}

INT_PTR Dialog::DoModalIndirect(HINSTANCE instance, const DLGTEMPLATE* dialogTemplate,
                                HWND parent) {
  if (window_ || !dialogTemplate) return -1;
  return ::DialogBoxIndirectParamW(instance, dialogTemplate, parent, DialogProc,
                                   reinterpret_cast<LPARAM>(this));
}

HWND Dialog::CreateIndirect(HINSTANCE instance, const DLGTEMPLATE* dialogTemplate, HWND parent) {
  if (window_ || !dialogTemplate) return nullptr;
  return ::CreateDialogIndirectParamW(instance, dialogTemplate, parent, DialogProc,
                                      reinterpret_cast<LPARAM>(this));
}

void Dialog::CenterWindow(HWND owner) {
  if (!window_) return;
  if (!owner) owner = ::GetWindow(window_, GW_OWNER);
  if (!owner && (::GetWindowLongW(window_, GWL_STYLE) & WS_CHILD)) owner = ::GetParent(window_);
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  RECT center = work;
  if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner)) ::GetWindowRect(owner, &center);
  RECT rc{};
  ::GetWindowRect(window_, &rc);
  const int w = rc.right - rc.left, h = rc.bottom - rc.top;
  int x = (center.left + center.right - w) / 2;
  int y = (center.top + center.bottom - h) / 2;
  if (x + w > work.right) x = work.right - w;
  if (y + h > work.bottom) y = work.bottom - h;
  if (x < work.left) x = work.left;
  if (y < work.top) y = work.top;
  ::SetWindowPos(window_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK Dialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Dialog* self = nullptr;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<Dialog*>(lParam);
    if (!self) return FALSE;
    self->window_ = window;
    ::SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<Dialog*>(::GetWindowLongPtrW(window, DWLP_USER));
  }
  if (!self) return FALSE;

  LRESULT result = 0;
  bool handled = false;
  try {
    handled = self->ProcessWindowMessage(window, message, wParam, lParam, result);
  } catch (...) {
    handled = false;
  }
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(window, DWLP_USER, 0);
    self->window_ = nullptr;
    self->OnFinalMessage(window);
    return FALSE;
  }
  if (message == WM_INITDIALOG) return handled ? static_cast<INT_PTR>(result) : TRUE;
  if (!handled) return FALSE;
  switch (message) {
    // These messages answer through the procedure's return value.
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      return static_cast<INT_PTR>(result);
    default:
      ::SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
      return TRUE;
  }
}

}  // namespace w32
