// Page files for the conversion tests, written byte by byte so that their
// reference device and physical size are exactly what a test asks for.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// An EMF with a 108-byte header and one filled rectangle record.
bool WriteTestEmf(const std::string& path, long deviceWidth, long deviceHeight,
                  long micrometresWidth, long micrometresHeight);

// The same with the rectangle filled in `colour`; `box` is in the page's
// device pixels. Used where a test looks at what the PDF shows.
bool WriteFilledEmf(const std::string& path, long deviceWidth, long deviceHeight,
                    long micrometresWidth, long micrometresHeight, COLORREF colour,
                    const RECTL& box);

// A job description file as the spooler side writes it: A4 at 600 dpi,
// the document `name` and the page files in their order.
void WriteJobFile(const std::string& path, const std::string& name,
                  const std::vector<std::string>& pages);

// A fresh scratch folder (ending in a backslash) and its removal.
std::string MakeScratchFolder(const std::string& name);
void RemoveTree(const std::string& folder);
bool FileExists(const std::string& path);
