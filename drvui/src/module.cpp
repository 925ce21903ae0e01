// The DLL's entry points: the class object for the kit's plug-in class and
// whether the module may be unloaded.
#include <windows.h>
#include <unknwn.h>

#include "activation_context.h"
#include "oem_ui_kit.h"
#include "oem_ui_plugin.h"
#include "w32/class_factory.h"
#include "w32/com_module.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      ::DisableThreadLibraryCalls(module);
      break;
    case DLL_PROCESS_DETACH:
      drvui::ReleasePluginActivationContext();
      break;
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (!IsEqualCLSID(clsid, CLSID_OEMUI)) return CLASS_E_CLASSNOTAVAILABLE;
  return w32::ClassFactory<drvui::CInkOemUI>::Create(riid, ppv);
}

STDAPI DllCanUnloadNow() { return w32::ComModule::CanUnloadNow(); }
