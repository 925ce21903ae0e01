// Plays an EMF into a white 24-bit DIB the way Windows GDI would, correcting
// the places where Wine's playback departs from it, so that the picture can
// serve as the reference for fidelity measurements.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>
#include <vector>

namespace gdiref {

struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;  // width * height * 3, top row first
};

struct PlaybackResult {
  bool ok = false;
  int dpi = 0;         // the resolution drawn at
  std::wstring error;  // why it failed, when it did
  RgbImage image;
};

// Largest picture drawn; bigger frames are refused rather than allocated.
constexpr int kMaxSide = 20000;
constexpr int64_t kMaxPixels = 80LL * 1000 * 1000;

// Picture size in pixels of an EMF frame (0.01 mm units) at `dpi`: the
// bitmap is rounded up, as PDF renderers size a page, and the frame is drawn
// into `target`, its size rounded to the nearest pixel.
bool FrameToPixels(const RECTL& frame, int dpi, int* width, int* height, RECT* target);

// Renders the metafile at `dpi` onto white; with `shrinkToFit`, a frame too
// large for that resolution is drawn at the largest resolution that fits.
// Never throws.
PlaybackResult RenderReference(HENHMETAFILE emf, int dpi, bool shrinkToFit = false);

}  // namespace gdiref
