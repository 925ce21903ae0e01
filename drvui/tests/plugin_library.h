// The test host's view of inkdrvui.dll: loads it as the printer driver's user
// interface does and takes plug-in objects through its exports only.
#pragma once
#include <windows.h>
#include <string>

#include "oem_ui_kit.h"
#include "w32/com_ptr.h"
#include "w32/unique_handle.h"

namespace drvui_test {

using DllGetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using DllCanUnloadNowFn = HRESULT(STDAPICALLTYPE*)();

class PluginLibrary {
 public:
  // Loads the DLL at `path`; Loaded() tells whether that and both exports worked.
  explicit PluginLibrary(const std::wstring& path);

  // The plug-in DLL built beside the tests, loaded once for the test program.
  static PluginLibrary& Built();

  bool Loaded() const { return getClassObject_ && canUnloadNow_; }
  HMODULE Module() const { return module_.Get(); }

  HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** ppv) const {
    return getClassObject_(clsid, riid, ppv);
  }
  HRESULT CanUnloadNow() const { return canUnloadNow_(); }

  // A new plug-in object through the class factory; empty on failure.
  w32::ComPtr<IPrintOemUI> CreatePlugin() const;

 private:
  w32::ModuleHandle module_;
  DllGetClassObjectFn getClassObject_ = nullptr;
  DllCanUnloadNowFn canUnloadNow_ = nullptr;
};

}  // namespace drvui_test
