// Double-byte 8-bit text (EXTTEXTOUTA in the East Asian charsets) decoded
// by the system's own code pages (MultiByteToWideChar), as GDI decodes it
// when it draws the record.
#pragma once

#include <memory>

#include "quillkit/text_decoder.h"

namespace quillkit::win {

// Stateless; may be shared by documents on several threads.
std::shared_ptr<TextDecoder> windowsTextDecoder();

}  // namespace quillkit::win
