#include "com_fixture.h"

#include <shlobj.h>

#include "w32/module_path.h"
#include "w32/unique_handle.h"

HRESULT RegisterBesideProgram(const wchar_t* dll) {
  w32::ModuleHandle module(::LoadLibraryW(w32::JoinPath(w32::ModuleFolder(), dll).c_str()));
  if (!module) return HRESULT_FROM_WIN32(::GetLastError());
  using Register = HRESULT(STDAPICALLTYPE*)();
  auto reg = reinterpret_cast<Register>(
      reinterpret_cast<void*>(::GetProcAddress(module.Get(), "DllRegisterServer")));
  return reg ? reg() : E_NOINTERFACE;
}

std::string OptionsFilePath() {
  char folder[MAX_PATH + 1] = {};
  ::SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, folder);
  return std::string(folder) + "\\RurAdazavu.ini";
}

OptionsFileGuard::OptionsFileGuard() : path_(OptionsFilePath()), saved_(path_ + ".testsave") {
  hadFile_ = ::MoveFileExA(path_.c_str(), saved_.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

OptionsFileGuard::~OptionsFileGuard() {
  ::DeleteFileA(path_.c_str());
  if (hadFile_) ::MoveFileExA(saved_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING);
}
