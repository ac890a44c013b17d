// Decimal texts of 32-bit floats beyond printf's "%f": the shortest plain
// text that reads back as the same float, and "%.Nf" for any N, with which
// a reader tells whether a number is a float rounded to N decimals.
#ifndef QUADKIT_TEXT_FLOAT_TEXT_H_
#define QUADKIT_TEXT_FLOAT_TEXT_H_

#include <cstddef>
#include <string>

// The room of the writers below: the longest text with an exponent is
// 15 characters ("-1.1754944e-38"); the longest plain one a sign and 39
// integer digits, or "-0." and 54 decimals.
constexpr size_t kShortestFloatRoom = 24;
constexpr size_t kPlainShortestFloatRoom = 64;

// The shortest decimal text without an exponent that reads back as value:
// "0.1", "-0", "256", "0.000000000000000000000000000000000000000000001"
// (the smallest subnormal). Readers with a weak number parser read plain
// digits more exactly than an exponent. Infinities and NaNs are spelled as
// printf spells them ("inf", "-nan").
void AppendShortestFloat(std::string& text, float value);

// The same text at out, which has kPlainShortestFloatRoom characters;
// returns its end.
char* WritePlainShortestFloatText(char* out, float value);

// The shortest text that reads back as value, as std::to_chars(value)
// writes it: plain digits or an exponent ("1e+06"), whichever is shorter,
// plain on a tie. Writes at out (kShortestFloatRoom characters); returns
// the end.
char* WriteShortestFloat(char* out, float value);

// The same as std::to_chars(value, std::chars_format::fixed), at out
// (kPlainShortestFloatRoom characters): the shortest digits, then zeros
// up to the point where the value needs them.
char* WritePlainShortestFloat(char* out, float value);

// The largest count of decimals FixedFloatText writes: enough for every
// digit of any float (149 decimals).
constexpr int kMaxFixedDecimals = 150;

// value as printf's "%.*f" writes it with decimals digits after the point
// (none and no point for 0); decimals is clamped to 0..kMaxFixedDecimals.
std::string FixedFloatText(float value, int decimals);

#endif  // QUADKIT_TEXT_FLOAT_TEXT_H_
