#include <gtest/gtest.h>

#include "command_line.h"

using converter::JobArgument;

TEST(JobArgument, TakesTheRestUnchanged) {
  const std::wstring self = L"C:\\Scrivo\\inkdisp.exe";
  EXPECT_EQ(JobArgument(L"C:\\Scrivo\\inkdisp.exe C:\\spool\\job 1.ini", self), L"C:\\spool\\job 1.ini");
  EXPECT_EQ(JobArgument(L"\"C:\\Scrivo\\inkdisp.exe\" C:\\spool\\job.ini", self), L"C:\\spool\\job.ini");
  EXPECT_EQ(JobArgument(L"inkdisp.exe   \"C:\\spool\\job.ini\"", self), L"\"C:\\spool\\job.ini\"");
  EXPECT_EQ(JobArgument(L"inkdisp.exe", self), L"");
  EXPECT_EQ(JobArgument(L"", self), L"");
  EXPECT_EQ(JobArgument(L"inkdisp a  b ", self), L"a  b ");
}

TEST(JobArgument, OwnPathWithBlanksNeedsNoQuotes) {
  const std::wstring self = L"C:\\Program Files\\Scrivo\\inkdisp.exe";
  EXPECT_EQ(JobArgument(L"C:\\Program Files\\Scrivo\\inkdisp.exe C:\\a b\\job.ini", self),
            L"C:\\a b\\job.ini");
  EXPECT_EQ(JobArgument(L"c:\\program files\\scrivo\\INKDISP.EXE C:\\job.ini", self), L"C:\\job.ini");
  EXPECT_EQ(JobArgument(L"C:\\Program Files\\Scrivo\\inkdisp C:\\job.ini", self), L"C:\\job.ini");
  EXPECT_EQ(JobArgument(L"\"C:\\Program Files\\Scrivo\\inkdisp.exe\" C:\\job.ini", self), L"C:\\job.ini");
  // Another program's path is split at its first blank, as usual.
  EXPECT_EQ(JobArgument(L"C:\\Program Files\\Other\\x.exe j", self), L"Files\\Other\\x.exe j");
}
