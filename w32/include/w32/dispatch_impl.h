// IDispatch for a dual interface I, driven by the interface's type information
// in a type library: GetIDsOfNames and Invoke forward to ITypeInfo, which calls
// the object through I's vtable. Use it as a base of ComObject:
//
//   class CThing : public w32::ComObject<CThing, w32::DispatchImpl<IThing>> { ... };
//
// The type library is read with LoadTypeLibEx(path, REGKIND_NONE), by default
// from the module that holds this code (its resource TYPELIB 1), so it needs no
// registration; a derived constructor may name another file with
// UseTypeLibrary. The type information is loaded on first use and kept by the
// object.
#pragma once
#include <windows.h>
#include <oaidl.h>
#include <oleauto.h>
#include <string>

#include "w32/com_ptr.h"

namespace w32 {

// The type information of interface `iid` from the type library at `path`
// (empty: the module's own file).
HRESULT LoadInterfaceTypeInfo(const std::wstring& path, REFIID iid, ITypeInfo** out) noexcept;

template <class I>
class DispatchImpl : public I {
 public:
  using Interface = I;

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    const HRESULT hr = EnsureTypeInfo();
    return FAILED(hr) ? hr : typeInfo_.CopyTo(out);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override {
    if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    const HRESULT hr = EnsureTypeInfo();
    return FAILED(hr) ? hr : ::DispGetIDsOfNames(typeInfo_.Get(), names, count, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID riid, LCID, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                   UINT* argError) override {
    if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    const HRESULT hr = EnsureTypeInfo();
    if (FAILED(hr)) return hr;
    return typeInfo_->Invoke(static_cast<I*>(this), member, flags, params, result, exception,
                             argError);
  }

 protected:
  DispatchImpl() = default;
  ~DispatchImpl() = default;
  // Reads the type information from `path` instead of the module's own file.
  void UseTypeLibrary(std::wstring path) {
    typeLibPath_ = std::move(path);
    typeInfo_.Reset();
  }

 private:
  HRESULT EnsureTypeInfo() noexcept {
    if (typeInfo_) return S_OK;
    return LoadInterfaceTypeInfo(typeLibPath_, InterfaceId<I>::Get(), typeInfo_.Put());
  }

  std::wstring typeLibPath_;
  ComPtr<ITypeInfo> typeInfo_;
};

}  // namespace w32
