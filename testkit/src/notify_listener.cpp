#include "testkit/notify_listener.h"

#include "testkit/process.h"
#include "w32/unique_handle.h"

namespace testkit {
namespace {
const wchar_t kClassName[] = L"ScrivoTestkitNotifyListener";
}

NotifyListener::NotifyListener(const std::wstring& messageName)
    : message_(::RegisterWindowMessageW(messageName.c_str())) {
  w32::KernelHandle ready(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  thread_ = std::thread([this, h = ready.Get()] { Run(h); });
  ::WaitForSingleObject(ready.Get(), 10000);
}

NotifyListener::~NotifyListener() {
  if (threadId_) ::PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
  if (thread_.joinable()) thread_.join();
}

void NotifyListener::Run(HANDLE ready) {
  threadId_ = ::GetCurrentThreadId();
  WNDCLASSW wc = {};
  wc.lpfnWndProc = Proc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = kClassName;
  ::RegisterClassW(&wc);  // fails harmlessly when a second listener registers it again
  // A top-level (not message-only) window: only those receive broadcasts.
  window_ = ::CreateWindowExW(0, kClassName, L"notify listener", WS_POPUP, 0, 0, 1, 1, nullptr,
                              nullptr, wc.hInstance, this);
  MSG msg;
  ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue exists from here on
  ::SetEvent(ready);
  if (!window_) return;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  ::DestroyWindow(window_);
}

LRESULT CALLBACK NotifyListener::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
  }
  auto* self = reinterpret_cast<NotifyListener*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self && message == self->message_ && message != 0) {
    std::lock_guard<std::mutex> hold(self->lock_);
    self->received_.push_back(Notification{wParam, lParam});
    return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

std::vector<NotifyListener::Notification> NotifyListener::Received() const {
  std::lock_guard<std::mutex> hold(lock_);
  return received_;
}

bool NotifyListener::WaitForCount(size_t count, DWORD timeoutMs) const {
  return WaitUntil([&] { return Received().size() >= count; }, timeoutMs, 20);
}

std::optional<NotifyListener::Notification> NotifyListener::WaitFor(WPARAM wParam,
                                                                    DWORD timeoutMs) const {
  std::optional<Notification> found;
  WaitUntil(
      [&] {
        for (const Notification& n : Received())
          if (n.wParam == wParam) {
            found = n;
            return true;
          }
        return false;
      },
      timeoutMs, 20);
  return found;
}

void NotifyListener::Clear() {
  std::lock_guard<std::mutex> hold(lock_);
  received_.clear();
}

}  // namespace testkit
