#include "property_pages.h"

#include <shellapi.h>
#include <string>

#include "activation_context.h"
#include "product_info.h"
#include "resource_ids.h"
#include "settings_program.h"
#include "title_painter.h"
#include "w32/com_module.h"
#include "w32/strings.h"

namespace drvui {

static_assert(sizeof(PROPSHEETPAGEW) >= kPageDescriptionSize,
              "PROPSHEETPAGEW must carry the activation-context field");

namespace {

// Asks the host to add one page; its answer (a page handle, or a value of 0
// or below on failure).
LONG_PTR AddPage(const PROPSHEETUI_INFO& info, WORD templateId, DLGPROC procedure,
                 HANDLE activationContext) {
  PROPSHEETPAGEW page = {};
  page.dwSize = kPageDescriptionSize;
  page.dwFlags = PSP_DEFAULT;
  page.hInstance = w32::ComModule::Handle();
  page.pszTemplate = MAKEINTRESOURCEW(templateId);
  page.pfnDlgProc = procedure;
  if (activationContext) {
    page.dwFlags |= PSP_USEFUSIONCONTEXT;
    page.hActCtx = activationContext;
  }
  return info.pfnComPropSheet(info.hComPropSheet, CPSFUNC_ADD_PROPSHEETPAGEW,
                              reinterpret_cast<LPARAM>(&page), 0);
}

HRESULT InvalidParameter() {
  ::SetLastError(ERROR_INVALID_PARAMETER);
  return E_FAIL;
}

bool IsClick(WPARAM wParam, int id) {
  return LOWORD(wParam) == id && HIWORD(wParam) == BN_CLICKED;
}

void InitAboutPage(HWND page) noexcept {
  HWND title = ::GetDlgItem(page, IDC_ABOUT_TITLE);
  PaintAsTitle(title);
  ::SetWindowTextW(title, kProductName);
  try {
    const std::wstring version = w32::Format(L"Version %s\n\n", kProductVersion) + kMakerNotice;
    ::SetDlgItemTextW(page, IDC_ABOUT_VERSION, version.c_str());
  } catch (...) {
    // No memory for the text: the page stays usable without it.
  }
  ::SetDlgItemTextW(page, IDC_ABOUT_MAKER_LINK, kMakerWebAddress);
}

}  // namespace

HRESULT HandlePropertySheetCall(PPROPSHEETUI_INFO info, LPARAM lParam, PageContext context) {
  if (!info || info->Version != PROPSHEETUI_INFO_VERSION) return InvalidParameter();

  LONG_PTR result = 0;
  switch (info->Reason) {
    case PROPSHEETUI_REASON_INIT: {
      if (!info->pfnComPropSheet) return InvalidParameter();
      const HANDLE actCtx = context == PageContext::kPlugin ? PluginActivationContext() : nullptr;
      AddPage(*info, IDD_ADDITIONAL_PAGE, AdditionalPageProc, actCtx);
      result = AddPage(*info, IDD_ABOUT_PAGE, AboutPageProc, actCtx);
      break;
    }
    case PROPSHEETUI_REASON_GET_INFO_HEADER: {
      auto* header = reinterpret_cast<PPROPSHEETUI_INFO_HEADER>(lParam);
      if (!header) return InvalidParameter();
      // The host only reads the title.
      header->pTitle = const_cast<LPWSTR>(kSheetTitle);
      result = 1;
      break;
    }
    case PROPSHEETUI_REASON_DESTROY:
      result = 1;
      break;
    case PROPSHEETUI_REASON_SET_RESULT: {
      auto* setResult = reinterpret_cast<PSETRESULT_INFO>(lParam);
      if (!setResult) return InvalidParameter();
      result = setResult->Result;
      break;
    }
    case PROPSHEETUI_REASON_GET_ICON:
      result = 0;
      break;
    default:
      result = lParam;
      break;
  }
  info->Result = static_cast<ULONG_PTR>(result);
  return S_OK;
}

INT_PTR CALLBACK AdditionalPageProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_COMMAND:
      if (IsClick(wParam, IDC_ADDITIONAL_PROPERTIES)) {
        StartSettingsProgram();
        return TRUE;
      }
      break;
  }
  return FALSE;
}

INT_PTR CALLBACK AboutPageProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      InitAboutPage(page);
      return TRUE;
    case WM_COMMAND:
      if (IsClick(wParam, IDC_ABOUT_MAKER_LINK)) {
        ::ShellExecuteW(page, L"open", kMakerWebUrl, nullptr, nullptr, SW_SHOWNORMAL);
        return TRUE;
      }
      break;
  }
  return FALSE;
}

}  // namespace drvui
