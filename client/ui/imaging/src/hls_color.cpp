#include "imaging/hls_color.h"

namespace {

// The value of one RGB channel at hue `h` (degrees) between m1 and m2.
float HueToValue(float m1, float m2, float h) {
  if (h > 360.0f)
    h -= 360.0f;
  else if (h < 0.0f)
    h += 360.0f;
  if (h < 60.0f) return m1 + (m2 - m1) * h / 60.0f;
  if (h < 180.0f) return m2;
  if (h < 240.0f) return m1 + (m2 - m1) * (240.0f - h) / 60.0f;
  return m1;
}

BYTE ToByte(float value) { return static_cast<BYTE>(static_cast<int>(value * 255.0f)); }

}  // namespace

void CHlsColor::SetRgb(BYTE r, BYTE g, BYTE b) {
  red = r;
  green = g;
  blue = b;
  rgbCurrent = true;
  hlsCurrent = false;
}

void CHlsColor::AddLightness(float increment) {
  ToHls();
  if (increment > 0.0f && lightness < 1.0f) {
    const float raised = lightness + increment;
    lightness = raised < 1.0f ? raised : 1.0f;
  } else if (increment < 0.0f && lightness > 0.0f) {
    const float lowered = lightness + increment;
    lightness = lowered > 0.0f ? lowered : 0.0f;
  }
  rgbCurrent = false;
}

void CHlsColor::ToHls() {
  if (hlsCurrent) return;
  const BYTE mx = red > green ? (red > blue ? red : blue) : (green > blue ? green : blue);
  const BYTE mn = red < green ? (red < blue ? red : blue) : (green < blue ? green : blue);
  const float sum = static_cast<float>(mx) + static_cast<float>(mn);
  lightness = sum / 510.0f;
  if (mx == mn) {
    saturation = 0.0f;
    hue = 0.0f;
  } else {
    const float d = static_cast<float>(mx) - static_cast<float>(mn);
    saturation = lightness <= 0.5f ? d / sum : d / (510.0f - sum);
    const float rc = (static_cast<float>(mx) - red) / d;
    const float gc = (static_cast<float>(mx) - green) / d;
    const float bc = (static_cast<float>(mx) - blue) / d;
    // On ties the later test wins.
    if (red == mx) hue = (bc + 6.0f - gc) * 60.0f;
    if (green == mx) hue = (rc + 2.0f - bc) * 60.0f;
    if (blue == mx) hue = (gc + 4.0f - rc) * 60.0f;
    if (hue > 360.0f) hue -= 360.0f;
  }
  hlsCurrent = true;
}

void CHlsColor::ToRgb() {
  if (rgbCurrent) return;
  if (saturation == 0.0f) {
    red = green = blue = ToByte(lightness);
  } else {
    const float m2 = lightness <= 0.5f ? lightness * (1.0f + saturation)
                                       : lightness + saturation - lightness * saturation;
    const float m1 = 2.0f * lightness - m2;
    red = ToByte(HueToValue(m1, m2, hue + 120.0f));
    green = ToByte(HueToValue(m1, m2, hue));
    blue = ToByte(HueToValue(m1, m2, hue - 120.0f));
  }
  rgbCurrent = true;
}
