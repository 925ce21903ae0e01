// The spool converter's run over one job description file.
#pragma once
#include <string>

namespace converter {

// Checks the job file named by `argument` and applies "EMF: Enabled"; the
// program's exit code (0 normal end and reported failures, 1 foreign device
// or unreadable settings key).
int RunConverter(const std::wstring& argument);

}  // namespace converter
