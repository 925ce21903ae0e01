#include "testkit/process.h"

#include <vector>

#include "w32/module_path.h"
#include "w32/strings.h"

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

std::optional<DWORD> RunAndCapture(const std::wstring& commandLine, DWORD timeoutMs,
                                   std::wstring* output) {
  output->clear();
  SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!::CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return std::nullopt;
  w32::KernelHandle reader(readEnd), writer(writeEnd);
  ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
  buffer.push_back(L'\0');
  STARTUPINFOW si = {};
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
  si.hStdOutput = writeEnd;
  si.hStdError = writeEnd;
  PROCESS_INFORMATION pi = {};
  if (!::CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si,
                        &pi))
    return std::nullopt;
  w32::KernelHandle process(pi.hProcess), thread(pi.hThread);
  writer.Reset();  // the child holds the only write end now
  std::string bytes;
  const DWORD start = ::GetTickCount();
  for (;;) {
    DWORD available = 0;
    if (::PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
      std::string chunk(available, '\0');
      DWORD got = 0;
      if (::ReadFile(readEnd, &chunk[0], available, &got, nullptr)) bytes.append(chunk, 0, got);
      continue;
    }
    if (::WaitForSingleObject(pi.hProcess, 20) == WAIT_OBJECT_0) {
      // Whatever is still in the pipe.
      while (::PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
        std::string chunk(available, '\0');
        DWORD got = 0;
        if (!::ReadFile(readEnd, &chunk[0], available, &got, nullptr)) break;
        bytes.append(chunk, 0, got);
      }
      break;
    }
    if (::GetTickCount() - start >= timeoutMs) {
      ::TerminateProcess(pi.hProcess, 1);
      ::WaitForSingleObject(pi.hProcess, 5000);
      *output = w32::Widen(bytes, CP_UTF8);
      return std::nullopt;
    }
  }
  *output = w32::Widen(bytes, CP_UTF8);
  DWORD code = 0;
  ::GetExitCodeProcess(pi.hProcess, &code);
  return code;
}

std::wstring BinFolder() { return w32::ModuleFolder(); }

std::wstring QuotedProgram(const std::wstring& name) {
  return L"\"" + w32::JoinPath(BinFolder(), name) + L"\"";
}

}  // namespace testkit
