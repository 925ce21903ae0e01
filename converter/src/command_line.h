// The converter's one argument: the job description file's path.
#pragma once
#include <string>

namespace converter {

// Everything after the program part of `commandLine`, unchanged (quotes
// kept), without the blanks that separate it. The program part is a quoted
// text, or this program's own path `modulePath` even when it holds blanks
// and is not quoted, or else the first blank-separated word.
std::wstring JobArgument(const std::wstring& commandLine, const std::wstring& modulePath);

}  // namespace converter
