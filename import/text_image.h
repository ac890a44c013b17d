// The file image: a whole text file read into one zero-terminated block.
#ifndef QUADKIT_IMPORT_TEXT_IMAGE_H_
#define QUADKIT_IMPORT_TEXT_IMAGE_H_

#include <cstddef>
#include <memory>
#include <string>

struct TextImage {
  std::unique_ptr<char[]> text;  // size + 1 bytes, the last always zero
  size_t size = 0;
};

// Reads the file at path. False when it cannot be opened, its size cannot
// be told, or the memory for it cannot be had. Bytes that the read does not
// deliver stay zero, and a zero byte in the file ends the text there. On
// false, error (when given) says why, naming the file.
bool LoadTextImage(const char* path, TextImage* image, std::string* error = nullptr);

#endif  // QUADKIT_IMPORT_TEXT_IMAGE_H_
