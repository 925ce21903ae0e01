#include "sample_pages.h"

#include <cstring>
#include <vector>

#include "w32/strings.h"
#include "w32/unique_handle.h"

namespace spool {
namespace {

// A4 at 600 dpi: the reference device a printer driver records against.
const int kDpi = 600;
const LONG kWidthPx = 4960, kHeightPx = 7016;
const LONG kWidthMm = 210, kHeightMm = 297;

int Points(int pt) { return -MulDiv(pt, kDpi, 72); }

void Text(HDC dc, int x, int y, const wchar_t* face, int pt, int weight, bool italic,
          COLORREF color, const std::wstring& text) {
  w32::GdiObject font(::CreateFontW(Points(pt), 0, 0, 0, weight, italic, FALSE, FALSE,
                                    DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                    DEFAULT_QUALITY, DEFAULT_PITCH, face));
  HGDIOBJ old = ::SelectObject(dc, font.Get());
  ::SetTextColor(dc, color);
  ::TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
  ::SelectObject(dc, old);
}

void Bitmap(HDC dc, int x, int y, int w, int h, int page) {
  const int bw = 64, bh = 48;
  std::vector<BYTE> bits(static_cast<size_t>(bw) * 3 * bh);
  for (int row = 0; row < bh; ++row)
    for (int col = 0; col < bw; ++col) {
      BYTE* p = &bits[(static_cast<size_t>(row) * bw + col) * 3];
      p[0] = static_cast<BYTE>(col * 4);                       // blue
      p[1] = static_cast<BYTE>(row * 5);                       // green
      p[2] = static_cast<BYTE>(((col / 8 + row / 8 + page) % 2) * 200);  // red checks
    }
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = bw;
  info.bmiHeader.biHeight = bh;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  ::StretchDIBits(dc, x, y, w, h, 0, 0, bw, bh, bits.data(), &info, DIB_RGB_COLORS, SRCCOPY);
}

void Draw(HDC dc, int page, int pages) {
  ::SetBkMode(dc, TRANSPARENT);
  const int margin = 600;  // one inch
  Text(dc, margin, margin, L"Arial", 28, FW_BOLD, false, RGB(0, 0, 0),
       w32::Format(L"Scrivo sample page %d of %d", page, pages));
  Text(dc, margin, margin + 400, L"Times New Roman", 12, FW_NORMAL, false, RGB(0, 0, 0),
       L"Times New Roman 12 pt: The quick brown fox jumps over the lazy dog.");
  Text(dc, margin, margin + 560, L"Courier New", 10, FW_NORMAL, false, RGB(0, 0, 128),
       L"Courier New 10 pt: 0123456789 {}[]()<>;:");
  Text(dc, margin, margin + 700, L"Arial", 18, FW_NORMAL, true, RGB(160, 0, 0),
       L"Arial 18 pt italic, in red");
  Text(dc, margin, margin + 960, L"Arial", 8, FW_NORMAL, false, RGB(64, 64, 64),
       L"Arial 8 pt: small print at the foot of the text block.");

  // Lines of several widths and styles.
  for (int i = 0; i < 5; ++i) {
    w32::GdiObject pen(::CreatePen(i == 4 ? PS_DASH : PS_SOLID, i == 4 ? 1 : 4 + i * 8,
                                   RGB(0, 40 * i, 200 - 40 * i)));
    HGDIOBJ old = ::SelectObject(dc, pen.Get());
    const int y = 1900 + i * 120;
    ::MoveToEx(dc, margin, y, nullptr);
    ::LineTo(dc, kWidthPx - margin, y + (page - 1) * 40);
    ::SelectObject(dc, old);
  }

  // Filled shapes.
  w32::GdiObject solid(::CreateSolidBrush(RGB(255, 200, 0)));
  w32::GdiObject hatch(::CreateHatchBrush(HS_DIAGCROSS, RGB(0, 128, 0)));
  w32::GdiObject outline(::CreatePen(PS_SOLID, 12, RGB(0, 0, 0)));
  HGDIOBJ oldPen = ::SelectObject(dc, outline.Get());
  HGDIOBJ oldBrush = ::SelectObject(dc, solid.Get());
  ::Rectangle(dc, margin, 2700, margin + 1500, 3700);
  ::SelectObject(dc, hatch.Get());
  ::Ellipse(dc, margin + 1800, 2700, margin + 3300, 3700);
  w32::GdiObject blue(::CreateSolidBrush(RGB(40, 80, 220)));
  ::SelectObject(dc, blue.Get());
  const POINT star[5] = {{margin + 750, 3900}, {margin + 1200, 5200}, {margin, 4400},
                         {margin + 1500, 4400}, {margin + 300, 5200}};
  ::SetPolyFillMode(dc, WINDING);
  ::Polygon(dc, star, 5);
  ::SelectObject(dc, oldBrush);
  ::SelectObject(dc, oldPen);

  Bitmap(dc, margin + 1800, 3900, 1500, 1125, page);

  Text(dc, margin, kHeightPx - margin - 100, L"Arial", 9, FW_NORMAL, false, RGB(0, 0, 0),
       w32::Format(L"- %d -", page));
}

}  // namespace

bool DrawSamplePage(const std::wstring& path, int page, int pages, std::wstring* error) {
  const RECT frame = {0, 0, kWidthMm * 100, kHeightMm * 100};  // in 0.01 mm
  HDC recorder = ::CreateEnhMetaFileW(nullptr, nullptr, &frame, L"Scrivo spool stand-in\0Sample page\0");
  if (!recorder) {
    *error = L"cannot record a page: " + w32::SystemErrorText(::GetLastError());
    return false;
  }
  Draw(recorder, page, pages);
  w32::EnhMetaFile emf(::CloseEnhMetaFile(recorder));
  const UINT size = ::GetEnhMetaFileBits(emf.Get(), 0, nullptr);
  std::vector<BYTE> bytes(size);
  if (size < sizeof(ENHMETAHEADER) || ::GetEnhMetaFileBits(emf.Get(), size, bytes.data()) != size) {
    *error = L"cannot read the recorded page back";
    return false;
  }
  // Recorded in 600-dpi units against the screen: make the header name the
  // 600-dpi A4 device those units belong to.
  ENHMETAHEADER header;
  std::memcpy(&header, bytes.data(), sizeof(header));
  header.szlDevice = {kWidthPx, kHeightPx};
  header.szlMillimeters = {kWidthMm, kHeightMm};
  if (header.nSize >= offsetof(ENHMETAHEADER, szlMicrometers) + sizeof(SIZEL))
    header.szlMicrometers = {kWidthMm * 1000, kHeightMm * 1000};
  std::memcpy(bytes.data(), &header, sizeof(header));

  w32::KernelHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  if (!file || !::WriteFile(file.Get(), bytes.data(), size, &written, nullptr) || written != size) {
    *error = L"cannot write " + path + L": " + w32::SystemErrorText(::GetLastError());
    return false;
  }
  return true;
}

}  // namespace spool
