#include "files/path_names.h"

#include <exception>

std::filesystem::path PathOfUtf8(const std::string& utf8) { return std::filesystem::u8path(utf8); }

std::string Utf8OfPath(const std::filesystem::path& path) { return path.u8string(); }

// A path that is no UTF-8 cannot be converted on Windows; quadkit's paths
// come from the command line as UTF-8, so such a one is taken whole.
std::string FileNameOf(const std::string& path) {
  try {
    const std::string name = Utf8OfPath(PathOfUtf8(path).filename());
    const bool suffix = name.size() <= path.size() && path.compare(path.size() - name.size(), name.size(), name) == 0;
    return suffix ? name : path;
  } catch (const std::exception&) {
    return path;
  }
}

std::string PathBeside(const std::string& file, const std::string& relative) {
  try {
    return Utf8OfPath(PathOfUtf8(file).parent_path() / PathOfUtf8(relative));
  } catch (const std::exception&) {
    return relative;
  }
}
