// A bitmap that can run its pixels through a list of processors, and the two
// looks the client makes of every button picture.
#pragma once
#include <windows.h>

#include <vector>

#include "imaging/image_processors.h"
#include "w32/unique_handle.h"

using C32BitProcessorList = std::vector<C32BitImageProcessor*>;

class CEnBitmap {
 public:
  CEnBitmap() = default;

  // Loads a bitmap resource (as a device-dependent bitmap).
  bool LoadBitmap(HINSTANCE instance, int resourceId);
  // Takes ownership of `bitmap`, deleting the one held before.
  void Attach(HBITMAP bitmap);
  HBITMAP Detach();
  HBITMAP Get() const { return static_cast<HBITMAP>(bitmap_.Get()); }
  SIZE Size() const;

  COLORREF BackgroundColor() const { return background_; }
  void SetBackgroundColor(COLORREF colour) { background_ = colour; }

  // Runs the processors in order; on success the bitmap is replaced by the
  // result. An empty list succeeds and changes nothing.
  bool ProcessImage(const C32BitProcessorList& processors);

  // Slightly lighter: lightness +0.04 twice. Pixels in `mask` stay.
  bool HighlightEffect(COLORREF mask);
  // Grey and lighter: grey, then lightness +0.08 three times.
  bool DisabledEffect(COLORREF mask);

  // Fills `pixels` of a 32-bit buffer with `colour` as the pipeline does:
  // 0 gives zero bytes, 0xFFFFFF and 0xFFFFFFFF give 0xFF bytes, any other
  // colour blue, green, red, 0 in every pixel.
  static void FillBackground(RGBQUAD* pixels, size_t count, COLORREF colour);
  // Runs the processors over an image held in memory. `pixels` holds
  // `size` on entry and the result on return, `size` its new size.
  static bool ProcessPixels(const C32BitProcessorList& processors, std::vector<RGBQUAD>& pixels,
                            SIZE& size, COLORREF background);

 private:
  w32::GdiObject bitmap_;
  COLORREF background_ = 0xFFFFFF;
};
