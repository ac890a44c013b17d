// How quadkit reads words and numbers in its text formats and on its
// command line: letter case is ignored for the letters A to Z only, and
// white space and integers follow the C library's scanf in the "C" locale,
// without its undefined behaviour on numbers out of range. The same on
// every platform and in every locale.
#ifndef QUADKIT_TEXT_TEXT_RULES_H_
#define QUADKIT_TEXT_TEXT_RULES_H_

#include <cstdint>

inline char FoldAsciiCase(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// True when the whole of a equals the whole of b, letter case aside.
inline bool EqualsIgnoringAsciiCase(const char* a, const char* b) {
  for (;; ++a, ++b) {
    if (FoldAsciiCase(*a) != FoldAsciiCase(*b)) return false;
    if (*a == '\0') return true;
  }
}

inline bool IsScanSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

inline const char* SkipScanSpace(const char* p) {
  while (IsScanSpace(*p)) ++p;
  return p;
}

// Scans "%d" at p: white space, an optional sign, at least one digit. A
// number beyond the int32 range is clamped to it. Returns the end of the
// number, or null (value untouched) when no digit follows.
const char* ScanClampedInt(const char* p, int32_t* value);

// Scans "%f" at p into value as strtof does in the "C" locale: white space,
// then the longest prefix that forms a number (sign, digits, point,
// exponent; also hexadecimal, "inf" and "nan"), out-of-range numbers
// becoming infinity or zero. Returns the end of the number, or p (value
// untouched) when none starts there.
const char* ScanFloat(const char* p, float* value);

#endif  // QUADKIT_TEXT_TEXT_RULES_H_
