// The real components for the conversion tests: registers the DLLs that lie
// beside the test program and keeps the user's options file as it was.
#pragma once
#include <windows.h>
#include <string>

// Calls DllRegisterServer of `dll` (a file beside the test program).
HRESULT RegisterBesideProgram(const wchar_t* dll);

// Path of "RurAdazavu.ini" in the local application-data folder.
std::string OptionsFilePath();

// Moves the options file aside for the life of the object and puts it back.
class OptionsFileGuard {
 public:
  OptionsFileGuard();
  ~OptionsFileGuard();

 private:
  std::string path_, saved_;
  bool hadFile_ = false;
};
