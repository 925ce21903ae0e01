#include "w32/registry.h"

#include <vector>

namespace w32 {

RegKey RegKey::Open(HKEY root, const std::wstring& path, REGSAM access, LONG* error) {
  HKEY key = nullptr;
  const LONG rc = ::RegOpenKeyExW(root, path.c_str(), 0, access, &key);
  if (error) *error = rc;
  return rc == ERROR_SUCCESS ? RegKey(key) : RegKey();
}

RegKey RegKey::Create(HKEY root, const std::wstring& path, REGSAM access, LONG* error) {
  HKEY key = nullptr;
  const LONG rc = ::RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                    access, nullptr, &key, nullptr);
  if (error) *error = rc;
  return rc == ERROR_SUCCESS ? RegKey(key) : RegKey();
}

std::optional<DWORD> RegKey::ReadDword(const std::wstring& name, LONG* error) const {
  DWORD type = 0, value = 0, size = sizeof(value);
  const LONG rc = ::RegQueryValueExW(key_.Get(), name.c_str(), nullptr, &type,
                                     reinterpret_cast<BYTE*>(&value), &size);
  if (error) *error = rc;
  if (rc != ERROR_SUCCESS || type != REG_DWORD || size != sizeof(value)) return std::nullopt;
  return value;
}

std::optional<std::wstring> RegKey::ReadString(const std::wstring& name, LONG* error) const {
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD type = 0, size = 0;
    LONG rc = ::RegQueryValueExW(key_.Get(), name.c_str(), nullptr, &type, nullptr, &size);
    if (error) *error = rc;
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::nullopt;
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
    DWORD got = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    rc = ::RegQueryValueExW(key_.Get(), name.c_str(), nullptr, &type,
                            reinterpret_cast<BYTE*>(buffer.data()), &got);
    if (rc == ERROR_MORE_DATA) continue;  // grew between the two calls
    if (error) *error = rc;
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::nullopt;
    size_t chars = got / sizeof(wchar_t);
    if (chars > buffer.size()) chars = buffer.size();
    std::wstring value(buffer.data(), chars);
    const size_t nul = value.find(L'\0');
    if (nul != std::wstring::npos) value.resize(nul);
    return value;
  }
  return std::nullopt;
}

LONG RegKey::WriteDword(const std::wstring& name, DWORD value) const {
  return ::RegSetValueExW(key_.Get(), name.c_str(), 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

LONG RegKey::WriteString(const std::wstring& name, const std::wstring& value) const {
  return ::RegSetValueExW(key_.Get(), name.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

LONG RegKey::DeleteValue(const std::wstring& name) const {
  return ::RegDeleteValueW(key_.Get(), name.c_str());
}

LONG DeleteKeyTree(HKEY root, const std::wstring& path) {
  RegKey key = RegKey::Open(root, path, KEY_READ | KEY_WRITE);
  if (!key.Valid()) return ERROR_SUCCESS;
  for (;;) {
    wchar_t name[256];
    DWORD len = 256;
    if (::RegEnumKeyExW(key.Get(), 0, name, &len, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS)
      break;
    const LONG rc = DeleteKeyTree(key.Get(), name);
    if (rc != ERROR_SUCCESS) return rc;
  }
  const LONG rc = ::RegDeleteKeyW(root, path.c_str());
  return rc == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : rc;
}

}  // namespace w32
