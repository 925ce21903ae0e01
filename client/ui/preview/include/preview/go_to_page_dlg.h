// The small modal "Go to page" dialog: a page number from 1 to the count,
// checked on OK; a wrong entry keeps the dialog open and shows a balloon at
// the edit box.
#pragma once
#include <windows.h>

#include <string>

#include "texts/ui_texts.h"
#include "w32/dialog.h"

class CGoToPageDlg : public w32::Dialog {
 public:
  CGoToPageDlg(int pageCount, const IUiTexts& texts);
  // Runs the dialog; on IDOK `page` holds the chosen page (1-based).
  INT_PTR Run(HINSTANCE instance, HWND owner, int& page);

  // The entry as a page number from 1 to `count`, or 0 when it is none
  // (empty, 0, beyond the count, not a number).
  static int ParsePage(const std::wstring& text, int count);
  // "Enter page number from %d to %d" (or the language's format).
  std::wstring RangeText(bool forBalloon) const;

  W32_BEGIN_MSG_MAP()
    W32_MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    W32_COMMAND_ID_HANDLER(IDOK, OnOk)
    W32_COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
  W32_END_MSG_MAP()

 private:
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, bool&);
  LRESULT OnOk(WORD, WORD, HWND, bool&);
  LRESULT OnCancel(WORD, WORD, HWND, bool&);

  int count_;
  int page_ = 0;
  const IUiTexts& texts_;
};
