#include "conversion/target_path.h"

#include <windows.h>

#include "w32/strings.h"

bool PathExists(const std::string& path) {
  return ::GetFileAttributesW(w32::Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool FolderExists(const std::string& path) {
  const DWORD a = ::GetFileAttributesW(w32::Widen(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string WithTrailingBackslash(const std::string& folder) {
  if (folder.empty() || folder.back() == '\\') return folder;
  return folder + "\\";
}

std::string TargetFileName(const std::string& documentName) {
  // An empty name would give the file name ".pdf"; it is treated like a name
  // that cannot be a file name.
  if (documentName.empty() || documentName.find_first_of(":*?\"<>|") != std::string::npos)
    return "Untitled document";
  return documentName;
}

std::string MakeUniqueFileName(const std::string& path) {
  const size_t slash = path.find_last_of('\\');
  const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const std::string folder = path.substr(0, nameStart);
  const std::string name = path.substr(nameStart);
  const size_t dot = name.find_last_of('.');
  const std::string base = dot == std::string::npos ? name : name.substr(0, dot);
  const std::string extension = dot == std::string::npos ? std::string() : name.substr(dot);
  for (unsigned long n = 1;; ++n) {
    const std::string candidate = folder + base + w32::Format("_%lu", n) + extension;
    if (!PathExists(candidate) || n == 0xFFFFFFFFul) return candidate;
  }
}

void CreateDirectoryPath(const std::string& folder) {
  for (size_t i = folder.find('\\', 1); i != std::string::npos; i = folder.find('\\', i + 1)) {
    const std::string level = folder.substr(0, i);
    if (level.empty() || level.back() == ':') continue;
    ::CreateDirectoryW(w32::Widen(level).c_str(), nullptr);
  }
}
