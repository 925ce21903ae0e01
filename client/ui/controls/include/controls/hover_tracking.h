// Hover tracking for controls whose picture changes while the mouse is over
// them. Chained into the control's message map; it only watches, so every
// message still goes on to the control and its default processing.
#pragma once
#include <windows.h>

class CHoverTracking {
 public:
  bool Hovered() const { return hover_; }

 protected:
  // Mouse over: start watching for the leave and redraw. Mouse gone or the
  // control disabled: no longer hovered, redraw.
  bool ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM, LRESULT&) {
    switch (message) {
      case WM_MOUSEMOVE:
        if (!hover_) {
          hover_ = true;
          TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, window, 0};
          ::TrackMouseEvent(&track);
          ::InvalidateRect(window, nullptr, FALSE);
        }
        break;
      case WM_MOUSELEAVE:
        hover_ = false;
        ::InvalidateRect(window, nullptr, FALSE);
        break;
      case WM_ENABLE:
        if (!wParam) hover_ = false;
        ::InvalidateRect(window, nullptr, FALSE);
        break;
      default:
        break;
    }
    return false;
  }

 private:
  bool hover_ = false;
};
