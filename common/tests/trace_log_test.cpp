#include <gtest/gtest.h>

#include <vector>

#include "common/trace_log.h"
#include "test_files.h"
#include "testkit/process.h"
#include "w32/module_path.h"
#include "w32/strings.h"

namespace {

SYSTEMTIME Time(WORD y, WORD mo, WORD d, WORD h, WORD mi, WORD s, WORD ms) {
  SYSTEMTIME t = {};
  t.wYear = y, t.wMonth = mo, t.wDay = d, t.wHour = h, t.wMinute = mi, t.wSecond = s,
  t.wMilliseconds = ms;
  return t;
}

TEST(TraceLineFormat, IsExact) {
  const auto lines = scrivo::FormatTraceLines(Time(2026, 3, 4, 5, 6, 7, 8), L"Agent started.");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], L"2026-03-04 05:06:07.008:\tAgent started.\r\n");
  EXPECT_EQ(scrivo::FormatTraceLines(Time(2026, 12, 31, 23, 59, 59, 999), L"")[0],
            L"2026-12-31 23:59:59.999:\t\r\n");
}

TEST(TraceLineFormat, LongTextContinuesOnLinesOfAtMost1023Characters) {
  std::wstring text;
  for (int i = 0; i < 3000; ++i) text += static_cast<wchar_t>(L'a' + i % 26);
  const SYSTEMTIME t = Time(2026, 1, 2, 3, 4, 5, 6);
  const auto lines = scrivo::FormatTraceLines(t, text);
  ASSERT_EQ(lines.size(), 4u);  // 996 characters of text fit one line
  std::wstring joined;
  for (const auto& line : lines) {
    EXPECT_LE(line.size(), scrivo::kMaxTraceLineChars);
    ASSERT_EQ(line.substr(0, 25), L"2026-01-02 03:04:05.006:\t");
    ASSERT_EQ(line.substr(line.size() - 2), L"\r\n");
    joined += line.substr(25, line.size() - 27);
  }
  EXPECT_EQ(joined, text);
  EXPECT_EQ(lines[0].size(), scrivo::kMaxTraceLineChars);
  // Exactly one line's worth stays one line.
  EXPECT_EQ(scrivo::FormatTraceLines(t, text.substr(0, 996)).size(), 1u);
  EXPECT_EQ(scrivo::FormatTraceLines(t, text.substr(0, 997)).size(), 2u);
}

TEST(TraceLineFormat, LineBreaksInTheTextStartNewStampedLines) {
  const SYSTEMTIME t = Time(2026, 5, 6, 7, 8, 9, 10);
  const auto lines = scrivo::FormatTraceLines(t, L"Failed to open registry key\nHKLM\\Software\\Scrivo\nError # 5: Access denied.\r\n");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], L"2026-05-06 07:08:09.010:\tFailed to open registry key\r\n");
  EXPECT_EQ(lines[1], L"2026-05-06 07:08:09.010:\tHKLM\\Software\\Scrivo\r\n");
  EXPECT_EQ(lines[2], L"2026-05-06 07:08:09.010:\tError # 5: Access denied.\r\n");
  EXPECT_EQ(scrivo::FormatTraceLines(t, L"a\r\n\r\nb").size(), 3u);  // an empty line inside stays
}

TEST(TraceLineFormat, SurrogatePairIsNeverSplit) {
  std::wstring text(995, L'x');
  text += L"\xD83D\xDE00";  // one character in two code units, at the line's edge
  text += L"tail";
  const auto lines = scrivo::FormatTraceLines(Time(2026, 1, 1, 0, 0, 0, 0), text);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].substr(lines[0].size() - 3), L"x\r\n");
  EXPECT_EQ(lines[1].substr(25), L"\xD83D\xDE00tail\r\n");
}

class TraceLogFile : public ::testing::Test {
 protected:
  void TearDown() override {
    scrivo::CloseTraceLog();
    ::DeleteFileW(path_.c_str());
  }
  std::wstring path_ = testfiles::FreshPath(L"trace");
};

TEST_F(TraceLogFile, NewFileStartsWithTheMarkAndReopeningAddsNone) {
  ASSERT_TRUE(scrivo::OpenTraceLog(path_));
  scrivo::TraceLine(L"one");
  scrivo::CloseTraceLog();
  ASSERT_TRUE(scrivo::OpenTraceLog(path_));
  scrivo::TraceLine(L"two \x00e9\x4e2d");
  scrivo::CloseTraceLog();

  const auto bytes = testfiles::ReadBytes(path_);
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes[0], 0xFF);
  EXPECT_EQ(bytes[1], 0xFE);
  for (size_t i = 2; i + 1 < bytes.size(); i += 2)
    EXPECT_FALSE(bytes[i] == 0xFF && bytes[i + 1] == 0xFE) << "second mark at " << i;
  const auto lines = testfiles::ReadLogLines(path_);
  ASSERT_EQ(lines.size(), 2u);
  std::wstring text;
  ASSERT_TRUE(testfiles::MatchesLineFormat(lines[0], &text));
  EXPECT_EQ(text, L"one");
  ASSERT_TRUE(testfiles::MatchesLineFormat(lines[1], &text));
  EXPECT_EQ(text, L"two \x00e9\x4e2d");
  // No terminating zero is written: the file is the mark plus the lines exactly.
  EXPECT_EQ(bytes.size(), 2 + 2 * (lines[0].size() + lines[1].size() + 4));
}

TEST_F(TraceLogFile, ExistingFileIsAppendedToWithoutAMark) {
  {
    w32::KernelHandle f(::CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0,
                                      nullptr));
    ASSERT_TRUE(f.Valid());
    DWORD w = 0;
    ::WriteFile(f.Get(), "\xFF\xFEo\0l\0d\0\r\0\n\0", 12, &w, nullptr);
  }
  ASSERT_TRUE(scrivo::OpenTraceLog(path_));
  scrivo::TraceLine(L"new");
  scrivo::CloseTraceLog();
  const auto lines = testfiles::ReadLogLines(path_);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], L"old");
  std::wstring text;
  ASSERT_TRUE(testfiles::MatchesLineFormat(lines[1], &text));
  EXPECT_EQ(text, L"new");
}

TEST_F(TraceLogFile, ClosedLogDropsLinesAndOpenFailureIsReported) {
  scrivo::TraceLine(L"nothing open");
  EXPECT_FALSE(w32::FileExists(path_));
  ASSERT_TRUE(::CreateDirectoryW(path_.c_str(), nullptr));
  EXPECT_FALSE(scrivo::OpenTraceLog(path_));
  EXPECT_NE(::GetLastError(), 0u);
  EXPECT_FALSE(scrivo::TraceLogIsOpen());
  ::RemoveDirectoryW(path_.c_str());
}

TEST_F(TraceLogFile, LongEntryIsKeptWhole) {
  ASSERT_TRUE(scrivo::OpenTraceLog(path_));
  const std::wstring text(2500, L'z');
  scrivo::TraceLine(text);
  scrivo::CloseTraceLog();
  const auto lines = testfiles::ReadLogLines(path_);
  ASSERT_EQ(lines.size(), 3u);
  std::wstring joined, piece;
  for (const auto& line : lines) {
    ASSERT_TRUE(testfiles::MatchesLineFormat(line, &piece));
    EXPECT_LE(line.size() + 2, scrivo::kMaxTraceLineChars);
    joined += piece;
  }
  EXPECT_EQ(joined, text);
}

// Several programs appending at once lose no line: without a lock around
// finding the end and writing there, Wine lost about one line in five.
TEST_F(TraceLogFile, ProgramsWritingAtOnceLeaveOneMarkAndEveryLineWhole) {
  const int kLines = 1000;
  const wchar_t* const kWho[] = {L"first", L"second", L"third"};
  const std::wstring writer = testkit::QuotedProgram(L"trace_writer.exe");
  std::vector<testkit::Process> writers;
  for (const wchar_t* who : kWho)
    writers.push_back(testkit::Process::Start(
        w32::Format(L"%s \"%s\" %d %s", writer.c_str(), path_.c_str(), kLines, who)));
  for (auto& w : writers) {
    ASSERT_TRUE(w.Valid());
    EXPECT_EQ(w.Wait(120000), 0u);
  }

  const auto bytes = testfiles::ReadBytes(path_);
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes[0], 0xFF);
  EXPECT_EQ(bytes[1], 0xFE);
  int marks = 0;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) marks += bytes[i] == 0xFF && bytes[i + 1] == 0xFE;
  EXPECT_EQ(marks, 1);

  const auto lines = testfiles::ReadLogLines(path_);
  ASSERT_EQ(lines.size(), 3u * kLines);
  int next[3] = {0, 0, 0};
  for (const auto& line : lines) {
    std::wstring text;
    ASSERT_TRUE(testfiles::MatchesLineFormat(line, &text)) << line;
    int who = 0;
    while (who < 2 && text.rfind(std::wstring(kWho[who]) + L" ", 0) != 0) ++who;
    EXPECT_EQ(text, w32::Format(L"%s %d", kWho[who], next[who]++));  // whole, and in order
  }
  for (int n : next) EXPECT_EQ(n, kLines);
}

}  // namespace
