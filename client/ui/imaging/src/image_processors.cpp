#include "imaging/image_processors.h"

#include <cstring>

#include "imaging/hls_color.h"

namespace {
size_t PixelCount(SIZE size) {
  if (size.cx <= 0 || size.cy <= 0) return 0;
  return static_cast<size_t>(size.cx) * static_cast<size_t>(size.cy);
}
size_t CommonCount(SIZE a, SIZE b) {
  const size_t x = PixelCount(a), y = PixelCount(b);
  return x < y ? x : y;
}
}  // namespace

C32BitImageProcessor::~C32BitImageProcessor() = default;

SIZE C32BitImageProcessor::CalcDestSize(SIZE source) { return source; }

BOOL C32BitImageProcessor::ProcessPixels(const RGBQUAD* src, SIZE srcSize, RGBQUAD* dest,
                                         SIZE destSize) {
  const size_t count = CommonCount(srcSize, destSize);
  if (count) std::memcpy(dest, src, count * sizeof(RGBQUAD));
  return TRUE;
}

CMaskedProcessor::CMaskedProcessor(BOOL useMask, COLORREF mask)
    : useMask_(useMask ? 1 : 0),
      maskRed_(GetRValue(mask)),
      maskGreen_(GetGValue(mask)),
      maskBlue_(GetBValue(mask)) {}

bool CMaskedProcessor::IsMasked(const RGBQUAD& pixel) const {
  return useMask_ && pixel.rgbRed == maskRed_ && pixel.rgbGreen == maskGreen_ &&
         pixel.rgbBlue == maskBlue_;
}

CImageGrayer::CImageGrayer(BOOL useMask, COLORREF mask) : CMaskedProcessor(useMask, mask) {}

BOOL CImageGrayer::ProcessPixels(const RGBQUAD* src, SIZE srcSize, RGBQUAD* dest, SIZE destSize) {
  const size_t count = CommonCount(srcSize, destSize);
  for (size_t i = 0; i < count; ++i) {
    const RGBQUAD& p = src[i];
    if (IsMasked(p)) {
      dest[i] = p;
      continue;
    }
    const BYTE grey = static_cast<BYTE>((p.rgbBlue + 6 * p.rgbGreen + 3 * p.rgbRed) / 10);
    dest[i].rgbBlue = dest[i].rgbGreen = dest[i].rgbRed = grey;
    dest[i].rgbReserved = 0;
  }
  return TRUE;
}

CImageHigh::CImageHigh(float increment, BOOL useMask, COLORREF mask)
    : CMaskedProcessor(useMask, mask), increment_(increment) {}

BOOL CImageHigh::ProcessPixels(const RGBQUAD* src, SIZE srcSize, RGBQUAD* dest, SIZE destSize) {
  const size_t count = CommonCount(srcSize, destSize);
  for (size_t i = 0; i < count; ++i) {
    const RGBQUAD& p = src[i];
    if (IsMasked(p)) {
      dest[i] = p;
      continue;
    }
    CHlsColor colour;
    colour.SetRgb(p.rgbRed, p.rgbGreen, p.rgbBlue);
    colour.AddLightness(increment_);
    colour.ToRgb();
    dest[i].rgbBlue = colour.blue;
    dest[i].rgbGreen = colour.green;
    dest[i].rgbRed = colour.red;  // the spare byte keeps what the buffer held
  }
  return TRUE;
}
