// The bytes of one file, reached by offset: what SceneFile reads and writes
// through. The file implementation keeps one open handle of the file from
// its open to its close and hands every read and write to the system at
// once, at its offset, with no buffer in the process; the memory
// implementation holds the bytes of a file in memory, for tests and the
// fuzz targets, which then need no file at all.
#ifndef QUADKIT_FILES_BYTE_ACCESS_H_
#define QUADKIT_FILES_BYTE_ACCESS_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "files/platform_files.h"

class ByteAccess {
 public:
  virtual ~ByteAccess() = default;
  // Reads up to size bytes at offset (not negative) into dst; *got says how
  // many came before the end of the file, which is no error. False, with
  // errno set, for an I/O error.
  virtual bool ReadAt(int64_t offset, uint8_t* dst, size_t size, size_t* got) = 0;
  // Writes size bytes at offset as one write; false, with errno set, when
  // it falls short, *written saying how many landed.
  virtual bool WriteAt(int64_t offset, const uint8_t* src, size_t size, size_t* written) = 0;
  // Size in bytes; -1, with errno set, when it cannot be told.
  virtual int64_t Size() = 0;
  // Whether path still names these bytes (an editor may have saved another
  // file under it).
  virtual PathNaming NamedBy(const char* path) = 0;
  // The identity of the file opened; memory has none (all zeros).
  virtual FileIdentity Identity() const { return FileIdentity(); }
  // Whether writes reach the bytes: opened for update.
  virtual bool Writable() const = 0;
  // The lock that other quadkit runs honour, taken through this very open
  // where the system allows (an open LockHandle, not owned), or none.
  virtual LockHandle LockThrough() const { return LockHandle(); }
  // Ends the access; false, with errno set, when written data may not have
  // reached the file. Afterwards every read and write fails.
  virtual bool Close() = 0;
};

// Opens the existing file at path; null, with errno set, when it cannot.
// Its reads, writes, open and close (when opened for update) are file
// calls that a FileCallHook is told of.
std::unique_ptr<ByteAccess> OpenFileBytes(const char* path, bool forUpdate);

// A file's bytes in memory. Reads and writes change only the vector, which
// never grows: a write beyond its end writes what fits and fails (ENOSPC).
class MemoryBytes : public ByteAccess {
 public:
  explicit MemoryBytes(std::vector<uint8_t> bytes, bool writable = true)
      : bytes_(std::move(bytes)), writable_(writable) {}
  bool ReadAt(int64_t offset, uint8_t* dst, size_t size, size_t* got) override;
  bool WriteAt(int64_t offset, const uint8_t* src, size_t size, size_t* written) override;
  int64_t Size() override { return static_cast<int64_t>(bytes_.size()); }
  PathNaming NamedBy(const char* /*path*/) override { return named_; }
  bool Writable() const override { return writable_; }
  bool Close() override { return true; }

  const std::vector<uint8_t>& bytes() const { return bytes_; }
  // What NamedBy answers from now on: kOther stages a file saved under the
  // name of these bytes.
  void SetNaming(PathNaming naming) { named_ = naming; }

 private:
  std::vector<uint8_t> bytes_;
  bool writable_;
  PathNaming named_ = PathNaming::kSame;
};

// An access that hands every call to bytes, which outlives it, so that one
// set of bytes in memory serves one run after another, as a file does, and
// can be looked at after each. Its Close ends only the borrow: afterwards
// its reads and writes fail, and bytes stays as it is.
std::unique_ptr<ByteAccess> BorrowBytes(ByteAccess& bytes);

#endif  // QUADKIT_FILES_BYTE_ACCESS_H_
