// Stand-in for the settings program inkui2.exe: a small window that says what
// it is, plus a record of every start. When the environment names a record
// file (SCRIVO_INKUI2_RECORD), one line is appended to it:
//   started<TAB><process id><TAB><command line><TAB><current folder>
// so a test can tell that, and how, the program was started.
#include <windows.h>
#include <string>

#include "w32/unique_handle.h"

namespace {

constexpr wchar_t kWindowClass[] = L"ScrivoInkui2Window";
constexpr wchar_t kWindowTitle[] = L"Scrivo Settings";
constexpr wchar_t kRecordVariable[] = L"SCRIVO_INKUI2_RECORD";

std::wstring EnvironmentValue(const wchar_t* name) {
  const DWORD n = ::GetEnvironmentVariableW(name, nullptr, 0);
  if (n == 0) return {};
  std::wstring value(n, L'\0');
  const DWORD written = ::GetEnvironmentVariableW(name, &value[0], n);
  value.resize(written < n ? written : 0);
  return value;
}

std::wstring CurrentFolder() {
  const DWORD n = ::GetCurrentDirectoryW(0, nullptr);
  if (n == 0) return {};
  std::wstring folder(n, L'\0');
  const DWORD written = ::GetCurrentDirectoryW(n, &folder[0]);
  folder.resize(written < n ? written : 0);
  return folder;
}

// Appends the start record as UTF-8; a missing variable means no record.
void RecordStart() noexcept try {
  const std::wstring path = EnvironmentValue(kRecordVariable);
  if (path.empty()) return;
  const std::wstring line = L"started\t" + std::to_wstring(::GetCurrentProcessId()) + L"\t" +
                           std::wstring(::GetCommandLineW()) + L"\t" + CurrentFolder() + L"\r\n";
  const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()),
                                          nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return;
  std::string utf8(static_cast<size_t>(bytes), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), &utf8[0], bytes,
                        nullptr, nullptr);
  w32::KernelHandle file(::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                       OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  DWORD written = 0;
  ::WriteFile(file.Get(), utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
} catch (...) {
  // No memory for the record: the window still opens.
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      RECT client;
      ::GetClientRect(window, &client);
      HWND text = ::CreateWindowExW(
          0, L"STATIC", L"The Scrivo printer settings are edited here.",
          WS_CHILD | WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE, 0, 0, client.right, client.bottom,
          window, nullptr, nullptr, nullptr);
      ::SendMessageW(text, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)),
                     FALSE);
      return 0;
    }
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  RecordStart();

  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kWindowClass;
  if (!::RegisterClassExW(&windowClass)) return 1;

  HWND window = ::CreateWindowExW(0, kWindowClass, kWindowTitle,
                                  WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                  CW_USEDEFAULT, CW_USEDEFAULT, 360, 160, nullptr, nullptr,
                                  instance, nullptr);
  if (!window) return 1;
  ::ShowWindow(window, show);
  ::UpdateWindow(window);

  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return 0;
}
