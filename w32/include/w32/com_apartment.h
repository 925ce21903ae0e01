// COM on the current thread for the lifetime of a scope, and creation of
// in-process objects by class or ProgID into a ComPtr.
#pragma once
#include <windows.h>
#include <objbase.h>

#include "w32/com_ptr.h"

namespace w32 {

// Enters an apartment in the constructor and leaves it in the destructor when
// entering succeeded (S_FALSE, already initialised, counts as success and is
// balanced too). A thread that creates COM objects holds one for its whole
// body, so that its objects are released before COM goes away.
class ComApartment {
 public:
  explicit ComApartment(DWORD model = COINIT_APARTMENTTHREADED) noexcept
      : result_(::CoInitializeEx(nullptr, model)) {}
  ~ComApartment() {
    if (SUCCEEDED(result_)) ::CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

  HRESULT Result() const noexcept { return result_; }
  bool Ok() const noexcept { return SUCCEEDED(result_); }

 private:
  HRESULT result_;
};

template <class T>
HRESULT CreateInstance(REFCLSID clsid, ComPtr<T>& out,
                       DWORD context = CLSCTX_INPROC_SERVER) noexcept {
  return ::CoCreateInstance(clsid, nullptr, context, InterfaceId<T>::Get(), out.PutVoid());
}

// Looks the class up by ProgID ("Tessera", "Tessera.1") first.
template <class T>
HRESULT CreateInstance(const wchar_t* progId, ComPtr<T>& out,
                       DWORD context = CLSCTX_INPROC_SERVER) noexcept {
  out.Reset();
  CLSID clsid = {};
  const HRESULT hr = ::CLSIDFromProgID(progId, &clsid);
  return FAILED(hr) ? hr : CreateInstance(clsid, out, context);
}

}  // namespace w32
