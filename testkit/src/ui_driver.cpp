#include "testkit/ui_driver.h"

#include "testkit/process.h"

namespace testkit {
namespace {

const UINT kSendTimeoutMs = 5000;
const int kMessageBoxTextId = 0xFFFF;

struct FindState {
  const WindowQuery* query;
  std::vector<HWND> found;
  bool firstOnly;
};

bool Matches(HWND window, const WindowQuery& q) {
  if (q.processId != 0) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    if (pid != q.processId) return false;
  }
  if (q.visibleOnly && !::IsWindowVisible(window)) return false;
  if (!q.className.empty() && WindowClass(window) != q.className) return false;
  if (!q.title.empty() && WindowText(window) != q.title) return false;
  return true;
}

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM param) {
  auto* state = reinterpret_cast<FindState*>(param);
  if (Matches(window, *state->query)) {
    state->found.push_back(window);
    if (state->firstOnly) return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM param) {
  auto* controls = reinterpret_cast<std::vector<Control>*>(param);
  controls->push_back(Control{window, ::GetDlgCtrlID(window), WindowClass(window),
                              WindowText(window)});
  return TRUE;
}

std::wstring WithoutMnemonic(std::wstring text) {
  std::wstring out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'&' && i + 1 < text.size()) ++i;
    out += text[i];
  }
  return out;
}

}  // namespace

std::vector<HWND> FindTopLevelWindows(const WindowQuery& query) {
  FindState state{&query, {}, false};
  ::EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&state));
  return state.found;
}

HWND FindTopLevelWindow(const WindowQuery& query) {
  FindState state{&query, {}, true};
  ::EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&state));
  return state.found.empty() ? nullptr : state.found.front();
}

HWND WaitForTopLevelWindow(const WindowQuery& query, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindTopLevelWindow(query)) != nullptr; }, timeoutMs, 50);
  return found;
}

bool WaitForWindowGone(HWND window, DWORD timeoutMs) {
  return WaitUntil([&] { return !::IsWindow(window); }, timeoutMs, 50);
}

std::wstring WindowClass(HWND window) {
  wchar_t name[257] = {};
  const int n = ::GetClassNameW(window, name, 257);
  return std::wstring(name, n > 0 ? n : 0);
}

std::wstring WindowText(HWND window) {
  DWORD_PTR length = 0;
  if (!::SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                             &length))
    return {};
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!::SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]),
                             SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied))
    return {};
  text.resize(copied < length ? copied : length);
  return text;
}

std::vector<Control> Controls(HWND window) {
  std::vector<Control> controls;
  ::EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&controls));
  return controls;
}

HWND ControlById(HWND window, int id) {
  for (const Control& c : Controls(window))
    if (c.id == id) return c.window;
  return nullptr;
}

bool PressButton(HWND dialog, int id) {
  HWND button = ControlById(dialog, id);
  if (!button) return false;
  return ::PostMessageW(::GetParent(button), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                        reinterpret_cast<LPARAM>(button)) != FALSE;
}

bool PressButtonByText(HWND dialog, const std::wstring& text) {
  for (const Control& c : Controls(dialog)) {
    if (_wcsicmp(c.className.c_str(), L"Button") == 0 && WithoutMnemonic(c.text) == text)
      return ::PostMessageW(::GetParent(c.window), WM_COMMAND, MAKEWPARAM(c.id, BN_CLICKED),
                            reinterpret_cast<LPARAM>(c.window)) != FALSE;
  }
  return false;
}

bool SetEditText(HWND edit, const std::wstring& text) {
  DWORD_PTR result = 0;
  return ::SendMessageTimeoutW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                               SMTO_ABORTIFHUNG, kSendTimeoutMs, &result) != 0 &&
         result != FALSE;
}

std::optional<MessageBoxInfo> WaitForMessageBox(DWORD processId, DWORD timeoutMs) {
  WindowQuery query;
  query.processId = processId;
  query.className = L"#32770";
  std::optional<MessageBoxInfo> box;
  WaitUntil(
      [&] {
        for (HWND w : FindTopLevelWindows(query)) {
          HWND text = ControlById(w, kMessageBoxTextId);
          if (!text) continue;
          box = MessageBoxInfo{w, WindowText(w), WindowText(text)};
          return true;
        }
        return false;
      },
      timeoutMs, 50);
  return box;
}

bool PressMessageBoxButton(HWND box, int id) {
  return ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                        reinterpret_cast<LPARAM>(::GetDlgItem(box, id))) != FALSE;
}

}  // namespace testkit
