// The plug-in's 16-byte private part of the printer's DEVMODEW: the kit's
// header followed by one value. The host owns the memory; these functions
// only read and write the bytes it hands over.
#pragma once
#include <windows.h>
#include <cstdint>

#include "oem_ui_kit.h"

namespace drvui {

struct PrivateDevMode {
  OEM_DMEXTRAHEADER header;
  // 0 to 100; what it controls belongs to the settings program.
  LONG value;
};
static_assert(sizeof(PrivateDevMode) == 16, "the private part is 16 bytes");

inline constexpr DWORD kPrivateDevModeSize = sizeof(PrivateDevMode);
inline constexpr LONG kMaxPrivateValue = 100;

// The default private part.
void WriteDefault(PrivateDevMode& out);
// Converts `in` (any plug-in's private part, or an older one of ours) into
// `out`. A private part that is not ours gives the default.
void Convert(const void* in, PrivateDevMode& out);
// Makes the header ours and brings the value into range.
void Validate(PrivateDevMode& out);

}  // namespace drvui
