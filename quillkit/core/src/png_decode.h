// PNG images as EMF bitmap records carry them (BI_PNG): decoded into the
// same 8-bit RGB samples plus alpha as the other bitmaps. Every chunk, row
// and sample is checked against the bytes that are really there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "dib.h"

namespace quillkit {

// Decodes a whole PNG file (every colour type and bit depth, interlaced or
// not). `out` gets rgb, and alpha when the image has an alpha channel or a
// transparent colour (bitCount 32 then, else 24). False with `error` set
// for damaged or oversized data.
bool decodePng(const uint8_t* data, std::size_t size, uint64_t maxPixels, DecodedImage& out, std::string& error);

}  // namespace quillkit
