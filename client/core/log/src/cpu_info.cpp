#include "log/cpu_info.h"

#include <windows.h>
#include <cpuid.h>
#include <x86intrin.h>

#include <cstring>

namespace {

struct VendorName {
  const char* vendor;
  const char* manufacturer;
};

const VendorName kVendors[] = {
    {"AuthenticAMD", "Advanced Micro Devices"},
    {"AMD ISBETTER", "Advanced Micro Devices"},
    {"GenuineIntel", "Intel Corporation"},
    {"Geode By NSC", "National Semiconductor"},
    {"UMC UMC UMC ", "United Microelectronics Corp."},
    {"CyrixInstead", "Cyrix Corp., VIA Inc."},
    {"NexGenDriven", "NexGen Inc., Advanced Micro Devices"},
    {"CentaurHauls", "IDT\\Centaur, Via Inc."},
    {"RiseRiseRise", "Rise"},
    {"GenuineTMx86", "Transmeta"},
    {"TransmetaCPU", "Transmeta"},
};

struct ModelName {
  unsigned family;
  int model;  // -1: any model of the family
  const char* name;
};

const ModelName kIntelModels[] = {
    {4, 0, "80486DX"},        {4, 1, "80486DX"},         {4, 2, "80486SX"},
    {4, 3, "80486DX2"},       {4, 4, "80486SL"},         {4, 5, "80486SX2"},
    {4, 7, "80486DX2 WB"},    {4, 8, "80486DX4"},        {4, 9, "80486DX4 WB"},
    {5, 1, "Pentium 60/66"},  {5, 2, "Pentium 75-200"},  {5, 4, "Pentium MMX"},
    {6, 1, "Pentium Pro"},    {6, 3, "Pentium II"},      {6, 5, "Pentium II"},
    {6, 6, "Celeron"},        {6, 7, "Pentium III"},     {6, 8, "Pentium III"},
    {6, 9, "Pentium M"},      {6, 10, "Pentium III Xeon"}, {6, 11, "Pentium III"},
    {6, 13, "Pentium M"},     {15, -1, "Pentium 4"},
};

const ModelName kAmdModels[] = {
    {4, 3, "80486DX2"},  {4, 7, "80486DX2 WB"}, {4, 8, "80486DX4"}, {4, 9, "80486DX4 WB"},
    {4, 14, "Am5x86"},   {4, 15, "Am5x86 WB"},  {5, 0, "K5 SSA5"},  {5, 1, "K5"},
    {5, 2, "K5"},        {5, 3, "K5"},          {5, 6, "K6"},       {5, 7, "K6"},
    {5, 8, "K6-2"},      {5, 9, "K6-III"},      {6, 1, "Athlon"},   {6, 2, "Athlon"},
    {6, 3, "Duron"},     {6, 4, "Athlon"},      {6, 6, "Athlon MP"}, {6, 7, "Duron"},
    {15, -1, "Athlon 64"},
};

const ModelName kTransmetaModels[] = {{5, -1, "Crusoe TM3x00 and TM5x00"},
                                      {15, -1, "Efficeon"}};
const ModelName kCyrixModels[] = {{4, -1, "Cx486"}, {5, -1, "6x86"}, {6, -1, "6x86MX"}};
const ModelName kCentaurModels[] = {{5, 4, "WinChip C6"}, {5, 8, "WinChip 2"},
                                    {5, 9, "WinChip 3"},  {6, -1, "C3"}};

template <size_t N>
const char* Lookup(const ModelName (&table)[N], unsigned family, unsigned model) {
  for (const ModelName& m : table)
    if (m.family == family && (m.model < 0 || static_cast<unsigned>(m.model) == model))
      return m.name;
  return nullptr;
}

}  // namespace

std::string ManufacturerFromVendor(const std::string& vendor) {
  for (const VendorName& v : kVendors)
    if (vendor == v.vendor) return v.manufacturer;
  return "Unknown Manufacturer";
}

std::string NameFromFamilyModel(const std::string& manufacturer, unsigned family,
                                unsigned model) {
  const char* name = nullptr;
  const char* unknown = "Unknown family";
  if (manufacturer == "Intel Corporation") {
    name = Lookup(kIntelModels, family, model);
    unknown = "Unknown Intel family";
  } else if (manufacturer == "Advanced Micro Devices") {
    name = Lookup(kAmdModels, family, model);
    unknown = "Unknown AMD family";
  } else if (manufacturer == "Transmeta") {
    name = Lookup(kTransmetaModels, family, model);
    unknown = "Unknown Transmeta family";
  } else if (manufacturer == "Cyrix Corp., VIA Inc.") {
    name = Lookup(kCyrixModels, family, model);
    unknown = "Unknown Cyrix family";
  } else if (manufacturer == "IDT\\Centaur, Via Inc.") {
    name = Lookup(kCentaurModels, family, model);
    unknown = "Unknown Centaur family";
  }
  return name ? name : unknown;
}

CpuIdentity IdentifyCpu() {
  CpuIdentity id;
  unsigned a = 0, b = 0, c = 0, d = 0;
  // __get_cpuid_max also checks, on 32-bit processors, that CPUID exists.
  const unsigned maxBasic = __get_cpuid_max(0, nullptr);
  if (maxBasic == 0 && !__get_cpuid(0, &a, &b, &c, &d)) return id;
  __cpuid(0, a, b, c, d);
  char vendor[13] = {};
  std::memcpy(vendor, &b, 4);
  std::memcpy(vendor + 4, &d, 4);
  std::memcpy(vendor + 8, &c, 4);
  id.hasCpuid = true;
  id.vendor = vendor;
  id.manufacturer = ManufacturerFromVendor(id.vendor);

  const unsigned maxExtended = __get_cpuid_max(0x80000000u, nullptr);
  if (maxExtended >= 0x80000004u) {
    char brand[49] = {};
    for (unsigned i = 0; i < 3; ++i) {
      __cpuid(0x80000002u + i, a, b, c, d);
      std::memcpy(brand + 16 * i, &a, 4);
      std::memcpy(brand + 16 * i + 4, &b, 4);
      std::memcpy(brand + 16 * i + 8, &c, 4);
      std::memcpy(brand + 16 * i + 12, &d, 4);
    }
    id.name = brand;
    if (id.vendor == "GenuineIntel") id.name.erase(0, id.name.find_first_not_of(' '));
    if (!id.name.empty()) return id;
  }
  unsigned family = 0, model = 0;
  if (maxBasic >= 1) {
    __cpuid(1, a, b, c, d);
    family = (a >> 8) & 0xF;
    model = (a >> 4) & 0xF;
  }
  id.name = NameFromFamilyModel(id.manufacturer, family, model);
  return id;
}

namespace {

bool HasTimeStampCounter() {
  unsigned a, b, c, d;
  if (!__get_cpuid(1, &a, &b, &c, &d)) return false;
  return (d & (1u << 4)) != 0;
}

// Counter cycles spent in the timing loop for `waitTicks` performance-counter
// ticks; with 0 it measures the timing code alone.
unsigned long long CyclesOver(LONGLONG waitTicks) {
  LARGE_INTEGER start, now;
  ::QueryPerformanceCounter(&start);
  const unsigned long long before = __rdtsc();
  do {
    ::QueryPerformanceCounter(&now);
  } while (now.QuadPart - start.QuadPart < waitTicks);
  return __rdtsc() - before;
}

}  // namespace

int MeasureClockMhz() {
  if (!HasTimeStampCounter()) return -1;
  LARGE_INTEGER frequency;
  if (!::QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0) return -1;
  const LONGLONG fiftyMs = frequency.QuadPart / 20;
  const unsigned long long waited = CyclesOver(fiftyMs);
  const unsigned long long overhead = CyclesOver(0);
  const unsigned long long cycles = waited > overhead ? waited - overhead : 0;
  return static_cast<int>(cycles / 50 / 1000);
}
