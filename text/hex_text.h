// Bytes as hex text: two upper-case digits, and the "%XX" escape with which
// several formats carry a byte they cannot hold as it is.
#ifndef QUADKIT_TEXT_HEX_TEXT_H_
#define QUADKIT_TEXT_HEX_TEXT_H_

#include <string>

inline void AppendHexByte(std::string& text, unsigned char byte) {
  static const char kHex[] = "0123456789ABCDEF";
  text += kHex[byte >> 4];
  text += kHex[byte & 0x0F];
}

inline void AppendPercentEscape(std::string& text, unsigned char byte) {
  text += '%';
  AppendHexByte(text, byte);
}

#endif  // QUADKIT_TEXT_HEX_TEXT_H_
