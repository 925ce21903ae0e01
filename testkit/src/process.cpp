#include "testkit/process.h"

#include <vector>

#include "w32/module_path.h"

namespace testkit {

Process::~Process() {
  if (Running()) Terminate();
}

Process Process::Start(const std::wstring& commandLine, const std::wstring& workDir,
                       bool inheritHandles) {
  Process p;
  std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
  buffer.push_back(L'\0');
  STARTUPINFOW si = {};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi = {};
  if (!::CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, inheritHandles, 0, nullptr,
                        workDir.empty() ? nullptr : workDir.c_str(), &si, &pi)) {
    p.error_ = ::GetLastError();
    return p;
  }
  ::CloseHandle(pi.hThread);
  p.process_.Reset(pi.hProcess);
  p.id_ = pi.dwProcessId;
  return p;
}

std::optional<DWORD> Process::Wait(DWORD timeoutMs) const {
  if (!process_) return std::nullopt;
  if (::WaitForSingleObject(process_.Get(), timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  if (!::GetExitCodeProcess(process_.Get(), &code)) return std::nullopt;
  return code;
}

bool Process::Running() const {
  return process_ && ::WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT;
}

bool Process::WaitIdle(DWORD timeoutMs) const {
  return process_ && ::WaitForInputIdle(process_.Get(), timeoutMs) == 0;
}

void Process::Terminate(UINT exitCode) {
  if (!process_) return;
  ::TerminateProcess(process_.Get(), exitCode);
  ::WaitForSingleObject(process_.Get(), 5000);
}

std::optional<DWORD> RunAndWait(const std::wstring& commandLine, DWORD timeoutMs,
                                const std::wstring& workDir) {
  Process p = Process::Start(commandLine, workDir);
  if (!p.Valid()) return std::nullopt;
  return p.Wait(timeoutMs);  // the destructor ends a program that overran
}

std::wstring BinFolder() { return w32::ModuleFolder(); }

std::wstring QuotedProgram(const std::wstring& name) {
  return L"\"" + w32::JoinPath(BinFolder(), name) + L"\"";
}

}  // namespace testkit
