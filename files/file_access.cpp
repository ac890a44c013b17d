#include "files/file_access.h"

#include <cerrno>
#include <algorithm>
#include <cstring>

namespace {

FileCallHook* hook = nullptr;

bool CountAndFail(FileOperation operation) { return FileCallFails({operation, false}); }

}  // namespace

FileCallHook* SetFileCallHook(FileCallHook* next) {
  FileCallHook* before = hook;
  hook = next;
  return before;
}

bool FileCallFails(const FileCall& call, size_t* partialBytes) {
  if (partialBytes != nullptr) *partialBytes = 0;
  size_t ignored = 0;
  return hook != nullptr && hook->Fails(call, partialBytes != nullptr ? partialBytes : &ignored);
}

FileHandle OpenFile(const char* path, const char* mode) {
  const bool forUpdate = mode[0] == 'r' && mode[1] != '\0' && (mode[1] == '+' || mode[2] == '+');
  if (FileCallFails({FileOperation::kOpen, forUpdate})) return nullptr;
  return FileHandle(PlatformOpen(path, mode));
}

FileHandle CreateNewFile(const char* path, const char* modelPath) {
  if (CountAndFail(FileOperation::kOpen)) return nullptr;
  return FileHandle(PlatformCreateNew(path, modelPath));
}

LockHandle OpenLock(const char* path, FileIdentity& identity) {
  if (CountAndFail(FileOperation::kOpen)) return LockHandle();
  return PlatformOpenLock(path, &identity);
}

FileHandle OpenTextFile(const char* path, int writerWaitMilliseconds) {
  if (CountAndFail(FileOperation::kOpen)) return nullptr;
  return FileHandle(PlatformOpenText(path, writerWaitMilliseconds));
}

bool ReadBytes(std::FILE* file, void* dst, size_t size, size_t* got) {
  *got = 0;
  if (CountAndFail(FileOperation::kRead)) return false;  // as an I/O error: nothing delivered
  *got = std::fread(dst, 1, size, file);
  if (*got == size || !std::ferror(file)) return true;
  if (errno == 0) errno = EIO;
  return false;
}

bool WriteBytes(std::FILE* file, const void* src, size_t size, size_t* written) {
  if (written != nullptr) *written = 0;
  size_t partialBytes = 0;
  if (FileCallFails({FileOperation::kWrite, false}, &partialBytes)) {
    // A disk that fills up in the middle of a write: part of it lands.
    const int reason = errno;
    const size_t part = std::fwrite(src, 1, std::min(partialBytes, size), file);
    if (written != nullptr) *written = part;
    errno = reason;
    return false;
  }
  const size_t done = std::fwrite(src, 1, size, file);
  if (written != nullptr) *written = done;
  return done == size;
}

bool FlushFile(std::FILE* file) {
  if (CountAndFail(FileOperation::kFlush)) return false;
  return std::fflush(file) == 0;
}

bool SyncFile(std::FILE* file) {
  if (CountAndFail(FileOperation::kSync)) return false;
  return PlatformSync(file);
}

void StartWriteBack(std::FILE* file) { PlatformStartWriteBack(file); }

bool SyncFolderOf(const char* path) {
  if (CountAndFail(FileOperation::kSync)) return false;
  return PlatformSyncFolderOf(path);
}

bool CloseFile(FileHandle file) {
  std::FILE* raw = file.release();
  if (raw == nullptr) return true;
  const bool injected = CountAndFail(FileOperation::kClose);
  const int injectedError = errno;
  const bool closed = std::fclose(raw) == 0;  // always released, also when a fault is planned
  if (injected) errno = injectedError;
  return closed && !injected;
}

bool RenameFile(const char* from, const char* to) {
  if (CountAndFail(FileOperation::kRename)) return false;
  return PlatformRename(from, to);
}

int64_t FileSize(std::FILE* file) {
  if (std::fseek(file, 0, SEEK_END) != 0) return -1;
  const long size = std::ftell(file);
  return size < 0 ? -1 : static_cast<int64_t>(size);
}

std::string ErrorText(int errorNumber) { return std::strerror(errorNumber); }
