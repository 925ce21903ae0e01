// The system's components as tests meet them: a COM server DLL registered
// from the test program's folder, and the user's options file
// ("RurAdazavu.ini") kept out of a test's way.
#pragma once
#include <windows.h>

#include <string>

namespace testkit {

// Calls DllRegisterServer of `dll`, a file beside the test program.
HRESULT RegisterServerBeside(const wchar_t* dll);

// The options file in the user's local application-data folder.
std::wstring OptionsFilePath();

// Moves the options file aside for the life of the object and puts it back
// afterwards; whatever the test wrote there is deleted.
class OptionsFileAside {
 public:
  OptionsFileAside();
  ~OptionsFileAside();
  OptionsFileAside(const OptionsFileAside&) = delete;
  OptionsFileAside& operator=(const OptionsFileAside&) = delete;

 private:
  std::wstring path_, saved_;
  bool had_ = false;
};

}  // namespace testkit
