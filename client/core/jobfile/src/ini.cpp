#include "jobfile/ini.h"

#include <windows.h>

#include <climits>
#include <cstdio>

CIni::CIni(std::string path) : path_(std::move(path)) {}

CIni::~CIni() {
  if (!path_.empty()) ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, path_.c_str());
}

std::string CIni::ReadString(const char* section, const char* key, const char* def) const {
  if (path_.empty()) return {};
  char buffer[300] = {};
  const DWORD n = ::GetPrivateProfileStringA(section, key, def ? def : "", buffer,
                                             sizeof(buffer), path_.c_str());
  return std::string(buffer, n < sizeof(buffer) ? n : sizeof(buffer) - 1);
}

int CIni::ToInt(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' ||
                             text[i] == '\r' || text[i] == '\v' || text[i] == '\f'))
    ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

int CIni::ReadInt(const char* section, const char* key, int def) const {
  if (path_.empty()) return def;
  char text[16];
  std::snprintf(text, sizeof(text), "%d", def);
  return ToInt(ReadString(section, key, text));
}
