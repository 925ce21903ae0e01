#include "log/file_log.h"

#include <cstring>
#include <stdexcept>

CFileLog::CFileLog(const std::string& fileName, unsigned bufferSize, bool append)
    : append_(append), fileName_(fileName), bufferSize_(bufferSize), buffer_(bufferSize) {
  file_.Reset(::CreateFileA(fileName_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH,
                            nullptr));
  if (!file_) throw std::runtime_error("Error Opening file");
  if (append_) ::SetFilePointer(file_.Get(), 0, nullptr, FILE_END);
}

CFileLog::~CFileLog() {
  if (file_) Flush();
}

void CFileLog::WriteToFile(const char* data, DWORD bytes) {
  // A short write to a local file only happens when the disk is full; the
  // log then loses the rest, which is all a diagnostic log can do.
  while (bytes > 0) {
    DWORD written = 0;
    if (!::WriteFile(file_.Get(), data, bytes, &written, nullptr) || written == 0) return;
    data += written;
    bytes -= written;
  }
}

void CFileLog::Write(const char* text) {
  if (!text) return;
  const size_t n = std::strlen(text);
  if (n < bufferSize_ && buffered_ + n < bufferSize_) {
    std::memcpy(buffer_.data() + buffered_, text, n);
    buffered_ += static_cast<unsigned>(n);
    return;
  }
  // What does not fit goes straight to the file, after what is buffered, so
  // that the file keeps the order of the messages.
  Flush();
  WriteToFile(text, static_cast<DWORD>(n));
}

void CFileLog::Flush() {
  if (buffered_ > 0) WriteToFile(buffer_.data(), buffered_);
  ::FlushFileBuffers(file_.Get());
  buffered_ = 0;
}

void CFileLog::SetBufferSize(unsigned bytes) {
  Flush();
  if (bytes != bufferSize_) {
    buffer_.assign(bytes, '\0');
    bufferSize_ = bytes;
  }
}
