// Where the bytes of an export go: a file (files/output_file.h) or memory.
// Each has the path that names it, which a format may write into its text
// (the name of the file beside it, a path relative to its folder).
#ifndef QUADKIT_FILES_OUTPUT_SINK_H_
#define QUADKIT_FILES_OUTPUT_SINK_H_

#include <cstddef>
#include <string>
#include <utility>

class OutputSink {
 public:
  virtual ~OutputSink() = default;
  // False, with why, when the bytes cannot be written.
  virtual bool Write(const void* bytes, size_t size, std::string& why) = 0;
  bool Write(const std::string& text, std::string& why) { return Write(text.data(), text.size(), why); }
  virtual const std::string& path() const = 0;
};

// An output in memory, under the path a file of it would have: for the
// tests and the fuzz targets. Every write is taken and counted; its bytes
// are kept unless keep is false (a fuzz target that only runs the export).
class MemoryOutput : public OutputSink {
 public:
  explicit MemoryOutput(std::string path, bool keep = true) : path_(std::move(path)), keep_(keep) {}
  using OutputSink::Write;
  bool Write(const void* bytes, size_t size, std::string& /*why*/) override {
    if (keep_) bytes_.append(static_cast<const char*>(bytes), size);
    written_ += size;
    return true;
  }
  const std::string& path() const override { return path_; }
  const std::string& bytes() const { return bytes_; }
  size_t written() const { return written_; }

 private:
  std::string path_;
  bool keep_;
  std::string bytes_;
  size_t written_ = 0;
};

#endif  // QUADKIT_FILES_OUTPUT_SINK_H_
