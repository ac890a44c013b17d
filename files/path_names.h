// Paths as quadkit holds them, UTF-8 text on every platform, split and
// joined by std::filesystem: a path's separators are the platform's own
// (a backslash splits a path on Windows and is part of a file's name
// elsewhere).
#ifndef QUADKIT_FILES_PATH_NAMES_H_
#define QUADKIT_FILES_PATH_NAMES_H_

#include <filesystem>
#include <string>

std::filesystem::path PathOfUtf8(const std::string& utf8);
std::string Utf8OfPath(const std::filesystem::path& path);

// The last step of path, its file name; empty when path ends in a
// separator.
std::string FileNameOf(const std::string& path);

// The path of a file named relative to the folder that file lies in.
std::string PathBeside(const std::string& file, const std::string& relative);

#endif  // QUADKIT_FILES_PATH_NAMES_H_
