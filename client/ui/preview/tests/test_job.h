// Jobs for window tests: a folder with EMF pages of a given size and a job
// description file listing them.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

struct TestJob {
  std::string folder;
  std::string jobPath;
  std::vector<std::string> pages;

  // `pages` pages of `widthMm` by `heightMm` millimetres, each with a frame
  // and its number drawn, named "page<N>.emf".
  static TestJob Make(const std::string& name, int pageCount, int widthMm = 210,
                      int heightMm = 297, const std::string& documentName = "Report");
  void Remove() const;
};

// Writes a screenshot of `window` (or the whole screen when null) as a
// 24-bit BMP file. True when written.
bool SaveScreenshot(HWND window, const std::string& path);
