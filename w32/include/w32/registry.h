// Registry access through an owned key. Reads check the value's type and size,
// so a value of the wrong kind reads as absent instead of as garbage.
#pragma once
#include <windows.h>
#include <optional>
#include <string>

#include "w32/unique_handle.h"

namespace w32 {

class RegKey {
 public:
  RegKey() = default;
  explicit RegKey(HKEY owned) : key_(owned) {}

  // Opens an existing key; on failure the result is invalid and `error`
  // (when given) holds the Win32 error.
  static RegKey Open(HKEY root, const std::wstring& path, REGSAM access = KEY_READ,
                     LONG* error = nullptr);
  // Opens or creates a key.
  static RegKey Create(HKEY root, const std::wstring& path, REGSAM access = KEY_READ | KEY_WRITE,
                       LONG* error = nullptr);

  bool Valid() const { return key_.Valid(); }
  HKEY Get() const { return key_.Get(); }

  // A REG_DWORD of exactly four bytes; anything else reads as absent.
  std::optional<DWORD> ReadDword(const std::wstring& name, LONG* error = nullptr) const;
  // A REG_SZ or REG_EXPAND_SZ (not expanded); copes with a missing terminator.
  std::optional<std::wstring> ReadString(const std::wstring& name, LONG* error = nullptr) const;
  DWORD ReadDwordOr(const std::wstring& name, DWORD fallback) const {
    return ReadDword(name).value_or(fallback);
  }

  LONG WriteDword(const std::wstring& name, DWORD value) const;
  LONG WriteString(const std::wstring& name, const std::wstring& value) const;
  LONG DeleteValue(const std::wstring& name) const;

 private:
  RegKeyHandle key_;
};

// Removes a key with all its subkeys; not-found counts as success.
LONG DeleteKeyTree(HKEY root, const std::wstring& path);

}  // namespace w32
