#include "job_thread.h"

#include <optional>

#include "agent_settings.h"
#include "child_process.h"
#include "common/job_profile.h"
#include "common/product.h"
#include "common/report.h"
#include "common/trace_log.h"
#include "foreground.h"
#include "job_pieces.h"
#include "w32/registry.h"
#include "w32/strings.h"
#include "w32/unique_handle.h"

namespace agent {
namespace {

// Mode 1 looks for the receiving window every 250 ms after the client became
// idle, at most this often (20 s), then reports the target as inaccessible.
const int kMaxWindowPolls = 80;

const wchar_t kReinstall[] =
    L"The %PRINTER_NAME% printer has not been properly configured. Please re-install the "
    L"%PRINTER_NAME% software.";
const wchar_t kMissingFile[] =
    L"The %PRINTER_NAME% printer has not been properly configured. A required file could not be "
    L"located. Please contact support.";
const wchar_t kNoDispatcher[] =
    L"The %PRINTER_NAME% printer has not been properly configured. The external dispatcher could "
    L"not be run. Please contact support.";

void Trace(const std::wstring& text) {
  if (Settings().log) scrivo::TraceLine(text);
}

std::wstring KeyFailureText() {
  return w32::Format(L"Failed to open registry key\nHKLM\\Software\\%s", scrivo::kProductName);
}

void DeleteJobFile(const std::wstring& jobPath) { ::DeleteFileW(jobPath.c_str()); }

// The auxiliary programs and the converter of one job.
class JobRun {
 public:
  JobRun(std::wstring jobPath) : jobPath_(std::move(jobPath)), folder_(AgentFolder()) {}

  // Preprocessor, its result, progress indicator, converter. False: the job
  // ends here (cancelled, or no converter: its job file is gone).
  bool Prepare() {
    RunPreprocessor();
    if (PreprocessingCancelled(jobPath_)) return false;
    StartProgress();
    if (!RunConverter()) {
      CloseProgress();
      return false;
    }
    return true;
  }

  void CloseProgress() {
    if (!progress_.Started()) return;
    // A fast converter can end before the indicator has made its window:
    // give it the chance to, then close the window of our own indicator
    // (another job's indicator is left to its own job).
    ::WaitForInputIdle(progress_.process.Get(), 5000);
    struct Search {
      DWORD pid;
      HWND found;
    } search{progress_.processId, nullptr};
    const std::wstring cls = w32::Format(L"%s progress indicator", scrivo::kProductName);
    HWND w = nullptr;
    while ((w = ::FindWindowExW(nullptr, w, cls.c_str(), nullptr)) != nullptr) {
      DWORD pid = 0;
      ::GetWindowThreadProcessId(w, &pid);
      if (pid == search.pid) {
        search.found = w;
        break;
      }
    }
    if (search.found) ::PostMessageW(search.found, WM_CLOSE, 0, 0);
    Trace(L"Progress indicator process terminated.");
    progress_ = Child();
  }

 private:
  void RunPreprocessor() {
    Child child = StartChild(AuxiliaryCommand(folder_, L"preprocess.exe", jobPath_), false);
    if (!child.Started()) return;  // no preprocessor: the job goes on
    ::WaitForSingleObject(child.process.Get(), INFINITE);
    Trace(L"Preprocessing finished.");
  }

  void StartProgress() {
    // Built in a string of its own size: no 260-character limit.
    progress_ = StartChild(AuxiliaryCommand(folder_, L"progress.exe", jobPath_), false);
    if (progress_.Started()) Trace(L"Progress indicator started.");
  }

  bool RunConverter() {
    const std::wstring command = AuxiliaryCommand(folder_, L"inkdisp.exe", jobPath_);
    Trace(L"Starting converter.");
    Child child = StartChild(command, true);
    if (!child.Started()) {
      scrivo::ReportError(L"Cannot find converter executable.", scrivo::kCodeNoConverter);
      DeleteJobFile(jobPath_);
      return false;
    }
    ::WaitForSingleObject(child.process.Get(), INFINITE);
    Trace(L"Converter finished.");
    return true;
  }

  std::wstring jobPath_;
  std::wstring folder_;
  Child progress_;
};

HWND FindTarget(const HandoffSettings& s) {
  return ::FindWindowW(s.targetClass.empty() ? nullptr : s.targetClass.c_str(),
                       s.targetTitle.empty() ? nullptr : s.targetTitle.c_str());
}

// Starts the client command alone; true when it started and became idle.
bool StartTargetApplication(const std::wstring& clientCommand) {
  Child child = StartChild(clientCommand, false);
  return child.Started() && ::WaitForInputIdle(child.process.Get(), 20000) == 0;
}

// Neither class nor title, or a path the 260-byte block cannot carry: the
// job cannot reach a window. True when the job may go on.
bool CheckWindowTransfer(const HandoffSettings& s, const std::wstring& jobPath,
                         std::optional<AnsiBlock>* block) {
  if (s.targetClass.empty() && s.targetTitle.empty()) {
    scrivo::ReportError(kReinstall, scrivo::kCodeNotConfigured);
    DeleteJobFile(jobPath);
    return false;
  }
  *block = MakeAnsiBlock(jobPath);
  if (!*block) {
    // Kept whole: the job can still be handed over by hand or once the
    // path is shorter.
    scrivo::ReportError(L"The print job's path does not fit the transfer to the target "
                        L"application:\n" + jobPath,
                        scrivo::kCodePathTooLong);
    return false;
  }
  return true;
}

void TransferByCopyData(const HandoffSettings& s, const std::wstring& clientCommand,
                        const std::wstring& jobPath) {
  std::optional<AnsiBlock> block;
  if (!CheckWindowTransfer(s, jobPath, &block)) return;
  JobRun run(jobPath);
  if (!run.Prepare()) return;

  HWND target = FindTarget(s);
  if (!target && StartTargetApplication(clientCommand)) {
    for (int poll = 0; !(target = FindTarget(s)) && poll < kMaxWindowPolls; ++poll) ::Sleep(250);
  }
  run.CloseProgress();

  COPYDATASTRUCT data = {};
  data.dwData = s.messageId;
  data.cbData = static_cast<DWORD>(block->size());
  data.lpData = block->data();
  Trace(L"Sending WM_COPYDATA.");
  if (target && ::IsWindow(target)) {
    ::SendMessageW(target, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    BringToFront(target);
  } else {
    scrivo::ReportError(L"Target application is inaccessible.", scrivo::kCodeTargetInaccessible);
  }
  PurgePrintedJobs();
}

void DeletePagesAndJob(const std::wstring& jobPath) {
  const scrivo::JobProfile job(jobPath);
  const int bound = job.PageKeyBound(job.ReadInt(L"EMF", L"Count", 0));
  for (int i = 0; i < bound; ++i) {
    const std::wstring page = job.ReadText(L"EMF", scrivo::JobProfile::PageKey(i).c_str());
    if (!page.empty()) ::DeleteFileW(page.c_str());
  }
  DeleteJobFile(jobPath);
}

struct ClipboardCloser {
  ~ClipboardCloser() {
    if (open) ::CloseClipboard();
  }
  bool open = false;
};

void TransferByClipboard(const HandoffSettings& s, const std::wstring& clientCommand,
                         const std::wstring& jobPath) {
  std::optional<AnsiBlock> block;
  if (!CheckWindowTransfer(s, jobPath, &block)) return;
  const UINT message = ClipboardMessage(s.messageId);
  JobRun run(jobPath);
  if (!run.Prepare()) return;

  HWND target = FindTarget(s);
  if (!target && StartTargetApplication(clientCommand)) target = FindTarget(s);
  run.CloseProgress();

  const UINT format = ::RegisterClipboardFormatW(s.clipboardFormat.c_str());
  ClipboardCloser clipboard;
  clipboard.open = ::OpenClipboard(nullptr) != FALSE;
  if (!clipboard.open) {
    scrivo::ReportError(L"Failed to open clipboard.", scrivo::kCodeClipboardOpen);
    PurgePrintedJobs();
    return;
  }
  ::EmptyClipboard();
  w32::GlobalMem memory(::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, block->size()));
  if (memory) {
    if (void* p = ::GlobalLock(memory.Get())) {
      memcpy(p, block->data(), block->size());
      ::GlobalUnlock(memory.Get());
    }
  }
  const bool windowThere = target && ::IsWindow(target);
  bool accepted = false;
  if (windowThere && memory && format != 0 && ::SetClipboardData(format, memory.Get())) {
    memory.Release();  // the clipboard owns it now
    accepted = true;
  }
  if (accepted) {
    ::CloseClipboard();
    clipboard.open = false;
    BringToFront(target);
    ::PostMessageW(target, message, 0, 0);
    PurgePrintedJobs();
    return;
  }
  if (windowThere)
    scrivo::ReportError(L"Failed to set clipboard data.", scrivo::kCodeClipboardData);
  else
    scrivo::ReportError(L"Target application is inaccessible.", scrivo::kCodeTargetInaccessible);
  ::CloseClipboard();
  clipboard.open = false;
  DeletePagesAndJob(jobPath);
  PurgePrintedJobs();
}

struct ProcessWindowSearch {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK FirstWindowOfProcess(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<ProcessWindowSearch*>(param);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(window, &pid);
  if (pid != search->pid) return TRUE;
  search->found = window;
  return FALSE;
}

void TransferByCommandLine(const std::wstring& clientCommand, const std::wstring& jobPath) {
  JobRun run(jobPath);
  if (!run.Prepare()) return;
  run.CloseProgress();
  const std::wstring command = clientCommand + L" " + jobPath;
  Trace(L"Run client application.");
  Child client = StartChild(command, false);
  if (!client.Started()) {
    scrivo::ReportError(kNoDispatcher, scrivo::kCodeNoDispatcher);
    DeleteJobFile(jobPath);
  } else if (::WaitForInputIdle(client.process.Get(), 10000) == 0) {
    ProcessWindowSearch search{client.processId, nullptr};
    ::EnumWindows(FirstWindowOfProcess, reinterpret_cast<LPARAM>(&search));
    if (search.found) BringToFront(search.found);
  }
  PurgePrintedJobs();
}

// Steps 2 to 4: the job value, read and then deleted. Nothing when there is
// no job (after the report).
std::optional<std::wstring> TakeJobValue(JobSource source) {
  const AgentSettings& settings = Settings();
  LONG error = 0;
  std::wstring name;
  std::optional<std::wstring> path;
  {
    w32::RegKey key =
        w32::RegKey::Open(HKEY_LOCAL_MACHINE, scrivo::ProductKeyPath(), KEY_READ, &error);
    if (!key.Valid()) {
      scrivo::ReportSystemError(KeyFailureText(), scrivo::kCodeProductKey,
                                static_cast<DWORD>(error));
      return std::nullopt;
    }
    name = JobValueName(source, settings.legacy, ProcessUserName());
    path = ReadJobValue(key.Get(), name, &error);
    if (!path) {
      name = L"SYSTEM";
      path = ReadJobValue(key.Get(), name, &error);
    }
    if (!path) {
      scrivo::ReportSystemError(L"Failed to get print job info.", scrivo::kCodeNoJobValue,
                                static_cast<DWORD>(error));
      return std::nullopt;
    }
  }
  w32::RegKey writable =
      w32::RegKey::Open(HKEY_LOCAL_MACHINE, scrivo::ProductKeyPath(), KEY_SET_VALUE);
  if (writable.Valid()) writable.DeleteValue(name);
  return path;
}

}  // namespace

DWORD WINAPI JobThreadEntry(void* argument) {
  try {
    RunJob(static_cast<JobSource>(reinterpret_cast<UINT_PTR>(argument)));
  } catch (...) {
  }
  return 0;
}

void RunJob(JobSource source) {
  Trace(L"Processing thread started.");
  PurgePrintedJobs();

  const std::optional<std::wstring> jobPath = TakeJobValue(source);
  if (!jobPath) return;
  Trace(w32::Format(L"Print job info successfully retrieved. JobID=%d",
                    scrivo::JobProfile(*jobPath).ReadInt(L"Document", L"JobID", 0)));

  HandoffSettings handoff;
  {
    LONG error = 0;
    w32::RegKey key =
        w32::RegKey::Open(HKEY_LOCAL_MACHINE, scrivo::ProductKeyPath(), KEY_READ, &error);
    if (!key.Valid()) {
      if (error == ERROR_FILE_NOT_FOUND)
        scrivo::ReportError(kReinstall, scrivo::kCodeNotConfigured);
      else
        scrivo::ReportSystemError(KeyFailureText(), scrivo::kCodeProductKey,
                                  static_cast<DWORD>(error));
      return;
    }
    handoff = ReadHandoffSettings(key);
  }
  if (handoff.clientApplication.empty()) {
    scrivo::ReportError(kMissingFile, scrivo::kCodeNoClientFile);
    DeleteJobFile(*jobPath);
    return;
  }
  const std::wstring clientCommand = ClientCommand(handoff.clientApplication);
  switch (handoff.transferMode) {
    case 1: TransferByCopyData(handoff, clientCommand, *jobPath); break;
    case 2: TransferByClipboard(handoff, clientCommand, *jobPath); break;
    default: TransferByCommandLine(clientCommand, *jobPath); break;
  }
}

}  // namespace agent
