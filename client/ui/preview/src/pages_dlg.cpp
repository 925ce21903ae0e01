#include "preview/pages_dlg.h"

#include "jobfile/driver_info_parser.h"
#include "log/trace.h"
#include "preview/go_to_page_dlg.h"
#include "resources/resource_ids.h"
#include "w32/strings.h"

namespace {
constexpr int kBottomToolbarWidth = 130;
}

CPagesDlg::CPagesDlg(std::unique_ptr<IUiTexts> texts)
    : texts_(texts ? std::move(texts) : MakeUiTexts()) {}

CPagesDlg::~CPagesDlg() = default;

HWND CPagesDlg::Create(HINSTANCE instance, HWND parent) {
  instance_ = instance;
  return Dialog::Create(instance, IDD_PAGES, parent);
}

std::wstring CPagesDlg::Tip(const char* key, const wchar_t* english) const {
  return texts_->Active() ? w32::Widen(texts_->Text(key)) : std::wstring(english);
}

LRESULT CPagesDlg::OnInitDialog(UINT, WPARAM, LPARAM, bool&) {
  // The page indicator: a link-like label with a cursor and a bold font.
  HWND indicator = Item(IDC_PAGE_INDICATOR);
  indicatorCursor_.Reset(static_cast<HCURSOR>(::LoadImageW(
      instance_, MAKEINTRESOURCEW(IDC_CURSOR_LINK), IMAGE_CURSOR, 32, 32, LR_MONOCHROME)));
  indicator_.Attach(indicator, static_cast<HCURSOR>(indicatorCursor_.Get()));
  RECT rc{};
  ::GetWindowRect(indicator, &rc);
  indicatorSize_ = SIZE{rc.right - rc.left, rc.bottom - rc.top};
  LOGFONTW lf{};
  HFONT font = reinterpret_cast<HFONT>(::SendMessageW(indicator, WM_GETFONT, 0, 0));
  if (font && ::GetObjectW(font, sizeof(lf), &lf)) {
    lf.lfWeight = FW_BOLD;
    boldFont_.Reset(::CreateFontIndirectW(&lf));
    indicator_.SetLabelFont(static_cast<HFONT>(boldFont_.Get()));
  }
  return TRUE;
}

void CPagesDlg::Build() {
  // 1-3: the navigation toolbar at the bottom, the page view.
  bottom_.LoadImages(instance_, IDB_NAVIGATION_STRIP);
  bottom_.AddButton(ID_FIRST_PAGE_CMD, 0,
                    Tip("GO_TO_FIRST_PAGE_TIP", L"Go to the first page (Home or Up)"));
  bottom_.AddButton(ID_PREVIOUS_PAGE_CMD, 1,
                    Tip("GO_TO_PREVIOUS_PAGE_TIP", L"Go to the previous page (Page Up or Left)"));
  bottom_.AddButton(ID_NEXT_PAGE_CMD, 2,
                    Tip("GO_TO_NEXT_PAGE_TIP", L"Go to the next page (Page Down or Right)"));
  bottom_.AddButton(ID_LAST_PAGE_CMD, 3,
                    Tip("GO_TO_LAST_PAGE_TIP", L"Go to the last page (End or Down)"));
  HWND bottom = Item(IDC_BOTTOM_TOOLBAR);
  RECT rc{};
  ::GetWindowRect(bottom, &rc);
  bottomHeight_ = rc.bottom - rc.top;
  ::SetWindowPos(bottom, nullptr, 0, 0, kBottomToolbarWidth, bottomHeight_,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  bottom_.Attach(bottom);
  view_.Attach(Item(IDC_PAGE_VIEW), instance_);

  // 4: the view toolbar at the right, added bottom-up (the last is on top).
  right_.LoadImages(instance_, IDB_VIEW_STRIP);
  if (!texts_->Active()) right_.AddButton(ID_SAVE_FILE_CMD, 4, L"Save file");
  right_.AddButton(ID_FIT_TO_PREVIEW_CMD, 2, Tip("FIT_TO_PREVIEW_TIP", L"Fit to preview"));
  right_.AddButton(ID_REAL_SIZE_CMD, 3, Tip("REAL_SIZE_TIP", L"Real size"));
  right_.AddButton(ID_ZOOM_OUT_CMD, 1, Tip("ZOOM_OUT_TIP", L"Zoom out"));
  right_.AddButton(ID_ZOOM_IN_CMD, 0, Tip("ZOOM_IN_TIP", L"Zoom in"));
  right_.Attach(Item(IDC_RIGHT_TOOLBAR));

  // 5: layout; 6: the page list.
  Layout();
  CDriverInfoParser parser(jobPath_);
  if (parser.Parse() && parser.Info()) pages_ = parser.Info()->pageFiles;
  // 7: the first page.
  if (!pages_.empty()) {
    current_ = 0;
    ShowCurrentPage();
  } else {
    UpdateToolbar();
    indicator_.SetLabel(IndicatorText());
  }
  ::InvalidateRect(view_.Handle(), nullptr, FALSE);
}

void CPagesDlg::Layout() {
  if (!Handle()) return;
  RECT client{};
  ::GetClientRect(Handle(), &client);
  const int W = client.right, H = client.bottom;
  if (HWND right = Item(IDC_RIGHT_TOOLBAR))
    ::SetWindowPos(right, nullptr, W - 39, 20, 34, 260, SWP_NOZORDER | SWP_NOACTIVATE);
  if (view_.Handle()) {
    ::SetWindowPos(view_.Handle(), nullptr, 5, 20, W - 49 > 0 ? W - 49 : 0, H - 60 > 0 ? H - 60 : 0,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    ::RedrawWindow(view_.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  }
  if (HWND bottom = Item(IDC_BOTTOM_TOOLBAR)) {
    RECT rc{};
    ::GetWindowRect(bottom, &rc);
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    ::SetWindowPos(bottom, nullptr, (W - w) / 2, H - 35, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (HWND indicator = Item(IDC_PAGE_INDICATOR))
    ::SetWindowPos(indicator, nullptr, (W - indicatorSize_.cx) / 2, 0, indicatorSize_.cx,
                   indicatorSize_.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

std::wstring CPagesDlg::IndicatorText() const {
  std::wstring format = L"Page %d of %d";
  if (texts_->Active()) {
    const std::wstring translated = w32::Widen(texts_->Text("FORMAT_TITLE"));
    // Only a format with exactly two numbers is used.
    size_t d = 0, percent = 0;
    for (size_t i = 0; i < translated.size(); ++i)
      if (translated[i] == L'%') {
        ++percent;
        if (i + 1 < translated.size() && translated[i + 1] == L'd') ++d;
      }
    if (d == 2 && percent == 2) format = translated;
  }
  return w32::Format(format.c_str(), static_cast<int>(current_ + 1), static_cast<int>(pages_.size()));
}

void CPagesDlg::ShowCurrentPage() {
  const std::wstring text = IndicatorText();
  indicator_.SetLabel(text);
  if (TraceOn()) LogInfoF("%s - %s", "Loading page ", pages_[current_].c_str());
  view_.LoadPage(w32::Widen(pages_[current_]));
  ::InvalidateRect(view_.Handle(), nullptr, FALSE);
  UpdateToolbar();
}

void CPagesDlg::UpdateToolbar() {
  const bool notFirst = current_ != 0 && !pages_.empty();
  const bool notLast = !pages_.empty() && current_ + 1 != pages_.size();
  bottom_.EnableButton(ID_FIRST_PAGE_CMD, notFirst);
  bottom_.EnableButton(ID_PREVIOUS_PAGE_CMD, notFirst);
  bottom_.EnableButton(ID_NEXT_PAGE_CMD, notLast);
  bottom_.EnableButton(ID_LAST_PAGE_CMD, notLast);
}

void CPagesDlg::FirstPage() {
  if (pages_.empty() || current_ == 0) return;
  current_ = 0;
  ShowCurrentPage();
}

void CPagesDlg::PreviousPage() {
  if (pages_.empty() || current_ == 0) return;
  --current_;
  ShowCurrentPage();
}

void CPagesDlg::NextPage() {
  if (pages_.empty() || current_ + 1 == pages_.size()) return;
  ++current_;
  ShowCurrentPage();
}

void CPagesDlg::LastPage() {
  if (pages_.empty() || current_ + 1 == pages_.size()) return;
  current_ = pages_.size() - 1;
  ShowCurrentPage();
}

void CPagesDlg::GoToPage() {
  if (pages_.size() <= 1) return;
  CGoToPageDlg dialog(static_cast<int>(pages_.size()), *texts_);
  int page = 0;
  if (dialog.Run(instance_, ::GetAncestor(Handle(), GA_ROOT), page) == IDOK && page >= 1 &&
      static_cast<size_t>(page) <= pages_.size()) {
    current_ = static_cast<size_t>(page - 1);
    ShowCurrentPage();
  }
}

LRESULT CPagesDlg::OnSize(UINT, WPARAM, LPARAM, bool&) {
  Layout();
  return 0;
}

LRESULT CPagesDlg::OnIndicatorClicked(UINT, WPARAM, LPARAM, bool&) {
  GoToPage();
  return 0;
}

LRESULT CPagesDlg::OnNavigate(WORD, WORD id, HWND, bool&) {
  switch (id) {
    case ID_FIRST_PAGE_CMD: FirstPage(); break;
    case ID_PREVIOUS_PAGE_CMD: PreviousPage(); break;
    case ID_NEXT_PAGE_CMD: NextPage(); break;
    case ID_LAST_PAGE_CMD: LastPage(); break;
  }
  return 0;
}

LRESULT CPagesDlg::OnViewCommand(WORD, WORD id, HWND, bool&) {
  switch (id) {
    case ID_ZOOM_IN_CMD: view_.ZoomInStep(); break;
    case ID_ZOOM_OUT_CMD: view_.ZoomOutStep(); break;
    case ID_REAL_SIZE_CMD: view_.RealSize(); break;
    case ID_FIT_TO_PREVIEW_CMD: view_.FitToPreview(); break;
    case ID_SAVE_FILE_CMD: ::PostMessageW(::GetParent(Handle()), WM_COMMAND, IDOK, 0); break;
  }
  return 0;
}

LRESULT CPagesDlg::OnDestroy(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  pages_.clear();
  // The job file's cached copy is flushed so that it can be deleted.
  ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, jobPath_.c_str());
  return 0;
}
