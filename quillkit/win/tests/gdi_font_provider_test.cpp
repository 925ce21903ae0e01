// The GDI font provider against GDI itself: the face it gives must be the
// face GDI selects for the same LOGFONT (its glyph numbers are GDI's), with
// the face's own style, a fallback that still has the letters when the face
// is missing, and the face of a collection found by its index.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "font_sfnt.h"
#include "quillkit_win/gdi_font_provider.h"
#include "w32/paint.h"
#include "w32/unique_handle.h"

namespace {

using quillkit::FontFile;
using quillkit::FontRequest;

FontRequest Request(const std::u16string& face, int weight = 400, bool italic = false, uint8_t charset = 1) {
  FontRequest r;
  r.faceName = face;
  r.weight = weight;
  r.italic = italic;
  r.charset = charset;
  return r;
}

// The glyph numbers GDI gives `text` in the face it selects for the request.
std::vector<uint16_t> GdiGlyphs(const FontRequest& r, const std::wstring& text) {
  LOGFONTW lf = {};
  lf.lfHeight = -100;
  lf.lfWeight = r.weight;
  lf.lfItalic = r.italic;
  lf.lfCharSet = r.charset;
  lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  std::wstring face(r.faceName.begin(), r.faceName.end());
  wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  w32::GdiObject font(CreateFontIndirectW(&lf));
  w32::OwnedDc dc(CreateCompatibleDC(nullptr));
  w32::SelectScope select(dc.Get(), font.Get());
  std::vector<WORD> glyphs(text.size());
  if (GetGlyphIndicesW(dc.Get(), text.c_str(), int(text.size()), glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS) ==
      GDI_ERROR)
    return {};
  return std::vector<uint16_t>(glyphs.begin(), glyphs.end());
}

// Finds the request and parses what came back with the writer's own parser.
::testing::AssertionResult Found(const FontRequest& r, FontFile& file, quillkit::SfntFace& face) {
  if (!quillkit::win::gdiFontProvider()->find(r, file)) return ::testing::AssertionFailure() << "no face";
  std::string error;
  if (!face.parse(file.data, file.faceIndex, error)) return ::testing::AssertionFailure() << error;
  if (face.isCff()) return ::testing::AssertionFailure() << "a CFF face";
  return ::testing::AssertionSuccess();
}

std::vector<uint16_t> FileGlyphs(const quillkit::SfntFace& face, const std::wstring& text) {
  std::vector<uint16_t> out;
  for (wchar_t c : text) out.push_back(face.glyphFor(static_cast<uint16_t>(c)));
  return out;
}

TEST(GdiFontProvider, GivesTheFaceGdiSelectsWithItsOwnStyle) {
  struct Case {
    std::u16string face;
    int weight;
    bool italic;
  };
  const Case cases[] = {{u"Arial", 400, false},           {u"Arial", 700, false},
                        {u"Times New Roman", 400, true},  {u"Courier New", 700, true},
                        {u"Liberation Sans", 400, false}, {u"ARIAL", 400, false}};
  const std::wstring text = L"Quick brown fox, 0123 \u00E9\u00DF\u20AC";
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.face.begin(), c.face.end()) + " " + std::to_string(c.weight) +
                 (c.italic ? " italic" : ""));
    const FontRequest r = Request(c.face, c.weight, c.italic);
    FontFile file;
    quillkit::SfntFace face;
    ASSERT_TRUE(Found(r, file, face));
    // The glyph numbers GDI uses are the glyph numbers of the data given.
    EXPECT_EQ(FileGlyphs(face, text), GdiGlyphs(r, text));
    // The system has every style of these faces: nothing to synthesize.
    EXPECT_EQ(file.bold, c.weight >= 600);
    EXPECT_EQ(file.italic, c.italic);
    // Named for what the data is (under Wine, Arial is Liberation Sans).
    EXPECT_EQ(file.familyName, std::string(face.familyName.begin(), face.familyName.end()));
  }
}

// A font file added for this process only, removed again at the end.
class PrivateFont {
 public:
  explicit PrivateFont(const std::wstring& path) : path_(path) {
    added_ = AddFontResourceExW(path_.c_str(), FR_PRIVATE, nullptr);
  }
  ~PrivateFont() {
    if (added_) RemoveFontResourceExW(path_.c_str(), FR_PRIVATE, nullptr);
  }
  int Added() const { return added_; }

 private:
  std::wstring path_;
  int added_ = 0;
};

// The symbol faces of a Windows system; where the system lacks them (a bare
// Wine prefix), Wine's own files of them are added for the test.
class SymbolFaces : public ::testing::Test {
 protected:
  void SetUp() override {
    if (HasFace(L"Wingdings")) return;
    added_.emplace_back(new PrivateFont(L"Z:\\usr\\share\\wine\\fonts\\wingding.ttf"));
    if (!HasFace(L"Wingdings")) GTEST_SKIP() << "the system has no Wingdings";
  }
  // Asks GDI's list of families, not the font mapper: a selection that
  // found no such face could be remembered after the face is added.
  static bool HasFace(const wchar_t* face) {
    LOGFONTW lf = {};
    lf.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    bool found = false;
    w32::OwnedDc dc(CreateCompatibleDC(nullptr));
    EnumFontFamiliesExW(dc.Get(), &lf, &Listed, reinterpret_cast<LPARAM>(&found), 0);
    return found;
  }
  static int CALLBACK Listed(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM p) {
    *reinterpret_cast<bool*>(p) = true;
    return 0;
  }
  std::vector<std::unique_ptr<PrivateFont>> added_;
};

TEST_F(SymbolFaces, StylesTheFaceLacksAreLeftToSynthesis) {
  // Wingdings has one face: GDI emboldens and slants it, and the data given
  // is the regular face, so the writer must do the same.
  FontFile file;
  quillkit::SfntFace face;
  ASSERT_TRUE(Found(Request(u"Wingdings", 700, true, SYMBOL_CHARSET), file, face));
  EXPECT_EQ(file.familyName, "Wingdings");
  EXPECT_FALSE(file.bold);
  EXPECT_FALSE(file.italic);
}

TEST_F(SymbolFaces, KeepTheirGlyphs) {
  // As applications give them: symbol codes, or the letters of the codes.
  for (const std::wstring codes : {L"\xF020\xF06C\xF0E8", L" l\xE8"}) {
    const std::u16string name = u"Wingdings";
    const FontRequest r = Request(name, 400, false, SYMBOL_CHARSET);
    FontFile file;
    quillkit::SfntFace face;
    ASSERT_TRUE(Found(r, file, face));
    EXPECT_EQ(file.familyName, std::string(name.begin(), name.end()));
    // The codes reach the pictures of the face, the ones GDI draws.
    std::vector<uint16_t> glyphs;
    for (wchar_t c : codes) glyphs.push_back(face.glyphFor(c < 0x100 ? 0xF000 + c : c));
    EXPECT_NE(glyphs[1] | glyphs[2], 0);
    EXPECT_EQ(glyphs, GdiGlyphs(r, codes));
  }
}

TEST(GdiFontProvider, MissingFacesFallBackToFacesWithTheLetters) {
  const std::u16string names[] = {
      u"Qk No Such Face", u"", u"@Arial",
      // longer than a LOGFONT holds
      u"An Extremely Long Face Name That Does Not Fit Into Thirty Two Characters",
      u"Qk Missing Serif"};
  for (const std::u16string& name : names) {
    SCOPED_TRACE(std::string(name.begin(), name.end()));
    FontFile file;
    quillkit::SfntFace face;
    ASSERT_TRUE(Found(Request(name, 700, true), file, face));
    EXPECT_NE(face.glyphFor('A'), 0);
    EXPECT_NE(face.glyphFor('z'), 0);
  }
  // Faces outside the text charsets with a missing name still get a face.
  FontFile file;
  quillkit::SfntFace face;
  ASSERT_TRUE(Found(Request(u"Qk No Such Symbols", 400, false, SYMBOL_CHARSET), file, face));
}

TEST(GdiFontProvider, MetricCompatibleFaceWhenGdiWouldTakeAnother) {
  // Nothing maps Arial Narrow here; its metric-compatible face is asked for
  // by name when the system has it.
  const FontRequest narrow = Request(u"Liberation Sans Narrow");
  if (GdiGlyphs(narrow, L"A").empty()) GTEST_SKIP() << "no Liberation Sans Narrow";
  FontFile file;
  quillkit::SfntFace face;
  ASSERT_TRUE(Found(Request(u"Arial Narrow"), file, face));
  EXPECT_EQ(file.familyName, "Liberation Sans Narrow");
}

// --- collections -----------------------------------------------------------

std::vector<uint8_t> ReadAll(const std::wstring& path) {
  std::vector<uint8_t> data;
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return data;
  w32::KernelHandle file(h);
  const DWORD size = GetFileSize(h, nullptr);
  if (size == INVALID_FILE_SIZE || size > (64u << 20)) return data;
  data.resize(size);
  DWORD got = 0;
  if (!ReadFile(h, data.data(), size, &got, nullptr) || got != size) data.clear();
  return data;
}

uint32_t Be32(const std::vector<uint8_t>& d, size_t at) {
  return uint32_t(d[at]) << 24 | uint32_t(d[at + 1]) << 16 | uint32_t(d[at + 2]) << 8 | d[at + 3];
}
void PutBe32(std::vector<uint8_t>& d, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) d[at + i] = uint8_t(v >> (24 - 8 * i));
}

// Renames every "Liberation" of a face's name table to `to` (same length),
// in both the one-byte and the UTF-16 names.
void Rename(std::vector<uint8_t>& font, const char* to) {
  const uint16_t tables = uint16_t(font[4] << 8 | font[5]);
  for (uint16_t i = 0; i < tables; ++i) {
    const size_t e = 12 + 16u * i;
    if (std::memcmp(&font[e], "name", 4) != 0) continue;
    const size_t begin = Be32(font, e + 8), end = begin + Be32(font, e + 12);
    const size_t n = std::strlen(to);
    for (size_t p = begin; p + n <= end; ++p) {
      if (std::memcmp(&font[p], "Liberation", n) == 0) std::memcpy(&font[p], to, n);
      bool wide = p + 2 * n <= end;
      for (size_t k = 0; wide && k < n; ++k) wide = font[p + 2 * k] == 0 && font[p + 2 * k + 1] == "Liberation"[k];
      if (wide)
        for (size_t k = 0; k < n; ++k) font[p + 2 * k + 1] = uint8_t(to[k]);
    }
  }
}

// A TrueType collection of whole fonts: each face's tables copied after the
// header, offsets moved to their place in the collection.
std::vector<uint8_t> Collection(const std::vector<std::vector<uint8_t>>& fonts) {
  std::vector<uint8_t> out = {'t', 't', 'c', 'f', 0, 1, 0, 0};
  out.resize(12 + 4 * fonts.size());
  PutBe32(out, 8, uint32_t(fonts.size()));
  for (size_t f = 0; f < fonts.size(); ++f) {
    const std::vector<uint8_t>& font = fonts[f];
    const uint16_t tables = uint16_t(font[4] << 8 | font[5]);
    const size_t dir = out.size();
    PutBe32(out, 12 + 4 * f, uint32_t(dir));
    out.insert(out.end(), font.begin(), font.begin() + 12 + 16 * tables);
    for (uint16_t i = 0; i < tables; ++i) {
      const size_t e = 12 + 16u * i;
      const uint32_t offset = Be32(font, e + 8), length = Be32(font, e + 12);
      while (out.size() % 4) out.push_back(0);
      PutBe32(out, dir + e + 8, uint32_t(out.size()));
      out.insert(out.end(), font.begin() + offset, font.begin() + offset + length);
    }
  }
  return out;
}

TEST(GdiFontProvider, FacesWithCffOutlinesAreGivenWithTheirGlyphNumbers) {
  // An OpenType face with PostScript outlines (URW's Nimbus Sans), added for
  // the test where the system lacks it.
  const std::wstring path = L"Z:\\usr\\share\\fonts\\opentype\\urw-base35\\NimbusSans-Regular.otf";
  if (ReadAll(path).empty()) GTEST_SKIP() << "no URW OpenType faces (fonts-urw-base35)";
  PrivateFont added(path);
  ASSERT_GT(added.Added(), 0);
  const FontRequest r = Request(u"Nimbus Sans");
  FontFile file;
  ASSERT_TRUE(quillkit::win::gdiFontProvider()->find(r, file));
  quillkit::SfntFace face;
  std::string error;
  ASSERT_TRUE(face.parse(file.data, file.faceIndex, error)) << error;
  EXPECT_EQ(file.familyName, "Nimbus Sans");
  EXPECT_TRUE(face.isCff());
  EXPECT_FALSE(file.bold);
  const std::wstring text = L"PostScript outlines 0123 \u00E9";
  EXPECT_EQ(FileGlyphs(face, text), GdiGlyphs(r, text));
}

TEST(GdiFontProvider, FaceOfACollectionIsFoundByItsTables) {
  const std::wstring dir = L"Z:\\usr\\share\\fonts\\truetype\\liberation\\";
  std::vector<uint8_t> regular = ReadAll(dir + L"LiberationSans-Regular.ttf");
  std::vector<uint8_t> bold = ReadAll(dir + L"LiberationSans-Bold.ttf");
  std::vector<uint8_t> italic = ReadAll(dir + L"LiberationSans-Italic.ttf");
  if (regular.empty() || bold.empty() || italic.empty()) GTEST_SKIP() << "no Liberation Sans 1 files";
  for (auto* f : {&regular, &bold, &italic}) Rename(*f, "Qkcollects");
  const std::vector<uint8_t> ttc = Collection({regular, italic, bold});

  wchar_t temp[MAX_PATH];
  ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
  const std::wstring path = std::wstring(temp) + L"qk-collection-test.ttc";
  {
    std::ofstream out(path.c_str(), std::ios::binary);
    out.write(reinterpret_cast<const char*>(ttc.data()), std::streamsize(ttc.size()));
    ASSERT_TRUE(out.good());
  }
  {
    PrivateFont added(path);
    ASSERT_EQ(added.Added(), 3);
    struct Case {
      int weight;
      bool italic;
      uint32_t index;
    };
    for (const Case c : {Case{400, false, 0}, Case{400, true, 1}, Case{700, false, 2}}) {
      SCOPED_TRACE(c.index);
      const FontRequest r = Request(u"Qkcollects Sans", c.weight, c.italic);
      FontFile file;
      quillkit::SfntFace face;
      ASSERT_TRUE(Found(r, file, face));
      ASSERT_EQ(file.familyName, "Qkcollects Sans");
      ASSERT_EQ(file.data.size(), ttc.size());  // the whole collection
      EXPECT_EQ(file.faceIndex, c.index);
      EXPECT_EQ(file.bold, c.weight >= 600);
      EXPECT_EQ(file.italic, c.italic);
      const std::wstring text = L"Collection 123";
      EXPECT_EQ(FileGlyphs(face, text), GdiGlyphs(r, text));
    }
  }
  DeleteFileW(path.c_str());
}

}  // namespace
