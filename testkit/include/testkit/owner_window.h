// A stand-in for a program's main window: a visible top-level window on a
// thread of its own that keeps pumping messages, as a user-interface thread
// does, so that modal dialogs and posted notices over it behave as they do
// in the program. Optionally counts the thread messages of one kind it sees.
#pragma once
#include <windows.h>

#include <atomic>
#include <thread>

namespace testkit {

class OwnerWindow {
 public:
  // `counted`: a message (posted to the window or its thread) to count; 0 counts none.
  explicit OwnerWindow(UINT counted = 0, DWORD timeoutMs = 120000);
  ~OwnerWindow();
  OwnerWindow(const OwnerWindow&) = delete;
  OwnerWindow& operator=(const OwnerWindow&) = delete;

  HWND Get() const { return window_; }
  int Count() const { return count_.load(); }

 private:
  HANDLE ready_;
  std::thread thread_;
  HWND window_ = nullptr;
  DWORD threadId_ = 0;
  UINT counted_;
  std::atomic<int> count_{0};
};

}  // namespace testkit
