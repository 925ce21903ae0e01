#include "client_drive.h"

#include <vector>

#include "testkit/process.h"
#include "testkit/ui_driver.h"
#include "w32/unique_handle.h"

namespace clientdrive {

namespace {

constexpr int kPageIndicator = 1014;
constexpr int kSaveFileButton = 38450;   // the preview's "Save file" button
constexpr int kFileNameEdit = 0x47c;     // the save dialog's file name field
const wchar_t kClientTitle[] = L"Inkwell 1.4";
const wchar_t kOpenQuestion[] = L"Would you like to open PDF file ?";

DWORD OwnerProcess(HWND window) {
  DWORD pid = 0;
  ::GetWindowThreadProcessId(window, &pid);
  return pid;
}

// The file name edit of a save dialog of `pid`: an Edit with the field's id,
// or, where the id sits on the combo box around it, the Edit inside that.
HWND FindFileNameEdit(DWORD pid) {
  for (HWND w : testkit::FindTopLevelWindows({pid, L"#32770", L"", true})) {
    HWND byId = nullptr;
    for (const testkit::Control& c : testkit::Controls(w)) {
      if (c.id != kFileNameEdit) continue;
      if (_wcsicmp(c.className.c_str(), L"Edit") == 0) return c.window;
      byId = c.window;
    }
    if (byId) {
      if (HWND inner = ::FindWindowExW(byId, nullptr, L"Edit", nullptr)) return inner;
      for (HWND child = ::GetWindow(byId, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (HWND inner = ::FindWindowExW(child, nullptr, L"Edit", nullptr)) return inner;
    }
  }
  return nullptr;
}

// A message box of `pid` (one with its text control) other than `not`.
std::optional<testkit::MessageBoxInfo> MessageBoxOf(DWORD pid, HWND other) {
  auto box = testkit::WaitForMessageBox(pid, 0);
  if (box && box->window != other && !box->text.empty()) return box;
  return std::nullopt;
}

}  // namespace

std::wstring PageIndicator(HWND client) {
  HWND indicator = testkit::ControlById(client, kPageIndicator);
  return indicator ? testkit::WindowText(indicator) : std::wstring();
}

HWND WaitForClientWindow(DWORD processId, DWORD timeoutMs) {
  HWND found = nullptr;
  testkit::WaitUntil(
      [&] {
        for (HWND w : testkit::FindTopLevelWindows({processId, L"", kClientTitle, true})) {
          if (PageIndicator(w).rfind(L"Page", 0) == 0) {
            found = w;
            return true;
          }
        }
        return false;
      },
      timeoutMs, 100);
  return found;
}

std::optional<DWORD> WaitForClientEnd(HWND client, DWORD timeoutMs) {
  w32::KernelHandle process(
      ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, OwnerProcess(client)));
  if (!process) return std::nullopt;
  if (::WaitForSingleObject(process.Get(), timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  if (!::GetExitCodeProcess(process.Get(), &code)) return std::nullopt;
  return code;
}

SaveResult SaveAs(HWND client, const std::wstring& target, DWORD timeoutMs) {
  SaveResult result;
  const DWORD pid = OwnerProcess(client);
  // Held from the start, so that the exit code can still be read however
  // fast the client ends.
  w32::KernelHandle process(::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid));
  if (!pid || !process) {
    result.error = L"the client's process cannot be opened";
    return result;
  }
  if (!testkit::PressButton(client, kSaveFileButton))
    ::PostMessageW(client, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);

  HWND edit = nullptr;
  if (!testkit::WaitUntil([&] { return (edit = FindFileNameEdit(pid)) != nullptr; }, timeoutMs, 100)) {
    result.error = L"no save dialog came up after Save";
    return result;
  }
  if (!testkit::SetEditText(edit, target)) {
    result.error = L"the save dialog's file name could not be set";
    return result;
  }
  HWND dialog = ::GetAncestor(edit, GA_ROOT);
  ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDOK)));

  // What follows: perhaps the overwrite question, perhaps a warning of the
  // main window, and at the end the question whether to open the PDF.
  HWND answered = nullptr;
  const DWORD start = ::GetTickCount();
  for (;;) {
    if (::WaitForSingleObject(process.Get(), 0) == WAIT_OBJECT_0) break;
    if (::GetTickCount() - start >= timeoutMs) {
      result.error = L"the client did not end after the save";
      return result;
    }
    if (auto box = MessageBoxOf(pid, answered)) {
      answered = box->window;
      if (box->text == kOpenQuestion) {
        result.openQuestion = box->text;
        testkit::PressMessageBoxButton(box->window, IDNO);
      } else if (::GetDlgItem(box->window, IDYES)) {
        testkit::PressMessageBoxButton(box->window, IDYES);  // overwrite: yes
      } else {
        // A warning or an error: the conversion did not go through.
        result.error = L"the client said: " + box->caption + L": " + box->text;
        testkit::PressMessageBoxButton(box->window, IDOK);
        return result;
      }
    }
    ::Sleep(100);
  }
  DWORD code = 0;
  if (::GetExitCodeProcess(process.Get(), &code)) result.exitCode = code;
  result.ok = result.exitCode == std::optional<DWORD>(1);
  if (!result.ok)
    result.error = L"the client ended with exit code " + std::to_wstring(code) + L", not 1";
  return result;
}

}  // namespace clientdrive
