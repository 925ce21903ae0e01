// spoolside: writes print jobs as the printer's spooler side does and hands
// them to the agent. See kUsage in options.cpp or run "spoolside --help".
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "handoff.h"
#include "job_writer.h"
#include "options.h"
#include "w32/module_path.h"
#include "w32/strings.h"

namespace {

void Out(const std::wstring& text) {
  const std::string bytes = w32::Narrow(text + L"\n", CP_UTF8);
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fflush(stdout);
}

int Fail(const std::wstring& text, int code) {
  const std::string bytes = w32::Narrow(L"spoolside: " + text + L"\n", CP_UTF8);
  std::fwrite(bytes.data(), 1, bytes.size(), stderr);
  return code;
}

std::wstring DefaultFolder() {
  wchar_t temp[MAX_PATH + 1] = {};
  ::GetTempPathW(MAX_PATH + 1, temp);
  return w32::JoinPath(temp, L"Scrivo spool");
}

int Run(const std::vector<std::wstring>& args) {
  std::wstring error;
  const auto parsed = spool::ParseOptions(args, &error);
  if (!parsed) return Fail(error + L" (see --help)", 1);
  const spool::Options& o = *parsed;
  if (o.help) {
    Out(spool::kUsage);
    return 0;
  }
  if (o.kill) {
    const std::wstring name = spool::KillEventName(o.target == spool::Target::Legacy);
    if (spool::SetEvent(name, &error) != spool::Result::Done) return Fail(error, 3);
    if (!o.quiet) Out(L"spoolside: set the kill event " + name);
    return 0;
  }
  for (const std::wstring& f : o.emfFiles)
    if (!w32::FileExists(f)) return Fail(L"no such EMF file: " + f, 1);

  const spool::Handoff handoff = spool::HandoffFor(o);
  const std::wstring folder = o.folder.empty() ? DefaultFolder() : o.folder;
  const int firstId = static_cast<int>(::GetTickCount() % 900000) + 1000;
  for (int n = 0; n < o.jobs; ++n) {
    if (o.waitMs && !spool::WaitUntilTaken(handoff.valueName, *o.waitMs))
      return Fail(L"the previous job under \"" + handoff.valueName + L"\" was not taken in time", 4);
    spool::WrittenJob job;
    const int jobId = firstId + n;
    if (!spool::WriteJob(o, folder, jobId, &job, &error)) return Fail(error, 2);
    if (job.jobFile.size() > 259)
      return Fail(L"the job path is longer than 259 characters: " + job.jobFile, 2);
    const spool::Result stored = spool::StoreValue(handoff.valueName, job.jobFile, &error);
    if (stored == spool::Result::Busy) return Fail(error + L" (use --wait)", 5);
    if (stored != spool::Result::Done) return Fail(error, 2);
    if (o.quiet) Out(job.jobFile);
    else
      Out(w32::Format(L"spoolside: job %d with %d page(s): %s", jobId,
                      static_cast<int>(job.pages.size()), job.jobFile.c_str()) +
          L"\nspoolside: stored it as HKLM\\Software\\Scrivo value \"" + handoff.valueName + L"\"");
    if (!o.signal) continue;
    if (spool::SetEvent(handoff.eventName, &error) != spool::Result::Done) return Fail(error, 3);
    if (!o.quiet) Out(L"spoolside: set the event " + handoff.eventName);
    if (o.waitMs) {
      if (!spool::WaitUntilTaken(handoff.valueName, *o.waitMs))
        return Fail(L"the agent did not take the job in time", 4);
      if (!o.quiet) Out(L"spoolside: the agent took the job");
    }
  }
  return 0;
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  std::vector<std::wstring> args;
  for (int i = 1; argv && i < argc; ++i) args.emplace_back(argv[i]);
  if (argv) ::LocalFree(argv);
  try {
    return Run(args);
  } catch (const std::exception&) {
    return Fail(L"out of memory", 2);
  }
}
