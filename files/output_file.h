// The file an export writes. A path that is a regular file, or names
// nothing yet, is written into a new file beside it (".quadkit-<random>.tmp"
// in the same folder), which Commit renames over the path once the last
// byte is written, on the disk, and the file closed; then the folder is
// made durable too. A failed or killed export leaves no partial file under
// the path, and a file that stood there stays intact until then. Any other
// path (a symbolic link such as /dev/stdout, a device such as /dev/full, a
// FIFO) is written directly. Every write, flush, sync and close is checked.
#ifndef QUADKIT_FILES_OUTPUT_FILE_H_
#define QUADKIT_FILES_OUTPUT_FILE_H_

#include <cstddef>
#include <memory>
#include <string>

#include "files/file_access.h"
#include "files/output_sink.h"

class OutputFile : public OutputSink {
 public:
  // kind names the file in messages ("output file", "material library").
  OutputFile(std::string path, std::string kind);
  // A file not committed is abandoned: the new file beside the path is
  // removed, and the path keeps what it had.
  ~OutputFile() override;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  bool Create(std::string& why);
  using OutputSink::Write;
  bool Write(const void* bytes, size_t size, std::string& why) override;
  // Flushes and closes the file; then Commit puts it in place.
  bool Finish(std::string& why);
  bool Commit(std::string& why);
  const std::string& path() const override { return path_; }

 private:
  // "cannot <what> <kind> '<path>': <errno's text>".
  bool Cannot(const char* what, std::string& why);

  std::string path_;
  std::string kind_;
  std::string newPath_;  // the file beside the path; empty when writing directly
  std::unique_ptr<char[]> buffer_;  // the file's stdio buffer; declared first, so it outlives file_
  FileHandle file_;
  size_t sinceWriteBack_ = 0;  // bytes written since the disk was last asked to take them
  bool committed_ = false;
};

#endif  // QUADKIT_FILES_OUTPUT_FILE_H_
