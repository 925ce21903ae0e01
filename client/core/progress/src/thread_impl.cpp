#include "progress/thread_impl.h"

#include <process.h>

CThreadImpl::~CThreadImpl() { Stop(); }

unsigned __stdcall CThreadImpl::Entry(void* self) {
  // Whatever escapes the body ends the thread quietly with exit code 0.
  try {
    return static_cast<unsigned>(static_cast<CThreadImpl*>(self)->Run());
  } catch (...) {
    return 0;
  }
}

bool CThreadImpl::Start() {
  if (thread_ && ::WaitForSingleObject(thread_.Get(), 0) == WAIT_TIMEOUT) return false;
  thread_.Reset();
  stop_ = 0;
  unsigned id = 0;
  const uintptr_t h = ::_beginthreadex(nullptr, 0, &CThreadImpl::Entry, this, 0, &id);
  if (h == 0) return false;
  thread_.Reset(reinterpret_cast<HANDLE>(h));
  threadId_ = id;
  return true;
}

void CThreadImpl::Stop() {
  stop_ = 1;
  if (!thread_) return;
  if (::GetCurrentThreadId() == threadId_) return;  // a thread cannot wait for itself
  ::WaitForSingleObject(thread_.Get(), INFINITE);
  thread_.Reset();
}

void WaitForThreadEnd(HANDLE handle) {
  if (!handle) return;
  while (::WaitForSingleObject(handle, 100) == WAIT_TIMEOUT) {
  }
}
