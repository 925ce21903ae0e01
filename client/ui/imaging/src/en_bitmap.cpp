#include "imaging/en_bitmap.h"

#include <cstring>

#include "w32/paint.h"

namespace {

constexpr size_t kMaxPixels = size_t(1) << 30;

bool PixelCount(SIZE size, size_t& count) {
  if (size.cx <= 0 || size.cy <= 0) return false;
  const unsigned long long n =
      static_cast<unsigned long long>(size.cx) * static_cast<unsigned long long>(size.cy);
  if (n >= kMaxPixels) return false;
  count = static_cast<size_t>(n);
  return true;
}

BITMAPINFO TopDown32(SIZE size) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = size.cx;
  info.bmiHeader.biHeight = -size.cy;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

}  // namespace

bool CEnBitmap::LoadBitmap(HINSTANCE instance, int resourceId) {
  HANDLE loaded = ::LoadImageW(instance, MAKEINTRESOURCEW(resourceId), IMAGE_BITMAP, 0, 0, 0);
  if (!loaded) return false;
  Attach(static_cast<HBITMAP>(loaded));
  return true;
}

void CEnBitmap::Attach(HBITMAP bitmap) { bitmap_.Reset(bitmap); }

HBITMAP CEnBitmap::Detach() { return static_cast<HBITMAP>(bitmap_.Release()); }

SIZE CEnBitmap::Size() const {
  BITMAP bm{};
  if (!bitmap_ || !::GetObjectW(bitmap_.Get(), sizeof(bm), &bm)) return SIZE{0, 0};
  return SIZE{bm.bmWidth, bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight};
}

void CEnBitmap::FillBackground(RGBQUAD* pixels, size_t count, COLORREF colour) {
  if (colour == 0) {
    std::memset(pixels, 0, count * sizeof(RGBQUAD));
  } else if (colour == 0xFFFFFF || colour == 0xFFFFFFFF) {
    std::memset(pixels, 0xFF, count * sizeof(RGBQUAD));
  } else {
    const RGBQUAD fill{GetBValue(colour), GetGValue(colour), GetRValue(colour), 0};
    for (size_t i = 0; i < count; ++i) pixels[i] = fill;
  }
}

bool CEnBitmap::ProcessPixels(const C32BitProcessorList& processors, std::vector<RGBQUAD>& pixels,
                              SIZE& size, COLORREF background) {
  if (processors.empty()) return true;
  size_t sourceCount = 0;
  if (!PixelCount(size, sourceCount) || pixels.size() < sourceCount) return false;

  // The destination is as large as the largest size any step produces.
  SIZE largest = size, step = size;
  for (C32BitImageProcessor* p : processors) {
    step = p->CalcDestSize(step);
    if (step.cx > largest.cx) largest.cx = step.cx;
    if (step.cy > largest.cy) largest.cy = step.cy;
  }
  size_t destCount = 0;
  if (!PixelCount(largest, destCount)) return false;

  std::vector<RGBQUAD> source(pixels.begin(), pixels.begin() + sourceCount);
  std::vector<RGBQUAD> dest(destCount);
  FillBackground(dest.data(), dest.size(), background);

  SIZE current = size;
  bool first = true;
  for (C32BitImageProcessor* p : processors) {
    if (!first) {
      size_t resultCount = 0;
      if (!PixelCount(current, resultCount)) return false;
      if (resultCount > source.size()) source.resize(resultCount);
      std::memcpy(source.data(), dest.data(), resultCount * sizeof(RGBQUAD));
      FillBackground(dest.data(), dest.size(), background);
    }
    first = false;
    const SIZE out = p->CalcDestSize(current);
    size_t outCount = 0;
    if (!PixelCount(out, outCount) || outCount > dest.size()) return false;
    if (!p->ProcessPixels(source.data(), current, dest.data(), out)) return false;
    current = out;
  }
  size_t finalCount = 0;
  PixelCount(current, finalCount);
  dest.resize(finalCount);
  pixels.swap(dest);
  size = current;
  return true;
}

bool CEnBitmap::ProcessImage(const C32BitProcessorList& processors) {
  if (processors.empty()) return true;
  SIZE size = Size();
  size_t count = 0;
  if (!PixelCount(size, count)) return false;

  w32::ClientDc screen(nullptr);
  if (!screen.Get()) return false;
  std::vector<RGBQUAD> pixels(count);
  BITMAPINFO info = TopDown32(size);
  if (::GetDIBits(screen.Get(), Get(), 0, size.cy, pixels.data(), &info, DIB_RGB_COLORS) == 0)
    return false;

  if (!ProcessPixels(processors, pixels, size, background_)) return false;

  w32::GdiObject result(::CreateCompatibleBitmap(screen.Get(), size.cx, size.cy));
  if (!result) return false;
  BITMAPINFO outInfo = TopDown32(size);
  if (::SetDIBits(screen.Get(), static_cast<HBITMAP>(result.Get()), 0, size.cy, pixels.data(),
                  &outInfo, DIB_RGB_COLORS) == 0)
    return false;
  bitmap_ = std::move(result);
  return true;
}

bool CEnBitmap::HighlightEffect(COLORREF mask) {
  CImageHigh high(0.04f, TRUE, mask);
  return ProcessImage({&high, &high});
}

bool CEnBitmap::DisabledEffect(COLORREF mask) {
  CImageGrayer grayer(TRUE, mask);
  CImageHigh high(0.08f, TRUE, mask);
  return ProcessImage({&grayer, &high, &high, &high});
}
