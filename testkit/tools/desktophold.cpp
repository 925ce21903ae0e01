// Keeps the session's desktop alive while scripts run Windows programs.
//
// Under Wine the desktop (explorer.exe /desktop) is started by the first
// program that needs windows and ends a while after the last such program
// has gone. A program started from ctest that brings the desktop up hands it
// ctest's output pipe, so ctest waits for the desktop to end: some twenty
// seconds for every test that opens a window. One hidden window held for the
// whole session keeps a single desktop up, started with no pipe of ours.
//
// Ends when its window is closed (WM_CLOSE) or the session's server stops.
#include <windows.h>

namespace {

LRESULT CALLBACK HoldProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
  if (message == WM_DESTROY) {
    ::PostQuitMessage(0);
    return 0;
  }
  return ::DefWindowProcW(window, message, wp, lp);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = HoldProc;
  wc.hInstance = instance;
  wc.lpszClassName = L"ScrivoDesktopHold";
  if (!::RegisterClassW(&wc)) return 1;
  // Never shown: it takes no focus and is in no one's way.
  HWND window = ::CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"Scrivo desktop hold",
                                  WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) ::DispatchMessageW(&msg);
  return 0;
}
