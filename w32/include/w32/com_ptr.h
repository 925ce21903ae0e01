// An owning pointer to a COM interface: AddRef on copy, Release on reset and
// destruction. Movable and copyable; never throws.
#pragma once
#include <windows.h>
#include <unknwn.h>
#include <cstddef>
#include <utility>

namespace w32 {

// The interface identifier of I. By default __uuidof(I), which works for every
// interface whose header declares its IID with __CRT_UUID_DECL (the system
// headers and widl output do). An interface declared by hand without it gets a
// specialization of this template.
template <class I>
struct InterfaceId {
  static const IID& Get() noexcept { return __uuidof(I); }
};

template <class T>
class ComPtr {
 public:
  ComPtr() noexcept = default;
  ComPtr(std::nullptr_t) noexcept {}
  // Shares `p`: the pointer is AddRef'd (use Attach to take over a reference).
  explicit ComPtr(T* p) noexcept : p_(p) {
    if (p_) p_->AddRef();
  }
  ComPtr(const ComPtr& other) noexcept : ComPtr(other.p_) {}
  ComPtr(ComPtr&& other) noexcept : p_(other.Detach()) {}
  ~ComPtr() { Reset(); }

  ComPtr& operator=(const ComPtr& other) noexcept {
    T* const incoming = other.p_;  // read before Reset: `other` may be *this
    if (incoming) incoming->AddRef();
    Reset();
    p_ = incoming;
    return *this;
  }
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      Reset();
      p_ = other.Detach();
    }
    return *this;
  }

  T* Get() const noexcept { return p_; }
  T* operator->() const noexcept { return p_; }
  explicit operator bool() const noexcept { return p_ != nullptr; }

  // Releases what is held and drops the pointer.
  void Reset() noexcept {
    if (T* old = std::exchange(p_, nullptr)) old->Release();
  }
  // Takes over a reference the caller owns.
  void Attach(T* p) noexcept {
    Reset();
    p_ = p;
  }
  // Hands the reference to the caller.
  T* Detach() noexcept { return std::exchange(p_, nullptr); }

  // For out-parameters of creating calls: releases what is held first.
  T** Put() noexcept {
    Reset();
    return &p_;
  }
  void** PutVoid() noexcept { return reinterpret_cast<void**>(Put()); }

  // A new reference for an [out] parameter.
  HRESULT CopyTo(T** out) const noexcept {
    if (!out) return E_POINTER;
    *out = p_;
    if (p_) p_->AddRef();
    return S_OK;
  }

  // QueryInterface for another interface of the same object.
  template <class U>
  HRESULT As(ComPtr<U>& out) const noexcept {
    if (!p_) {
      out.Reset();
      return E_POINTER;
    }
    return p_->QueryInterface(InterfaceId<U>::Get(), out.PutVoid());
  }

 private:
  T* p_ = nullptr;
};

}  // namespace w32
