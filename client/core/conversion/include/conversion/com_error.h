// A COM call that reported failure. Raised by the option and writer
// connections; it ends the conversion thread (caught at its entry).
#pragma once
#include <windows.h>
#include <stdexcept>

class ComError : public std::runtime_error {
 public:
  explicit ComError(HRESULT hr, const char* what = "COM call failed")
      : std::runtime_error(what), hr_(hr) {}
  HRESULT Result() const { return hr_; }

 private:
  HRESULT hr_;
};

inline void ThrowIfFailed(HRESULT hr, const char* what = "COM call failed") {
  if (FAILED(hr)) throw ComError(hr, what);
}
