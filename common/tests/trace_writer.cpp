// trace_writer PATH COUNT TAG: appends COUNT lines "TAG n" to the trace log at
// PATH, for the test of two programs writing one log.
#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <string>

#include "common/trace_log.h"
#include "w32/strings.h"

int main() {
  int argc = 0;
  wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  if (!argv || argc != 4) return 2;
  const std::wstring path = argv[1], tag = argv[3];
  const int count = _wtoi(argv[2]);
  ::LocalFree(argv);
  if (!scrivo::OpenTraceLog(path)) return 3;
  for (int i = 0; i < count; ++i) scrivo::TraceLine(w32::Format(L"%s %d", tag.c_str(), i));
  scrivo::CloseTraceLog();
  return 0;
}
