// What a successful parse of a job description file yields.
#pragma once
#include <string>
#include <vector>

struct CDriverInfo {
  std::string deviceName;           // "Device"/"DeviceName"
  std::string documentName;         // "Document"/"Name"
  int horizontalResolution = 0;     // dots per inch; 123456 when the key is missing
  int orientation = 0;
  int paperSize = 0;
  int paperLength = 0;              // left 0 where it is not read (Windows 95/98/Me)
  int paperWidth = 0;
  int pageCount = 0;                // "EMF"/"Count"
  std::vector<std::string> pageFiles;  // long-path forms, in page order
};
