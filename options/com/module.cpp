// The exports of Tessera.dll: its class object, the unload test and the
// registration of the class and its type library.
#include <windows.h>
#include <olectl.h>

#include "tessera_object.h"
#include "w32/class_factory.h"
#include "w32/com_module.h"
#include "w32/com_registration.h"
#include "w32/module_path.h"

namespace {

w32::InprocClassRegistration TesseraClass() {
  w32::InprocClassRegistration cls;
  cls.clsid = CLSID_Tessera;
  cls.description = L"Tessera Class";
  cls.progId = L"Tessera.1";
  cls.versionIndependentProgId = L"Tessera";
  cls.serverPath = w32::ModulePath(w32::ComModule::Handle());
  cls.threadingModel = L"Apartment";
  cls.typeLibrary = LIBID_Tessera;
  cls.programmable = true;
  return cls;
}

}  // namespace

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (!IsEqualCLSID(rclsid, CLSID_Tessera)) return CLASS_E_CLASSNOTAVAILABLE;
  return w32::ClassFactory<CTessera>::Create(riid, ppv);
}

STDAPI DllCanUnloadNow() { return w32::ComModule::CanUnloadNow(); }

STDAPI DllRegisterServer() {
  try {
    const w32::InprocClassRegistration cls = TesseraClass();
    if (cls.serverPath.empty()) return SELFREG_E_CLASS;
    HRESULT hr = w32::RegisterInprocClass(cls);
    if (FAILED(hr)) return hr;
    hr = w32::RegisterTypeLibrary(cls.serverPath);
    return FAILED(hr) ? SELFREG_E_TYPELIB : S_OK;
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

STDAPI DllUnregisterServer() {
  try {
    const w32::InprocClassRegistration cls = TesseraClass();
    const HRESULT library = w32::UnregisterTypeLibrary(cls.serverPath);
    const HRESULT keys = w32::UnregisterInprocClass(cls);
    if (FAILED(keys)) return keys;
    return FAILED(library) ? SELFREG_E_TYPELIB : S_OK;
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}
