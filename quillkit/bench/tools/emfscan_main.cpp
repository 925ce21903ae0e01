// emfscan: what an EMF file holds, for sorting benchmark files.
//
//   emfscan file.emf...         one line a file: path, text=<character text
//                               records>, glyph_index=<n>, records=<n>,
//                               frame=<w>x<h> (0.01 mm), and the error if any
//   emfscan --words file.emf    the words of its text records, one a line
//   emfscan --split file.txt    the words of a UTF-8 text file, one a line
//                               (split the same way, for comparing texts)
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "emf_scan.h"

int main(int argc, char** argv) {
  bool words = false;
  int status = 0;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--words") == 0) {
      words = true;
      continue;
    }
    if (std::strcmp(argv[i], "--split") == 0 && i + 1 < argc) {
      std::ifstream in(argv[++i], std::ios::binary);
      if (!in) {
        status = 1;
        continue;
      }
      const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      for (const std::string& word : qkbench::SplitWords(text)) std::printf("%s\n", word.c_str());
      continue;
    }
    const qkbench::EmfScan scan = qkbench::ScanEmfFile(argv[i]);
    if (!scan.valid) status = 1;
    if (words) {
      for (const std::string& text : scan.texts)
        for (const std::string& word : qkbench::SplitWords(text)) std::printf("%s\n", word.c_str());
      continue;
    }
    std::printf("%s\ttext=%u\tglyph_index=%u\trecords=%u\tframe=%dx%d%s%s\n", argv[i], scan.textRecords,
                scan.glyphIndexRecords, scan.records, scan.frame[2] - scan.frame[0],
                scan.frame[3] - scan.frame[1], scan.error.empty() ? "" : "\terror=", scan.error.c_str());
  }
  if (argc < 2) {
    std::fprintf(stderr, "usage: emfscan [--words] file.emf...\n");
    return 2;
  }
  return status;
}
