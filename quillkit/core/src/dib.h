// Decoding of device-independent bitmaps (as stored in EMF records) into
// 8-bit RGB samples plus an alpha channel, with every size checked against
// the bytes that are really there.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "emf_reader.h"

namespace quillkit {

struct DecodedImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;      // width*height*3, top row first
    std::vector<uint8_t> alpha;    // width*height, only for 32-bit sources
    int bitCount = 0;
    bool alphaNonZero = false;     // some alpha byte is not 0 (32-bit sources)
    // A JPEG carried as is (BI_JPEG): rgb stays empty.
    std::vector<uint8_t> jpeg;
    int jpegComponents = 3;
};

struct DibOptions {
    // DIB_PAL_COLORS: the colour table holds 16-bit indices into this palette
    // (0x00BBGGRR entries). Empty: indices are used as grey levels.
    const std::vector<uint32_t>* palette = nullptr;
    bool paletteIndices = false;
    // Monochrome bitmaps of brushes and blits take these two colours for
    // bits 0 and 1 (COLORREF), instead of their colour table.
    bool monoColors = false;
    uint32_t mono0 = 0, mono1 = 0xFFFFFF;
    // Largest image accepted, in pixels.
    uint64_t maxPixels = 48u * 1024 * 1024;
};

bool decodeDib(const DibRef& dib, const DibOptions& options, DecodedImage& out, std::string& error);

// Reads just width, height and bit count from the header.
bool dibDimensions(const DibRef& dib, int& width, int& height, int& bitCount);

// Cuts the image down to the rectangle (x, y, w, h) in its own pixels,
// clamped to the image; false when nothing is left.
bool cropImage(DecodedImage& img, int x, int y, int w, int h);

}  // namespace quillkit
