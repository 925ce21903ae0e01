// A small, bounds-checked walk over the records of an EMF file: enough to
// sort benchmark files by whether they draw text and to collect that text.
// Independent of the PDF writer's own reader so that the benchmark does not
// measure the writer with itself.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace qkbench {

struct EmfScan {
  bool valid = false;
  std::string error;          // why the walk stopped early or the file is not an EMF
  uint32_t records = 0;
  uint32_t textRecords = 0;   // text records that draw at least one character
  uint32_t glyphIndexRecords = 0;  // of those, records of glyph numbers (ETO_GLYPH_INDEX)
  int32_t frame[4] = {0, 0, 0, 0};  // left, top, right, bottom in 0.01 mm
  std::map<uint32_t, uint32_t> countByType;
  std::vector<std::string> texts;  // UTF-8 text of each character record, in order
};

// Walks `size` bytes of an EMF. Stops at EMR_EOF, at the end of the data, or
// at the first record whose size is impossible (then `error` says so).
EmfScan ScanEmf(const uint8_t* data, size_t size);
EmfScan ScanEmfFile(const std::string& path);

// Words of a text: runs of letters and digits (any script), as UTF-8.
std::vector<std::string> SplitWords(const std::string& utf8);

}  // namespace qkbench
