// inkdisp.exe <job description file>: no window; exit code 0 or 1.
#include <windows.h>

#include "command_line.h"
#include "converter.h"
#include "w32/module_path.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  try {
    return converter::RunConverter(
        converter::JobArgument(::GetCommandLineW(), w32::ModulePath()));
  } catch (...) {
    return 0;
  }
}
