// Test helpers: the raw content of an INI file as ordered sections and keys,
// read with plain file I/O so that tests see exactly what is on disk.
#pragma once
#include <windows.h>

#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace tessera_test {

using Keys = std::vector<std::pair<std::string, std::string>>;
using Sections = std::vector<std::pair<std::string, Keys>>;

inline Sections ReadIniText(const std::string& path) {
  Sections sections;
  std::ifstream in(path, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    if (line.front() == '[' && line.back() == ']') {
      sections.emplace_back(line.substr(1, line.size() - 2), Keys());
      continue;
    }
    if (sections.empty()) sections.emplace_back("", Keys());
    const size_t eq = line.find('=');
    sections.back().second.emplace_back(line.substr(0, eq),
                                        eq == std::string::npos ? "" : line.substr(eq + 1));
  }
  return sections;
}

inline const Keys* FindSection(const Sections& sections, const std::string& name) {
  for (const auto& s : sections) {
    if (s.first == name) return &s.second;
  }
  return nullptr;
}

inline std::string Value(const Sections& sections, const std::string& section,
                         const std::string& key) {
  if (const Keys* keys = FindSection(sections, section)) {
    for (const auto& k : *keys) {
      if (k.first == key) return k.second;
    }
  }
  return "<absent>";
}

// The file that one options object leaves behind when there was none.
inline Sections DefaultFile() {
  return {
      {"Header", {{"ProfilesCount", "1"}, {"Last used", "0"}}},
      {"Profile0",
       {{"Name", "<default>"}, {"Title", ""}, {"Author", ""}, {"Subject", ""}, {"Keywords", ""},
        {"Compression", "1"}, {"BW Compression", "2"}, {"Color image compression", "0"},
        {"Page layout", "1"}, {"PDF version", "0"}, {"Page mode", "0"}, {"Key length", "0"},
        {"Pdf protection enabled", "N"}, {"Enable copying information", "N"},
        {"Enable modifying annotation", "N"}, {"Enable modifying structure", "N"},
        {"Enable printing", "N"}, {"URL autodetection", "Y"}, {"Use bookmarks", "N"},
        {"User password", ""}, {"Owner password", ""}}},
      {"Printer settings",
       {{"Target file", ""}, {"Target directory", ""}, {"Show error messages", "Y"},
        {"Silent mode", "N"}, {"Create directory if not exist", "Y"},
        {"Overwrite file if exist", "N"}, {"Using target file", "Y"}, {"Output type", "0"},
        {"Multidoc mode", "N"}, {"Multidoc state", "0"}, {"Put watermarks", "N"},
        {"Watermarks file", ""}, {"Watermarks file landscape", ""},
        {"First page watermark", "N"}, {"First page watermark file", ""},
        {"First page watermark file landscape", ""}, {"Watermark on the top", "N"}}},
      {"Raster parameters",
       {{"Jpeg compression", "40"}, {"TIFF colormode", "24"}, {"TIFF is multipage", "N"},
        {"BMP colormode", "24"}, {"PNG colormode", "24"}, {"Jpeg grayscale", "N"}}},
  };
}

}  // namespace tessera_test
