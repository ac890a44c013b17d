#include "import/text_image.h"

#include <cerrno>
#include <cstring>
#include <new>

#include "scene/file_access.h"

namespace {

bool Fail(std::string* error, const std::string& message) {
  if (error != nullptr) *error = message;
  return false;
}

}  // namespace

bool LoadTextImage(const char* path, TextImage* image, std::string* error) {
  const std::string quoted = "'" + std::string(path) + "'";
  FileHandle file = OpenFile(path, "rb");
  if (!file) return Fail(error, "cannot open text file " + quoted + ": " + std::strerror(errno));
  const int64_t size = FileSize(file.get());
  if (size < 0 || static_cast<uint64_t>(size) >= SIZE_MAX ||
      std::fseek(file.get(), 0, SEEK_SET) != 0) {
    return Fail(error, "cannot tell the size of text file " + quoted);
  }

  const size_t bytes = static_cast<size_t>(size);
  std::unique_ptr<char[]> text(new (std::nothrow) char[bytes + 1]);
  if (!text) return Fail(error, "not enough memory to read text file " + quoted);
  std::memset(text.get(), 0, bytes + 1);
  const size_t got = std::fread(text.get(), 1, bytes, file.get());
  (void)got;  // a short read leaves zeros, which end the text early
  image->text = std::move(text);
  image->size = bytes;
  return true;
}
