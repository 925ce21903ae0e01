// The one operation through which the progress dialog cancels a job.
#pragma once
#include <atomic>
#include <memory>
#include <mutex>

class CCancelWork {
 public:
  virtual ~CCancelWork() = default;
  virtual void CancelWork() = 0;
};

// Passes Cancel from the dialog's thread to the job while the job exists. The
// job detaches itself when it is destroyed, so a dialog that outlives it (on
// the job's error paths) can still be cancelled safely.
class CancelRelay {
 public:
  explicit CancelRelay(CCancelWork* target) : target_(target) {}
  void CancelWork() {
    std::lock_guard<std::mutex> hold(lock_);
    if (target_) target_->CancelWork();
  }
  void Detach() {
    std::lock_guard<std::mutex> hold(lock_);
    target_ = nullptr;
  }

 private:
  std::mutex lock_;
  CCancelWork* target_;
};
using CancelRelayPtr = std::shared_ptr<CancelRelay>;

// Set by the dialog creator when the dialog could not be created.
using FailureFlag = std::shared_ptr<std::atomic<bool>>;
