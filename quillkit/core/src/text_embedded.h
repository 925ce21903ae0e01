// Text records drawn as real PDF text in embedded subset fonts: each glyph
// where GDI puts it (the record's advances, or the face's own widths), with
// the LOGFONT's size, width, escapement, synthesized bold and italic, and
// underline and strike-out; the text stays searchable and copyable.
#pragma once

#include "text_fonts.h"
#include "text_renderer.h"

namespace quillkit {

class EmbeddedTextRenderer : public TextRenderer {
public:
    explicit EmbeddedTextRenderer(DocumentFonts& fonts) : fonts_(fonts) {}
    bool draw(Player& player, const TextRun& run) override;

private:
    DocumentFonts& fonts_;
};

}  // namespace quillkit
