#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "log/file_log.h"
#include "test_files.h"

namespace {

TEST(FileLog, BuffersSmallTextsUntilFlush) {
  const std::string path = ScratchFolder("buffer") + "a.log";
  ::DeleteFileA(path.c_str());
  {
    CFileLog log(path, 16, true);
    log.Write("abc");
    log.Write("defg");
    EXPECT_EQ(log.Buffered(), 7u);
    EXPECT_EQ(ReadWholeFile(path), "");
    log.Flush();
    EXPECT_EQ(log.Buffered(), 0u);
    EXPECT_EQ(ReadWholeFile(path), "abcdefg");
  }
  ::DeleteFileA(path.c_str());
}

TEST(FileLog, TextThatDoesNotFitKeepsMessageOrder) {
  const std::string path = ScratchFolder("order") + "b.log";
  ::DeleteFileA(path.c_str());
  {
    CFileLog log(path, 8, true);
    log.Write("12345");
    log.Write("678");        // 5 + 3 reaches the size: flush, then straight out
    EXPECT_EQ(log.Buffered(), 0u);
    EXPECT_EQ(ReadWholeFile(path), "12345678");
    log.Write("ab");
    log.Write("longer than eight");  // bigger than the buffer: the buffered text goes first
    EXPECT_EQ(ReadWholeFile(path), "12345678ablonger than eight");
  }
  ::DeleteFileA(path.c_str());
}

TEST(FileLog, AppendsToAnExistingFileAndFlushesOnDestruction) {
  const std::string path = ScratchFolder("append") + "c.log";
  ::DeleteFileA(path.c_str());
  { CFileLog(path, 64, true).Write("first\n"); }
  { CFileLog(path, 64, true).Write("second\n"); }
  EXPECT_EQ(ReadWholeFile(path), "first\nsecond\n");
  { CFileLog(path, 64, false).Write("X"); }  // without append, writing starts at the front
  EXPECT_EQ(ReadWholeFile(path), "Xirst\nsecond\n");
  ::DeleteFileA(path.c_str());
}

TEST(FileLog, SetBufferSizeFlushesAndResizes) {
  const std::string path = ScratchFolder("resize") + "d.log";
  ::DeleteFileA(path.c_str());
  {
    CFileLog log(path, 4, true);
    log.Write("ab");
    log.SetBufferSize(32);
    EXPECT_EQ(ReadWholeFile(path), "ab");
    EXPECT_EQ(log.BufferSize(), 32u);
    log.Write("0123456789");
    EXPECT_EQ(log.Buffered(), 10u);
  }
  ::DeleteFileA(path.c_str());
}

TEST(FileLog, FileThatCannotBeOpenedThrowsErrorOpeningFile) {
  try {
    CFileLog log("Q:\\no\\such\\folder\\x.log", 16, true);
    FAIL() << "constructed on an impossible path";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Error Opening file");
  }
}

}  // namespace
