// Windows side of the message streams, written with the system's own calls
// rather than the C runtime's, which writes to a console one byte at a time.
// A stream redirected to a file or a pipe receives the bytes as given, the
// same as on Linux. A console gets the text as UTF-16 through WriteConsoleW,
// so it shows every letter of a UTF-8 name whatever its code page.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>

#include "app/console_output.h"

namespace {

// Standard output is handed on once this much has gathered, before a line
// goes to standard error, and at the end of the run.
constexpr size_t kBatchBytes = 8192;

// UTF-8 to UTF-16; a byte that is no part of a UTF-8 sequence shows as the
// replacement character.
std::wstring ToUtf16(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), size, &wide[0], length);
  return wide;
}

// Writes all of text to a console, in pieces small enough for any console
// host, never parting the two halves of a surrogate pair.
void WriteConsoleText(HANDLE console, const std::string& text) {
  constexpr size_t kPiece = 8192;
  const std::wstring wide = ToUtf16(text);
  size_t done = 0;
  while (done < wide.size()) {
    size_t count = wide.size() - done < kPiece ? wide.size() - done : kPiece;
    if (count < wide.size() - done && wide[done + count - 1] >= 0xD800 &&
        wide[done + count - 1] < 0xDC00) {
      --count;
    }
    DWORD written = 0;
    if (!WriteConsoleW(console, wide.data() + done, static_cast<DWORD>(count), &written, nullptr) ||
        written == 0) {
      return;  // the console is gone; there is no one left to tell
    }
    done += written;
  }
}

// Writes all of bytes to a file or a pipe.
void WriteBytes(HANDLE file, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD written = 0;
    if (!WriteFile(file, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &written,
                   nullptr) ||
        written == 0) {
      return;  // a closed pipe or a full disk; there is no one left to tell
    }
    done += written;
  }
}

// One standard stream, with the text given to it that it has not yet
// handed on.
class MessageStream {
 public:
  explicit MessageStream(DWORD which) : which_(which) {}

  void Write(const std::string& text) {
    pending_ += text;
    if (pending_.size() >= kBatchBytes) Flush();
  }

  void Flush() {
    if (pending_.empty()) return;
    Find();
    if (console_) {
      WriteConsoleText(handle_, pending_);
    } else if (handle_ != nullptr) {
      WriteBytes(handle_, pending_);
    }
    pending_.clear();
  }

 private:
  void Find() {
    if (found_) return;
    found_ = true;
    const HANDLE handle = GetStdHandle(which_);
    if (handle == INVALID_HANDLE_VALUE || handle == nullptr) return;  // nothing attached
    handle_ = handle;
    DWORD mode = 0;
    console_ = GetConsoleMode(handle, &mode) != 0;
  }

  DWORD which_;
  bool found_ = false;
  HANDLE handle_ = nullptr;
  bool console_ = false;
  std::string pending_;
};

MessageStream& Output() {
  static MessageStream stream(STD_OUTPUT_HANDLE);
  return stream;
}

MessageStream& Error() {
  static MessageStream stream(STD_ERROR_HANDLE);
  return stream;
}

}  // namespace

void WriteStandardOutput(const std::string& text) { Output().Write(text); }

void WriteStandardErrorLine(const std::string& text) {
  Output().Flush();
  Error().Write(text + "\n");
  Error().Flush();
}

void FlushStandardOutput() { Output().Flush(); }
