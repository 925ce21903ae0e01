// Pictures of windows for the tests: what a control draws into a given DC,
// and what the screen shows of a window, saved as a BMP file for people to
// look at.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>
#include <vector>

namespace drvui_test {

// 32-bit pixels, top row first.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // 0x00RRGGBB

  COLORREF At(int x, int y) const;
};

// What `window` draws of its client area when asked to print it
// (WM_PRINTCLIENT), independent of what covers it on the screen.
Picture PrintClient(HWND window);
// The screen's content under `window`'s rectangle.
Picture CaptureScreen(HWND window);
// Writes a 24-bit BMP file; false on failure.
bool SaveBmp(const Picture& picture, const std::wstring& path);

}  // namespace drvui_test
