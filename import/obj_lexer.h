// The words and lines of an OBJ file, read in place in its file image:
// what a line states, by its first word, and the words after it. The
// parser (import/obj_import.cpp) sees nothing but spans and statements.
#ifndef QUADKIT_IMPORT_OBJ_LEXER_H_
#define QUADKIT_IMPORT_OBJ_LEXER_H_

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "text/text_rules.h"

// A run of bytes inside the file image; it owns nothing.
struct TextSpan {
  const char* begin = nullptr;
  size_t length = 0;
  const char* end() const { return begin + length; }
  std::string ToString() const { return std::string(begin, length); }
};

inline bool SameText(const TextSpan& a, const TextSpan& b) {
  return a.length == b.length && (a.length == 0 || std::memcmp(a.begin, b.begin, a.length) == 0);
}

inline bool SpanIs(const TextSpan& span, const char* word) {
  return span.length == std::strlen(word) && std::memcmp(span.begin, word, span.length) == 0;
}

// Takes the next word (a run without white space) of rest and moves rest
// behind it; false when rest holds no more words.
inline bool TakeWord(TextSpan& rest, TextSpan& word) {
  const char* p = rest.begin;
  const char* const end = rest.end();
  while (p < end && IsScanSpace(*p)) ++p;
  const char* const start = p;
  while (p < end && !IsScanSpace(*p)) ++p;
  rest = {p, static_cast<size_t>(end - p)};
  word = {start, static_cast<size_t>(p - start)};
  return word.length > 0;
}

// Walks the text line by line; a line comes without its line feed.
class LineWalker {
 public:
  LineWalker(const char* text, size_t size) : text_(text), size_(size) {}
  bool Next(TextSpan& line) {
    if (position_ >= size_) return false;
    const char* const start = text_ + position_;
    const void* const feed = std::memchr(start, '\n', size_ - position_);
    const size_t length =
        feed != nullptr ? static_cast<size_t>(static_cast<const char*>(feed) - start) : size_ - position_;
    position_ += length + 1;
    ++lineNumber_;
    line = {start, length};
    return true;
  }
  int64_t lineNumber() const { return lineNumber_; }

 private:
  const char* text_;
  size_t size_;
  size_t position_ = 0;
  int64_t lineNumber_ = 0;
};

inline bool IsTextLine(const TextSpan& line) {
  for (const char* p = line.begin; p < line.end(); ++p) {
    const unsigned char u = static_cast<unsigned char>(*p);
    if ((u < 0x20 && !IsScanSpace(*p)) || u == 0x7F) return false;
  }
  return true;
}

enum class Statement { kOther, kPosition, kTexCoord, kNormal, kFace, kObject, kGroup, kMaterial };

// What a line states, by its first word, which it takes off the line;
// kOther for a blank line, a comment and anything not read.
inline Statement TakeStatement(TextSpan& line) {
  TextSpan keyword;
  if (!TakeWord(line, keyword)) return Statement::kOther;
  static const struct {
    const char* word;
    Statement statement;
  } kKeywords[] = {{"v", Statement::kPosition}, {"vt", Statement::kTexCoord},
                   {"vn", Statement::kNormal},  {"f", Statement::kFace},
                   {"o", Statement::kObject},   {"g", Statement::kGroup},
                   {"usemtl", Statement::kMaterial}};
  for (const auto& entry : kKeywords) {
    if (SpanIs(keyword, entry.word)) return entry.statement;
  }
  return Statement::kOther;
}

#endif  // QUADKIT_IMPORT_OBJ_LEXER_H_
