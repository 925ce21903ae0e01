// Error reports of the agent and the converter: a system-modal message box
// with the program's caption or, in message mode, the registered notify
// message broadcast to every top-level window with (event code, error).
#pragma once
#include <windows.h>
#include <string>

namespace scrivo {

// Event codes of the reports. They run F001..F009, then continue at F010.
enum EventCode : UINT {
  kCodeLogOpen = 0xF001,
  kCodeCreatePrintEvent = 0xF002,
  kCodeCreateSharedEvent = 0xF003,
  kCodeCreateThread = 0xF004,
  kCodeNoJobValue = 0xF005,
  kCodeProductKey = 0xF006,
  kCodeTargetInaccessible = 0xF007,
  kCodeClipboardData = 0xF008,
  kCodeClipboardOpen = 0xF009,
  kCodeNoConverter = 0xF010,
  kCodeBadArgument = 0xF011,
  kCodeNoPages = 0xF012,
  kCodeDefaultsKey = 0xF013,
  kCodeUserKey = 0xF014,
  // The job path cannot be handed over in a 260-byte ANSI block.
  kCodePathTooLong = 0xF015,
  kCodeNotConfigured = 111,
  kCodeNoClientFile = 112,
  kCodeNoDispatcher = 113,
};

// How this program reports; set once at start-up, read-only afterwards.
struct ReportConfig {
  std::wstring caption;    // "Scrivo agent" / "Scrivo converter"
  bool log = false;        // "Log" nonzero: reports are traced too
  bool messageMode = false;  // "Message Mode" exactly 1
  UINT notifyMessage = 0;  // the registered "Scrivo_notify_message"
};
void ConfigureReports(const ReportConfig& config);
const ReportConfig& ReportSettings();

// Reports `text` without system text. Traces it unchanged (when Log is on);
// broadcasts (code, 0) in message mode when code is not 0 and returns 1;
// otherwise shows the box text and returns the message box's result.
int ReportError(const std::wstring& text, UINT code);

// Reports `text` with the system's text for `error` (0: the thread's last
// error). Returns 0 without any report or trace when both are 0, 1 when
// broadcast, otherwise the message box's result.
int ReportSystemError(const std::wstring& text, UINT code, DWORD error);

// The text a ReportError box shows: "%PRINTER_NAME%" replaced by the product
// name and each two-character sequence backslash-n by a line feed.
std::wstring BoxText(const std::wstring& text);
// The text a ReportSystemError builds: "%s\nError # %d: %s".
std::wstring SystemErrorReportText(const std::wstring& text, DWORD error);

}  // namespace scrivo
