#include "ini_file.h"

#include <windows.h>

#include <cstdio>

CIniFile::CIniFile(std::string path)
    : path_(std::move(path)), usable_(!path_.empty() && path_.size() <= kMaxPath) {}

std::string CIniFile::ReadText(const std::string& section, const char* key,
                               const char* fallback) const {
  if (!usable_) return fallback;
  char buffer[kMaxValue + 1] = {};
  const DWORD n = ::GetPrivateProfileStringA(section.c_str(), key, fallback, buffer,
                                             sizeof(buffer), path_.c_str());
  return std::string(buffer, n < sizeof(buffer) ? n : sizeof(buffer) - 1);
}

long CIniFile::ReadNumber(const std::string& section, const char* key, long fallback) const {
  if (!usable_) return fallback;
  return static_cast<long>(
      ::GetPrivateProfileIntA(section.c_str(), key, static_cast<INT>(fallback), path_.c_str()));
}

long CIniFile::ReadSwitch(const std::string& section, const char* key, bool fallback) const {
  if (!usable_) return fallback ? 1 : 0;
  // Only the first character counts, so two bytes hold all that is needed.
  char buffer[2] = {};
  ::GetPrivateProfileStringA(section.c_str(), key, fallback ? "Y" : "N", buffer, sizeof(buffer),
                             path_.c_str());
  switch (buffer[0]) {
    case '1': case 'T': case 't': case 'Y': case 'y':
      return 1;
    case '0': case 'F': case 'f': case 'N': case 'n':
      return 0;
    default:
      return fallback ? 1 : 0;
  }
}

void CIniFile::WriteText(const std::string& section, const char* key,
                         const std::string& value) const {
  if (!usable_) return;
  ::WritePrivateProfileStringA(section.c_str(), key, value.c_str(), path_.c_str());
}

void CIniFile::WriteNumber(const std::string& section, const char* key, long value) const {
  char text[24];
  std::snprintf(text, sizeof(text), "%ld", value);
  WriteText(section, key, text);
}

void CIniFile::WriteSwitch(const std::string& section, const char* key, long value) const {
  WriteText(section, key, value ? "Y" : "N");
}

void CIniFile::DeleteSection(const std::string& section) const {
  if (!usable_) return;
  ::WritePrivateProfileStringA(section.c_str(), nullptr, nullptr, path_.c_str());
}

void CIniFile::Flush() const {
  if (!usable_) return;
  ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, path_.c_str());
}
