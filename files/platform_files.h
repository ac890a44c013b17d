// The few file-system calls whose form differs between POSIX systems and
// Windows. Every path is UTF-8 on every platform; the Windows side turns it
// into the system's UTF-16 form. The calls that open, create and rename
// files are counted by files/file_access, which the rest of quadkit calls
// for them; the queries below it calls directly.
#ifndef QUADKIT_FILES_PLATFORM_FILES_H_
#define QUADKIT_FILES_PLATFORM_FILES_H_

#include <cstddef>
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

// A file opened for positioned reads and writes: every transfer names its
// offset and goes to the system at once, with no buffer in the process
// and no file position shared between calls.
struct PositionedHandle {
  intptr_t value = -1;
  bool IsOpen() const { return value != -1; }
};
// Opens the existing file at path for reading, or for reading and writing.
// Windows lets other programs read, write, rename and delete it meanwhile,
// as they may while it is closed. A handle that is not open, with errno
// set, when it fails.
PositionedHandle PlatformOpenPositioned(const char* path, bool forUpdate);
// Reads up to size bytes at offset; *got says how many came before the end
// of the file. False, with errno set, for an I/O error.
bool PlatformReadAt(PositionedHandle handle, int64_t offset, void* dst, size_t size, size_t* got);
// Writes size bytes at offset, as one write where the system takes it
// whole; *written says how many landed. False, with errno set, when it
// falls short.
bool PlatformWriteAt(PositionedHandle handle, int64_t offset, const void* src, size_t size,
                     size_t* written);
// Size of the file in bytes; -1, with errno set, when it cannot be told.
int64_t PlatformSizeOf(PositionedHandle handle);
bool PlatformIdentifyPositioned(PositionedHandle handle, FileIdentity* identity);
// Whether path names the file of identity now, told without opening it on
// POSIX (stat); Windows tells a file's number only through an open of its
// attributes, which reads and writes nothing. kOther when path names
// another file, kMissing (errno ENOENT) when it names none, kUnknown (errno
// set) when the system cannot tell.
enum class PathNaming { kSame, kOther, kMissing, kUnknown };
PathNaming PlatformPathNames(const char* path, const FileIdentity& identity);
// True when the file of handle was deleted while open: Windows keeps its
// name until the last handle closes. POSIX removes the name at once, which
// PlatformPathNames sees.
bool PlatformDeletePending(PositionedHandle handle);
// Closes the handle; false, with errno set, when the system reports that
// written data may not have reached the file.
bool PlatformClosePositioned(PositionedHandle handle);

// Opens path for reading in binary mode. A FIFO (POSIX) is opened without
// waiting for a writer; then it waits up to writerWaitMilliseconds for data
// or a writer's end, and fails with errno ETIMEDOUT when neither comes.
std::FILE* PlatformOpenText(const char* path, int writerWaitMilliseconds);

// Makes what was written to file durable on its disk. False, with errno
// set, when the system reports that it could not.
bool PlatformSync(std::FILE* file);

// Asks the system to start writing to the disk what file has been handed so
// far, without waiting for it, so that the sync that ends the file has less
// left to wait for. A hint only: it reports nothing, and the sync still makes
// the file durable and tells of any failure. Nothing where the system has no
// such call (Windows writes behind by itself).
void PlatformStartWriteBack(std::FILE* file);

// Makes the folder that holds path durable, so that a rename into it
// survives a loss of power. Nothing to do, and true, where the system has
// no such call (Windows makes a rename durable itself).
bool PlatformSyncFolderOf(const char* path);

// A lock that quadkit runs honour on a file, held through a handle of its
// own for as long as it is kept, so that the run's other opens and closes
// of the file do not end it. POSIX: flock on an open of the file itself.
// Windows: LockFileEx on a lock file in the user's temporary folder, named
// after the file's identity: a lock on the file itself would be mandatory,
// keeping every other program from reading the locked bytes of the scene.
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
// The lock of a file through the run's own open of it, where the system
// locks that way (POSIX: flock on the same descriptor, which ends with its
// close); a handle that is not open where it does not (Windows, above).
LockHandle PlatformLockThrough(PositionedHandle handle);

#endif  // QUADKIT_FILES_PLATFORM_FILES_H_
