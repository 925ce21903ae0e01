#include "ppm_image.h"

#include <cctype>
#include <fstream>
#include <iterator>

namespace qkbench {
namespace {

// Reads the next header number, skipping white space and comments.
bool NextNumber(const std::string& data, size_t* pos, int64_t* value) {
  size_t p = *pos;
  for (;;) {
    while (p < data.size() && std::isspace(static_cast<unsigned char>(data[p]))) ++p;
    if (p < data.size() && data[p] == '#') {
      while (p < data.size() && data[p] != '\n') ++p;
      continue;
    }
    break;
  }
  if (p >= data.size() || !std::isdigit(static_cast<unsigned char>(data[p]))) return false;
  int64_t v = 0;
  while (p < data.size() && std::isdigit(static_cast<unsigned char>(data[p]))) {
    v = v * 10 + (data[p] - '0');
    if (v > (1LL << 40)) return false;
    ++p;
  }
  *value = v;
  *pos = p;
  return true;
}

}  // namespace

bool ParsePnm(const std::string& data, Image* image, std::string* error) {
  if (data.size() < 2 || data[0] != 'P' || (data[1] != '6' && data[1] != '5')) {
    *error = "not a binary PPM or PGM picture";
    return false;
  }
  const bool grey = data[1] == '5';
  size_t pos = 2;
  int64_t width = 0, height = 0, maxValue = 0;
  if (!NextNumber(data, &pos, &width) || !NextNumber(data, &pos, &height) ||
      !NextNumber(data, &pos, &maxValue)) {
    *error = "bad picture header";
    return false;
  }
  if (width < 1 || height < 1 || width * height > kMaxImagePixels || maxValue < 1 || maxValue > 255) {
    *error = "picture size or depth not supported";
    return false;
  }
  ++pos;  // the single white-space character after the header
  const size_t channels = grey ? 1 : 3;
  const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
  if (pos > data.size() || data.size() - pos < pixels * channels) {
    *error = "picture data is truncated";
    return false;
  }
  image->width = static_cast<int>(width);
  image->height = static_cast<int>(height);
  image->rgb.resize(pixels * 3);
  const auto* src = reinterpret_cast<const uint8_t*>(data.data() + pos);
  for (size_t i = 0; i < pixels; ++i) {
    for (size_t c = 0; c < 3; ++c) {
      const unsigned v = src[grey ? i : i * 3 + c];
      image->rgb[i * 3 + c] = static_cast<uint8_t>(maxValue == 255 ? v : v * 255 / maxValue);
    }
  }
  return true;
}

bool ReadPnm(const std::string& path, Image* image, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = "cannot open " + path;
    return false;
  }
  const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return ParsePnm(data, image, error);
}

bool WritePpm(const std::string& path, const Image& image) {
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << image.width << ' ' << image.height << "\n255\n";
  out.write(reinterpret_cast<const char*>(image.rgb.data()), static_cast<std::streamsize>(image.rgb.size()));
  return static_cast<bool>(out);
}

}  // namespace qkbench
