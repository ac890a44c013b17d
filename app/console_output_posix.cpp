// POSIX side of the message streams: C stdio, which buffers standard output
// (by line on a terminal, fully otherwise).
#include <cstdio>
#include <string>

#include "app/console_output.h"

void WriteStandardOutput(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
}

void WriteStandardErrorLine(const std::string& text) {
  std::fflush(stdout);
  const std::string line = text + "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
}

void FlushStandardOutput() { std::fflush(stdout); }
