#include "common/report.h"

#include "common/product.h"
#include "common/trace_log.h"
#include "w32/strings.h"

namespace scrivo {
namespace {

ReportConfig g_config;

int ShowBox(const std::wstring& text) {
  return ::MessageBoxW(nullptr, text.c_str(), g_config.caption.c_str(), MB_OK | MB_SYSTEMMODAL);
}

void Broadcast(UINT code, DWORD error) {
  ::SendNotifyMessageW(HWND_BROADCAST, g_config.notifyMessage, code, static_cast<LPARAM>(error));
}

}  // namespace

void ConfigureReports(const ReportConfig& config) { g_config = config; }

const ReportConfig& ReportSettings() { return g_config; }

std::wstring BoxText(const std::wstring& text) {
  std::wstring shown = w32::ReplaceAll(text, L"%PRINTER_NAME%", kProductName);
  return w32::ReplaceAll(shown, L"\\n", L"\n");
}

std::wstring SystemErrorReportText(const std::wstring& text, DWORD error) {
  return w32::Format(L"%s\nError # %d: %s", text.c_str(), static_cast<int>(error),
                     w32::SystemErrorText(error, 512).c_str());
}

int ReportError(const std::wstring& text, UINT code) {
  if (g_config.log) TraceLine(text);
  if (g_config.messageMode && code != 0) {
    Broadcast(code, 0);
    return 1;
  }
  return ShowBox(BoxText(text));
}

int ReportSystemError(const std::wstring& text, UINT code, DWORD error) {
  if (error == 0) error = ::GetLastError();
  if (error == 0) return 0;
  const std::wstring built = SystemErrorReportText(text, error);
  if (g_config.log) TraceLine(built);
  if (g_config.messageMode && code != 0) {
    Broadcast(code, error);
    return 1;
  }
  return ShowBox(built);
}

}  // namespace scrivo
