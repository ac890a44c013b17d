#include "scene/file_access.h"

#include <climits>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "scene/little_endian.h"

FileHandle OpenFile(const char* path, const char* mode) {
  return FileHandle(std::fopen(path, mode));
}

FileHandle OpenFileUnbuffered(const char* path, const char* mode) {
  FileHandle file = OpenFile(path, mode);
  if (file) std::setvbuf(file.get(), nullptr, _IONBF, 0);
  return file;
}

bool SeekTo(std::FILE* file, int64_t offset) {
  if (offset < 0 || offset > LONG_MAX) return false;
  return std::fseek(file, static_cast<long>(offset), SEEK_SET) == 0;
}

void ReadAt(std::FILE* file, int64_t offset, uint8_t* dst, size_t size) {
  std::memset(dst, 0, size);
  if (!SeekTo(file, offset)) return;
  // A short read leaves the tail as the zeros written above.
  const size_t got = std::fread(dst, 1, size, file);
  (void)got;
}

int32_t ReadInt32At(std::FILE* file, int64_t offset) {
  uint8_t bytes[4];
  ReadAt(file, offset, bytes, sizeof bytes);
  return DecodeInt32LE(bytes);
}

bool WriteAt(std::FILE* file, int64_t offset, const uint8_t* src, size_t size) {
  if (!SeekTo(file, offset)) return false;
  return std::fwrite(src, 1, size, file) == size;
}

bool NameSameFile(const char* first, const char* second) {
  if (first == nullptr || second == nullptr) return false;
  std::error_code error;
  const bool same = std::filesystem::equivalent(first, second, error);
  return !error && same;
}

int64_t FileSize(std::FILE* file) {
  if (std::fseek(file, 0, SEEK_END) != 0) return -1;
  const long size = std::ftell(file);
  return size < 0 ? -1 : static_cast<int64_t>(size);
}
