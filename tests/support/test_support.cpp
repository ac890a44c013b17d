#include "tests/support/test_support.h"

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#ifndef QUADKIT_BINARY
#error "QUADKIT_BINARY must name the built quadkit executable"
#endif

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "quadkit-test-XXXXXX").string();
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (mkdtemp(buffer.data()) == nullptr) std::abort();
  path_ = buffer.data();
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

namespace {

std::string ShellQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

}  // namespace

const char* QuadkitBinaryPath() { return QUADKIT_BINARY; }

RunResult RunQuadkitBinary(const std::vector<std::string>& args, const std::string& workDir) {
  std::string command;
  if (!workDir.empty()) command = "cd " + ShellQuote(workDir) + " && ";
  command += ShellQuote(QUADKIT_BINARY);
  for (const std::string& arg : args) command += " " + ShellQuote(arg);
  TempDir errDir;
  const std::string errFile = errDir.File("stderr");
  command += " 2>" + ShellQuote(errFile);

  RunResult result;
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return result;
  char chunk[4096];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) result.out.append(chunk, got);
  const int status = pclose(pipe);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.err = ReadFileText(errFile);
  return result;
}

std::string WriterText(WriterFunction writer, const SceneFile& scene, const WriterInput& input) {
  const std::string output = "out";
  const std::string companion = "out.mtl";
  WriterContext context(scene, output, companion);
  context.rectCount = input.rectCount;
  context.index = input.index;
  context.corners = input.corners;
  context.texCoords = input.texCoords;
  writer(context);
  return context.text;
}

bool FileExists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

std::string ReadFileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}
