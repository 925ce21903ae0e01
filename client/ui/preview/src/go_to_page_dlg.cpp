#include "preview/go_to_page_dlg.h"

#include <cwchar>

#include "controls/balloon_help.h"
#include "resources/resource_ids.h"
#include "w32/strings.h"

CGoToPageDlg::CGoToPageDlg(int pageCount, const IUiTexts& texts)
    : count_(pageCount), texts_(texts) {}

INT_PTR CGoToPageDlg::Run(HINSTANCE instance, HWND owner, int& page) {
  const INT_PTR result = DoModal(instance, IDD_GOTOPAGE, owner);
  if (result == IDOK) page = page_;
  return result;
}

int CGoToPageDlg::ParsePage(const std::wstring& text, int count) {
  if (text.empty() || text.size() > 10) return 0;
  unsigned long long value = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return 0;
    value = value * 10 + static_cast<unsigned>(c - L'0');
  }
  if (value < 1 || value > static_cast<unsigned long long>(count)) return 0;
  return static_cast<int>(value);
}

std::wstring CGoToPageDlg::RangeText(bool forBalloon) const {
  std::wstring format = forBalloon ? L"            Enter page number from %d to %d"
                                   : L"Enter page number from %d to %d";
  if (texts_.Active()) format = w32::Widen(texts_.Text("ENTER_PAGE_FORMAT"));
  // The language's format must hold exactly the two numbers.
  size_t conversions = 0;
  for (size_t i = 0; i + 1 < format.size(); ++i) {
    if (format[i] != L'%') continue;
    if (format[i + 1] == L'%') {
      ++i;
    } else if (format[i + 1] == L'd') {
      ++conversions;
    } else {
      conversions = 99;
    }
  }
  if (conversions != 2) format = L"Enter page number from %d to %d";
  return w32::Format(format.c_str(), 1, count_);
}

LRESULT CGoToPageDlg::OnInitDialog(UINT, WPARAM, LPARAM, bool&) {
  CenterWindow(::GetWindow(Handle(), GW_OWNER));
  ::SetDlgItemTextW(Handle(), IDC_PAGE_RANGE, RangeText(false).c_str());
  if (texts_.Active()) {
    ::SetWindowTextW(Handle(), w32::Widen(texts_.Text("GO_TO_PAGE_DLG_CAPTION")).c_str());
    ::SetDlgItemTextW(Handle(), IDCANCEL, w32::Widen(texts_.Text("CANCEL")).c_str());
  }
  ::SendDlgItemMessageW(Handle(), IDC_PAGE_NUMBER, EM_LIMITTEXT, 10, 0);
  ::SetFocus(Item(IDC_PAGE_NUMBER));
  return FALSE;  // the focus is set
}

LRESULT CGoToPageDlg::OnOk(WORD, WORD, HWND, bool&) {
  wchar_t text[32]{};
  ::GetDlgItemTextW(Handle(), IDC_PAGE_NUMBER, text, 32);
  const int page = ParsePage(text, count_);
  if (page) {
    page_ = page;
    EndDialog(IDOK);
    return 0;
  }
  const std::wstring title = texts_.Active() ? w32::Widen(texts_.Text("CORRECT_PAGE"))
                                             : L"Please enter correct page number";
  CBalloonHelp::LaunchBalloon(
      title, RangeText(true), Item(IDC_PAGE_NUMBER), IDI_INFORMATION,
      CBalloonHelp::kCloseOnAnyButtonDown | CBalloonHelp::kCloseOnKeyPress |
          CBalloonHelp::kCloseOnAppDeactivate,
      Handle());
  return 0;
}

LRESULT CGoToPageDlg::OnCancel(WORD, WORD, HWND, bool&) {
  EndDialog(IDCANCEL);
  return 0;
}
