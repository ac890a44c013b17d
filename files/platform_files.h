// The few file-system calls whose form differs between POSIX systems and
// Windows. Every path is UTF-8 on every platform; the Windows side turns it
// into the system's UTF-16 form. The calls that open, create and rename
// files are counted by files/file_access, which the rest of quadkit calls
// for them; the queries below it calls directly.
#ifndef QUADKIT_FILES_PLATFORM_FILES_H_
#define QUADKIT_FILES_PLATFORM_FILES_H_

#include <cstdio>

// fopen with a C stdio mode. Null, with errno set, when it fails.
std::FILE* PlatformOpen(const char* path, const char* mode);

// Creates path for writing in binary mode; fails (errno EEXIST) when
// anything already stands there. The new file takes the permission bits of
// modelPath when modelPath names a file, so a file replaced through it
// keeps its mode.
std::FILE* PlatformCreateNew(const char* path, const char* modelPath);

// What stands at path, without following a symbolic link at its end.
enum class PathKind { kMissing, kRegularFile, kDirectory, kOther };
PathKind GetPathKind(const char* path);

// True when path, after any symbolic links, names a directory.
bool IsDirectory(const char* path);

// Renames from to to, replacing a file at to in one step. False, with errno
// set, when it fails.
bool PlatformRename(const char* from, const char* to);

// Removes the file at path; false when it cannot.
bool RemoveFile(const char* path);

// True when both paths name one existing file (same device and file number,
// or the platform's equivalent), however they are spelled (./a.zem, a hard
// link, and on Windows letter case and slashes).
bool NameSameFile(const char* first, const char* second);

#endif  // QUADKIT_FILES_PLATFORM_FILES_H_
