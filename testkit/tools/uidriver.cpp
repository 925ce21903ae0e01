// uidriver: the test UI driver for scripts. Every wait has a bound.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "testkit/process.h"
#include "testkit/ui_driver.h"
#include "w32/strings.h"

namespace {

const wchar_t kUsage[] =
    L"usage: uidriver COMMAND [options]\n"
    L"  find [--pid N] [--class C] [--title T] [--timeout MS]\n"
    L"      waits for a top-level window; prints its handle (hex)\n"
    L"  show HWND                 prints the window's text and its controls' texts\n"
    L"  press HWND ID             presses the button with control id ID\n"
    L"  settext HWND ID TEXT      sets the text of the edit control with id ID\n"
    L"  msgbox [--pid N] [--timeout MS] [--press ID]\n"
    L"      waits for a message box; prints caption and text; optionally presses ID\n"
    L"  run [--timeout MS] COMMAND-LINE...\n"
    L"      starts a program, waits (default 30000 ms), prints and returns its exit code\n"
    L"Exit code: 0 done, 1 not found or timed out, 2 bad usage.\n";

void Print(const std::wstring& text) {
  const std::string utf8 = w32::Narrow(text, CP_UTF8);
  std::fwrite(utf8.data(), 1, utf8.size(), stdout);
  std::fflush(stdout);
}

HWND ParseWindow(const std::wstring& text) {
  return reinterpret_cast<HWND>(static_cast<ULONG_PTR>(wcstoull(text.c_str(), nullptr, 16)));
}

DWORD ParseNumber(const std::wstring& text) {
  return static_cast<DWORD>(wcstoul(text.c_str(), nullptr, 0));
}

int Usage() {
  Print(kUsage);
  return 2;
}

int Run(const std::vector<std::wstring>& args) {
  if (args.empty() || args[0] == L"--help" || args[0] == L"-h") return args.empty() ? Usage() : (Print(kUsage), 0);
  const std::wstring& command = args[0];
  testkit::WindowQuery query;
  DWORD timeout = 10000;
  int press = 0;
  size_t i = 1;
  std::vector<std::wstring> rest;
  for (; i < args.size(); ++i) {
    const std::wstring& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == L"--pid" && hasValue) query.processId = ParseNumber(args[++i]);
    else if (a == L"--class" && hasValue) query.className = args[++i];
    else if (a == L"--title" && hasValue) query.title = args[++i];
    else if (a == L"--timeout" && hasValue) timeout = ParseNumber(args[++i]);
    else if (a == L"--press" && hasValue) press = static_cast<int>(ParseNumber(args[++i]));
    else rest.push_back(a);
  }
  if (command == L"find") {
    HWND w = testkit::WaitForTopLevelWindow(query, timeout);
    if (!w) return 1;
    Print(w32::Format(L"%p\n", static_cast<void*>(w)));
    return 0;
  }
  if (command == L"show" && rest.size() == 1) {
    HWND w = ParseWindow(rest[0]);
    if (!::IsWindow(w)) return 1;
    Print(w32::Format(L"window %p class \"%s\" text \"%s\"\n", static_cast<void*>(w),
                      testkit::WindowClass(w).c_str(), testkit::WindowText(w).c_str()));
    for (const testkit::Control& c : testkit::Controls(w))
      Print(w32::Format(L"  control %d class \"%s\" text \"%s\"\n", c.id, c.className.c_str(),
                        c.text.c_str()));
    return 0;
  }
  if (command == L"press" && rest.size() == 2)
    return testkit::PressButton(ParseWindow(rest[0]), static_cast<int>(ParseNumber(rest[1]))) ? 0 : 1;
  if (command == L"settext" && rest.size() == 3) {
    HWND edit = testkit::ControlById(ParseWindow(rest[0]), static_cast<int>(ParseNumber(rest[1])));
    return edit && testkit::SetEditText(edit, rest[2]) ? 0 : 1;
  }
  if (command == L"msgbox") {
    auto box = testkit::WaitForMessageBox(query.processId, timeout);
    if (!box) return 1;
    Print(L"caption: " + box->caption + L"\ntext: " + box->text + L"\n");
    if (press != 0 && !testkit::PressMessageBoxButton(box->window, press)) return 1;
    return 0;
  }
  if (command == L"run" && !rest.empty()) {
    std::wstring line;
    for (const std::wstring& r : rest) {
      if (!line.empty()) line += L' ';
      line += r.find(L' ') != std::wstring::npos ? L"\"" + r + L"\"" : r;
    }
    if (timeout == 10000) timeout = 30000;
    const auto code = testkit::RunAndWait(line, timeout);
    if (!code) {
      Print(L"not started or timed out\n");
      return 1;
    }
    Print(w32::Format(L"exit code %lu\n", *code));
    return static_cast<int>(*code);
  }
  return Usage();
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  std::vector<std::wstring> args;
  for (int i = 1; argv && i < argc; ++i) args.emplace_back(argv[i]);
  if (argv) ::LocalFree(argv);
  return Run(args);
}
