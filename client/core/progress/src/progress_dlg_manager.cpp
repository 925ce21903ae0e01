#include "progress/progress_dlg_manager.h"

#include "log/trace.h"

namespace {
w32::KernelHandle NewEvent() { return w32::KernelHandle(::CreateEventW(nullptr, FALSE, FALSE, nullptr)); }

w32::KernelHandle Duplicate(HANDLE h) {
  HANDLE copy = nullptr;
  if (h) ::DuplicateHandle(::GetCurrentProcess(), h, ::GetCurrentProcess(), &copy, 0, FALSE,
                           DUPLICATE_SAME_ACCESS);
  return w32::KernelHandle(copy);
}
}  // namespace

CProgressDlgManager::CProgressDlgManager(HWND owner, const std::string& caption,
                                         const std::string& status, HANDLE managerReady,
                                         HANDLE managerStopped)
    : owner_(owner), managerReady_(Duplicate(managerReady)),
      managerStopped_(Duplicate(managerStopped)), caption_(caption), status_(status) {
  LogInfo("-=CPDM=- ()");
  startDialog_ = NewEvent();
  update_ = NewEvent();
  close_ = NewEvent();
}

CProgressDlgManager::~CProgressDlgManager() {
  LogInfo("-=CPDM=- ~");
  // A manager still waiting is woken through its close event, so that
  // stopping it cannot wait for ever.
  RequestStop();
  if (ThreadExists()) ::SetEvent(close_.Get());
  Stop();
  creator_.reset();
}

void CProgressDlgManager::SetDialogCreatedEvent(HANDLE event) { dialogCreated_ = Duplicate(event); }

DWORD CProgressDlgManager::Run() {
  ::SetEvent(managerReady_.Get());
  const HANDLE events[] = {startDialog_.Get(), update_.Get(), close_.Get()};
  while (!StopRequested()) {
    const DWORD which = ::WaitForMultipleObjects(3, events, FALSE, INFINITE);
    if (which == WAIT_OBJECT_0) {
      if (creator_) continue;  // one dialog per manager
      bool started = false;
      try {
        creator_ = std::make_unique<CDlgCreator>(owner_);
        creator_->Dialog().SetDialogCreatedEvent(dialogCreated_.Get());
        creator_->SetDialogCreatedEvent(dialogCreated_.Get());
        creator_->SetFailureFlag(failed_);
        creator_->SetCancelTarget(cancelTarget_);
        creator_->SetCaption(caption_);
        creator_->SetStatusText(status_);
        creator_->SetCancelText(cancelText_);
        LogInfo("-=CPDM=- Starting progress creator.");
        started = creator_->Start();
      } catch (...) {
        // Out of memory: reported below like a creator that cannot start, so
        // that the job waiting for the dialog is woken.
      }
      if (!started) {
        LogError("-=CPDM=- Progress creator cannot be started.");
        if (failed_) *failed_ = true;
        ::SetEvent(dialogCreated_.Get());
      }
    } else if (which == WAIT_OBJECT_0 + 1) {
      const HWND dialog = creator_ ? creator_->Dialog().Window() : nullptr;
      if (dialog) ::PostMessageW(dialog, ProgressUpdateMessage(), 0, position_.load());
      LogInfo("-=CPDM=- Update progress bar pos.");
      // The wait has already reset the event; resetting it again here would
      // drop a position set while this one was being posted.
    } else if (which == WAIT_OBJECT_0 + 2) {
      const HWND dialog = creator_ ? creator_->Dialog().Window() : nullptr;
      if (dialog && ::IsWindow(dialog)) {
        LogInfo("-=CPDM=- Closing progress dialog.");
        creator_->Dialog().PostEnd();
        LogInfo("-=CPDM=- Waiting for creator.");
        WaitForThreadEnd(creator_->ThreadHandle());
      }
      creator_.reset();
      LogInfo("-=CPDM=- Progress manager stopped.");
      ::SetEvent(managerStopped_.Get());
      return 0;
    } else {
      break;  // the wait itself failed: nothing more can arrive
    }
  }
  LogInfo("-=CPDM=- Progress manager exit.");
  return 0;
}
