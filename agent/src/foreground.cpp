#include "foreground.h"

#include <winspool.h>

#include <mutex>
#include <vector>

#include "common/product.h"

namespace agent {
namespace {

std::mutex g_frontLock;

void SetLockTimeout(DWORD timeout) {
  ::SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0,
                          reinterpret_cast<void*>(static_cast<UINT_PTR>(timeout)),
                          SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
}

bool MayAllowAnyProcess() {
  OSVERSIONINFOEXW extended = {};
  extended.dwOSVersionInfoSize = sizeof(extended);
  DWORD major = 0, minor = 0;
  if (::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&extended))) {
    major = extended.dwMajorVersion;
    minor = extended.dwMinorVersion;
  } else {
    OSVERSIONINFOW basic = {};
    basic.dwOSVersionInfoSize = sizeof(basic);
    if (!::GetVersionExW(&basic)) return false;
    major = basic.dwMajorVersion;
    minor = basic.dwMinorVersion;
  }
  return major > 4 || (major == 4 && minor == 90);
}

struct PrinterCloser {
  HANDLE printer;
  ~PrinterCloser() { ::ClosePrinter(printer); }
};

}  // namespace

void BringToFront(HWND window) {
  std::lock_guard<std::mutex> hold(g_frontLock);
  const bool otherThread = ::GetWindowThreadProcessId(window, nullptr) != ::GetCurrentThreadId();
  DWORD saved = 0;
  if (otherThread) {
    ::SystemParametersInfoW(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &saved, 0);
    SetLockTimeout(0);
    if (MayAllowAnyProcess()) ::AllowSetForegroundWindow(ASFW_ANY);
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    if (!(keys[VK_MENU] & 0x80)) {
      ::keybd_event(VK_MENU, 0, KEYEVENTF_EXTENDEDKEY, 0);
      ::keybd_event(VK_MENU, 0, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP, 0);
    }
  }
  ::SetForegroundWindow(window);
  if (otherThread) SetLockTimeout(saved);
}

void PurgePrintedJobs() {
  HANDLE printer = nullptr;
  PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
  std::wstring name = scrivo::kProductName;
  if (!::OpenPrinterW(&name[0], &printer, &defaults) || !printer) return;
  PrinterCloser closer{printer};
  DWORD needed = 0, returned = 0;
  ::EnumJobsW(printer, 0, 256, 1, nullptr, 0, &needed, &returned);
  if (needed == 0 || needed > (16u << 20)) return;
  std::vector<BYTE> buffer(needed);
  if (!::EnumJobsW(printer, 0, 256, 1, buffer.data(), needed, &needed, &returned)) return;
  const auto* jobs = reinterpret_cast<const JOB_INFO_1W*>(buffer.data());
  for (DWORD i = 0; i < returned && (i + 1) * sizeof(JOB_INFO_1W) <= buffer.size(); ++i)
    if (jobs[i].Status & JOB_STATUS_PRINTED)
      ::SetJobW(printer, jobs[i].JobId, 0, nullptr, JOB_CONTROL_DELETE);
}

}  // namespace agent
