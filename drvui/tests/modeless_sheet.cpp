#include "modeless_sheet.h"

#include <commctrl.h>

namespace drvui_test {

ModelessSheet::~ModelessSheet() {
  if (sheet_ && ::IsWindow(sheet_)) {
    ::DestroyWindow(sheet_);
    PumpFor(50);
  }
}

bool ModelessSheet::Show(const std::vector<PROPSHEETPAGEW>& pages, const std::wstring& caption) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
  ::InitCommonControlsEx(&controls);

  std::vector<HPROPSHEETPAGE> handles;
  for (const PROPSHEETPAGEW& page : pages) {
    HPROPSHEETPAGE handle = ::CreatePropertySheetPageW(&page);
    if (!handle) {
      error_ = L"CreatePropertySheetPageW failed";
      for (HPROPSHEETPAGE made : handles) ::DestroyPropertySheetPage(made);
      return false;
    }
    handles.push_back(handle);
  }

  PROPSHEETHEADERW header = {};
  header.dwSize = sizeof header;
  header.dwFlags = PSH_MODELESS | PSH_NOAPPLYNOW;
  header.hInstance = ::GetModuleHandleW(nullptr);
  header.pszCaption = caption.c_str();
  header.nPages = static_cast<UINT>(handles.size());
  header.phpage = handles.data();
  // A modeless sheet answers its window; the pages now belong to it.
  const INT_PTR made = ::PropertySheetW(&header);
  sheet_ = made > 0 ? reinterpret_cast<HWND>(made) : nullptr;
  if (!sheet_) {
    error_ = L"PropertySheetW failed";
    return false;
  }
  ::SetWindowPos(sheet_, HWND_TOP, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
  return true;
}

HWND ModelessSheet::Page(int index) const {
  return sheet_ ? reinterpret_cast<HWND>(::SendMessageW(sheet_, PSM_INDEXTOHWND, index, 0))
                : nullptr;
}

bool ModelessSheet::Select(int index, DWORD timeoutMs) {
  if (!sheet_) return false;
  ::SendMessageW(sheet_, PSM_SETCURSEL, index, 0);
  return PumpUntil([&] { return Page(index) != nullptr && ::IsWindowVisible(Page(index)); },
                   timeoutMs);
}

bool ModelessSheet::PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (sheet_ && ::IsWindow(sheet_) && ::SendMessageW(sheet_, PSM_ISDIALOGMESSAGE, 0,
                                                         reinterpret_cast<LPARAM>(&message)))
        continue;
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
    if (condition()) return true;
    if (::GetTickCount() - start >= timeoutMs) return condition();
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
}

void ModelessSheet::PumpFor(DWORD ms) {
  PumpUntil([] { return false; }, ms);
}

}  // namespace drvui_test
