// The names and texts the plug-in shows or hands out.
#pragma once
#include <windows.h>

namespace drvui {

inline constexpr wchar_t kProductName[] = L"Scrivo";
inline constexpr wchar_t kProductVersion[] = L"1.00";
inline constexpr wchar_t kMakerNotice[] = L"Copyright \u00A9 2026 The Scrivo Project. All rights reserved.";
// The maker's web address as the About page shows it, and as it is opened.
inline constexpr wchar_t kMakerWebAddress[] = L"www.scrivo.example";
inline constexpr wchar_t kMakerWebUrl[] = L"https://www.scrivo.example/";

// Title the host gives the plug-in's part of the property sheet.
inline constexpr wchar_t kSheetTitle[] = L"OEM UI Page";
// ICC profile the plug-in names for colour management.
inline constexpr wchar_t kColorProfileName[] = L"OEMPROFILE.icm";
// The outside settings program, started from the plug-in's own folder.
inline constexpr wchar_t kSettingsProgram[] = L"inkui2.exe";

// GetInfo answers: the four-character code 'MSFT' and the version.
inline constexpr DWORD kSignature = 0x4D534654;
inline constexpr DWORD kVersion = 1;

}  // namespace drvui
