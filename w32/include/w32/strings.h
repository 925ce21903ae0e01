// Conversions between UTF-16 and multi-byte text, and printf-style formatting
// into growing strings (no fixed buffers).
#pragma once
#include <windows.h>
#include <cstdarg>
#include <string>
#include <string_view>

namespace w32 {

// Multi-byte (code page, CP_ACP by default) to UTF-16. Invalid bytes become
// the code page's replacement; an empty input gives an empty string.
std::wstring Widen(std::string_view text, UINT codePage = CP_ACP);
// UTF-16 to multi-byte (code page, CP_ACP by default).
std::string Narrow(std::wstring_view text, UINT codePage = CP_ACP);

std::wstring Format(const wchar_t* format, ...);
std::wstring FormatV(const wchar_t* format, va_list args);
std::string Format(const char* format, ...);
std::string FormatV(const char* format, va_list args);

// Replaces every occurrence of `from` (not empty) by `to`.
std::wstring ReplaceAll(std::wstring text, std::wstring_view from, std::wstring_view to);

// The system's message text for a Win32 error code, empty when there is none.
std::wstring SystemErrorText(DWORD error, size_t maxChars = 512);

}  // namespace w32
