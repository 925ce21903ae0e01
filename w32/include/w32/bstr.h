// An owner of a BSTR and the conversions between BSTR and the text forms the
// programs keep (UTF-16 and system-code-page strings). Conversions never throw:
// an allocation or conversion failure is E_OUTOFMEMORY, which is what a COM
// member reports for it.
#pragma once
#include <windows.h>
#include <oleauto.h>
#include <string>
#include <string_view>
#include <utility>

namespace w32 {

class Bstr {
 public:
  Bstr() noexcept = default;
  // Takes over `owned`.
  explicit Bstr(BSTR owned) noexcept : s_(owned) {}
  ~Bstr() { Reset(); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  Bstr(Bstr&& other) noexcept : s_(other.Detach()) {}
  Bstr& operator=(Bstr&& other) noexcept {
    if (this != &other) Reset(other.Detach());
    return *this;
  }

  BSTR Get() const noexcept { return s_; }
  // Length in UTF-16 units (embedded zeros included); 0 for a null BSTR.
  UINT Length() const noexcept { return ::SysStringLen(s_); }
  std::wstring_view View() const noexcept { return std::wstring_view(s_ ? s_ : L"", Length()); }

  void Reset(BSTR owned = nullptr) noexcept {
    if (s_ != owned) ::SysFreeString(s_);
    s_ = owned;
  }
  BSTR Detach() noexcept { return std::exchange(s_, nullptr); }
  // For [out] BSTR* parameters: frees what is held first.
  BSTR* Put() noexcept {
    Reset();
    return &s_;
  }

 private:
  BSTR s_ = nullptr;
};

// The text of a BSTR; a null BSTR reads as empty.
inline std::wstring_view BstrView(BSTR s) noexcept {
  return std::wstring_view(s ? s : L"", ::SysStringLen(s));
}

// A new BSTR holding `text`; an empty text gives an empty, non-null BSTR.
// `*out` is null on failure (E_POINTER, E_OUTOFMEMORY).
HRESULT BstrFromWide(std::wstring_view text, BSTR* out) noexcept;
// Converts `text` from `codePage` (the thread's ANSI code page by default).
HRESULT BstrFromNarrow(std::string_view text, BSTR* out, UINT codePage = CP_ACP) noexcept;
// Converts a BSTR (null reads as empty) to `codePage`. `out` is left unchanged on failure.
HRESULT NarrowFromBstr(BSTR text, std::string& out, UINT codePage = CP_ACP) noexcept;
// Copies a BSTR into a UTF-16 string. `out` is left unchanged on failure.
HRESULT WideFromBstr(BSTR text, std::wstring& out) noexcept;

}  // namespace w32
