// preprocess.exe <job file>: records its argument; writes the setting
// "Result" (HKCU\Software\ScrivoStandins\preprocess), when there is one, into
// "PreprocessingResult" of section "Document". Otherwise leaves the job alone.
#include <windows.h>

#include "standin_record.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const std::wstring job = standin::Argument();
  standin::Record(L"preprocess\t" + job);
  const std::wstring result = standin::Setting(L"preprocess", L"Result");
  if (!result.empty())
    ::WritePrivateProfileStringW(L"Document", L"PreprocessingResult", result.c_str(), job.c_str());
  ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, job.c_str());
  return 0;
}
