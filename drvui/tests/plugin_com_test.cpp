// The plug-in as a COM server: its class object, the factory, module counts,
// interface lookup, and the order of IPrintOemUI's vtable slots as the host
// calls them (by slot number, not through our own declarations).
#include <gtest/gtest.h>

#include <cstring>

#include "fake_driver.h"
#include "fake_sheet_host.h"
#include "plugin_library.h"

namespace drvui_test {
namespace {

constexpr CLSID kOtherClass = {
    0x12345678, 0x1234, 0x1234, {0x12, 0x34, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC}};
// IPrintOemCommon has no interface identifier the plug-in answers; a plain
// other interface stands for "anything else".
constexpr IID kOtherInterface = {
    0x87654321, 0x4321, 0x4321, {0x43, 0x21, 0x43, 0x21, 0x87, 0x65, 0x43, 0x21}};

PluginLibrary& Library() {
  PluginLibrary& library = PluginLibrary::Built();
  EXPECT_TRUE(library.Loaded()) << "inkdrvui.dll or its exports are missing";
  return library;
}

TEST(DrvuiClassObject, ServesOnlyTheKitsPluginClass) {
  PluginLibrary& library = Library();
  ASSERT_TRUE(library.Loaded());

  void* object = reinterpret_cast<void*>(1);
  EXPECT_EQ(library.GetClassObject(kOtherClass, IID_IClassFactory, &object),
            CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(object, nullptr);

  w32::ComPtr<IClassFactory> factory;
  ASSERT_EQ(library.GetClassObject(CLSID_OEMUI, IID_IClassFactory, factory.PutVoid()), S_OK);
  ASSERT_TRUE(factory);
  // The factory answers only its own interfaces.
  object = reinterpret_cast<void*>(1);
  EXPECT_EQ(library.GetClassObject(CLSID_OEMUI, IID_IPrintOemUI, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  w32::ComPtr<IUnknown> unknown;
  EXPECT_EQ(library.GetClassObject(CLSID_OEMUI, IID_IUnknown, unknown.PutVoid()), S_OK);
}

TEST(DrvuiClassObject, FactoryRefusesAggregationAndCreatesPlugins) {
  PluginLibrary& library = Library();
  ASSERT_TRUE(library.Loaded());
  w32::ComPtr<IClassFactory> factory;
  ASSERT_EQ(library.GetClassObject(CLSID_OEMUI, IID_IClassFactory, factory.PutVoid()), S_OK);

  RefusingUnknown outer;
  void* object = reinterpret_cast<void*>(1);
  EXPECT_EQ(factory->CreateInstance(&outer, IID_IUnknown, &object), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(object, nullptr);

  object = reinterpret_cast<void*>(1);
  EXPECT_EQ(factory->CreateInstance(nullptr, kOtherInterface, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);

  w32::ComPtr<IPrintOemUI> plugin;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IPrintOemUI, plugin.PutVoid()), S_OK);
  ASSERT_TRUE(plugin);
}

TEST(DrvuiClassObject, PluginAnswersItsTwoInterfacesAsOneObject) {
  w32::ComPtr<IPrintOemUI> plugin = Library().CreatePlugin();
  ASSERT_TRUE(plugin);

  w32::ComPtr<IUnknown> unknown;
  ASSERT_EQ(plugin->QueryInterface(IID_IUnknown, unknown.PutVoid()), S_OK);
  w32::ComPtr<IPrintOemUI> again;
  ASSERT_EQ(unknown->QueryInterface(IID_IPrintOemUI, again.PutVoid()), S_OK);
  EXPECT_EQ(again.Get(), plugin.Get());

  void* other = reinterpret_cast<void*>(1);
  EXPECT_EQ(plugin->QueryInterface(kOtherInterface, &other), E_NOINTERFACE);
  EXPECT_EQ(other, nullptr);
  EXPECT_EQ(plugin->QueryInterface(IID_IClassFactory, &other), E_NOINTERFACE);

  // AddRef and Release answer the new count.
  const ULONG up = plugin->AddRef();
  EXPECT_EQ(plugin->Release(), up - 1);
}

TEST(DrvuiModule, CannotUnloadWhileAnObjectOrALockLives) {
  PluginLibrary& library = Library();
  ASSERT_TRUE(library.Loaded());
  ASSERT_EQ(library.CanUnloadNow(), S_OK) << "an earlier test left an object alive";

  {
    w32::ComPtr<IPrintOemUI> plugin = library.CreatePlugin();
    ASSERT_TRUE(plugin);
    EXPECT_EQ(library.CanUnloadNow(), S_FALSE);
    w32::ComPtr<IPrintOemUI> second = library.CreatePlugin();
    plugin.Reset();
    EXPECT_EQ(library.CanUnloadNow(), S_FALSE) << "one plug-in object is still alive";
  }
  EXPECT_EQ(library.CanUnloadNow(), S_OK);

  {
    w32::ComPtr<IClassFactory> factory;
    ASSERT_EQ(library.GetClassObject(CLSID_OEMUI, IID_IClassFactory, factory.PutVoid()), S_OK);
    ASSERT_EQ(factory->LockServer(TRUE), S_OK);
    factory.Reset();
    EXPECT_EQ(library.CanUnloadNow(), S_FALSE) << "the lock is held";
    ASSERT_EQ(library.GetClassObject(CLSID_OEMUI, IID_IClassFactory, factory.PutVoid()), S_OK);
    ASSERT_EQ(factory->LockServer(FALSE), S_OK);
  }
  EXPECT_EQ(library.CanUnloadNow(), S_OK);
}

// The host calls the plug-in through the raw vtable: slot numbers are the
// contract. Each slot is called through a function type written here, with
// arguments only the right method answers as checked.
template <class Fn>
Fn Slot(IPrintOemUI* plugin, int slot) {
  void** table = *reinterpret_cast<void***>(plugin);
  return reinterpret_cast<Fn>(table[slot]);
}

TEST(DrvuiVtable, EverySlotHoldsItsMethod) {
  w32::ComPtr<IPrintOemUI> pluginOwner = Library().CreatePlugin();
  ASSERT_TRUE(pluginOwner);
  IPrintOemUI* plugin = pluginOwner.Get();

  // 3: GetInfo(mode, buffer, size, needed)
  using GetInfoFn = HRESULT(STDMETHODCALLTYPE*)(void*, DWORD, PVOID, DWORD, PDWORD);
  DWORD signature = 0, needed = 0;
  EXPECT_EQ(Slot<GetInfoFn>(plugin, 3)(plugin, OEMGI_GETSIGNATURE, &signature, 4, &needed), S_OK);
  EXPECT_EQ(signature, 0x4D534654u);

  // 4: DevMode(mode, param)
  using DevModeFn = HRESULT(STDMETHODCALLTYPE*)(void*, DWORD, POEMDMPARAM);
  OEMDMPARAM dm = {};
  dm.cbSize = sizeof dm;
  EXPECT_EQ(Slot<DevModeFn>(plugin, 4)(plugin, OEMDM_SIZE, &dm), S_OK);
  EXPECT_EQ(dm.cbBufSize, 16u);

  // 5: PublishDriverInterface(unknown)
  using PublishFn = HRESULT(STDMETHODCALLTYPE*)(void*, IUnknown*);
  FakeDriverUI driver;
  EXPECT_EQ(Slot<PublishFn>(plugin, 5)(plugin, &driver), S_OK);
  EXPECT_EQ(driver.refs, 2u);

  // 6: CommonUIProp(mode, param)
  using CommonUIPropFn = HRESULT(STDMETHODCALLTYPE*)(void*, DWORD, POEMCUIPPARAM);
  OPTITEM colour = {};
  colour.cbSize = sizeof colour;
  colour.DMPubID = DMPUB_COLOR;
  OEMCUIPPARAM ui = {};
  ui.cbSize = sizeof ui;
  ui.pDrvOptItems = &colour;
  ui.cDrvOptItems = 1;
  EXPECT_EQ(Slot<CommonUIPropFn>(plugin, 6)(plugin, OEMCUIP_DOCPROP, &ui), S_OK);
  EXPECT_EQ(colour.Flags, 0x22u);

  // 7 and 8: DocumentPropertySheets, DevicePropertySheets(info, lParam). Only
  // the device sheet's pages carry the plug-in's activation context.
  using SheetsFn = HRESULT(STDMETHODCALLTYPE*)(void*, PPROPSHEETUI_INFO, LPARAM);
  FakeSheetHost documentHost;
  PROPSHEETUI_INFO info = documentHost.Info(PROPSHEETUI_REASON_INIT);
  EXPECT_EQ(Slot<SheetsFn>(plugin, 7)(plugin, &info, 0), S_OK);
  ASSERT_EQ(documentHost.pages.size(), 2u);
  EXPECT_FALSE(documentHost.pages[0].page.dwFlags & PSP_USEFUSIONCONTEXT);
  FakeSheetHost deviceHost;
  info = deviceHost.Info(PROPSHEETUI_REASON_INIT);
  EXPECT_EQ(Slot<SheetsFn>(plugin, 8)(plugin, &info, 0), S_OK);
  ASSERT_EQ(deviceHost.pages.size(), 2u);
  EXPECT_TRUE(deviceHost.pages[0].page.dwFlags & PSP_USEFUSIONCONTEXT);

  // 9 to 13, 15 and 16 are not implemented. Called with null arguments:
  // a method that did anything with them would crash.
  using NotImplFn4 = HRESULT(STDMETHODCALLTYPE*)(void*, void*, void*, void*, void*);
  using NotImplFn9 = HRESULT(STDMETHODCALLTYPE*)(void*, void*, HANDLE, PWSTR, WORD, void*, void*,
                                                 void*, DWORD, DWORD*);
  using NotImplFn2 = HRESULT(STDMETHODCALLTYPE*)(void*, DWORD, PBYTE);
  using EventFn = HRESULT(STDMETHODCALLTYPE*)(void*, DWORD_PTR, INT_PTR, DWORD, LPARAM);
  using NotImplFn3 = HRESULT(STDMETHODCALLTYPE*)(void*, HANDLE, HANDLE, PWSTR);
  EXPECT_EQ(Slot<NotImplFn4>(plugin, 9)(plugin, nullptr, nullptr, nullptr, nullptr), E_NOTIMPL);
  EXPECT_EQ(Slot<NotImplFn9>(plugin, 10)(plugin, nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                         nullptr, 0, nullptr),
            E_NOTIMPL);
  EXPECT_EQ(Slot<NotImplFn2>(plugin, 11)(plugin, 0, nullptr), E_NOTIMPL);
  EXPECT_EQ(Slot<EventFn>(plugin, 12)(plugin, 0, 0, 0, 0), E_NOTIMPL);
  EXPECT_EQ(Slot<EventFn>(plugin, 13)(plugin, 0, 0, 0, 0), E_NOTIMPL);
  EXPECT_EQ(Slot<EventFn>(plugin, 15)(plugin, 0, 0, 0, 0), E_NOTIMPL);
  EXPECT_EQ(Slot<NotImplFn3>(plugin, 16)(plugin, nullptr, nullptr, nullptr), E_NOTIMPL);

  // 14: QueryColorProfile(printer, uiobj, public, private, mode, buffer, size, flags)
  using ProfileFn = HRESULT(STDMETHODCALLTYPE*)(void*, HANDLE, POEMUIOBJ, PDEVMODEW, PVOID, ULONG,
                                                VOID*, ULONG*, FLONG*);
  wchar_t name[16] = {};
  ULONG size = sizeof name;
  FLONG flags = 0;
  EXPECT_EQ(Slot<ProfileFn>(plugin, 14)(plugin, nullptr, nullptr, nullptr, nullptr,
                                        QCP_DEVICEPROFILE, name, &size, &flags),
            S_OK);
  EXPECT_STREQ(name, L"OEMPROFILE.icm");

  // The published host interface goes with the object.
  pluginOwner.Reset();
  EXPECT_EQ(driver.refs, 1u);
}

}  // namespace
}  // namespace drvui_test
