// The client's main window: the page preview, the Save, Cancel, Info and
// Adjust settings commands, and the end of the job (exit code 1 after a
// finished conversion, 2 after a cancel).
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "controls/xp_button_ctrl.h"
#include "conversion/emf_to_pdf_converter.h"
#include "preview/pages_dlg.h"
#include "texts/ui_texts.h"
#include "w32/bstr.h"
#include "w32/dialog.h"
#include "w32/message_loop.h"
#include "w32/ui_handles.h"

// What Save gives the conversion job from the options object.
struct SaveOptions {
  long putWatermarks = 0;
  long firstPageSeparate = 0;
  long watermarkOnTop = 0;
  std::string portrait, landscape, firstPortrait, firstLandscape;
};

class CMainDlg : public w32::Dialog, public w32::MessageFilter, public w32::IdleHandler {
 public:
  // `loop`: the thread's message loop the window registers with (may be null
  // in tests that pump messages themselves).
  CMainDlg(std::string jobPath, std::string appFolder, w32::MessageLoop* loop = nullptr,
           std::unique_ptr<IUiTexts> texts = MakeUiTexts());
  ~CMainDlg() override;

  // Creates the modeless main window (template 129) without a parent.
  HWND Create(HINSTANCE instance);

  bool PreTranslateMessage(MSG& message) override;
  bool OnIdle() override { return false; }

  // The file name the save dialog proposes for a document name.
  static std::string DefaultFileName(const std::string& documentName);
  // The document name used for the PDF: "Untitled document" when the name
  // holds any of : * ? " / < > |.
  static std::string SafeDocumentName(const std::string& name);
  // True when another program holds `path` open (sharing violation).
  static bool FileInUse(const std::wstring& path);

  // Stores the target in the options object and reads the watermark
  // settings into `out`. False, with the member's name in `failed`, when the
  // object refuses a value or cannot give one: the job would otherwise run
  // with another target or without the watermarks asked for.
  template <class Options>
  static bool ExchangeSaveOptions(Options& options, const std::string& target, SaveOptions& out,
                                  std::string& failed);

  // How Help and Adjust settings start their programs.
  static std::wstring HelpProgram();
  static std::wstring HelpParameters(const std::string& appFolder);
  static std::wstring SettingsParameters(HWND window);

  CPagesDlg& Preview() { return preview_; }
  const std::string& DocumentName() const { return documentName_; }
  const std::string& TargetPath() const { return targetPath_; }
  int ExitCode() const { return exitCode_; }

  W32_BEGIN_MSG_MAP()
    W32_MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    W32_MESSAGE_HANDLER(WM_SIZE, OnSize)
    W32_MESSAGE_HANDLER(WM_GETMINMAXINFO, OnGetMinMaxInfo)
    W32_MESSAGE_HANDLER(WM_DRAWITEM, OnDrawItem)
    W32_MESSAGE_HANDLER(finishedMessage_, OnConversionFinished)
    W32_COMMAND_ID_HANDLER(IDOK, OnSave)
    W32_COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
    W32_COMMAND_ID_HANDLER(3, OnAdjustSettings)
    W32_COMMAND_ID_HANDLER(1007, OnHelp)
    W32_COMMAND_ID_HANDLER(40001, OnFirstPage)
    W32_COMMAND_ID_HANDLER(40015, OnFirstPage)
    W32_COMMAND_ID_HANDLER(40003, OnPreviousPage)
    W32_COMMAND_ID_HANDLER(40011, OnPreviousPage)
    W32_COMMAND_ID_HANDLER(40002, OnNextPage)
    W32_COMMAND_ID_HANDLER(40010, OnNextPage)
    W32_COMMAND_ID_HANDLER(40004, OnLastPage)
    W32_COMMAND_ID_HANDLER(40014, OnLastPage)
    W32_COMMAND_ID_HANDLER(40018, OnGoToPage)
  W32_END_MSG_MAP()

 protected:
  // The save dialog; false when the user cancels. Replaceable for tests.
  virtual bool AskTargetPath(const std::string& defaultName, std::string& path);
  virtual int Ask(const wchar_t* text, const wchar_t* caption, UINT flags);

 private:
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, bool&);
  LRESULT OnSize(UINT, WPARAM, LPARAM, bool&);
  LRESULT OnGetMinMaxInfo(UINT, WPARAM, LPARAM, bool&);
  LRESULT OnDrawItem(UINT, WPARAM, LPARAM, bool& handled);
  LRESULT OnConversionFinished(UINT, WPARAM, LPARAM, bool&);
  LRESULT OnSave(WORD, WORD, HWND, bool&);
  LRESULT OnCancel(WORD, WORD, HWND, bool&);
  LRESULT OnAdjustSettings(WORD, WORD, HWND, bool&);
  LRESULT OnHelp(WORD, WORD, HWND, bool&);
  LRESULT OnFirstPage(WORD, WORD, HWND, bool&) { preview_.FirstPage(); return 0; }
  LRESULT OnPreviousPage(WORD, WORD, HWND, bool&) { preview_.PreviousPage(); return 0; }
  LRESULT OnNextPage(WORD, WORD, HWND, bool&) { preview_.NextPage(); return 0; }
  LRESULT OnLastPage(WORD, WORD, HWND, bool&) { preview_.LastPage(); return 0; }
  LRESULT OnGoToPage(WORD, WORD, HWND, bool&) { preview_.GoToPage(); return 0; }

  void BringToFront();
  void LayoutPreview();
  bool StartConversion();
  void Teardown(int exitCode);

  struct Anchor {
    int id;
    bool right;       // keeps its distance to the right edge, else the left
    POINT offset;     // from the right/left and bottom edges
  };

  std::string jobPath_;
  std::string appFolder_;
  std::string documentName_;
  std::string targetPath_;
  w32::MessageLoop* loop_;
  std::unique_ptr<IUiTexts> texts_;
  std::unique_ptr<CEmfToPdfConverter> converter_;
  CPagesDlg preview_;
  CXPButtonCtrl saveButton_, settingsButton_, infoButton_;
  w32::IconHandle bigIcon_, smallIcon_;
  w32::AcceleratorTable accelerators_;
  HINSTANCE instance_ = nullptr;
  UINT finishedMessage_;
  SIZE minimumSize_{0, 0};
  Anchor anchors_[3]{};
  int exitCode_ = 0;
  bool tornDown_ = false;
};

template <class Options>
bool CMainDlg::ExchangeSaveOptions(Options& o, const std::string& target, SaveOptions& out,
                                   std::string& failed) {
  auto check = [&](HRESULT hr, const char* member) {
    if (SUCCEEDED(hr)) return true;
    failed = member;
    return false;
  };
  w32::Bstr text;
  if (!check(w32::BstrFromNarrow(target, text.Put()), "TargetFile") ||
      !check(o.put_UsingTargetFile(1), "UsingTargetFile") ||
      !check(o.put_TargetFile(text.Get()), "TargetFile") ||
      !check(o.put_OverwriteFileIfExist(1), "OverwriteFileIfExist"))
    return false;

  struct Flag {
    HRESULT (STDMETHODCALLTYPE Options::*get)(VARIANT_BOOL*);
    long* out;
    const char* name;
  };
  const Flag flags[] = {
      {&Options::get_PutWatermarks, &out.putWatermarks, "PutWatermarks"},
      {&Options::get_FirstPageSeparate, &out.firstPageSeparate, "FirstPageSeparate"},
      {&Options::get_WatermarkOnTheTop, &out.watermarkOnTop, "WatermarkOnTheTop"},
  };
  for (const Flag& f : flags) {
    VARIANT_BOOL value = VARIANT_FALSE;
    if (!check((o.*f.get)(&value), f.name)) return false;
    *f.out = value;
  }
  struct Path {
    HRESULT (STDMETHODCALLTYPE Options::*get)(BSTR*);
    std::string* out;
    const char* name;
  };
  const Path paths[] = {
      {&Options::get_WatermarksFile, &out.portrait, "WatermarksFile"},
      {&Options::get_WatermarksFileLandscape, &out.landscape, "WatermarksFileLandscape"},
      {&Options::get_FirstPageWatermarkFile, &out.firstPortrait, "FirstPageWatermarkFile"},
      {&Options::get_FirstPageWatermarkFileLandscape, &out.firstLandscape,
       "FirstPageWatermarkFileLandscape"},
  };
  for (const Path& p : paths) {
    w32::Bstr value;
    HRESULT hr = (o.*p.get)(value.Put());
    if (SUCCEEDED(hr)) hr = w32::NarrowFromBstr(value.Get(), *p.out);
    if (!check(hr, p.name)) return false;
  }
  return true;
}
