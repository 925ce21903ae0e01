#include "oem_ui_plugin.h"

#include <cstring>
#include <utility>

#include "private_devmode.h"
#include "product_info.h"
#include "property_pages.h"

namespace drvui {

namespace {

HRESULT Fail(DWORD lastError) {
  ::SetLastError(lastError);
  return E_FAIL;
}

// Public DEVMODE items of the driver's own pages that the plug-in takes away:
// PDF output has no colour modes or colour matching to choose.
bool IsColourItem(const OPTITEM& item) {
  return item.DMPubID == DMPUB_COLOR || item.DMPubID == DMPUB_ICMMETHOD ||
         item.DMPubID == DMPUB_ICMINTENT;
}

// The callbacks the host calls for the plug-in's own option items. Answering
// "items applied" on apply is what the host expects of every callback; an
// activated document page asks the host to refresh the items' flags.
LONG APIENTRY DocumentItemsCallback(PCPSUICBPARAM param, POEMCUIPPARAM) {
  if (!param) return CPSUICB_ACTION_NONE;
  if (param->Reason == CPSUICB_REASON_APPLYNOW) return CPSUICB_ACTION_ITEMS_APPLIED;
  return param->Reason == CPSUICB_REASON_SETACTIVE ? CPSUICB_ACTION_OPTIF_CHANGED
                                                   : CPSUICB_ACTION_NONE;
}

LONG APIENTRY PrinterItemsCallback(PCPSUICBPARAM param, POEMCUIPPARAM) {
  if (param && param->Reason == CPSUICB_REASON_APPLYNOW) return CPSUICB_ACTION_ITEMS_APPLIED;
  return CPSUICB_ACTION_NONE;
}

}  // namespace

HRESULT CInkOemUI::GetInfo(DWORD mode, PVOID buffer, DWORD bufferSize, PDWORD needed) {
  if (!needed ||
      (mode != OEMGI_GETSIGNATURE && mode != OEMGI_GETVERSION && mode != OEMGI_GETPUBLISHERINFO))
    return Fail(ERROR_INVALID_PARAMETER);

  *needed = sizeof(DWORD);
  if (!buffer || bufferSize < sizeof(DWORD)) return Fail(ERROR_INSUFFICIENT_BUFFER);

  switch (mode) {
    case OEMGI_GETSIGNATURE:
      std::memcpy(buffer, &kSignature, sizeof kSignature);
      return S_OK;
    case OEMGI_GETVERSION:
      std::memcpy(buffer, &kVersion, sizeof kVersion);
      return S_OK;
    default:  // publisher information: nothing to publish
      *needed = 0;
      return Fail(ERROR_NOT_SUPPORTED);
  }
}

HRESULT CInkOemUI::DevMode(DWORD mode, POEMDMPARAM param) {
  if (!param || mode < OEMDM_SIZE || mode > OEMDM_MERGE) return Fail(ERROR_INVALID_PARAMETER);

  if (mode == OEMDM_SIZE) {
    param->cbBufSize = kPrivateDevModeSize;
    return S_OK;
  }
  // Every other mode writes the output part: it must be there and hold all of it.
  if (!param->pOEMDMOut) {
    if (mode == OEMDM_DEFAULT) return Fail(ERROR_INVALID_PARAMETER);
    return S_OK;  // nothing to convert into
  }
  if (param->cbBufSize < kPrivateDevModeSize) return Fail(ERROR_INSUFFICIENT_BUFFER);

  auto& out = *static_cast<PrivateDevMode*>(param->pOEMDMOut);
  switch (mode) {
    case OEMDM_DEFAULT:
      WriteDefault(out);
      break;
    case OEMDM_CONVERT:
      if (param->pOEMDMIn) Convert(param->pOEMDMIn, out);
      break;
    case OEMDM_MERGE:
      if (param->pOEMDMIn) Convert(param->pOEMDMIn, out);
      Validate(out);
      break;
  }
  return S_OK;
}

HRESULT CInkOemUI::PublishDriverInterface(IUnknown* driver) {
  if (driver_) return S_OK;
  if (!driver) return E_FAIL;
  w32::ComPtr<IPrintOemDriverUI> answer;
  if (FAILED(driver->QueryInterface(IID_IPrintOemDriverUI, answer.PutVoid())) || !answer) {
    return E_FAIL;
  }
  driver_ = std::move(answer);
  return S_OK;
}

HRESULT CInkOemUI::CommonUIProp(DWORD mode, POEMCUIPPARAM param) {
  if (!param || (mode != OEMCUIP_DOCPROP && mode != OEMCUIP_PRNPROP))
    return Fail(ERROR_INVALID_PARAMETER);

  if (param->pDrvOptItems) {
    for (DWORD i = 0; i < param->cDrvOptItems; ++i) {
      OPTITEM& item = param->pDrvOptItems[i];
      if (IsColourItem(item)) item.Flags = OPTIF_HIDE | OPTIF_DISABLED;
    }
  }
  if (param->pOEMOptItems) {
    param->OEMCUIPCallback =
        mode == OEMCUIP_DOCPROP ? DocumentItemsCallback : PrinterItemsCallback;
  }
  return S_OK;
}

HRESULT CInkOemUI::DocumentPropertySheets(PPROPSHEETUI_INFO info, LPARAM lParam) {
  return HandlePropertySheetCall(info, lParam, PageContext::kNone);
}

HRESULT CInkOemUI::DevicePropertySheets(PPROPSHEETUI_INFO info, LPARAM lParam) {
  return HandlePropertySheetCall(info, lParam, PageContext::kPlugin);
}

HRESULT CInkOemUI::DevQueryPrintEx(POEMUIOBJ, PDEVQUERYPRINT_INFO, PDEVMODEW, PVOID) {
  return E_NOTIMPL;
}

HRESULT CInkOemUI::DeviceCapabilitiesW(POEMUIOBJ, HANDLE, PWSTR, WORD, PVOID, PDEVMODEW, PVOID,
                                       DWORD, DWORD*) {
  return E_NOTIMPL;
}

HRESULT CInkOemUI::UpgradePrinter(DWORD, PBYTE) { return E_NOTIMPL; }

HRESULT CInkOemUI::PrinterEvent(PWSTR, INT, DWORD, LPARAM) { return E_NOTIMPL; }

HRESULT CInkOemUI::DriverEvent(DWORD, DWORD, LPBYTE, LPARAM) { return E_NOTIMPL; }

HRESULT CInkOemUI::QueryColorProfile(HANDLE, POEMUIOBJ, PDEVMODEW, PVOID, ULONG queryMode,
                                     VOID* profile, ULONG* profileSize, FLONG* profileFlags) {
  if (queryMode != QCP_DEVICEPROFILE) return E_FAIL;
  if (!profileSize) return Fail(ERROR_INVALID_PARAMETER);

  // Room for the name with its terminator, rounded up as the host expects.
  constexpr ULONG kProfileBufferSize = 32;
  static_assert(sizeof kColorProfileName <= kProfileBufferSize, "profile name fits");
  if (profile && *profileSize >= kProfileBufferSize) {
    std::memcpy(profile, kColorProfileName, sizeof kColorProfileName);
    *profileSize = kProfileBufferSize;
    if (profileFlags) *profileFlags = QCP_PROFILEDISK;
    return S_OK;
  }
  *profileSize = kProfileBufferSize;
  return Fail(ERROR_INSUFFICIENT_BUFFER);
}

HRESULT CInkOemUI::FontInstallerDlgProc(HWND, UINT, WPARAM, LPARAM) { return E_NOTIMPL; }

HRESULT CInkOemUI::UpdateExternalFonts(HANDLE, HANDLE, PWSTR) { return E_NOTIMPL; }

}  // namespace drvui
