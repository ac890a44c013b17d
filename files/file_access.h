// Every file quadkit touches, the scene file and the export's output alike,
// is opened, read, written, flushed, closed and renamed through here. The
// calls are plain C stdio; each is counted, and a test can make the nth
// call of one kind fail with a chosen errno, to stage a full disk, a failing
// read, close or sync, or a refused open: the call then fails as the real
// one does, delivering or writing nothing. In normal runs no fault is
// planned and the calls do exactly what stdio does.
#ifndef QUADKIT_FILES_FILE_ACCESS_H_
#define QUADKIT_FILES_FILE_ACCESS_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "files/platform_files.h"

enum class FileOperation { kOpen, kRead, kWrite, kFlush, kSync, kClose, kRename };
constexpr int kFileOperationKinds = 7;

// Test hook: the nth call (counted from 1 after this call) of operation
// fails with errorNumber; nth 0 plans no fault. One fault at a time. A
// failing write writes its first partialBytes bytes before it fails.
void PlanFileFault(FileOperation operation, int64_t nth, int errorNumber, size_t partialBytes = 0);
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

// Opens path for a FileLock (files/file_lock.h); counted as an open.
LockHandle OpenLock(const char* path, FileIdentity& identity);

// Opens a text file to read it whole: as OpenFile with "rb", but a FIFO
// waits at most writerWaitMilliseconds for its writer (errno ETIMEDOUT).
FileHandle OpenTextFile(const char* path, int writerWaitMilliseconds);

// Reads up to size bytes at the current position; *got says how many came.
// False, with errno set, when the read meets an I/O error; the end of the
// file is no error.
bool ReadBytes(std::FILE* file, void* dst, size_t size, size_t* got);

// Zero-fills dst, then reads up to size bytes at offset into it; *got says
// how many the file delivered. A file that ends early, or a negative
// offset, delivers fewer bytes or none and leaves zeros: no error. False,
// with errno set, only for an I/O error.
bool ReadAt(std::FILE* file, int64_t offset, uint8_t* dst, size_t size, size_t* got);

// The little-endian int32 at offset, 0 where the file does not supply it;
// false, with errno set, for an I/O error.
bool ReadInt32At(std::FILE* file, int64_t offset, int32_t* value);

// Writes size bytes at offset; false when the position cannot be reached or
// the write falls short, *written (when given) saying how many bytes were
// written. Nothing is written at any other position.
bool WriteAt(std::FILE* file, int64_t offset, const void* src, size_t size, size_t* written = nullptr);

// Writes size bytes at the current position; false, with errno set, when
// the write falls short, *written (when given) saying how many were written.
bool WriteBytes(std::FILE* file, const void* src, size_t size, size_t* written = nullptr);

bool FlushFile(std::FILE* file);

// Makes what was flushed to file durable on its disk.
bool SyncFile(std::FILE* file);
// Makes the folder that holds path durable, with the renames into it.
bool SyncFolderOf(const char* path);

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
