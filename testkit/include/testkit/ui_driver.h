// Driving the windows and message boxes of other programs from tests.
//
// Every wait is bounded by a time-out given by the caller, and every message
// sent to another program's window uses a time-out too, so a test never hangs
// on a window that does not answer.
#pragma once
#include <windows.h>
#include <optional>
#include <string>
#include <vector>

namespace testkit {

// What to look for. Empty class or title, or process id 0, match anything.
struct WindowQuery {
  DWORD processId = 0;
  std::wstring className;
  std::wstring title;
  bool visibleOnly = false;
};

// The first top-level window matching the query, or nullptr.
HWND FindTopLevelWindow(const WindowQuery& query);
// Every top-level window matching the query.
std::vector<HWND> FindTopLevelWindows(const WindowQuery& query);
// Waits at most `timeoutMs` for a matching window.
HWND WaitForTopLevelWindow(const WindowQuery& query, DWORD timeoutMs);
// Waits at most `timeoutMs` until `window` is gone.
bool WaitForWindowGone(HWND window, DWORD timeoutMs);

std::wstring WindowClass(HWND window);
// The window's text through WM_GETTEXT (answered within 5 s, else empty).
std::wstring WindowText(HWND window);

struct Control {
  HWND window = nullptr;
  int id = 0;
  std::wstring className;
  std::wstring text;
};
// Every child and grandchild of `window` with its id, class and text.
std::vector<Control> Controls(HWND window);
// The descendant with this control id, or nullptr.
HWND ControlById(HWND window, int id);

// Presses the button with control id `id` of `dialog` (posted WM_COMMAND with
// BN_CLICKED, as a click does). False when there is no such control.
bool PressButton(HWND dialog, int id);
// Presses the button whose text, without '&', equals `text`.
bool PressButtonByText(HWND dialog, const std::wstring& text);
// Sets the text of an edit control (WM_SETTEXT, answered within 5 s).
bool SetEditText(HWND edit, const std::wstring& text);

// A message box of a process: its window, caption and text.
struct MessageBoxInfo {
  HWND window = nullptr;
  std::wstring caption;
  std::wstring text;
};
// Waits at most `timeoutMs` for a message box (class "#32770" with the
// message-text control) of the process `processId` (0: any).
std::optional<MessageBoxInfo> WaitForMessageBox(DWORD processId, DWORD timeoutMs);
// Presses a message box's button by its id (IDOK, IDYES, ...). Wine answers
// WM_CLOSE with IDCANCEL even on an OK box, so boxes are closed this way.
bool PressMessageBoxButton(HWND box, int id);

}  // namespace testkit
