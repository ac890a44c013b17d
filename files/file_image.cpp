#include "files/file_image.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

#include "files/file_access.h"
#include "files/platform_files.h"
#include "report/failure.h"

namespace {

// A text whose size the system does not tell (a device, a pipe, a /proc
// file) is read as a stream, up to this size: an endless one such as
// /dev/zero is refused, never taken as empty.
constexpr size_t kStreamedTextLimit = size_t{64} << 20;
// How long a FIFO may wait for a program to write it.
constexpr int kWriterWaitMilliseconds = 10000;
constexpr size_t kFirstStreamBlock = size_t{1} << 16;

// The size the system tells for file, with the position back at its start;
// 0 when it tells none.
size_t ToldSize(std::FILE* file) {
  const int64_t size = FileSize(file);
  if (size <= 0 || static_cast<uint64_t>(size) >= SIZE_MAX / 2 || std::fseek(file, 0, SEEK_SET) != 0) {
    std::clearerr(file);
    return 0;
  }
  return static_cast<size_t>(size);
}

// A block of text that grows as it is read, always with a zero byte after
// its used part.
class GrowingText {
 public:
  bool Reserve(size_t capacity) {
    std::unique_ptr<char[]> bigger(new (std::nothrow) char[capacity + 1]);
    if (!bigger) return false;
    if (used_ > 0) std::memcpy(bigger.get(), text_.get(), used_);
    std::memset(bigger.get() + used_, 0, capacity + 1 - used_);
    text_ = std::move(bigger);
    capacity_ = capacity;
    return true;
  }
  char* end() { return text_.get() + used_; }
  size_t room() const { return capacity_ - used_; }
  size_t used() const { return used_; }
  void Add(size_t count) { used_ += count; }
  std::unique_ptr<char[]> Take() { return std::move(text_); }

 private:
  std::unique_ptr<char[]> text_;
  size_t capacity_ = 0;
  size_t used_ = 0;
};

}  // namespace

bool LoadFileImage(const char* path, FileImage& image, std::string& why) {
  const std::string quoted = Quoted(path);
  // A directory opens for reading on some systems and tells a huge size.
  if (IsDirectory(path)) return Fail(why, "cannot read text file " + quoted + ": it is a directory");
  FileHandle file = OpenTextFile(path, kWriterWaitMilliseconds);
  if (!file && errno == ETIMEDOUT) {
    return Fail(why, "cannot read text file " + quoted + ": no program wrote to it within " +
                         std::to_string(kWriterWaitMilliseconds / 1000) + " seconds");
  }
  if (!file) return Fail(why, "cannot open text file " + quoted + ": " + ErrorText(errno));
  // The size the system tells sizes the block; the text is read to its end
  // all the same, so a file that tells none, or grew, is read whole.
  const size_t told = ToldSize(file.get());
  const size_t limit = told > kStreamedTextLimit ? told : kStreamedTextLimit;
  GrowingText text;
  if (!text.Reserve(told > 0 ? told : kFirstStreamBlock)) {
    return Fail(why, "not enough memory to read text file " + quoted);
  }
  for (;;) {
    // Full at the told size: a one-byte read tells whether more comes
    // before the block grows.
    const size_t wanted = text.room() > 0 ? text.room() : 1;
    char probe;
    char* into = text.room() > 0 ? text.end() : &probe;
    size_t got = 0;
    if (!ReadBytes(file.get(), into, wanted, &got)) break;
    if (got == 0) {
      image.size = text.used();
      image.text = text.Take();
      return true;
    }
    if (into == &probe) {
      if (text.used() >= limit) {
        return Fail(why, "text file " + quoted + " is larger than " + std::to_string(limit >> 20) +
                             " MiB, or has no end");
      }
      if (!text.Reserve(std::min(limit, text.used() * 2))) {
        return Fail(why, "not enough memory to read text file " + quoted);
      }
      *text.end() = probe;
    }
    text.Add(got);
  }
  return Fail(why, "cannot read text file " + quoted + ": " + ErrorText(errno));
}

bool LoadMemoryImage(const void* bytes, size_t size, FileImage& image, std::string& why) {
  std::unique_ptr<char[]> text(size < SIZE_MAX ? new (std::nothrow) char[size + 1] : nullptr);
  if (!text) return Fail(why, "not enough memory for a text of " + std::to_string(size) + " bytes");
  if (size > 0) std::memcpy(text.get(), bytes, size);
  text[size] = '\0';
  image.text = std::move(text);
  image.size = size;
  return true;
}
