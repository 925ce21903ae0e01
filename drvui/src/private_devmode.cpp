#include "private_devmode.h"

#include <algorithm>
#include <cstring>

#include "product_info.h"

namespace drvui {

void WriteDefault(PrivateDevMode& out) {
  out.header.dwSize = kPrivateDevModeSize;
  out.header.dwSignature = kSignature;
  out.header.dwVersion = kVersion;
  out.value = 0;
}

void Convert(const void* in, PrivateDevMode& out) {
  OEM_DMEXTRAHEADER inHeader;
  std::memcpy(&inHeader, in, sizeof inHeader);
  if (inHeader.dwSignature == kSignature) {
    // Ours, possibly from an older or newer version: take the bytes both
    // versions share. `in` may be `out` (merge in place), hence memmove.
    const size_t shared = std::min<size_t>(inHeader.dwSize, kPrivateDevModeSize);
    std::memmove(&out, in, shared);
    if (shared < kPrivateDevModeSize) out.value = 0;
  } else {
    out.value = 0;
  }
  out.header.dwSize = kPrivateDevModeSize;
  out.header.dwSignature = kSignature;
  out.header.dwVersion = kVersion;
}

void Validate(PrivateDevMode& out) {
  out.header.dwSize = kPrivateDevModeSize;
  out.header.dwSignature = kSignature;
  out.header.dwVersion = kVersion;
  if (out.value < 0 || out.value > kMaxPrivateValue) out.value = 0;
}

}  // namespace drvui
