// The product's name and the machine-wide settings that the agent and the
// converter read once at their start.
#pragma once
#include <windows.h>
#include <string>

namespace scrivo {

// The printer's and the product's name; it fills every name format below.
inline constexpr wchar_t kProductName[] = L"Scrivo";

// "Software\Scrivo": the product key under HKEY_LOCAL_MACHINE.
std::wstring ProductKeyPath();
// "Software\Scrivo\Defaults": the machine's defaults for per-user settings.
std::wstring DefaultsKeyPath();

// "Log" and "Message Mode" under the product key. A key or value that cannot
// be read leaves the default (0); that is no error.
struct ProductSettings {
  DWORD log = 0;
  DWORD messageMode = 0;
};
ProductSettings ReadProductSettings();

// The window message registered under "Scrivo_notify_message": the same
// number in every program of the session.
UINT RegisterNotifyMessage();

}  // namespace scrivo
