#include "title_painter.h"

#include <commctrl.h>

namespace drvui {

namespace {

constexpr UINT_PTR kSubclassId = 1;
constexpr int kTextIndent = 8;         // pixels from the left edge
constexpr int kMaxTitleLength = 255;   // characters drawn

void DrawTitle(HWND control, HDC dc) {
  // The window rectangle in the control's own client co-ordinates: the whole
  // control, whatever its border.
  RECT area;
  ::GetWindowRect(control, &area);
  ::MapWindowPoints(HWND_DESKTOP, control, reinterpret_cast<POINT*>(&area), 2);
  ::FillRect(dc, &area, static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH)));

  wchar_t text[kMaxTitleLength + 1] = {};
  ::GetWindowTextW(control, text, kMaxTitleLength + 1);

  const int oldMode = ::SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColor = ::SetTextColor(dc, RGB(255, 255, 255));
  HGDIOBJ oldFont = ::SelectObject(dc, ::GetStockObject(DEFAULT_GUI_FONT));
  RECT textArea = area;
  textArea.left += kTextIndent;
  ::DrawTextW(dc, text, -1, &textArea, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
  ::SelectObject(dc, oldFont);
  ::SetTextColor(dc, oldColor);
  ::SetBkMode(dc, oldMode);
}

void PaintTitle(HWND control) {
  PAINTSTRUCT paint;
  if (HDC dc = ::BeginPaint(control, &paint)) {
    DrawTitle(control, dc);
    ::EndPaint(control, &paint);
  }
}

LRESULT CALLBACK TitleProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                           UINT_PTR id, DWORD_PTR) {
  switch (message) {
    case WM_PAINT:
      PaintTitle(control);
      break;  // the control's own procedure then finds nothing left to paint
    case WM_PRINTCLIENT:
      // Drawing into a given DC (PrintWindow, animations): the control's own
      // procedure would paint over the band, so it does not see this one.
      if (wParam) DrawTitle(control, reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_NCDESTROY:
      ::RemoveWindowSubclass(control, TitleProc, id);
      break;
  }
  return ::DefSubclassProc(control, message, wParam, lParam);
}

}  // namespace

void PaintAsTitle(HWND control) {
  if (control) ::SetWindowSubclass(control, TitleProc, kSubclassId, 0);
}

}  // namespace drvui
