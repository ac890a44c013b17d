#include "files/file_lock.h"

#include <chrono>
#include <thread>

#include "files/file_access.h"

LockAttempt FileLock::Acquire(const char* path, LockMode mode, int waitMilliseconds) {
  Release();
  handle_ = OpenLock(path, identity_);
  if (!handle_.IsOpen()) return LockAttempt::kFailed;
  return TakeWithin(mode, waitMilliseconds);
}

LockAttempt FileLock::AcquireThrough(LockHandle borrowed, LockMode mode, int waitMilliseconds) {
  Release();
  handle_ = borrowed;
  borrowed_ = true;
  return TakeWithin(mode, waitMilliseconds);
}

LockAttempt FileLock::TakeWithin(LockMode mode, int waitMilliseconds) {
  mode_ = mode;
  constexpr int kRetryMilliseconds = 50;
  for (int waited = 0;; waited += kRetryMilliseconds) {
    const LockAttempt attempt = PlatformTryLock(handle_, mode == LockMode::kExclusive);
    if (attempt != LockAttempt::kBusy || waited >= waitMilliseconds) {
      if (attempt != LockAttempt::kTaken) Release();
      return attempt;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(kRetryMilliseconds));
  }
}

void FileLock::Release() {
  if (!borrowed_) PlatformCloseLock(handle_);
  handle_ = LockHandle();
  borrowed_ = false;
}
