// Scanning helpers shared by the text readers, with the white space and
// number rules of the C library's scanf in the "C" locale, but without its
// undefined behaviour on numbers out of range.
#ifndef QUADKIT_IMPORT_TEXT_SCAN_H_
#define QUADKIT_IMPORT_TEXT_SCAN_H_

#include <cstdint>

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

#endif  // QUADKIT_IMPORT_TEXT_SCAN_H_
