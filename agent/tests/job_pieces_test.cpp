#include <gtest/gtest.h>

#include <cstdio>

#include "job_pieces.h"
#include "w32/registry.h"

namespace {

TEST(JobValueName, FollowsSourceAndSystem) {
  EXPECT_EQ(agent::JobValueName(agent::kFromPrintEvent, false, L"printuser"), L"printuser");
  EXPECT_EQ(agent::JobValueName(agent::kFromSharedEvent, false, L"printuser"), L"Shared");
  EXPECT_EQ(agent::JobValueName(agent::kFromPrintEvent, true, L"printuser"), L"Print Job");
  EXPECT_EQ(agent::JobValueName(agent::kFromSharedEvent, true, L"printuser"), L"Print Job");
  EXPECT_EQ(agent::JobValueName(agent::kFromPrintEvent, false, L""), L"");  // the key's default value
}

class JobValue : public ::testing::Test {
 protected:
  void SetUp() override {
    w32::DeleteKeyTree(HKEY_CURRENT_USER, kKey);
    key_ = w32::RegKey::Create(HKEY_CURRENT_USER, kKey);
    ASSERT_TRUE(key_.Valid());
  }
  void TearDown() override { w32::DeleteKeyTree(HKEY_CURRENT_USER, kKey); }
  static constexpr const wchar_t* kKey = L"Software\\ScrivoTest\\job_value";
  w32::RegKey key_;
};

TEST_F(JobValue, ReadsPathsUpTo259Characters) {
  const std::wstring fits(259, L'a'), over(260, L'b');
  key_.WriteString(L"fits", fits);
  key_.WriteString(L"over", over);
  const DWORD number = 5;
  ::RegSetValueExW(key_.Get(), L"number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4);
  LONG error = 0;
  EXPECT_EQ(agent::ReadJobValue(key_.Get(), L"fits", &error), fits);
  EXPECT_FALSE(agent::ReadJobValue(key_.Get(), L"over", &error));
  EXPECT_NE(error, ERROR_SUCCESS);
  EXPECT_FALSE(agent::ReadJobValue(key_.Get(), L"number", &error));
  EXPECT_FALSE(agent::ReadJobValue(key_.Get(), L"absent", &error));
  EXPECT_EQ(error, ERROR_FILE_NOT_FOUND);
}

TEST_F(JobValue, HandoffSettingsKeepDefaultsForMissingOrOverlongValues) {
  key_.WriteString(L"Client Application", L"C:\\a b\\inkclient.exe");
  key_.WriteDword(L"Transfer Mode", 2);
  key_.WriteString(L"Target Window Title", std::wstring(300, L't'));
  key_.WriteDword(L"Message ID", 0x8123);
  const agent::HandoffSettings s = agent::ReadHandoffSettings(key_);
  EXPECT_EQ(s.clientApplication, L"C:\\a b\\inkclient.exe");
  EXPECT_EQ(s.transferMode, 2u);
  EXPECT_EQ(s.targetClass, L"");
  EXPECT_EQ(s.targetTitle, L"");
  EXPECT_EQ(s.clipboardFormat, L"");
  EXPECT_EQ(s.messageId, 0x8123u);
}

TEST(ClientCommand, QuotesOnlyUnquotedPathsWithBlanks) {
  EXPECT_EQ(agent::ClientCommand(L"C:\\Program Files\\Scrivo\\inkclient.exe"),
            L"\"C:\\Program Files\\Scrivo\\inkclient.exe\"");
  EXPECT_EQ(agent::ClientCommand(L"\"C:\\Program Files\\x.exe\" -a"), L"\"C:\\Program Files\\x.exe\" -a");
  EXPECT_EQ(agent::ClientCommand(L"C:\\Scrivo\\inkclient.exe"), L"C:\\Scrivo\\inkclient.exe");
}

TEST(AuxiliaryCommand, AppendsThePathUnquotedAndQuotesAFolderWithBlanks) {
  EXPECT_EQ(agent::AuxiliaryCommand(L"C:\\Scrivo\\", L"inkdisp.exe", L"C:\\spool\\job 1.ini"),
            L"C:\\Scrivo\\inkdisp.exe C:\\spool\\job 1.ini");
  EXPECT_EQ(agent::AuxiliaryCommand(L"C:\\Program Files\\Scrivo\\", L"progress.exe", L"C:\\j.ini"),
            L"\"C:\\Program Files\\Scrivo\\progress.exe\" C:\\j.ini");
  const std::wstring longPath(300, L'p');
  EXPECT_EQ(agent::AuxiliaryCommand(L"C:\\S\\", L"progress.exe", longPath).size(), 5 + 12 + 1 + 300u);
  EXPECT_EQ(agent::AgentFolder().back(), L'\\');
}

TEST(AnsiBlock, HoldsThePathZeroFilledOrRefusesIt) {
  const auto block = agent::MakeAnsiBlock(L"C:\\spool\\job 7.ini");
  ASSERT_TRUE(block);
  EXPECT_STREQ(block->data(), "C:\\spool\\job 7.ini");
  for (size_t i = 18; i < block->size(); ++i) ASSERT_EQ((*block)[i], '\0');
  EXPECT_TRUE(agent::MakeAnsiBlock(std::wstring(259, L'x')));
  EXPECT_FALSE(agent::MakeAnsiBlock(std::wstring(260, L'x')));
  EXPECT_FALSE(agent::MakeAnsiBlock(L"C:\\spool \x4e2d\\job.ini"));  // no such character in the code page
}

TEST(ClipboardMessage, StaysInTheApplicationRange) {
  EXPECT_EQ(agent::ClipboardMessage(0), 0x8000u);
  EXPECT_EQ(agent::ClipboardMessage(0x7FFF), 0x8000u);
  EXPECT_EQ(agent::ClipboardMessage(0x8000), 0x8000u);
  EXPECT_EQ(agent::ClipboardMessage(0xBFFF), 0xBFFFu);
  EXPECT_EQ(agent::ClipboardMessage(0xC000), 0x8000u);
}

TEST(PreprocessingResult, OnlyCancelInAnyCaseCancels) {
  wchar_t temp[MAX_PATH + 1] = {};
  ::GetTempPathW(MAX_PATH, temp);
  const std::wstring job = std::wstring(temp) + L"preprocessing result.ini";
  for (const auto& [text, cancels] :
       std::vector<std::pair<std::wstring, bool>>{{L"Cancel", true}, {L"cancel", true},
                                                  {L"CANCEL", true}, {L"Cancelled", false},
                                                  {L"", false}, {L"Go", false}}) {
    ::DeleteFileW(job.c_str());
    if (!text.empty())
      ::WritePrivateProfileStringW(L"Document", L"PreprocessingResult", text.c_str(), job.c_str());
    EXPECT_EQ(agent::PreprocessingCancelled(job), cancels) << text.size();
  }
  ::DeleteFileW(job.c_str());
  EXPECT_FALSE(agent::PreprocessingCancelled(job));
}

}  // namespace
