#include "activation_context.h"

#include <atomic>
#include <string>

#include "w32/com_module.h"
#include "w32/module_path.h"

namespace drvui {

namespace {

using CreateActCtxWFn = HANDLE(WINAPI*)(PCACTCTXW);
using ReleaseActCtxFn = void(WINAPI*)(HANDLE);

// The manifest resource that makes an isolation-aware context.
constexpr WORD kManifestResourceId = 2;

// Set once by whichever thread first creates a context; never
// INVALID_HANDLE_VALUE.
std::atomic<HANDLE> g_context{nullptr};

// A Kernel32 function by name, or nullptr where the system has none.
template <class Fn>
Fn Kernel32Function(const char* name) {
  HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
  FARPROC found = kernel ? ::GetProcAddress(kernel, name) : nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(found));
}

HANDLE CreatePluginContext() noexcept try {
  auto create = Kernel32Function<CreateActCtxWFn>("CreateActCtxW");
  if (!create) return nullptr;
  const std::wstring path = w32::ModulePath(w32::ComModule::Handle());
  if (path.empty()) return nullptr;

  ACTCTXW request = {};
  request.cbSize = sizeof request;
  request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
  request.lpSource = path.c_str();
  request.lpResourceName = MAKEINTRESOURCEW(kManifestResourceId);
  const HANDLE context = create(&request);
  return context == INVALID_HANDLE_VALUE ? nullptr : context;
} catch (...) {
  return nullptr;  // no memory for the path: no context this time
}

void ReleaseContext(HANDLE context) {
  if (auto release = Kernel32Function<ReleaseActCtxFn>("ReleaseActCtx"))
    release(context);
}

}  // namespace

HANDLE PluginActivationContext() {
  if (HANDLE existing = g_context.load()) return existing;
  HANDLE created = CreatePluginContext();
  if (!created) return nullptr;
  // Two sheets opened at once on different threads: the first context wins.
  HANDLE earlier = nullptr;
  if (!g_context.compare_exchange_strong(earlier, created)) {
    ReleaseContext(created);
    return earlier;
  }
  return created;
}

void ReleasePluginActivationContext() {
  HANDLE context = g_context.exchange(nullptr);
  if (context) ReleaseContext(context);
}

}  // namespace drvui
