#include "files/file_access.h"

#include <cerrno>
#include <climits>
#include <cstring>

#include "scene/little_endian.h"

namespace {

struct PlannedFault {
  FileOperation operation = FileOperation::kOpen;
  int64_t failingCall = 0;  // the value of the operation's count that fails; 0: none
  int errorNumber = 0;
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

void PlanFileFault(FileOperation operation, int64_t nth, int errorNumber) {
  planned.operation = operation;
  planned.failingCall = nth > 0 ? counts[operation] + nth : 0;
  planned.errorNumber = errorNumber;
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

bool ReadBytes(std::FILE* file, void* dst, size_t size, size_t* got) {
  *got = 0;
  if (CountAndFail(FileOperation::kRead)) return false;
  *got = std::fread(dst, 1, size, file);
  return *got == size || !std::ferror(file);
}

size_t ReadAt(std::FILE* file, int64_t offset, uint8_t* dst, size_t size) {
  std::memset(dst, 0, size);
  size_t got = 0;
  // A short or failed read leaves the tail as the zeros written above.
  if (SeekTo(file, offset)) ReadBytes(file, dst, size, &got);
  return got;
}

int32_t ReadInt32At(std::FILE* file, int64_t offset) {
  uint8_t bytes[4];
  ReadAt(file, offset, bytes, sizeof bytes);
  return DecodeInt32LE(bytes);
}

bool WriteBytes(std::FILE* file, const void* src, size_t size) {
  if (CountAndFail(FileOperation::kWrite)) return false;
  return std::fwrite(src, 1, size, file) == size;
}

bool WriteAt(std::FILE* file, int64_t offset, const void* src, size_t size) {
  return SeekTo(file, offset) && WriteBytes(file, src, size);
}

bool FlushFile(std::FILE* file) {
  if (CountAndFail(FileOperation::kFlush)) return false;
  return std::fflush(file) == 0;
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
