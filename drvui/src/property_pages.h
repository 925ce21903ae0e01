// The plug-in's two property pages, "Additional" and "About", and how they
// are handed to the host's common property-sheet services.
#pragma once
#include <windows.h>

#include "oem_ui_kit.h"

namespace drvui {

enum class PageContext {
  kNone,    // document properties: pages run in the host's context
  kPlugin,  // device properties: pages run in the plug-in's own context
};

// The size of the page description the host is given: the layout that
// carries the activation-context handle.
inline constexpr UINT kPageDescriptionSize = 52;

// Handles one call of the host's property-sheet protocol for either sheet:
// adds the pages on initialisation and answers the other reasons. Stores the
// result in `info`. E_FAIL with ERROR_INVALID_PARAMETER for a bad block.
HRESULT HandlePropertySheetCall(PPROPSHEETUI_INFO info, LPARAM lParam, PageContext context);

INT_PTR CALLBACK AdditionalPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AboutPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace drvui
