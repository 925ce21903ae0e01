#include "plugin_library.h"

#include "testkit/process.h"
#include "w32/module_path.h"

namespace drvui_test {

namespace {

template <class Fn>
Fn Export(HMODULE module, const char* name) {
  FARPROC found = module ? ::GetProcAddress(module, name) : nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(found));
}

}  // namespace

PluginLibrary::PluginLibrary(const std::wstring& path) : module_(::LoadLibraryW(path.c_str())) {
  getClassObject_ = Export<DllGetClassObjectFn>(module_.Get(), "DllGetClassObject");
  canUnloadNow_ = Export<DllCanUnloadNowFn>(module_.Get(), "DllCanUnloadNow");
}

PluginLibrary& PluginLibrary::Built() {
  static PluginLibrary library(w32::JoinPath(testkit::BinFolder(), L"inkdrvui.dll"));
  return library;
}

w32::ComPtr<IPrintOemUI> PluginLibrary::CreatePlugin() const {
  w32::ComPtr<IPrintOemUI> plugin;
  if (!Loaded()) return plugin;
  w32::ComPtr<IClassFactory> factory;
  if (FAILED(GetClassObject(CLSID_OEMUI, IID_IClassFactory, factory.PutVoid()))) return plugin;
  factory->CreateInstance(nullptr, IID_IPrintOemUI, plugin.PutVoid());
  return plugin;
}

}  // namespace drvui_test
