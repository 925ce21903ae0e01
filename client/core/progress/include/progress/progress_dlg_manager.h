// The thread between the job and the dialog: takes start, update and close
// requests through events, so the job's thread never touches a window.
#pragma once
#include <windows.h>

#include <atomic>
#include <memory>
#include <string>

#include "progress/cancel_work.h"
#include "progress/dlg_creator.h"
#include "progress/thread_impl.h"
#include "w32/unique_handle.h"

class CProgressDlgManager : public CThreadImpl {
 public:
  // The ready and stopped events belong to the caller; the manager keeps
  // duplicates of its own, so it may outlive them.
  CProgressDlgManager(HWND owner, const std::string& caption, const std::string& status,
                      HANDLE managerReady, HANDLE managerStopped);
  ~CProgressDlgManager() override;

  void SetCancelText(const std::string& text) { cancelText_ = text; }
  void SetCancelTarget(CancelRelayPtr target) { cancelTarget_ = std::move(target); }
  void SetDialogCreatedEvent(HANDLE event);
  void SetFailureFlag(FailureFlag flag) { failed_ = std::move(flag); }

  void RequestDialog() { ::SetEvent(startDialog_.Get()); }
  void SetPos(unsigned position) {
    position_ = position;
    ::SetEvent(update_.Get());
  }
  void RequestClose() { ::SetEvent(close_.Get()); }

  DWORD Run() override;

 private:
  HWND owner_;
  w32::KernelHandle startDialog_, update_, close_;
  w32::KernelHandle managerReady_, managerStopped_, dialogCreated_;
  std::atomic<unsigned> position_{0};
  std::unique_ptr<CDlgCreator> creator_;
  CancelRelayPtr cancelTarget_;
  std::string cancelText_;
  std::string caption_;
  std::string status_;
  FailureFlag failed_;
};
