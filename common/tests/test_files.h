// Scratch files of the trace-log tests.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

namespace testfiles {

// A fresh path in the temporary folder that no file has yet.
std::wstring FreshPath(const wchar_t* stem);
// The whole file as bytes (empty when it cannot be read).
std::vector<unsigned char> ReadBytes(const std::wstring& path);
// UTF-16LE bytes after the byte-order mark, split at "\r\n".
std::vector<std::wstring> ReadLogLines(const std::wstring& path);
bool MatchesLineFormat(const std::wstring& line, std::wstring* text = nullptr,
                       int* hour = nullptr);

}  // namespace testfiles
