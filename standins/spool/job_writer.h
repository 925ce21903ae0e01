// Writing one job: its page files and its job description file.
#pragma once
#include <string>
#include <vector>

#include "options.h"

namespace spool {

struct WrittenJob {
  std::wstring jobFile;
  std::vector<std::wstring> pages;
};

// Writes job `jobId` into `folder` (created when missing).
bool WriteJob(const Options& options, const std::wstring& folder, int jobId, WrittenJob* job,
              std::wstring* error);

}  // namespace spool
