// Reading the lines of an ASCII listing.
#ifndef QUADKIT_IMPORT_LISTING_LINES_H_
#define QUADKIT_IMPORT_LISTING_LINES_H_

#include <cstddef>
#include <cstdint>

// Every block line fits 1023 characters; the texture word 255.
constexpr size_t kListingLineBufferSize = 1024;
constexpr size_t kTextureWordBufferSize = 256;

enum class LineResult { kTaken, kNoLineFeed, kTooLong };

// Walks the zero-terminated text line by line. A zero byte ends the text.
class LineCursor {
 public:
  explicit LineCursor(const char* text) : position_(text) {}
  // Copies the next line, without its line feed and without a carriage
  // return right before it, into line. On failure the cursor stays: the
  // text ends before a line feed, or the line does not fit.
  LineResult TakeLine(char (&line)[kListingLineBufferSize]);
  // Copies the rest of the current line whole, carriage return included,
  // and moves behind its line feed; a last line without one is taken to
  // the end of the text.
  LineResult TakeRawLine(char (&line)[kListingLineBufferSize]);
  const char* position() const { return position_; }
  // The 1-based number of the line the cursor is in.
  int lineNumber() const { return lineNumber_; }
  void Skip(size_t count) { position_ += count; }

 private:
  const char* position_;
  int lineNumber_ = 1;
};

// The count of the header line by the rules of atoi, but without overflow:
// a count beyond the int32 range is clamped to it.
int32_t ParseListingCount(const char* text);

// Scans "%f, %f, %f, %f, %f": each number may follow white space, each
// comma must follow its number directly. Returns how many numbers were read
// into values; the rest are not touched.
int ScanCornerLine(const char* line, float values[5]);

// Scans "\tTexture: %s": the word after "Texture:" (white space around
// allowed), at most 255 characters, into word. Returns false, leaving word
// untouched, when the line does not match.
bool ScanTextureLine(const char* line, char (&word)[kTextureWordBufferSize]);

#endif  // QUADKIT_IMPORT_LISTING_LINES_H_
