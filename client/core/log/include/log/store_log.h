// Where log text goes. The logger owns one sink; CFileLog is the only kind.
#pragma once
#include <cstddef>

class IStoreLog {
 public:
  virtual ~IStoreLog() = default;
  // Writes buffered text to the medium.
  virtual void Flush() = 0;
  // Takes one text; it may be buffered until the next flush.
  virtual void Write(const char* text) = 0;
  // Flushes, then uses a buffer of `bytes` bytes from now on.
  virtual void SetBufferSize(unsigned bytes) = 0;
};
