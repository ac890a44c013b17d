#include "files/folder_listing.h"

#include <algorithm>
#include <cerrno>
#include <exception>
#include <filesystem>
#include <system_error>

#include "files/file_access.h"
#include "files/path_names.h"
#include "files/platform_files.h"
#include "report/failure.h"

namespace fs = std::filesystem;

bool ListFolderFiles(const std::string& folder, std::vector<std::string>& names, std::string& why) {
  names.clear();
  if (!IsDirectory(folder.c_str())) {
    return Fail(why, "texture folder '" + folder + "' " +
                         (GetPathKind(folder.c_str()) == PathKind::kMissing ? "does not exist" : "is no folder"));
  }
  std::error_code error;
  fs::directory_iterator entry(fs::u8path(folder), error);
  for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
    std::error_code kindError;
    if (!entry->is_regular_file(kindError)) continue;
    names.push_back(entry->path().filename().u8string());
  }
  if (error) return Fail(why, "cannot read texture folder '" + folder + "': " + error.message());
  std::sort(names.begin(), names.end());
  return true;
}

bool ReadWholeFile(const std::string& path, const char* kind, uint64_t maxSize, size_t limit,
                   std::vector<uint8_t>& bytes, std::string& why) {
  const std::string named = std::string(kind) + " '" + path + "'";
  FileHandle file = OpenFile(path.c_str(), "rb");
  if (file == nullptr) return Fail(why, "cannot open " + named + ": " + ErrorText(errno));
  const int64_t size = FileSize(file.get());
  if (size < 0 || std::fseek(file.get(), 0, SEEK_SET) != 0) {
    return Fail(why, "cannot read " + named + ": " + ErrorText(errno));
  }
  if (static_cast<uint64_t>(size) > maxSize) {
    return Fail(why, named + " holds " + std::to_string(size) + " bytes, more than the " +
                         std::to_string(maxSize) + " accepted");
  }
  size_t wanted = static_cast<size_t>(size);
  if (limit != 0) wanted = std::min(wanted, limit);
  bytes.assign(wanted, 0);
  size_t got = 0;
  if (!ReadBytes(file.get(), bytes.data(), wanted, &got)) {
    return Fail(why, "cannot read " + named + ": " + ErrorText(errno));
  }
  if (got != wanted) return Fail(why, "cannot read " + named + ": it ended early (changed while read?)");
  return true;
}

std::string PathInFolder(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  const char last = folder.back();
  return last == '/' || last == '\\' ? folder + name : folder + "/" + name;
}

bool RelativePathFrom(const std::string& folder, const std::string& target, std::string& relative) {
  std::error_code error;
  const fs::path from = fs::absolute(fs::u8path(folder), error);
  if (error) return false;
  const fs::path to = fs::absolute(fs::u8path(target), error);
  if (error) return false;
  const fs::path path = to.lexically_normal().lexically_relative(from.lexically_normal());
  if (path.empty()) return false;
  relative = path.generic_u8string();
  return true;
}

std::string FolderOf(const std::string& path) {
  try {
    const std::string folder = Utf8OfPath(PathOfUtf8(path).parent_path());
    return folder.empty() ? "." : folder;
  } catch (const std::exception&) {
    return ".";
  }
}
