// How an editor rounds the numbers it writes: a fixed count of decimals
// (6 for Blender), which the count most numbers of a file have tells.
#ifndef QUADKIT_IMPORT_EDITOR_DECIMALS_H_
#define QUADKIT_IMPORT_EDITOR_DECIMALS_H_

#include <cstddef>

#include "import/obj_lexer.h"

// The count of decimals of a plain number ("-12.500" has 3, "7" none): an
// optional minus sign, digits, and a point with digits after it; -1 for any
// other text.
int DecimalsOfPlainNumber(const char* text, size_t length);

// True when read, a number of the file written with decimals decimals, is
// what stored printed with that many decimals reads as: an editor that
// writes that many decimals read stored and wrote it back unchanged. Two
// texts of as many decimals that read as the same float are the same text
// wherever the float's steps are finer than the last decimal; where they
// are coarser, stored printed so reads as stored itself. A zero counts with
// or without its minus sign (an editor may write -0 as 0).
bool IsRoundedStoredValue(float read, float stored, int decimals);


// How many numbers of the v and vt lines have each count of decimals, for
// the counts an editor writes.
class DecimalsTally {
 public:
  void Count(TextSpan rest, size_t width) {
    TextSpan word;
    for (size_t k = 0; k < width && TakeWord(rest, word); ++k) {
      const int decimals = DecimalsOfPlainNumber(word.begin, word.length);
      if (decimals >= 0 && decimals < kCounted) ++counts_[decimals];
    }
  }
  // The count most numbers have (the larger of two as common), or -1 when
  // that is none: a file of whole numbers and of shortest texts such as
  // quadkit writes holds no rounded numbers.
  int EditorDecimals() const {
    int most = 0;
    for (int k = 1; k < kCounted; ++k) {
      if (counts_[k] >= counts_[most]) most = k;
    }
    return most > 0 && counts_[most] > 0 ? most : -1;
  }

 private:
  static constexpr int kCounted = 32;
  size_t counts_[kCounted] = {};
};

#endif  // QUADKIT_IMPORT_EDITOR_DECIMALS_H_
