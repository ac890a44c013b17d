#include "files/little_endian.h"

#include <gtest/gtest.h>

TEST(LittleEndianTest, DecodesLowByteFirst) {
  const uint8_t bytes[] = {0x78, 0x56, 0x34, 0x12};
  EXPECT_EQ(DecodeInt32LE(bytes), 0x12345678);
  const uint8_t minusTwo[] = {0xFE, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(DecodeInt32LE(minusTwo), -2);
  const uint8_t minimum[] = {0x00, 0x00, 0x00, 0x80};
  EXPECT_EQ(DecodeInt32LE(minimum), INT32_MIN);
  const uint8_t minusTwoAndHalf[] = {0x00, 0x00, 0x20, 0xC0};
  EXPECT_EQ(DecodeFloatLE(minusTwoAndHalf), -2.5f);
}

TEST(LittleEndianTest, EncodeIsTheInverseOfDecode) {
  uint8_t bytes[4];
  for (int32_t value : {0, 1, -1, 20000, INT32_MIN, INT32_MAX}) {
    EncodeInt32LE(value, bytes);
    EXPECT_EQ(DecodeInt32LE(bytes), value);
  }
  EncodeFloatLE(1.0f, bytes);
  EXPECT_EQ(bytes[0], 0x00);
  EXPECT_EQ(bytes[3], 0x3F);
  EXPECT_EQ(bytes[2], 0x80);
}
