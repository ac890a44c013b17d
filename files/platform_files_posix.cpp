// POSIX side of the platform file calls.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

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
