// Text through the writer as the conversion job sends it: pictures recorded
// here with GDI, glyph-index text among them, whose PDF must embed font
// subsets and give the text back (check_outputs.sh reads it with pdftotext
// and pdffonts).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "conversion_job.h"
#include "w32/module_path.h"
#include "w32/paint.h"
#include "w32/strings.h"
#include "w32/unique_handle.h"
#include "writer_test_support.h"

namespace qktest {
namespace {

w32::GdiObject Font(const wchar_t* face, int height, int weight = FW_NORMAL, bool italic = false,
                    BYTE charset = DEFAULT_CHARSET) {
  LOGFONTW lf = {};
  lf.lfHeight = -height;
  lf.lfWeight = weight;
  lf.lfItalic = italic;
  lf.lfCharSet = charset;
  wcsncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  return w32::GdiObject(CreateFontIndirectW(&lf));
}

// What an application that shapes its own text records: the glyph numbers
// GDI gives the text in the selected font, in the order they are seen
// (right to left text reversed), each with its advance, drawn with
// ETO_GLYPH_INDEX.
bool GlyphIndexText(HDC dc, int x, int y, const std::wstring& text, bool rightToLeft) {
  std::vector<WORD> glyphs(text.size());
  if (GetGlyphIndicesW(dc, text.c_str(), int(text.size()), glyphs.data(), 0) == GDI_ERROR) return false;
  if (rightToLeft) std::reverse(glyphs.begin(), glyphs.end());
  std::vector<INT> advances(glyphs.size());
  if (!GetCharWidthI(dc, 0, UINT(glyphs.size()), glyphs.data(), advances.data())) return false;
  return ExtTextOutW(dc, x, y, ETO_GLYPH_INDEX, nullptr, reinterpret_cast<LPCWSTR>(glyphs.data()),
                     UINT(glyphs.size()), advances.data()) != FALSE;
}

struct TextItem {
  const wchar_t* face;
  int weight;
  bool italic;
  BYTE charset;
  bool glyphIndex;
  const wchar_t* text;
  bool rightToLeft = false;
};

// Records the items one under the other, in a picture of 16 x 12 cm.
w32::EnhMetaFile RecordText(const std::vector<TextItem>& items) {
  RECT frame{0, 0, 16000, 12000};
  HDC dc = CreateEnhMetaFileW(nullptr, nullptr, &frame, nullptr);
  if (!dc) return w32::EnhMetaFile();
  SetBkMode(dc, TRANSPARENT);
  int y = 20;
  bool ok = true;
  for (const TextItem& item : items) {
    w32::GdiObject font = Font(item.face, 28, item.weight, item.italic, item.charset);
    w32::SelectScope select(dc, font.Get());
    ok = ok && (item.glyphIndex ? GlyphIndexText(dc, 20, y, item.text, item.rightToLeft)
                                : ExtTextOutW(dc, 20, y, 0, nullptr, item.text, UINT(wcslen(item.text)), nullptr));
    y += 50;
  }
  w32::EnhMetaFile emf(CloseEnhMetaFile(dc));
  if (!ok) return w32::EnhMetaFile();
  return emf;
}

TEST(WriterText, GlyphIndexAndFallbackTextIsEmbeddedAndSearchable) {
  ComApartment com;
  ASSERT_TRUE(SUCCEEDED(com.Result()));
  const std::vector<TextItem> items = {
      // Glyph numbers of the face GDI gave Arial: they read back only when
      // the PDF embeds that very face.
      {L"Arial", FW_NORMAL, false, DEFAULT_CHARSET, true, L"Glyphnumbers recorded plainly"},
      {L"Times New Roman", FW_BOLD, true, DEFAULT_CHARSET, true, L"Boldly slanted serif"},
      {L"Arial", FW_NORMAL, false, HEBREW_CHARSET, true, L"\u05E9\u05DC\u05D5\u05DD", true},
      // A face nobody has: the text is drawn with another face, never lost.
      {L"Qk Nowhere Face", FW_NORMAL, false, DEFAULT_CHARSET, false, L"Fallback keeps words"},
      {L"Qk Nowhere Face", FW_NORMAL, false, DEFAULT_CHARSET, true, L"Fallback glyphnumbers too"},
      {L"Courier New", FW_NORMAL, false, DEFAULT_CHARSET, false, L"Typewriter line"},
  };
  w32::EnhMetaFile emf = RecordText(items);
  ASSERT_TRUE(emf);

  Writer writer;
  ASSERT_EQ(writer.CreateResult(), S_OK);
  const VtableClient& w = writer.Client();
  ASSERT_EQ(w.Text(kOutputFileName, w32::JoinPath(OutputFolder(), L"text-fonts.pdf")), S_OK);
  ASSERT_EQ(w.Call(kSetResolution, 600L), S_OK);
  ASSERT_EQ(w.Call(kBeginDocument), S_OK);
  ASSERT_EQ(w.Call(kSetPageWidth, 4960L), S_OK);
  ASSERT_EQ(w.Call(kSetPageHeight, 7016L), S_OK);
  // The picture's device units (the screen's pixels) to 600 dpi.
  HDC screen = GetDC(nullptr);
  const double scale = 600.0 / GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  ASSERT_EQ(w.Play(emf.Get(), 0, 0, scale, scale), S_OK);
  ASSERT_EQ(w.Call(kEndDocument), S_OK);
  WriteExpectations(L"text-fonts",
                    {"file text-fonts.pdf", "pages 1", "text Glyphnumbers recorded plainly",
                     "text Boldly slanted serif", "text \xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D", "text Fallback keeps words",
                     "text Fallback glyphnumbers too", "text Typewriter line", "fonts-embedded 3"});
}

}  // namespace
}  // namespace qktest
