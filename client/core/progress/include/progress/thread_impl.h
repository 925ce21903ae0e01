// The client's worker-thread base: Start runs Run on a new thread, Stop asks
// it to stop and waits for it. Nothing thrown by Run leaves the thread.
#pragma once
#include <windows.h>

#include <atomic>

#include "w32/unique_handle.h"

class CThreadImpl {
 public:
  CThreadImpl() = default;
  // Derived classes call Stop() in their own destructor first, so that the
  // thread never runs on a half-destroyed object.
  virtual ~CThreadImpl();
  CThreadImpl(const CThreadImpl&) = delete;
  CThreadImpl& operator=(const CThreadImpl&) = delete;

  // Clears the stop flag and starts the thread; true when it was created.
  virtual bool Start();
  // Sets the stop flag, waits without time limit for the thread to end and
  // closes its handle. Called on the thread itself it only sets the flag.
  virtual void Stop();
  // The thread's body; its result is the thread's exit code.
  virtual DWORD Run() = 0;

  // Asks the thread to stop without waiting (read by Run between steps).
  void RequestStop() { stop_ = 1; }
  bool StopRequested() const { return stop_ == 1; }
  HANDLE ThreadHandle() const { return thread_.Get(); }
  DWORD ThreadId() const { return threadId_; }
  bool ThreadExists() const { return thread_.Valid(); }

 private:
  static unsigned __stdcall Entry(void* self);

  w32::KernelHandle thread_;
  DWORD threadId_ = static_cast<DWORD>(-1);
  std::atomic<unsigned char> stop_{0};
};

// Waits until the thread of `handle` has ended, looking every 100 ms.
void WaitForThreadEnd(HANDLE handle);
