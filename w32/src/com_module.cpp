#include "w32/com_module.h"

#include <atomic>

#include "w32/module_path.h"

namespace w32 {

namespace {
std::atomic<long> g_objects{0};
std::atomic<long> g_locks{0};
}  // namespace

void ComModule::ObjectCreated() noexcept { ++g_objects; }
void ComModule::ObjectDestroyed() noexcept { --g_objects; }
void ComModule::Lock() noexcept { ++g_locks; }
void ComModule::Unlock() noexcept { --g_locks; }
long ComModule::ObjectCount() noexcept { return g_objects.load(); }
long ComModule::LockCount() noexcept { return g_locks.load(); }

HRESULT ComModule::CanUnloadNow() noexcept {
  return g_objects.load() == 0 && g_locks.load() == 0 ? S_OK : S_FALSE;
}

HMODULE ComModule::Handle() noexcept {
  // This function's own address lies in whichever module linked the library.
  return ModuleOfAddress(reinterpret_cast<const void*>(&ComModule::Handle));
}

}  // namespace w32
