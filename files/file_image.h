// A whole file read into memory, as the importers read the files they are
// given: a text, or the bytes of a .glb; or bytes already in memory, made
// into the same shape.
#ifndef QUADKIT_FILES_FILE_IMAGE_H_
#define QUADKIT_FILES_FILE_IMAGE_H_

#include <cstddef>
#include <memory>
#include <string>

// The file's bytes in one block of its size plus a zero byte, so that a
// text is one zero-terminated string.
struct FileImage {
  std::unique_ptr<char[]> text;
  size_t size = 0;
};

// Reads the file at path whole: also one whose size the system does not
// tell (a device, a pipe) up to a limit, and a FIFO once a program writes
// it. False, with why naming the file, when it cannot be opened or read, is
// a directory, no program writes the FIFO in time, it has no end, or the
// memory for it cannot be had.
bool LoadFileImage(const char* path, FileImage& image, std::string& why);

// The image of size bytes in memory, as LoadFileImage makes that of a file
// of them: for the tests and the fuzz targets. False, with why, when the
// memory for it cannot be had.
bool LoadMemoryImage(const void* bytes, size_t size, FileImage& image, std::string& why);

#endif  // QUADKIT_FILES_FILE_IMAGE_H_
