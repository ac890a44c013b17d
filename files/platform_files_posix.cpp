// POSIX side of the platform file calls.
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "files/platform_files.h"

std::FILE* PlatformOpen(const char* path, const char* mode) { return std::fopen(path, mode); }

std::FILE* PlatformCreateNew(const char* path, const char* modelPath) {
  mode_t mode = 0666;  // narrowed by the umask, as fopen would
  struct stat model;
  const bool hasModel = modelPath != nullptr && stat(modelPath, &model) == 0;
  const int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
  if (fd < 0) return nullptr;
  if (hasModel) (void)fchmod(fd, model.st_mode & 07777);
  std::FILE* file = fdopen(fd, "wb");
  if (file == nullptr) {
    const int saved = errno;
    close(fd);
    unlink(path);
    errno = saved;
  }
  return file;
}

PathKind GetPathKind(const char* path) {
  struct stat info;
  if (lstat(path, &info) != 0) return errno == ENOENT ? PathKind::kMissing : PathKind::kOther;
  if (S_ISREG(info.st_mode)) return PathKind::kRegularFile;
  if (S_ISDIR(info.st_mode)) return PathKind::kDirectory;
  return PathKind::kOther;
}

bool IsDirectory(const char* path) {
  struct stat info;
  return stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

bool PlatformRename(const char* from, const char* to) { return std::rename(from, to) == 0; }

bool RemoveFile(const char* path) { return std::remove(path) == 0; }

bool NameSameFile(const char* first, const char* second) {
  struct stat a;
  struct stat b;
  if (stat(first, &a) != 0 || stat(second, &b) != 0) return false;
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

namespace {

bool IdentifyDescriptor(int fd, FileIdentity* identity) {
  struct stat info;
  if (fstat(fd, &info) != 0) return false;
  identity->volume = static_cast<uint64_t>(info.st_dev);
  identity->index[0] = static_cast<uint64_t>(info.st_ino);
  identity->index[1] = 0;
  return true;
}

// A FIFO opened for reading without a writer would block the open; opened
// without waiting, a read would see its end at once. Instead the open does
// not wait, poll waits for data or a writer's end, and then reads block as
// for any file.
std::FILE* OpenFifo(const char* path, int writerWaitMilliseconds) {
  const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct pollfd wanted = {fd, POLLIN, 0};
  const int ready = poll(&wanted, 1, writerWaitMilliseconds);
  const int flags = fcntl(fd, F_GETFL);
  if (ready <= 0 || flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    const int saved = ready == 0 ? ETIMEDOUT : errno;
    close(fd);
    errno = saved;
    return nullptr;
  }
  std::FILE* file = fdopen(fd, "rb");
  if (file == nullptr) {
    const int saved = errno;
    close(fd);
    errno = saved;
  }
  return file;
}

}  // namespace

bool PlatformIdentify(std::FILE* file, FileIdentity* identity) {
  return IdentifyDescriptor(fileno(file), identity);
}

std::FILE* PlatformOpenText(const char* path, int writerWaitMilliseconds) {
  struct stat info;
  if (stat(path, &info) == 0 && S_ISFIFO(info.st_mode)) return OpenFifo(path, writerWaitMilliseconds);
  return std::fopen(path, "rb");
}

bool PlatformSync(std::FILE* file) { return fsync(fileno(file)) == 0; }

void PlatformStartWriteBack(std::FILE* file) {
#ifdef __linux__
  // Every dirty page of the file, written back without waiting; errno
  // stays as it was, as the hint reports nothing.
  const int saved = errno;
  static_cast<void>(sync_file_range(fileno(file), 0, 0, SYNC_FILE_RANGE_WRITE));
  errno = saved;
#else
  static_cast<void>(file);
#endif
}

bool PlatformSyncFolderOf(const char* path) {
  const std::string text = path;
  const size_t slash = text.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : text.substr(0, slash);
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = fsync(fd) == 0;
  const int saved = errno;
  close(fd);
  errno = saved;
  return synced;
}

// flock, not fcntl: an fcntl lock ends when the process closes any
// descriptor of the file; a flock lock belongs to the one open it is taken
// through, the scene's own or one of its own.
LockHandle PlatformOpenLock(const char* path, FileIdentity* identity) {
  LockHandle handle;
  handle.value = open(path, O_RDONLY | O_CLOEXEC);
  if (handle.IsOpen() && !IdentifyDescriptor(static_cast<int>(handle.value), identity)) {
    PlatformCloseLock(handle);
    handle = LockHandle();
  }
  return handle;
}

LockAttempt PlatformTryLock(LockHandle handle, bool exclusive) {
  if (flock(static_cast<int>(handle.value), (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) == 0) {
    return LockAttempt::kTaken;
  }
  return errno == EWOULDBLOCK ? LockAttempt::kBusy : LockAttempt::kFailed;
}

void PlatformCloseLock(LockHandle handle) {
  if (handle.IsOpen()) close(static_cast<int>(handle.value));  // also ends the lock
}

PositionedHandle PlatformOpenPositioned(const char* path, bool forUpdate) {
  PositionedHandle handle;
  handle.value = open(path, (forUpdate ? O_RDWR : O_RDONLY) | O_CLOEXEC);
  return handle;
}

bool PlatformReadAt(PositionedHandle handle, int64_t offset, void* dst, size_t size, size_t* got) {
  *got = 0;
  auto* into = static_cast<unsigned char*>(dst);
  while (*got < size) {
    const ssize_t part = pread(static_cast<int>(handle.value), into + *got, size - *got,
                               static_cast<off_t>(offset + static_cast<int64_t>(*got)));
    if (part < 0 && errno == EINTR) continue;
    if (part < 0) return false;
    if (part == 0) break;  // the end of the file
    *got += static_cast<size_t>(part);
  }
  return true;
}

bool PlatformWriteAt(PositionedHandle handle, int64_t offset, const void* src, size_t size,
                     size_t* written) {
  *written = 0;
  const auto* from = static_cast<const unsigned char*>(src);
  while (*written < size) {
    const ssize_t part = pwrite(static_cast<int>(handle.value), from + *written, size - *written,
                                static_cast<off_t>(offset + static_cast<int64_t>(*written)));
    if (part < 0 && errno == EINTR) continue;
    if (part <= 0) {
      if (part == 0) errno = ENOSPC;
      return false;
    }
    *written += static_cast<size_t>(part);
  }
  return true;
}

int64_t PlatformSizeOf(PositionedHandle handle) {
  struct stat info;
  if (fstat(static_cast<int>(handle.value), &info) != 0) return -1;
  return static_cast<int64_t>(info.st_size);
}

bool PlatformIdentifyPositioned(PositionedHandle handle, FileIdentity* identity) {
  return IdentifyDescriptor(static_cast<int>(handle.value), identity);
}

PathNaming PlatformPathNames(const char* path, const FileIdentity& identity) {
  struct stat info;
  if (stat(path, &info) != 0) {
    if (errno != ENOENT && errno != ENOTDIR) return PathNaming::kUnknown;
    errno = ENOENT;
    return PathNaming::kMissing;
  }
  const bool same = identity.volume == static_cast<uint64_t>(info.st_dev) &&
                    identity.index[0] == static_cast<uint64_t>(info.st_ino);
  return same ? PathNaming::kSame : PathNaming::kOther;
}

bool PlatformClosePositioned(PositionedHandle handle) {
  return !handle.IsOpen() || close(static_cast<int>(handle.value)) == 0;
}

LockHandle PlatformLockThrough(PositionedHandle handle) {
  LockHandle lock;
  lock.value = handle.value;
  return lock;
}

bool PlatformDeletePending(PositionedHandle /*handle*/) { return false; }
