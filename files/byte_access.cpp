#include "files/byte_access.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "files/file_access.h"

namespace {

class FileBytes : public ByteAccess {
 public:
  FileBytes(PositionedHandle handle, bool forUpdate, const FileIdentity& identity)
      : handle_(handle), forUpdate_(forUpdate), identity_(identity) {}
  ~FileBytes() override { Close(); }
  FileBytes(const FileBytes&) = delete;
  FileBytes& operator=(const FileBytes&) = delete;

  bool ReadAt(int64_t offset, uint8_t* dst, size_t size, size_t* got) override {
    *got = 0;
    if (!handle_.IsOpen()) return Closed();
    size_t partialBytes = 0;
    if (FileCallFails({FileOperation::kRead, forUpdate_}, &partialBytes)) {
      // An I/O error after the first bytes came.
      const int reason = errno;
      PlatformReadAt(handle_, offset, dst, std::min(partialBytes, size), got);
      errno = reason;
      return false;
    }
    return PlatformReadAt(handle_, offset, dst, size, got);
  }

  bool WriteAt(int64_t offset, const uint8_t* src, size_t size, size_t* written) override {
    *written = 0;
    if (!handle_.IsOpen()) return Closed();
    if (!forUpdate_) {
      errno = EBADF;
      return false;
    }
    size_t partialBytes = 0;
    if (FileCallFails({FileOperation::kWrite, true}, &partialBytes)) {
      // A disk that fills up in the middle of a write: part of it lands.
      const int reason = errno;
      PlatformWriteAt(handle_, offset, src, std::min(partialBytes, size), written);
      errno = reason;
      return false;
    }
    return PlatformWriteAt(handle_, offset, src, size, written);
  }

  int64_t Size() override { return handle_.IsOpen() ? PlatformSizeOf(handle_) : -1; }

  PathNaming NamedBy(const char* path) override {
    if (handle_.IsOpen() && PlatformDeletePending(handle_)) {
      errno = ENOENT;
      return PathNaming::kMissing;
    }
    return PlatformPathNames(path, identity_);
  }
  FileIdentity Identity() const override { return identity_; }
  bool Writable() const override { return forUpdate_; }
  LockHandle LockThrough() const override { return PlatformLockThrough(handle_); }

  bool Close() override {
    if (!handle_.IsOpen()) return true;
    const PositionedHandle handle = handle_;
    handle_ = PositionedHandle();
    // A handle that only read loses nothing in its close.
    const bool injected = forUpdate_ && FileCallFails({FileOperation::kClose, true});
    const int injectedError = errno;
    const bool closed = PlatformClosePositioned(handle);  // released also when a fault is planned
    if (injected) errno = injectedError;
    return closed && !injected;
  }

 private:
  static bool Closed() {
    errno = EBADF;
    return false;
  }

  PositionedHandle handle_;
  bool forUpdate_;
  FileIdentity identity_;
};

class BorrowedBytes : public ByteAccess {
 public:
  explicit BorrowedBytes(ByteAccess& bytes) : bytes_(&bytes) {}

  bool ReadAt(int64_t offset, uint8_t* dst, size_t size, size_t* got) override {
    *got = 0;
    return bytes_ != nullptr ? bytes_->ReadAt(offset, dst, size, got) : Closed();
  }
  bool WriteAt(int64_t offset, const uint8_t* src, size_t size, size_t* written) override {
    *written = 0;
    return bytes_ != nullptr ? bytes_->WriteAt(offset, src, size, written) : Closed();
  }
  int64_t Size() override {
    if (bytes_ != nullptr) return bytes_->Size();
    errno = EBADF;
    return -1;
  }
  PathNaming NamedBy(const char* path) override {
    if (bytes_ != nullptr) return bytes_->NamedBy(path);
    errno = EBADF;
    return PathNaming::kUnknown;
  }
  FileIdentity Identity() const override { return bytes_ != nullptr ? bytes_->Identity() : FileIdentity(); }
  bool Writable() const override { return bytes_ != nullptr && bytes_->Writable(); }
  LockHandle LockThrough() const override { return bytes_ != nullptr ? bytes_->LockThrough() : LockHandle(); }
  bool Close() override {
    bytes_ = nullptr;
    return true;
  }

 private:
  static bool Closed() {
    errno = EBADF;
    return false;
  }

  ByteAccess* bytes_;
};

}  // namespace

std::unique_ptr<ByteAccess> OpenFileBytes(const char* path, bool forUpdate) {
  if (FileCallFails({FileOperation::kOpen, forUpdate})) return nullptr;
  const PositionedHandle handle = PlatformOpenPositioned(path, forUpdate);
  if (!handle.IsOpen()) return nullptr;
  FileIdentity identity;
  if (!PlatformIdentifyPositioned(handle, &identity)) {
    const int reason = errno;
    PlatformClosePositioned(handle);
    errno = reason;
    return nullptr;
  }
  return std::unique_ptr<ByteAccess>(new FileBytes(handle, forUpdate, identity));
}

bool MemoryBytes::ReadAt(int64_t offset, uint8_t* dst, size_t size, size_t* got) {
  *got = 0;
  if (offset < 0 || static_cast<uint64_t>(offset) >= bytes_.size()) return true;
  *got = std::min(size, bytes_.size() - static_cast<size_t>(offset));
  std::memcpy(dst, bytes_.data() + offset, *got);
  return true;
}

bool MemoryBytes::WriteAt(int64_t offset, const uint8_t* src, size_t size, size_t* written) {
  *written = 0;
  if (!writable_) {
    errno = EBADF;
    return false;
  }
  if (offset < 0 || static_cast<uint64_t>(offset) > bytes_.size()) {
    errno = EINVAL;
    return false;
  }
  *written = std::min(size, bytes_.size() - static_cast<size_t>(offset));
  std::memcpy(bytes_.data() + offset, src, *written);
  if (*written == size) return true;
  errno = ENOSPC;
  return false;
}

std::unique_ptr<ByteAccess> BorrowBytes(ByteAccess& bytes) { return std::make_unique<BorrowedBytes>(bytes); }
