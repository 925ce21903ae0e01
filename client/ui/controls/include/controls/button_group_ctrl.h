// A toolbar made from a static control: a row (or column) of picture
// buttons 31 pixels apart, aligned to the right end (or the top).
//
// Buttons are added before the static is taken over; clicks are posted on
// to the toolbar's parent as the same command.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/bmp_btn.h"
#include "controls/button_looks.h"
#include "w32/window_impl.h"

class CButtonGroupCtrl : public w32::WindowImpl {
 public:
  enum Orientation { kHorizontal, kVertical };
  static constexpr int kCellSize = 30;
  static constexpr int kSpacing = 31;

  explicit CButtonGroupCtrl(Orientation orientation = kHorizontal) : orientation_(orientation) {}
  ~CButtonGroupCtrl() override;

  // The strip of 30 by 30 pictures, in its three looks.
  bool LoadImages(HINSTANCE instance, int stripId);
  void SetOrientation(Orientation orientation) { orientation_ = orientation; }
  void AddButton(int commandId, int imageIndex, const std::wstring& tip);
  // Takes over the static and creates the buttons.
  bool Attach(HWND staticControl);

  void EnableButton(int commandId, bool enable);
  bool IsButtonEnabled(int commandId) const;
  // The button's window, or nullptr.
  HWND ButtonWindow(int commandId) const;
  const CBmpBtn* Button(int commandId) const;
  size_t ButtonCount() const { return buttons_.size(); }

  W32_BEGIN_MSG_MAP()
    W32_MESSAGE_HANDLER(WM_COMMAND, OnCommand)
    W32_MESSAGE_HANDLER(WM_DRAWITEM, OnDrawItem)
    W32_MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    W32_MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
  W32_END_MSG_MAP()

 private:
  struct Entry {
    int commandId;
    int imageIndex;
    std::wstring tip;
    std::unique_ptr<CBmpBtn> button;
  };
  LRESULT OnCommand(UINT, WPARAM, LPARAM, bool& handled);
  LRESULT OnDrawItem(UINT, WPARAM, LPARAM, bool& handled);
  LRESULT OnDestroy(UINT, WPARAM, LPARAM, bool& handled);
  LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, bool& handled);
  void DestroyButtons();

  Orientation orientation_;
  CButtonLooks looks_;
  std::vector<Entry> buttons_;
};
