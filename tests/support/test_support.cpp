#include "tests/support/test_support.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#endif

#include <gtest/gtest.h>

#include "app/format_table.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

#ifndef QUADKIT_BINARY
#error "QUADKIT_BINARY must name the built quadkit executable"
#endif

namespace fs = std::filesystem;

namespace {

fs::path PathOf(const std::string& utf8) { return fs::u8path(utf8); }

}  // namespace

// The first free one of random names: creating a folder either succeeds or
// finds one standing there, so two test processes never share a folder.
TempDir::TempDir() {
  const fs::path base = fs::temp_directory_path();
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path candidate = base / ("quadkit-test-" + std::to_string(random()));
    std::error_code error;
    if (fs::create_directory(candidate, error)) {
      path_ = candidate.u8string();
      return;
    }
  }
  std::abort();
}

TempDir::~TempDir() {
  std::error_code ignored;
  fs::remove_all(PathOf(path_), ignored);
}

#ifdef _WIN32

namespace {

// Quotes one argument so that the C runtime of the started program hands
// it over unchanged: backslashes count only in front of a quote.
std::wstring QuoteArgument(const std::wstring& argument) {
  std::wstring quoted = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(2 * backslashes, L'\\');
  return quoted + L"\"";
}

}  // namespace

// Both streams go to files, which keep their bytes exactly.
RunResult RunQuadkitBinary(const std::vector<std::string>& args, const std::string& workDir) {
  const std::wstring binary = PathOf(QUADKIT_BINARY).make_preferred().wstring();
  std::wstring commandLine = QuoteArgument(binary);
  for (const std::string& arg : args) commandLine += L" " + QuoteArgument(PathOf(arg).wstring());
  TempDir streams;
  SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
  auto create = [&](const char* name) {
    return CreateFileW(PathOf(streams.File(name)).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                       &inherited, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  };
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = create("stdout");
  startup.hStdError = create("stderr");
  PROCESS_INFORMATION process = {};
  const std::wstring folder = PathOf(workDir).wstring();
  const bool started =
      CreateProcessW(binary.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                     workDir.empty() ? nullptr : folder.c_str(), &startup, &process) != 0;
  CloseHandle(startup.hStdOutput);
  CloseHandle(startup.hStdError);
  RunResult result;
  if (!started) return result;
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  if (GetExitCodeProcess(process.hProcess, &code)) {
    result.systemExitCode = code;
    result.exitCode = static_cast<int>(code & 0xFF);
  }
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  result.out = ReadFileText(streams.File("stdout"));
  result.err = ReadFileText(streams.File("stderr"));
  return result;
}

std::string WhyToolIsMissing(const std::string& tool) {
  return tool + " is driven through a POSIX shell; this test runs on Linux only";
}

#else

namespace {

std::string ReadAll(std::FILE* file) {
  std::string text;
  char chunk[4096];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, got);
  return text;
}

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
  result.out = ReadAll(pipe);
  const int status = pclose(pipe);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.systemExitCode = static_cast<uint32_t>(result.exitCode);
  result.err = ReadFileText(errFile);
  return result;
}

std::string WhyToolIsMissing(const std::string& tool) {
  const std::string probe = "command -v " + ShellQuote(tool) + " >/dev/null 2>&1";
  return std::system(probe.c_str()) == 0 ? "" : tool + " not installed";
}

#endif

const char* QuadkitBinaryPath() { return QUADKIT_BINARY; }

bool FileExists(const std::string& path) {
  std::error_code error;
  return fs::exists(PathOf(path), error);
}

std::string ReadFileText(const std::string& path) {
  std::ifstream in(PathOf(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileText(const std::string& path, const std::string& text) {
  std::ofstream out(PathOf(path), std::ios::binary);
  out << text;
}

namespace {

void SetEnvironment(const char* name, const char* value) {
#ifdef _WIN32
  _putenv_s(name, value != nullptr ? value : "");
#else
  if (value != nullptr) {
    setenv(name, value, 1);
  } else {
    unsetenv(name);
  }
#endif
}

std::string Excerpt(const std::vector<uint8_t>& bytes, size_t from) {
  std::ostringstream text;
  for (size_t k = from; k < bytes.size() && k < from + 16; ++k) {
    const unsigned c = bytes[k];
    if (c >= 0x20 && c < 0x7F) {
      text << static_cast<char>(c);
    } else {
      text << "\\x" << "0123456789abcdef"[c >> 4] << "0123456789abcdef"[c & 15];
    }
  }
  return text.str();
}

}  // namespace

ScopedEnvironment::ScopedEnvironment(const char* name, const char* value) : name_(name) {
  SetEnvironment(name, value);
}

ScopedEnvironment::~ScopedEnvironment() { SetEnvironment(name_, nullptr); }

std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

void ExpectSameBytes(const std::vector<uint8_t>& actual, const std::vector<uint8_t>& expected,
                     const std::string& what) {
  if (actual == expected) return;
  size_t at = 0;
  while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
  ADD_FAILURE() << what << " differ at offset " << at << " (sizes " << actual.size() << " and "
                << expected.size() << "):\n  actual:   \"" << Excerpt(actual, at)
                << "\"\n  expected: \"" << Excerpt(expected, at) << "\"";
}

std::vector<InterchangeFormat> FormatsNoRowHas() {
  int32_t smallest = INT32_MAX;
  int32_t largest = INT32_MIN;
  for (size_t k = 0; k < kFormatCount; ++k) {
    smallest = std::min<int32_t>(smallest, kFormats[k].format);
    largest = std::max<int32_t>(largest, kFormats[k].format);
  }
  std::vector<InterchangeFormat> values;
  for (const int64_t value : {int64_t{largest} + 1, int64_t{largest} + 2, int64_t{smallest} - 1, int64_t{INT32_MAX}}) {
    if (value >= INT32_MIN && value <= INT32_MAX && FindFormat(static_cast<InterchangeFormat>(value)) == nullptr) {
      values.push_back(static_cast<InterchangeFormat>(value));
    }
  }
  return values;
}
