// The count of zero bits below the lowest one bit of a number, which the
// exact number texts use to take a binary fraction down to its own bits.
#ifndef QUADKIT_TEXT_TRAILING_ZERO_BITS_H_
#define QUADKIT_TEXT_TRAILING_ZERO_BITS_H_

#include <cstdint>

// value must not be 0.
inline int TrailingZeroBits(uint64_t value) {
#if defined(__GNUC__)
  return __builtin_ctzll(value);
#else
  int count = 0;
  for (; (value & 1u) == 0; value >>= 1) ++count;
  return count;
#endif
}

#endif  // QUADKIT_TEXT_TRAILING_ZERO_BITS_H_
