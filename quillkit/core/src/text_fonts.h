// The embedded fonts of one document: one entry per face and style that
// text records asked for, the glyphs used and what characters they stand
// for. Pages refer to a font by its object number; the font objects (Type0
// with Identity-H, CIDFontType2 with a subset FontFile2 for TrueType outlines or
// CIDFontType0 with a subset CFF FontFile3 for CFF ones, descriptor, ToUnicode)
// are written once, when the document finishes.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "dc_state.h"
#include "font_sfnt.h"
#include "pdf_file.h"
#include "quillkit/fonts.h"
#include "text_symbols.h"

namespace quillkit {

struct EmbeddedFont {
    FontFile file;
    SfntFace face;
    uint32_t object = 0;                           // the Type0 font; 0 until a page shows it
    bool exactFace = false;                        // the face the record asked for (glyph numbers valid)
    std::set<uint16_t> used;
    std::map<uint16_t, std::u16string> unicode;    // glyph -> text it stands for

    uint16_t glyphFor(uint32_t codePoint) const;
    // A code past the face's glyphs for text no face can draw (drawn
    // invisibly, named by the ToUnicode map, zero width); 0 when the face
    // has no codes left.
    uint16_t hiddenCodeFor(const std::u16string& text);

private:
    std::map<std::u16string, uint16_t> hidden_;
    uint32_t nextHidden_ = 0;
};

// What one LOGFONT gets: the face and the styles to synthesize.
struct FontChoice {
    EmbeddedFont* font = nullptr;
    bool synthBold = false, synthItalic = false;
    bool exact = false;        // the face the LOGFONT names: glyph numbers of glyph-index text are valid
    double avgWidth = 0;       // font units: the average character width lfWidth is measured against
    SymbolSet symbols = SymbolSet::none;   // a symbol face stood in for by a text face
};

class DocumentFonts {
public:
    // The faces a character missing from the chosen face is looked for in,
    // in order (the first that has it wins).
    static const std::vector<std::u16string>& fallbackFamilies();

    DocumentFonts(PdfFile& file, std::shared_ptr<FontProvider> provider);
    // The font for a LOGFONT; null when no face at all can be found.
    FontChoice font(const FontObject& logfont);
    // A face of the document that has a glyph for `codePoint`, for a
    // character the chosen face lacks: the face itself when it has one,
    // else the first fallback face with it; null when no face has it.
    EmbeddedFont* faceFor(uint32_t codePoint, const FontObject& logfont, EmbeddedFont* chosen);
    // The object number of the face's font, reserved when a page first
    // shows it (faces looked at but never drawn are not written).
    uint32_t objectFor(EmbeddedFont& face);
    // Writes every font used; false when writing failed.
    bool writeAll();

private:
    bool write(EmbeddedFont& f);
    EmbeddedFont* load(const FontRequest& request, bool requireFamily);

    PdfFile& file_;
    std::shared_ptr<FontProvider> provider_;
    std::map<std::string, FontChoice> requests_;                   // by LOGFONT face and style
    std::map<std::string, std::unique_ptr<EmbeddedFont>> faces_;   // by face found
    std::map<std::string, EmbeddedFont*> fallbacks_;               // by family and style asked; null: none
    std::map<std::pair<uint32_t, std::string>, EmbeddedFont*> byChar_;   // character and style -> face
};

}  // namespace quillkit
