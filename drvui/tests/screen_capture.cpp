#include "screen_capture.h"

#include "w32/unique_handle.h"

namespace drvui_test {

namespace {

// A top-down 32-bit DIB section selected into its own DC.
class DibCanvas {
 public:
  DibCanvas(int width, int height) : width_(width), height_(height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc_.Reset(::CreateCompatibleDC(nullptr));
    bitmap_.Reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits_, nullptr, 0));
    if (dc_ && bitmap_) old_ = ::SelectObject(dc_.Get(), bitmap_.Get());
  }
  ~DibCanvas() {
    if (old_) ::SelectObject(dc_.Get(), old_);
  }
  bool Valid() const { return old_ != nullptr && bits_ != nullptr; }
  HDC Dc() const { return dc_.Get(); }

  Picture Take() const {
    Picture picture;
    if (!Valid()) return picture;
    ::GdiFlush();
    picture.width = width_;
    picture.height = height_;
    const auto* source = static_cast<const uint32_t*>(bits_);
    picture.pixels.assign(source, source + static_cast<size_t>(width_) * height_);
    for (uint32_t& pixel : picture.pixels) pixel &= 0x00FFFFFF;
    return picture;
  }

 private:
  int width_, height_;
  w32::OwnedDc dc_;
  w32::GdiObject bitmap_;
  void* bits_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

}  // namespace

COLORREF Picture::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return CLR_INVALID;
  const uint32_t pixel = pixels[static_cast<size_t>(y) * width + x];
  return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

Picture PrintClient(HWND window) {
  RECT client;
  if (!::GetClientRect(window, &client) || client.right <= 0 || client.bottom <= 0) return {};
  DibCanvas canvas(client.right, client.bottom);
  if (!canvas.Valid()) return {};
  ::SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
  return canvas.Take();
}

Picture CaptureScreen(HWND window) {
  RECT area;
  if (!::GetWindowRect(window, &area)) return {};
  const int width = area.right - area.left, height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return {};
  DibCanvas canvas(width, height);
  if (!canvas.Valid()) return {};
  HDC screen = ::GetDC(nullptr);
  if (!screen) return {};
  ::BitBlt(canvas.Dc(), 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
  ::ReleaseDC(nullptr, screen);
  return canvas.Take();
}

bool SaveBmp(const Picture& picture, const std::wstring& path) {
  if (picture.width <= 0 || picture.height <= 0) return false;
  const DWORD rowBytes = (static_cast<DWORD>(picture.width) * 3 + 3) & ~3u;
  const DWORD imageBytes = rowBytes * static_cast<DWORD>(picture.height);

  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  file.bfSize = file.bfOffBits + imageBytes;
  BITMAPINFOHEADER info = {};
  info.biSize = sizeof info;
  info.biWidth = picture.width;
  info.biHeight = picture.height;  // bottom-up, the most widely read form
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  info.biSizeImage = imageBytes;

  std::vector<BYTE> data;
  data.reserve(file.bfSize);
  auto append = [&data](const void* bytes, size_t n) {
    const auto* p = static_cast<const BYTE*>(bytes);
    data.insert(data.end(), p, p + n);
  };
  append(&file, sizeof file);
  append(&info, sizeof info);
  std::vector<BYTE> row(rowBytes, 0);
  for (int y = picture.height - 1; y >= 0; --y) {
    for (int x = 0; x < picture.width; ++x) {
      const uint32_t pixel = picture.pixels[static_cast<size_t>(y) * picture.width + x];
      row[x * 3 + 0] = static_cast<BYTE>(pixel & 0xFF);
      row[x * 3 + 1] = static_cast<BYTE>((pixel >> 8) & 0xFF);
      row[x * 3 + 2] = static_cast<BYTE>((pixel >> 16) & 0xFF);
    }
    append(row.data(), row.size());
  }

  w32::KernelHandle out(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!out) return false;
  DWORD written = 0;
  return ::WriteFile(out.Get(), data.data(), static_cast<DWORD>(data.size()), &written, nullptr) &&
         written == data.size();
}

}  // namespace drvui_test
