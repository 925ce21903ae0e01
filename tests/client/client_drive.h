// Driving inkclient.exe from another program as a person would: wait for its
// window with the first page shown, press Save, fill in the save dialog,
// answer the questions that follow, and wait for the client to end.
// Every wait is bounded; a step that does not come within its time fails
// with a description of what was missing.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

namespace clientdrive {

// The client's main window with a page on show, of process `processId`
// (0: any process); nullptr when none came within `timeoutMs`.
HWND WaitForClientWindow(DWORD processId, DWORD timeoutMs);

// The page indicator's text ("Page 1 of 3"), empty when there is none.
std::wstring PageIndicator(HWND client);

struct SaveResult {
  bool ok = false;
  std::optional<DWORD> exitCode;  // the client's, when it ended
  std::wstring error;             // what went wrong, when !ok
  std::wstring openQuestion;      // the text of the open-the-PDF question
};

// Presses Save in `client`, gives the save dialog `target` (a Windows path),
// agrees to overwrite, declines to open the finished PDF and waits until
// the client has ended. ok: the client ended with exit code 1.
SaveResult SaveAs(HWND client, const std::wstring& target, DWORD timeoutMs);

// Waits until the process that owns `client` ends; its exit code.
std::optional<DWORD> WaitForClientEnd(HWND client, DWORD timeoutMs);

}  // namespace clientdrive
