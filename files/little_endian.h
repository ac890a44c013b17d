// Explicit little-endian encoding and decoding of the 32-bit fields of the
// binary files quadkit reads and writes (the scene file, the glTF binary).
// Everything goes through bytes, so the result is the same on any host
// byte order.
#ifndef QUADKIT_FILES_LITTLE_ENDIAN_H_
#define QUADKIT_FILES_LITTLE_ENDIAN_H_

#include <cstdint>
#include <cstring>
#include <limits>

static_assert(std::numeric_limits<float>::is_iec559 && sizeof(float) == 4,
              "the scene file stores IEEE 754 single-precision floats");

inline uint32_t DecodeUint32LE(const uint8_t* bytes) {
  return static_cast<uint32_t>(bytes[0]) |
         (static_cast<uint32_t>(bytes[1]) << 8) |
         (static_cast<uint32_t>(bytes[2]) << 16) |
         (static_cast<uint32_t>(bytes[3]) << 24);
}

inline int32_t DecodeInt32LE(const uint8_t* bytes) {
  const uint32_t bits = DecodeUint32LE(bytes);
  int32_t value;
  std::memcpy(&value, &bits, sizeof value);  // two's complement reinterpretation
  return value;
}

inline float DecodeFloatLE(const uint8_t* bytes) {
  const uint32_t bits = DecodeUint32LE(bytes);
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

inline void EncodeUint32LE(uint32_t value, uint8_t* bytes) {
  bytes[0] = static_cast<uint8_t>(value & 0xFFu);
  bytes[1] = static_cast<uint8_t>((value >> 8) & 0xFFu);
  bytes[2] = static_cast<uint8_t>((value >> 16) & 0xFFu);
  bytes[3] = static_cast<uint8_t>((value >> 24) & 0xFFu);
}

inline void EncodeInt32LE(int32_t value, uint8_t* bytes) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  EncodeUint32LE(bits, bytes);
}

inline void EncodeFloatLE(float value, uint8_t* bytes) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  EncodeUint32LE(bits, bytes);
}

#endif  // QUADKIT_FILES_LITTLE_ENDIAN_H_
