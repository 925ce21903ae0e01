#include "log/log.h"

#include <cstdio>

namespace {
const char* const kLevelTags[] = {"-====ERROR====-", "-==WARNING==-", "-INFO-"};
}

CLog::CLog(std::unique_ptr<IStoreLog> sink, int maxLevel, bool flushEveryMessage)
    : sink_(std::move(sink)), maxLevel_(maxLevel), flush_(flushEveryMessage),
      line_(kLineBufferChars) {
  ::InitializeCriticalSection(&lock_);
}

CLog::~CLog() {
  if (sink_) sink_->Flush();
  ::DeleteCriticalSection(&lock_);
}

const char* CLog::UnknownLevelTag(int) const { return unknownTag_; }

void CLog::Log(int level, const char* text) {
  if (level > maxLevel_) return;
  ::EnterCriticalSection(&lock_);
  const char* tag = (level >= 0 && level <= 2) ? kLevelTags[level] : UnknownLevelTag(level);
  // snprintf cuts an over-long line to the buffer and always terminates it.
  std::snprintf(line_.data(), line_.size(), lineFormat_, tag, text ? text : "");
  if (sink_) {
    sink_->Write(line_.data());
    if (flush_) sink_->Flush();
  }
  ::LeaveCriticalSection(&lock_);
}

void CLog::WriteRaw(const char* text) {
  ::EnterCriticalSection(&lock_);
  if (sink_) {
    sink_->Write(text);
    if (flush_) sink_->Flush();
  }
  ::LeaveCriticalSection(&lock_);
}
