// A hidden top-level window on a thread of its own that collects a registered
// window message broadcast to every top-level window (such as the reports'
// "Scrivo_notify_message" in message mode).
#pragma once
#include <windows.h>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace testkit {

class NotifyListener {
 public:
  struct Notification {
    WPARAM wParam;
    LPARAM lParam;
  };

  // Registers `messageName` and starts listening; Ready() says whether the
  // window exists.
  explicit NotifyListener(const std::wstring& messageName);
  ~NotifyListener();
  NotifyListener(const NotifyListener&) = delete;
  NotifyListener& operator=(const NotifyListener&) = delete;

  bool Ready() const { return window_ != nullptr; }
  UINT Message() const { return message_; }

  std::vector<Notification> Received() const;
  // Waits at most `timeoutMs` until at least `count` notifications arrived.
  bool WaitForCount(size_t count, DWORD timeoutMs) const;
  // Waits at most `timeoutMs` for a notification with this wParam.
  std::optional<Notification> WaitFor(WPARAM wParam, DWORD timeoutMs) const;
  void Clear();

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Run(HANDLE ready);

  UINT message_ = 0;
  HWND window_ = nullptr;
  DWORD threadId_ = 0;
  mutable std::mutex lock_;
  std::vector<Notification> received_;
  std::thread thread_;
};

}  // namespace testkit
