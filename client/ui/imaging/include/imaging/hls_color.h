// One colour in RGB bytes and in hue, lightness and saturation, in single
// precision. Each side is computed from the other only when it is not
// current; the lightening of the button looks depends on that arithmetic
// exactly (float, truncation to bytes).
#pragma once
#include <windows.h>

struct CHlsColor {
  BYTE red = 0;
  BYTE green = 0;
  BYTE blue = 0;
  float hue = 0.0f;         // degrees
  float lightness = 0.0f;   // 0 to 1
  float saturation = 0.0f;  // 0 to 1
  bool hlsCurrent = false;
  bool rgbCurrent = false;

  void SetRgb(BYTE r, BYTE g, BYTE b);
  // Changes the lightness by `increment`, kept within 0 to 1; a lightness
  // already at the end the change points to stays.
  void AddLightness(float increment);
  void ToHls();
  void ToRgb();
};
