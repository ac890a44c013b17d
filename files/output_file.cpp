#include "files/output_file.h"

#include <cerrno>
#include <utility>

#include "report/failure.h"

namespace {

// Room for the text of many rectangles before a write reaches the system.
constexpr size_t kOutputBufferSize = 1 << 16;
constexpr int kNewNameAttempts = 100;

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
      newPath_ = path_ + ".quadkit-new" + (attempt > 0 ? "-" + std::to_string(attempt) : "");
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
  std::setvbuf(file_.get(), nullptr, _IOFBF, kOutputBufferSize);
  return true;
}

bool OutputFile::Write(const std::string& text, std::string& why) {
  return Write(text.data(), text.size(), why);
}

bool OutputFile::Write(const void* bytes, size_t size, std::string& why) {
  if (size == 0) return true;
  return WriteBytes(file_.get(), bytes, size) || Cannot("write", why);
}

bool OutputFile::Finish(std::string& why) {
  if (!FlushFile(file_.get())) {
    const int reason = errno;
    file_.reset();  // the close may change errno
    errno = reason;
    return Cannot("write", why);
  }
  return CloseFile(std::move(file_)) || Cannot("write", why);
}

bool OutputFile::Commit(std::string& why) {
  if (!newPath_.empty() && !RenameFile(newPath_.c_str(), path_.c_str())) {
    return Cannot("replace", why);
  }
  committed_ = true;
  return true;
}
