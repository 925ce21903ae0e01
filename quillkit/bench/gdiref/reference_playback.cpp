#include "reference_playback.h"

#include <cmath>
#include <cstddef>
#include <cstring>
#include <algorithm>

#include "w32/unique_handle.h"

namespace gdiref {
namespace {

bool IsFixedMapMode(int mode) {
  return mode == MM_LOMETRIC || mode == MM_HIMETRIC || mode == MM_LOENGLISH ||
         mode == MM_HIENGLISH || mode == MM_TWIPS;
}

// State kept beside Wine's own playback state while records are played one by
// one. Wine sizes the fixed mapping modes by the playback DC instead of the
// metafile's reference device; we play those modes as anisotropic ones with
// the reference device's extents, so we must know the metafile's own mode and
// keep it across SaveDC/RestoreDC.
struct Player {
  SIZEL refDevice{};       // reference device, pixels
  SIZEL refMillimeters{};  // reference device, millimetres
  int mode = MM_TEXT;
  std::vector<int> savedModes;
  bool failed = false;
};

// Window and viewport extents that GDI gives `mode` on the reference device.
void ExtentsFor(const Player& p, int mode, SIZEL* window, SIZEL* viewport) {
  const LONG mmX = p.refMillimeters.cx, mmY = p.refMillimeters.cy;
  switch (mode) {
    case MM_HIMETRIC: *window = {mmX * 100, mmY * 100}; break;
    case MM_LOENGLISH: *window = {MulDiv(1000, mmX, 254), MulDiv(1000, mmY, 254)}; break;
    case MM_HIENGLISH: *window = {MulDiv(10000, mmX, 254), MulDiv(10000, mmY, 254)}; break;
    case MM_TWIPS: *window = {MulDiv(14400, mmX, 254), MulDiv(14400, mmY, 254)}; break;
    default: *window = {mmX * 10, mmY * 10}; break;  // MM_LOMETRIC, MM_ISOTROPIC
  }
  *viewport = {p.refDevice.cx, -p.refDevice.cy};
}

void PlaySetMapMode(HDC dc, HANDLETABLE* table, UINT handles, int mode) {
  EMRSETMAPMODE rec{};
  rec.emr.iType = EMR_SETMAPMODE;
  rec.emr.nSize = sizeof(rec);
  rec.iMode = static_cast<DWORD>(mode);
  PlayEnhMetaFileRecord(dc, table, reinterpret_cast<const ENHMETARECORD*>(&rec), handles);
}

void PlayExtent(HDC dc, HANDLETABLE* table, UINT handles, DWORD type, SIZEL extent) {
  EMRSETWINDOWEXTEX rec{};  // same layout as EMRSETVIEWPORTEXTEX
  rec.emr.iType = type;
  rec.emr.nSize = sizeof(rec);
  rec.szlExtent = extent;
  PlayEnhMetaFileRecord(dc, table, reinterpret_cast<const ENHMETARECORD*>(&rec), handles);
}

void PlayReferenceExtents(HDC dc, HANDLETABLE* table, UINT handles, const Player& p, int mode) {
  SIZEL window{}, viewport{};
  ExtentsFor(p, mode, &window, &viewport);
  if (window.cx == 0 || window.cy == 0 || viewport.cx == 0 || viewport.cy == 0) return;
  PlayExtent(dc, table, handles, EMR_SETWINDOWEXTEX, window);
  PlayExtent(dc, table, handles, EMR_SETVIEWPORTEXTEX, viewport);
}

BOOL PlayOne(HDC dc, HANDLETABLE* table, const ENHMETARECORD* rec, UINT handles, Player& p) {
  switch (rec->iType) {
    case EMR_EXTCREATEFONTINDIRECTW: {
      // Wine antialiases text unless the font asks for no antialiasing; the
      // rendering we compare with is not antialiased.
      constexpr size_t kMinSize = offsetof(EMREXTCREATEFONTINDIRECTW, elfw) + sizeof(LOGFONTW);
      if (rec->nSize < kMinSize || rec->nSize % 4 != 0) break;
      std::vector<DWORD> copy(rec->nSize / 4);
      std::memcpy(copy.data(), rec, rec->nSize);
      auto* font = reinterpret_cast<EMREXTCREATEFONTINDIRECTW*>(copy.data());
      font->elfw.elfLogFont.lfQuality = NONANTIALIASED_QUALITY;
      return PlayEnhMetaFileRecord(dc, table, reinterpret_cast<const ENHMETARECORD*>(font), handles);
    }
    case EMR_SETMAPMODE: {
      if (rec->nSize < sizeof(EMRSETMAPMODE)) break;
      const int mode = static_cast<int>(reinterpret_cast<const EMRSETMAPMODE*>(rec)->iMode);
      if (IsFixedMapMode(mode)) {
        PlaySetMapMode(dc, table, handles, MM_ANISOTROPIC);
        PlayReferenceExtents(dc, table, handles, p, mode);
        p.mode = mode;
        return TRUE;
      }
      if (mode == MM_ISOTROPIC && p.mode != MM_ISOTROPIC) {
        // Entering isotropic mode starts from the metric extents of the
        // reference device.
        PlaySetMapMode(dc, table, handles, mode);
        PlayReferenceExtents(dc, table, handles, p, MM_LOMETRIC);
        p.mode = mode;
        return TRUE;
      }
      if (mode == MM_TEXT || mode == MM_ISOTROPIC || mode == MM_ANISOTROPIC) p.mode = mode;
      break;
    }
    case EMR_SETWINDOWEXTEX:
    case EMR_SETVIEWPORTEXTEX:
    case EMR_SCALEWINDOWEXTEX:
    case EMR_SCALEVIEWPORTEXTEX:
      // Ignored by GDI in the fixed modes, which we play as anisotropic.
      if (IsFixedMapMode(p.mode)) return TRUE;
      break;
    case EMR_SAVEDC:
      p.savedModes.push_back(p.mode);
      break;
    case EMR_RESTOREDC: {
      if (rec->nSize < sizeof(EMRRESTOREDC)) break;
      int level = reinterpret_cast<const EMRRESTOREDC*>(rec)->iRelative;
      const int depth = static_cast<int>(p.savedModes.size());
      if (level != 0 && std::abs(level) <= depth) {
        if (level < 0) level = depth + level + 1;
        p.mode = p.savedModes[static_cast<size_t>(level - 1)];
        p.savedModes.resize(static_cast<size_t>(level - 1));
      }
      break;
    }
    case EMR_MODIFYWORLDTRANSFORM: {
      // Wine drops the "set" form of this record; it means SETWORLDTRANSFORM.
      constexpr DWORD kMwtSet = 4;
      if (rec->nSize < sizeof(EMRMODIFYWORLDTRANSFORM)) break;
      const auto* modify = reinterpret_cast<const EMRMODIFYWORLDTRANSFORM*>(rec);
      if (modify->iMode != kMwtSet) break;
      EMRSETWORLDTRANSFORM set{};
      set.emr.iType = EMR_SETWORLDTRANSFORM;
      set.emr.nSize = sizeof(set);
      set.xform = modify->xform;
      return PlayEnhMetaFileRecord(dc, table, reinterpret_cast<const ENHMETARECORD*>(&set), handles);
    }
    default:
      break;
  }
  return PlayEnhMetaFileRecord(dc, table, rec, handles);
}

int CALLBACK EnumProc(HDC dc, HANDLETABLE* table, const ENHMETARECORD* rec, int handles,
                      LPARAM data) {
  auto* p = reinterpret_cast<Player*>(data);
  try {
    PlayOne(dc, table, rec, static_cast<UINT>(handles), *p);
  } catch (...) {
    p->failed = true;
    return 0;
  }
  return 1;  // a record GDI cannot play does not end the picture
}

}  // namespace

bool FrameToPixels(const RECTL& frame, int dpi, int* width, int* height, RECT* target) {
  const double exactW = (static_cast<double>(frame.right) - frame.left) * dpi / 2540.0;
  const double exactH = (static_cast<double>(frame.bottom) - frame.top) * dpi / 2540.0;
  const double w = std::ceil(exactW - 1e-6), h = std::ceil(exactH - 1e-6);
  if (!(w >= 1 && h >= 1 && w <= kMaxSide && h <= kMaxSide)) return false;
  if (w * h > static_cast<double>(kMaxPixels)) return false;
  *width = static_cast<int>(w);
  *height = static_cast<int>(h);
  *target = RECT{0, 0, std::max(1L, std::lround(exactW)), std::max(1L, std::lround(exactH))};
  return true;
}

PlaybackResult RenderReference(HENHMETAFILE emf, int dpi, bool shrinkToFit) {
  PlaybackResult result;
  ENHMETAHEADER header{};
  if (GetEnhMetaFileHeader(emf, sizeof(header), &header) < offsetof(ENHMETAHEADER, szlMillimeters) + sizeof(SIZEL)) {
    result.error = L"not an enhanced metafile";
    return result;
  }
  int width = 0, height = 0;
  RECT target{};
  while (!FrameToPixels(header.rclFrame, dpi, &width, &height, &target)) {
    if (!shrinkToFit || dpi <= 1) {
      result.error = L"frame is empty or too large";
      return result;
    }
    dpi = dpi > 12 ? dpi * 3 / 4 : dpi - 1;
  }
  result.dpi = dpi;

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  w32::GdiObject bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  w32::OwnedDc dc(CreateCompatibleDC(nullptr));
  if (!bitmap || !dc || !bits) {
    result.error = L"cannot create the bitmap";
    return result;
  }
  const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
  std::memset(bits, 0xFF, stride * static_cast<size_t>(height));
  HGDIOBJ old = SelectObject(dc.Get(), bitmap.Get());

  Player player;
  player.refDevice = header.szlDevice;
  player.refMillimeters = header.szlMillimeters;
  EnumEnhMetaFile(dc.Get(), emf, EnumProc, &player, &target);
  GdiFlush();
  SelectObject(dc.Get(), old);
  if (player.failed) {
    result.error = L"playback failed";
    return result;
  }

  result.image.width = width;
  result.image.height = height;
  result.image.rgb.resize(static_cast<size_t>(width) * height * 3);
  const auto* src = static_cast<const uint8_t*>(bits);
  uint8_t* dst = result.image.rgb.data();
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = src + stride * static_cast<size_t>(y);
    for (int x = 0; x < width; ++x, dst += 3) {
      dst[0] = row[x * 3 + 2];
      dst[1] = row[x * 3 + 1];
      dst[2] = row[x * 3 + 0];
    }
  }
  result.ok = true;
  return result;
}

}  // namespace gdiref
