// Shared by the writers: every writer formats into its own zero-filled
// buffer and hands the used part to the output file in one write.
#ifndef QUADKIT_EXPORT_TEXT_OUTPUT_H_
#define QUADKIT_EXPORT_TEXT_OUTPUT_H_

#include <cstdio>
#include <cstring>

// Writes the zero-terminated text, without its terminator, in one write.
inline void WriteText(const char* text, std::FILE* out) {
  std::fwrite(text, 1, std::strlen(text), out);
}

#endif  // QUADKIT_EXPORT_TEXT_OUTPUT_H_
