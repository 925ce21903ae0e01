#include "picture_compare.h"

#include <algorithm>
#include <cstdlib>

namespace qkbench {
namespace {

const uint8_t kWhite[3] = {255, 255, 255};

// An image seen over a possibly larger area, white outside its own size.
struct PaddedView {
  const Image& image;
  const uint8_t* At(int x, int y) const {
    if (x >= image.width || y >= image.height) return kWhite;
    return image.At(x, y);
  }
};

bool Near(const uint8_t* p, const uint8_t* q, int tolerance) {
  return std::abs(p[0] - q[0]) <= tolerance && std::abs(p[1] - q[1]) <= tolerance &&
         std::abs(p[2] - q[2]) <= tolerance;
}

bool HasNear(const PaddedView& view, int x, int y, int width, int height, const uint8_t* colour,
             int tolerance) {
  for (int dy = -1; dy <= 1; ++dy) {
    const int yy = y + dy;
    if (yy < 0 || yy >= height) continue;
    for (int dx = -1; dx <= 1; ++dx) {
      const int xx = x + dx;
      if (xx < 0 || xx >= width) continue;
      if (Near(view.At(xx, yy), colour, tolerance)) return true;
    }
  }
  return false;
}

}  // namespace

CompareResult ComparePictures(const Image& a, const Image& b, const CompareOptions& options,
                              Image* diff) {
  CompareResult r;
  const bool close = std::abs(a.width - b.width) <= options.sizeSlack &&
                     std::abs(a.height - b.height) <= options.sizeSlack;
  r.sizesDiffer = !close;
  r.width = close ? std::min(a.width, b.width) : std::max(a.width, b.width);
  r.height = close ? std::min(a.height, b.height) : std::max(a.height, b.height);
  r.pixels = static_cast<int64_t>(r.width) * r.height;
  if (diff) {
    diff->width = r.width;
    diff->height = r.height;
    diff->rgb.assign(static_cast<size_t>(r.pixels) * 3, 255);
  }
  const PaddedView va{a}, vb{b};
  const int tol = options.tolerance;
  for (int y = 0; y < r.height; ++y) {
    for (int x = 0; x < r.width; ++x) {
      const uint8_t* pa = va.At(x, y);
      const uint8_t* pb = vb.At(x, y);
      const bool ink = !Near(pa, kWhite, tol) || !Near(pb, kWhite, tol);
      bool differs = false;
      if (!Near(pa, pb, tol)) {
        differs = !HasNear(vb, x, y, r.width, r.height, pa, tol) ||
                  !HasNear(va, x, y, r.width, r.height, pb, tol);
      }
      if (ink) ++r.ink;
      if (differs) {
        ++r.differing;
        if (ink) ++r.inkDiffering;
      }
      if (diff && (differs || ink)) {
        uint8_t* out = diff->rgb.data() + (static_cast<size_t>(y) * r.width + x) * 3;
        if (differs) {
          out[0] = 230, out[1] = 0, out[2] = 0;
        } else {
          out[0] = out[1] = out[2] = 190;
        }
      }
    }
  }
  r.match = r.DiffShare() <= options.maxDiffShare &&
            static_cast<double>(r.inkDiffering) <= options.maxInkDiffShare * static_cast<double>(r.ink);
  return r;
}

}  // namespace qkbench
