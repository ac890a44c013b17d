// The numbers of the Resize and Move modes, as typed on the command line.
#ifndef QUADKIT_APP_NUMBER_ARGUMENT_H_
#define QUADKIT_APP_NUMBER_ARGUMENT_H_

// True when text is, as a whole, a finite decimal number that fits a float:
// white space around it, an optional sign, digits with an optional point
// (at least one digit), an optional exponent. Hexadecimal, "inf", "nan" and
// anything trailing are refused. On true, value holds the number rounded to
// single precision.
bool ParseDecimalArgument(const char* text, float* value);

#endif  // QUADKIT_APP_NUMBER_ARGUMENT_H_
