// A picture-only push button of a toolbar: image 0 at rest (highlight
// look), 1 while the mouse is over it (plain look), 2 when disabled. It
// tracks hovering and has a tooltip.
#pragma once
#include <windows.h>

#include <string>

#include "controls/hover_tracking.h"
#include "controls/tooltip.h"
#include "w32/ui_handles.h"
#include "w32/window_impl.h"

class CBmpBtn : public w32::WindowImpl, public CHoverTracking {
 public:
  // Creates the button as a child of `parent` with `id` at `rect`.
  bool Create(HWND parent, int id, const RECT& rect, w32::ImageListHandle images,
              const std::wstring& tip);
  void DrawItem(const DRAWITEMSTRUCT& item);
  // The image index the button shows now.
  int CurrentImage() const;
  const CToolTip& Tip() const { return tip_; }

  W32_BEGIN_MSG_MAP()
    W32_CHAIN_MSG_MAP(CHoverTracking)
  W32_END_MSG_MAP()

 private:

  w32::ImageListHandle images_;
  CToolTip tip_;
};
