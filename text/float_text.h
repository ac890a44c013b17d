// Decimal texts of 32-bit floats beyond printf's "%f": the shortest plain
// text that reads back as the same float, and "%.Nf" for any N, with which
// a reader tells whether a number is a float rounded to N decimals.
#ifndef QUADKIT_TEXT_FLOAT_TEXT_H_
#define QUADKIT_TEXT_FLOAT_TEXT_H_

#include <string>

// The shortest decimal text without an exponent that reads back as value:
// "0.1", "-0", "256", "0.000000000000000000000000000000000000000000001"
// (the smallest subnormal). Readers with a weak number parser read plain
// digits more exactly than an exponent. Infinities and NaNs are spelled as
// printf spells them ("inf", "-nan").
void AppendShortestFloat(std::string& text, float value);

// The largest count of decimals FixedFloatText writes: enough for every
// digit of any float (149 decimals).
constexpr int kMaxFixedDecimals = 150;

// value as printf's "%.*f" writes it with decimals digits after the point
// (none and no point for 0); decimals is clamped to 0..kMaxFixedDecimals.
std::string FixedFloatText(float value, int decimals);

#endif  // QUADKIT_TEXT_FLOAT_TEXT_H_
