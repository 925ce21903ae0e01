// A progress bar drawn by the client itself over an existing child window
// (it subclasses it): a filled part, the rest, a centred text (the percentage
// unless a text is set) and a one-pixel sunken border.
//
// Besides its own calls it answers PBM_SETRANGE32, PBM_SETPOS, PBM_GETPOS and
// PBM_STEPIT sent to its window, so other threads can drive and read it.
#pragma once
#include <windows.h>
#include <string>

class CProgressBarCtrlEx {
 public:
  static constexpr COLORREF kAutomatic = 0xFF000000;

  CProgressBarCtrlEx() = default;
  ~CProgressBarCtrlEx();
  CProgressBarCtrlEx(const CProgressBarCtrlEx&) = delete;
  CProgressBarCtrlEx& operator=(const CProgressBarCtrlEx&) = delete;

  // Takes over `window`; false when it is not a window or is already taken.
  bool SubclassWindow(HWND window);
  void UnsubclassWindow();
  HWND Window() const { return window_; }
  // Destroys the window when it still exists.
  void DestroyWindow();

  void SetRange(int minimum, int maximum);
  int Minimum() const { return min_; }
  int Maximum() const { return max_; }
  // Stores the position; repaints only when the filled width in pixels changes.
  void SetPos(int position);
  int Pos() const { return pos_; }
  void SetStep(int step) { step_ = step; }
  void StepIt() { SetPos(pos_ + step_); }

  void SetBarColor(COLORREF c);
  void SetBkColor(COLORREF c);
  void SetTextColor(COLORREF c);
  // Empty text shows the percentage.
  void SetText(const std::wstring& text);
  void SetShowText(bool show);

  // Filled width in pixels for the current position and client width.
  int FilledWidth() const;
  // The text that painting shows now ("50%" or the set text).
  std::wstring DisplayText() const;
  // Number of repaint requests made so far (for checking when it repaints).
  unsigned RepaintRequests() const { return repaints_; }

  // Paints the whole bar into `dc` (also used for WM_PRINTCLIENT).
  void Paint(HDC dc) const;

 private:
  static LRESULT CALLBACK SubclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
  int WidthFor(int position, int clientWidth) const;
  int ClientWidth() const;
  void Repaint();

  HWND window_ = nullptr;
  int min_ = 0;
  int max_ = 100;
  int pos_ = 0;
  int step_ = 1;
  COLORREF barColor_ = kAutomatic;
  COLORREF bkColor_ = kAutomatic;
  COLORREF textColor_ = kAutomatic;
  std::wstring text_;
  bool showText_ = true;
  int filledWidth_ = 0;
  unsigned repaints_ = 0;
};
