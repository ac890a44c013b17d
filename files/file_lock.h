// A lock that quadkit runs honour on a file, held through an open of its
// own for the object's life: the run's other opens and closes of the file
// do not end it, and it ends when the object goes (or the process does).
#ifndef QUADKIT_FILES_FILE_LOCK_H_
#define QUADKIT_FILES_FILE_LOCK_H_

#include "files/platform_files.h"

enum class LockMode { kShared, kExclusive };

class FileLock {
 public:
  FileLock() = default;
  ~FileLock() { Release(); }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  // Takes the lock on path, trying again until waitMilliseconds have passed
  // while another program holds it. kFailed, with errno set, when the file
  // cannot be opened or locked.
  LockAttempt Acquire(const char* path, LockMode mode, int waitMilliseconds);
  // The same through a handle that another object opened and closes: the
  // lock then ends with that handle's close, and identity() tells nothing.
  LockAttempt AcquireThrough(LockHandle borrowed, LockMode mode, int waitMilliseconds);
  // The identity of the file locked, as Acquire found it.
  const FileIdentity& identity() const { return identity_; }
  bool IsHeld() const { return handle_.IsOpen(); }
  LockMode mode() const { return mode_; }
  void Release();

 private:
  LockAttempt TakeWithin(LockMode mode, int waitMilliseconds);

  LockHandle handle_;
  bool borrowed_ = false;
  LockMode mode_ = LockMode::kShared;
  FileIdentity identity_;
};

#endif  // QUADKIT_FILES_FILE_LOCK_H_
