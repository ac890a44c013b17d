// The names of the files in one folder, and a whole file read into memory:
// what an export needs of the images it takes from a folder.
#ifndef QUADKIT_FILES_FOLDER_LISTING_H_
#define QUADKIT_FILES_FOLDER_LISTING_H_

#include <cstdint>
#include <string>
#include <vector>

// The names (UTF-8, without the folder) of the regular files in folder,
// symbolic links to regular files included, sorted by their bytes. False,
// with why, when folder does not exist, is no folder or cannot be read.
bool ListFolderFiles(const std::string& folder, std::vector<std::string>& names, std::string& why);

// Reads the file at path whole into bytes, or only its first limit bytes
// when limit is not 0. False, with why naming kind and path, when it cannot
// be opened or read, or is larger than maxSize.
bool ReadWholeFile(const std::string& path, const char* kind, uint64_t maxSize, size_t limit,
                   std::vector<uint8_t>& bytes, std::string& why);

// The path of target as seen from folder ('/' between its parts), for a
// file that names another relative to itself; false when there is none
// (another drive on Windows).
bool RelativePathFrom(const std::string& folder, const std::string& target, std::string& relative);

// The folder that holds path: its part before the last separator of the
// platform ('/', and '\\' on Windows), "." when it has none.
std::string FolderOf(const std::string& path);

// folder and name joined by '/' (also on Windows, which takes it).
std::string PathInFolder(const std::string& folder, const std::string& name);

#endif  // QUADKIT_FILES_FOLDER_LISTING_H_
