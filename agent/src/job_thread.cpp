#include "job_thread.h"

#include "common/trace_log.h"

namespace agent {

DWORD WINAPI JobThreadEntry(void* argument) {
  try {
    RunJob(static_cast<JobSource>(reinterpret_cast<UINT_PTR>(argument)));
  } catch (...) {
  }
  return 0;
}

void RunJob(JobSource source) { scrivo::TraceLine(L"Processing thread started."); }

}  // namespace agent
