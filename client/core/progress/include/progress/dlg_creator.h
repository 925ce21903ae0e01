// The thread that runs the progress dialog modally with its own message loop.
#pragma once
#include <windows.h>
#include <string>

#include "progress/cancel_work.h"
#include "progress/progress_dlg.h"
#include "progress/thread_impl.h"

class CDlgCreator : public CThreadImpl {
 public:
  explicit CDlgCreator(HWND owner) : owner_(owner) {}
  ~CDlgCreator() override;

  CProgressDlg& Dialog() { return dialog_; }
  void SetCancelTarget(CancelRelayPtr target) { cancelTarget_ = std::move(target); }
  void SetCaption(const std::string& text) { caption_ = text; }
  void SetStatusText(const std::string& text) { status_ = text; }
  void SetCancelText(const std::string& text) { cancelText_ = text; }
  // Signalled with CreationFailed() set when the dialog could not be made, so
  // that whoever waits for the dialog does not wait for ever.
  void SetDialogCreatedEvent(HANDLE event) { dialogCreated_ = event; }
  // Where a failure to create the dialog is reported (owned by the waiter).
  void SetFailureFlag(FailureFlag flag) { failed_ = std::move(flag); }

  DWORD Run() override;

 private:
  HWND owner_;
  CProgressDlg dialog_;
  std::string caption_;
  std::string status_;
  std::string cancelText_;
  CancelRelayPtr cancelTarget_;
  HANDLE dialogCreated_ = nullptr;
  FailureFlag failed_;
};
