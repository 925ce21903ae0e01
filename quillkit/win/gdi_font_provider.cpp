// The GDI font provider: a LOGFONT made of the request is selected into a
// memory DC and the data of the face GDI chose is read with GetFontData (the
// whole collection for a face of a .ttc, with the face's index found by its
// tables). The face's own style and family come from its tables, not from
// what GDI reports, so that styles GDI would simulate are simulated by the
// writer too, and a face GDI gives under another name (Wine's replacements,
// Windows' font substitutes) is known for the stand-in it is.
//
// When GDI chooses another family than the one asked for, a metric-compatible
// face is looked for by name (Liberation for Arial, Times New Roman and
// Courier New, Carlito and Caladea for Calibri and Cambria), then GDI's own
// choice is used; faces without outlines (raster and vector fonts) are
// passed over for a common outline face, so text always has a font. Faces
// with CFF outlines (OpenType PostScript faces) are given like TrueType ones:
// the writer embeds their CFF data.
#include "quillkit_win/gdi_font_provider.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <iterator>
#include <string>
#include <vector>

#include "w32/paint.h"
#include "w32/unique_handle.h"

namespace quillkit::win {
namespace {

// GetFontData names tables with their first letter in the low byte.
constexpr DWORD GdiTag(const char (&t)[5]) {
  return DWORD(uint8_t(t[0])) | DWORD(uint8_t(t[1])) << 8 | DWORD(uint8_t(t[2])) << 16 |
         DWORD(uint8_t(t[3])) << 24;
}
// The same tag as it is stored in a font's table directory.
constexpr uint32_t FileTag(const char (&t)[5]) {
  return uint32_t(uint8_t(t[0])) << 24 | uint32_t(uint8_t(t[1])) << 16 | uint32_t(uint8_t(t[2])) << 8 |
         uint32_t(uint8_t(t[3]));
}

constexpr DWORD kMaxFontBytes = 256u << 20;
constexpr uint32_t kMaxFacesInCollection = 1024;

uint16_t U16(const std::vector<uint8_t>& d, std::size_t at) {
  return at + 2 <= d.size() ? uint16_t(d[at] << 8 | d[at + 1]) : 0;
}
uint32_t U32(const std::vector<uint8_t>& d, std::size_t at) {
  return at + 4 <= d.size()
             ? uint32_t(d[at]) << 24 | uint32_t(d[at + 1]) << 16 | uint32_t(d[at + 2]) << 8 | d[at + 3]
             : 0;
}

// A table (or, with table 0, the whole font file) of the font selected into
// `dc`; false when GDI has no such data.
bool ReadFontData(HDC dc, DWORD table, std::vector<uint8_t>& out) {
  out.clear();
  const DWORD n = ::GetFontData(dc, table, 0, nullptr, 0);
  if (n == GDI_ERROR || n == 0 || n > kMaxFontBytes) return false;
  out.resize(n);
  const DWORD got = ::GetFontData(dc, table, 0, out.data(), n);
  if (got != n) {
    out.clear();
    return false;
  }
  return true;
}

struct TableRef {
  uint32_t offset = 0, length = 0;
};

// A table of the face whose table directory starts at `dir`; false when the
// face has none or it lies outside the file.
bool FindTable(const std::vector<uint8_t>& file, std::size_t dir, uint32_t tag, TableRef& t) {
  if (dir + 12 > file.size()) return false;
  const uint16_t count = U16(file, dir + 4);
  for (uint16_t i = 0; i < count; ++i) {
    const std::size_t entry = dir + 12 + 16u * i;
    if (entry + 16 > file.size()) return false;
    if (U32(file, entry) != tag) continue;
    t.offset = U32(file, entry + 8);
    t.length = U32(file, entry + 12);
    return uint64_t(t.offset) + t.length <= file.size();
  }
  return false;
}

// The face of a collection that GDI selected: the one whose tables are the
// tables GDI gives for the selected face (faces of a collection share some
// tables, so several are compared and the best match wins).
bool FaceIndexInCollection(HDC dc, const std::vector<uint8_t>& ttc, uint32_t& index) {
  const uint32_t faces = U32(ttc, 8);
  if (faces == 0 || faces > kMaxFacesInCollection || 12 + 4ull * faces > ttc.size()) return false;
  static const char kTags[][5] = {"name", "OS/2", "head", "hhea", "cmap", "maxp", "post"};
  std::vector<std::vector<uint8_t>> selected(std::size(kTags));
  for (std::size_t k = 0; k < std::size(kTags); ++k) ReadFontData(dc, GdiTag(kTags[k]), selected[k]);
  int best = 0;
  for (uint32_t i = 0; i < faces; ++i) {
    const std::size_t dir = U32(ttc, 12 + 4u * i);
    int score = 0;
    for (std::size_t k = 0; k < std::size(kTags); ++k) {
      TableRef t;
      if (selected[k].empty() || !FindTable(ttc, dir, FileTag(kTags[k]), t)) continue;
      if (t.length == selected[k].size() && std::memcmp(ttc.data() + t.offset, selected[k].data(), t.length) == 0)
        ++score;
    }
    if (score > best) {
      best = score;
      index = i;
    }
  }
  return best > 0;
}

// What the face's own tables say: its style, and whether it has outlines
// the writer embeds (TrueType, or CFF).
struct FaceTables {
  bool bold = false, italic = false;
  bool outlines = false;
};

FaceTables ReadFaceTables(const std::vector<uint8_t>& file, std::size_t dir) {
  FaceTables f;
  TableRef t;
  if (FindTable(file, dir, FileTag("head"), t) && t.length >= 54) {
    const uint16_t macStyle = U16(file, t.offset + 44);
    f.bold = (macStyle & 1) != 0;
    f.italic = (macStyle & 2) != 0;
  }
  if (FindTable(file, dir, FileTag("OS/2"), t) && t.length >= 64) {
    const uint16_t weightClass = U16(file, t.offset + 4);
    const uint16_t fsSelection = U16(file, t.offset + 62);
    f.bold = f.bold || weightClass >= 600 || (fsSelection & 0x20) != 0;
    f.italic = f.italic || (fsSelection & 0x201) != 0;  // italic or oblique
  }
  TableRef glyf, loca, cff;
  f.outlines = (FindTable(file, dir, FileTag("glyf"), glyf) && FindTable(file, dir, FileTag("loca"), loca)) ||
               FindTable(file, dir, FileTag("CFF "), cff);
  return f;
}

// The family names (name 1) of a face in its Windows name records, US
// English first.
std::vector<std::wstring> FamilyNames(const std::vector<uint8_t>& file, std::size_t dir) {
  std::vector<std::wstring> names;
  TableRef t;
  if (!FindTable(file, dir, FileTag("name"), t) || t.length < 6) return names;
  const std::size_t base = t.offset, end = std::size_t(t.offset) + t.length;
  const uint16_t count = U16(file, base + 2);
  const std::size_t strings = base + U16(file, base + 4);
  for (uint16_t i = 0; i < count; ++i) {
    const std::size_t r = base + 6 + 12u * i;
    if (r + 12 > end) break;
    const uint16_t platform = U16(file, r), encoding = U16(file, r + 2), language = U16(file, r + 4);
    const uint16_t id = U16(file, r + 6), length = U16(file, r + 8), offset = U16(file, r + 10);
    if (platform != 3 || (encoding != 0 && encoding != 1 && encoding != 10) || id != 1) continue;
    if (strings + offset + length > end) continue;
    std::wstring name;
    for (std::size_t k = 0; k + 1 < length; k += 2) name += wchar_t(U16(file, strings + offset + k));
    if (name.empty()) continue;
    if (language == 0x409) names.insert(names.begin(), name);
    else names.push_back(name);
  }
  return names;
}

std::string Utf8(const std::wstring& s) {
  if (s.empty()) return std::string();
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, s.data(), int(s.size()), nullptr, 0, nullptr, nullptr);
  if (n <= 0) return std::string();
  std::string out(std::size_t(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, s.data(), int(s.size()), &out[0], n, nullptr, nullptr);
  return out;
}


std::wstring Lower(std::wstring s) {
  if (!s.empty()) ::CharLowerBuffW(&s[0], DWORD(s.size()));
  return s;
}

// Face names compare without regard to case, as GDI compares them.
bool SameFace(const std::wstring& a, const std::wstring& b) { return Lower(a) == Lower(b); }

// The face a LOGFONT gets, with its data. False when GDI selects nothing
// or a face without TrueType or CFF outlines, or (with `onlyAsNamed`) a face GDI
// does not give under the LOGFONT's name.
bool SelectFace(const LOGFONTW& lf, FontFile& out, std::wstring& selectedFace, bool onlyAsNamed = false) {
  w32::GdiObject font(::CreateFontIndirectW(&lf));
  if (!font) return false;
  w32::OwnedDc dc(::CreateCompatibleDC(nullptr));
  if (!dc) return false;
  w32::SelectScope select(dc.Get(), font.Get());

  wchar_t face[LF_FACESIZE + 1] = {};
  if (::GetTextFaceW(dc.Get(), LF_FACESIZE, face) <= 0) return false;
  face[LF_FACESIZE] = L'\0';
  selectedFace.assign(face, wcsnlen(face, LF_FACESIZE));
  if (onlyAsNamed && !SameFace(selectedFace, lf.lfFaceName)) return false;
  // Outline metrics exist for outline faces only (not for raster fonts).
  if (::GetOutlineTextMetricsW(dc.Get(), 0, nullptr) == 0) return false;

  FontFile file;
  std::size_t dir = 0;
  if (ReadFontData(dc.Get(), GdiTag("ttcf"), file.data) && file.data.size() >= 16 &&
      std::memcmp(file.data.data(), "ttcf", 4) == 0) {
    if (!FaceIndexInCollection(dc.Get(), file.data, file.faceIndex)) return false;
    dir = U32(file.data, 12 + 4u * file.faceIndex);
  } else if (!ReadFontData(dc.Get(), 0, file.data)) {
    return false;
  }
  const FaceTables tables = ReadFaceTables(file.data, dir);
  if (!tables.outlines) return false;
  file.bold = tables.bold;
  file.italic = tables.italic;
  // The family of the data itself: a face GDI gives under another name (a
  // replacement or substitute) is named for what it is. Of its names, the
  // one asked for (a localized name), else its US English one.
  const std::vector<std::wstring> families = FamilyNames(file.data, dir);
  std::wstring family = families.empty() ? selectedFace : families.front();
  for (const std::wstring& name : families)
    if (SameFace(name, std::wstring(lf.lfFaceName))) family = name;
  file.familyName = Utf8(family);
  out = std::move(file);
  return true;
}

LOGFONTW LogFontFor(const FontRequest& r, const std::wstring& face, BYTE charset,
                    BYTE precision = OUT_TT_ONLY_PRECIS) {
  LOGFONTW lf = {};
  lf.lfHeight = -1000;  // the data does not depend on the size
  lf.lfWeight = r.weight;
  lf.lfItalic = r.italic ? TRUE : FALSE;
  lf.lfCharSet = charset;
  // Only faces with outlines have font data: GDI then prefers them.
  lf.lfOutPrecision = precision;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = r.pitchAndFamily;
  const std::size_t n = std::min<std::size_t>(face.size(), LF_FACESIZE - 1);
  std::wmemcpy(lf.lfFaceName, face.data(), n);
  lf.lfFaceName[n] = L'\0';
  return lf;
}

bool IsSymbolRequest(const FontRequest& r, const std::wstring& lower) {
  return r.charset == SYMBOL_CHARSET || lower.find(L"symbol") != std::wstring::npos ||
         lower.find(L"wingdings") != std::wstring::npos || lower.find(L"webdings") != std::wstring::npos ||
         lower.find(L"marlett") != std::wstring::npos;
}

// Faces with the same metrics as a face an application may ask for.
std::vector<std::wstring> MetricCompatible(const std::wstring& lower) {
  auto is = [&](const wchar_t* name) { return lower == name; };
  auto has = [&](const wchar_t* part) { return lower.find(part) != std::wstring::npos; };
  if (has(L"arial narrow")) return {L"Liberation Sans Narrow"};
  if (is(L"arial") || is(L"helvetica") || is(L"arimo")) return {L"Arial", L"Liberation Sans", L"Arimo"};
  if (is(L"times new roman") || is(L"times") || is(L"tinos"))
    return {L"Times New Roman", L"Liberation Serif", L"Tinos"};
  if (is(L"courier new") || is(L"courier") || is(L"cousine"))
    return {L"Courier New", L"Liberation Mono", L"Cousine"};
  if (is(L"calibri")) return {L"Carlito"};
  if (is(L"cambria")) return {L"Caladea"};
  if (is(L"liberation sans")) return {L"Arial"};
  if (is(L"liberation serif")) return {L"Times New Roman"};
  if (is(L"liberation mono")) return {L"Courier New"};
  return {};
}

// Common outline faces, for a request nothing better was found for.
std::vector<std::wstring> LastResorts(const FontRequest& r, const std::wstring& lower) {
  const int family = r.pitchAndFamily & 0xF0, pitch = r.pitchAndFamily & 3;
  const bool mono = pitch == FIXED_PITCH || family == FF_MODERN || lower.find(L"mono") != std::wstring::npos ||
                    lower.find(L"courier") != std::wstring::npos || lower.find(L"consol") != std::wstring::npos;
  const bool serif = family == FF_ROMAN || lower.find(L"times") != std::wstring::npos ||
                     lower.find(L"roman") != std::wstring::npos ||
                     (lower.find(L"serif") != std::wstring::npos && lower.find(L"sans") == std::wstring::npos);
  std::vector<std::wstring> names;
  if (mono) names = {L"Courier New", L"Liberation Mono", L"DejaVu Sans Mono"};
  else if (serif) names = {L"Times New Roman", L"Liberation Serif", L"DejaVu Serif"};
  for (const wchar_t* n : {L"Arial", L"Liberation Sans", L"Tahoma", L"Microsoft Sans Serif", L"DejaVu Sans"})
    names.push_back(n);
  return names;
}

class GdiFontProvider : public FontProvider {
 public:
  bool find(const FontRequest& request, FontFile& out) override {
    try {
      return Find(request, out);
    } catch (...) {  // out of memory: no font rather than an exception into the core
      return false;
    }
  }

 private:
  static bool Find(const FontRequest& request, FontFile& out) {
    std::wstring asked(request.faceName.begin(), request.faceName.end());
    if (!asked.empty() && asked[0] == L'@') asked.erase(0, 1);  // vertical form: same face data
    const std::wstring lower = Lower(asked);
    const BYTE charset = request.charset;

    // The face GDI selects for the request as it is.
    FontFile gdiChoice;
    std::wstring selected;
    const bool haveGdiChoice = SelectFace(LogFontFor(request, asked, charset), gdiChoice, selected);
    if (haveGdiChoice && (asked.empty() || SameFace(selected, asked))) {
      out = std::move(gdiChoice);
      return true;
    }
    // A PostScript-flavoured OpenType face is no TrueType face to the font
    // mapper: asked for by name without that preference, it is the face
    // itself (its CFF outlines are embedded).
    if (!asked.empty()) {
      FontFile file;
      std::wstring named;
      if (SelectFace(LogFontFor(request, asked, charset, OUT_DEFAULT_PRECIS), file, named, true)) {
        out = std::move(file);
        return true;
      }
    }
    // Another family: a metric-compatible face when the system has one.
    for (const std::wstring& name : MetricCompatible(lower)) {
      FontFile file;
      if (SelectFace(LogFontFor(request, name, charset), file, selected, true)) {
        out = std::move(file);
        return true;
      }
    }
    if (haveGdiChoice) {
      out = std::move(gdiChoice);
      return true;
    }
    // Symbol faces keep their own codes: another symbol face before text faces.
    if (IsSymbolRequest(request, lower)) {
      for (const wchar_t* name : {L"Symbol", L"Wingdings", L"OpenSymbol"}) {
        FontFile file;
        if (SelectFace(LogFontFor(request, name, SYMBOL_CHARSET), file, selected)) {
          out = std::move(file);
          return true;
        }
      }
    }
    for (const std::wstring& name : LastResorts(request, lower)) {
      FontFile file;
      if (SelectFace(LogFontFor(request, name, DEFAULT_CHARSET), file, selected)) {
        out = std::move(file);
        return true;
      }
    }
    return false;
  }
};

}  // namespace

std::shared_ptr<FontProvider> gdiFontProvider() {
  static const std::shared_ptr<FontProvider> provider = std::make_shared<GdiFontProvider>();
  return provider;
}

}  // namespace quillkit::win
