// An owner-drawn push button with a picture in three looks, drawn with the
// system theme when visual styles are on and in the classic way otherwise.
//
// The parent passes WM_DRAWITEM on to the button (ReflectDrawItem).
#pragma once
#include <windows.h>

#include "controls/button_looks.h"
#include "controls/hover_tracking.h"
#include "controls/theme_api.h"
#include "w32/window_impl.h"

class CXPButtonCtrl : public w32::WindowImpl, public CHoverTracking {
 public:
  CXPButtonCtrl() = default;
  ~CXPButtonCtrl() override;

  // Takes over a push button and makes it owner-drawn.
  bool Attach(HWND button);
  // The picture in its three looks; the bitmap's own size is the picture size.
  bool LoadBitmap(HINSTANCE instance, int resourceId);

  bool Themed() const { return theme_ != nullptr; }
  // Draws the button into `item` (called for WM_DRAWITEM).
  void DrawItem(const DRAWITEMSTRUCT& item);

  // For a parent's WM_DRAWITEM: hands the drawing to a CXPButtonCtrl that
  // runs the item's window. True when one did.
  static bool ReflectDrawItem(LPARAM drawItem);

  W32_BEGIN_MSG_MAP()
    W32_CHAIN_MSG_MAP(CHoverTracking)
    W32_MESSAGE_HANDLER(WM_THEMECHANGED, OnThemeChanged)
  W32_END_MSG_MAP()

 private:
  LRESULT OnThemeChanged(UINT, WPARAM, LPARAM, bool& handled);
  void OpenTheme();
  void CloseTheme();

  HTHEME_ theme_ = nullptr;
  COLORREF textColor_ = 0;
  CButtonLooks looks_;
};
