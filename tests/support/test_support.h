// Helpers for the tests: a temporary folder per test, running the quadkit
// binary as a user would, and reading what in-process code writes and prints.
// Paths are UTF-8 strings on every platform, as quadkit itself takes them.
#ifndef QUADKIT_TESTS_SUPPORT_TEST_SUPPORT_H_
#define QUADKIT_TESTS_SUPPORT_TEST_SUPPORT_H_

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "formats/interchange_format.h"
#include "report/reporter.h"
#include "tests/support/file_faults.h"

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
  // The exit status as a POSIX shell shows it in $?: the low eight bits of
  // the code, so a run that returns -1 shows 255 on every platform.
  int exitCode = -1;
  // The whole code the system reports: the same on POSIX systems, the
  // 32-bit process exit code on Windows (-1 is 0xFFFFFFFF there).
  uint32_t systemExitCode = 0xFFFFFFFFu;
};

// The path of the built quadkit binary.
const char* QuadkitBinaryPath();

// Runs the built quadkit binary with args (argument 0 is added), in the
// folder workDir when it is not empty.
RunResult RunQuadkitBinary(const std::vector<std::string>& args,
                           const std::string& workDir = "");

// Keeps everything the program would print, for a test to read.
class RecordingReporter : public Reporter {
 public:
  void Say(const std::string& text) override { out += text; }
  void Complain(const std::string& text) override { err += text + "\n"; }
  std::string out;  // standard output, byte for byte
  std::string err;  // standard error, without the "quadkit: " of each line
};

// The text that a writer function appends when called with args.
template <typename Writer, typename... Args>
std::string TextOf(Writer&& writer, const Args&... args) {
  std::string text;
  writer(args..., text);
  return text;
}

// Why a test that runs the named command-line tool (a Linux program such as
// assimp) cannot run here; empty when it can.
std::string WhyToolIsMissing(const std::string& tool);

// Sets an environment variable for the object's life, then unsets it.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const char* value);
  ~ScopedEnvironment();
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  const char* name_;
};

std::vector<uint8_t> Bytes(const std::string& text);
// Fails the test when the bytes differ, naming what and the first offset
// at which they do, with a few bytes of each side from there.
void ExpectSameBytes(const std::vector<uint8_t>& actual, const std::vector<uint8_t>& expected,
                     const std::string& what = "bytes");

// Format values that no row of the format table has.
std::vector<InterchangeFormat> FormatsNoRowHas();

bool FileExists(const std::string& path);
std::string ReadFileText(const std::string& path);
void WriteFileText(const std::string& path, const std::string& text);

#endif  // QUADKIT_TESTS_SUPPORT_TEST_SUPPORT_H_
