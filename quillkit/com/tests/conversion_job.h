// The conversion job's use of the writer, step by step: options, file name,
// resolution, begin, then each page sized from its EMF header, drawn and
// followed by a new page unless it is the last, then end.
#pragma once
#include <string>
#include <vector>

#include "vtable_client.h"

namespace qktest {

struct JobOptions {
  long mode = 0, layout = 1, compression = 1;
  std::wstring title, author, subject, keywords;
  bool protect = false;
  long copy = 0, print = 0, annotations = 0, structure = 0;
  std::wstring userPassword, ownerPassword;
  long keyLength = 0;
  long resolution = 600;
};

struct JobPage {
  std::wstring emfPath;
};

struct PageSize {
  long width = 0, height = 0;  // as set, in dots of the resolution
};

// Runs the job; returns the first failed HRESULT (S_OK when all succeeded)
// and the sizes each page was given. `stopAfter` pages are drawn when >= 0,
// as when the user cancels: the loop ends after that page's new page.
HRESULT RunConversionJob(const VtableClient& writer, const std::wstring& target, const JobOptions& options,
                         const std::vector<JobPage>& pages, std::vector<PageSize>* sizes,
                         int stopAfter = -1);

// Rounds like the job does: the fraction is dropped unless it is above 0.5.
long JobRound(double value);

}  // namespace qktest
