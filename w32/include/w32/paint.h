// Painting helpers: scoped device contexts and an off-screen buffer.
//
//   PaintDc      BeginPaint/EndPaint for WM_PAINT.
//   ClientDc     GetDC/ReleaseDC of a window (NULL window: the screen).
//   SelectScope  selects a GDI object into a DC and puts the old one back.
//   MemoryDc     a memory DC with a compatible bitmap of a given size; draw
//                into it, then BlitTo the real DC. Used for double-buffered
//                painting so that a window never shows half-drawn frames.
#pragma once
#include <windows.h>

#include "w32/unique_handle.h"

namespace w32 {

class PaintDc {
 public:
  explicit PaintDc(HWND window) : window_(window) { dc_ = ::BeginPaint(window, &ps_); }
  ~PaintDc() { ::EndPaint(window_, &ps_); }
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;
  HDC Get() const { return dc_; }
  const PAINTSTRUCT& Info() const { return ps_; }

 private:
  HWND window_;
  PAINTSTRUCT ps_{};
  HDC dc_ = nullptr;
};

class ClientDc {
 public:
  explicit ClientDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
  ~ClientDc() {
    if (dc_) ::ReleaseDC(window_, dc_);
  }
  ClientDc(const ClientDc&) = delete;
  ClientDc& operator=(const ClientDc&) = delete;
  HDC Get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

class SelectScope {
 public:
  SelectScope(HDC dc, HGDIOBJ object) : dc_(dc), old_(object ? ::SelectObject(dc, object) : nullptr) {}
  ~SelectScope() {
    if (old_) ::SelectObject(dc_, old_);
  }
  SelectScope(const SelectScope&) = delete;
  SelectScope& operator=(const SelectScope&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// An off-screen drawing surface compatible with `reference`, `width` by
// `height` pixels. Valid() is false when the system has no memory for it;
// callers then draw straight onto the screen DC or skip the frame.
class MemoryDc {
 public:
  MemoryDc(HDC reference, int width, int height)
      : width_(width > 0 ? width : 1), height_(height > 0 ? height : 1) {
    dc_.Reset(::CreateCompatibleDC(reference));
    if (dc_) bitmap_.Reset(::CreateCompatibleBitmap(reference, width_, height_));
    if (bitmap_) old_ = ::SelectObject(dc_.Get(), bitmap_.Get());
  }
  ~MemoryDc() {
    if (old_) ::SelectObject(dc_.Get(), old_);
  }
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;

  bool Valid() const { return dc_.Valid() && bitmap_.Valid(); }
  HDC Get() const { return dc_.Get(); }
  int Width() const { return width_; }
  int Height() const { return height_; }
  // Copies the whole buffer to (x, y) of `target`.
  bool BlitTo(HDC target, int x = 0, int y = 0) const {
    return ::BitBlt(target, x, y, width_, height_, dc_.Get(), 0, 0, SRCCOPY) != FALSE;
  }

 private:
  int width_;
  int height_;
  OwnedDc dc_;
  GdiObject bitmap_;
  HGDIOBJ old_ = nullptr;
};

}  // namespace w32
