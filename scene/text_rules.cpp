#include "scene/text_rules.h"

const char* ScanClampedInt(const char* p, int32_t* value) {
  p = SkipScanSpace(p);
  const bool negative = *p == '-';
  if (*p == '+' || *p == '-') ++p;
  if (*p < '0' || *p > '9') return nullptr;
  int64_t number = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    if (number <= INT32_MAX) number = number * 10 + (*p - '0');  // later digits cannot matter
  }
  if (negative) number = -number;
  *value = static_cast<int32_t>(number > INT32_MAX ? INT32_MAX
                                : number < INT32_MIN ? INT32_MIN
                                                     : number);
  return p;
}
