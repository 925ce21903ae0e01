// clientdriver: drives inkclient.exe for scripts (the main job).
//   clientdriver wait [--timeout MS]
//       waits for the client's window with a page on show; prints
//       "window <hex> process <id> <page indicator>"
//   clientdriver save --target PATH [--timeout MS]
//       presses Save, gives the save dialog PATH, agrees to overwrite,
//       declines to open the PDF and waits for the client to end
//   clientdriver wait-end [--timeout MS]
//       waits until the client ends (the person saves or cancels)
// Exit code: 0 done (save: the client ended with 1), 1 failed or timed out
// (with the reason on the error output), 2 bad usage.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "client_drive.h"
#include "w32/strings.h"

namespace {

void Print(FILE* to, const std::wstring& text) {
  const std::string utf8 = w32::Narrow(text + L"\n", CP_UTF8);
  std::fwrite(utf8.data(), 1, utf8.size(), to);
  std::fflush(to);
}

int Usage() {
  Print(stderr, L"usage: clientdriver wait|wait-end [--timeout MS]\n"
                L"       clientdriver save --target PATH [--timeout MS]");
  return 2;
}

int Run(const std::vector<std::wstring>& args) {
  if (args.empty()) return Usage();
  const std::wstring command = args[0];
  DWORD timeout = 120000;
  std::wstring target;
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == L"--timeout" && i + 1 < args.size()) {
      wchar_t* end = nullptr;
      const unsigned long v = std::wcstoul(args[++i].c_str(), &end, 10);
      if (!end || *end != L'\0' || v == 0) return Usage();
      timeout = v;
    } else if (args[i] == L"--target" && i + 1 < args.size()) {
      target = args[++i];
    } else {
      return Usage();
    }
  }
  if (command != L"wait" && command != L"wait-end" && command != L"save") return Usage();
  if (command == L"save" && target.empty()) return Usage();

  HWND client = clientdrive::WaitForClientWindow(0, timeout);
  if (!client) {
    Print(stderr, L"clientdriver: no client window with a page came up");
    return 1;
  }
  DWORD pid = 0;
  ::GetWindowThreadProcessId(client, &pid);
  if (command == L"wait") {
    Print(stdout, w32::Format(L"window %p process %lu %s", static_cast<void*>(client), pid,
                              clientdrive::PageIndicator(client).c_str()));
    return 0;
  }
  if (command == L"wait-end") {
    const auto code = clientdrive::WaitForClientEnd(client, timeout);
    if (!code) {
      Print(stderr, L"clientdriver: the client did not end in time");
      return 1;
    }
    Print(stdout, w32::Format(L"the client ended with exit code %lu", *code));
    return 0;
  }
  const clientdrive::SaveResult saved = clientdrive::SaveAs(client, target, timeout);
  if (!saved.ok) {
    Print(stderr, L"clientdriver: " + saved.error);
    return 1;
  }
  Print(stdout, L"saved as " + target + L"; the client ended with exit code 1");
  return 0;
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  if (!argv) return 2;
  std::vector<std::wstring> args(argv + 1, argv + argc);
  ::LocalFree(argv);
  try {
    return Run(args);
  } catch (...) {
    Print(stderr, L"clientdriver: out of memory");
    return 1;
  }
}
