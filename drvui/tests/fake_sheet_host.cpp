#include "fake_sheet_host.h"

#include <algorithm>
#include <cstring>

namespace drvui_test {

PROPSHEETUI_INFO FakeSheetHost::Info(WORD reason) {
  PROPSHEETUI_INFO info = {};
  info.cbSize = sizeof info;
  info.Version = PROPSHEETUI_INFO_VERSION;
  info.Flags = PSUIINFO_UNICODE;
  info.Reason = reason;
  info.hComPropSheet = reinterpret_cast<HANDLE>(this);
  info.pfnComPropSheet = &FakeSheetHost::Service;
  info.Result = 0xDEAD;
  return info;
}

LONG_PTR CALLBACK FakeSheetHost::Service(HANDLE sheet, UINT function, LPARAM lParam1, LPARAM) {
  auto* host = reinterpret_cast<FakeSheetHost*>(sheet);
  if (function != CPSFUNC_ADD_PROPSHEETPAGEW) {
    host->otherFunctions.push_back(function);
    return 0;
  }
  const auto* given = reinterpret_cast<const PROPSHEETPAGEW*>(lParam1);
  if (!given) return -1;
  AddedPage added = {};
  added.declaredSize = given->dwSize;
  // Read no further than the plug-in says its description goes.
  std::memcpy(&added.page, given, std::min<size_t>(given->dwSize, sizeof added.page));
  host->pages.push_back(added);
  return PageHandle(host->pages.size() - 1);
}

}  // namespace drvui_test
