#include <gtest/gtest.h>

#include <thread>

#include "common/report.h"
#include "common/trace_log.h"
#include "test_files.h"
#include "testkit/notify_listener.h"
#include "testkit/ui_driver.h"

namespace {

// Reports with a notify message of the tests' own, so that no other test's
// listener ever sees these broadcasts.
class Reports : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(listener_.Ready());
    ASSERT_TRUE(scrivo::OpenTraceLog(path_));
  }
  void TearDown() override {
    scrivo::CloseTraceLog();
    ::DeleteFileW(path_.c_str());
    scrivo::ConfigureReports({});
  }
  void Configure(bool messageMode, bool log = true) {
    scrivo::ConfigureReports({L"Scrivo agent", log, messageMode, listener_.Message()});
  }
  std::vector<std::wstring> TracedTexts() {
    std::vector<std::wstring> texts;
    std::wstring all, text;
    for (const auto& line : testfiles::ReadLogLines(path_)) {
      if (testfiles::MatchesLineFormat(line, &text)) {
        if (!all.empty()) texts.push_back(all);
        all = text;
      } else {
        all += L"\r\n" + line;  // a traced text with its own line breaks
      }
    }
    if (!all.empty()) texts.push_back(all);
    return texts;
  }
  testkit::NotifyListener listener_{L"CommonTests_notify_message"};
  std::wstring path_ = testfiles::FreshPath(L"report");
};

TEST_F(Reports, MessageModeBroadcastsCodeAndErrorAndTracesTheRawText) {
  Configure(true);
  EXPECT_EQ(scrivo::ReportError(L"The %PRINTER_NAME% printer\\nis off.", scrivo::kCodeNotConfigured), 1);
  EXPECT_EQ(scrivo::ReportSystemError(L"Failed to get print job info.", scrivo::kCodeNoJobValue,
                                      ERROR_FILE_NOT_FOUND),
            1);
  ASSERT_TRUE(listener_.WaitForCount(2, 10000));
  const auto got = listener_.Received();
  EXPECT_EQ(got[0].wParam, 111u);
  EXPECT_EQ(got[0].lParam, 0);
  EXPECT_EQ(got[1].wParam, 0xF005u);
  EXPECT_EQ(got[1].lParam, ERROR_FILE_NOT_FOUND);

  scrivo::CloseTraceLog();
  const auto texts = TracedTexts();
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0], L"The %PRINTER_NAME% printer\\nis off.");  // placeholder kept
  EXPECT_EQ(texts[1], L"Failed to get print job info.");
  EXPECT_EQ(texts[2].rfind(L"Error # 2: ", 0), 0u);
}

TEST_F(Reports, SystemErrorFallsBackToTheLastErrorAndOtherwiseReportsNothing) {
  Configure(true);
  ::SetLastError(ERROR_ACCESS_DENIED);
  EXPECT_EQ(scrivo::ReportSystemError(L"x", scrivo::kCodeProductKey, 0), 1);
  ::SetLastError(0);
  EXPECT_EQ(scrivo::ReportSystemError(L"nothing", scrivo::kCodeProductKey, 0), 0);
  ASSERT_TRUE(listener_.WaitForCount(1, 10000));
  ::Sleep(200);
  const auto got = listener_.Received();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].lParam, ERROR_ACCESS_DENIED);
  scrivo::CloseTraceLog();
  EXPECT_EQ(TracedTexts().size(), 2u);  // "x" and its error line; "nothing" left none
}

TEST_F(Reports, CodeZeroIsShownEvenInMessageMode) {
  Configure(true, false);
  int result = 0;
  std::thread reporter([&] { result = scrivo::ReportError(L"uncoded", 0); });
  auto box = testkit::WaitForMessageBox(::GetCurrentProcessId(), 10000);
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->text, L"uncoded");
  testkit::PressMessageBoxButton(box->window, IDOK);
  reporter.join();
  EXPECT_EQ(result, IDOK);
}

TEST_F(Reports, BoxShowsTheReplacedTextWithTheCaption) {
  Configure(false);
  int result = 0;
  std::thread reporter([&] {
    result = scrivo::ReportError(
        L"The %PRINTER_NAME% printer has not been properly configured.\\nPlease re-install the "
        L"%PRINTER_NAME% software.",
        scrivo::kCodeNotConfigured);
  });
  auto box = testkit::WaitForMessageBox(::GetCurrentProcessId(), 10000);
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->caption, L"Scrivo agent");
  EXPECT_EQ(box->text,
            L"The Scrivo printer has not been properly configured.\nPlease re-install the Scrivo "
            L"software.");
  // System-modal, OK only, no icon.
  const LONG_PTR exStyle = ::GetWindowLongPtrW(box->window, GWL_EXSTYLE);
  EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
  EXPECT_EQ(testkit::ControlById(box->window, IDCANCEL), nullptr);
  testkit::PressMessageBoxButton(box->window, IDOK);
  reporter.join();
  EXPECT_EQ(result, IDOK);
  EXPECT_TRUE(listener_.Received().empty());
}

TEST_F(Reports, SystemErrorBoxShowsTheBuiltTextUnchanged) {
  Configure(false);
  std::thread reporter([&] {
    scrivo::ReportSystemError(L"Failed to open registry key\nHKLM\\Software\\Scrivo",
                              scrivo::kCodeProductKey, ERROR_ACCESS_DENIED);
  });
  auto box = testkit::WaitForMessageBox(::GetCurrentProcessId(), 10000);
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->text, scrivo::SystemErrorReportText(
                           L"Failed to open registry key\nHKLM\\Software\\Scrivo", 5));
  EXPECT_EQ(box->text.rfind(L"Failed to open registry key\nHKLM\\Software\\Scrivo\nError # 5: ", 0), 0u);
  EXPECT_GT(box->text.size(), 60u);  // the system's text follows
  testkit::PressMessageBoxButton(box->window, IDOK);
  reporter.join();
}

TEST(BoxText, ReplacesPlaceholderAndBackslashN) {
  EXPECT_EQ(scrivo::BoxText(L"%PRINTER_NAME%: a\\nb\nc %PRINTER_NAME%"), L"Scrivo: a\nb\nc Scrivo");
  EXPECT_EQ(scrivo::BoxText(L"C:\\dir\\x"), L"C:\\dir\\x");
}

}  // namespace
