#include "print_path.h"

#include "testkit/ui_driver.h"
#include "w32/module_path.h"
#include "w32/registry.h"
#include "w32/strings.h"
#include "w32/unique_handle.h"

namespace printpath {

const wchar_t kProductKey[] = L"Software\\Scrivo";

void SetDword(const wchar_t* name, DWORD value, const wchar_t* key, HKEY root) {
  w32::RegKey k = w32::RegKey::Create(root, key);
  ASSERT_TRUE(k.Valid());
  ASSERT_EQ(k.WriteDword(name, value), ERROR_SUCCESS);
}

void SetString(const wchar_t* name, const std::wstring& value, const wchar_t* key) {
  w32::RegKey k = w32::RegKey::Create(HKEY_LOCAL_MACHINE, key);
  ASSERT_TRUE(k.Valid());
  ASSERT_EQ(k.WriteString(name, value), ERROR_SUCCESS);
}

bool ValueExists(const wchar_t* name, const wchar_t* key) {
  w32::RegKey k = w32::RegKey::Open(HKEY_LOCAL_MACHINE, key);
  return k.Valid() &&
         ::RegQueryValueExW(k.Get(), name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::wstring UserName() {
  wchar_t name[256] = {};
  DWORD size = 256;
  ::GetUserNameW(name, &size);
  return name;
}

DWORD Session() {
  DWORD session = 0;
  ::ProcessIdToSessionId(::GetCurrentProcessId(), &session);
  return session;
}

std::wstring PrintEventName() {
  return w32::Format(L"Global\\%s_Scrivo_printevent_SESSION%lu", UserName().c_str(), Session());
}
std::wstring SharedEventName() { return L"Global\\Scrivo_shared_printing_event"; }
std::wstring KillEventName() { return L"Global\\Scrivo_killevent"; }

bool EventExists(const std::wstring& name) {
  w32::KernelHandle e(::OpenEventW(SYNCHRONIZE, FALSE, name.c_str()));
  return e.Valid();
}

bool SignalEvent(const std::wstring& name) {
  w32::KernelHandle e(::OpenEventW(EVENT_MODIFY_STATE, FALSE, name.c_str()));
  return e.Valid() && ::SetEvent(e.Get());
}

std::wstring TraceLogPath() { return L"C:\\vp_log.txt"; }

std::vector<std::wstring> TraceTexts() {
  std::vector<std::wstring> texts;
  w32::KernelHandle file(::CreateFileW(TraceLogPath().c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return texts;
  std::string bytes;
  char chunk[65536];
  DWORD got = 0;
  while (::ReadFile(file.Get(), chunk, sizeof(chunk), &got, nullptr) && got > 0)
    bytes.append(chunk, got);
  if (bytes.size() < 2 || bytes.compare(0, 2, "\xFF\xFE") != 0) {
    texts.push_back(L"BAD LINE: no byte-order mark");
    return texts;
  }
  std::wstring all(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
  size_t start = 0;
  for (size_t end; (end = all.find(L"\r\n", start)) != std::wstring::npos; start = end + 2) {
    const std::wstring line = all.substr(start, end - start);
    const wchar_t pattern[] = L"dddd-dd-dd dd:dd:dd.ddd:\t";
    bool ok = line.size() >= 25;
    for (size_t i = 0; ok && i < 25; ++i)
      ok = pattern[i] == L'd' ? (line[i] >= L'0' && line[i] <= L'9') : line[i] == pattern[i];
    texts.push_back(ok ? line.substr(25) : L"BAD LINE: " + line);
  }
  if (start < all.size()) texts.push_back(L"BAD LINE: " + all.substr(start));
  return texts;
}

size_t CountTrace(const std::wstring& text) {
  size_t n = 0;
  for (const std::wstring& t : TraceTexts()) n += t == text;
  return n;
}

bool WaitForTrace(const std::wstring& text, size_t count, DWORD timeoutMs) {
  return testkit::WaitUntil([&] { return CountTrace(text) >= count; }, timeoutMs, 50);
}

std::wstring ScratchFolder(const std::wstring& name) {
  wchar_t temp[MAX_PATH + 1] = {};
  ::GetTempPathW(MAX_PATH + 1, temp);
  const std::wstring folder = w32::JoinPath(temp, name);
  ::CreateDirectoryW(folder.c_str(), nullptr);
  WIN32_FIND_DATAW data;
  w32::FindHandle find(::FindFirstFileW(w32::JoinPath(folder, L"*").c_str(), &data));
  if (find) {
    do {
      if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        ::DeleteFileW(w32::JoinPath(folder, data.cFileName).c_str());
    } while (::FindNextFileW(find.Get(), &data));
  }
  return folder;
}

DWORD RunSpoolSide(const std::wstring& args, DWORD timeoutMs, std::wstring* output) {
  std::wstring ignored;
  const auto code = testkit::RunAndCapture(testkit::QuotedProgram(L"spoolside.exe") + L" " + args,
                                           timeoutMs, output ? output : &ignored);
  return code ? *code : 999;
}

std::wstring RecordPath() {
  wchar_t temp[MAX_PATH + 1] = {};
  ::GetTempPathW(MAX_PATH + 1, temp);
  return w32::JoinPath(temp, L"scrivo standin records.txt");
}

std::vector<std::wstring> Records() {
  std::vector<std::wstring> lines;
  w32::KernelHandle file(::CreateFileW(RecordPath().c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return lines;
  std::string bytes;
  char chunk[65536];
  DWORD got = 0;
  while (::ReadFile(file.Get(), chunk, sizeof(chunk), &got, nullptr) && got > 0)
    bytes.append(chunk, got);
  const std::wstring all = w32::Widen(bytes, CP_UTF8);
  size_t start = 0;
  for (size_t end; (end = all.find(L'\n', start)) != std::wstring::npos; start = end + 1)
    lines.push_back(all.substr(start, end - start));
  return lines;
}

std::vector<std::wstring> RecordsOf(const std::wstring& prefix) {
  std::vector<std::wstring> found;
  for (const std::wstring& line : Records()) {
    if (line == prefix) found.push_back(L"");
    else if (line.rfind(prefix + L"\t", 0) == 0) found.push_back(line.substr(prefix.size() + 1));
  }
  return found;
}

bool WaitForRecords(const std::wstring& prefix, size_t count, DWORD timeoutMs) {
  return testkit::WaitUntil([&] { return RecordsOf(prefix).size() >= count; }, timeoutMs, 50);
}

void SetStandinString(const wchar_t* program, const wchar_t* name, const std::wstring& value) {
  w32::RegKey k = w32::RegKey::Create(HKEY_CURRENT_USER, std::wstring(L"Software\\ScrivoStandins\\") + program);
  ASSERT_EQ(k.WriteString(name, value), ERROR_SUCCESS);
}

void SetStandinDword(const wchar_t* program, const wchar_t* name, DWORD value) {
  w32::RegKey k = w32::RegKey::Create(HKEY_CURRENT_USER, std::wstring(L"Software\\ScrivoStandins\\") + program);
  ASSERT_EQ(k.WriteDword(name, value), ERROR_SUCCESS);
}

std::wstring ProgramCopies(const std::wstring& name, const std::vector<std::wstring>& programs) {
  const std::wstring folder = ScratchFolder(name);
  for (const std::wstring& program : programs)
    EXPECT_TRUE(::CopyFileW(w32::JoinPath(testkit::BinFolder(), program).c_str(),
                            w32::JoinPath(folder, program).c_str(), FALSE))
        << w32::Narrow(program);
  return folder;
}

void PrintPathTest::SetUp() {
  // An agent left over by an earlier, failed test would make ours exit at once.
  if (EventExists(KillEventName())) SignalEvent(KillEventName());
  ASSERT_TRUE(testkit::WaitUntil([] { return !EventExists(PrintEventName()); }, 20000, 50))
      << "an agent of an earlier test still runs";
  w32::DeleteKeyTree(HKEY_LOCAL_MACHINE, kProductKey);
  w32::DeleteKeyTree(HKEY_CURRENT_USER, kProductKey);
  ::DeleteFileW(TraceLogPath().c_str());
  listener_ = std::make_unique<testkit::NotifyListener>(L"Scrivo_notify_message");
  ASSERT_TRUE(listener_->Ready());
  SetDword(L"Message Mode", 1);
  w32::DeleteKeyTree(HKEY_CURRENT_USER, L"Software\\ScrivoStandins");
  ::DeleteFileW(RecordPath().c_str());
  w32::RegKey::Create(HKEY_CURRENT_USER, L"Software\\ScrivoStandins").WriteString(L"Record File", RecordPath());
}

void PrintPathTest::TearDown() {
  StopAgents();
  listener_.reset();
  w32::DeleteKeyTree(HKEY_LOCAL_MACHINE, kProductKey);
  w32::DeleteKeyTree(HKEY_CURRENT_USER, kProductKey);
  w32::DeleteKeyTree(HKEY_CURRENT_USER, L"Software\\ScrivoStandins");
  // Stand-ins that a test left open end with their windows.
  for (const wchar_t* cls : {L"ScrivoTestTarget", L"ScrivoTestOther", L"Scrivo progress indicator"})
    for (HWND w = ::FindWindowW(cls, nullptr); w; w = ::FindWindowW(cls, nullptr)) {
      ::PostMessageW(w, WM_CLOSE, 0, 0);
      if (!testkit::WaitForWindowGone(w, 10000)) break;
    }
}

testkit::Process PrintPathTest::StartAgent(const std::wstring& folder) {
  testkit::Process agent = testkit::Process::Start(
      folder.empty() ? testkit::QuotedProgram(L"inkagent.exe")
                     : L"\"" + w32::JoinPath(folder, L"inkagent.exe") + L"\"");
  EXPECT_TRUE(agent.Valid()) << agent.Error();
  EXPECT_TRUE(testkit::WaitUntil(
      [&] { return EventExists(PrintEventName()) || !agent.Running(); }, 30000, 20));
  return agent;
}

void PrintPathTest::StopAgents() {
  if (EventExists(KillEventName())) SignalEvent(KillEventName());
  if (agent_.Valid()) {
    EXPECT_TRUE(agent_.Wait(30000).has_value()) << "the agent did not stop on the kill event";
  }
  for (testkit::Process* p : agents_)
    if (p->Valid()) p->Wait(30000);
  testkit::WaitUntil([] { return !EventExists(KillEventName()); }, 20000, 50);
}

}  // namespace printpath
