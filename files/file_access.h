// Every file quadkit touches, the scene file and the export's output alike,
// is opened, read, written, flushed, closed and renamed through here. The
// calls are plain C stdio; each is counted, and a test can make the nth
// call of one kind fail with a chosen errno, to stage a full disk, a failing
// close or a refused open. In normal runs no fault is planned and the calls
// do exactly what stdio does.
#ifndef QUADKIT_FILES_FILE_ACCESS_H_
#define QUADKIT_FILES_FILE_ACCESS_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "files/platform_files.h"

enum class FileOperation { kOpen, kRead, kWrite, kFlush, kClose, kRename };
constexpr int kFileOperationKinds = 6;

// Test hook: the nth call (counted from 1 after this call) of operation
// fails with errorNumber; nth 0 plans no fault. One fault at a time.
void PlanFileFault(FileOperation operation, int64_t nth, int errorNumber);
void ClearFileFault();

// How many calls of each kind ran since the last reset; the benchmark's
// opens per rectangle come from here.
struct FileAccessCounts {
  int64_t calls[kFileOperationKinds] = {};
  int64_t updateOpens = 0;  // the opens among them that open a file for update ("r+b")
  int64_t operator[](FileOperation operation) const { return calls[static_cast<int>(operation)]; }
};
FileAccessCounts GetFileAccessCounts();
void ResetFileAccessCounts();

// Closes a file that was only read; such a close cannot lose data.
struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Opens path with the stdio mode; null, with errno set, when it fails.
FileHandle OpenFile(const char* path, const char* mode);

// The same without a stdio buffer, for the few positioned reads and writes
// of one rectangle: each then costs one system call instead of a block read
// around it, and a write reaches the file without a re-read.
FileHandle OpenFileUnbuffered(const char* path, const char* mode);

// Creates path for writing, failing when anything stands there already;
// it takes the permission bits of modelPath when that names a file.
FileHandle CreateNewFile(const char* path, const char* modelPath);

// Zero-fills dst, then reads up to size bytes at offset into it. Returns the
// number of bytes the file delivered; a position that cannot be reached
// delivers none.
size_t ReadAt(std::FILE* file, int64_t offset, uint8_t* dst, size_t size);

// Reads up to size bytes at the current position; returns how many came.
// False, with errno set, when the stream reports an error.
bool ReadBytes(std::FILE* file, void* dst, size_t size, size_t* got);

// The little-endian int32 at offset; 0 where the file does not supply it.
int32_t ReadInt32At(std::FILE* file, int64_t offset);

// Writes size bytes at offset; false when the position cannot be reached or
// the write falls short. Nothing is written at any other position.
bool WriteAt(std::FILE* file, int64_t offset, const void* src, size_t size);

// Writes size bytes at the current position; false, with errno set, when
// the write falls short.
bool WriteBytes(std::FILE* file, const void* src, size_t size);

bool FlushFile(std::FILE* file);

// Closes a file that was written; false, with errno set, when the close
// reports that written data may not have reached the file.
bool CloseFile(FileHandle file);

bool RenameFile(const char* from, const char* to);

// Size of the file in bytes, or -1 when it cannot be determined. Leaves the
// position at the end of the file.
int64_t FileSize(std::FILE* file);

// The system's text for an errno value.
std::string ErrorText(int errorNumber);

#endif  // QUADKIT_FILES_FILE_ACCESS_H_
