#include "import/text_import.h"

#include <cerrno>
#include <cstring>
#include <new>

#include "scene/messages.h"
#include "scene/file_access.h"
#include "scene/text_template.h"

bool LoadTextImage(const char* path, TextImage& image, std::string& error) {
  const std::string quoted = "'" + std::string(path) + "'";
  // A directory opens for reading on some systems and tells a huge size.
  if (IsDirectory(path)) return Fail(error, "cannot read text file " + quoted + ": it is a directory");
  FileHandle file = OpenFile(path, "rb");
  if (!file) return Fail(error, "cannot open text file " + quoted + ": " + ErrorText(errno));
  const int64_t size = FileSize(file.get());
  if (size < 0 || static_cast<uint64_t>(size) >= SIZE_MAX ||
      std::fseek(file.get(), 0, SEEK_SET) != 0) {
    return Fail(error, "cannot tell the size of text file " + quoted);
  }

  const size_t bytes = static_cast<size_t>(size);
  std::unique_ptr<char[]> text(new (std::nothrow) char[bytes + 1]);
  if (!text) return Fail(error, "not enough memory to read text file " + quoted);
  std::memset(text.get(), 0, bytes + 1);
  size_t got = 0;
  // A file that shrank since its size was told leaves zeros, which end the
  // text early.
  if (!ReadBytes(file.get(), text.get(), bytes, &got)) {
    return Fail(error, "cannot read text file " + quoted + ": " + ErrorText(errno));
  }
  image.text = std::move(text);
  image.size = bytes;
  return true;
}

int32_t ImportTextFile(const char* scenePath, const char* textPath, const char* kind,
                       TextReader reader, Reporter& reporter, std::string& error) {
  SceneFile scene;
  if (!scene.Open(scenePath, error)) return kModeFailed;
  const std::string quoted = "'" + std::string(textPath) + "'";
  if (NameSameFile(scenePath, textPath)) {
    return Fail(error, "refusing to import " + quoted + ": it is the scene file itself");
  }
  if (!scene.CheckWritable(error)) return kModeFailed;
  TextImage image;
  if (!LoadTextImage(textPath, image, error)) return kModeFailed;
  RectWriteFailures failures(reporter);
  std::string why;
  if (reader(scene, image.text.get(), image.size, reporter, failures, why) != 0) {
    return Fail(error, kind + (" " + quoted + " ") + why);
  }
  if (failures.count() > 0) return Fail(error, failures.Summary(scene));
  return 0;
}
