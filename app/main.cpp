#include "app/quadkit_cli.h"

#ifndef _WIN32

#include <csignal>

int main(int argc, char** argv) {
  // A reader of the messages that goes away (quadkit ... | head) must not
  // stop a mode half way through the scene: the messages are lost, the
  // work completes or fails as it would have, and the exit code says which.
  std::signal(SIGPIPE, SIG_IGN);
  return RunQuadkit(argc, argv);
}

#else

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// UTF-16 to UTF-8. A lone surrogate, which a Windows file name may hold,
// takes the three-byte form of its code point, so that the file calls can
// restore the exact name.
std::string ToUtf8(const wchar_t* wide) {
  std::string text;
  for (const wchar_t* w = wide; *w != 0; ++w) {
    unsigned long code = static_cast<unsigned long>(*w);
    if (code >= 0xD800 && code < 0xDC00 && w[1] >= 0xDC00 && w[1] < 0xE000) {
      code = 0x10000 + ((code - 0xD800) << 10) + (static_cast<unsigned long>(w[1]) - 0xDC00);
      ++w;
    }
    if (code < 0x80) {
      text += static_cast<char>(code);
    } else if (code < 0x800) {
      text += static_cast<char>(0xC0 | (code >> 6));
      text += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      text += static_cast<char>(0xE0 | (code >> 12));
      text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      text += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      text += static_cast<char>(0xF0 | (code >> 18));
      text += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      text += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return text;
}

}  // namespace

// The system's UTF-16 arguments, whatever the ANSI code page: every path
// reaches the file calls as UTF-8 and is opened by its full name.
int wmain(int argc, wchar_t** argv) {
  // The messages bypass the C runtime (app/console_output_windows.cpp). Should
  // anything else print through it, binary mode keeps its bytes as on every
  // other system: in text mode each "\r\n" would come out as "\r\r\n". A
  // stream that is not open (no console, nothing redirected) cannot be
  // switched, and there is nothing to keep exact on it.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);

  std::vector<std::string> arguments;
  arguments.reserve(static_cast<size_t>(argc));
  for (int k = 0; k < argc; ++k) arguments.push_back(ToUtf8(argv[k]));
  std::vector<const char*> pointers;
  for (const std::string& argument : arguments) pointers.push_back(argument.c_str());
  pointers.push_back(nullptr);
  return RunQuadkit(argc, pointers.data());
}

#endif
