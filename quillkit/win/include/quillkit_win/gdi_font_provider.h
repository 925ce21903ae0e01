// Font data from GDI: for a text record's LOGFONT, the face GDI itself
// selects (GetFontData of it), so that the PDF embeds the very face an
// application's glyph numbers belong to.
#pragma once

#include <memory>

#include "quillkit/fonts.h"

namespace quillkit::win {

// The provider is stateless apart from what GDI knows and may be shared by
// documents on several threads.
std::shared_ptr<FontProvider> gdiFontProvider();

}  // namespace quillkit::win
