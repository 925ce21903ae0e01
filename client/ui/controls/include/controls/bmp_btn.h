// A picture-only push button of a toolbar: image 0 at rest (highlight
// look), 1 while the mouse is over it (plain look), 2 when disabled. It
// tracks hovering and has a tooltip.
#pragma once
#include <windows.h>

#include <string>

#include "controls/tooltip.h"
#include "w32/ui_handles.h"
#include "w32/window_impl.h"

class CBmpBtn : public w32::WindowImpl {
 public:
  // Creates the button as a child of `parent` with `id` at `rect`.
  bool Create(HWND parent, int id, const RECT& rect, w32::ImageListHandle images,
              const std::wstring& tip);
  void DrawItem(const DRAWITEMSTRUCT& item);
  bool Hovered() const { return hover_; }
  // The image index the button shows now.
  int CurrentImage() const;
  const CToolTip& Tip() const { return tip_; }

  W32_BEGIN_MSG_MAP()
    W32_MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
    W32_MESSAGE_HANDLER(WM_MOUSELEAVE, OnMouseLeave)
    W32_MESSAGE_HANDLER(WM_ENABLE, OnEnable)
  W32_END_MSG_MAP()

 private:
  LRESULT OnMouseMove(UINT, WPARAM, LPARAM, bool& handled);
  LRESULT OnMouseLeave(UINT, WPARAM, LPARAM, bool& handled);
  LRESULT OnEnable(UINT, WPARAM, LPARAM, bool& handled);

  w32::ImageListHandle images_;
  CToolTip tip_;
  bool hover_ = false;
};
