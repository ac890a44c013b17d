#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "bench/bench_platform.h"

double CpuSeconds() {
  struct rusage usage = {};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void ReadWhole(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY);
  if (fd < 0) std::abort();
  static std::vector<unsigned char> block(size_t{1} << 20);
  while (read(fd, block.data(), block.size()) > 0) {
  }
  close(fd);
}

void OneOpenOfScene(const std::string& scene, const std::vector<int32_t>& records, int64_t writes) {
  const int fd = open(scene.c_str(), writes > 0 ? O_RDWR : O_RDONLY);
  struct stat info;
  if (fd < 0 || fstat(fd, &info) != 0) std::abort();
  std::vector<unsigned char> bytes(static_cast<size_t>(info.st_size));
  for (size_t got = 0; got < bytes.size();) {
    const ssize_t part = read(fd, bytes.data() + got, bytes.size() - got);
    if (part <= 0) std::abort();
    got += static_cast<size_t>(part);
  }
  for (int64_t k = 0; k < writes; ++k) {
    const off_t at = records[static_cast<size_t>(k) % records.size()] + 28;
    if (pwrite(fd, bytes.data() + at, 176, at) != 176) std::abort();
  }
  close(fd);
}

void WriteInBlocks(const std::string& path, int64_t bytes, bool safe) {
  const std::string newPath = safe ? path + ".new" : path;
  const int out = open(newPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (out < 0) std::abort();
  static const std::vector<unsigned char> block(size_t{1} << 20, 'x');
  for (int64_t left = bytes; left > 0;) {
    const size_t part = static_cast<size_t>(std::min<int64_t>(left, static_cast<int64_t>(block.size())));
    if (write(out, block.data(), part) != static_cast<ssize_t>(part)) std::abort();
    left -= static_cast<int64_t>(part);
  }
  if (safe && fsync(out) != 0) std::abort();
  close(out);
  if (!safe) return;
  if (rename(newPath.c_str(), path.c_str()) != 0) std::abort();
  const size_t slash = path.find_last_of('/');
  const int folder = open(slash == std::string::npos ? "." : path.substr(0, slash).c_str(), O_RDONLY | O_DIRECTORY);
  if (folder < 0 || fsync(folder) != 0) std::abort();
  close(folder);
}

std::string NewBenchFolder() {
  char pattern[] = "/tmp/quadkit-bench-XXXXXX";
  return mkdtemp(pattern) == nullptr ? std::string() : std::string(pattern);
}

double PeakMemoryOf(const std::function<int32_t()>& run) {
  const pid_t child = fork();
  if (child == 0) _exit(run() == 0 ? 0 : 1);
  int status = 0;
  struct rusage usage = {};
  wait4(child, &status, 0, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}
