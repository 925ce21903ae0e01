// A tooltip window for one control, with its text; destroyed with the owner.
#pragma once
#include <windows.h>

#include <string>

class CToolTip {
 public:
  CToolTip() = default;
  ~CToolTip();
  CToolTip(const CToolTip&) = delete;
  CToolTip& operator=(const CToolTip&) = delete;

  // Creates the tooltip for `control` (shown while the mouse rests on it).
  bool Create(HWND control, const std::wstring& text);
  void SetText(const std::wstring& text);
  HWND Handle() const { return tip_; }
  const std::wstring& Text() const { return text_; }

 private:
  HWND tip_ = nullptr;
  HWND control_ = nullptr;
  std::wstring text_;
};
