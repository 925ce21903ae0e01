// Scratch files for the log tests: a fresh folder per test, removed afterwards.
#pragma once
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

inline std::string ScratchFolder(const std::string& name) {
  char temp[MAX_PATH + 1] = {};
  ::GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + "scrivo_log_" + name + "_" +
                             std::to_string(::GetCurrentProcessId());
  ::CreateDirectoryA(folder.c_str(), nullptr);
  return folder + "\\";
}

inline std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline bool PathExists(const std::string& path) {
  return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
