// imgcmp: compares a rendering with its reference picture.
//
//   imgcmp [--tol N] [--diff out.ppm] reference.ppm rendering.ppm
//
// Prints one line: MATCH or DIFFER, then diff=<share of pixels>%,
// ink_diff=<share of ink pixels>%, the area compared and "sizes_differ" when
// the two sizes are more than two pixels apart. Exit code 0 for a match, 1
// for a difference, 2 when a picture cannot be read.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "picture_compare.h"

int main(int argc, char** argv) {
  qkbench::CompareOptions options;
  std::string diffPath;
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--tol" && i + 1 < argc) {
      options.tolerance = std::atoi(argv[++i]);
    } else if (arg == "--diff" && i + 1 < argc) {
      diffPath = argv[++i];
    } else {
      files.push_back(arg);
    }
  }
  if (files.size() != 2 || options.tolerance < 0 || options.tolerance > 255) {
    std::fprintf(stderr, "usage: imgcmp [--tol N] [--diff out.ppm] reference.ppm rendering.ppm\n");
    return 2;
  }
  qkbench::Image a, b;
  std::string error;
  if (!qkbench::ReadPnm(files[0], &a, &error) || !qkbench::ReadPnm(files[1], &b, &error)) {
    std::fprintf(stderr, "imgcmp: %s\n", error.c_str());
    return 2;
  }
  qkbench::Image diff;
  const qkbench::CompareResult r =
      qkbench::ComparePictures(a, b, options, diffPath.empty() ? nullptr : &diff);
  if (!diffPath.empty() && !qkbench::WritePpm(diffPath, diff)) {
    std::fprintf(stderr, "imgcmp: cannot write %s\n", diffPath.c_str());
  }
  std::printf("%s\tdiff=%.2f%%\tink_diff=%.2f%%\tarea=%dx%d\tsizes=%dx%d/%dx%d%s\n",
              r.match ? "MATCH" : "DIFFER", 100.0 * r.DiffShare(), 100.0 * r.InkDiffShare(), r.width,
              r.height, a.width, a.height, b.width, b.height, r.sizesDiffer ? "\tsizes_differ" : "");
  return r.match ? 0 : 1;
}
