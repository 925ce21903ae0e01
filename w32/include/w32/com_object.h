// Reference counting, interface lookup and aggregation for the COM objects of
// the tree, without ATL.
//
//   class CThing : public w32::ComObject<CThing, IThing, IOther> { ... };
//
// Each base is an interface, or a class that implements one and names it as
// its nested type `Interface` (w32::DispatchImpl does). The object answers
// QueryInterface for IUnknown, for the IID of each base, and for IDispatch
// through the first base that derives from IDispatch. A class that answers more
// declares a public `void* FindInterface(REFIID)` that falls back to
// ComObject's. A class that may be aggregated declares
// `static constexpr bool kAggregatable = true;`.
//
// Objects are created only by CreateComObject (or the class factory built on
// it), which sets up the controlling unknown; the object deletes itself on its
// last Release. Derived is the class that is created, never a further base;
// destructors must not throw.
#pragma once
#include <windows.h>
#include <unknwn.h>
#include <oaidl.h>
#include <atomic>
#include <new>
#include <type_traits>

#include "w32/com_module.h"
#include "w32/com_ptr.h"

namespace w32 {

namespace detail {
template <class B, class = void>
struct InterfaceOfBase {
  using type = B;
};
template <class B>
struct InterfaceOfBase<B, std::void_t<typename B::Interface>> {
  using type = typename B::Interface;
};
}  // namespace detail

template <class Derived, class... Bases>
class ComObject : public Bases... {
 public:
  static constexpr bool kAggregatable = false;

  // The IUnknown members of every interface go to the controlling unknown:
  // the aggregating object's when aggregated, else this object's own.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    return outer_->QueryInterface(riid, ppv);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return outer_->AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return outer_->Release(); }

  // This object's pointer for `riid` (not AddRef'd), or nullptr.
  void* FindInterface(REFIID riid) noexcept {
    void* found = nullptr;
    ((found = found ? found : Match<Bases>(riid)), ...);
    if (!found && IsEqualIID(riid, IID_IDispatch)) {
      ((found = found ? found : MatchDispatch<Bases>()), ...);
    }
    return found;
  }

 protected:
  ComObject() noexcept : inner_(this), outer_(&inner_) { ComModule::ObjectCreated(); }
  ~ComObject() { ComModule::ObjectDestroyed(); }
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  // The object's non-delegating unknown (its identity when not aggregated).
  IUnknown* InnerUnknown() noexcept { return &inner_; }
  // The unknown that controls this object's lifetime.
  IUnknown* ControllingUnknown() const noexcept { return outer_; }
  bool IsAggregated() const noexcept { return outer_ != &inner_; }

 private:
  template <class U>
  friend HRESULT CreateComObject(IUnknown* outer, REFIID riid, void** ppv) noexcept;

  template <class B>
  void* Match(REFIID riid) noexcept {
    using I = typename detail::InterfaceOfBase<B>::type;
    if (!IsEqualIID(riid, InterfaceId<I>::Get())) return nullptr;
    return static_cast<I*>(static_cast<B*>(this));
  }
  template <class B>
  void* MatchDispatch() noexcept {
    if constexpr (std::is_base_of_v<IDispatch, B>) {
      return static_cast<IDispatch*>(static_cast<B*>(this));
    } else {
      return nullptr;
    }
  }

  class Inner final : public IUnknown {
   public:
    explicit Inner(ComObject* owner) noexcept : owner_(owner) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
      if (!ppv) return E_POINTER;
      *ppv = nullptr;
      if (IsEqualIID(riid, IID_IUnknown)) {
        *ppv = static_cast<IUnknown*>(this);
        AddRef();
        return S_OK;
      }
      void* found = static_cast<Derived*>(owner_)->FindInterface(riid);
      if (!found) return E_NOINTERFACE;
      // AddRef through the interface, which reaches the controlling unknown.
      static_cast<IUnknown*>(found)->AddRef();
      *ppv = found;
      return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
      const ULONG left = --refs_;
      // Derived is the object's own, most derived class (CreateComObject made
      // exactly a Derived), so no virtual destructor is needed.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdelete-non-virtual-dtor"
      if (left == 0) delete static_cast<Derived*>(owner_);
#pragma GCC diagnostic pop
      return left;
    }

   private:
    ComObject* owner_;
    std::atomic<ULONG> refs_{0};
  };

  Inner inner_;
  IUnknown* outer_;
};

// Creates a Derived and queries it for `riid`. With an outer unknown the class
// must be aggregatable and `riid` must be IID_IUnknown (the aggregation rule);
// otherwise CLASS_E_NOAGGREGATION. A constructor that throws gives
// E_OUTOFMEMORY for std::bad_alloc and E_FAIL for anything else.
template <class Derived>
HRESULT CreateComObject(IUnknown* outer, REFIID riid, void** ppv) noexcept {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (outer && (!Derived::kAggregatable || !IsEqualIID(riid, IID_IUnknown)))
    return CLASS_E_NOAGGREGATION;
  Derived* object = nullptr;
  try {
    object = new Derived();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
  if (outer) object->outer_ = outer;
  IUnknown* inner = object->InnerUnknown();
  inner->AddRef();
  const HRESULT hr = inner->QueryInterface(riid, ppv);
  inner->Release();  // deletes the object when the query failed
  return hr;
}

}  // namespace w32
