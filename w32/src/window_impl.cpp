#include "w32/window_impl.h"

namespace w32 {
namespace {
// The window property that points from a window to its object.
const wchar_t kObjectProperty[] = L"w32.WindowImpl";
}  // namespace

WindowImpl::~WindowImpl() {
  // An object that goes away before its window must not be called again.
  if (window_ && ::IsWindow(window_)) {
    if (original_) {
      UnsubclassWindow();
    } else {
      ::RemovePropW(window_, kObjectProperty);
      ::DestroyWindow(window_);
    }
  }
}

bool WindowImpl::RegisterWindowClass(const wchar_t* className, UINT classStyle, HCURSOR cursor,
                                     HBRUSH background, HINSTANCE instance) {
  if (!instance) instance = ::GetModuleHandleW(nullptr);
  WNDCLASSEXW existing{sizeof(existing)};
  if (::GetClassInfoExW(instance, className, &existing)) return true;
  WNDCLASSEXW wc{sizeof(wc)};
  wc.style = classStyle;
  wc.lpfnWndProc = StartWindowProc;
  wc.hInstance = instance;
  wc.hCursor = cursor;
  wc.hbrBackground = background;
  wc.lpszClassName = className;
  return ::RegisterClassExW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND WindowImpl::Create(const wchar_t* className, HWND parent, const RECT& rect,
                        const wchar_t* title, DWORD style, DWORD exStyle, UINT id,
                        HINSTANCE instance) {
  if (window_) return nullptr;
  if (!instance) instance = ::GetModuleHandleW(nullptr);
  return ::CreateWindowExW(exStyle, className, title ? title : L"", style, rect.left, rect.top,
                           rect.right - rect.left, rect.bottom - rect.top, parent,
                           reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), instance, this);
}

bool WindowImpl::SubclassWindow(HWND window) {
  if (window_ || !window || !::IsWindow(window)) return false;
  if (!::SetPropW(window, kObjectProperty, this)) return false;
  window_ = window;
  original_ = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WindowProc)));
  if (!original_) {
    ::RemovePropW(window, kObjectProperty);
    window_ = nullptr;
    return false;
  }
  return true;
}

HWND WindowImpl::UnsubclassWindow() {
  HWND window = window_;
  if (!window) return nullptr;
  if (original_) {
    ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
  }
  ::RemovePropW(window, kObjectProperty);
  original_ = nullptr;
  window_ = nullptr;
  return window;
}

LRESULT WindowImpl::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (original_) return ::CallWindowProcW(original_, window_, message, wParam, lParam);
  return ::DefWindowProcW(window_, message, wParam, lParam);
}

LRESULT WindowImpl::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  bool handled = false;
  try {
    handled = ProcessWindowMessage(window_, message, wParam, lParam, result);
  } catch (...) {
    handled = false;
  }
  if (message == WM_NCDESTROY) {
    if (!handled) result = DefaultProc(message, wParam, lParam);
    HWND former = window_;
    UnsubclassWindow();
    OnFinalMessage(former);
    return result;
  }
  return handled ? result : DefaultProc(message, wParam, lParam);
}

LRESULT CALLBACK WindowImpl::StartWindowProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    auto* self = static_cast<WindowImpl*>(create->lpCreateParams);
    if (self && ::SetPropW(window, kObjectProperty, self)) {
      self->window_ = window;
      ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WindowProc));
      return self->Dispatch(message, wParam, lParam);
    }
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK WindowImpl::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = static_cast<WindowImpl*>(::GetPropW(window, kObjectProperty));
  if (!self) return ::DefWindowProcW(window, message, wParam, lParam);
  return self->Dispatch(message, wParam, lParam);
}

}  // namespace w32
