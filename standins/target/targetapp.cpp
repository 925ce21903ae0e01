// targetapp.exe: a top-level window of the class and title given by its
// settings (HKCU\Software\ScrivoStandins\target "Class", "Title"; "No Window"
// 1 makes a window of another class only). Records:
//   copydata <dwData> <cbData> <padded> <path>   for WM_COPYDATA
//   clipboard <message> <size> <padded> <path>   for a message of 0x8000..0xBFFF,
//                                                read from the format "Clipboard Format"
// <padded> is "zero-filled" when every byte after the path is zero. Ends on
// WM_CLOSE or after two minutes.
#include <windows.h>

#include <string>

#include "standin_record.h"
#include "w32/strings.h"

namespace {

UINT g_format = 0;

std::wstring Describe(const char* bytes, size_t size) {
  size_t len = 0;
  while (len < size && bytes[len] != '\0') ++len;
  bool padded = len < size;
  for (size_t i = len; i < size; ++i) padded = padded && bytes[i] == '\0';
  return w32::Format(L"%lu\t%s\t", static_cast<unsigned long>(size),
                     padded ? L"zero-filled" : L"not-zero-filled") +
         w32::Widen(std::string(bytes, len));
}

void ReadClipboard(UINT message) {
  for (int attempt = 0; attempt < 50; ++attempt) {
    if (::OpenClipboard(nullptr)) {
      std::wstring what = L"no data";
      if (HANDLE data = ::GetClipboardData(g_format)) {
        const SIZE_T size = ::GlobalSize(data);
        if (const char* bytes = static_cast<const char*>(::GlobalLock(data))) {
          what = Describe(bytes, size);
          ::GlobalUnlock(data);
        }
      }
      ::CloseClipboard();
      standin::Record(w32::Format(L"clipboard\t0x%X\t", message) + what);
      return;
    }
    ::Sleep(20);
  }
  standin::Record(L"clipboard\tcannot open");
}

LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COPYDATA) {
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    standin::Record(w32::Format(L"copydata\t%lu\t", static_cast<unsigned long>(data->dwData)) +
                    Describe(static_cast<const char*>(data->lpData), data->cbData));
    return TRUE;
  }
  if (message >= 0x8000 && message <= 0xBFFF) {
    ReadClipboard(message);
    return 0;
  }
  if (message == WM_TIMER || message == WM_CLOSE) {
    ::DestroyWindow(window);
    return 0;
  }
  if (message == WM_DESTROY) {
    ::PostQuitMessage(0);
    return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  standin::Record(L"target started\t" + standin::Argument());
  const bool noWindow = standin::SettingNumber(L"target", L"No Window", 0) == 1;
  const std::wstring cls = noWindow ? L"ScrivoTestOther" : standin::Setting(L"target", L"Class", L"ScrivoTestTarget");
  const std::wstring title = standin::Setting(L"target", L"Title", L"Scrivo test target");
  g_format = ::RegisterClipboardFormatW(
      standin::Setting(L"target", L"Clipboard Format", L"Scrivo job path").c_str());
  WNDCLASSW wc = {};
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.lpszClassName = cls.c_str();
  if (!::RegisterClassW(&wc)) return 1;
  HWND window = ::CreateWindowExW(0, cls.c_str(), title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                  200, 200, 300, 120, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  ::SetTimer(window, 1, 120000, nullptr);
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) ::DispatchMessageW(&msg);
  return 0;
}
