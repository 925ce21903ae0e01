#include "agent.h"

#include "agent_settings.h"
#include "common/report.h"
#include "common/trace_log.h"
#include "event_names.h"
#include "job_thread.h"
#include "job_thread_list.h"
#include "w32/strings.h"
#include "w32/unique_handle.h"

namespace agent {
namespace {

// A wait that fails this many times in a row (100 ms apart) means the handles
// are unusable: the agent stops instead of spinning for ever.
const int kMaxFailedWaits = 50;

// Manual-reset, non-signalled, any account may open and set it (NULL DACL),
// not inheritable. `existed` tells whether another process had created it.
w32::KernelHandle CreateOpenEvent(const std::wstring& name, bool* existed) {
  SECURITY_DESCRIPTOR descriptor;
  ::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
  ::SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE);
  SECURITY_ATTRIBUTES attributes = {sizeof(attributes), &descriptor, FALSE};
  w32::KernelHandle event(::CreateEventW(&attributes, TRUE, FALSE, name.c_str()));
  const DWORD error = ::GetLastError();
  if (existed) *existed = event.Valid() && error == ERROR_ALREADY_EXISTS;
  ::SetLastError(error);
  return event;
}

void Trace(const wchar_t* text) {
  if (Settings().log) scrivo::TraceLine(text);
}

// One wake-up: a job thread with `source`. The event is reset before the
// thread starts, so a job signalled after the reset wakes the agent again
// instead of being wiped by a reset that comes after its signal.
void Dispatch(HANDLE event, JobSource source, JobThreadList& threads) {
  Trace(source == kFromPrintEvent ? L"New print job received. Start processing thread."
                                  : L"Shared print job received. Start processing thread.");
  threads.Reap(false);
  ::ResetEvent(event);
  w32::KernelHandle thread(::CreateThread(nullptr, 0, JobThreadEntry,
                                          reinterpret_cast<void*>(static_cast<UINT_PTR>(source)),
                                          0, nullptr));
  if (!thread) {
    scrivo::ReportSystemError(L"CreateThread() failed.", scrivo::kCodeCreateThread, 0);
    return;
  }
  threads.Add(std::move(thread));
}

}  // namespace

int RunAgent(bool* terminatedJobThreads) {
  if (terminatedJobThreads) *terminatedJobThreads = false;
  LoadAgentSettings();
  const AgentSettings& settings = Settings();
  scrivo::ConfigureReports(
      {settings.caption, settings.log, settings.messageMode, settings.notifyMessage});

  if (settings.log) {
    if (!scrivo::OpenTraceLog()) {
      scrivo::ReportError(
          w32::Format(L"Failed to open the log file:\n%s", scrivo::TraceLogPath().c_str()),
          scrivo::kCodeLogOpen);
      return 0;
    }
    scrivo::TraceLine(L"Agent started.");
  }

  const EventNames names = BuildEventNames(settings.legacy, settings.userName, CurrentSession());
  bool existed = false;
  w32::KernelHandle printEvent = CreateOpenEvent(names.print, &existed);
  if (!printEvent) {
    scrivo::ReportSystemError(L"Failed to create event object [0].",
                              scrivo::kCodeCreatePrintEvent, ::GetLastError());
    scrivo::CloseTraceLog();
    return 0;
  }
  if (existed) {
    // An agent of this user in this session runs already.
    ::MessageBeep(0xFFFFFFFF);
    scrivo::CloseTraceLog();
    return 0;
  }
  w32::KernelHandle sharedEvent = CreateOpenEvent(names.shared, nullptr);
  if (!sharedEvent) {
    scrivo::ReportSystemError(L"Failed to create event object [1].",
                              scrivo::kCodeCreateSharedEvent, ::GetLastError());
    scrivo::CloseTraceLog();
    return 0;
  }
  w32::KernelHandle killEvent = CreateOpenEvent(names.kill, nullptr);
  if (!killEvent) killEvent.Reset(::OpenEventW(SYNCHRONIZE, FALSE, names.kill.c_str()));

  Trace(L"Waiting for events.");
  JobThreadList threads;
  const HANDLE waitOn[3] = {printEvent.Get(), sharedEvent.Get(), killEvent.Get()};
  const DWORD count = killEvent ? 3 : 2;
  int failedWaits = 0;
  for (;;) {
    const DWORD result = ::WaitForMultipleObjects(count, waitOn, FALSE, INFINITE);
    if (result == WAIT_OBJECT_0) {
      Dispatch(printEvent.Get(), kFromPrintEvent, threads);
    } else if (result == WAIT_OBJECT_0 + 1) {
      Dispatch(sharedEvent.Get(), kFromSharedEvent, threads);
    } else if (result == WAIT_OBJECT_0 + 2 && count == 3) {
      break;
    } else if (result == WAIT_FAILED) {
      if (++failedWaits >= kMaxFailedWaits) {
        Trace(L"Waiting for events keeps failing; the agent stops.");
        break;
      }
      ::Sleep(100);
      continue;
    }
    failedWaits = 0;
  }

  if (settings.log) {
    scrivo::TraceLine(L"Suicide.");
    scrivo::TraceLine(L"Agent exits.");
    scrivo::CloseTraceLog();
  }
  const size_t terminated = threads.Reap(true);
  if (terminatedJobThreads) *terminatedJobThreads = terminated > 0;
  return 0;
}

}  // namespace agent
