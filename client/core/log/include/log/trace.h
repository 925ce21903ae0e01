// The process's trace switch and its one diagnostic log.
//
// The switch is read once at start-up; while it is 0 nothing is logged and no
// log file exists. Callers test TraceOn() before each log call; the helpers
// below test it themselves as well, so a call with tracing off is harmless.
#pragma once
#include <windows.h>
#include <string>

#include "log/log.h"

// Registry key under HKEY_CURRENT_USER holding the value "TRACE_STATUS".
extern const wchar_t kTraceKeyPath[];

// Reads "TRACE_STATUS" (REG_DWORD) from the trace key, creating the key when
// it is missing; 0 when the key cannot be opened or the value is missing or
// of another type. Never writes the value.
DWORD ReadTraceSwitch();

// The process-wide state: the switch and the log (null while tracing is off).
DWORD TraceStatus();
CLog* ProcessLog();
inline bool TraceOn() { return TraceStatus() != 0 && ProcessLog() != nullptr; }

// Reads the switch and, when it is on, opens "PrinterEvents.log" in the
// program's folder (appending), writes the run separator "\n\n" and the
// system report. A log file that cannot be opened leaves tracing off: the
// program goes on without a log. Returns true when a log is open.
bool StartProcessLog();
// The same with an explicit switch value and log path (used by start-up code
// that has already read the switch, and by tests). Replaces an earlier log.
bool OpenProcessLog(DWORD traceStatus, const std::string& logPath, bool writeSystemReport);
// Closes the process log (end of tests; the program itself never closes it).
void CloseProcessLog();

// Path of "PrinterEvents.log" beside the running program.
std::string DefaultLogPath();

// Logging helpers that do nothing while tracing is off.
void LogInfo(const char* text);
void LogError(const char* text);
void LogInfoF(const char* format, ...);
void LogErrorF(const char* format, ...);
