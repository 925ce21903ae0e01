// Module-wide state of a COM server: how many of its objects are alive and how
// many locks clients hold (IClassFactory::LockServer), which together decide
// DllCanUnloadNow. Each DLL that links w32 has its own counts.
#pragma once
#include <windows.h>

namespace w32 {

class ComModule {
 public:
  // Every COM object of the module (class factories included) counts itself
  // from construction to destruction.
  static void ObjectCreated() noexcept;
  static void ObjectDestroyed() noexcept;
  static void Lock() noexcept;
  static void Unlock() noexcept;

  static long ObjectCount() noexcept;
  static long LockCount() noexcept;
  // S_OK when no object is alive and no lock is held, else S_FALSE.
  static HRESULT CanUnloadNow() noexcept;

  // The module that holds this code: the DLL that links w32, or the program.
  static HMODULE Handle() noexcept;
};

}  // namespace w32
