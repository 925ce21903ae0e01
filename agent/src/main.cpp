// inkagent.exe: no arguments, no window, always exit code 0.
#include <windows.h>

#include "agent.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  try {
    return agent::RunAgent();
  } catch (...) {
    return 0;
  }
}
