#include "controls/bmp_btn.h"

#include <commctrl.h>

bool CBmpBtn::Create(HWND parent, int id, const RECT& rect, w32::ImageListHandle images,
                     const std::wstring& tip) {
  HWND button = ::CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW,
                                  rect.left, rect.top, rect.right - rect.left,
                                  rect.bottom - rect.top, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr,
                                  nullptr);
  if (!button) return false;
  if (!SubclassWindow(button)) {
    ::DestroyWindow(button);
    return false;
  }
  images_ = std::move(images);
  tip_.Create(button, tip);
  return true;
}

int CBmpBtn::CurrentImage() const {
  if (Handle() && !::IsWindowEnabled(Handle())) return 2;
  return Hovered() ? 1 : 0;
}

void CBmpBtn::DrawItem(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  RECT rc = item.rcItem;
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  ::FillRect(dc, &rc, ::GetSysColorBrush(COLOR_BTNFACE));
  const int image = CurrentImage();
  if (image == 1 || pressed) {
    // A flat, modern hover frame: a thin outline, sunken while pressed.
    ::DrawEdge(dc, &rc, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  }
  int cx = 0, cy = 0;
  if (images_) ::ImageList_GetIconSize(images_.Get(), &cx, &cy);
  const int shift = pressed ? 1 : 0;
  const int x = rc.left + (rc.right - rc.left - cx) / 2 + shift;
  const int y = rc.top + (rc.bottom - rc.top - cy) / 2 + shift;
  if (images_) ::ImageList_Draw(images_.Get(), image, dc, x, y, ILD_TRANSPARENT);
}
