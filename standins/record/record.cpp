#include "standin_record.h"

#include "w32/registry.h"
#include "w32/strings.h"
#include "w32/unique_handle.h"

namespace standin {

std::wstring Setting(const wchar_t* program, const wchar_t* name, const std::wstring& fallback) {
  const w32::RegKey key =
      w32::RegKey::Open(HKEY_CURRENT_USER, std::wstring(kSettingsKey) + L"\\" + program);
  if (!key.Valid()) return fallback;
  return key.ReadString(name).value_or(fallback);
}

DWORD SettingNumber(const wchar_t* program, const wchar_t* name, DWORD fallback) {
  const w32::RegKey key =
      w32::RegKey::Open(HKEY_CURRENT_USER, std::wstring(kSettingsKey) + L"\\" + program);
  return key.Valid() ? key.ReadDwordOr(name, fallback) : fallback;
}

void Record(const std::wstring& line) {
  const w32::RegKey key = w32::RegKey::Open(HKEY_CURRENT_USER, kSettingsKey);
  const std::wstring path = key.Valid() ? key.ReadString(L"Record File").value_or(L"") : L"";
  if (path.empty()) return;
  w32::KernelHandle file(::CreateFileW(path.c_str(), FILE_APPEND_DATA,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  const std::string bytes = w32::Narrow(line + L"\n", CP_UTF8);
  DWORD written = 0;
  ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::wstring Argument() {
  const std::wstring line = ::GetCommandLineW();
  size_t pos = 0;
  if (!line.empty() && line[0] == L'"') {
    const size_t close = line.find(L'"', 1);
    pos = close == std::wstring::npos ? line.size() : close + 1;
  } else {
    while (pos < line.size() && line[pos] != L' ' && line[pos] != L'\t') ++pos;
  }
  while (pos < line.size() && (line[pos] == L' ' || line[pos] == L'\t')) ++pos;
  return line.substr(pos);
}

}  // namespace standin
