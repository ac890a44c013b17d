// Every file quadkit touches, the scene file and the export's output alike,
// is opened, read, written, flushed, closed and renamed through here. The
// calls are plain C stdio; each is counted, and a test can make the nth
// call of one kind fail with a chosen errno, through a hook it hands in, to
// stage a full disk, a failing read, close or sync, or a refused open: the
// call then fails as the real one does, delivering or writing nothing. In
// normal runs no hook is handed in and the calls do exactly what stdio does.
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

// One call of the file layer, as a FileCallHook is told of it.
struct FileCall {
  FileOperation operation;
  bool forUpdate = false;  // an open for update ("r+b", or the scene opened to be written)
};

// Told of every file call before it runs: a test's implementation makes a
// chosen call fail, the benchmark's counts them. Without one, every call
// does what the system does.
class FileCallHook {
 public:
  virtual ~FileCallHook() = default;
  // True, with errno set, to make the call fail as the system's would,
  // delivering nothing; a failing write first writes *partialBytes bytes,
  // and a failing positioned read first delivers as many (0 unless the
  // hook says otherwise).
  virtual bool Fails(const FileCall& call, size_t* partialBytes) = 0;
};

// Hands every later file call to hook (null: none); returns the hook
// handed in before.
FileCallHook* SetFileCallHook(FileCallHook* hook);
// What the calls of the file layer ask the hook; true, with errno set, when
// the call is to fail.
bool FileCallFails(const FileCall& call, size_t* partialBytes = nullptr);

// Closes a file that was only read; such a close cannot lose data.
struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Opens path with the stdio mode; null, with errno set, when it fails.
FileHandle OpenFile(const char* path, const char* mode);

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

// Writes size bytes at the current position; false, with errno set, when
// the write falls short, *written (when given) saying how many were written.
bool WriteBytes(std::FILE* file, const void* src, size_t size, size_t* written = nullptr);

bool FlushFile(std::FILE* file);

// Makes what was flushed to file durable on its disk.
bool SyncFile(std::FILE* file);
// Starts the writing to the disk of what file was handed so far; a hint
// for the sync that follows, which it makes shorter (see
// PlatformStartWriteBack).
void StartWriteBack(std::FILE* file);
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
