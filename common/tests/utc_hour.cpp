// Run with the local zone two hours ahead of UTC: the trace must show UTC.
#include <gtest/gtest.h>

#include "common/trace_log.h"
#include "test_files.h"

TEST(TraceLogTime, HourIsUtcNotLocal) {
  SYSTEMTIME utcBefore = {}, local = {};
  ::GetSystemTime(&utcBefore);
  ::GetLocalTime(&local);
  ASSERT_NE(utcBefore.wHour, local.wHour) << "the local zone must differ from UTC for this test";

  const std::wstring path = testfiles::FreshPath(L"utc");
  ASSERT_TRUE(scrivo::OpenTraceLog(path));
  scrivo::TraceLine(L"when");
  scrivo::CloseTraceLog();
  SYSTEMTIME utcAfter = {};
  ::GetSystemTime(&utcAfter);

  const auto lines = testfiles::ReadLogLines(path);
  ASSERT_EQ(lines.size(), 1u);
  int hour = -1;
  ASSERT_TRUE(testfiles::MatchesLineFormat(lines[0], nullptr, &hour));
  EXPECT_TRUE(hour == utcBefore.wHour || hour == utcAfter.wHour) << hour;
  ::DeleteFileW(path.c_str());
}
