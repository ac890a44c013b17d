// Comparison of texts without regard to the case of the letters A to Z and
// a to z only; every other byte must match exactly, whatever the locale.
#ifndef QUADKIT_SCENE_ASCII_CASE_H_
#define QUADKIT_SCENE_ASCII_CASE_H_

inline char FoldAsciiCase(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// True when the whole of a equals the whole of b.
inline bool EqualsIgnoringAsciiCase(const char* a, const char* b) {
  for (;; ++a, ++b) {
    if (FoldAsciiCase(*a) != FoldAsciiCase(*b)) return false;
    if (*a == '\0') return true;
  }
}

#endif  // QUADKIT_SCENE_ASCII_CASE_H_
