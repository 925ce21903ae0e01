// Processors of 32-bit top-down pixel buffers (blue, green, red, spare
// byte), run in a list by CEnBitmap::ProcessImage.
#pragma once
#include <windows.h>

class C32BitImageProcessor {
 public:
  virtual ~C32BitImageProcessor();
  // The output size for a source of `source` pixels; the base keeps it.
  virtual SIZE CalcDestSize(SIZE source);
  // Fills `dest` from `src`; the base copies the pixels unchanged.
  virtual BOOL ProcessPixels(const RGBQUAD* src, SIZE srcSize, RGBQUAD* dest, SIZE destSize);
};

// A processor that leaves pixels of one colour alone (the transparent colour
// of the client's pictures) when its mask switch is on.
class CMaskedProcessor : public C32BitImageProcessor {
 public:
  CMaskedProcessor(BOOL useMask, COLORREF mask);
  bool IsMasked(const RGBQUAD& pixel) const;

 protected:
  int useMask_;
  int maskRed_;
  int maskGreen_;
  int maskBlue_;
};

// Grey = (blue + 6 * green + 3 * red) / 10, spare byte 0.
class CImageGrayer : public CMaskedProcessor {
 public:
  explicit CImageGrayer(BOOL useMask = FALSE, COLORREF mask = 0);
  BOOL ProcessPixels(const RGBQUAD* src, SIZE srcSize, RGBQUAD* dest, SIZE destSize) override;
};

// Lightness raised (or lowered) by a fixed increment in HLS.
class CImageHigh : public CMaskedProcessor {
 public:
  explicit CImageHigh(float increment, BOOL useMask = FALSE, COLORREF mask = 0);
  BOOL ProcessPixels(const RGBQUAD* src, SIZE srcSize, RGBQUAD* dest, SIZE destSize) override;

 private:
  float increment_;
};
