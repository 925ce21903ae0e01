#include "progress/dlg_creator.h"

#include "log/trace.h"

CDlgCreator::~CDlgCreator() { Stop(); }

DWORD CDlgCreator::Run() {
  dialog_.SetCancelTarget(cancelTarget_);
  dialog_.SetCaption(caption_);
  dialog_.SetStatusText(status_);
  dialog_.SetCancelText(cancelText_);
  dialog_.SetOwner(owner_);
  LogInfo("-=CDC=- DoModal progress.");
  try {
    dialog_.DoModal();
  } catch (...) {
    // No memory for the template: the same as a dialog that cannot be made.
  }
  if (!dialog_.Created()) {
    // Without a dialog nobody would ever signal the waiting job.
    LogErrorF("-=CDC=- Progress dialog cannot be created (error %lu).", ::GetLastError());
    if (failed_) *failed_ = true;
    if (dialogCreated_) ::SetEvent(dialogCreated_);
  }
  LogInfo("-=CDC=- Progress dialog - return from DoModal.");
  return 0;
}
