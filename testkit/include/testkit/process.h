// Starting programs from tests, waiting for them with a bound, and making sure
// none outlives the test that started it.
#pragma once
#include <windows.h>
#include <optional>
#include <string>

#include "w32/unique_handle.h"

namespace testkit {

// A started program. The destructor terminates it if it is still running, so a
// failing test leaves nothing behind.
class Process {
 public:
  Process() = default;
  Process(Process&&) = default;
  Process& operator=(Process&&) = default;
  ~Process();

  // Starts `commandLine` (the program part quoted by the caller when needed).
  // `inheritHandles` passes inheritable handles on; `workDir` empty: ours.
  // Invalid on failure, with the Win32 error in Error().
  static Process Start(const std::wstring& commandLine, const std::wstring& workDir = L"",
                       bool inheritHandles = false);

  bool Valid() const { return process_.Valid(); }
  DWORD Error() const { return error_; }
  DWORD Id() const { return id_; }
  HANDLE Handle() const { return process_.Get(); }

  // Waits at most `timeoutMs` for the end; the exit code, or nothing on time-out.
  std::optional<DWORD> Wait(DWORD timeoutMs) const;
  bool Running() const;
  // Waits until the program waits for input (GUI programs), at most `timeoutMs`.
  bool WaitIdle(DWORD timeoutMs) const;
  void Terminate(UINT exitCode = 1);

 private:
  w32::KernelHandle process_;
  DWORD id_ = 0;
  DWORD error_ = 0;
};

// Starts a program and waits at most `timeoutMs`; nothing when it could not be
// started or did not end in time (it is then terminated).
std::optional<DWORD> RunAndWait(const std::wstring& commandLine, DWORD timeoutMs,
                                const std::wstring& workDir = L"");

// Starts a console program with its output (stdout and stderr) captured and
// waits at most `timeoutMs`; nothing when it could not be started or did not
// end in time (it is then terminated). The output is taken as UTF-8.
std::optional<DWORD> RunAndCapture(const std::wstring& commandLine, DWORD timeoutMs,
                                   std::wstring* output);

// Folder of the running test program (where every built program lands).
std::wstring BinFolder();
// `name` in BinFolder(), in double quotes: ready for a command line.
std::wstring QuotedProgram(const std::wstring& name);

// Polls `condition` every `stepMs` until it holds or `timeoutMs` has passed;
// the condition's last answer.
template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs, DWORD stepMs = 20) {
  const DWORD start = ::GetTickCount();  // differences stay right across wrap-around
  for (;;) {
    if (condition()) return true;
    if (::GetTickCount() - start >= timeoutMs) return condition();
    ::Sleep(stepMs);
  }
}

}  // namespace testkit
