// A C++ object behind one window: either a window of a class registered
// through RegisterWindowClass, or an existing control taken over by
// SubclassWindow (the control keeps its id, position and template text).
//
// Messages go through the object's message map first; unhandled ones reach
// the control's original procedure or DefWindowProc. No exception leaves
// the window procedure: one escaping a handler is swallowed and the message
// gets the default processing. After WM_NCDESTROY the object lets go of the
// window and OnFinalMessage runs (the object may delete itself there).
#pragma once
#include <windows.h>

#include "w32/message_map.h"

namespace w32 {

class WindowImpl : public MessageMap {
 public:
  WindowImpl() = default;
  ~WindowImpl() override;
  WindowImpl(const WindowImpl&) = delete;
  WindowImpl& operator=(const WindowImpl&) = delete;

  HWND Handle() const { return window_; }
  bool IsWindow() const { return window_ != nullptr && ::IsWindow(window_); }

  // Registers a window class whose windows are run by WindowImpl objects.
  // Registering the same name again is not an error.
  static bool RegisterWindowClass(const wchar_t* className, UINT classStyle, HCURSOR cursor,
                                  HBRUSH background, HINSTANCE instance = nullptr);
  // Creates a window of a class registered above, run by this object.
  HWND Create(const wchar_t* className, HWND parent, const RECT& rect, const wchar_t* title,
              DWORD style, DWORD exStyle = 0, UINT id = 0, HINSTANCE instance = nullptr);

  // Takes over an existing window. False when this object already has one.
  bool SubclassWindow(HWND window);
  // Gives the window its original procedure back; returns the window.
  HWND UnsubclassWindow();

  BOOL DestroyWindow() { return window_ ? ::DestroyWindow(window_) : FALSE; }

 protected:
  // The processing the window would get without this object.
  LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);
  // Called after the last message (WM_NCDESTROY) with the former handle.
  virtual void OnFinalMessage(HWND window) {}

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK StartWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

  HWND window_ = nullptr;
  WNDPROC original_ = nullptr;  // subclassed control's procedure, or null
};

}  // namespace w32
