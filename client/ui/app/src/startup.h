// Start-up pieces of inkclient that tests check on their own.
#pragma once
#include <string>

// The folder of `modulePath` with a trailing backslash: the name is cut
// before its last "." and then after its last backslash.
std::string ApplicationFolder(const std::string& modulePath);
// The job path: the whole command line after the program name, as the
// process received it (not split at blanks, not unquoted).
std::wstring JobPathFromCommandLine(const wchar_t* commandLine);
