// Settings and records of the stand-ins. A stand-in's settings live under
// HKCU\Software\ScrivoStandins\<program>; the record file named by the value
// "Record File" of HKCU\Software\ScrivoStandins gets one UTF-8 line per thing
// a stand-in did, fields separated by tabs.
#pragma once
#include <windows.h>
#include <string>

namespace standin {

inline constexpr wchar_t kSettingsKey[] = L"Software\\ScrivoStandins";

std::wstring Setting(const wchar_t* program, const wchar_t* name, const std::wstring& fallback = L"");
DWORD SettingNumber(const wchar_t* program, const wchar_t* name, DWORD fallback);

// Appends `line` and a line feed to the record file, in one write.
void Record(const std::wstring& line);

// The command line after the program part (quoted, or up to the first blank)
// and the blanks after it, unchanged.
std::wstring Argument();

}  // namespace standin
