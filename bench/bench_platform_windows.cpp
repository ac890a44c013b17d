#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "bench/bench_platform.h"

namespace {

double SecondsOf(const FILETIME& time) {
  ULARGE_INTEGER ticks;
  ticks.LowPart = time.dwLowDateTime;
  ticks.HighPart = time.dwHighDateTime;
  return static_cast<double>(ticks.QuadPart) / 1e7;  // 100 ns ticks
}

HANDLE OpenOrAbort(const std::string& path, DWORD access, DWORD disposition) {
  const HANDLE handle = CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, disposition,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) std::abort();
  return handle;
}

}  // namespace

double CpuSeconds() {
  FILETIME created, ended, kernel, user;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user)) return 0;
  return SecondsOf(kernel) + SecondsOf(user);
}

void ReadWhole(const std::string& path) {
  const HANDLE file = OpenOrAbort(path, GENERIC_READ, OPEN_EXISTING);
  static std::vector<unsigned char> block(size_t{1} << 20);
  DWORD got = 0;
  while (ReadFile(file, block.data(), static_cast<DWORD>(block.size()), &got, nullptr) && got > 0) {
  }
  CloseHandle(file);
}

void OneOpenOfScene(const std::string& scene, const std::vector<int32_t>& records, int64_t writes) {
  const HANDLE file = OpenOrAbort(scene, writes > 0 ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ, OPEN_EXISTING);
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file, &size)) std::abort();
  std::vector<unsigned char> bytes(static_cast<size_t>(size.QuadPart));
  for (size_t got = 0; got < bytes.size();) {
    DWORD part = 0;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - got, size_t{1} << 30));
    if (!ReadFile(file, bytes.data() + got, want, &part, nullptr) || part == 0) std::abort();
    got += part;
  }
  for (int64_t k = 0; k < writes; ++k) {
    const int64_t at = records[static_cast<size_t>(k) % records.size()] + 28;
    OVERLAPPED where = {};
    where.Offset = static_cast<DWORD>(at);
    where.OffsetHigh = static_cast<DWORD>(at >> 32);
    DWORD written = 0;
    if (!WriteFile(file, bytes.data() + at, 176, &written, &where) || written != 176) std::abort();
  }
  CloseHandle(file);
}

void WriteInBlocks(const std::string& path, int64_t bytes, bool safe) {
  const std::string newPath = safe ? path + ".new" : path;
  const HANDLE out = OpenOrAbort(newPath, GENERIC_WRITE, CREATE_ALWAYS);
  static const std::vector<unsigned char> block(size_t{1} << 20, 'x');
  for (int64_t left = bytes; left > 0;) {
    const DWORD part = static_cast<DWORD>(std::min<int64_t>(left, static_cast<int64_t>(block.size())));
    DWORD written = 0;
    if (!WriteFile(out, block.data(), part, &written, nullptr) || written != part) std::abort();
    left -= part;
  }
  if (safe && !FlushFileBuffers(out)) std::abort();
  CloseHandle(out);
  if (safe && !MoveFileExA(newPath.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    std::abort();
  }
}

std::string NewBenchFolder() {
  std::error_code error;
  const std::filesystem::path base = std::filesystem::temp_directory_path(error);
  if (error) return std::string();
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path folder =
        base / ("quadkit-bench-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(attempt));
    if (std::filesystem::create_directory(folder, error)) return folder.string();
  }
  return std::string();
}

double PeakMemoryOf(const std::function<int32_t()>&) { return -1; }
