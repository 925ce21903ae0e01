#include "progress/progress_link.h"

#include "log/trace.h"

namespace {
w32::KernelHandle NewEvent() { return w32::KernelHandle(::CreateEventW(nullptr, FALSE, FALSE, nullptr)); }
}  // namespace

ProgressLink::ProgressLink()
    : managerReady_(NewEvent()), managerStopped_(NewEvent()), dialogCreated_(NewEvent()) {}

ProgressLink::~ProgressLink() {
  if (relay_) relay_->Detach();
  // A manager whose dialog is still up (the job ended on an error path) is
  // left running until the user closes the dialog and the process ends; it
  // holds its own copies of the events and no longer reaches the job.
  if (manager_ && ::WaitForSingleObject(manager_->ThreadHandle(), 0) == WAIT_TIMEOUT)
    manager_.release();
}

bool ProgressLink::StartProgress(HWND owner, CCancelWork* cancelTarget) {
  if (manager_) return false;
  relay_ = std::make_shared<CancelRelay>(cancelTarget);
  dialogFailed_ = std::make_shared<std::atomic<bool>>(false);
  manager_ = std::make_unique<CProgressDlgManager>(owner, caption, statusText,
                                                   managerReady_.Get(), managerStopped_.Get());
  manager_->SetCancelText(cancelText);
  manager_->SetCancelTarget(relay_);
  manager_->SetDialogCreatedEvent(dialogCreated_.Get());
  manager_->SetFailureFlag(dialogFailed_);

  LogInfo("-=ETPC=- Starting progress manager.");
  if (!manager_->Start()) {
    LogError("-=ETPC=- Progress manager cannot be started.");
    manager_.reset();
    return false;
  }
  LogInfo("-=ETPC=- Waiting for progress manager");
  ::WaitForSingleObject(managerReady_.Get(), INFINITE);
  LogInfo("-=ETPC=- Starting progress dialog.");
  manager_->RequestDialog();
  LogInfo("-=ETPC=- Waiting for progress dialog created.");
  ::WaitForSingleObject(dialogCreated_.Get(), INFINITE);
  if (dialogFailed_->load()) {
    LogError("-=ETPC=- Progress dialog cannot be created, going on without it.");
    return false;
  }
  LogInfo("-=ETPC=- Progress dialog is created.");
  return true;
}

void ProgressLink::SetProgressPos(unsigned position) {
  if (manager_) manager_->SetPos(position);
}

void ProgressLink::StopProgress() {
  if (!manager_) return;
  LogInfo("-=ETPC=- Stopping progress dialog.");
  manager_->RequestClose();
  LogInfo("-=ETPC=- Waiting for progress dialog closed.");
  ::WaitForSingleObject(managerStopped_.Get(), INFINITE);
  LogInfo("-=ETPC=- Waiting for progress manager to stop.");
  WaitForThreadEnd(manager_->ThreadHandle());
  manager_.reset();
}
