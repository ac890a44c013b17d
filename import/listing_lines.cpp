#include "import/listing_lines.h"

#include <cstdlib>
#include <cstring>

#include "text/text_rules.h"

namespace {

bool CopyLine(const char* from, size_t length, char (&line)[kListingLineBufferSize]) {
  if (length >= kListingLineBufferSize) return false;
  std::memcpy(line, from, length);
  line[length] = '\0';
  return true;
}

}  // namespace

LineResult LineCursor::TakeLine(char (&line)[kListingLineBufferSize]) {
  const char* feed = std::strchr(position_, '\n');
  if (feed == nullptr) return LineResult::kNoLineFeed;
  size_t length = static_cast<size_t>(feed - position_);
  if (length > 0 && position_[length - 1] == '\r') --length;
  if (!CopyLine(position_, length, line)) return LineResult::kTooLong;
  position_ = feed + 1;
  ++lineNumber_;
  return LineResult::kTaken;
}

LineResult LineCursor::TakeRawLine(char (&line)[kListingLineBufferSize]) {
  const char* feed = std::strchr(position_, '\n');
  const size_t length = feed != nullptr ? static_cast<size_t>(feed - position_)
                                        : std::strlen(position_);
  if (!CopyLine(position_, length, line)) return LineResult::kTooLong;
  position_ += feed != nullptr ? length + 1 : length;
  if (feed != nullptr) ++lineNumber_;
  return LineResult::kTaken;
}

int32_t ParseListingCount(const char* text) {
  int32_t count = 0;  // atoi gives 0 when no number follows
  ScanClampedInt(text, &count);
  return count;
}

int ScanCornerLine(const char* line, float values[5]) {
  const char* p = line;
  for (int k = 0; k < 5; ++k) {
    if (k > 0) {
      if (*p != ',') return k;
      p = SkipScanSpace(p + 1);
    }
    const char* end = ScanFloat(p, &values[k]);
    if (end == p) return k;
    p = end;
  }
  return 5;
}

bool ScanTextureLine(const char* line, char (&word)[kTextureWordBufferSize]) {
  static const char kKeyword[] = "Texture:";
  const char* p = SkipScanSpace(line);
  if (std::strncmp(p, kKeyword, sizeof kKeyword - 1) != 0) return false;
  p = SkipScanSpace(p + sizeof kKeyword - 1);
  size_t length = 0;
  while (p[length] != '\0' && !IsScanSpace(p[length]) && length < kTextureWordBufferSize - 1) {
    ++length;
  }
  if (length == 0) return false;
  std::memset(word, 0, sizeof word);
  std::memcpy(word, p, length);
  return true;
}
