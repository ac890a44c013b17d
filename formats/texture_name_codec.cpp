#include "formats/texture_name_codec.h"

#include "text/hex_text.h"

namespace {

bool NeedsEscape(unsigned char c) { return c <= 0x20 || c >= 0x7F || c == '#' || c == '%'; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::string EncodeTextureWord(const char* name) {
  if (name == nullptr || name[0] == '\0') return "%00";
  std::string word;
  for (const char* p = name; *p != '\0'; ++p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if (NeedsEscape(c)) {
      AppendPercentEscape(word, c);
    } else {
      word += static_cast<char>(c);
    }
  }
  return word;
}

std::string DecodeTextureWord(const std::string& word) {
  std::string name;
  for (size_t k = 0; k < word.size(); ++k) {
    char c = word[k];
    if (c == '%' && k + 2 < word.size() && HexValue(word[k + 1]) >= 0 &&
        HexValue(word[k + 2]) >= 0) {
      c = static_cast<char>(HexValue(word[k + 1]) * 16 + HexValue(word[k + 2]));
      k += 2;
    }
    if (c == '\0') break;
    name += c;
  }
  return name;
}
