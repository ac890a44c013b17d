// Helpers for the tests: a temporary folder per test, running the quadkit
// binary as a user would, and capturing what in-process code prints.
#ifndef QUADKIT_TESTS_SUPPORT_TEST_SUPPORT_H_
#define QUADKIT_TESTS_SUPPORT_TEST_SUPPORT_H_

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

// A fresh folder under the system's temp folder, removed with its content
// when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

struct RunResult {
  std::string out;  // standard output, byte for byte
  std::string err;  // standard error
  int exitCode = -1;
};

// Runs the built quadkit binary with args (argument 0 is added), in the
// folder workDir when it is not empty.
RunResult RunQuadkitBinary(const std::vector<std::string>& args,
                           const std::string& workDir = "");

// Runs write on a temporary stream and returns the bytes it wrote.
std::string CaptureWrites(const std::function<void(std::FILE*)>& write);

bool FileExists(const std::string& path);
std::string ReadFileText(const std::string& path);
void WriteFileText(const std::string& path, const std::string& text);

#endif  // QUADKIT_TESTS_SUPPORT_TEST_SUPPORT_H_
