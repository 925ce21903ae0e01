// progress.exe <job file>: shows a small top-level window of class
// "Scrivo progress indicator" until it receives WM_CLOSE (at most two minutes,
// so that no test leaves one behind). Records its start and its close.
#include <windows.h>

#include "standin_record.h"

namespace {

LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      standin::Record(L"progress closed");
      ::DestroyWindow(window);
      return 0;
    case WM_TIMER:
      ::DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  standin::Record(L"progress\t" + standin::Argument());
  WNDCLASSW wc = {};
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = L"Scrivo progress indicator";
  if (!::RegisterClassW(&wc)) return 1;
  HWND window = ::CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"Scrivo - printing",
                                  WS_POPUP | WS_CAPTION | WS_VISIBLE, 100, 100, 240, 60, nullptr,
                                  nullptr, instance, nullptr);
  if (!window) return 1;
  ::SetTimer(window, 1, 120000, nullptr);
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) ::DispatchMessageW(&msg);
  return 0;
}
