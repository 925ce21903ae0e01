// Owners of Win32 handles: one template, one traits class per kind of handle.
// Movable, not copyable; the handle is closed when the owner goes away.
#pragma once
#include <windows.h>
#include <utility>

namespace w32 {

template <typename Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  UniqueHandle() noexcept : h_(Traits::Invalid()) {}
  explicit UniqueHandle(Handle h) noexcept : h_(h) {}
  ~UniqueHandle() { Reset(); }

  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : h_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }

  Handle Get() const noexcept { return h_; }
  bool Valid() const noexcept { return Traits::IsValid(h_); }
  explicit operator bool() const noexcept { return Valid(); }

  Handle Release() noexcept { return std::exchange(h_, Traits::Invalid()); }
  void Reset(Handle h = Traits::Invalid()) noexcept {
    if (Traits::IsValid(h_)) Traits::Close(h_);
    h_ = h;
  }
  // For out-parameters of creating calls: closes what was held first.
  Handle* Put() noexcept {
    Reset();
    return &h_;
  }

 private:
  Handle h_;
};

// Kernel objects: events, threads, processes, files, mutexes. Both NULL and
// INVALID_HANDLE_VALUE mean "no handle", since creating calls use either.
struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() noexcept { return nullptr; }
  static bool IsValid(Handle h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(Handle h) noexcept { ::CloseHandle(h); }
};
using KernelHandle = UniqueHandle<KernelHandleTraits>;

struct FindHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static bool IsValid(Handle h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(Handle h) noexcept { ::FindClose(h); }
};
using FindHandle = UniqueHandle<FindHandleTraits>;

struct RegKeyTraits {
  using Handle = HKEY;
  static Handle Invalid() noexcept { return nullptr; }
  static bool IsValid(Handle h) noexcept { return h != nullptr; }
  static void Close(Handle h) noexcept { ::RegCloseKey(h); }
};
using RegKeyHandle = UniqueHandle<RegKeyTraits>;

struct ModuleTraits {
  using Handle = HMODULE;
  static Handle Invalid() noexcept { return nullptr; }
  static bool IsValid(Handle h) noexcept { return h != nullptr; }
  static void Close(Handle h) noexcept { ::FreeLibrary(h); }
};
using ModuleHandle = UniqueHandle<ModuleTraits>;

// GDI objects selected into nothing: pens, brushes, fonts, bitmaps, regions.
struct GdiObjectTraits {
  using Handle = HGDIOBJ;
  static Handle Invalid() noexcept { return nullptr; }
  static bool IsValid(Handle h) noexcept { return h != nullptr; }
  static void Close(Handle h) noexcept { ::DeleteObject(h); }
};
using GdiObject = UniqueHandle<GdiObjectTraits>;

struct EnhMetaFileTraits {
  using Handle = HENHMETAFILE;
  static Handle Invalid() noexcept { return nullptr; }
  static bool IsValid(Handle h) noexcept { return h != nullptr; }
  static void Close(Handle h) noexcept { ::DeleteEnhMetaFile(h); }
};
using EnhMetaFile = UniqueHandle<EnhMetaFileTraits>;

// A memory device context made by CreateCompatibleDC or CreateDC.
struct DcTraits {
  using Handle = HDC;
  static Handle Invalid() noexcept { return nullptr; }
  static bool IsValid(Handle h) noexcept { return h != nullptr; }
  static void Close(Handle h) noexcept { ::DeleteDC(h); }
};
using OwnedDc = UniqueHandle<DcTraits>;

struct GlobalMemTraits {
  using Handle = HGLOBAL;
  static Handle Invalid() noexcept { return nullptr; }
  static bool IsValid(Handle h) noexcept { return h != nullptr; }
  static void Close(Handle h) noexcept { ::GlobalFree(h); }
};
using GlobalMem = UniqueHandle<GlobalMemTraits>;

struct LocalMemTraits {
  using Handle = HLOCAL;
  static Handle Invalid() noexcept { return nullptr; }
  static bool IsValid(Handle h) noexcept { return h != nullptr; }
  static void Close(Handle h) noexcept { ::LocalFree(h); }
};
using LocalMem = UniqueHandle<LocalMemTraits>;

}  // namespace w32
