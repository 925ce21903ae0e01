// Command line of the spool stand-in.
#pragma once
#include <windows.h>
#include <optional>
#include <string>
#include <vector>

namespace spool {

enum class Target { User, Shared, Legacy, System };

struct Options {
  std::vector<std::wstring> emfFiles;  // given page files; none: sample pages
  int samplePages = 3;
  std::wstring folder;                 // empty: "%TEMP%\Scrivo spool"
  Target target = Target::User;
  std::optional<std::wstring> user;    // default: this process's account
  std::optional<DWORD> session;        // default: this process's session
  std::wstring device = L"Scrivo";
  std::wstring document = L"Scrivo sample document";
  bool ansi = false;
  std::vector<std::wstring> omit;
  int jobs = 1;
  bool signal = true;
  std::optional<DWORD> waitMs;
  bool kill = false;
  bool quiet = false;
  bool help = false;
};

// Parses the arguments (without the program name). On a usage error returns
// nothing and sets `error`.
std::optional<Options> ParseOptions(const std::vector<std::wstring>& args, std::wstring* error);

extern const wchar_t kUsage[];

}  // namespace spool
