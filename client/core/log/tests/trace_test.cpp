#include <gtest/gtest.h>

#include <string>

#include "log/trace.h"
#include "test_files.h"
#include "w32/registry.h"

namespace {

// The trace key is the real per-user key: keep its value as it was found.
class TraceKey : public ::testing::Test {
 protected:
  void SetUp() override {
    key_ = w32::RegKey::Create(HKEY_CURRENT_USER, kTraceKeyPath);
    ASSERT_TRUE(key_.Valid());
    saved_ = key_.ReadDword(L"TRACE_STATUS");
    key_.DeleteValue(L"TRACE_STATUS");
  }
  void TearDown() override {
    key_.DeleteValue(L"TRACE_STATUS");
    if (saved_) key_.WriteDword(L"TRACE_STATUS", *saved_);
    CloseProcessLog();
  }
  w32::RegKey key_;
  std::optional<DWORD> saved_;
};

TEST_F(TraceKey, SwitchIsOnOnlyForANonZeroDword) {
  EXPECT_EQ(ReadTraceSwitch(), 0u);  // absent
  key_.WriteDword(L"TRACE_STATUS", 0);
  EXPECT_EQ(ReadTraceSwitch(), 0u);
  key_.WriteString(L"TRACE_STATUS", L"1");
  EXPECT_EQ(ReadTraceSwitch(), 0u);  // REG_SZ does not count
  key_.WriteDword(L"TRACE_STATUS", 1);
  EXPECT_EQ(ReadTraceSwitch(), 1u);
  key_.WriteDword(L"TRACE_STATUS", 5);
  EXPECT_EQ(ReadTraceSwitch(), 5u);
}

TEST_F(TraceKey, SwitchOffMeansNoLogFile) {
  const std::string path = ScratchFolder("off") + "PrinterEvents.log";
  ::DeleteFileA(path.c_str());
  EXPECT_FALSE(OpenProcessLog(ReadTraceSwitch(), path, true));
  EXPECT_FALSE(TraceOn());
  LogInfo("must not be written");  // harmless while off
  EXPECT_FALSE(PathExists(path));
}

TEST(ProcessLog, TwoRunsLeaveTwoBlocksEachStartingWithTheReport) {
  const std::string path = ScratchFolder("runs") + "PrinterEvents.log";
  ::DeleteFileA(path.c_str());
  for (int run = 0; run < 2; ++run) {
    ASSERT_TRUE(OpenProcessLog(1, path, true));
    EXPECT_TRUE(TraceOn());
    LogInfo("-=ETPC=- ()");
    LogErrorF("%s %s", "-=ETPC=- Target file is", "C:\\x.pdf");
    CloseProcessLog();
  }
  const std::string text = ReadWholeFile(path);
  const std::string blockStart = "\n\n-INFO- \n";
  const size_t first = text.find(blockStart);
  ASSERT_EQ(first, 0u) << text.substr(0, 40);
  const size_t second = text.find(blockStart, 1);
  ASSERT_NE(second, std::string::npos);
  EXPECT_EQ(text.find(blockStart, second + 1), std::string::npos);
  const std::string tail = "-INFO- -=ETPC=- ()\n-====ERROR====- -=ETPC=- Target file is C:\\x.pdf\n";
  EXPECT_EQ(text.substr(second - tail.size(), tail.size()), tail);
  EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
  ::DeleteFileA(path.c_str());
}

TEST(ProcessLog, UnopenableLogFileLeavesTracingOff) {
  EXPECT_FALSE(OpenProcessLog(1, "Q:\\missing\\folder\\PrinterEvents.log", true));
  EXPECT_FALSE(TraceOn());
  EXPECT_EQ(ProcessLog(), nullptr);
  LogError("ignored");
}

TEST(ProcessLog, DefaultPathIsBesideTheProgram) {
  const std::string path = DefaultLogPath();
  const std::string name = "\\PrinterEvents.log";
  ASSERT_GT(path.size(), name.size());
  EXPECT_EQ(path.substr(path.size() - name.size()), name);
}

}  // namespace
