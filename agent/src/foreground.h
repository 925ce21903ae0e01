// Bringing a receiving window to the front, and tidying the printer's queue.
#pragma once
#include <windows.h>

namespace agent {

// Makes a window of another process the foreground window although the agent
// has none. Runs under one lock of the agent, so the foreground lock time-out
// it restores is always the one in force before any job thread changed it.
void BringToFront(HWND window);

// Deletes the jobs of the printer "Scrivo" whose status has the "printed"
// bit. Without such a printer, or without a job list, it does nothing.
void PurgePrintedJobs();

}  // namespace agent
