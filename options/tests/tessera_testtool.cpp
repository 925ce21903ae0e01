// Helper for the registration and script tests of Tessera.dll:
//   tessera_testtool registered      every key of the class registration is in place
//   tessera_testtool unregistered    none of them is left, and "CLSID" still exists
//   tessera_testtool delete-options  removes the user's options file
// Prints what is wrong and exits 1 when a check fails.
#include <windows.h>

#include <cstdio>
#include <string>

#include "options_store.h"
#include "w32/module_path.h"
#include "w32/registry.h"
#include "w32/strings.h"

namespace {

const wchar_t kClsid[] = L"{E6101795-5F97-47AB-B850-3AA210CCFA34}";
const wchar_t kLibid[] = L"{169539C8-363D-4D90-9FB4-309340AEECE4}";

int g_failures = 0;

void Fail(const std::wstring& what) {
  std::fwprintf(stdout, L"FAIL: %ls\n", what.c_str());
  ++g_failures;
}

bool KeyExists(const std::wstring& path) {
  return w32::RegKey::Open(HKEY_CLASSES_ROOT, path).Valid();
}

void ExpectValue(const std::wstring& path, const wchar_t* name, const std::wstring& expected,
                 bool ignoreCase = false) {
  w32::RegKey key = w32::RegKey::Open(HKEY_CLASSES_ROOT, path);
  if (!key.Valid()) return Fail(L"missing key " + path);
  const auto value = key.ReadString(name);
  if (!value) return Fail(L"missing value " + path + L" [" + name + L"]");
  const bool same = ignoreCase ? ::lstrcmpiW(value->c_str(), expected.c_str()) == 0
                               : *value == expected;
  if (!same) Fail(path + L" [" + name + L"] is \"" + *value + L"\", not \"" + expected + L"\"");
}

void CheckRegistered() {
  const std::wstring classKey = std::wstring(L"CLSID\\") + kClsid;
  const std::wstring dll = w32::JoinPath(w32::ModuleFolder(), L"Tessera.dll");
  ExpectValue(L"Tessera.1", L"", L"Tessera Class");
  ExpectValue(L"Tessera.1\\CLSID", L"", kClsid);
  ExpectValue(L"Tessera", L"", L"Tessera Class");
  ExpectValue(L"Tessera\\CLSID", L"", kClsid);
  ExpectValue(L"Tessera\\CurVer", L"", L"Tessera.1");
  ExpectValue(classKey, L"", L"Tessera Class");
  ExpectValue(classKey + L"\\ProgID", L"", L"Tessera.1");
  ExpectValue(classKey + L"\\VersionIndependentProgID", L"", L"Tessera");
  if (!KeyExists(classKey + L"\\Programmable")) Fail(L"missing key Programmable");
  ExpectValue(classKey + L"\\InprocServer32", L"", dll, true);
  ExpectValue(classKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
  ExpectValue(classKey + L"\\TypeLib", L"", kLibid);
  ExpectValue(std::wstring(L"TypeLib\\") + kLibid + L"\\1.0", L"", L"Tessera 1.0 Type Library");
  ExpectValue(std::wstring(L"TypeLib\\") + kLibid + L"\\1.0\\0\\win32", L"", dll, true);
}

void CheckUnregistered() {
  for (const std::wstring& key :
       {std::wstring(L"Tessera.1"), std::wstring(L"Tessera"), std::wstring(L"CLSID\\") + kClsid,
        std::wstring(L"TypeLib\\") + kLibid + L"\\1.0"}) {
    if (KeyExists(key)) Fail(L"left behind: " + key);
  }
  if (!KeyExists(L"CLSID")) Fail(L"the CLSID key itself was removed");
}

}  // namespace

int main(int argc, char** argv) {
  const std::wstring command = argc > 1 ? w32::Widen(argv[1]) : L"";
  if (command == L"registered") {
    CheckRegistered();
  } else if (command == L"unregistered") {
    CheckUnregistered();
  } else if (command == L"delete-options") {
    const std::string path = COptionsStore::DefaultFilePath();
    ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
    if (!::DeleteFileA(path.c_str()) && ::GetLastError() != ERROR_FILE_NOT_FOUND)
      Fail(L"cannot delete " + w32::Widen(path));
  } else {
    std::fwprintf(stderr, L"usage: tessera_testtool registered|unregistered|delete-options\n");
    return 2;
  }
  if (g_failures == 0) std::fwprintf(stdout, L"OK %ls\n", command.c_str());
  return g_failures == 0 ? 0 : 1;
}
