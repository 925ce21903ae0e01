#include "w32/dispatch_impl.h"

#include <new>

#include "w32/com_module.h"
#include "w32/module_path.h"

namespace w32 {

HRESULT LoadInterfaceTypeInfo(const std::wstring& path, REFIID iid, ITypeInfo** out) noexcept {
  if (!out) return E_POINTER;
  *out = nullptr;
  try {
    const std::wstring file = path.empty() ? ModulePath(ComModule::Handle()) : path;
    if (file.empty()) return HRESULT_FROM_WIN32(::GetLastError());
    ComPtr<ITypeLib> library;
    HRESULT hr = ::LoadTypeLibEx(file.c_str(), REGKIND_NONE, library.Put());
    if (FAILED(hr)) return hr;
    return library->GetTypeInfoOfGuid(iid, out);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

}  // namespace w32
