// RGB pictures in the binary PPM/PGM formats that gdiref and pdftoppm write.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace qkbench {

struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;  // width * height * 3, top row first

  const uint8_t* At(int x, int y) const {
    return rgb.data() + (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3;
  }
};

// Largest picture read; a header claiming more is rejected before allocating.
constexpr int64_t kMaxImagePixels = 200LL * 1000 * 1000;

// Parses P6 (RGB) or P5 (grey) data with a maximum value up to 255.
bool ParsePnm(const std::string& data, Image* image, std::string* error);
bool ReadPnm(const std::string& path, Image* image, std::string* error);
bool WritePpm(const std::string& path, const Image& image);

}  // namespace qkbench
