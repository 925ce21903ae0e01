#include "converter.h"

#include <optional>

#include "common/job_profile.h"
#include "common/product.h"
#include "common/report.h"
#include "common/trace_log.h"
#include "w32/registry.h"
#include "w32/strings.h"
#include "w32/unique_handle.h"

namespace converter {
namespace {

// The argument names an existing file. Wildcards would let the file search
// match some other file, and a path must fit 259 characters.
bool NamesAFile(const std::wstring& argument) {
  if (argument.empty() || argument.size() > 259) return false;
  if (argument.find_first_of(L"*?") != std::wstring::npos) return false;
  WIN32_FIND_DATAW data;
  w32::FindHandle find(::FindFirstFileW(argument.c_str(), &data));
  return find.Valid();
}

// "EMF: Enabled": the user's value first, then the machine's default;
// missing keys are no error. Nothing when a key cannot be opened for another
// reason (after its report).
std::optional<DWORD> ReadEmfEnabled() {
  const wchar_t kValue[] = L"EMF: Enabled";
  LONG error = 0;
  w32::RegKey machine =
      w32::RegKey::Open(HKEY_LOCAL_MACHINE, scrivo::DefaultsKeyPath(), KEY_READ, &error);
  if (!machine.Valid() && error != ERROR_FILE_NOT_FOUND) {
    scrivo::ReportSystemError(w32::Format(L"Failed to open registry key\nHKLM\\Software\\%s\\Defaults",
                                          scrivo::kProductName),
                              scrivo::kCodeDefaultsKey, static_cast<DWORD>(error));
    return std::nullopt;
  }
  w32::RegKey user = w32::RegKey::Open(HKEY_CURRENT_USER, scrivo::ProductKeyPath(), KEY_READ, &error);
  if (!user.Valid() && error != ERROR_FILE_NOT_FOUND) {
    scrivo::ReportSystemError(
        w32::Format(L"Failed to open registry key\nHKCU\\Software\\%s", scrivo::kProductName),
        scrivo::kCodeUserKey, static_cast<DWORD>(error));
    return std::nullopt;
  }
  if (user.Valid())
    if (auto v = user.ReadDword(kValue)) return *v;
  if (machine.Valid())
    if (auto v = machine.ReadDword(kValue)) return *v;
  return 0;
}

struct LogCloser {
  ~LogCloser() { scrivo::CloseTraceLog(); }
};

}  // namespace

int RunConverter(const std::wstring& argument) {
  const scrivo::ProductSettings settings = scrivo::ReadProductSettings();
  const bool log = settings.log != 0;
  scrivo::ConfigureReports({w32::Format(L"%s converter", scrivo::kProductName), log,
                            settings.messageMode == 1, scrivo::RegisterNotifyMessage()});

  if (!NamesAFile(argument)) {
    scrivo::ReportError(L"Invalid command line parameter.", scrivo::kCodeBadArgument);
    return 0;
  }
  const scrivo::JobProfile job(argument);
  if (job.ReadText(L"Device", L"DeviceName") != scrivo::kProductName) return 1;

  LogCloser closer;
  if (log) {
    if (!scrivo::OpenTraceLog()) {
      scrivo::ReportSystemError(
          w32::Format(L"Failed to open the log file:\n%s", scrivo::TraceLogPath().c_str()),
          scrivo::kCodeLogOpen, ::GetLastError());
      return 0;
    }
    scrivo::TraceLine(L"Converter started.");
  }

  const int count = job.ReadInt(L"EMF", L"Count", 0);
  if (count == 0) {
    scrivo::ReportError(L"No pages to process.", scrivo::kCodeNoPages);
    return 0;
  }

  const std::optional<DWORD> emfEnabled = ReadEmfEnabled();
  if (!emfEnabled) return 1;
  if (*emfEnabled == 0) {
    if (log) scrivo::TraceLine(L"Delete EMF files.");
    // Bounded by the page keys present: a huge "Count" does not spin.
    const int bound = job.PageKeyBound(count);
    for (int i = 0; i < bound; ++i) {
      const std::wstring page = job.ReadText(L"EMF", scrivo::JobProfile::PageKey(i).c_str());
      if (!page.empty()) ::DeleteFileW(page.c_str());
    }
    job.DeleteSection(L"EMF");
  }
  job.Flush();
  if (log) scrivo::TraceLine(L"Converter exits.");
  return 0;
}

}  // namespace converter
