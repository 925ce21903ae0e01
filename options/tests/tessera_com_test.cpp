// Tessera.dll as its clients see it: created by ProgID through COM after
// regsvr32, used through the ITessera vtable and through IDispatch. Every test
// starts without an options file; the tests share the user's file, so ctest
// runs them one at a time.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "Tessera_h.h"
#include "ini_text.h"
#include "options_store.h"
#include "password_scrambler.h"
#include "w32/bstr.h"
#include "w32/com_ptr.h"
#include "w32/module_path.h"

using tessera_test::ReadIniText;
using tessera_test::Value;
using w32::Bstr;
using w32::ComPtr;

namespace {

std::string OptionsPath() { return COptionsStore::DefaultFilePath(); }

void DeleteOptionsFile() {
  const std::string path = OptionsPath();
  ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
  ::DeleteFileA(path.c_str());
  ::RemoveDirectoryA(path.c_str());
}

Bstr Text(const wchar_t* text) {
  Bstr s;
  w32::BstrFromWide(text, s.Put());
  return s;
}

class Tessera : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(::CoInitialize(nullptr)));
    DeleteOptionsFile();
  }
  void TearDown() override {
    DeleteOptionsFile();
    ::CoUninitialize();
  }
  static ComPtr<ITessera> Create() {
    CLSID clsid = {};
    ComPtr<ITessera> object;
    EXPECT_EQ(::CLSIDFromProgID(L"Tessera", &clsid), S_OK);
    EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_Tessera));
    EXPECT_EQ(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_ITessera,
                                 object.PutVoid()),
              S_OK);
    return object;
  }
  static std::wstring Get(HRESULT (STDMETHODCALLTYPE ITessera::*getter)(BSTR*), ITessera* o) {
    Bstr s;
    EXPECT_EQ((o->*getter)(s.Put()), S_OK);
    EXPECT_NE(s.Get(), nullptr);
    return std::wstring(s.View());
  }
  static std::wstring ProfileName(ITessera* o, short index) {
    Bstr s;
    return SUCCEEDED(o->GetProfileName(index, s.Put())) ? std::wstring(s.View()) : L"<error>";
  }
  static short Count(ITessera* o) {
    short n = -1;
    o->GetProfilesCount(&n);
    return n;
  }
  static short Actual(ITessera* o) {
    short n = -1;
    o->GetActual(&n);
    return n;
  }
  static HRESULT Add(ITessera* o, const wchar_t* name) {
    Bstr s = Text(name);
    BSTR raw = s.Get();
    return o->AddProfile(&raw);
  }
};

TEST_F(Tessera, NewObjectHoldsTheDefaults) {
  ComPtr<ITessera> o = Create();
  PDFCompression compression{};
  PageLayout layout{};
  PDFVersion version{};
  PageMode mode{};
  CryptoKeyLength keyLength{};
  BWCompression bw{};
  ColorCompression color{};
  OutputFormat output{};
  MultiDocState state{};
  ASSERT_EQ(o->get_Compression(&compression), S_OK);
  o->get_Layout(&layout);
  o->get_Version(&version);
  o->get_Mode(&mode);
  o->get_KeyLength(&keyLength);
  o->get_BWImageCompression(&bw);
  o->get_ColorImageCompression(&color);
  o->get_OutputType(&output);
  o->get_MultiDocumentState(&state);
  EXPECT_EQ(compression, Flate);
  EXPECT_EQ(layout, OneColumn);
  EXPECT_EQ(version, Acrobat4x);
  EXPECT_EQ(mode, UseNone);
  EXPECT_EQ(keyLength, Key40bit);
  EXPECT_EQ(bw, CCITT3);
  EXPECT_EQ(color, itcFlate);
  EXPECT_EQ(output, PDF_Output);
  EXPECT_EQ(state, Start);

  struct LongProperty {
    HRESULT (STDMETHODCALLTYPE ITessera::*get)(LONG*);
    LONG unset;
    const char* name;
  } longs[] = {
      {&ITessera::get_ShowErrorMessages, 1, "ShowErrorMessages"},
      {&ITessera::get_SilentMode, 0, "SilentMode"},
      {&ITessera::get_CreateDirectoryIfNotExist, 1, "CreateDirectoryIfNotExist"},
      {&ITessera::get_OverwriteFileIfExist, 0, "OverwriteFileIfExist"},
      {&ITessera::get_UsingTargetFile, 1, "UsingTargetFile"},
      {&ITessera::get_TIFF_MULTIPAGE, 0, "TIFF_MULTIPAGE"},
      {&ITessera::get_PdfProtectionEnabled, 0, "PdfProtectionEnabled"},
      {&ITessera::get_EnableCopyInformation, 0, "EnableCopyInformation"},
      {&ITessera::get_EnableModifyAnnotation, 0, "EnableModifyAnnotation"},
      {&ITessera::get_EnableModifyStructure, 0, "EnableModifyStructure"},
      {&ITessera::get_EnablePrinting, 0, "EnablePrinting"},
      {&ITessera::get_URL_Autodetection, 1, "URL_Autodetection"},
      {&ITessera::get_JPEG_GRAYSCALE, 0, "JPEG_GRAYSCALE"},
      {&ITessera::get_UseBookmarks, 0, "UseBookmarks"},
      {&ITessera::get_MultiDocMode, 0, "MultiDocMode"},
  };
  for (const auto& p : longs) {
    LONG v = -99;
    EXPECT_EQ((o.Get()->*p.get)(&v), S_OK) << p.name;
    EXPECT_EQ(v, p.unset) << p.name;
  }
  short jpeg = 0, tiff = 0, bmp = 0, png = 0;
  o->get_JPEG_COMPRESSION(&jpeg);
  o->get_TIFF_COLORMODE(&tiff);
  o->get_BMP_COLORMODE(&bmp);
  o->get_PNG_COLORMODE(&png);
  EXPECT_EQ(jpeg, 40);
  EXPECT_EQ(tiff, 24);
  EXPECT_EQ(bmp, 24);
  EXPECT_EQ(png, 24);
  VARIANT_BOOL put = -1, first = -1, top = -1;
  o->get_PutWatermarks(&put);
  o->get_FirstPageSeparate(&first);
  o->get_WatermarkOnTheTop(&top);
  EXPECT_EQ(put, VARIANT_FALSE);
  EXPECT_EQ(first, VARIANT_FALSE);
  EXPECT_EQ(top, VARIANT_FALSE);

  for (auto getter : {&ITessera::get_TargetFile, &ITessera::get_TargetDir,
                      &ITessera::get_UserPassword, &ITessera::get_OwnerPassword,
                      &ITessera::get_Title, &ITessera::get_Author, &ITessera::get_Subject,
                      &ITessera::get_Keywords, &ITessera::get_WatermarksFile,
                      &ITessera::get_FirstPageWatermarkFile,
                      &ITessera::get_WatermarksFileLandscape,
                      &ITessera::get_FirstPageWatermarkFileLandscape}) {
    EXPECT_EQ(Get(getter, o.Get()), L"");
  }
  EXPECT_EQ(Count(o.Get()), 1);
  EXPECT_EQ(Actual(o.Get()), 0);
  EXPECT_EQ(Get(&ITessera::GetCurrentProfileName, o.Get()), L"<default>");
}

TEST_F(Tessera, OneObjectLeavesExactlyTheDefaultFile) {
  Create().Reset();
  EXPECT_EQ(ReadIniText(OptionsPath()), tessera_test::DefaultFile());
}

TEST_F(Tessera, SettersRejectValuesOutOfRangeAndKeepTheOldOne) {
  ComPtr<ITessera> o = Create();
  EXPECT_EQ(o->put_BWImageCompression(static_cast<BWCompression>(0)), E_INVALIDARG);
  EXPECT_EQ(o->put_BWImageCompression(static_cast<BWCompression>(5)), E_INVALIDARG);
  for (int v : {4, 3, 2}) EXPECT_EQ(o->put_BWImageCompression(static_cast<BWCompression>(v)), S_OK);
  EXPECT_EQ(o->put_Compression(static_cast<PDFCompression>(-1)), E_INVALIDARG);
  EXPECT_EQ(o->put_Compression(None), S_OK);
  EXPECT_EQ(o->put_Compression(static_cast<PDFCompression>(2)), E_INVALIDARG);
  PDFCompression compression = Flate;
  o->get_Compression(&compression);
  EXPECT_EQ(compression, None);
  EXPECT_EQ(o->put_Layout(static_cast<PageLayout>(4)), E_INVALIDARG);
  EXPECT_EQ(o->put_Mode(FullScreen), S_OK);
  EXPECT_EQ(o->put_OutputType(EMF_Output), S_OK);
  EXPECT_EQ(o->put_OutputType(static_cast<OutputFormat>(6)), E_INVALIDARG);
  EXPECT_EQ(o->put_MultiDocumentState(static_cast<MultiDocState>(3)), E_INVALIDARG);
  EXPECT_EQ(o->put_ColorImageCompression(static_cast<ColorCompression>(-1)), E_INVALIDARG);

  for (short v : {1, 4, 8, 9, 24}) EXPECT_EQ(o->put_TIFF_COLORMODE(v), S_OK) << v;
  for (short v : {0, 2, 16, 32, -24}) {
    EXPECT_EQ(o->put_TIFF_COLORMODE(v), E_INVALIDARG) << v;
    EXPECT_EQ(o->put_BMP_COLORMODE(v), E_INVALIDARG) << v;
    EXPECT_EQ(o->put_PNG_COLORMODE(v), E_INVALIDARG) << v;
  }
  short mode = 0;
  o->get_TIFF_COLORMODE(&mode);
  EXPECT_EQ(mode, 24);
  EXPECT_EQ(o->put_JPEG_COMPRESSION(255), S_OK);
  EXPECT_EQ(o->put_JPEG_COMPRESSION(256), E_INVALIDARG);
  EXPECT_EQ(o->put_JPEG_COMPRESSION(-1), E_INVALIDARG);
  short jpeg = 0;
  o->get_JPEG_COMPRESSION(&jpeg);
  EXPECT_EQ(jpeg, 255);

  // Switches take any value; the file gives back 1 or 0.
  EXPECT_EQ(o->put_SilentMode(-5), S_OK);
  LONG silent = 0;
  o->get_SilentMode(&silent);
  EXPECT_EQ(silent, -5);
}

TEST_F(Tessera, VariantBoolComesBackAsStoredUntilTheFileMakesIt1) {
  {
    ComPtr<ITessera> o = Create();
    EXPECT_EQ(o->put_PutWatermarks(VARIANT_TRUE), S_OK);
    EXPECT_EQ(o->put_WatermarkOnTheTop(static_cast<VARIANT_BOOL>(2)), S_OK);
    VARIANT_BOOL v = 0;
    o->get_PutWatermarks(&v);
    EXPECT_EQ(v, VARIANT_TRUE);
  }
  ComPtr<ITessera> again = Create();
  VARIANT_BOOL v = 0, top = 0;
  again->get_PutWatermarks(&v);
  again->get_WatermarkOnTheTop(&top);
  EXPECT_EQ(v, 1);
  EXPECT_EQ(top, 1);
}

TEST_F(Tessera, TextsRoundTripAndUnstorableTextsAreRefused) {
  {
    ComPtr<ITessera> o = Create();
    EXPECT_EQ(o->put_Title(Text(L"Caf\u00E9 report").Get()), S_OK);
    EXPECT_EQ(o->put_TargetFile(Text(L"C:\\out\\a b.pdf").Get()), S_OK);
    EXPECT_EQ(o->put_Author(nullptr), S_OK);  // a null BSTR stores an empty text
    EXPECT_EQ(Get(&ITessera::get_Author, o.Get()), L"");
    // A line break would end the value in the file and start a line of its own.
    EXPECT_EQ(o->put_Subject(Text(L"a\r\n[Header]\r\nProfilesCount=0").Get()), E_INVALIDARG);
    EXPECT_EQ(o->put_Keywords(Text(L"one\ntwo").Get()), E_INVALIDARG);
    EXPECT_EQ(Get(&ITessera::get_Subject, o.Get()), L"");
    EXPECT_EQ(o->UpdateProfile(), S_OK);
  }
  ComPtr<ITessera> again = Create();
  EXPECT_EQ(Get(&ITessera::get_Title, again.Get()), L"Caf\u00E9 report");
  EXPECT_EQ(Get(&ITessera::get_TargetFile, again.Get()), L"C:\\out\\a b.pdf");
  EXPECT_EQ(Count(again.Get()), 1);
}

TEST_F(Tessera, PasswordsAreStoredAsUpperCaseHexOfTwiceTheirLength) {
  const std::wstring user = L"s3cr\u00E9t pass";
  const std::wstring owner(511, L'k');
  {
    ComPtr<ITessera> o = Create();
    ASSERT_EQ(o->put_UserPassword(Text(user.c_str()).Get()), S_OK);
    ASSERT_EQ(o->put_OwnerPassword(Text(owner.c_str()).Get()), S_OK);
    // 512 bytes would need 1024 hex digits, more than the file hands back.
    EXPECT_EQ(o->put_OwnerPassword(Text(std::wstring(512, L'k').c_str()).Get()), E_INVALIDARG);
    EXPECT_EQ(Get(&ITessera::get_OwnerPassword, o.Get()), owner);
    ASSERT_EQ(o->UpdateProfile(), S_OK);
  }
  const auto file = ReadIniText(OptionsPath());
  const std::string hex = Value(file, "Profile0", "User password");
  EXPECT_EQ(hex.size(), 2 * user.size());
  EXPECT_EQ(hex.find_first_not_of("0123456789ABCDEF"), std::string::npos) << hex;
  EXPECT_EQ(Value(file, "Profile0", "Owner password").size(), 1022u);
  EXPECT_EQ(hex, ScramblePassword("s3cr\xE9t pass"));

  ComPtr<ITessera> again = Create();
  EXPECT_EQ(Get(&ITessera::get_UserPassword, again.Get()), user);
  EXPECT_EQ(Get(&ITessera::get_OwnerPassword, again.Get()), owner);
}

TEST_F(Tessera, ProfilesFollowTheirRules) {
  ComPtr<ITessera> o = Create();
  EXPECT_EQ(Add(o.Get(), L"<default>"), E_INVALIDARG);
  EXPECT_EQ(o->AddProfile(nullptr), E_POINTER);
  o->put_Title(Text(L"draft").Get());
  ASSERT_EQ(Add(o.Get(), L"Draft"), S_OK);
  EXPECT_EQ(Add(o.Get(), L"Draft"), E_INVALIDARG);
  EXPECT_EQ(Count(o.Get()), 2);
  EXPECT_EQ(Actual(o.Get()), Count(o.Get()) - 1);
  EXPECT_EQ(Value(ReadIniText(OptionsPath()), "Header", "Last used"), "1");
  EXPECT_EQ(Get(&ITessera::GetCurrentProfileName, o.Get()), L"Draft");

  Bstr name;
  EXPECT_EQ(o->GetProfileName(2, name.Put()), E_INVALIDARG);
  EXPECT_EQ(o->GetProfileName(-1, name.Put()), E_INVALIDARG);
  EXPECT_EQ(ProfileName(o.Get(), 0), L"<default>");

  LONG exists = -1;
  Bstr probe = Text(L"draft");
  BSTR raw = probe.Get();
  EXPECT_EQ(o->IsProfileNameExist(&raw, &exists), S_OK);
  EXPECT_EQ(exists, 0);  // names compare exactly
  Bstr probe2 = Text(L"Draft");
  raw = probe2.Get();
  o->IsProfileNameExist(&raw, &exists);
  EXPECT_EQ(exists, 1);

  // SetActual to the actual profile still discards unsaved changes.
  o->put_Title(Text(L"unsaved").Get());
  LONG same = -1;
  o->IsOptionsExist(&same);
  EXPECT_EQ(same, 0);
  EXPECT_EQ(o->SetActual(1), S_OK);
  EXPECT_EQ(Get(&ITessera::get_Title, o.Get()), L"draft");
  o->IsOptionsExist(&same);
  EXPECT_EQ(same, 1);
  EXPECT_EQ(o->SetActual(2), E_INVALIDARG);

  EXPECT_EQ(o->RemoveProfile(0), E_INVALIDARG);
  Bstr def = Text(L"<default>");
  raw = def.Get();
  EXPECT_EQ(o->RemoveProfileWithName(&raw), E_INVALIDARG);
  Bstr nobody = Text(L"nobody");
  raw = nobody.Get();
  EXPECT_EQ(o->RemoveProfileWithName(&raw), E_INVALIDARG);
  EXPECT_EQ(Count(o.Get()), 2);
}

TEST_F(Tessera, RemovingProfileTwoOfFourLeavesSectionsZeroToTwo) {
  {
    ComPtr<ITessera> o = Create();
    for (const wchar_t* name : {L"one", L"two", L"three"}) ASSERT_EQ(Add(o.Get(), name), S_OK);
    ASSERT_EQ(o->SetActual(2), S_OK);
    ASSERT_EQ(o->RemoveProfile(1), S_OK);
    // The actual index does not move with the list: it now names the next profile.
    EXPECT_EQ(Actual(o.Get()), 2);
    EXPECT_EQ(Get(&ITessera::GetCurrentProfileName, o.Get()), L"three");
    ASSERT_EQ(Add(o.Get(), L"four"), S_OK);  // back to four profiles
    EXPECT_EQ(o->RemoveProfile(2), S_OK);
    EXPECT_EQ(Count(o.Get()), 3);
  }
  const auto file = ReadIniText(OptionsPath());
  EXPECT_EQ(Value(file, "Header", "ProfilesCount"), "3");
  EXPECT_EQ(Value(file, "Profile0", "Name"), "<default>");
  EXPECT_EQ(Value(file, "Profile1", "Name"), "two");
  EXPECT_EQ(Value(file, "Profile2", "Name"), "four");
  EXPECT_EQ(tessera_test::FindSection(file, "Profile3"), nullptr);
}

TEST_F(Tessera, TheInstanceReleasedLastWins) {
  ComPtr<ITessera> first = Create();
  ComPtr<ITessera> second = Create();
  first->put_Title(Text(L"first").Get());
  first->put_TargetDir(Text(L"C:\\first").Get());
  second->put_Title(Text(L"second").Get());
  second->put_TargetDir(Text(L"C:\\second").Get());
  first->UpdateProfile();
  second->UpdateProfile();
  second.Reset();
  first.Reset();  // released last
  ComPtr<ITessera> after = Create();
  EXPECT_EQ(Get(&ITessera::get_TargetDir, after.Get()), L"C:\\first");
  EXPECT_EQ(Get(&ITessera::get_Title, after.Get()), L"first");
}

TEST_F(Tessera, SettingsOfAReleasedInstanceReachTheNextOne) {
  {
    ComPtr<ITessera> o = Create();
    o->put_TargetFile(Text(L"C:\\jobs\\x.pdf").Get());
    o->put_UsingTargetFile(0);
    o->put_MultiDocumentState(Finish);
  }
  ComPtr<ITessera> next = Create();
  EXPECT_EQ(Get(&ITessera::get_TargetFile, next.Get()), L"C:\\jobs\\x.pdf");
  LONG using_ = -1;
  next->get_UsingTargetFile(&using_);
  EXPECT_EQ(using_, 0);
  MultiDocState state = Start;
  next->get_MultiDocumentState(&state);
  EXPECT_EQ(state, Finish);
}

TEST_F(Tessera, UnwritableFileLeavesAnObjectWithoutProfiles) {
  ASSERT_TRUE(::CreateDirectoryA(OptionsPath().c_str(), nullptr));  // a folder in its place
  ComPtr<ITessera> o = Create();
  EXPECT_EQ(Count(o.Get()), 0);
  Bstr name;
  EXPECT_EQ(o->GetCurrentProfileName(name.Put()), E_INVALIDARG);
  EXPECT_EQ(o->GetProfileName(0, name.Put()), E_INVALIDARG);
  EXPECT_EQ(o->SetActual(0), E_INVALIDARG);
  EXPECT_EQ(o->UpdateProfile(), E_INVALIDARG);  // there is no actual profile to update
  EXPECT_EQ(o->SaveData(), S_OK);
  EXPECT_EQ(o->put_Title(Text(L"kept in memory").Get()), S_OK);
  EXPECT_EQ(Get(&ITessera::get_Title, o.Get()), L"kept in memory");
  PDFCompression compression = None;
  o->get_Compression(&compression);
  EXPECT_EQ(compression, Flate);
}

TEST_F(Tessera, AggregationAndTheInterfacesItAnswers) {
  CLSID clsid = CLSID_Tessera;
  // An outer object that hands everything to the inner one.
  struct Outer : IUnknown {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
      if (IsEqualIID(riid, IID_IUnknown)) {
        *ppv = this;
        AddRef();
        return S_OK;
      }
      return inner->QueryInterface(riid, ppv);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    ULONG refs = 1;
    IUnknown* inner = nullptr;
  } outer;
  void* p = nullptr;
  EXPECT_EQ(::CoCreateInstance(clsid, &outer, CLSCTX_INPROC_SERVER, IID_ITessera, &p),
            CLASS_E_NOAGGREGATION);
  ASSERT_EQ(::CoCreateInstance(clsid, &outer, CLSCTX_INPROC_SERVER, IID_IUnknown,
                               reinterpret_cast<void**>(&outer.inner)),
            S_OK);
  ITessera* tessera = nullptr;
  ASSERT_EQ(outer.inner->QueryInterface(IID_ITessera, reinterpret_cast<void**>(&tessera)), S_OK);
  IUnknown* identity = nullptr;
  tessera->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity));
  EXPECT_EQ(identity, static_cast<IUnknown*>(&outer));
  identity->Release();
  short count = 0;
  EXPECT_EQ(tessera->GetProfilesCount(&count), S_OK);
  tessera->Release();
  EXPECT_EQ(outer.inner->Release(), 0u);

  ComPtr<ITessera> o = Create();
  ComPtr<IDispatch> dispatch;
  EXPECT_EQ(o.As(dispatch), S_OK);
  ComPtr<IUnknown> unknown;
  EXPECT_EQ(o.As(unknown), S_OK);
  ComPtr<ISupportErrorInfo> errorInfo;
  EXPECT_EQ(o.As(errorInfo), E_NOINTERFACE);
}

TEST_F(Tessera, DispatchCallsReachTheVtable) {
  ComPtr<ITessera> o = Create();
  ComPtr<IDispatch> d;
  ASSERT_EQ(o.As(d), S_OK);
  auto id = [&](const wchar_t* name) {
    DISPID dispid = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    EXPECT_EQ(d->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &dispid), S_OK) << name;
    return dispid;
  };
  EXPECT_EQ(id(L"JPEG_COMPRESSION"), 25);
  EXPECT_EQ(id(L"SaveData"), 43);
  EXPECT_EQ(id(L"FirstPageWatermarkFileLandscape"), 55);

  VARIANT arg;
  arg.vt = VT_I4;
  arg.lVal = 256;
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS put = {&arg, &named, 1, 1};
  EXCEPINFO exception = {};
  EXPECT_EQ(d->Invoke(25, IID_NULL, 0, DISPATCH_PROPERTYPUT, &put, nullptr, &exception, nullptr),
            DISP_E_EXCEPTION);
  EXPECT_EQ(exception.scode, E_INVALIDARG);
  arg.lVal = 80;
  EXPECT_EQ(d->Invoke(25, IID_NULL, 0, DISPATCH_PROPERTYPUT, &put, nullptr, nullptr, nullptr),
            S_OK);
  short jpeg = 0;
  o->get_JPEG_COMPRESSION(&jpeg);
  EXPECT_EQ(jpeg, 80);

  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  VARIANT result;
  ::VariantInit(&result);
  ASSERT_EQ(d->Invoke(13, IID_NULL, 0, DISPATCH_METHOD, &none, &result, nullptr, nullptr), S_OK);
  ASSERT_EQ(result.vt, VT_BSTR);
  EXPECT_EQ(w32::BstrView(result.bstrVal), L"<default>");
  ::VariantClear(&result);
}

TEST_F(Tessera, ModuleCanUnloadOnlyWithoutLiveObjects) {
  const std::wstring dll = w32::JoinPath(w32::ModuleFolder(), L"Tessera.dll");
  HMODULE module = ::LoadLibraryW(dll.c_str());
  ASSERT_NE(module, nullptr);
  auto canUnload = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
      reinterpret_cast<void*>(::GetProcAddress(module, "DllCanUnloadNow")));
  ASSERT_NE(canUnload, nullptr);
  {
    ComPtr<ITessera> o = Create();
    EXPECT_EQ(canUnload(), S_FALSE);
  }
  EXPECT_EQ(canUnload(), S_OK);
  ::FreeLibrary(module);
}

}  // namespace
