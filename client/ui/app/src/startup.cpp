#include "startup.h"

std::string ApplicationFolder(const std::string& modulePath) {
  std::string path = modulePath;
  const size_t dot = path.find_last_of('.');
  if (dot != std::string::npos) path.erase(dot);
  const size_t slash = path.find_last_of('\\');
  if (slash != std::string::npos) path.erase(slash + 1);
  return path;
}

std::wstring JobPathFromCommandLine(const wchar_t* commandLine) {
  if (!commandLine) return std::wstring();
  const wchar_t* p = commandLine;
  // The program name: quoted, or up to the first blank.
  if (*p == L'"') {
    ++p;
    while (*p && *p != L'"') ++p;
    if (*p == L'"') ++p;
  } else {
    while (*p && *p != L' ' && *p != L'\t') ++p;
  }
  // The blanks between the program name and the job.
  while (*p == L' ' || *p == L'\t') ++p;
  return std::wstring(p);
}
