#include "child_process.h"

#include <vector>

namespace agent {

Child StartChild(const std::wstring& commandLine, bool inheritHandles) {
  std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
  buffer.push_back(L'\0');
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  Child child;
  if (!::CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, inheritHandles, 0, nullptr,
                        nullptr, &startup, &info))
    return child;
  ::CloseHandle(info.hThread);
  child.process.Reset(info.hProcess);
  child.processId = info.dwProcessId;
  return child;
}

}  // namespace agent
