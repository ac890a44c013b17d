#include "import/editor_decimals.h"

#include <cstring>
#include <string>

#include "text/float_text.h"

// The count of decimals of a plain number ("-12.500" has 3, "7" none): an
// optional minus sign, digits, and a point with digits after it; -1 for any
// other text.
int DecimalsOfPlainNumber(const char* text, size_t length) {
  const char* p = text;
  const char* const end = text + length;
  if (p < end && *p == '-') ++p;
  const char* const digits = p;
  while (p < end && *p >= '0' && *p <= '9') ++p;
  if (p == digits) return -1;
  if (p == end) return 0;
  if (*p != '.') return -1;
  const char* const decimals = ++p;
  while (p < end && *p >= '0' && *p <= '9') ++p;
  if (p != end || p == decimals || p - decimals > kMaxFixedDecimals) return -1;
  return static_cast<int>(p - decimals);
}

// True when read, a number of the file written with decimals decimals, is
// what stored printed with that many decimals reads as: an editor that
// writes that many decimals read stored and wrote it back unchanged. Two
// texts of as many decimals that read as the same float are the same text
// wherever the float's steps are finer than the last decimal; where they
// are coarser, stored printed so reads as stored itself. A zero counts with
// or without its minus sign (an editor may write -0 as 0).
bool IsRoundedStoredValue(float read, float stored, int decimals) {
  const std::string rounded = FixedFloatText(stored, decimals);
  float value = 0.0f;
  if (ScanFloat(rounded.c_str(), &value) == rounded.c_str()) return false;
  return std::memcmp(&value, &read, sizeof value) == 0 || (value == 0.0f && read == 0.0f);
}

