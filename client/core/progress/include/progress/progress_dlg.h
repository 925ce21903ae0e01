// The modal progress dialog: a status line, the percentage bar and Cancel.
// Built in memory; runs on the dialog creator's thread.
#pragma once
#include <windows.h>
#include <atomic>
#include <string>
#include <vector>

#include "progress/cancel_work.h"
#include "progressbar/progress_bar_ctrl_ex.h"

// The registered message that carries a new position in lParam.
UINT ProgressUpdateMessage();
// Message the manager posts to end the dialog on its own thread.
constexpr UINT kEndProgressDialogMessage = WM_APP + 0x51;

enum ProgressDlgIds { kIdStatusText = 100, kIdProgressBar = 101 };

class CProgressDlg {
 public:
  CProgressDlg();
  ~CProgressDlg();
  CProgressDlg(const CProgressDlg&) = delete;
  CProgressDlg& operator=(const CProgressDlg&) = delete;

  void SetCaption(const std::string& text) { caption_ = text; }
  void SetStatusText(const std::string& text) { status_ = text; }
  void SetCancelText(const std::string& text) { cancelText_ = text; }
  void SetCancelTarget(CancelRelayPtr target) { cancelTarget_ = std::move(target); }
  void SetDialogCreatedEvent(HANDLE event) { dialogCreated_ = event; }
  void SetOwner(HWND owner) { owner_ = owner; }

  // Builds the template and runs the dialog modally, owned by the owner
  // window. Returns the dialog's result, -1 when it could not be created.
  INT_PTR DoModal();
  // Ends the dialog from another thread (the manager's close).
  void PostEnd();

  HWND Window() const { return window_.load(); }
  bool Created() const { return created_.load(); }

  // The in-memory template: the dialog and its three items.
  static std::vector<BYTE> BuildTemplate(const std::wstring& caption, const std::wstring& status);

 private:
  static INT_PTR CALLBACK DialogProc(HWND, UINT, WPARAM, LPARAM);
  INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp);
  void OnInitDialog();
  void OnCancel(HWND from);

  std::atomic<HWND> window_{nullptr};
  std::atomic<bool> created_{false};
  std::string caption_;
  std::string status_ = "Preparing document";
  std::string cancelText_;
  CancelRelayPtr cancelTarget_;
  HANDLE dialogCreated_ = nullptr;
  HFONT font_;
  HWND owner_ = nullptr;
  CProgressBarCtrlEx bar_;
};
