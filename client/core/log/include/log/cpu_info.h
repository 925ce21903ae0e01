// Processor identification for the system report.
#pragma once
#include <string>

struct CpuIdentity {
  bool hasCpuid = false;
  std::string vendor;        // the 12-character vendor string of function 0
  std::string manufacturer;  // readable name chosen from the vendor string
  std::string name;          // brand string, or a name from family and model
};

CpuIdentity IdentifyCpu();
// The manufacturer named by a vendor string; "Unknown Manufacturer" for others.
std::string ManufacturerFromVendor(const std::string& vendor);
// A readable processor name from family and model, for processors without a
// brand string.
std::string NameFromFamilyModel(const std::string& manufacturer, unsigned family, unsigned model);
// Clock frequency in MHz measured with the time-stamp counter; -1 when the
// processor has none.
int MeasureClockMhz();
