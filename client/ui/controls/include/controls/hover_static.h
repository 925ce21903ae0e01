// A static control made into a clickable, link-like label: drawn in the
// link colour with its own font, a focus rectangle while focused, a cursor
// over the text and a tooltip. A click on the text, or Enter or Space,
// posts kHoverStaticClicked to the parent.
#pragma once
#include <windows.h>

#include <string>

#include "controls/tooltip.h"
#include "w32/unique_handle.h"
#include "w32/window_impl.h"

constexpr UINT kHoverStaticClicked = WM_APP + 100;  // 32868

class CHoverStatic : public w32::WindowImpl {
 public:
  CHoverStatic();
  // Takes over the static. `cursor` is shown over the text (not owned).
  bool Attach(HWND staticControl, HCURSOR cursor);
  // The label; it also becomes the window text.
  void SetLabel(const std::wstring& label);
  const std::wstring& Label() const { return label_; }
  // Replaces the label font (owned by the caller, who keeps it alive).
  void SetLabelFont(HFONT font);
  HFONT LabelFont() const;
  COLORREF LinkColor() const { return linkColor_; }
  COLORREF VisitedColor() const { return visitedColor_; }
  const RECT& TextRect() const { return textRect_; }
  // Parses "r,g,b" as the browser stores its anchor colours.
  static bool ParseColor(const std::wstring& text, COLORREF& colour);

  W32_BEGIN_MSG_MAP()
    W32_MESSAGE_HANDLER(WM_PAINT, OnPaint)
    W32_MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
    W32_MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    W32_MESSAGE_HANDLER(WM_LBUTTONUP, OnLButtonUp)
    W32_MESSAGE_HANDLER(WM_KEYDOWN, OnKeyDown)
    W32_MESSAGE_HANDLER(WM_GETDLGCODE, OnGetDlgCode)
    W32_MESSAGE_HANDLER(WM_SETCURSOR, OnSetCursor)
    W32_MESSAGE_HANDLER(WM_SETFOCUS, OnFocus)
    W32_MESSAGE_HANDLER(WM_KILLFOCUS, OnFocus)
    W32_MESSAGE_HANDLER(WM_ENABLE, OnFocus)
    W32_MESSAGE_HANDLER(WM_SIZE, OnSize)
  W32_END_MSG_MAP()

 private:
  LRESULT OnPaint(UINT, WPARAM, LPARAM, bool&);
  LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, bool&) { return TRUE; }
  LRESULT OnLButtonDown(UINT, WPARAM, LPARAM, bool&);
  LRESULT OnLButtonUp(UINT, WPARAM, LPARAM, bool&);
  LRESULT OnKeyDown(UINT, WPARAM, LPARAM, bool& handled);
  LRESULT OnGetDlgCode(UINT, WPARAM, LPARAM, bool&);
  LRESULT OnSetCursor(UINT, WPARAM, LPARAM, bool& handled);
  LRESULT OnFocus(UINT, WPARAM, LPARAM, bool& handled);
  LRESULT OnSize(UINT, WPARAM, LPARAM, bool& handled);
  void LoadLinkColors();
  void ComputeTextRect();
  UINT TextFormat() const;
  void Clicked();

  std::wstring label_;
  COLORREF linkColor_ = 0xFF0000;
  COLORREF visitedColor_ = 0x800080;
  HCURSOR cursor_ = nullptr;
  w32::GdiObject ownFont_;    // copy of the parent's font
  HFONT labelFont_ = nullptr;  // set by the caller, else ownFont_
  CToolTip tip_;
  RECT textRect_{};
  bool pressed_ = false;
};
