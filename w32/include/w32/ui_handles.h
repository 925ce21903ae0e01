// Owners of user-interface handles that the other handle owners do not cover:
// accelerator tables, icons, cursors and image lists. Same template as
// w32/unique_handle.h, so they move and close the same way.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "w32/unique_handle.h"

namespace w32 {

struct AcceleratorTraits {
  using Handle = HACCEL;
  static Handle Invalid() noexcept { return nullptr; }
  static bool IsValid(Handle h) noexcept { return h != nullptr; }
  static void Close(Handle h) noexcept { ::DestroyAcceleratorTable(h); }
};
using AcceleratorTable = UniqueHandle<AcceleratorTraits>;

// Icons made by LoadImage (without LR_SHARED) or CreateIconIndirect.
struct IconTraits {
  using Handle = HICON;
  static Handle Invalid() noexcept { return nullptr; }
  static bool IsValid(Handle h) noexcept { return h != nullptr; }
  static void Close(Handle h) noexcept { ::DestroyIcon(h); }
};
using IconHandle = UniqueHandle<IconTraits>;

// Cursors made by CreateCursor or LoadImage without LR_SHARED.
struct CursorTraits {
  using Handle = HCURSOR;
  static Handle Invalid() noexcept { return nullptr; }
  static bool IsValid(Handle h) noexcept { return h != nullptr; }
  static void Close(Handle h) noexcept { ::DestroyCursor(h); }
};
using CursorHandle = UniqueHandle<CursorTraits>;

struct ImageListTraits {
  using Handle = HIMAGELIST;
  static Handle Invalid() noexcept { return nullptr; }
  static bool IsValid(Handle h) noexcept { return h != nullptr; }
  static void Close(Handle h) noexcept { ::ImageList_Destroy(h); }
};
using ImageListHandle = UniqueHandle<ImageListTraits>;

}  // namespace w32
