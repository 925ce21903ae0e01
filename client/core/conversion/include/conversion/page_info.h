// One page of the job as the conversion sees it, and reading page files.
#pragma once
#include <windows.h>
#include <string>

#include "w32/unique_handle.h"

struct PageInfo {
  std::string file;
  long deviceWidth = 0;   // reference device of the page, in pixels
  long deviceHeight = 0;
  long resolution = 0;    // the job's horizontal resolution
  double weight = 0;      // deviceWidth * deviceHeight
};

// What the conversion needs from an EMF header.
struct EmfSize {
  long deviceWidth = 0;
  long deviceHeight = 0;
  double micrometresWidth = 0;
  double micrometresHeight = 0;
};

// Opens an EMF file and reads its header. False when the file cannot be
// opened or its sizes are not usable (zero or negative), so nothing is ever
// computed from undefined sizes.
bool OpenEmf(const std::string& path, w32::EnhMetaFile& emf, EmfSize& size);

// The reference resolution of one axis: pixels ÷ (micrometres ÷ 25400),
// turned into an integer: the fraction is dropped unless it is above 0.5.
long RoundDpi(double dpi);
double RawDpi(long pixels, double micrometres);
