// The page preview: a child dialog with the page indicator, the page view
// and two toolbars (navigation at the bottom, view commands at the right).
// It reads the job's page list once and never changes it.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/button_group_ctrl.h"
#include "controls/hover_static.h"
#include "preview/emf_viewer.h"
#include "texts/ui_texts.h"
#include "w32/dialog.h"
#include "w32/ui_handles.h"

class CPagesDlg : public w32::Dialog {
 public:
  explicit CPagesDlg(std::unique_ptr<IUiTexts> texts = MakeUiTexts());
  ~CPagesDlg() override;

  void SetJobPath(const std::string& jobPath) { jobPath_ = jobPath; }
  // Creates the preview window (template IDD_PAGES) as a child of `parent`.
  HWND Create(HINSTANCE instance, HWND parent);
  // Toolbars, view, pages, first page (called right after Create).
  void Build();
  // Lays the children out for the preview's client size.
  void Layout();

  void FirstPage();
  void PreviousPage();
  void NextPage();
  void LastPage();
  void GoToPage();

  size_t PageCount() const { return pages_.size(); }
  size_t CurrentPage() const { return current_; }
  const std::vector<std::string>& Pages() const { return pages_; }
  std::wstring IndicatorText() const;
  CEMFViewer& View() { return view_; }
  const CButtonGroupCtrl& BottomToolbar() const { return bottom_; }
  const CButtonGroupCtrl& RightToolbar() const { return right_; }
  const CHoverStatic& Indicator() const { return indicator_; }

  W32_BEGIN_MSG_MAP()
    W32_MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    W32_MESSAGE_HANDLER(WM_SIZE, OnSize)
    W32_MESSAGE_HANDLER(kHoverStaticClicked, OnIndicatorClicked)
    W32_MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    W32_COMMAND_ID_HANDLER(ID_FIRST_PAGE_CMD, OnNavigate)
    W32_COMMAND_ID_HANDLER(ID_PREVIOUS_PAGE_CMD, OnNavigate)
    W32_COMMAND_ID_HANDLER(ID_NEXT_PAGE_CMD, OnNavigate)
    W32_COMMAND_ID_HANDLER(ID_LAST_PAGE_CMD, OnNavigate)
    W32_COMMAND_RANGE_HANDLER(ID_ZOOM_IN_CMD, ID_SAVE_FILE_CMD, OnViewCommand)
  W32_END_MSG_MAP()

  // The command ids of the toolbars.
  enum : WORD {
    ID_FIRST_PAGE_CMD = 40001,
    ID_NEXT_PAGE_CMD = 40002,
    ID_PREVIOUS_PAGE_CMD = 40003,
    ID_LAST_PAGE_CMD = 40004,
    ID_ZOOM_IN_CMD = 38446,
    ID_ZOOM_OUT_CMD = 38447,
    ID_REAL_SIZE_CMD = 38448,
    ID_FIT_TO_PREVIEW_CMD = 38449,
    ID_SAVE_FILE_CMD = 38450,
  };

 private:
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, bool&);
  LRESULT OnSize(UINT, WPARAM, LPARAM, bool&);
  LRESULT OnIndicatorClicked(UINT, WPARAM, LPARAM, bool&);
  LRESULT OnDestroy(UINT, WPARAM, LPARAM, bool& handled);
  LRESULT OnNavigate(WORD, WORD id, HWND, bool&);
  LRESULT OnViewCommand(WORD, WORD id, HWND, bool&);
  void ShowCurrentPage();
  void UpdateToolbar();
  std::wstring Tip(const char* key, const wchar_t* english) const;

  HINSTANCE instance_ = nullptr;
  std::string jobPath_;
  std::vector<std::string> pages_;
  size_t current_ = 0;
  std::unique_ptr<IUiTexts> texts_;
  CEMFViewer view_;
  CHoverStatic indicator_;
  CButtonGroupCtrl bottom_{CButtonGroupCtrl::kHorizontal};
  CButtonGroupCtrl right_{CButtonGroupCtrl::kVertical};
  w32::GdiObject boldFont_;
  w32::CursorHandle indicatorCursor_;
  SIZE indicatorSize_{0, 0};
  int bottomHeight_ = 0;
};
