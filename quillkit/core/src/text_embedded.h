// Text records drawn as real PDF text in embedded subset fonts: each glyph
// where GDI puts it (the record's advances, or the face's own widths), with
// the LOGFONT's size, width, escapement, synthesized bold and italic, and
// underline and strike-out; the text stays searchable and copyable.
#pragma once

#include <memory>

#include "quillkit/text_decoder.h"
#include "text_fonts.h"
#include "text_renderer.h"

namespace quillkit {

class EmbeddedTextRenderer : public TextRenderer {
public:
    // `decoder` decodes double-byte 8-bit text (null: the platform's own).
    EmbeddedTextRenderer(DocumentFonts& fonts, std::shared_ptr<TextDecoder> decoder)
        : fonts_(fonts), decoder_(decoder ? std::move(decoder) : defaultTextDecoder()) {}
    bool draw(Player& player, const TextRun& run) override;

private:
    DocumentFonts& fonts_;
    std::shared_ptr<TextDecoder> decoder_;
};

}  // namespace quillkit
