// A log sink on a file, with a write buffer of its own.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

#include "log/store_log.h"
#include "w32/unique_handle.h"

class CFileLog : public IStoreLog {
 public:
  // Opens (or creates) the file for writing with read and write sharing and
  // write-through; with `append` writing starts at its end. Throws
  // std::runtime_error("Error Opening file") when the file cannot be opened.
  CFileLog(const std::string& fileName, unsigned bufferSize, bool append);
  ~CFileLog() override;

  void Flush() override;
  void Write(const char* text) override;
  void SetBufferSize(unsigned bytes) override;

  unsigned BufferSize() const { return bufferSize_; }
  unsigned Buffered() const { return buffered_; }

 private:
  void WriteToFile(const char* data, DWORD bytes);

  bool append_;
  std::string fileName_;
  w32::KernelHandle file_;
  unsigned bufferSize_;
  std::vector<char> buffer_;
  unsigned buffered_ = 0;
};
