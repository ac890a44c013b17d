// The few file-system calls whose form differs between POSIX systems and
// Windows. Every path is UTF-8 on every platform; the Windows side turns it
// into the system's UTF-16 form. The calls that open, create and rename
// files are counted by files/file_access, which the rest of quadkit calls
// for them; the queries below it calls directly.
#ifndef QUADKIT_FILES_PLATFORM_FILES_H_
#define QUADKIT_FILES_PLATFORM_FILES_H_

#include <cstdint>
#include <cstdio>

// fopen with a C stdio mode. Null, with errno set, when it fails.
std::FILE* PlatformOpen(const char* path, const char* mode);

// Creates path for writing in binary mode; fails (errno EEXIST) when
// anything already stands there. The new file takes the permission bits of
// modelPath when modelPath names a file, so a file replaced through it
// keeps its mode.
std::FILE* PlatformCreateNew(const char* path, const char* modelPath);

// What stands at path, without following a symbolic link at its end.
enum class PathKind { kMissing, kRegularFile, kDirectory, kOther };
PathKind GetPathKind(const char* path);

// True when path, after any symbolic links, names a directory.
bool IsDirectory(const char* path);

// Renames from to to, replacing a file at to in one step. False, with errno
// set, when it fails.
bool PlatformRename(const char* from, const char* to);

// Removes the file at path; false when it cannot.
bool RemoveFile(const char* path);

// True when both paths name one existing file (same device and file number,
// or the platform's equivalent), however they are spelled (./a.zem, a hard
// link, and on Windows letter case and slashes).
bool NameSameFile(const char* first, const char* second);

// What tells one file from every other while it exists: the device and
// the file number (POSIX), or the volume and the file index (Windows).
struct FileIdentity {
  uint64_t volume = 0;
  uint64_t index[2] = {0, 0};
};
inline bool operator==(const FileIdentity& a, const FileIdentity& b) {
  return a.volume == b.volume && a.index[0] == b.index[0] && a.index[1] == b.index[1];
}
inline bool operator!=(const FileIdentity& a, const FileIdentity& b) { return !(a == b); }

// The identity of an open file; false, with errno set, when it cannot be
// told.
bool PlatformIdentify(std::FILE* file, FileIdentity* identity);

// Opens path for reading in binary mode. A FIFO (POSIX) is opened without
// waiting for a writer; then it waits up to writerWaitMilliseconds for data
// or a writer's end, and fails with errno ETIMEDOUT when neither comes.
std::FILE* PlatformOpenText(const char* path, int writerWaitMilliseconds);

// Makes what was written to file durable on its disk. False, with errno
// set, when the system reports that it could not.
bool PlatformSync(std::FILE* file);

// Makes the folder that holds path durable, so that a rename into it
// survives a loss of power. Nothing to do, and true, where the system has
// no such call (Windows makes a rename durable itself).
bool PlatformSyncFolderOf(const char* path);

// A lock that quadkit runs honour on a file, held through a handle of its
// own for as long as it is kept, so that the run's other opens and closes
// of the file do not end it. POSIX: flock on an open of the file itself.
// Windows: LockFileEx on a lock file in the user's temporary folder, named
// after the file's identity: a lock on the file itself would be mandatory
// for the run's own reads and writes, and Wine keeps every handle closed
// while a file is locked, so a run of many reopens would run out of them.
struct LockHandle {
  intptr_t value = -1;
  bool IsOpen() const { return value != -1; }
};
enum class LockAttempt { kTaken, kBusy, kFailed };
// Opens path's lock, and tells the identity of the file at path; a handle
// that is not open, with errno set, when either cannot be had.
LockHandle PlatformOpenLock(const char* path, FileIdentity* identity);
// Tries once, without waiting, to take the lock: shared or exclusive.
LockAttempt PlatformTryLock(LockHandle handle, bool exclusive);
// Ends the lock and closes its handle.
void PlatformCloseLock(LockHandle handle);

#endif  // QUADKIT_FILES_PLATFORM_FILES_H_
