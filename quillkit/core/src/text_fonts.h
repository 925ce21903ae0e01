// The embedded fonts of one document: one entry per face and style that
// text records asked for, the glyphs used and what characters they stand
// for. Pages refer to a font by its object number; the font objects (Type0
// with Identity-H, CIDFontType2, descriptor, subset FontFile2, ToUnicode)
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

namespace quillkit {

struct EmbeddedFont {
    FontFile file;
    SfntFace face;
    uint32_t object = 0;                           // the Type0 font
    bool exactFace = false;                        // the face the record asked for (glyph numbers valid)
    std::set<uint16_t> used;
    std::map<uint16_t, std::u16string> unicode;    // glyph -> text it stands for

    uint16_t glyphFor(uint32_t codePoint) const;
};

// What one LOGFONT gets: the face and the styles to synthesize.
struct FontChoice {
    EmbeddedFont* font = nullptr;
    bool synthBold = false, synthItalic = false;
};

class DocumentFonts {
public:
    DocumentFonts(PdfFile& file, std::shared_ptr<FontProvider> provider);
    // The font for a LOGFONT; null when no face at all can be found.
    FontChoice font(const FontObject& logfont);
    // Writes every font used; false when writing failed.
    bool writeAll();

private:
    bool write(EmbeddedFont& f);

    PdfFile& file_;
    std::shared_ptr<FontProvider> provider_;
    std::map<std::string, FontChoice> requests_;                   // by LOGFONT face and style
    std::map<std::string, std::unique_ptr<EmbeddedFont>> faces_;   // by face found
};

}  // namespace quillkit
