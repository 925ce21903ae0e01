#include "controls/theme_api.h"

#include <mutex>
#include <string>

#include "w32/registry.h"

namespace {
// GetProcAddress gives a generic function pointer; the cast goes through
// void* so that the compiler accepts the real signature.
template <typename Fn>
Fn Resolve(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}
}  // namespace

CThemeApi::CThemeApi() {
  module_ = ::LoadLibraryW(L"uxtheme.dll");
  if (!module_) return;
  open_ = Resolve<OpenFn>(module_, "OpenThemeData");
  close_ = Resolve<CloseFn>(module_, "CloseThemeData");
  background_ = Resolve<BackgroundFn>(module_, "DrawThemeBackground");
  text_ = Resolve<TextFn>(module_, "DrawThemeText");
  if (!open_ || !close_ || !background_ || !text_) open_ = nullptr;
}

const CThemeApi& CThemeApi::Instance() {
  static std::mutex lock;
  static const CThemeApi* instance = nullptr;
  std::lock_guard<std::mutex> guard(lock);
  if (!instance) instance = new CThemeApi();  // lives as long as the process
  return *instance;
}

bool CThemeApi::SchemeAllowsThemes(const wchar_t* scheme) {
  return scheme != nullptr && ::lstrcmpiW(scheme, L"Windows Standard") != 0;
}

bool CThemeApi::UseThemedDrawing() {
  OSVERSIONINFOW version{sizeof(version)};
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!::GetVersionExW(&version) || version.dwMajorVersion <= 4) return false;
#pragma GCC diagnostic pop
  const w32::RegKey key = w32::RegKey::Open(HKEY_CURRENT_USER, L"Control Panel\\Appearance");
  if (!key.Valid()) return false;
  const auto scheme = key.ReadString(L"Current");
  if (!scheme) return false;
  if (!SchemeAllowsThemes(scheme->c_str())) return false;
  return Instance().Loaded();
}

HTHEME_ CThemeApi::Open(HWND window, const wchar_t* classList) const {
  return open_ ? open_(window, classList) : nullptr;
}

void CThemeApi::Close(HTHEME_ theme) const {
  if (open_ && theme) close_(theme);
}

HRESULT CThemeApi::DrawBackground(HTHEME_ theme, HDC dc, int part, int state,
                                  const RECT* rect) const {
  return open_ && theme ? background_(theme, dc, part, state, rect, nullptr) : E_FAIL;
}

HRESULT CThemeApi::DrawText(HTHEME_ theme, HDC dc, int part, int state, const wchar_t* text,
                            DWORD flags, const RECT* rect) const {
  return open_ && theme ? text_(theme, dc, part, state, text, -1, flags, 0, rect) : E_FAIL;
}
