#include "w32/com_registration.h"

#include <oleauto.h>
#include <new>

#include "w32/com_ptr.h"
#include "w32/registry.h"

namespace w32 {

namespace {

HRESULT FromWin32(LONG rc) { return rc == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(rc); }

// Creates `path` under `root` and sets its default value (and one named value).
HRESULT WriteKey(HKEY root, const std::wstring& path, const std::wstring& defaultValue,
                 const wchar_t* name = nullptr, const std::wstring& value = {}) {
  LONG rc = ERROR_SUCCESS;
  RegKey key = RegKey::Create(root, path, KEY_WRITE, &rc);
  if (!key.Valid()) return FromWin32(rc);
  rc = key.WriteString(L"", defaultValue);
  if (rc == ERROR_SUCCESS && name) rc = key.WriteString(name, value);
  return FromWin32(rc);
}

HRESULT WriteProgId(HKEY root, const InprocClassRegistration& cls, const std::wstring& progId,
                    const std::wstring& curVer) {
  const std::wstring clsid = GuidString(cls.clsid);
  HRESULT hr = WriteKey(root, progId, cls.description);
  if (SUCCEEDED(hr)) hr = WriteKey(root, progId + L"\\CLSID", clsid);
  if (SUCCEEDED(hr) && !curVer.empty()) hr = WriteKey(root, progId + L"\\CurVer", curVer);
  return hr;
}

}  // namespace

std::wstring GuidString(REFGUID guid) {
  wchar_t text[40] = {};
  const int n = ::StringFromGUID2(guid, text, 40);
  return n > 0 ? std::wstring(text, static_cast<size_t>(n - 1)) : std::wstring();
}

HRESULT RegisterInprocClass(const InprocClassRegistration& cls, HKEY classesRoot) noexcept {
  try {
    const std::wstring clsid = GuidString(cls.clsid);
    const std::wstring classKey = L"CLSID\\" + clsid;
    HRESULT hr = FromWin32(DeleteKeyTree(classesRoot, classKey));
    if (SUCCEEDED(hr) && !cls.progId.empty()) hr = WriteProgId(classesRoot, cls, cls.progId, {});
    if (SUCCEEDED(hr) && !cls.versionIndependentProgId.empty())
      hr = WriteProgId(classesRoot, cls, cls.versionIndependentProgId, cls.progId);
    if (SUCCEEDED(hr)) hr = WriteKey(classesRoot, classKey, cls.description);
    if (SUCCEEDED(hr) && !cls.progId.empty())
      hr = WriteKey(classesRoot, classKey + L"\\ProgID", cls.progId);
    if (SUCCEEDED(hr) && !cls.versionIndependentProgId.empty())
      hr = WriteKey(classesRoot, classKey + L"\\VersionIndependentProgID",
                    cls.versionIndependentProgId);
    if (SUCCEEDED(hr) && cls.programmable)
      hr = WriteKey(classesRoot, classKey + L"\\Programmable", L"");
    if (SUCCEEDED(hr)) {
      if (cls.threadingModel.empty())
        hr = WriteKey(classesRoot, classKey + L"\\InprocServer32", cls.serverPath);
      else
        hr = WriteKey(classesRoot, classKey + L"\\InprocServer32", cls.serverPath,
                      L"ThreadingModel", cls.threadingModel);
    }
    if (SUCCEEDED(hr) && cls.typeLibrary)
      hr = WriteKey(classesRoot, classKey + L"\\TypeLib", GuidString(*cls.typeLibrary));
    return hr;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

HRESULT UnregisterInprocClass(const InprocClassRegistration& cls, HKEY classesRoot) noexcept {
  try {
    HRESULT result = S_OK;
    auto remove = [&](const std::wstring& path) {
      if (path.empty()) return;
      const HRESULT hr = FromWin32(DeleteKeyTree(classesRoot, path));
      if (FAILED(hr) && SUCCEEDED(result)) result = hr;
    };
    remove(cls.progId);
    remove(cls.versionIndependentProgId);
    remove(L"CLSID\\" + GuidString(cls.clsid));
    return result;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

HRESULT RegisterTypeLibrary(const std::wstring& path) noexcept {
  ComPtr<ITypeLib> library;
  HRESULT hr = ::LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.Put());
  if (FAILED(hr)) return hr;
  return ::RegisterTypeLib(library.Get(), const_cast<wchar_t*>(path.c_str()), nullptr);
}

HRESULT UnregisterTypeLibrary(const std::wstring& path) noexcept {
  ComPtr<ITypeLib> library;
  HRESULT hr = ::LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.Put());
  if (FAILED(hr)) return hr;
  TLIBATTR* attr = nullptr;
  hr = library->GetLibAttr(&attr);
  if (FAILED(hr)) return hr;
  hr = ::UnRegisterTypeLib(attr->guid, attr->wMajorVerNum, attr->wMinorVerNum, attr->lcid,
                           attr->syskind);
  library->ReleaseTLibAttr(attr);
  // Nothing registered is not a failure of unregistration.
  return hr == TYPE_E_REGISTRYACCESS || hr == TYPE_E_CANTLOADLIBRARY ? S_OK : hr;
}

}  // namespace w32
