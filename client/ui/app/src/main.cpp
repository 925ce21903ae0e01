// inkclient: records where it lives ("Client Application" under the product
// key) and, given a job description file on its command line, shows the
// main window for the job until the job ends. Exit code 0 without a job or
// without a window, else what the main window ends the loop with (1 after a
// finished conversion, 2 after a cancel).
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <memory>

#include "log/trace.h"
#include "mainwnd/main_dlg.h"
#include "startup.h"
#include "w32/message_loop.h"
#include "w32/registry.h"
#include "w32/strings.h"

namespace {

const wchar_t kProductKey[] = L"Software\\Scrivo";

std::string OwnModulePath() {
  char path[260]{};
  const DWORD n = ::GetModuleFileNameA(nullptr, path, sizeof(path));
  return n > 0 && n < sizeof(path) ? std::string(path, n) : std::string();
}

int RunJob(HINSTANCE instance, const std::string& jobPath, int showCommand, w32::AppModule& module,
           const std::string& modulePath) {
  StartProcessLog();
  w32::MessageLoop loop;
  module.AddMessageLoop(&loop);
  const std::string appFolder = ApplicationFolder(modulePath);
  if (TraceOn()) {
    LogInfoF("%s - %s", "Starting, app home dir is", appFolder.c_str());
    LogInfoF("%s - %s", "Job is", jobPath.c_str());
  }
  auto window = std::make_unique<CMainDlg>(jobPath, appFolder, &loop);
  if (!window->Create(instance)) {
    window.reset();
    module.RemoveMessageLoop();
    return 0;
  }
  ::ShowWindow(window->Handle(), showCommand);
  const int result = loop.Run();
  module.RemoveMessageLoop();
  if (TraceOn()) LogInfo("Exit from app.");
  window.reset();
  return result;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  int result = 0;
  try {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES | ICC_COOL_CLASSES};
    ::InitCommonControlsEx(&controls);
    w32::AppModule module;

    // Registration: where the agent finds the client. Failures are silent.
    const std::string modulePath = OwnModulePath();
    const w32::RegKey key = w32::RegKey::Create(HKEY_LOCAL_MACHINE, kProductKey);
    if (key.Valid()) {
      ::RegSetValueExA(key.Get(), "Client Application", 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(modulePath.c_str()),
                       static_cast<DWORD>(modulePath.size() + 1));
    }
    // The job path is taken from the process's own command line, whole.
    const std::wstring job = JobPathFromCommandLine(::GetCommandLineW());
    if (!job.empty()) result = RunJob(instance, w32::Narrow(job), showCommand, module, modulePath);
    ::CoUninitialize();
  } catch (...) {
    result = 0;
  }
  return result;
}
