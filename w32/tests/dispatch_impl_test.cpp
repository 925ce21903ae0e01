#include <gtest/gtest.h>

#include <string>

#include "w32/bstr.h"
#include "w32/com_object.h"
#include "w32/com_registration.h"
#include "w32/dispatch_impl.h"
#include "w32/registry.h"

namespace {

// A dual interface: property Value (DISPID 1) and method Add (DISPID 2).
struct ICounter : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE get_Value(long* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Value(long value) = 0;
  virtual HRESULT STDMETHODCALLTYPE Add(long amount) = 0;
};
const IID IID_ICounter = {0x3f1d2c4b, 0x5a69, 0x4788, {0x97, 0xa6, 0xb5, 0xc4, 0xd3, 0xe2, 0xf1, 0x01}};
const GUID kLibrary = {0x3f1d2c4b, 0x5a69, 0x4788, {0x97, 0xa6, 0xb5, 0xc4, 0xd3, 0xe2, 0xf1, 0x02}};

}  // namespace

template <>
struct w32::InterfaceId<ICounter> {
  static const IID& Get() noexcept { return IID_ICounter; }
};

namespace {

std::wstring g_libraryPath;

class CCounter : public w32::ComObject<CCounter, w32::DispatchImpl<ICounter>> {
 public:
  CCounter() { UseTypeLibrary(g_libraryPath); }
  HRESULT STDMETHODCALLTYPE get_Value(long* value) override {
    if (!value) return E_POINTER;
    *value = value_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_Value(long value) override {
    if (value < 0) return E_INVALIDARG;
    value_ = value;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Add(long amount) override {
    value_ += amount;
    return S_OK;
  }

 private:
  long value_ = 5;
};

ELEMDESC Param(VARTYPE vt, USHORT flags, TYPEDESC* pointee = nullptr) {
  ELEMDESC e = {};
  if (pointee) {
    e.tdesc.vt = VT_PTR;
    e.tdesc.lptdesc = pointee;
  } else {
    e.tdesc.vt = vt;
  }
  e.paramdesc.wParamFlags = flags;
  return e;
}

// Writes a type library that describes ICounter, as widl would from IDL.
HRESULT WriteCounterLibrary(const std::wstring& path) {
  w32::ComPtr<ICreateTypeLib2> lib;
  HRESULT hr = ::CreateTypeLib2(SYS_WIN32, path.c_str(), lib.Put());
  if (FAILED(hr)) return hr;
  lib->SetGuid(kLibrary);
  lib->SetName(const_cast<LPOLESTR>(L"CounterLib"));
  lib->SetVersion(1, 0);
  lib->SetLcid(LOCALE_NEUTRAL);

  w32::ComPtr<ITypeLib> stdole;
  if (FAILED(hr = ::LoadTypeLib(L"stdole2.tlb", stdole.Put()))) return hr;
  w32::ComPtr<ITypeInfo> dispatchInfo;
  if (FAILED(hr = stdole->GetTypeInfoOfGuid(IID_IDispatch, dispatchInfo.Put()))) return hr;

  w32::ComPtr<ICreateTypeInfo> info;
  if (FAILED(hr = lib->CreateTypeInfo(const_cast<LPOLESTR>(L"ICounter"), TKIND_INTERFACE,
                                      info.Put())))
    return hr;
  info->SetGuid(IID_ICounter);
  info->SetTypeFlags(TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION);
  HREFTYPE dispatchRef = 0;
  if (FAILED(hr = info->AddRefTypeInfo(dispatchInfo.Get(), &dispatchRef))) return hr;
  if (FAILED(hr = info->AddImplType(0, dispatchRef))) return hr;

  TYPEDESC i4 = {};
  i4.vt = VT_I4;
  struct Func {
    MEMBERID id;
    INVOKEKIND kind;
    ELEMDESC param;
    const wchar_t* names[2];
    UINT nameCount;
  } funcs[] = {
      {1, INVOKE_PROPERTYGET, Param(VT_PTR, PARAMFLAG_FOUT | PARAMFLAG_FRETVAL, &i4),
       {L"Value", L"value"}, 2},
      {1, INVOKE_PROPERTYPUT, Param(VT_I4, PARAMFLAG_FIN), {L"Value", nullptr}, 1},
      {2, INVOKE_FUNC, Param(VT_I4, PARAMFLAG_FIN), {L"Add", L"amount"}, 2},
  };
  for (UINT i = 0; i < 3; ++i) {
    FUNCDESC fd = {};
    fd.memid = funcs[i].id;
    fd.funckind = FUNC_PUREVIRTUAL;
    fd.invkind = funcs[i].kind;
    fd.callconv = CC_STDCALL;
    fd.cParams = 1;
    fd.lprgelemdescParam = &funcs[i].param;
    fd.elemdescFunc.tdesc.vt = VT_HRESULT;
    fd.oVft = static_cast<SHORT>((7 + i) * sizeof(void*));
    if (FAILED(hr = info->AddFuncDesc(i, &fd))) return hr;
    if (FAILED(hr = info->SetFuncAndParamNames(i, const_cast<LPOLESTR*>(funcs[i].names),
                                               funcs[i].nameCount)))
      return hr;
  }
  if (FAILED(hr = info->LayOut())) return hr;
  return lib->SaveAllChanges();
}

class Dispatch : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ::CoInitialize(nullptr);
    wchar_t folder[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH, folder);
    // One file a process: ctest runs each test in a process of its own, side by side.
    g_libraryPath = std::wstring(folder) + L"scrivo_w32_counter_" +
                    std::to_wstring(::GetCurrentProcessId()) + L".tlb";
    ASSERT_EQ(WriteCounterLibrary(g_libraryPath), S_OK);
  }
  static void TearDownTestSuite() {
    ::DeleteFileW(g_libraryPath.c_str());
    ::CoUninitialize();
  }
  void SetUp() override {
    ASSERT_EQ(w32::CreateComObject<CCounter>(nullptr, IID_IDispatch, dispatch_.PutVoid()), S_OK);
  }

  HRESULT Call(const wchar_t* name, WORD flags, VARIANT* args, UINT argCount, VARIANT* result,
               EXCEPINFO* exception = nullptr) {
    DISPID id = 0;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    HRESULT hr = dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) return hr;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params = {args, nullptr, argCount, 0};
    if (flags & DISPATCH_PROPERTYPUT) {
      params.rgdispidNamedArgs = &named;
      params.cNamedArgs = 1;
    }
    return dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, exception,
                             nullptr);
  }

  w32::ComPtr<IDispatch> dispatch_;
};

TEST_F(Dispatch, NamesMapToTheLibrarysDispids) {
  DISPID ids[2] = {};
  LPOLESTR names[] = {const_cast<LPOLESTR>(L"Value"), const_cast<LPOLESTR>(L"Add")};
  ASSERT_EQ(dispatch_->GetIDsOfNames(IID_NULL, names, 1, 0, &ids[0]), S_OK);
  ASSERT_EQ(dispatch_->GetIDsOfNames(IID_NULL, names + 1, 1, 0, &ids[1]), S_OK);
  EXPECT_EQ(ids[0], 1);
  EXPECT_EQ(ids[1], 2);
  LPOLESTR unknown[] = {const_cast<LPOLESTR>(L"Nothing")};
  EXPECT_EQ(dispatch_->GetIDsOfNames(IID_NULL, unknown, 1, 0, &ids[0]), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(dispatch_->GetIDsOfNames(IID_IUnknown, names, 1, 0, &ids[0]),
            DISP_E_UNKNOWNINTERFACE);
}

TEST_F(Dispatch, InvokeReachesTheObjectThroughItsVtable) {
  VARIANT result;
  ::VariantInit(&result);
  ASSERT_EQ(Call(L"Value", DISPATCH_PROPERTYGET, nullptr, 0, &result), S_OK);
  EXPECT_EQ(result.vt, VT_I4);
  EXPECT_EQ(result.lVal, 5);

  VARIANT arg;
  arg.vt = VT_I4;
  arg.lVal = 37;
  ASSERT_EQ(Call(L"Add", DISPATCH_METHOD, &arg, 1, nullptr), S_OK);
  w32::ComPtr<ICounter> counter;
  ASSERT_EQ(dispatch_.As(counter), S_OK);
  long value = 0;
  counter->get_Value(&value);
  EXPECT_EQ(value, 42);

  arg.lVal = 7;
  ASSERT_EQ(Call(L"Value", DISPATCH_PROPERTYPUT, &arg, 1, nullptr), S_OK);
  counter->get_Value(&value);
  EXPECT_EQ(value, 7);
}

TEST_F(Dispatch, FailedSetterComesBackAsAnExceptionWithItsHresult) {
  VARIANT arg;
  arg.vt = VT_I4;
  arg.lVal = -1;
  EXCEPINFO exception = {};
  EXPECT_EQ(Call(L"Value", DISPATCH_PROPERTYPUT, &arg, 1, nullptr, &exception), DISP_E_EXCEPTION);
  EXPECT_EQ(exception.scode, E_INVALIDARG);
  ::SysFreeString(exception.bstrSource);
  ::SysFreeString(exception.bstrDescription);
  ::SysFreeString(exception.bstrHelpFile);
}

TEST_F(Dispatch, TypeInfoDescribesTheInterface) {
  UINT count = 0;
  EXPECT_EQ(dispatch_->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 1u);
  w32::ComPtr<ITypeInfo> info;
  ASSERT_EQ(dispatch_->GetTypeInfo(0, 0, info.Put()), S_OK);
  TYPEATTR* attr = nullptr;
  ASSERT_EQ(info->GetTypeAttr(&attr), S_OK);
  EXPECT_TRUE(IsEqualIID(attr->guid, IID_ICounter));
  info->ReleaseTypeAttr(attr);
  EXPECT_EQ(dispatch_->GetTypeInfo(1, 0, info.Put()), DISP_E_BADINDEX);
}

TEST_F(Dispatch, TypeLibraryRegistersAndUnregistersUnderItsIdentity) {
  const std::wstring key = L"TypeLib\\" + w32::GuidString(kLibrary);
  ASSERT_EQ(w32::RegisterTypeLibrary(g_libraryPath), S_OK);
  EXPECT_TRUE(w32::RegKey::Open(HKEY_CLASSES_ROOT, key + L"\\1.0").Valid());
  ASSERT_EQ(w32::UnregisterTypeLibrary(g_libraryPath), S_OK);
  EXPECT_FALSE(w32::RegKey::Open(HKEY_CLASSES_ROOT, key + L"\\1.0").Valid());
}

}  // namespace
