// Stands in for the common property-sheet services of the printer driver's
// user interface: the add-page service the plug-in calls, recording each page
// description it is given, and the PROPSHEETUI_INFO block for each call.
#pragma once
#include <windows.h>
#include <prsht.h>
#include <vector>

#include "oem_ui_kit.h"

namespace drvui_test {

class FakeSheetHost {
 public:
  // Answer of the add-page service for the n-th page (0-based): a made-up
  // page handle the tests can recognise.
  static constexpr LONG_PTR PageHandle(size_t n) { return 0x5100 + static_cast<LONG_PTR>(n); }

  // A block for `reason`, set up as the host sets it up.
  PROPSHEETUI_INFO Info(WORD reason);

  struct AddedPage {
    UINT declaredSize;        // dwSize the plug-in declared
    PROPSHEETPAGEW page;      // the description, as far as the declared size goes
  };
  std::vector<AddedPage> pages;
  std::vector<UINT> otherFunctions;  // services asked for other than adding a page

 private:
  static LONG_PTR CALLBACK Service(HANDLE sheet, UINT function, LPARAM lParam1, LPARAM lParam2);
};

}  // namespace drvui_test
