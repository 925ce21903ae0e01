#include "jobfile/driver_info_parser.h"

#include <windows.h>

#include <cstdio>

CDriverInfoParser::CDriverInfoParser(std::string jobPath, Family family)
    : jobPath_(std::move(jobPath)), family_(family) {}

CDriverInfoParser::~CDriverInfoParser() = default;

bool CDriverInfoParser::Reset() {
  info_.reset();
  ini_.reset();
  return false;
}

bool CDriverInfoParser::IsNtFamily() const {
  if (family_ != Family::Detect) return family_ == Family::NtFamily;
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof(version);
  return !::GetVersionExA(&version) || version.dwPlatformId != VER_PLATFORM_WIN32_WINDOWS;
}

bool CDriverInfoParser::Parse() {
  Reset();
  ini_.reset(new CIni(jobPath_));
  info_.reset(new CDriverInfo());
  CDriverInfo& info = *info_;
  const CIni& ini = *ini_;

  info.deviceName = ini.ReadString("Device", "DeviceName");
  info.documentName = ini.ReadString("Document", "Name");
  info.horizontalResolution = ini.ReadInt("Document", "HorizontalResolution", kMissing);
  info.orientation = ini.ReadInt("Document", "Orientation", kMissing);
  if (info.orientation == kMissing) return Reset();
  info.paperSize = ini.ReadInt("Document", "PaperSize", kMissing);
  if (info.paperSize == kMissing) return Reset();
  if (IsNtFamily()) {
    info.paperLength = ini.ReadInt("Document", "PaperLength", kMissing);
    if (info.paperLength == kMissing) return Reset();
    info.paperWidth = ini.ReadInt("Document", "PaperWidth", kMissing);
    if (info.paperWidth == kMissing) return Reset();
  }
  info.pageCount = ini.ReadInt("EMF", "Count", kMissing);
  if (info.pageCount == kMissing) return Reset();

  // Pages are added one by one as they are found: a huge count over a short
  // list fails at the first missing page without reserving anything.
  for (int i = 0; i < info.pageCount; ++i) {
    char key[24];
    std::snprintf(key, sizeof(key), "File%d", i);
    const std::string page = ini.ReadString("EMF", key);
    char longPath[MAX_PATH] = {};  // zero-filled: a failed conversion leaves it empty
    const DWORD n = page.empty() ? 0 : ::GetLongPathNameA(page.c_str(), longPath, MAX_PATH);
    if (n == 0 || n >= MAX_PATH || longPath[0] == '\0') return Reset();
    info.pageFiles.emplace_back(longPath, n);
  }
  return true;
}
