// The job thread: carries one job from the registry to its receiver.
#pragma once
#include <windows.h>

namespace agent {

// Which event signalled the job; the thread's one argument.
enum JobSource : UINT_PTR { kFromPrintEvent = 0, kFromSharedEvent = 1 };

// Thread entry; the argument is a JobSource. Nothing escapes it; the exit code
// carries no meaning.
DWORD WINAPI JobThreadEntry(void* argument);

// The job itself, run on the calling thread.
void RunJob(JobSource source);

}  // namespace agent
