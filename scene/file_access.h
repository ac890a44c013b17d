// Small helpers around C stdio files: an owning handle, and positioned reads
// that never deliver stale bytes. A read whose position cannot be reached, or
// that the file ends before, leaves the missing bytes zero.
#ifndef QUADKIT_SCENE_FILE_ACCESS_H_
#define QUADKIT_SCENE_FILE_ACCESS_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Opens path with the stdio mode; null when it cannot be opened.
FileHandle OpenFile(const char* path, const char* mode);

// Opens path without a stdio buffer, for the few positioned reads and
// writes of one rectangle: each then costs one system call instead of a
// block read around it, and a write reaches the file without a re-read.
FileHandle OpenFileUnbuffered(const char* path, const char* mode);

// Moves to offset; false when offset is negative or cannot be reached.
bool SeekTo(std::FILE* file, int64_t offset);

// Zero-fills dst, then reads up to size bytes at offset into it.
void ReadAt(std::FILE* file, int64_t offset, uint8_t* dst, size_t size);

// The little-endian int32 at offset; 0 where the file does not supply it.
int32_t ReadInt32At(std::FILE* file, int64_t offset);

// Writes size bytes at offset; false when the position cannot be reached or
// the write falls short. Nothing is written at any other position.
bool WriteAt(std::FILE* file, int64_t offset, const uint8_t* src, size_t size);

// True when both paths name one existing file (same device and inode, or
// the platform's equivalent), however they are spelled.
bool NameSameFile(const char* first, const char* second);

// Size of the file in bytes, or -1 when it cannot be determined. Leaves the
// position at the end of the file.
int64_t FileSize(std::FILE* file);

#endif  // QUADKIT_SCENE_FILE_ACCESS_H_
