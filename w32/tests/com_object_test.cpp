#include <gtest/gtest.h>

#include "w32/class_factory.h"
#include "w32/com_object.h"
#include "w32/com_ptr.h"

namespace {

// Two small interfaces of our own, with their IIDs given by specialization.
struct IAlpha : public IUnknown {
  virtual int STDMETHODCALLTYPE Which() = 0;
};
struct IBeta : public IUnknown {
  virtual int STDMETHODCALLTYPE Twice(int n) = 0;
};
const IID IID_IAlpha = {0x5b0e1a11, 0x2c3d, 0x4e5f, {0x80, 0x91, 0xa2, 0xb3, 0xc4, 0xd5, 0xe6, 0x01}};
const IID IID_IBeta = {0x5b0e1a11, 0x2c3d, 0x4e5f, {0x80, 0x91, 0xa2, 0xb3, 0xc4, 0xd5, 0xe6, 0x02}};

}  // namespace

template <>
struct w32::InterfaceId<IAlpha> {
  static const IID& Get() noexcept { return IID_IAlpha; }
};
template <>
struct w32::InterfaceId<IBeta> {
  static const IID& Get() noexcept { return IID_IBeta; }
};

namespace {

int g_destroyed = 0;

class CPlain : public w32::ComObject<CPlain, IAlpha, IBeta> {
 public:
  ~CPlain() { ++g_destroyed; }
  int STDMETHODCALLTYPE Which() override { return 1; }
  int STDMETHODCALLTYPE Twice(int n) override { return 2 * n; }
};

class CAggregatable : public w32::ComObject<CAggregatable, IAlpha> {
 public:
  static constexpr bool kAggregatable = true;
  ~CAggregatable() { ++g_destroyed; }
  int STDMETHODCALLTYPE Which() override { return 2; }
};

// An outer object that only counts references and hands out nothing itself.
class Outer : public IUnknown {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (IsEqualIID(riid, IID_IUnknown)) {
      *ppv = this;
      AddRef();
      return S_OK;
    }
    return inner ? inner->QueryInterface(riid, ppv) : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs; }
  ULONG refs = 1;
  IUnknown* inner = nullptr;
};

class ComObjects : public ::testing::Test {
 protected:
  void SetUp() override {
    g_destroyed = 0;
    baseline_ = w32::ComModule::ObjectCount();
  }
  void TearDown() override { EXPECT_EQ(w32::ComModule::ObjectCount(), baseline_); }
  long baseline_ = 0;
};

TEST_F(ComObjects, AnswersItsInterfacesWithOneIdentityAndDiesOnLastRelease) {
  w32::ComPtr<IAlpha> alpha;
  ASSERT_EQ(w32::CreateComObject<CPlain>(nullptr, IID_IAlpha, alpha.PutVoid()), S_OK);
  EXPECT_EQ(w32::ComModule::ObjectCount(), baseline_ + 1);
  EXPECT_EQ(w32::ComModule::CanUnloadNow(), S_FALSE);
  EXPECT_EQ(alpha->Which(), 1);

  w32::ComPtr<IBeta> beta;
  ASSERT_EQ(alpha.As(beta), S_OK);
  EXPECT_EQ(beta->Twice(21), 42);

  w32::ComPtr<IUnknown> u1, u2;
  ASSERT_EQ(alpha.As(u1), S_OK);
  ASSERT_EQ(beta.As(u2), S_OK);
  EXPECT_EQ(u1.Get(), u2.Get());

  w32::ComPtr<IDispatch> none;
  EXPECT_EQ(alpha.As(none), E_NOINTERFACE);
  EXPECT_FALSE(none);

  w32::ComPtr<IAlpha> copy = alpha;  // copies hold references of their own
  alpha.Reset();
  beta.Reset();
  u1.Reset();
  u2.Reset();
  EXPECT_EQ(g_destroyed, 0);
  copy.Reset();
  EXPECT_EQ(g_destroyed, 1);
}

TEST_F(ComObjects, FailedQueryAtCreationFreesTheObject) {
  void* p = reinterpret_cast<void*>(1);
  EXPECT_EQ(w32::CreateComObject<CPlain>(nullptr, IID_IDispatch, &p), E_NOINTERFACE);
  EXPECT_EQ(p, nullptr);
  EXPECT_EQ(g_destroyed, 1);
}

TEST_F(ComObjects, AggregationFollowsTheRules) {
  Outer outer;
  void* p = nullptr;
  // A class that cannot be aggregated, and the aggregation rule that the
  // outer object must ask for IUnknown.
  EXPECT_EQ(w32::CreateComObject<CPlain>(&outer, IID_IUnknown, &p), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(w32::CreateComObject<CAggregatable>(&outer, IID_IAlpha, &p), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(g_destroyed, 0);

  IUnknown* inner = nullptr;
  ASSERT_EQ(w32::CreateComObject<CAggregatable>(&outer, IID_IUnknown,
                                                reinterpret_cast<void**>(&inner)),
            S_OK);
  outer.inner = inner;
  EXPECT_EQ(outer.refs, 1u);  // the inner unknown does not count on the outer

  IAlpha* alpha = nullptr;
  ASSERT_EQ(inner->QueryInterface(IID_IAlpha, reinterpret_cast<void**>(&alpha)), S_OK);
  EXPECT_EQ(outer.refs, 2u);  // an interface pointer counts on the outer object
  EXPECT_EQ(alpha->Which(), 2);

  // Through the inner object's interface, IUnknown is the outer object.
  IUnknown* identity = nullptr;
  ASSERT_EQ(alpha->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
  EXPECT_EQ(identity, static_cast<IUnknown*>(&outer));
  identity->Release();
  alpha->Release();
  EXPECT_EQ(outer.refs, 1u);

  EXPECT_EQ(inner->Release(), 0u);
  EXPECT_EQ(g_destroyed, 1);
}

TEST_F(ComObjects, FactoryCreatesAndLocksTheServer) {
  w32::ComPtr<IClassFactory> factory;
  ASSERT_EQ(w32::ClassFactory<CPlain>::Create(IID_IClassFactory, factory.PutVoid()), S_OK);

  w32::ComPtr<IBeta> beta;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IBeta, beta.PutVoid()), S_OK);
  EXPECT_EQ(beta->Twice(2), 4);
  Outer outer;
  IUnknown* p = nullptr;
  EXPECT_EQ(factory->CreateInstance(&outer, IID_IUnknown, reinterpret_cast<void**>(&p)),
            CLASS_E_NOAGGREGATION);
  beta.Reset();

  const long locks = w32::ComModule::LockCount();
  EXPECT_EQ(factory->LockServer(TRUE), S_OK);
  factory.Reset();
  EXPECT_EQ(w32::ComModule::LockCount(), locks + 1);
  if (baseline_ == 0 && locks == 0) {
    EXPECT_EQ(w32::ComModule::CanUnloadNow(), S_FALSE);
  }

  w32::ComPtr<IClassFactory> again;
  ASSERT_EQ(w32::ClassFactory<CPlain>::Create(IID_IClassFactory, again.PutVoid()), S_OK);
  EXPECT_EQ(again->LockServer(FALSE), S_OK);
  again.Reset();
  EXPECT_EQ(w32::ComModule::LockCount(), locks);
  if (baseline_ == 0 && locks == 0) {
    EXPECT_EQ(w32::ComModule::CanUnloadNow(), S_OK);
  }
}

TEST_F(ComObjects, ComPtrMovesWithoutCountingAndCopyToAddsAReference) {
  w32::ComPtr<IAlpha> a;
  ASSERT_EQ(w32::CreateComObject<CPlain>(nullptr, IID_IAlpha, a.PutVoid()), S_OK);
  w32::ComPtr<IAlpha> b = std::move(a);
  EXPECT_FALSE(a);
  IAlpha* raw = nullptr;
  EXPECT_EQ(b.CopyTo(&raw), S_OK);
  b = w32::ComPtr<IAlpha>();
  EXPECT_EQ(g_destroyed, 0);
  w32::ComPtr<IAlpha> c;
  c.Attach(raw);
  b = c;
  b = b;  // self-assignment keeps the object
  c.Reset();
  EXPECT_EQ(b->Which(), 1);
  b.Reset();
  EXPECT_EQ(g_destroyed, 1);
}

}  // namespace
