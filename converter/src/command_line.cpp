#include "command_line.h"

#include <cwchar>

namespace converter {
namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

// `line` begins with `prefix` (any case) followed by a blank or the end.
bool BeginsWithWord(const std::wstring& line, const std::wstring& prefix) {
  return !prefix.empty() && line.size() >= prefix.size() &&
         _wcsnicmp(line.c_str(), prefix.c_str(), prefix.size()) == 0 &&
         (line.size() == prefix.size() || IsBlank(line[prefix.size()]));
}

}  // namespace

std::wstring JobArgument(const std::wstring& commandLine, const std::wstring& modulePath) {
  size_t pos = 0;
  if (!commandLine.empty() && commandLine[0] == L'"') {
    const size_t close = commandLine.find(L'"', 1);
    pos = close == std::wstring::npos ? commandLine.size() : close + 1;
  } else if (BeginsWithWord(commandLine, modulePath)) {
    pos = modulePath.size();
  } else {
    const std::wstring withoutExe =
        modulePath.size() > 4 && _wcsicmp(modulePath.c_str() + modulePath.size() - 4, L".exe") == 0
            ? modulePath.substr(0, modulePath.size() - 4)
            : std::wstring();
    if (BeginsWithWord(commandLine, withoutExe)) {
      pos = withoutExe.size();
    } else {
      while (pos < commandLine.size() && !IsBlank(commandLine[pos])) ++pos;
    }
  }
  while (pos < commandLine.size() && IsBlank(commandLine[pos])) ++pos;
  return commandLine.substr(pos);
}

}  // namespace converter
