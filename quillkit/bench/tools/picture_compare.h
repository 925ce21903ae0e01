// Compares a rendering with its reference picture the way a reader would
// judge them: small shifts and anti-aliasing seams are forgiven, missing or
// extra ink is not.
#pragma once
#include <cstdint>

#include "ppm_image.h"

namespace qkbench {

struct CompareOptions {
  int tolerance = 32;          // largest per-channel difference of "the same colour"
  int sizeSlack = 2;           // pictures this many pixels apart in size are aligned
  double maxDiffShare = 0.02;  // of all pixels
  double maxInkDiffShare = 0.5;
};

struct CompareResult {
  int width = 0;   // the area compared
  int height = 0;
  bool sizesDiffer = false;  // by more than the slack: compared over the larger size
  int64_t pixels = 0;
  int64_t differing = 0;
  int64_t ink = 0;           // pixels that are not white in either picture
  int64_t inkDiffering = 0;
  double DiffShare() const { return pixels ? static_cast<double>(differing) / pixels : 0.0; }
  double InkDiffShare() const { return ink ? static_cast<double>(inkDiffering) / ink : 0.0; }
  bool match = false;
};

// A pixel differs when no pixel within one pixel of its place in the other
// picture has its colour (within the tolerance), seen from either picture.
// Sizes within the slack are compared over their common area; larger
// differences over the larger area, the missing part counting as white.
// `diff`, when given, receives a picture of the result: differing pixels red,
// matching ink grey, the rest white.
CompareResult ComparePictures(const Image& a, const Image& b, const CompareOptions& options,
                              Image* diff = nullptr);

}  // namespace qkbench
