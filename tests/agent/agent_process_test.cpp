// inkagent as a process: its events, a second instance, the kill event, the
// trace log and the start-up reports.
#include "print_path.h"
#include "testkit/ui_driver.h"
#include "w32/strings.h"
#include "w32/unique_handle.h"

namespace printpath {
namespace {

class AgentProcess : public PrintPathTest {};

TEST_F(AgentProcess, CreatesTheThreeEventsWithTheirExactNames) {
  EXPECT_FALSE(EventExists(PrintEventName()));
  agent_ = StartAgent();
  ASSERT_TRUE(agent_.Running());
  EXPECT_TRUE(EventExists(w32::Format(L"Global\\%s_Scrivo_printevent_SESSION%lu",
                                      UserName().c_str(), Session())));
  EXPECT_TRUE(EventExists(L"Global\\Scrivo_shared_printing_event"));
  EXPECT_TRUE(EventExists(L"Global\\Scrivo_killevent"));
  EXPECT_FALSE(EventExists(L"Scrivo_printevent"));  // the legacy name is not used
  // Not signalled: opening and waiting with no time-out finds them unset.
  w32::KernelHandle e(::OpenEventW(SYNCHRONIZE, FALSE, PrintEventName().c_str()));
  EXPECT_EQ(::WaitForSingleObject(e.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

TEST_F(AgentProcess, SecondAgentExitsAtOnceWhileTheFirstRuns) {
  agent_ = StartAgent();
  ASSERT_TRUE(agent_.Running());
  const DWORD start = ::GetTickCount();
  testkit::Process second = testkit::Process::Start(testkit::QuotedProgram(L"inkagent.exe"));
  ASSERT_TRUE(second.Valid());
  EXPECT_EQ(second.Wait(30000), 0u);
  const DWORD elapsed = ::GetTickCount() - start;
  std::printf("second agent ended %lu ms after it was started\n", elapsed);
  EXPECT_LT(elapsed, 5000u);  // meant to be well under a second; bound kept loose for busy machines
  EXPECT_TRUE(agent_.Running());
  EXPECT_TRUE(EventExists(PrintEventName()));
  EXPECT_TRUE(listener_->Received().empty());  // silently: a beep, no report
}

TEST_F(AgentProcess, UserAndSharedEventsEachStartAJobThread) {
  SetDword(L"Log", 1);
  agent_ = StartAgent();
  ASSERT_TRUE(WaitForTrace(L"Waiting for events.", 1, 10000));
  ASSERT_TRUE(SignalEvent(PrintEventName()));
  ASSERT_TRUE(WaitForTrace(L"Processing thread started.", 1, 20000));
  ASSERT_TRUE(SignalEvent(SharedEventName()));
  ASSERT_TRUE(WaitForTrace(L"Processing thread started.", 2, 20000));
  EXPECT_EQ(CountTrace(L"New print job received. Start processing thread."), 1u);
  EXPECT_EQ(CountTrace(L"Shared print job received. Start processing thread."), 1u);
  const auto texts = TraceTexts();
  ASSERT_GE(texts.size(), 2u);
  EXPECT_EQ(texts[0], L"Agent started.");
  EXPECT_EQ(texts[1], L"Waiting for events.");
  for (const auto& t : texts) EXPECT_EQ(t.find(L"BAD LINE"), std::wstring::npos) << t;
}

TEST_F(AgentProcess, KillEventEndsTheAgentWithExitCodeZero) {
  SetDword(L"Log", 1);
  agent_ = StartAgent();
  ASSERT_TRUE(WaitForTrace(L"Waiting for events.", 1, 10000));
  ASSERT_EQ(RunSpoolSide(L"--kill"), 0u);
  EXPECT_EQ(agent_.Wait(30000), 0u);
  const auto texts = TraceTexts();
  ASSERT_GE(texts.size(), 4u);
  EXPECT_EQ(texts[texts.size() - 2], L"Suicide.");
  EXPECT_EQ(texts[texts.size() - 1], L"Agent exits.");
  EXPECT_FALSE(EventExists(PrintEventName()));
}

TEST_F(AgentProcess, WithLogOffNoTraceFileAppears) {
  SetDword(L"Log", 0);
  agent_ = StartAgent();
  ASSERT_TRUE(SignalEvent(PrintEventName()));
  ASSERT_TRUE(SignalEvent(SharedEventName()));
  ::Sleep(500);
  ASSERT_TRUE(SignalEvent(KillEventName()));
  EXPECT_EQ(agent_.Wait(30000), 0u);
  EXPECT_EQ(::GetFileAttributesW(TraceLogPath().c_str()), INVALID_FILE_ATTRIBUTES);
}

// A mutex under the print event's name makes creating the event fail.
class BlockedPrintEvent : public AgentProcess {
 protected:
  void SetUp() override {
    AgentProcess::SetUp();
    blocker_.Reset(::CreateMutexW(nullptr, FALSE, PrintEventName().c_str()));
    ASSERT_TRUE(blocker_.Valid());
  }
  w32::KernelHandle blocker_;
};

TEST_F(BlockedPrintEvent, MessageModeBroadcastsCodeAndError) {
  testkit::Process agent = testkit::Process::Start(testkit::QuotedProgram(L"inkagent.exe"));
  ASSERT_TRUE(agent.Valid());
  EXPECT_EQ(agent.Wait(30000), 0u);
  auto got = listener_->WaitFor(0xF002, 10000);
  ASSERT_TRUE(got.has_value());
  EXPECT_EQ(got->lParam, ERROR_INVALID_HANDLE);
}

TEST_F(BlockedPrintEvent, OtherwiseTheBoxShowsTextAndCaption) {
  SetDword(L"Message Mode", 0);
  testkit::Process agent = testkit::Process::Start(testkit::QuotedProgram(L"inkagent.exe"));
  ASSERT_TRUE(agent.Valid());
  auto box = testkit::WaitForMessageBox(agent.Id(), 30000);
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->caption, L"Scrivo agent");
  EXPECT_EQ(box->text, L"Failed to create event object [0].\nError # 6: " +
                           w32::SystemErrorText(ERROR_INVALID_HANDLE, 512));
  EXPECT_TRUE(testkit::PressMessageBoxButton(box->window, IDOK));
  EXPECT_EQ(agent.Wait(30000), 0u);
  EXPECT_TRUE(listener_->Received().empty());
}

// C:\vp_log.txt as a folder cannot be opened as the log.
class UnopenableLog : public AgentProcess {
 protected:
  void SetUp() override {
    AgentProcess::SetUp();
    SetDword(L"Log", 1);
    ASSERT_TRUE(::CreateDirectoryW(TraceLogPath().c_str(), nullptr));
  }
  void TearDown() override {
    ::RemoveDirectoryW(TraceLogPath().c_str());
    AgentProcess::TearDown();
  }
};

TEST_F(UnopenableLog, BoxNamesTheLogFileWithoutSystemText) {
  SetDword(L"Message Mode", 0);
  testkit::Process agent = testkit::Process::Start(testkit::QuotedProgram(L"inkagent.exe"));
  auto box = testkit::WaitForMessageBox(agent.Id(), 30000);
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->caption, L"Scrivo agent");
  EXPECT_EQ(box->text, L"Failed to open the log file:\nC:\\vp_log.txt");
  testkit::PressMessageBoxButton(box->window, IDOK);
  EXPECT_EQ(agent.Wait(30000), 0u);
  EXPECT_FALSE(EventExists(PrintEventName()));  // it ended before creating events
}

TEST_F(UnopenableLog, MessageModeBroadcastsTheCodeWithoutError) {
  testkit::Process agent = testkit::Process::Start(testkit::QuotedProgram(L"inkagent.exe"));
  EXPECT_EQ(agent.Wait(30000), 0u);
  auto got = listener_->WaitFor(0xF001, 10000);
  ASSERT_TRUE(got.has_value());
  EXPECT_EQ(got->lParam, 0);
}

}  // namespace
}  // namespace printpath
