#include "testkit/components.h"

#include <shlobj.h>

#include "testkit/process.h"
#include "w32/unique_handle.h"

namespace testkit {

HRESULT RegisterServerBeside(const wchar_t* dll) {
  w32::ModuleHandle module(::LoadLibraryW((BinFolder() + L"\\" + dll).c_str()));
  if (!module) return HRESULT_FROM_WIN32(::GetLastError());
  using Register = HRESULT(STDAPICALLTYPE*)();
  auto reg = reinterpret_cast<Register>(
      reinterpret_cast<void*>(::GetProcAddress(module.Get(), "DllRegisterServer")));
  return reg ? reg() : E_NOINTERFACE;
}

std::wstring OptionsFilePath() {
  wchar_t folder[MAX_PATH + 1] = {};
  ::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, folder);
  return std::wstring(folder) + L"\\RurAdazavu.ini";
}

OptionsFileAside::OptionsFileAside() : path_(OptionsFilePath()), saved_(path_ + L".test-aside") {
  had_ = ::MoveFileExW(path_.c_str(), saved_.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

OptionsFileAside::~OptionsFileAside() {
  ::DeleteFileW(path_.c_str());
  if (had_) ::MoveFileExW(saved_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING);
}

}  // namespace testkit
