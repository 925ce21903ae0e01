// The job thread end to end: the spool stand-in writes and signals a job, the
// agent carries it through the stand-ins and inkdisp to the receiver.
#include <algorithm>
#include <set>

#include "print_path.h"
#include "testkit/ui_driver.h"
#include "w32/module_path.h"
#include "w32/registry.h"
#include "w32/strings.h"

namespace printpath {
namespace {

class JobThread : public PrintPathTest {
 protected:
  void SetUp() override {
    PrintPathTest::SetUp();
    if (HasFatalFailure()) return;
    SetDword(L"Log", 1);
    SetDword(L"EMF: Enabled", 1, kProductKey, HKEY_CURRENT_USER);  // pages stay for the receiver
    spool_ = ScratchFolder(L"spool with blanks");
    Client(L"clientstub.exe");
  }
  void Client(const std::wstring& program) {
    SetString(L"Client Application", w32::JoinPath(testkit::BinFolder(), program));
  }
  // One job through spoolside (waiting until the agent took it); its path.
  std::wstring Spool(const std::wstring& extra = L"", const std::wstring& folder = L"") {
    std::wstring output;
    const DWORD code = RunSpoolSide(L"--quiet --pages 2 --wait 30000 --folder \"" +
                                        (folder.empty() ? spool_ : folder) + L"\" " + extra,
                                    60000, &output);
    EXPECT_EQ(code, 0u) << w32::Narrow(output);
    while (!output.empty() && (output.back() == L'\n' || output.back() == L'\r')) output.pop_back();
    return output;
  }
  std::wstring PageOf(const std::wstring& job, int i) {
    return job.substr(0, job.size() - 4) + w32::Format(L" page %d.emf", i + 1);
  }
  // The job thread has ended: its last trace line for a finished hand-off.
  ::testing::AssertionResult WaitForReport(UINT code) {
    if (listener_->WaitFor(code, 60000)) return ::testing::AssertionSuccess();
    auto failure = ::testing::AssertionFailure() << "no report " << code << "; trace:";
    for (const auto& t : TraceTexts()) failure << "\n  " << w32::Narrow(t);
    failure << "\nrecords:";
    for (const auto& r : Records()) failure << "\n  " << w32::Narrow(r);
    failure << "\nreports:";
    for (const auto& n : listener_->Received()) failure << " " << n.wParam << "/" << n.lParam;
    return failure;
  }

  std::wstring spool_;
};

TEST_F(JobThread, CommandLineModeGivesTheClientTheExactPath) {
  agent_ = StartAgent();
  const std::wstring job = Spool();
  ASSERT_NE(job.find(L"spool with blanks"), std::wstring::npos);
  ASSERT_TRUE(WaitForRecords(L"client", 1, 60000));
  EXPECT_EQ(RecordsOf(L"client"), std::vector<std::wstring>{job});
  EXPECT_EQ(RecordsOf(L"preprocess"), std::vector<std::wstring>{job});
  EXPECT_EQ(RecordsOf(L"progress"), std::vector<std::wstring>{job});
  EXPECT_EQ(RecordsOf(L"progress closed").size(), 1u);
  EXPECT_FALSE(ValueExists(UserName().c_str()));
  EXPECT_TRUE(w32::FileExists(job));  // the client's now
  EXPECT_TRUE(w32::FileExists(PageOf(job, 0)));
  ASSERT_TRUE(WaitForTrace(L"Run client application.", 1, 30000));
  const auto texts = TraceTexts();
  const std::vector<std::wstring> expected = {
      L"Processing thread started.", L"Preprocessing finished.", L"Progress indicator started.",
      L"Starting converter.", L"Converter started.", L"Converter exits.", L"Converter finished.",
      L"Progress indicator process terminated.", L"Run client application."};
  auto at = texts.begin();
  for (const auto& e : expected) {
    at = std::find(at, texts.end(), e);
    ASSERT_NE(at, texts.end()) << "missing or out of order: " << w32::Narrow(e);
  }
  EXPECT_NE(std::find_if(texts.begin(), texts.end(),
                         [](const std::wstring& t) {
                           return t.rfind(L"Print job info successfully retrieved. JobID=", 0) == 0 &&
                                  t.size() > 46;
                         }),
            texts.end());
  EXPECT_TRUE(listener_->Received().empty());
}

TEST_F(JobThread, SharedEventAndSystemValueAreTakenToo) {
  agent_ = StartAgent();
  const std::wstring shared = Spool(L"--for shared");
  ASSERT_TRUE(WaitForRecords(L"client", 1, 60000));
  const std::wstring system = Spool(L"--for system");
  ASSERT_TRUE(WaitForRecords(L"client", 2, 60000));
  EXPECT_EQ(RecordsOf(L"client"), (std::vector<std::wstring>{shared, system}));
  EXPECT_FALSE(ValueExists(L"Shared"));
  EXPECT_FALSE(ValueExists(L"SYSTEM"));
}

TEST_F(JobThread, ClientApplicationWithBlanksIsQuoted) {
  const std::wstring folder = ProgramCopies(L"client with blanks", {L"clientstub.exe"});
  SetString(L"Client Application", w32::JoinPath(folder, L"clientstub.exe"));
  agent_ = StartAgent();
  const std::wstring job = Spool();
  ASSERT_TRUE(WaitForRecords(L"client", 1, 60000));
  EXPECT_EQ(RecordsOf(L"client")[0], job);
}

TEST_F(JobThread, PreprocessorCancelStopsTheJobOtherTextsDoNot) {
  agent_ = StartAgent();
  SetStandinString(L"preprocess", L"Result", L"cancel");
  const std::wstring cancelled = Spool();
  ASSERT_TRUE(WaitForTrace(L"Preprocessing finished.", 1, 60000));
  SetStandinString(L"preprocess", L"Result", L"Cancelled");
  const std::wstring kept = Spool();
  ASSERT_TRUE(WaitForRecords(L"client", 1, 60000));
  EXPECT_EQ(RecordsOf(L"client"), std::vector<std::wstring>{kept});
  EXPECT_EQ(CountTrace(L"Starting converter."), 1u);  // the cancelled job ran no converter
  EXPECT_TRUE(w32::FileExists(cancelled));          // nothing deleted
  EXPECT_TRUE(w32::FileExists(PageOf(cancelled, 0)));
  EXPECT_TRUE(listener_->Received().empty());
}

TEST_F(JobThread, EmfDisabledDeletesThePagesBeforeTheHandOff) {
  SetDword(L"EMF: Enabled", 0, kProductKey, HKEY_CURRENT_USER);
  agent_ = StartAgent();
  const std::wstring job = Spool();
  ASSERT_TRUE(WaitForRecords(L"client", 1, 60000));
  EXPECT_FALSE(w32::FileExists(PageOf(job, 0)));
  EXPECT_FALSE(w32::FileExists(PageOf(job, 1)));
  EXPECT_EQ(::GetPrivateProfileIntW(L"EMF", L"Count", 99, job.c_str()), 99u);
  EXPECT_EQ(::GetPrivateProfileIntW(L"Document", L"JobID", 0, job.c_str()) > 0, true);
}

TEST_F(JobThread, CopyDataModeStartsTheTargetAndSendsThe260ByteAnsiPath) {
  SetDword(L"Transfer Mode", 1);
  SetString(L"Target Window Class", L"ScrivoTestTarget");
  SetDword(L"Message ID", 77);
  Client(L"targetapp.exe");
  agent_ = StartAgent();
  const std::wstring job = Spool();
  ASSERT_TRUE(WaitForRecords(L"copydata", 1, 60000));
  EXPECT_EQ(RecordsOf(L"copydata")[0], L"77\t260\tzero-filled\t" + job);
  EXPECT_EQ(RecordsOf(L"target started").size(), 1u);
  EXPECT_TRUE(WaitForTrace(L"Sending WM_COPYDATA.", 1, 10000));
  EXPECT_TRUE(w32::FileExists(job));
  EXPECT_TRUE(listener_->Received().empty());

  // A second job finds the running target: no second start.
  const std::wstring second = Spool();
  ASSERT_TRUE(WaitForRecords(L"copydata", 2, 60000));
  EXPECT_EQ(RecordsOf(L"copydata")[1], L"77\t260\tzero-filled\t" + second);
  EXPECT_EQ(RecordsOf(L"target started").size(), 1u);
}

TEST_F(JobThread, ClipboardModePostsMessage8000ForIdZero) {
  SetDword(L"Transfer Mode", 2);
  SetString(L"Target Window Title", L"Scrivo test target");
  SetString(L"Clipboard Format", L"Scrivo job path");
  Client(L"targetapp.exe");
  agent_ = StartAgent();
  const std::wstring job = Spool();
  ASSERT_TRUE(WaitForRecords(L"clipboard", 1, 60000));
  const std::wstring got = RecordsOf(L"clipboard")[0];
  EXPECT_EQ(got.substr(0, 7), L"0x8000\t");
  const size_t tab = got.find(L'\t', 7);
  EXPECT_GE(std::stoi(got.substr(7, tab - 7)), 260);  // the block, rounded up by the heap at most
  EXPECT_EQ(got.substr(tab), L"\tzero-filled\t" + job);
  EXPECT_TRUE(w32::FileExists(job));
  EXPECT_TRUE(listener_->Received().empty());
}

TEST_F(JobThread, TwentyJobsBackToBackAreEachHandedOverOnce) {
  agent_ = StartAgent();
  std::wstring output;
  ASSERT_EQ(RunSpoolSide(L"--quiet --pages 1 --jobs 20 --folder \"" + spool_ + L"\"", 300000, &output),
            0u)
      << w32::Narrow(output);
  std::vector<std::wstring> jobs;
  size_t start = 0;
  for (size_t end; (end = output.find(L'\n', start)) != std::wstring::npos; start = end + 1)
    jobs.push_back(output.substr(start, end - start));
  for (auto& j : jobs)
    if (!j.empty() && j.back() == L'\r') j.pop_back();
  ASSERT_EQ(jobs.size(), 20u);
  ASSERT_TRUE(WaitForRecords(L"client", 20, 120000));
  ::Sleep(500);  // a twenty-first hand-off would show up now
  const auto got = RecordsOf(L"client");
  EXPECT_EQ(got.size(), 20u);
  EXPECT_EQ(std::set<std::wstring>(got.begin(), got.end()),
            std::set<std::wstring>(jobs.begin(), jobs.end()));
  EXPECT_TRUE(listener_->Received().empty());
}

// Each failure row: its code (in message mode) and what happens to the job file.
TEST_F(JobThread, NoJobValueReportsF005WithTheRegistryError) {
  agent_ = StartAgent();
  ASSERT_TRUE(SignalEvent(PrintEventName()));
  auto got = listener_->WaitFor(0xF005, 60000);
  ASSERT_TRUE(got.has_value());
  EXPECT_EQ(got->lParam, ERROR_FILE_NOT_FOUND);
}

TEST_F(JobThread, EmptyClientApplicationReports112AndDeletesTheJob) {
  SetString(L"Client Application", L"");
  agent_ = StartAgent();
  const std::wstring job = Spool();
  ASSERT_TRUE(WaitForReport(112));
  EXPECT_TRUE(testkit::WaitUntil([&] { return !w32::FileExists(job); }, 10000));
  EXPECT_TRUE(RecordsOf(L"preprocess").empty());
}

TEST_F(JobThread, WindowModesWithoutClassOrTitleReport111AndDeleteTheJob) {
  for (DWORD mode : {1u, 2u}) {
    listener_->Clear();
    SetDword(L"Transfer Mode", mode);
    agent_ = StartAgent();
    const std::wstring job = Spool();
    ASSERT_TRUE(WaitForReport(111)) << mode;
    EXPECT_TRUE(testkit::WaitUntil([&] { return !w32::FileExists(job); }, 10000));
    EXPECT_TRUE(w32::FileExists(PageOf(job, 0)));
    StopAgents();
  }
}

TEST_F(JobThread, UnstartableClientReports113AndDeletesTheJob) {
  SetString(L"Client Application", L"C:\\nowhere\\inkclient.exe");
  agent_ = StartAgent();
  const std::wstring job = Spool();
  ASSERT_TRUE(WaitForReport(113));
  EXPECT_TRUE(testkit::WaitUntil([&] { return !w32::FileExists(job); }, 10000));
}

TEST_F(JobThread, MissingConverterReportsF010DeletesTheJobAndStops) {
  const std::wstring folder = ProgramCopies(L"agent without converter", {L"inkagent.exe", L"progress.exe"});
  agent_ = StartAgent(folder);
  const std::wstring job = Spool();
  ASSERT_TRUE(WaitForReport(0xF010));
  EXPECT_TRUE(testkit::WaitUntil([&] { return !w32::FileExists(job); }, 10000));
  ASSERT_TRUE(WaitForRecords(L"progress closed", 1, 30000));  // the indicator does not stay
  ::Sleep(500);
  EXPECT_TRUE(RecordsOf(L"client").empty());  // no hand-off of a deleted job
}

TEST_F(JobThread, AgentFolderWithBlanksRunsEveryProgramAndMissingHelpersAreSkipped) {
  const std::wstring full = ProgramCopies(
      L"agent folder with blanks", {L"inkagent.exe", L"inkdisp.exe", L"preprocess.exe", L"progress.exe"});
  agent_ = StartAgent(full);
  const std::wstring job = Spool();
  ASSERT_TRUE(WaitForRecords(L"client", 1, 60000));
  EXPECT_EQ(RecordsOf(L"preprocess"), std::vector<std::wstring>{job});
  EXPECT_EQ(RecordsOf(L"progress"), std::vector<std::wstring>{job});
  EXPECT_EQ(CountTrace(L"Converter finished."), 1u);
  EXPECT_EQ(CountTrace(L"Converter started."), 1u);  // inkdisp found its argument
  StopAgents();

  const std::wstring bare = ProgramCopies(L"agent only", {L"inkagent.exe", L"inkdisp.exe"});
  ::DeleteFileW(RecordPath().c_str());
  agent_ = StartAgent(bare);
  const std::wstring second = Spool();
  ASSERT_TRUE(WaitForRecords(L"client", 1, 60000));
  EXPECT_EQ(RecordsOf(L"client")[0], second);
  EXPECT_TRUE(RecordsOf(L"preprocess").empty());
  EXPECT_TRUE(RecordsOf(L"progress").empty());
  EXPECT_TRUE(listener_->Received().empty());
}

TEST_F(JobThread, LongJobPathStartsTheProgressIndicator) {
  // Agent folder + "progress.exe " + a path of about 240 characters: over 260.
  std::wstring folder = spool_;
  while (folder.size() < 220) folder += L"\\deeper folder";
  agent_ = StartAgent();
  const std::wstring second = Spool(L"", folder);
  ASSERT_GT(second.size() + testkit::BinFolder().size() + 14, 260u);
  ASSERT_TRUE(WaitForRecords(L"client", 1, 60000));
  EXPECT_EQ(RecordsOf(L"progress").back(), second);
}

TEST_F(JobThread, CopyDataWithoutAReceivingWindowReportsF007AndKeepsTheJob) {
  SetDword(L"Transfer Mode", 1);
  SetString(L"Target Window Class", L"ScrivoTestTarget");
  SetString(L"Client Application", L"C:\\nowhere\\target.exe");
  agent_ = StartAgent();
  const std::wstring job = Spool();
  ASSERT_TRUE(WaitForReport(0xF007));
  EXPECT_TRUE(w32::FileExists(job));
  EXPECT_TRUE(w32::FileExists(PageOf(job, 0)));
}

TEST_F(JobThread, CopyDataGivesUpOnATargetThatNeverMakesItsWindow) {
  SetDword(L"Transfer Mode", 1);
  SetString(L"Target Window Class", L"ScrivoTestTarget");
  SetStandinDword(L"target", L"No Window", 1);
  Client(L"targetapp.exe");
  agent_ = StartAgent();
  const std::wstring job = Spool();
  const DWORD start = ::GetTickCount();
  ASSERT_TRUE(WaitForReport(0xF007));
  std::printf("mode 1 gave up %lu ms after the job was taken\n", ::GetTickCount() - start);
  EXPECT_TRUE(w32::FileExists(job));
  EXPECT_TRUE(RecordsOf(L"copydata").empty());
}

// A job thread still busy at the stop (here searching for a target window
// that never comes) is ended with the agent, which still exits with 0.
TEST_F(JobThread, KillEventEndsTheAgentWhileAJobThreadIsBusy) {
  SetDword(L"Transfer Mode", 1);
  SetString(L"Target Window Class", L"ScrivoTestTarget");
  SetStandinDword(L"target", L"No Window", 1);
  Client(L"targetapp.exe");
  agent_ = StartAgent();
  const std::wstring job = Spool();
  // The target runs (without the window searched for): the thread searches.
  ASSERT_TRUE(WaitForRecords(L"target started", 1, 60000));
  ASSERT_EQ(RunSpoolSide(L"--kill"), 0u);
  EXPECT_EQ(agent_.Wait(30000), 0u);
  EXPECT_EQ(TraceTexts().back(), L"Agent exits.");
  EXPECT_TRUE(w32::FileExists(job));  // the job is kept for a later try
}

TEST_F(JobThread, ClipboardWithoutAReceivingWindowReportsF007AndDeletesJobAndPages) {
  SetDword(L"Transfer Mode", 2);
  SetString(L"Target Window Class", L"ScrivoTestTarget");
  SetString(L"Clipboard Format", L"Scrivo job path");
  SetString(L"Client Application", L"C:\\nowhere\\target.exe");
  agent_ = StartAgent();
  const std::wstring job = Spool();
  ASSERT_TRUE(WaitForReport(0xF007));
  EXPECT_TRUE(testkit::WaitUntil([&] { return !w32::FileExists(job); }, 10000));
  EXPECT_FALSE(w32::FileExists(PageOf(job, 0)));
  EXPECT_FALSE(w32::FileExists(PageOf(job, 1)));
}

TEST_F(JobThread, ClipboardRefusingTheDataReportsF008AndDeletesJobAndPages) {
  SetDword(L"Transfer Mode", 2);
  SetString(L"Target Window Class", L"ScrivoTestTarget");
  SetString(L"Clipboard Format", L"");  // no format can be registered under no name
  Client(L"targetapp.exe");
  agent_ = StartAgent();
  const std::wstring job = Spool();
  ASSERT_TRUE(WaitForReport(0xF008));
  EXPECT_TRUE(testkit::WaitUntil([&] { return !w32::FileExists(job); }, 10000));
  EXPECT_FALSE(w32::FileExists(PageOf(job, 0)));
}

TEST_F(JobThread, ClipboardHeldOpenReportsF009AndKeepsTheJob) {
  SetDword(L"Transfer Mode", 2);
  SetString(L"Target Window Class", L"ScrivoTestTarget");
  SetString(L"Clipboard Format", L"Scrivo job path");
  Client(L"targetapp.exe");
  agent_ = StartAgent();
  // Held open with a window of ours: Wine lets two openers without a window
  // share the clipboard.
  HWND holder = ::CreateWindowExW(0, L"STATIC", L"clipboard holder", WS_POPUP, 0, 0, 1, 1, nullptr,
                                  nullptr, nullptr, nullptr);
  ASSERT_TRUE(holder);
  ASSERT_TRUE(::OpenClipboard(holder));
  const std::wstring job = Spool();
  const ::testing::AssertionResult reported = WaitForReport(0xF009);
  ::CloseClipboard();
  ::DestroyWindow(holder);
  ASSERT_TRUE(reported);
  EXPECT_TRUE(w32::FileExists(job));
  EXPECT_TRUE(RecordsOf(L"clipboard").empty());
}

TEST_F(JobThread, PathTheAnsiBlockCannotCarryIsRefusedAndKept) {
  SetDword(L"Transfer Mode", 1);
  SetString(L"Target Window Class", L"ScrivoTestTarget");
  Client(L"targetapp.exe");
  agent_ = StartAgent();
  const std::wstring job = Spool(L"", ScratchFolder(L"spool \x4e2d\x6587"));
  ASSERT_TRUE(WaitForReport(0xF015));
  EXPECT_TRUE(w32::FileExists(job));
  EXPECT_TRUE(RecordsOf(L"preprocess").empty());
  EXPECT_TRUE(RecordsOf(L"copydata").empty());
}

}  // namespace
}  // namespace printpath
