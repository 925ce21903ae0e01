#include "log/system_report.h"

#include <shlwapi.h>

#include <vector>

#include "log/cpu_info.h"
#include "w32/strings.h"
#include "w32/unique_handle.h"

std::string OsName(const OSVERSIONINFOEXA& v) {
  std::string name;
  const char* sp = v.szCSDVersion;
  switch (v.dwPlatformId) {
    case VER_PLATFORM_WIN32s:
      name = "Microsoft Win32s ";
      break;
    case VER_PLATFORM_WIN32_WINDOWS:
      if (v.dwMinorVersion == 0) {
        name = "Microsoft Windows 95 ";
        if (sp[0] != '\0') {
          if (sp[1] == 'C') name += "OSR2 ";
          else if (sp[1] != '\0') name += std::string(1, sp[1]) + " ";
        }
      } else if (v.dwMinorVersion == 10) {
        name = "Microsoft Windows 98 ";
        if (sp[0] != '\0' && sp[1] == 'A') name += "SE ";
      } else if (v.dwMinorVersion == 90) {
        name = "Microsoft Windows Me ";
      }
      break;
    case VER_PLATFORM_WIN32_NT:
      if (v.dwMajorVersion <= 4) name = "Microsoft Windows NT ";
      else if (v.dwMajorVersion == 5 && v.dwMinorVersion == 0) name = "Microsoft Windows 2000 ";
      else if (v.dwMajorVersion == 5 && v.dwMinorVersion == 1) name = "Microsoft Windows XP ";
      if (v.dwMajorVersion >= 5)
        name += w32::Format("%s (Build %lu)", sp, v.dwBuildNumber & 0xFFFF);
      else
        name += w32::Format("version %lu.%lu %s (Build %lu) ", v.dwMajorVersion,
                            v.dwMinorVersion, sp, v.dwBuildNumber & 0xFFFF);
      break;
    default:
      break;
  }
  return name;
}

namespace {

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
bool ReadVersion(OSVERSIONINFOEXA& v) {
  v = {};
  v.dwOSVersionInfoSize = sizeof(v);
  if (::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&v))) return true;
  v = {};
  v.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
  return ::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&v)) != 0;
}
#pragma GCC diagnostic pop

}  // namespace

std::string OsAndWindowsFolderPart() {
  OSVERSIONINFOEXA v;
  const std::string name = ReadVersion(v) ? OsName(v) : std::string();
  std::vector<char> folder(MAX_PATH + 1);
  const UINT n = ::GetWindowsDirectoryA(folder.data(), static_cast<UINT>(folder.size()));
  const std::string where = (n == 0 || n >= folder.size()) ? "Info unavailable"
                                                            : std::string(folder.data(), n);
  return name + " at " + where;
}

std::string BrowserPart() {
  const char* fallback = "Cannot extract version number of Internet Explorer";
  w32::ModuleHandle shdocvw(::LoadLibraryW(L"shdocvw.dll"));
  if (!shdocvw) return fallback;
  auto getVersion = reinterpret_cast<DLLGETVERSIONPROC>(
      reinterpret_cast<void*>(::GetProcAddress(shdocvw.Get(), "DllGetVersion")));
  if (!getVersion) return fallback;
  DLLVERSIONINFO info = {};
  info.cbSize = sizeof(info);
  if (FAILED(getVersion(&info))) return fallback;
  return w32::Format("Internet Explorer Version: %ld.%ld, Build Number: %ld",
                     static_cast<long>(info.dwMajorVersion), static_cast<long>(info.dwMinorVersion),
                     static_cast<long>(info.dwBuildNumber));
}

std::string ClockPart() { return w32::Format("Clock Frequency: %d MHz", MeasureClockMhz()); }

std::string ProcessorPart() {
  const CpuIdentity cpu = IdentifyCpu();
  if (!cpu.hasCpuid) return "Error: CPU does not support CPUID.";
  return "Vendor ID: " + cpu.manufacturer + "\r\nBrand ID: " + cpu.name;
}

std::string MemoryPart() {
  MEMORYSTATUSEX m = {};
  m.dwLength = sizeof(m);
  ::GlobalMemoryStatusEx(&m);
  return w32::Format("Installed RAM: %ldMB", static_cast<long>(m.ullTotalPhys / (1024 * 1024))) +
         w32::Format("\r\nMemory Available: %ldKB", static_cast<long>(m.ullAvailPhys / 1024)) +
         w32::Format("\r\nPercent of used RAM: %%%ld", static_cast<long>(m.dwMemoryLoad));
}

std::string DisksPart() {
  std::string out;
  // Missing floppy or card drives must not raise "insert a disk" boxes.
  const UINT oldMode = ::SetErrorMode(SEM_FAILCRITICALERRORS);
  for (char letter = 'c'; letter <= 'z'; ++letter) {
    const char root[] = {letter, ':', '\\', '\0'};
    if (::GetDriveTypeA(root) != DRIVE_FIXED) continue;
    ULARGE_INTEGER freeToCaller, total, freeBytes;
    if (::GetDiskFreeSpaceExA(root, &freeToCaller, &total, &freeBytes)) {
      const long long totalMb = static_cast<long long>(total.QuadPart / (1024 * 1024));
      const long long freeMb = static_cast<long long>(freeBytes.QuadPart / (1024 * 1024));
      out += w32::Format("*** Hard Disk: (%s) ***\r\n", root);
      out += w32::Format("Total size: %I64d (MB)\r\n", totalMb);
      out += w32::Format("Used: %I64d (MB)\r\n", totalMb - freeMb);
      out += w32::Format("Free: %I64d (MB)\r\n", freeMb);
    }
    DWORD serial = 0, maxName = 0, flags = 0;
    char fsName[MAX_PATH + 1] = {};
    if (::GetVolumeInformationA(root, nullptr, 0, &serial, &maxName, &flags, fsName,
                                sizeof(fsName))) {
      out += w32::Format("Serial Number: %04X-%04X\r\n", HIWORD(serial), LOWORD(serial));
      out += w32::Format("Max of File Length Support: %d\r\n", static_cast<int>(maxName));
      out += w32::Format("File System: %s\r\n\r\n", fsName);
    }
  }
  ::SetErrorMode(oldMode);
  return out;
}

std::string BuildSystemReport() {
  return "\n" + OsAndWindowsFolderPart() + "\n" + BrowserPart() + "\n" + ClockPart() + "\n" +
         ProcessorPart() + "\n" + MemoryPart() + "\n" + DisksPart();
}
