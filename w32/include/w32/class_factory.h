// The standard class factory for a ComObject class: CreateInstance goes
// through CreateComObject (aggregation as the class allows it), LockServer
// counts module locks. A factory counts as a live object of the module, so a
// module is not unloaded while a client holds one.
//
//   STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
//     if (IsEqualCLSID(clsid, CLSID_Thing)) return w32::ClassFactory<CThing>::Create(riid, ppv);
//     ...
#pragma once
#include <windows.h>
#include <unknwn.h>

#include "w32/com_object.h"

namespace w32 {

template <class T>
class ClassFactory final : public ComObject<ClassFactory<T>, IClassFactory> {
 public:
  // A new factory queried for `riid`.
  static HRESULT Create(REFIID riid, void** ppv) noexcept {
    return CreateComObject<ClassFactory<T>>(nullptr, riid, ppv);
  }

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
    return CreateComObject<T>(outer, riid, ppv);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    if (lock) ComModule::Lock();
    else ComModule::Unlock();
    return S_OK;
  }
};

}  // namespace w32
