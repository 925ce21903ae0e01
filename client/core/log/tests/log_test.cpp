#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "log/log.h"

namespace {

// A sink that records what reaches it.
class MemorySink : public IStoreLog {
 public:
  explicit MemorySink(std::string* out, int* flushes) : out_(out), flushes_(flushes) {}
  void Flush() override { ++*flushes_; }
  void Write(const char* text) override { *out_ += text; }
  void SetBufferSize(unsigned) override {}

 private:
  std::string* out_;
  int* flushes_;
};

struct Logged {
  std::string text;
  int flushes = 0;
};

std::unique_ptr<CLog> MakeLog(Logged& logged, int maxLevel, bool flush) {
  return std::make_unique<CLog>(std::make_unique<MemorySink>(&logged.text, &logged.flushes),
                                maxLevel, flush);
}

TEST(Log, LinesAreTagBlankTextLineFeed) {
  Logged logged;
  auto log = MakeLog(logged, kLogInfo, true);
  log->Log(kLogError, "disk gone");
  log->Log(kLogWarning, "odd");
  log->Log(kLogInfo, "-=ETPC=- Doc started");
  log->Log(3, "never written");
  EXPECT_EQ(logged.text,
            "-====ERROR====- disk gone\n-==WARNING==- odd\n-INFO- -=ETPC=- Doc started\n");
  EXPECT_EQ(logged.flushes, 3);
}

TEST(Log, LevelsAboveTheMaximumAreDropped) {
  Logged logged;
  auto log = MakeLog(logged, kLogError, false);
  log->Log(kLogInfo, "info");
  log->Log(kLogError, "error");
  EXPECT_EQ(logged.text, "-====ERROR====- error\n");
  EXPECT_EQ(logged.flushes, 0);
}

TEST(Log, UndefinedLevelGetsTheNotImplementedTag) {
  Logged logged;
  auto log = MakeLog(logged, 7, false);
  log->Log(5, "x");
  log->Log(-1, "y");
  EXPECT_EQ(logged.text,
            " LOG NOT IMPLEMENTED CATEGORY :  x\n LOG NOT IMPLEMENTED CATEGORY :  y\n");
}

TEST(Log, OverlongLineIsCutToTheBuffer) {
  Logged logged;
  auto log = MakeLog(logged, kLogInfo, false);
  const std::string big(20000, 'z');
  log->Log(kLogInfo, big.c_str());
  ASSERT_EQ(logged.text.size(), CLog::kLineBufferChars - 1);
  EXPECT_EQ(logged.text.substr(0, 7), "-INFO- ");
}

TEST(Log, TextWithPercentSignsIsWrittenAsItIs) {
  Logged logged;
  auto log = MakeLog(logged, kLogInfo, false);
  log->Log(kLogInfo, "Percent of used RAM: %42 %s %d");
  EXPECT_EQ(logged.text, "-INFO- Percent of used RAM: %42 %s %d\n");
}

TEST(Log, RawTextIsPassedUnformatted) {
  Logged logged;
  auto log = MakeLog(logged, kLogInfo, true);
  log->WriteRaw("\n\n");
  EXPECT_EQ(logged.text, "\n\n");
  EXPECT_EQ(logged.flushes, 1);
}

TEST(Log, LinesFromSeveralThreadsStayWhole) {
  Logged logged;
  auto log = MakeLog(logged, kLogInfo, true);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&log, t] {
      const std::string text = "thread " + std::to_string(t) + std::string(100, 'a' + t);
      for (int i = 0; i < 200; ++i) log->Log(kLogInfo, text.c_str());
    });
  for (auto& th : threads) th.join();
  size_t lines = 0, pos = 0;
  while (pos < logged.text.size()) {
    const size_t end = logged.text.find('\n', pos);
    ASSERT_NE(end, std::string::npos);
    const std::string line = logged.text.substr(pos, end - pos);
    ASSERT_EQ(line.size(), 7u + 8u + 100u) << line;
    const char c = line.back();
    EXPECT_EQ(line.find_first_not_of(c, 15), std::string::npos);
    ++lines;
    pos = end + 1;
  }
  EXPECT_EQ(lines, 800u);
}

}  // namespace
