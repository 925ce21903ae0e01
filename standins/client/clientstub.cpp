// clientstub.exe <job path>: records the whole rest of its command line, as
// the client takes it, and ends.
#include <windows.h>

#include "standin_record.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  standin::Record(L"client\t" + standin::Argument());
  return 0;
}
