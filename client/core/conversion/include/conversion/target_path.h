// Building the target file name in the target-folder mode.
#pragma once
#include <string>

// "folder" with exactly one trailing backslash; empty stays empty.
std::string WithTrailingBackslash(const std::string& folder);
// The document name, or "Untitled document" when it has one of the seven
// characters : * ? " < > | (or is empty).
std::string TargetFileName(const std::string& documentName);
// The first of base_1.ext, base_2.ext, ... that names nothing existing.
std::string MakeUniqueFileName(const std::string& path);
// Creates every level of `folder` (ending in a backslash), outermost first;
// results are ignored.
void CreateDirectoryPath(const std::string& folder);
bool PathExists(const std::string& path);
bool FolderExists(const std::string& path);
