#include "settings_program.h"

#include <windows.h>
#include <string>

#include "product_info.h"
#include "w32/com_module.h"
#include "w32/module_path.h"
#include "w32/unique_handle.h"

namespace drvui {

void StartSettingsProgram() noexcept try {
  const std::wstring folder = w32::ModuleFolder(w32::ComModule::Handle());
  if (folder.empty()) return;
  const std::wstring program = w32::JoinPath(folder, kSettingsProgram);

  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started = {};
  // The path is the application name; no command line, so the program sees
  // no arguments. The caller's environment and current folder are passed on.
  if (!::CreateProcessW(program.c_str(), nullptr, nullptr, nullptr, FALSE,
                        NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup, &started))
    return;
  w32::KernelHandle process(started.hProcess);
  w32::KernelHandle thread(started.hThread);
} catch (...) {
  // No memory for the path: like a missing program, nothing is shown.
}

}  // namespace drvui
