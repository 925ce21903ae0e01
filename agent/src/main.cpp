// inkagent.exe: no arguments, no window, always exit code 0.
#include <windows.h>

#include "agent.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  bool terminated = false;
  int code = 0;
  try {
    code = agent::RunAgent(&terminated);
  } catch (...) {
    code = 0;
  }
  // A job thread terminated at the stop may have held a lock of the heap,
  // the loader or the runtime; the normal exit path takes those locks again
  // and would hang. Nothing is left to flush (the trace log is closed), so
  // the process ends at once.
  if (terminated) ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(code));
  return code;
}
