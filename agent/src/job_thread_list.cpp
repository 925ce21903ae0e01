#include "job_thread_list.h"

#include <new>

namespace agent {

bool JobThreadList::Add(w32::KernelHandle thread) {
  if (threads_.size() == capacity_) {
    const size_t grown = capacity_ == 0 ? 1 : capacity_ * 2;
    try {
      threads_.reserve(grown);
    } catch (const std::exception&) {
      return false;  // `thread` goes out of scope: the thread runs untracked
    }
    capacity_ = grown;
  }
  threads_.push_back(std::move(thread));
  return true;
}

size_t JobThreadList::Reap(bool terminate) {
  size_t terminated = 0;
  for (size_t i = threads_.size(); i-- > 0;) {
    DWORD code = 0;
    if (!::GetExitCodeThread(threads_[i].Get(), &code)) continue;
    if (code == STILL_ACTIVE) {
      if (!terminate) continue;
      if (::TerminateThread(threads_[i].Get(), 0)) ++terminated;
    }
    threads_.erase(threads_.begin() + static_cast<std::ptrdiff_t>(i));
  }
  return terminated;
}

}  // namespace agent
