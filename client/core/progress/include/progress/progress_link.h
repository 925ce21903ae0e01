// What the conversion job holds to show its progress: the three texts, the
// events it waits on and the progress manager while a dialog runs.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "progress/cancel_work.h"
#include "progress/progress_dlg_manager.h"
#include "w32/unique_handle.h"

class ProgressLink {
 public:
  ProgressLink();
  ~ProgressLink();
  ProgressLink(const ProgressLink&) = delete;
  ProgressLink& operator=(const ProgressLink&) = delete;

  std::string caption = "Converting to PDF format";
  std::string statusText = "Preparing document";
  std::string cancelText = "Cancel";

  // Shows the dialog for `owner` and returns once it is on the screen: true.
  // When the dialog cannot be created it returns false at once and the job
  // goes on without a dialog (positions are then dropped).
  bool StartProgress(HWND owner, CCancelWork* cancelTarget);
  void SetProgressPos(unsigned position);
  // Returns once the dialog, its creator and the manager have ended.
  void StopProgress();

  bool ManagerRunning() const { return manager_ != nullptr; }

 private:
  w32::KernelHandle managerReady_, managerStopped_, dialogCreated_;
  std::unique_ptr<CProgressDlgManager> manager_;
  CancelRelayPtr relay_;
  FailureFlag dialogFailed_;
};
