// Paths of loaded modules and simple path joining.
#pragma once
#include <windows.h>
#include <string>

namespace w32 {

// Full path of a module (nullptr: the program), however long it is.
std::wstring ModulePath(HMODULE module = nullptr);
// The folder of a module, without a trailing backslash.
std::wstring ModuleFolder(HMODULE module = nullptr);
// The module that contains this address (for DLLs finding themselves).
HMODULE ModuleOfAddress(const void* address);
// `folder` and `name` joined by exactly one backslash.
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);
// The part of a path before its last backslash or slash; empty when none.
std::wstring ParentFolder(const std::wstring& path);

bool FileExists(const std::wstring& path);

}  // namespace w32
