// Registration of in-process COM classes and of type libraries, for
// DllRegisterServer and DllUnregisterServer.
//
// A class is written as the usual keys under the classes root:
//   <ProgID>                    default = description; "CLSID" = {clsid}
//   <VersionIndependentProgID>  default = description; "CLSID" = {clsid}; "CurVer" = <ProgID>
//   CLSID\{clsid}               default = description; "ProgID", "VersionIndependentProgID",
//                               "Programmable" (empty, when asked for),
//                               "InprocServer32" = server path with "ThreadingModel",
//                               "TypeLib" = {library id} (when given)
// Registration first removes an existing class key with all its subkeys, so no
// stale entry survives. Unregistration removes the ProgID keys and the class
// key, never "CLSID" itself.
#pragma once
#include <windows.h>
#include <optional>
#include <string>

namespace w32 {

struct InprocClassRegistration {
  CLSID clsid = {};
  std::wstring description;               // default value of every key
  std::wstring progId;                    // e.g. "Thing.1"; empty: none
  std::wstring versionIndependentProgId;  // e.g. "Thing"; empty: none
  std::wstring serverPath;                // full path of the DLL
  std::wstring threadingModel;            // e.g. "Apartment"; empty: no value
  std::optional<GUID> typeLibrary;        // the "TypeLib" subkey
  bool programmable = false;              // the "Programmable" subkey
};

// The registry form of a GUID: "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
std::wstring GuidString(REFGUID guid);

// `classesRoot` is HKEY_CLASSES_ROOT in a server; tests pass a key of their own.
HRESULT RegisterInprocClass(const InprocClassRegistration& cls,
                            HKEY classesRoot = HKEY_CLASSES_ROOT) noexcept;
HRESULT UnregisterInprocClass(const InprocClassRegistration& cls,
                              HKEY classesRoot = HKEY_CLASSES_ROOT) noexcept;

// Registers the type library of `path` (a .tlb, or a module whose resource
// TYPELIB 1 holds it) under its own identity, with `path` as its file.
HRESULT RegisterTypeLibrary(const std::wstring& path) noexcept;
// Removes the registration of the type library that `path` holds.
HRESULT UnregisterTypeLibrary(const std::wstring& path) noexcept;

}  // namespace w32
