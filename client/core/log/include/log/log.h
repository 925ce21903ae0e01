// The client's diagnostic logger: one line per message, "<tag> <text>\n".
#pragma once
#include <windows.h>
#include <memory>
#include <vector>

#include "log/store_log.h"

enum LogLevel { kLogError = 0, kLogWarning = 1, kLogInfo = 2 };

class CLog {
 public:
  static constexpr size_t kLineBufferChars = 8192;

  CLog(std::unique_ptr<IStoreLog> sink, int maxLevel, bool flushEveryMessage);
  virtual ~CLog();
  CLog(const CLog&) = delete;
  CLog& operator=(const CLog&) = delete;

  // Writes "<tag> <text>\n" when `level` is at most the maximum level. A line
  // longer than the buffer is cut to 8191 characters.
  void Log(int level, const char* text);
  // Passes `text` to the sink as it is.
  void WriteRaw(const char* text);

 protected:
  // Tag of a level outside 0 to 2.
  virtual const char* UnknownLevelTag(int level) const;

 private:
  std::unique_ptr<IStoreLog> sink_;
  int maxLevel_;
  bool flush_;
  const char* lineFormat_ = "%s %s\n";
  std::vector<char> line_;
  const char* unknownTag_ = " LOG NOT IMPLEMENTED CATEGORY : ";
  CRITICAL_SECTION lock_;
};
