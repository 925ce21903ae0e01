// inkdisp.exe as the agent runs it, against job files, settings and reports.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "testkit/notify_listener.h"
#include "testkit/process.h"
#include "w32/module_path.h"
#include "w32/registry.h"
#include "w32/strings.h"
#include "w32/unique_handle.h"

namespace {

const wchar_t kProductKey[] = L"Software\\Scrivo";
const wchar_t kDefaultsKey[] = L"Software\\Scrivo\\Defaults";

std::string ReadAll(const std::wstring& path) {
  std::string bytes;
  FILE* f = _wfopen(path.c_str(), L"rb");
  if (!f) return bytes;
  char chunk[4096];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof(chunk), f)) > 0) bytes.append(chunk, n);
  std::fclose(f);
  return bytes;
}

void WriteAll(const std::wstring& path, const std::string& bytes) {
  FILE* f = _wfopen(path.c_str(), L"wb");
  ASSERT_NE(f, nullptr);
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

class Inkdisp : public ::testing::Test {
 protected:
  void SetUp() override {
    w32::DeleteKeyTree(HKEY_LOCAL_MACHINE, kProductKey);
    w32::DeleteKeyTree(HKEY_CURRENT_USER, kProductKey);
    ::DeleteFileW(L"C:\\vp_log.txt");
    wchar_t temp[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH, temp);
    folder_ = w32::Format(L"%sinkdisp job %lu", temp, ::GetCurrentProcessId());
    ::CreateDirectoryW(folder_.c_str(), nullptr);
    ASSERT_TRUE(listener_.Ready());
    Machine(L"Message Mode", 1);
  }
  void TearDown() override {
    for (const auto& f : files_) ::DeleteFileW(f.c_str());
    ::RemoveDirectoryW(folder_.c_str());
    w32::DeleteKeyTree(HKEY_LOCAL_MACHINE, kProductKey);
    w32::DeleteKeyTree(HKEY_CURRENT_USER, kProductKey);
    ::DeleteFileW(L"C:\\vp_log.txt");
  }
  void Machine(const wchar_t* name, DWORD v, const wchar_t* key = kProductKey) {
    w32::RegKey::Create(HKEY_LOCAL_MACHINE, key).WriteDword(name, v);
  }
  void User(DWORD v) { w32::RegKey::Create(HKEY_CURRENT_USER, kProductKey).WriteDword(L"EMF: Enabled", v); }
  std::wstring Page(int i) {
    const std::wstring p = w32::Format(L"%s\\page %d.emf", folder_.c_str(), i);
    WriteAll(p, "emf");
    files_.push_back(p);
    return p;
  }
  // A job file with `pages` pages, its device and count as given.
  std::wstring Job(int pages, const std::wstring& device = L"Scrivo", const std::wstring& count = L"") {
    std::wstring body = L"[Device]\r\nDeviceName=" + device + L"\r\n[Document]\r\nJobID=3\r\n[EMF]\r\nCount=" +
                        (count.empty() ? std::to_wstring(pages) : count) + L"\r\n";
    for (int i = 0; i < pages; ++i) body += w32::Format(L"File%d=", i) + Page(i) + L"\r\n";
    job_ = folder_ + L"\\job file.ini";
    WriteAll(job_, w32::Narrow(body));
    files_.push_back(job_);
    return job_;
  }
  // Runs inkdisp as the agent does: program part unquoted, path after one blank.
  DWORD Run(const std::wstring& argument, const std::wstring& program = L"") {
    const std::wstring exe = program.empty() ? w32::JoinPath(testkit::BinFolder(), L"inkdisp.exe") : program;
    std::wstring line = exe + L" " + argument;
    std::vector<wchar_t> buffer(line.begin(), line.end());
    buffer.push_back(0);
    STARTUPINFOW si = {sizeof(si)};
    PROCESS_INFORMATION pi = {};
    if (!::CreateProcessW(exe.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
      return 998;
    w32::KernelHandle process(pi.hProcess), thread(pi.hThread);
    if (::WaitForSingleObject(pi.hProcess, 60000) != WAIT_OBJECT_0) {
      ::TerminateProcess(pi.hProcess, 1);
      return 999;
    }
    DWORD code = 0;
    ::GetExitCodeProcess(pi.hProcess, &code);
    return code;
  }
  bool AllPagesThere(int pages) {
    for (int i = 0; i < pages; ++i)
      if (!w32::FileExists(w32::Format(L"%s\\page %d.emf", folder_.c_str(), i))) return false;
    return true;
  }
  bool NoPageThere(int pages) {
    for (int i = 0; i < pages; ++i)
      if (w32::FileExists(w32::Format(L"%s\\page %d.emf", folder_.c_str(), i))) return false;
    return true;
  }
  std::wstring TraceText() {
    const std::string bytes = ReadAll(L"C:\\vp_log.txt");
    if (bytes.size() < 2) return L"";
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
  }

  testkit::NotifyListener listener_{L"Scrivo_notify_message"};
  std::wstring folder_, job_;
  std::vector<std::wstring> files_;
};

TEST_F(Inkdisp, WithoutAnySettingThePagesAndTheSectionGo) {
  Machine(L"Log", 1);
  const std::wstring job = Job(3);
  EXPECT_EQ(Run(job), 0u);
  EXPECT_TRUE(NoPageThere(3));
  const std::string after = ReadAll(job);
  EXPECT_EQ(after.find("[EMF]"), std::string::npos);
  EXPECT_EQ(after.find("File0"), std::string::npos);
  EXPECT_NE(after.find("DeviceName=Scrivo"), std::string::npos);
  const std::wstring trace = TraceText();
  EXPECT_NE(trace.find(L":\tConverter started.\r\n"), std::wstring::npos);
  EXPECT_NE(trace.find(L":\tDelete EMF files.\r\n"), std::wstring::npos);
  EXPECT_NE(trace.find(L":\tConverter exits.\r\n"), std::wstring::npos);
  EXPECT_TRUE(listener_.Received().empty());
}

TEST_F(Inkdisp, EnabledLeavesTheFileAsItWas) {
  User(1);
  const std::wstring job = Job(2);
  const std::string before = ReadAll(job);
  EXPECT_EQ(Run(job), 0u);
  EXPECT_TRUE(AllPagesThere(2));
  EXPECT_EQ(ReadAll(job), before);
}

TEST_F(Inkdisp, UserValueWinsOverTheMachineDefault) {
  Machine(L"EMF: Enabled", 0, kDefaultsKey);
  User(1);
  EXPECT_EQ(Run(Job(2)), 0u);
  EXPECT_TRUE(AllPagesThere(2));

  Machine(L"EMF: Enabled", 1, kDefaultsKey);
  User(0);
  EXPECT_EQ(Run(Job(2)), 0u);
  EXPECT_TRUE(NoPageThere(2));

  w32::DeleteKeyTree(HKEY_CURRENT_USER, kProductKey);
  EXPECT_EQ(Run(Job(2)), 0u);  // the machine's 1 alone
  EXPECT_TRUE(AllPagesThere(2));
}

TEST_F(Inkdisp, ForeignDeviceEndsWithOneAndNoTrace) {
  Machine(L"Log", 1);
  const std::wstring job = Job(2, L"SCRIVO");
  const std::string before = ReadAll(job);
  EXPECT_EQ(Run(job), 1u);
  EXPECT_EQ(ReadAll(job), before);
  EXPECT_TRUE(AllPagesThere(2));
  EXPECT_FALSE(w32::FileExists(L"C:\\vp_log.txt"));
  EXPECT_TRUE(listener_.Received().empty());
}

TEST_F(Inkdisp, ArgumentNamingNoFileIsReported) {
  const std::wstring job = Job(1);
  for (const std::wstring& bad : {L"\"" + job + L"\"", folder_ + L"\\nothing.ini", folder_ + L"\\*.ini",
                                  std::wstring(), folder_ + L"\\" + std::wstring(250, L'x') + L".ini"}) {
    listener_.Clear();
    EXPECT_EQ(Run(bad), 0u) << bad.size();
    auto got = listener_.WaitFor(0xF011, 10000);
    ASSERT_TRUE(got.has_value()) << w32::Narrow(bad);
    EXPECT_EQ(got->lParam, 0);
  }
  EXPECT_TRUE(AllPagesThere(1));
}

TEST_F(Inkdisp, NoPagesIsReported) {
  Job(0);
  EXPECT_EQ(Run(job_), 0u);
  auto got = listener_.WaitFor(0xF012, 10000);
  ASSERT_TRUE(got.has_value());
  EXPECT_EQ(got->lParam, 0);
}

TEST_F(Inkdisp, HugeCountDeletesThePagesPresentWithoutSpinning) {
  const std::wstring job = Job(2, L"Scrivo", L"2000000000");
  const DWORD start = ::GetTickCount();
  EXPECT_EQ(Run(job), 0u);
  std::printf("inkdisp with Count 2000000000 took %lu ms\n", ::GetTickCount() - start);
  EXPECT_TRUE(NoPageThere(2));
  EXPECT_EQ(ReadAll(job).find("[EMF]"), std::string::npos);
}

TEST_F(Inkdisp, LogThatCannotBeOpenedIsReportedWithTheError) {
  Machine(L"Log", 1);
  ASSERT_TRUE(::CreateDirectoryW(L"C:\\vp_log.txt", nullptr));
  EXPECT_EQ(Run(Job(1)), 0u);
  ::RemoveDirectoryW(L"C:\\vp_log.txt");
  auto got = listener_.WaitFor(0xF001, 10000);
  ASSERT_TRUE(got.has_value());
  EXPECT_NE(got->lParam, 0);  // the converter's report carries the error
  EXPECT_TRUE(AllPagesThere(1));
}

TEST_F(Inkdisp, RunsFromAFolderWithBlanksWithAnUnquotedProgramPart) {
  const std::wstring dir = folder_ + L"\\conv dir";
  ::CreateDirectoryW(dir.c_str(), nullptr);
  const std::wstring exe = dir + L"\\inkdisp.exe";
  ASSERT_TRUE(::CopyFileW(w32::JoinPath(testkit::BinFolder(), L"inkdisp.exe").c_str(), exe.c_str(), FALSE));
  EXPECT_EQ(Run(Job(2), exe), 0u);
  EXPECT_TRUE(NoPageThere(2));
  ::DeleteFileW(exe.c_str());
  ::RemoveDirectoryW(dir.c_str());
}

}  // namespace
