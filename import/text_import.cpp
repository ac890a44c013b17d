#include "import/text_import.h"

#include <cerrno>
#include <cstring>
#include <new>

#include "files/file_access.h"
#include "files/platform_files.h"
#include "report/failure.h"

bool LoadTextImage(const char* path, TextImage& image, std::string& why) {
  const std::string quoted = Quoted(path);
  // A directory opens for reading on some systems and tells a huge size.
  if (IsDirectory(path)) return Fail(why, "cannot read text file " + quoted + ": it is a directory");
  FileHandle file = OpenFile(path, "rb");
  if (!file) return Fail(why, "cannot open text file " + quoted + ": " + ErrorText(errno));
  const int64_t size = FileSize(file.get());
  if (size < 0 || static_cast<uint64_t>(size) >= SIZE_MAX ||
      std::fseek(file.get(), 0, SEEK_SET) != 0) {
    return Fail(why, "cannot tell the size of text file " + quoted);
  }

  const size_t bytes = static_cast<size_t>(size);
  std::unique_ptr<char[]> text(new (std::nothrow) char[bytes + 1]);
  if (!text) return Fail(why, "not enough memory to read text file " + quoted);
  std::memset(text.get(), 0, bytes + 1);
  size_t got = 0;
  // A file that shrank since its size was told leaves zeros, which end the
  // text early.
  if (!ReadBytes(file.get(), text.get(), bytes, &got)) {
    return Fail(why, "cannot read text file " + quoted + ": " + ErrorText(errno));
  }
  image.text = std::move(text);
  image.size = bytes;
  return true;
}

namespace {

template <typename Read>
int32_t RunImport(const char* scenePath, const char* textPath, const char* kind, Read reader,
                  Reporter& reporter, std::string& why) {
  SceneFile scene;
  if (!scene.Open(scenePath, why)) return kModeFailed;
  const std::string quoted = Quoted(textPath);
  if (NameSameFile(scenePath, textPath)) {
    Fail(why, "refusing to import " + quoted + ": it is the scene file itself");
    return kModeFailed;
  }
  if (!scene.CheckWritable(why)) return kModeFailed;
  TextImage image;
  if (!LoadTextImage(textPath, image, why)) return kModeFailed;
  RectWriteFailures failures(reporter);
  std::string refusal;
  if (!reader(scene, image, failures, refusal)) {
    Fail(why, kind + (" " + quoted + " ") + refusal);
    return kModeFailed;
  }
  if (failures.count() > 0) {
    Fail(why, failures.Summary(scene.GetFileName()));
    return kModeFailed;
  }
  return 0;
}

}  // namespace

int32_t ImportTextFile(const char* scenePath, const char* textPath, const char* kind,
                       TextReader reader, Reporter& reporter, std::string& why) {
  return RunImport(
      scenePath, textPath, kind,
      [&](SceneFile& scene, const TextImage& image, RectWriteFailures& failures, std::string& refusal) {
        return reader(scene, image.text.get(), image.size, reporter, failures, refusal);
      },
      reporter, why);
}

int32_t ImportFile(const char* scenePath, const char* path, const char* kind, FileReader reader,
                   Reporter& reporter, std::string& why) {
  return RunImport(
      scenePath, path, kind,
      [&](SceneFile& scene, const TextImage& image, RectWriteFailures& failures, std::string& refusal) {
        return reader(scene, path, image.text.get(), image.size, reporter, failures, refusal);
      },
      reporter, why);
}
