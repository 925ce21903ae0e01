#include "testkit/owner_window.h"

namespace testkit {

OwnerWindow::OwnerWindow(UINT counted, DWORD timeoutMs) : counted_(counted) {
  ready_ = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  thread_ = std::thread([this] {
    window_ = ::CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100,
                                400, 300, nullptr, nullptr, nullptr, nullptr);
    threadId_ = ::GetCurrentThreadId();
    ::SetEvent(ready_);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
      if (counted_ && msg.message == counted_) ++count_;
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    if (window_) ::DestroyWindow(window_);
  });
  ::WaitForSingleObject(ready_, timeoutMs);
}

OwnerWindow::~OwnerWindow() {
  // The thread may still be starting: its id is known once `ready_` is set.
  ::WaitForSingleObject(ready_, INFINITE);
  ::PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
  thread_.join();
  ::CloseHandle(ready_);
}

}  // namespace testkit
