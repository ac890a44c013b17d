#include "import/gltf_uri.h"

#include <algorithm>

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

int Base64Value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+' || c == '-') return 62;
  if (c == '/' || c == '_') return 63;
  return -1;
}

}  // namespace

std::string PercentDecoded(const std::string& uri) {
  std::string text;
  for (size_t k = 0; k < uri.size(); ++k) {
    if (uri[k] == '%' && k + 2 < uri.size() && HexDigit(uri[k + 1]) >= 0 && HexDigit(uri[k + 2]) >= 0) {
      text += static_cast<char>(HexDigit(uri[k + 1]) * 16 + HexDigit(uri[k + 2]));
      k += 2;
    } else {
      text += uri[k];
    }
  }
  return text;
}

// Decodes base64 text (padding optional); false at any other character.
bool DecodeBase64(const char* text, size_t length, std::vector<uint8_t>& bytes) {
  while (length > 0 && text[length - 1] == '=') --length;
  bytes.clear();
  bytes.reserve(length / 4 * 3 + 3);
  uint32_t bits = 0;
  int held = 0;
  for (size_t k = 0; k < length; ++k) {
    const int value = Base64Value(text[k]);
    if (value < 0) return false;
    bits = (bits << 6) | static_cast<uint32_t>(value);
    held += 6;
    if (held >= 8) {
      held -= 8;
      bytes.push_back(static_cast<uint8_t>((bits >> held) & 0xFF));
    }
  }
  return true;
}

// A URI that names something other than a file beside the .gltf.
bool IsAbsoluteUri(const std::string& uri) {
  if (uri.empty() || uri[0] == '/' || uri[0] == '\\') return true;
  const size_t colon = uri.find(':');
  return colon != std::string::npos && uri.find_first_of("/\\") > colon;
}

// A relative path that climbs out of the .gltf's folder: a step ".." among
// its steps. Windows also splits at a backslash; elsewhere one is part of a
// file's name.
bool LeavesFolder(const std::string& path) {
#ifdef _WIN32
  const char* const separators = "/\\";
#else
  const char* const separators = "/";
#endif
  size_t start = 0;
  while (start <= path.size()) {
    const size_t end = std::min(path.find_first_of(separators, start), path.size());
    if (path.compare(start, end - start, "..") == 0) return true;
    start = end + 1;
  }
  return false;
}
