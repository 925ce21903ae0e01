#include "log/trace.h"

#include <cstdarg>
#include <memory>
#include <stdexcept>

#include "log/file_log.h"
#include "log/system_report.h"
#include "w32/module_path.h"
#include "w32/registry.h"
#include "w32/strings.h"

const wchar_t kTraceKeyPath[] = L"Software\\Brindle\\Scrivo\\Trace";

namespace {
DWORD g_traceStatus = 0;
CLog* g_log = nullptr;
}  // namespace

DWORD ReadTraceSwitch() {
  w32::RegKey key = w32::RegKey::Create(HKEY_CURRENT_USER, kTraceKeyPath,
                                        KEY_READ | KEY_CREATE_SUB_KEY | KEY_SET_VALUE);
  if (!key.Valid()) return 0;
  return key.ReadDwordOr(L"TRACE_STATUS", 0);
}

DWORD TraceStatus() { return g_traceStatus; }
CLog* ProcessLog() { return g_log; }

std::string DefaultLogPath() {
  std::string path = w32::Narrow(w32::ModulePath());
  const size_t slash = path.find_last_of('\\');
  path.erase(slash == std::string::npos ? 0 : slash + 1);
  return path + "PrinterEvents.log";
}

bool OpenProcessLog(DWORD traceStatus, const std::string& logPath, bool writeSystemReport) {
  CloseProcessLog();
  if (traceStatus == 0) return false;
  std::unique_ptr<CFileLog> sink;
  try {
    sink = std::make_unique<CFileLog>(logPath, 8192, true);
  } catch (const std::exception&) {
    // The program folder may not be writable for the user: run without a log.
    return false;
  }
  g_log = new CLog(std::move(sink), kLogInfo, true);
  g_traceStatus = traceStatus;
  g_log->WriteRaw("\n\n");
  if (writeSystemReport) g_log->Log(kLogInfo, BuildSystemReport().c_str());
  return true;
}

bool StartProcessLog() { return OpenProcessLog(ReadTraceSwitch(), DefaultLogPath(), true); }

void CloseProcessLog() {
  g_traceStatus = 0;
  delete g_log;
  g_log = nullptr;
}

namespace {
void LogV(int level, const char* format, va_list args) {
  if (!TraceOn()) return;
  g_log->Log(level, w32::FormatV(format, args).c_str());
}
}  // namespace

void LogInfo(const char* text) {
  if (TraceOn()) g_log->Log(kLogInfo, text);
}
void LogError(const char* text) {
  if (TraceOn()) g_log->Log(kLogError, text);
}
void LogInfoF(const char* format, ...) {
  va_list args;
  va_start(args, format);
  LogV(kLogInfo, format, args);
  va_end(args);
}
void LogErrorF(const char* format, ...) {
  va_list args;
  va_start(args, format);
  LogV(kLogError, format, args);
  va_end(args);
}
