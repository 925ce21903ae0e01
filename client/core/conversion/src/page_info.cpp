#include "conversion/page_info.h"

#include <cmath>

#include "w32/strings.h"

bool OpenEmf(const std::string& path, w32::EnhMetaFile& emf, EmfSize& size) {
  emf.Reset(::GetEnhMetaFileW(w32::Widen(path).c_str()));
  if (!emf) return false;
  ENHMETAHEADER header = {};
  const UINT got = ::GetEnhMetaFileHeader(emf.Get(), sizeof(header), &header);
  if (got < offsetof(ENHMETAHEADER, szlMillimeters) + sizeof(header.szlMillimeters)) {
    emf.Reset();
    return false;
  }
  size.deviceWidth = header.szlDevice.cx;
  size.deviceHeight = header.szlDevice.cy;
  // Headers of 108 bytes carry the size in micrometres; older, shorter ones
  // only in millimetres.
  const bool hasMicrometres =
      got >= sizeof(ENHMETAHEADER) && header.nSize >= sizeof(ENHMETAHEADER) &&
      header.szlMicrometers.cx > 0 && header.szlMicrometers.cy > 0;
  size.micrometresWidth = hasMicrometres ? header.szlMicrometers.cx : header.szlMillimeters.cx * 1000.0;
  size.micrometresHeight = hasMicrometres ? header.szlMicrometers.cy : header.szlMillimeters.cy * 1000.0;
  if (size.deviceWidth <= 0 || size.deviceHeight <= 0 || size.micrometresWidth <= 0 ||
      size.micrometresHeight <= 0) {
    emf.Reset();
    return false;
  }
  return true;
}

double RawDpi(long pixels, double micrometres) {
  return micrometres > 0 ? pixels / (micrometres / 25400.0) : 0;
}

long RoundDpi(double dpi) {
  const double whole = std::floor(dpi);
  return static_cast<long>(dpi - whole > 0.5 ? whole + 1 : whole);
}
