// What the end-to-end tests of the print path share: the product key, the
// trace log, the agent's events, starting and stopping agents.
#pragma once
#include <windows.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "testkit/notify_listener.h"
#include "testkit/process.h"

namespace printpath {

extern const wchar_t kProductKey[];  // Software\Scrivo under HKLM

void SetDword(const wchar_t* name, DWORD value, const wchar_t* key = kProductKey,
              HKEY root = HKEY_LOCAL_MACHINE);
void SetString(const wchar_t* name, const std::wstring& value, const wchar_t* key = kProductKey);
bool ValueExists(const wchar_t* name, const wchar_t* key = kProductKey);

std::wstring UserName();
DWORD Session();
std::wstring PrintEventName();   // Global\<user>_Scrivo_printevent_SESSION<n>
std::wstring SharedEventName();  // Global\Scrivo_shared_printing_event
std::wstring KillEventName();    // Global\Scrivo_killevent
bool EventExists(const std::wstring& name);
bool SignalEvent(const std::wstring& name);

std::wstring TraceLogPath();  // C:\vp_log.txt
// The texts of the trace log's lines (after the time stamp); lines that do
// not match the format are returned whole with the prefix "BAD LINE: ".
std::vector<std::wstring> TraceTexts();
size_t CountTrace(const std::wstring& text);
bool WaitForTrace(const std::wstring& text, size_t count, DWORD timeoutMs);

// A folder of the temporary folder, with a blank in its name, emptied.
std::wstring ScratchFolder(const std::wstring& name);

// Runs spoolside with `args`; its exit code (or 999 when it did not end).
// `output` (when given) gets what it printed.
DWORD RunSpoolSide(const std::wstring& args, DWORD timeoutMs = 60000,
                   std::wstring* output = nullptr);

// The stand-ins' record file (see standins/record) and their settings.
std::wstring RecordPath();
std::vector<std::wstring> Records();
// Records that begin with `prefix` + tab, without that prefix.
std::vector<std::wstring> RecordsOf(const std::wstring& prefix);
bool WaitForRecords(const std::wstring& prefix, size_t count, DWORD timeoutMs);
void SetStandinString(const wchar_t* program, const wchar_t* name, const std::wstring& value);
void SetStandinDword(const wchar_t* program, const wchar_t* name, DWORD value);

// A folder `name` in the temporary folder holding copies of `programs` from
// the build's bin folder.
std::wstring ProgramCopies(const std::wstring& name, const std::vector<std::wstring>& programs);

// Each test starts from a clean machine state: no product key, no trace log,
// no agent; message mode with a listener, so a report never blocks on a box.
class PrintPathTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts inkagent and waits until its events exist.
  testkit::Process StartAgent(const std::wstring& folder = L"");
  // Sets the kill event and waits for every agent started by this test.
  void StopAgents();

  std::unique_ptr<testkit::NotifyListener> listener_;
  std::vector<testkit::Process*> agents_;
  testkit::Process agent_;
};

}  // namespace printpath
