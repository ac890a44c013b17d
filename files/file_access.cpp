#include "files/file_access.h"

#include <cerrno>
#include <algorithm>
#include <climits>
#include <cstring>

#include "files/little_endian.h"

namespace {

struct PlannedFault {
  FileOperation operation = FileOperation::kOpen;
  int64_t failingCall = 0;  // the value of the operation's count that fails; 0: none
  int errorNumber = 0;
  size_t partialBytes = 0;  // what a failing write writes before it fails
};

PlannedFault planned;
FileAccessCounts counts;

// Counts one call of operation; true, with errno set, when it is the
// planned fault, which the caller then reports as the call's failure.
bool CountAndFail(FileOperation operation) {
  const int64_t call = ++counts.calls[static_cast<int>(operation)];
  if (planned.failingCall == 0 || planned.operation != operation || call != planned.failingCall) {
    return false;
  }
  errno = planned.errorNumber;
  return true;
}

}  // namespace

void PlanFileFault(FileOperation operation, int64_t nth, int errorNumber, size_t partialBytes) {
  planned.operation = operation;
  planned.failingCall = nth > 0 ? counts[operation] + nth : 0;
  planned.errorNumber = errorNumber;
  planned.partialBytes = partialBytes;
}

void ClearFileFault() { planned = PlannedFault(); }

FileAccessCounts GetFileAccessCounts() { return counts; }

void ResetFileAccessCounts() {
  counts = FileAccessCounts();
  planned.failingCall = 0;
}

FileHandle OpenFile(const char* path, const char* mode) {
  if (mode[0] == 'r' && mode[1] != '\0' && (mode[1] == '+' || mode[2] == '+')) ++counts.updateOpens;
  if (CountAndFail(FileOperation::kOpen)) return nullptr;
  return FileHandle(PlatformOpen(path, mode));
}

FileHandle OpenFileUnbuffered(const char* path, const char* mode) {
  FileHandle file = OpenFile(path, mode);
  if (file) std::setvbuf(file.get(), nullptr, _IONBF, 0);
  return file;
}

FileHandle CreateNewFile(const char* path, const char* modelPath) {
  if (CountAndFail(FileOperation::kOpen)) return nullptr;
  return FileHandle(PlatformCreateNew(path, modelPath));
}

namespace {

bool SeekTo(std::FILE* file, int64_t offset) {
  if (offset < 0 || offset > LONG_MAX) return false;
  return std::fseek(file, static_cast<long>(offset), SEEK_SET) == 0;
}

}  // namespace

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

bool ReadAt(std::FILE* file, int64_t offset, uint8_t* dst, size_t size, size_t* got) {
  std::memset(dst, 0, size);
  *got = 0;
  // A position before the start reaches no byte of the file; one beyond
  // its end, or beyond what this system's stdio can reach, delivers none.
  // Both leave the zeros written above.
  if (offset < 0 || offset > LONG_MAX) return true;
  errno = 0;
  if (!SeekTo(file, offset)) {
    if (errno == 0) errno = EIO;
    return false;
  }
  return ReadBytes(file, dst, size, got);
}

bool ReadInt32At(std::FILE* file, int64_t offset, int32_t* value) {
  uint8_t bytes[4];
  size_t got = 0;
  if (!ReadAt(file, offset, bytes, sizeof bytes, &got)) return false;
  *value = DecodeInt32LE(bytes);
  return true;
}

bool WriteBytes(std::FILE* file, const void* src, size_t size, size_t* written) {
  if (written != nullptr) *written = 0;
  if (CountAndFail(FileOperation::kWrite)) {
    // A disk that fills up in the middle of a write: part of it lands.
    const int reason = errno;
    const size_t part = std::fwrite(src, 1, std::min(planned.partialBytes, size), file);
    if (written != nullptr) *written = part;
    errno = reason;
    return false;
  }
  const size_t done = std::fwrite(src, 1, size, file);
  if (written != nullptr) *written = done;
  return done == size;
}

bool WriteAt(std::FILE* file, int64_t offset, const void* src, size_t size, size_t* written) {
  if (written != nullptr) *written = 0;
  return SeekTo(file, offset) && WriteBytes(file, src, size, written);
}

bool FlushFile(std::FILE* file) {
  if (CountAndFail(FileOperation::kFlush)) return false;
  return std::fflush(file) == 0;
}

bool SyncFile(std::FILE* file) {
  if (CountAndFail(FileOperation::kSync)) return false;
  return PlatformSync(file);
}

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
