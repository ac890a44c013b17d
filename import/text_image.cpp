#include "import/text_image.h"

#include <cstring>
#include <new>

#include "scene/file_access.h"

bool LoadTextImage(const char* path, TextImage* image) {
  FileHandle file = OpenFile(path, "rb");
  if (!file) return false;
  const int64_t size = FileSize(file.get());
  if (size < 0 || static_cast<uint64_t>(size) >= SIZE_MAX) return false;
  if (std::fseek(file.get(), 0, SEEK_SET) != 0) return false;

  const size_t bytes = static_cast<size_t>(size);
  std::unique_ptr<char[]> text(new (std::nothrow) char[bytes + 1]);
  if (!text) return false;
  std::memset(text.get(), 0, bytes + 1);
  const size_t got = std::fread(text.get(), 1, bytes, file.get());
  (void)got;  // a short read leaves zeros, which end the text early
  image->text = std::move(text);
  image->size = bytes;
  return true;
}
