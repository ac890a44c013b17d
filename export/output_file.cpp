#include "export/output_file.h"

#include <cerrno>
#include <utility>

#include "scene/messages.h"

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

bool OutputFile::Fail(const char* what, std::string& error) {
  const int reason = errno;
  return ::Fail(error, std::string("cannot ") + what + " " + kind_ + " '" + path_ +
                           "': " + ErrorText(reason));
}

bool OutputFile::Create(std::string& error) {
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
      return Fail("create", error);
    }
  } else {
    file_ = OpenFile(path_.c_str(), "w+b");
    if (!file_) return Fail("create", error);
  }
  std::setvbuf(file_.get(), nullptr, _IOFBF, kOutputBufferSize);
  return true;
}

bool OutputFile::Write(const std::string& text, std::string& error) {
  if (text.empty()) return true;
  return WriteBytes(file_.get(), text.data(), text.size()) || Fail("write", error);
}

bool OutputFile::Finish(std::string& error) {
  if (!FlushFile(file_.get())) {
    const int reason = errno;
    file_.reset();  // the close may change errno
    errno = reason;
    return Fail("write", error);
  }
  return CloseFile(std::move(file_)) || Fail("write", error);
}

bool OutputFile::Commit(std::string& error) {
  if (!newPath_.empty() && !RenameFile(newPath_.c_str(), path_.c_str())) {
    return Fail("replace", error);
  }
  committed_ = true;
  return true;
}
