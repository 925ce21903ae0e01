// The handles of the agent's job threads. Touched by the main thread only.
#pragma once
#include <windows.h>
#include <vector>

#include "w32/unique_handle.h"

namespace agent {

class JobThreadList {
 public:
  // Takes the handle. The capacity becomes 1 on the first insertion and
  // doubles whenever the list is full; when it cannot grow, the thread runs
  // on untracked (its handle is closed) and the result is false.
  bool Add(w32::KernelHandle thread);

  // Walks the list from the last entry to the first: ended threads are
  // dropped; running ones are terminated (exit code 0) and dropped when
  // `terminate` is set, otherwise kept. An entry whose exit code cannot be
  // read stays. Returns how many running threads were terminated.
  size_t Reap(bool terminate);

  size_t Size() const { return threads_.size(); }
  size_t Capacity() const { return capacity_; }

 private:
  std::vector<w32::KernelHandle> threads_;
  size_t capacity_ = 0;
};

}  // namespace agent
