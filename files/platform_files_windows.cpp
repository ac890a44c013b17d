// Windows side of the platform file calls. Paths arrive as UTF-8 and are
// handed to the wide-character (UTF-16) functions, so any file name works,
// whatever the system's ANSI code page. A lone surrogate, which Windows
// allows in a file name, arrives in the three-byte form of its code point
// (the command line turns it into that form), and is restored here.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "files/platform_files.h"

namespace {

// Decodes UTF-8 into UTF-16. False for bytes that are no UTF-8: a stray
// continuation byte, a sequence cut short, an overlong form or a value
// beyond U+10FFFF.
bool ToWide(const char* text, std::wstring* wide) {
  wide->clear();
  const auto* s = reinterpret_cast<const unsigned char*>(text);
  while (*s != 0) {
    const unsigned char lead = *s++;
    uint32_t code;
    int more;
    if (lead < 0x80) {
      code = lead;
      more = 0;
    } else if (lead >= 0xC2 && lead < 0xE0) {
      code = lead & 0x1Fu;
      more = 1;
    } else if (lead >= 0xE0 && lead < 0xF0) {
      code = lead & 0x0Fu;
      more = 2;
    } else if (lead >= 0xF0 && lead < 0xF5) {
      code = lead & 0x07u;
      more = 3;
    } else {
      return false;
    }
    for (int k = 0; k < more; ++k, ++s) {
      if ((*s & 0xC0u) != 0x80u) return false;  // also stops at the terminator
      code = (code << 6) | (*s & 0x3Fu);
    }
    if ((more == 2 && code < 0x800) || (more == 3 && (code < 0x10000 || code > 0x10FFFF))) {
      return false;
    }
    if (code >= 0x10000) {
      code -= 0x10000;
      wide->push_back(static_cast<wchar_t>(0xD800 + (code >> 10)));
      wide->push_back(static_cast<wchar_t>(0xDC00 + (code & 0x3FFu)));
    } else {
      wide->push_back(static_cast<wchar_t>(code));
    }
  }
  return true;
}

// The errno value closest to a Win32 error code.
int ErrnoOf(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_CURRENT_DIRECTORY:
      return EACCES;
    case ERROR_WRITE_PROTECT:
      return EROFS;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return EEXIST;
    case ERROR_NOT_SAME_DEVICE:
      return EXDEV;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    case ERROR_FILENAME_EXCED_RANGE:
      return ENAMETOOLONG;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_DIRECTORY:
      return EINVAL;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return ENOMEM;
    default:
      return EIO;
  }
}

// A path that is no UTF-8 names no file.
bool WidePath(const char* path, std::wstring* wide) {
  if (path != nullptr && ToWide(path, wide)) return true;
  errno = EINVAL;
  return false;
}

// Opens what stands at path to read its attributes only; every sharing
// mode is granted, so a file that others hold open is seen as well.
// followLinks false opens a symbolic link or junction itself.
HANDLE OpenForAttributes(const std::wstring& path, bool followLinks) {
  DWORD flags = FILE_FLAG_BACKUP_SEMANTICS;  // needed to open a folder
  if (!followLinks) flags |= FILE_FLAG_OPEN_REPARSE_POINT;
  return CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                     OPEN_EXISTING, flags, nullptr);
}

class AttributeHandle {
 public:
  AttributeHandle(const char* path, bool followLinks) {
    std::wstring wide;
    if (!WidePath(path, &wide)) {
      error_ = ERROR_INVALID_NAME;
      return;
    }
    handle_ = OpenForAttributes(wide, followLinks);
    if (handle_ == INVALID_HANDLE_VALUE) error_ = GetLastError();
  }
  ~AttributeHandle() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  AttributeHandle(const AttributeHandle&) = delete;
  AttributeHandle& operator=(const AttributeHandle&) = delete;

  bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  DWORD error() const { return error_; }

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
  DWORD error_ = ERROR_SUCCESS;
};

// What tells one file from every other: the volume and the file's number
// on it. The 128-bit form comes first, as the 64-bit number is not unique
// on every file system (ReFS); both files are always compared in one form.
struct SystemIdentity {
  bool wide = false;
  FILE_ID_INFO id = {};
  BY_HANDLE_FILE_INFORMATION info = {};
};

bool IdentifyFile(HANDLE handle, SystemIdentity* identity) {
  identity->wide =
      GetFileInformationByHandleEx(handle, FileIdInfo, &identity->id, sizeof identity->id) != 0;
  return GetFileInformationByHandle(handle, &identity->info) != 0;
}

bool SameIdentity(const SystemIdentity& a, const SystemIdentity& b) {
  if (a.wide && b.wide) {
    return a.id.VolumeSerialNumber == b.id.VolumeSerialNumber &&
           std::memcmp(&a.id.FileId, &b.id.FileId, sizeof a.id.FileId) == 0;
  }
  return a.info.dwVolumeSerialNumber == b.info.dwVolumeSerialNumber &&
         a.info.nFileIndexHigh == b.info.nFileIndexHigh &&
         a.info.nFileIndexLow == b.info.nFileIndexLow;
}

}  // namespace

std::FILE* PlatformOpen(const char* path, const char* mode) {
  std::wstring widePath;
  std::wstring wideMode;
  if (!WidePath(path, &widePath) || !WidePath(mode, &wideMode)) return nullptr;
  return _wfopen(widePath.c_str(), wideMode.c_str());
}

// Windows files carry no permission bits to copy: who may use the new file
// follows from its folder, so modelPath has nothing to pass on. A read-only
// file at the final name is not replaced by the rename either.
std::FILE* PlatformCreateNew(const char* path, const char* /*modelPath*/) {
  std::wstring wide;
  if (!WidePath(path, &wide)) return nullptr;
  const int fd = _wopen(wide.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                        _S_IREAD | _S_IWRITE);
  if (fd < 0) return nullptr;
  std::FILE* file = _wfdopen(fd, L"wb");
  if (file == nullptr) {
    const int saved = errno;
    _close(fd);
    _wremove(wide.c_str());
    errno = saved;
  }
  return file;
}

// A symbolic link, a junction or any other reparse point, and a device
// name such as NUL or COM1, are neither file nor folder here.
PathKind GetPathKind(const char* path) {
  const AttributeHandle handle(path, false);
  if (!handle.IsOpen()) {
    const DWORD error = handle.error();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? PathKind::kMissing
                                                                           : PathKind::kOther;
  }
  BY_HANDLE_FILE_INFORMATION info;
  if (GetFileType(handle.get()) != FILE_TYPE_DISK ||
      GetFileInformationByHandle(handle.get(), &info) == 0 ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    return PathKind::kOther;
  }
  return (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? PathKind::kDirectory
                                                                 : PathKind::kRegularFile;
}

bool IsDirectory(const char* path) {
  const AttributeHandle handle(path, true);
  BY_HANDLE_FILE_INFORMATION info;
  return handle.IsOpen() && GetFileInformationByHandle(handle.get(), &info) != 0 &&
         (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Without MOVEFILE_COPY_ALLOWED the move stays on one volume, where it is a
// single step: the old file is there until the new one takes its name.
bool PlatformRename(const char* from, const char* to) {
  std::wstring wideFrom;
  std::wstring wideTo;
  if (!WidePath(from, &wideFrom) || !WidePath(to, &wideTo)) return false;
  // Write-through: the move is on the disk when the call returns.
  if (MoveFileExW(wideFrom.c_str(), wideTo.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0) {
    return true;
  }
  errno = ErrnoOf(GetLastError());
  return false;
}

bool RemoveFile(const char* path) {
  std::wstring wide;
  return WidePath(path, &wide) && _wremove(wide.c_str()) == 0;
}

// The system resolves letter case, either slash, "." and "..", short 8.3
// names, trailing dots and blanks, and hard links to the one file they
// name; comparing the opened files' identities covers them all.
bool NameSameFile(const char* first, const char* second) {
  const AttributeHandle a(first, true);
  const AttributeHandle b(second, true);
  SystemIdentity idA;
  SystemIdentity idB;
  return a.IsOpen() && b.IsOpen() && IdentifyFile(a.get(), &idA) && IdentifyFile(b.get(), &idB) &&
         SameIdentity(idA, idB);
}

namespace {

// The file's number on its volume, as the file system keeps it. Windows'
// own GetFileInformationByHandle tells it too, but reads the volume's
// information with it, which Wine takes milliseconds for: too slow for a
// check at every reopen of the scene file. The volume is left out; every
// check compares a reopen of one path with its first open, or names the
// lock file, which adds the volume itself.
using QueryInformationFile = LONG(NTAPI*)(HANDLE, void*, void*, ULONG, int);
constexpr int kFileInternalInformation = 6;
struct IoStatusBlock {
  union {
    LONG status;
    void* pointer;
  };
  ULONG_PTR information;
};

bool IdentifyHandle(HANDLE handle, FileIdentity* identity) {
  static const auto query = reinterpret_cast<QueryInformationFile>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationFile")));
  identity->volume = 0;
  identity->index[1] = 0;
  IoStatusBlock status;
  LARGE_INTEGER index;
  if (query != nullptr && query(handle, &status, &index, sizeof index, kFileInternalInformation) == 0) {
    identity->index[0] = static_cast<uint64_t>(index.QuadPart);
    return true;
  }
  BY_HANDLE_FILE_INFORMATION info;
  if (GetFileInformationByHandle(handle, &info) == 0) {
    errno = ErrnoOf(GetLastError());
    return false;
  }
  identity->index[0] = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  return true;
}

HANDLE HandleOf(std::FILE* file) { return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file))); }

}  // namespace

bool PlatformIdentify(std::FILE* file, FileIdentity* identity) {
  return IdentifyHandle(HandleOf(file), identity);
}

// Windows has no FIFOs in its file system; every path opens as a file.
std::FILE* PlatformOpenText(const char* path, int /*writerWaitMilliseconds*/) {
  return PlatformOpen(path, "rb");
}

bool PlatformSync(std::FILE* file) {
  if (FlushFileBuffers(HandleOf(file)) != 0) return true;
  errno = ErrnoOf(GetLastError());
  return false;
}

bool PlatformSyncFolderOf(const char* /*path*/) { return true; }

void PlatformStartWriteBack(std::FILE* /*file*/) {}

// The lock file of a file: "quadkit-<volume>-<file number>.lock" in the
// user's temporary folder, one empty file for every file ever locked.
std::wstring LockFilePath(HANDLE file) {
  SystemIdentity found;
  wchar_t folder[MAX_PATH + 1];
  const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
  if (!IdentifyFile(file, &found) || length == 0 || length > MAX_PATH) return std::wstring();
  uint64_t parts[3];
  if (found.wide) {
    parts[0] = found.id.VolumeSerialNumber;
    std::memcpy(&parts[1], &found.id.FileId, sizeof found.id.FileId);
  } else {
    parts[0] = found.info.dwVolumeSerialNumber;
    parts[1] = 0;
    parts[2] = (static_cast<uint64_t>(found.info.nFileIndexHigh) << 32) | found.info.nFileIndexLow;
  }
  std::wstring name = L"quadkit-";
  for (int k = 0; k < 3; ++k) {
    if (k == 1) name += L'-';
    for (int shift = 60; shift >= 0; shift -= 4) name += L"0123456789abcdef"[(parts[k] >> shift) & 0xF];
  }
  return std::wstring(folder, length) + name + L".lock";
}

LockHandle PlatformOpenLock(const char* path, FileIdentity* identity) {
  LockHandle lock;
  const AttributeHandle file(path, true);
  if (!file.IsOpen()) {
    errno = ErrnoOf(file.error());
    return lock;
  }
  if (!IdentifyHandle(file.get(), identity)) return lock;
  const std::wstring lockPath = LockFilePath(file.get());
  const HANDLE handle =
      lockPath.empty() ? INVALID_HANDLE_VALUE
                       : CreateFileW(lockPath.c_str(), GENERIC_READ | GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                     OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    errno = lockPath.empty() ? ENAMETOOLONG : ErrnoOf(GetLastError());
    return lock;
  }
  lock.value = reinterpret_cast<intptr_t>(handle);
  return lock;
}

LockAttempt PlatformTryLock(LockHandle lock, bool exclusive) {
  OVERLAPPED range = {};
  const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
  if (LockFileEx(reinterpret_cast<HANDLE>(lock.value), flags, 0, 1, 0, &range) != 0) {
    return LockAttempt::kTaken;
  }
  const DWORD error = GetLastError();
  if (error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING) return LockAttempt::kBusy;
  errno = ErrnoOf(error);
  return LockAttempt::kFailed;
}

void PlatformCloseLock(LockHandle lock) {
  if (lock.IsOpen()) CloseHandle(reinterpret_cast<HANDLE>(lock.value));  // also ends the lock
}

PositionedHandle PlatformOpenPositioned(const char* path, bool forUpdate) {
  PositionedHandle positioned;
  std::wstring wide;
  if (!WidePath(path, &wide)) return positioned;
  // Every sharing mode, as when the file is closed: another program may
  // read or write it, and an editor may save another file under its name,
  // which the run's check of the name then finds.
  const HANDLE handle = CreateFileW(wide.c_str(), GENERIC_READ | (forUpdate ? GENERIC_WRITE : 0),
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    errno = ErrnoOf(GetLastError());
    return positioned;
  }
  if (GetFileType(handle) != FILE_TYPE_DISK) {  // a device or a pipe has no positions
    CloseHandle(handle);
    errno = EINVAL;
    return positioned;
  }
  positioned.value = reinterpret_cast<intptr_t>(handle);
  return positioned;
}

namespace {

HANDLE HandleOf(PositionedHandle handle) { return reinterpret_cast<HANDLE>(handle.value); }

// The offset of a transfer, given to ReadFile and WriteFile with it.
OVERLAPPED At(int64_t offset) {
  OVERLAPPED at = {};
  at.Offset = static_cast<DWORD>(static_cast<uint64_t>(offset) & 0xFFFFFFFFu);
  at.OffsetHigh = static_cast<DWORD>(static_cast<uint64_t>(offset) >> 32);
  return at;
}

// The most one call transfers; larger transfers take several.
constexpr size_t kLargestTransfer = size_t{1} << 30;

}  // namespace

bool PlatformReadAt(PositionedHandle handle, int64_t offset, void* dst, size_t size, size_t* got) {
  *got = 0;
  auto* into = static_cast<unsigned char*>(dst);
  while (*got < size) {
    OVERLAPPED at = At(offset + static_cast<int64_t>(*got));
    DWORD part = 0;
    const DWORD wanted = static_cast<DWORD>(std::min(size - *got, kLargestTransfer));
    if (ReadFile(HandleOf(handle), into + *got, wanted, &part, &at) == 0) {
      const DWORD error = GetLastError();
      if (error == ERROR_HANDLE_EOF) break;  // at or beyond the end of the file
      errno = ErrnoOf(error);
      return false;
    }
    if (part == 0) break;
    *got += part;
  }
  return true;
}

bool PlatformWriteAt(PositionedHandle handle, int64_t offset, const void* src, size_t size,
                     size_t* written) {
  *written = 0;
  const auto* from = static_cast<const unsigned char*>(src);
  while (*written < size) {
    OVERLAPPED at = At(offset + static_cast<int64_t>(*written));
    DWORD part = 0;
    const DWORD wanted = static_cast<DWORD>(std::min(size - *written, kLargestTransfer));
    if (WriteFile(HandleOf(handle), from + *written, wanted, &part, &at) == 0 || part == 0) {
      errno = part == 0 && GetLastError() == ERROR_SUCCESS ? ENOSPC : ErrnoOf(GetLastError());
      *written += part;
      return false;
    }
    *written += part;
  }
  return true;
}

int64_t PlatformSizeOf(PositionedHandle handle) {
  LARGE_INTEGER size;
  if (GetFileSizeEx(HandleOf(handle), &size) == 0) {
    errno = ErrnoOf(GetLastError());
    return -1;
  }
  return static_cast<int64_t>(size.QuadPart);
}

bool PlatformIdentifyPositioned(PositionedHandle handle, FileIdentity* identity) {
  return IdentifyHandle(HandleOf(handle), identity);
}

PathNaming PlatformPathNames(const char* path, const FileIdentity& identity) {
  const AttributeHandle file(path, true);
  if (!file.IsOpen()) {
    const DWORD error = file.error();
    errno = ErrnoOf(error);
    return errno == ENOENT ? PathNaming::kMissing : PathNaming::kUnknown;
  }
  FileIdentity now;
  if (!IdentifyHandle(file.get(), &now)) return PathNaming::kUnknown;
  return now == identity ? PathNaming::kSame : PathNaming::kOther;
}

bool PlatformDeletePending(PositionedHandle handle) {
  FILE_STANDARD_INFO info = {};
  return GetFileInformationByHandleEx(HandleOf(handle), FileStandardInfo, &info, sizeof info) != 0 &&
         info.DeletePending != 0;
}

bool PlatformClosePositioned(PositionedHandle handle) {
  if (!handle.IsOpen() || CloseHandle(HandleOf(handle)) != 0) return true;
  errno = ErrnoOf(GetLastError());
  return false;
}

// A lock on the scene file itself would be mandatory (see
// files/platform_files.h): the lock file stays.
LockHandle PlatformLockThrough(PositionedHandle /*handle*/) { return LockHandle(); }
