#include "w32/bstr.h"

#include <climits>
#include <new>

#include "w32/strings.h"

namespace w32 {

HRESULT BstrFromWide(std::wstring_view text, BSTR* out) noexcept {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (text.size() > UINT_MAX / sizeof(wchar_t) - 8) return E_OUTOFMEMORY;
  BSTR s = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  if (!s) return E_OUTOFMEMORY;
  *out = s;
  return S_OK;
}

HRESULT BstrFromNarrow(std::string_view text, BSTR* out, UINT codePage) noexcept {
  if (!out) return E_POINTER;
  *out = nullptr;
  try {
    const std::wstring wide = Widen(text, codePage);
    // Any non-empty text converts to at least one unit: empty means failure.
    if (wide.empty() && !text.empty()) return E_OUTOFMEMORY;
    return BstrFromWide(wide, out);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

HRESULT NarrowFromBstr(BSTR text, std::string& out, UINT codePage) noexcept {
  try {
    const std::wstring_view wide = BstrView(text);
    std::string narrow = Narrow(wide, codePage);
    if (narrow.empty() && !wide.empty()) return E_OUTOFMEMORY;
    out = std::move(narrow);
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

HRESULT WideFromBstr(BSTR text, std::wstring& out) noexcept {
  try {
    out.assign(BstrView(text));
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

}  // namespace w32
