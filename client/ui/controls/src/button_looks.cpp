#include "controls/button_looks.h"

#include <commctrl.h>

#include "imaging/en_bitmap.h"
#include "w32/paint.h"

namespace {

w32::ImageListHandle ListFrom(HBITMAP strip, SIZE cell) {
  w32::ImageListHandle list(::ImageList_Create(cell.cx, cell.cy, ILC_COLOR24 | ILC_MASK, 8, 4));
  if (list && ::ImageList_AddMasked(list.Get(), strip, kTransparentColor) < 0) list.Reset();
  return list;
}

// Draws picture `index` of `list` onto a magenta cell and adds it to `target`.
bool CopyImage(HIMAGELIST list, int index, SIZE cell, HIMAGELIST target) {
  w32::ClientDc screen(nullptr);
  w32::MemoryDc buffer(screen.Get(), cell.cx, cell.cy);
  if (!buffer.Valid()) return false;
  RECT all{0, 0, cell.cx, cell.cy};
  w32::GdiObject magenta(::CreateSolidBrush(kTransparentColor));
  ::FillRect(buffer.Get(), &all, static_cast<HBRUSH>(magenta.Get()));
  ::ImageList_Draw(list, index, buffer.Get(), 0, 0, ILD_TRANSPARENT);
  // Take the bitmap out of the DC before handing it to the list.
  w32::GdiObject cellBitmap(::CreateCompatibleBitmap(screen.Get(), cell.cx, cell.cy));
  w32::OwnedDc dc(::CreateCompatibleDC(screen.Get()));
  if (!cellBitmap || !dc) return false;
  {
    w32::SelectScope keep(dc.Get(), cellBitmap.Get());
    ::BitBlt(dc.Get(), 0, 0, cell.cx, cell.cy, buffer.Get(), 0, 0, SRCCOPY);
  }
  return ::ImageList_AddMasked(target, static_cast<HBITMAP>(cellBitmap.Get()),
                               kTransparentColor) >= 0;
}

}  // namespace

bool CButtonLooks::Load(HINSTANCE instance, int resourceId, int cellWidth, int cellHeight) {
  CEnBitmap plain, high, disabled;
  if (!plain.LoadBitmap(instance, resourceId) || !high.LoadBitmap(instance, resourceId) ||
      !disabled.LoadBitmap(instance, resourceId))
    return false;
  // A failing effect leaves the plain picture, which is still usable.
  high.HighlightEffect(kTransparentColor);
  disabled.DisabledEffect(kTransparentColor);
  const SIZE size = plain.Size();
  cell = cellWidth > 0 ? SIZE{cellWidth, cellHeight > 0 ? cellHeight : size.cy} : size;
  lists[kLookPlain] = ListFrom(plain.Get(), cell);
  lists[kLookHighlight] = ListFrom(high.Get(), cell);
  lists[kLookDisabled] = ListFrom(disabled.Get(), cell);
  return lists[0] && lists[1] && lists[2];
}

int CButtonLooks::Count() const { return lists[0] ? ::ImageList_GetImageCount(lists[0].Get()) : 0; }

w32::ImageListHandle MakeButtonImageList(const CButtonLooks& looks, int index) {
  w32::ImageListHandle list(
      ::ImageList_Create(looks.cell.cx, looks.cell.cy, ILC_COLOR24 | ILC_MASK, 3, 0));
  if (!list || index < 0 || index >= looks.Count()) return w32::ImageListHandle();
  const ButtonLook order[3] = {kLookHighlight, kLookPlain, kLookDisabled};
  for (ButtonLook look : order)
    if (!CopyImage(looks.List(look), index, looks.cell, list.Get())) return w32::ImageListHandle();
  return list;
}
