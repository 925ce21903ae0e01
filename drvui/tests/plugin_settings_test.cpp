// What the plug-in tells and keeps for the driver: GetInfo, the private
// DEVMODE part, the colour profile, the hidden colour options and the
// published driver interface.
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>

#include "fake_driver.h"
#include "plugin_library.h"

namespace drvui_test {
namespace {

constexpr DWORD kSignature = 0x4D534654;  // 'MSFT'

class DrvuiPlugin : public ::testing::Test {
 protected:
  void SetUp() override {
    plugin_ = PluginLibrary::Built().CreatePlugin();
    ASSERT_TRUE(plugin_) << "no plug-in object from inkdrvui.dll";
  }
  // Calls `call` with a known last error, so a test can tell whether it set one.
  template <class Call>
  HRESULT WithLastError(Call call, DWORD* lastError) {
    ::SetLastError(0xCAFE);
    const HRESULT hr = call();
    *lastError = ::GetLastError();
    return hr;
  }
  w32::ComPtr<IPrintOemUI> plugin_;
};

// --- GetInfo ---------------------------------------------------------------

TEST_F(DrvuiPlugin, GetInfoGivesSignatureAndVersion) {
  BYTE buffer[8] = {};
  DWORD needed = 0;
  ASSERT_EQ(plugin_->GetInfo(OEMGI_GETSIGNATURE, buffer, sizeof buffer, &needed), S_OK);
  EXPECT_EQ(needed, 4u);
  const BYTE msft[] = {0x54, 0x46, 0x53, 0x4D};
  EXPECT_EQ(std::memcmp(buffer, msft, 4), 0) << "the signature reads 'TFSM' in memory";
  EXPECT_EQ(buffer[4], 0) << "wrote past the 4 bytes it announced";

  DWORD version = 0;
  ASSERT_EQ(plugin_->GetInfo(OEMGI_GETVERSION, &version, sizeof version, &needed), S_OK);
  EXPECT_EQ(version, 1u);
  EXPECT_EQ(needed, 4u);
}

TEST_F(DrvuiPlugin, GetInfoRejectsInterfaceVersionAndUnknownModes) {
  for (DWORD mode : std::initializer_list<DWORD>{0, OEMGI_GETINTERFACEVERSION, 5, 0xFFFFFFFF}) {
    DWORD value = 0x77, needed = 0x99, error = 0;
    EXPECT_EQ(WithLastError([&] { return plugin_->GetInfo(mode, &value, 4, &needed); }, &error),
              E_FAIL)
        << "mode " << mode;
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_INVALID_PARAMETER)) << "mode " << mode;
    EXPECT_EQ(value, 0x77u);
  }
  DWORD value = 0, error = 0;
  EXPECT_EQ(WithLastError([&] { return plugin_->GetInfo(OEMGI_GETSIGNATURE, &value, 4, nullptr); },
                          &error),
            E_FAIL);
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(DrvuiPlugin, GetInfoAsksForFourBytes) {
  DWORD value = 0x77, needed = 0, error = 0;
  EXPECT_EQ(WithLastError([&] { return plugin_->GetInfo(OEMGI_GETSIGNATURE, &value, 3, &needed); },
                          &error),
            E_FAIL);
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(needed, 4u);
  EXPECT_EQ(value, 0x77u);

  needed = 0;
  EXPECT_EQ(WithLastError([&] { return plugin_->GetInfo(OEMGI_GETVERSION, nullptr, 64, &needed); },
                          &error),
            E_FAIL);
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(needed, 4u);
}

TEST_F(DrvuiPlugin, GetInfoHasNoPublisherInformation) {
  DWORD value = 0x77, needed = 0x99, error = 0;
  EXPECT_EQ(WithLastError(
                [&] { return plugin_->GetInfo(OEMGI_GETPUBLISHERINFO, &value, 4, &needed); },
                &error),
            E_FAIL);
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_NOT_SUPPORTED));
  EXPECT_EQ(needed, 0u);
  EXPECT_EQ(value, 0x77u);
}

// --- DevMode -----------------------------------------------------------------

struct Private {
  DWORD size, signature, version;
  LONG value;
};
static_assert(sizeof(Private) == 16, "");

OEMDMPARAM DevModeParam(Private* in, Private* out, DWORD outSize = sizeof(Private)) {
  OEMDMPARAM param = {};
  param.cbSize = sizeof param;
  param.pOEMDMIn = in;
  param.pOEMDMOut = out;
  param.cbBufSize = outSize;
  return param;
}

void ExpectDefault(const Private& p) {
  EXPECT_EQ(p.size, 16u);
  EXPECT_EQ(p.signature, kSignature);
  EXPECT_EQ(p.version, 1u);
  EXPECT_EQ(p.value, 0);
}

TEST_F(DrvuiPlugin, DevModeRejectsBadModesAndMissingBlock) {
  DWORD error = 0;
  EXPECT_EQ(WithLastError([&] { return plugin_->DevMode(OEMDM_SIZE, nullptr); }, &error), E_FAIL);
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  Private out = {1, 2, 3, 4};
  OEMDMPARAM param = DevModeParam(nullptr, &out);
  for (DWORD mode : std::initializer_list<DWORD>{0, 5}) {
    EXPECT_EQ(WithLastError([&] { return plugin_->DevMode(mode, &param); }, &error), E_FAIL);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  }
  EXPECT_EQ(out.size, 1u);
}

TEST_F(DrvuiPlugin, DevModeSizeAndDefault) {
  OEMDMPARAM param = DevModeParam(nullptr, nullptr, 0);
  ASSERT_EQ(plugin_->DevMode(OEMDM_SIZE, &param), S_OK);
  EXPECT_EQ(param.cbBufSize, 16u);

  Private out[2] = {{9, 9, 9, 9}, {7, 7, 7, 7}};
  param = DevModeParam(nullptr, &out[0]);
  ASSERT_EQ(plugin_->DevMode(OEMDM_DEFAULT, &param), S_OK);
  ExpectDefault(out[0]);
  EXPECT_EQ(out[1].size, 7u) << "wrote past its 16 bytes";
}

TEST_F(DrvuiPlugin, DevModeMergeBringsTheValueIntoRange) {
  struct Case {
    LONG in, merged;
  } cases[] = {{150, 0}, {40, 40}, {100, 100}, {101, 0}, {0, 0}, {-5, 0}};
  for (const Case& c : cases) {
    Private in = {16, kSignature, 1, c.in};
    Private out = {16, kSignature, 1, 0};
    OEMDMPARAM param = DevModeParam(&in, &out);
    ASSERT_EQ(plugin_->DevMode(OEMDM_MERGE, &param), S_OK);
    EXPECT_EQ(out.value, c.merged) << "merging " << c.in;
    EXPECT_EQ(out.size, 16u);
    EXPECT_EQ(out.signature, kSignature);
    EXPECT_EQ(out.version, 1u);
  }
}

TEST_F(DrvuiPlugin, DevModeMergeWorksInPlace) {
  Private both = {16, kSignature, 1, 40};
  OEMDMPARAM param = DevModeParam(&both, &both);
  ASSERT_EQ(plugin_->DevMode(OEMDM_MERGE, &param), S_OK);
  EXPECT_EQ(both.value, 40);
}

TEST_F(DrvuiPlugin, DevModeConvertKeepsOursAndDefaultsAForeignPart) {
  {
    Private in = {16, kSignature, 1, 40};
    Private out = {16, kSignature, 1, 0};
    OEMDMPARAM param = DevModeParam(&in, &out);
    ASSERT_EQ(plugin_->DevMode(OEMDM_CONVERT, &param), S_OK);
    EXPECT_EQ(out.value, 40);
  }
  {
    // Written by another plug-in: its value means nothing here.
    Private in = {16, 0x44434241, 7, 77};
    Private out = {16, kSignature, 1, 33};
    OEMDMPARAM param = DevModeParam(&in, &out);
    ASSERT_EQ(plugin_->DevMode(OEMDM_CONVERT, &param), S_OK);
    ExpectDefault(out);
  }
  {
    // An older part of ours that ends before the value: the value starts at 0.
    Private in = {12, kSignature, 0, 55};
    Private out = {16, kSignature, 1, 33};
    OEMDMPARAM param = DevModeParam(&in, &out);
    ASSERT_EQ(plugin_->DevMode(OEMDM_CONVERT, &param), S_OK);
    ExpectDefault(out);
  }
  {
    // Ours, into an output the host has not defaulted yet.
    Private in = {16, kSignature, 1, 60};
    Private out = {0, 0, 0, 0};
    OEMDMPARAM param = DevModeParam(&in, &out);
    ASSERT_EQ(plugin_->DevMode(OEMDM_CONVERT, &param), S_OK);
    EXPECT_EQ(out.signature, kSignature);
    EXPECT_EQ(out.size, 16u);
    EXPECT_EQ(out.value, 60);
  }
}

TEST_F(DrvuiPlugin, DevModeConvertWithoutInputLeavesOutputAlone) {
  Private out = {16, kSignature, 1, 44};
  OEMDMPARAM param = DevModeParam(nullptr, &out);
  ASSERT_EQ(plugin_->DevMode(OEMDM_CONVERT, &param), S_OK);
  EXPECT_EQ(out.value, 44);
  param = DevModeParam(&out, nullptr);
  EXPECT_EQ(plugin_->DevMode(OEMDM_CONVERT, &param), S_OK);
}

TEST_F(DrvuiPlugin, DevModeNeverWritesPastTheHostsBuffer) {
  Private in = {16, kSignature, 1, 40};
  Private out = {5, 5, 5, 5};
  DWORD error = 0;
  for (DWORD mode : std::initializer_list<DWORD>{OEMDM_DEFAULT, OEMDM_CONVERT, OEMDM_MERGE}) {
    OEMDMPARAM param = DevModeParam(&in, &out, 12);
    EXPECT_EQ(WithLastError([&] { return plugin_->DevMode(mode, &param); }, &error), E_FAIL);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  }
  EXPECT_EQ(out.size, 5u);
  OEMDMPARAM param = DevModeParam(&in, nullptr);
  EXPECT_EQ(WithLastError([&] { return plugin_->DevMode(OEMDM_DEFAULT, &param); }, &error),
            E_FAIL);
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

// --- QueryColorProfile -------------------------------------------------------

TEST_F(DrvuiPlugin, ColourProfileFitsExactly32Bytes) {
  BYTE buffer[40];
  std::memset(buffer, 0xAB, sizeof buffer);
  ULONG size = 32;
  FLONG flags = 0;
  ASSERT_EQ(plugin_->QueryColorProfile(nullptr, nullptr, nullptr, nullptr, QCP_DEVICEPROFILE,
                                       buffer, &size, &flags),
            S_OK);
  EXPECT_STREQ(reinterpret_cast<const wchar_t*>(buffer), L"OEMPROFILE.icm");
  EXPECT_EQ(size, 32u);
  EXPECT_EQ(flags, static_cast<FLONG>(QCP_PROFILEDISK));
  for (size_t i = 32; i < sizeof buffer; ++i) EXPECT_EQ(buffer[i], 0xAB) << "byte " << i;
}

TEST_F(DrvuiPlugin, ColourProfileAsksFor32Bytes) {
  BYTE buffer[32];
  std::memset(buffer, 0xAB, sizeof buffer);
  ULONG size = 31;
  FLONG flags = 0x55;
  DWORD error = 0;
  EXPECT_EQ(WithLastError(
                [&] {
                  return plugin_->QueryColorProfile(nullptr, nullptr, nullptr, nullptr,
                                                    QCP_DEVICEPROFILE, buffer, &size, &flags);
                },
                &error),
            E_FAIL);
  EXPECT_EQ(size, 32u);
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(buffer[0], 0xAB);
  EXPECT_EQ(flags, 0x55u);

  size = 64;  // a size, but no buffer
  EXPECT_EQ(plugin_->QueryColorProfile(nullptr, nullptr, nullptr, nullptr, QCP_DEVICEPROFILE,
                                       nullptr, &size, &flags),
            E_FAIL);
  EXPECT_EQ(size, 32u);
}

TEST_F(DrvuiPlugin, ColourProfileOnlyForTheDevice) {
  BYTE buffer[64] = {};
  ULONG size = sizeof buffer;
  FLONG flags = 0;
  EXPECT_EQ(plugin_->QueryColorProfile(nullptr, nullptr, nullptr, nullptr, QCP_SOURCEPROFILE,
                                       buffer, &size, &flags),
            E_FAIL);
  EXPECT_EQ(buffer[0], 0);
  EXPECT_EQ(plugin_->QueryColorProfile(nullptr, nullptr, nullptr, nullptr, QCP_DEVICEPROFILE,
                                       buffer, nullptr, &flags),
            E_FAIL);
}

// --- CommonUIProp ------------------------------------------------------------

OPTITEM Item(BYTE dmPubId, DWORD flags) {
  OPTITEM item = {};
  item.cbSize = sizeof item;
  item.DMPubID = dmPubId;
  item.Flags = flags;
  return item;
}

TEST_F(DrvuiPlugin, CommonUIPropHidesOnlyTheColourItems) {
  for (DWORD mode : std::initializer_list<DWORD>{OEMCUIP_DOCPROP, OEMCUIP_PRNPROP}) {
    OPTITEM items[] = {Item(DMPUB_ORIENTATION, OPTIF_CALLBACK), Item(DMPUB_COLOR, OPTIF_CALLBACK),
                       Item(DMPUB_ICMMETHOD, OPTIF_COLLAPSE), Item(DMPUB_ICMINTENT, 0),
                       Item(DMPUB_COPIES_COLLATE, OPTIF_CHANGED)};
    OEMCUIPPARAM param = {};
    param.cbSize = sizeof param;
    param.pDrvOptItems = items;
    param.cDrvOptItems = 5;
    ASSERT_EQ(plugin_->CommonUIProp(mode, &param), S_OK);
    EXPECT_EQ(items[0].Flags, static_cast<DWORD>(OPTIF_CALLBACK));
    EXPECT_EQ(items[1].Flags, 0x22u);
    EXPECT_EQ(items[2].Flags, 0x22u);
    EXPECT_EQ(items[3].Flags, 0x22u);
    EXPECT_EQ(items[4].Flags, static_cast<DWORD>(OPTIF_CHANGED));
    EXPECT_EQ(param.OEMCUIPCallback, nullptr) << "no items of its own, no callback";
  }
}

TEST_F(DrvuiPlugin, CommonUIPropRejectsOtherModesAndNoBlock) {
  OPTITEM colour = Item(DMPUB_COLOR, 0);
  OEMCUIPPARAM param = {};
  param.cbSize = sizeof param;
  param.pDrvOptItems = &colour;
  param.cDrvOptItems = 1;
  DWORD error = 0;
  EXPECT_EQ(WithLastError([&] { return plugin_->CommonUIProp(3, &param); }, &error), E_FAIL);
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(colour.Flags, 0u);
  EXPECT_EQ(WithLastError([&] { return plugin_->CommonUIProp(OEMCUIP_DOCPROP, nullptr); }, &error),
            E_FAIL);
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

LONG CallBack(OEMCUIPPARAM& param, WORD reason) {
  CPSUICBPARAM cb = {};
  cb.cbSize = sizeof cb;
  cb.Reason = reason;
  return param.OEMCUIPCallback(&cb, &param);
}

TEST_F(DrvuiPlugin, CommonUIPropCallbackOfEachSheet) {
  OPTITEM own = Item(DMPUB_USER + 1, 0);
  OEMCUIPPARAM document = {};
  document.cbSize = sizeof document;
  document.pOEMOptItems = &own;
  document.cOEMOptItems = 1;
  ASSERT_EQ(plugin_->CommonUIProp(OEMCUIP_DOCPROP, &document), S_OK);
  ASSERT_NE(document.OEMCUIPCallback, nullptr);
  EXPECT_EQ(CallBack(document, CPSUICB_REASON_SETACTIVE), CPSUICB_ACTION_OPTIF_CHANGED);
  EXPECT_EQ(CallBack(document, CPSUICB_REASON_SEL_CHANGED), CPSUICB_ACTION_NONE);
  EXPECT_EQ(CallBack(document, CPSUICB_REASON_KILLACTIVE), CPSUICB_ACTION_NONE);
  EXPECT_EQ(CallBack(document, CPSUICB_REASON_APPLYNOW), CPSUICB_ACTION_ITEMS_APPLIED);

  OEMCUIPPARAM printer = document;
  printer.OEMCUIPCallback = nullptr;
  ASSERT_EQ(plugin_->CommonUIProp(OEMCUIP_PRNPROP, &printer), S_OK);
  ASSERT_NE(printer.OEMCUIPCallback, nullptr);
  EXPECT_EQ(CallBack(printer, CPSUICB_REASON_SETACTIVE), CPSUICB_ACTION_NONE);
  EXPECT_EQ(CallBack(printer, CPSUICB_REASON_SEL_CHANGED), CPSUICB_ACTION_NONE);
  EXPECT_EQ(CallBack(printer, CPSUICB_REASON_APPLYNOW), CPSUICB_ACTION_ITEMS_APPLIED);
}

// --- PublishDriverInterface --------------------------------------------------

TEST_F(DrvuiPlugin, PublishHoldsTheFirstDriverInterfaceUntilTheEnd) {
  FakeDriverUI first, second;
  ASSERT_EQ(plugin_->PublishDriverInterface(&first), S_OK);
  EXPECT_EQ(first.refs, 2u);
  EXPECT_EQ(plugin_->PublishDriverInterface(&second), S_OK);
  EXPECT_EQ(second.queries, 0) << "a second interface is not even asked for";
  EXPECT_EQ(second.refs, 1u);
  plugin_.Reset();
  EXPECT_EQ(first.refs, 1u);
}

TEST_F(DrvuiPlugin, PublishFailsForAnObjectWithoutTheDriverInterface) {
  RefusingUnknown other;
  EXPECT_EQ(plugin_->PublishDriverInterface(&other), E_FAIL);
  EXPECT_EQ(other.refs, 1u);
  EXPECT_EQ(plugin_->PublishDriverInterface(nullptr), E_FAIL);
  // Nothing held: a later driver interface is still taken.
  FakeDriverUI driver;
  EXPECT_EQ(plugin_->PublishDriverInterface(&driver), S_OK);
  EXPECT_EQ(driver.refs, 2u);
  plugin_.Reset();
  EXPECT_EQ(driver.refs, 1u);
}

}  // namespace
}  // namespace drvui_test
