#include "files/output_file.h"

#include <cerrno>
#include <random>
#include <utility>

#include "files/path_names.h"
#include "report/failure.h"

namespace {

// Room for the text of many rectangles before a write reaches the system:
// a few large writes.
constexpr size_t kOutputBufferSize = 1 << 20;
constexpr int kNewNameAttempts = 100;

// A name for the new file in the folder of path, of a fixed length, so
// that it is legal for any legal path, and random, so that files left by
// killed runs do not stand in its way: ".quadkit-<16 hex digits>.tmp".
std::string NewFileBeside(const std::string& path) {
  static std::random_device random;
  const uint64_t number = (static_cast<uint64_t>(random()) << 32) ^ random();
  static const char kHex[] = "0123456789abcdef";
  std::string name = ".quadkit-";
  for (int shift = 60; shift >= 0; shift -= 4) name += kHex[(number >> shift) & 0xF];
  return PathBeside(path, name + ".tmp");
}

}  // namespace

OutputFile::OutputFile(std::string path, std::string kind)
    : path_(std::move(path)), kind_(std::move(kind)) {}

OutputFile::~OutputFile() {
  file_.reset();
  if (!committed_ && !newPath_.empty()) RemoveFile(newPath_.c_str());
}

bool OutputFile::Cannot(const char* what, std::string& why) {
  const int reason = errno;
  return Fail(why, std::string("cannot ") + what + " " + kind_ + " " + Quoted(path_) + ": " +
                       ErrorText(reason));
}

bool OutputFile::Create(std::string& why) {
  const PathKind kind = GetPathKind(path_.c_str());
  if (kind == PathKind::kRegularFile || kind == PathKind::kMissing) {
    const char* model = kind == PathKind::kRegularFile ? path_.c_str() : nullptr;
    for (int attempt = 0; attempt < kNewNameAttempts && !file_; ++attempt) {
      newPath_ = NewFileBeside(path_);
      file_ = CreateNewFile(newPath_.c_str(), model);
      if (!file_ && errno != EEXIST) break;
    }
    if (!file_) {
      newPath_.clear();
      return Cannot("create", why);
    }
  } else {
    file_ = OpenFile(path_.c_str(), "w+b");
    if (!file_) return Cannot("create", why);
  }
  // The buffer is the file's own: given none, the C library keeps to a
  // block of the file system's size.
  if (!buffer_) buffer_.reset(new char[kOutputBufferSize]);
  std::setvbuf(file_.get(), buffer_.get(), _IOFBF, kOutputBufferSize);
  return true;
}

bool OutputFile::Write(const void* bytes, size_t size, std::string& why) {
  if (size == 0) return true;
  if (!WriteBytes(file_.get(), bytes, size)) return Cannot("write", why);
  // The disk takes the file's blocks while the rest of its text is made,
  // rather than all of them at the sync in Finish.
  sinceWriteBack_ += size;
  if (sinceWriteBack_ >= kOutputBufferSize && !newPath_.empty()) {
    sinceWriteBack_ = 0;
    StartWriteBack(file_.get());
  }
  return true;
}

// The new file reaches the disk before it takes the path's name, so that a
// loss of power after the rename cannot leave a file of that name without
// its bytes. A device or a pipe written directly has nothing to make
// durable.
bool OutputFile::Finish(std::string& why) {
  if (!FlushFile(file_.get()) || (!newPath_.empty() && !SyncFile(file_.get()))) {
    const int reason = errno;
    file_.reset();  // the close may change errno
    errno = reason;
    return Cannot("write", why);
  }
  return CloseFile(std::move(file_)) || Cannot("write", why);
}

bool OutputFile::Commit(std::string& why) {
  if (newPath_.empty()) {
    committed_ = true;
    return true;
  }
  if (!RenameFile(newPath_.c_str(), path_.c_str())) return Cannot("replace", why);
  committed_ = true;
  return SyncFolderOf(path_.c_str()) || Cannot("replace", why);
}
