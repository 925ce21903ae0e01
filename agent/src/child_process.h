// Starting the programs a job runs: normal priority, no creation flags, the
// agent's environment and current folder, a zeroed start-up block.
#pragma once
#include <windows.h>
#include <string>

#include "w32/unique_handle.h"

namespace agent {

struct Child {
  w32::KernelHandle process;
  DWORD processId = 0;
  bool Started() const { return process.Valid(); }
};

// Starts `commandLine`; not started: an empty Child with the last error set.
Child StartChild(const std::wstring& commandLine, bool inheritHandles);

}  // namespace agent
