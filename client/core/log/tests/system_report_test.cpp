#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "log/cpu_info.h"
#include "log/system_report.h"

namespace {

OSVERSIONINFOEXA Version(DWORD platform, DWORD major, DWORD minor, DWORD build, const char* sp) {
  OSVERSIONINFOEXA v = {};
  v.dwOSVersionInfoSize = sizeof(v);
  v.dwPlatformId = platform;
  v.dwMajorVersion = major;
  v.dwMinorVersion = minor;
  v.dwBuildNumber = build;
  std::strncpy(v.szCSDVersion, sp, sizeof(v.szCSDVersion) - 1);
  return v;
}

TEST(SystemReport, OperatingSystemNames) {
  EXPECT_EQ(OsName(Version(VER_PLATFORM_WIN32_NT, 5, 1, 2600, "Service Pack 2")),
            "Microsoft Windows XP Service Pack 2 (Build 2600)");
  EXPECT_EQ(OsName(Version(VER_PLATFORM_WIN32_NT, 5, 0, 2195, "Service Pack 4")),
            "Microsoft Windows 2000 Service Pack 4 (Build 2195)");
  EXPECT_EQ(OsName(Version(VER_PLATFORM_WIN32_NT, 4, 0, 1381, "Service Pack 6")),
            "Microsoft Windows NT version 4.0 Service Pack 6 (Build 1381) ");
  // Later systems have no name of their own: the service pack and build only.
  EXPECT_EQ(OsName(Version(VER_PLATFORM_WIN32_NT, 6, 1, 7601, "Service Pack 1")),
            "Service Pack 1 (Build 7601)");
  EXPECT_EQ(OsName(Version(VER_PLATFORM_WIN32_WINDOWS, 4, 0, 950, " C")),
            "Microsoft Windows 95 OSR2 ");
  EXPECT_EQ(OsName(Version(VER_PLATFORM_WIN32_WINDOWS, 4, 0, 950, " B")),
            "Microsoft Windows 95 B ");
  EXPECT_EQ(OsName(Version(VER_PLATFORM_WIN32_WINDOWS, 4, 10, 2222, " A")),
            "Microsoft Windows 98 SE ");
  EXPECT_EQ(OsName(Version(VER_PLATFORM_WIN32_WINDOWS, 4, 10, 1998, "")),
            "Microsoft Windows 98 ");
  EXPECT_EQ(OsName(Version(VER_PLATFORM_WIN32_WINDOWS, 4, 90, 3000, "")),
            "Microsoft Windows Me ");
  EXPECT_EQ(OsName(Version(VER_PLATFORM_WIN32s, 3, 1, 0, "")), "Microsoft Win32s ");
}

TEST(SystemReport, ManufacturerTable) {
  EXPECT_EQ(ManufacturerFromVendor("GenuineIntel"), "Intel Corporation");
  EXPECT_EQ(ManufacturerFromVendor("AMD ISBETTER"), "Advanced Micro Devices");
  EXPECT_EQ(ManufacturerFromVendor("CentaurHauls"), "IDT\\Centaur, Via Inc.");
  EXPECT_EQ(ManufacturerFromVendor("TransmetaCPU"), "Transmeta");
  EXPECT_EQ(ManufacturerFromVendor("HygonGenuine"), "Unknown Manufacturer");
  EXPECT_EQ(NameFromFamilyModel("Advanced Micro Devices", 5, 8), "K6-2");
  EXPECT_EQ(NameFromFamilyModel("Intel Corporation", 4, 3), "80486DX2");
  EXPECT_EQ(NameFromFamilyModel("Intel Corporation", 9, 0), "Unknown Intel family");
  EXPECT_EQ(NameFromFamilyModel("Transmeta", 5, 4), "Crusoe TM3x00 and TM5x00");
}

TEST(SystemReport, HasEveryPartInOrder) {
  const std::string report = BuildSystemReport();
  ASSERT_FALSE(report.empty());
  EXPECT_EQ(report[0], '\n');
  const char* parts[] = {" at ", "\nInternet Explorer Version: ", "\nClock Frequency: ",
                         "\nVendor ID: ", "\r\nBrand ID: ", "\nInstalled RAM: ",
                         "MB\r\nMemory Available: ", "KB\r\nPercent of used RAM: %",
                         "\n*** Hard Disk: (c:\\) ***\r\nTotal size: "};
  size_t at = 0;
  for (const char* part : parts) {
    const size_t found = report.find(part, at);
    ASSERT_NE(found, std::string::npos) << part << "\n" << report;
    at = found;
  }
  EXPECT_NE(report.find("File System: "), std::string::npos) << report;
  EXPECT_EQ(report.find("Clock Frequency: -1 MHz"), std::string::npos);
}

}  // namespace
