// The layout of a ZEM scene file, as far as quadkit reads and writes it.
//
// All integers are 32-bit little-endian two's complement,
// all coordinates 32-bit little-endian IEEE 754 floats, all offsets absolute
// byte offsets from the start of the file. Bytes marked "-" are never read or
// written by quadkit and are carried along untouched.
//
//   Header, at offset 0 (52 bytes)
//     0   4  -
//     4   4  textureCount      entries in the texture name offset table
//     8   4  nameTableOffset   offset of the texture name offset table
//    12  16  -
//    28   4  storedCount       number of rectangles plus one (1..20000 accepted)
//    32  20  -
//
//   Rectangle index table, at the fixed offset 52: storedCount - 1 entries of
//   12 bytes; entry k belongs to rectangle k.
//     0   4  -
//     4   4  recordOffset      offset of the rectangle's record
//     8   4  -
//
//   Rectangle record, at recordOffset (at least 220 bytes long)
//     0  28  -
//    28  24  bounds            min x, y, z, max x, y, z (6 floats)
//    52  48  -
//   100  48  corners           corner 0..3, each x, y, z (12 floats)
//   148  24  -
//   172  32  texture coords    corner 0..3, each u, v (8 floats)
//   204  12  -
//   216   4  slotOffset        offset of the texture slot the rectangle uses
//
//   Texture slot, 16 bytes at slotOffset. Slots stand in the order of their
//   textureIndex, so the slot of texture t + d lies d * 16 bytes behind that
//   of texture t.
//     0  12  -
//    12   4  textureIndex      zero-based index into the texture table
//
//   Texture name offset table, at nameTableOffset: textureCount int32 entries,
//   entry t the offset of texture t's name.
//
//   Texture name: exactly 4 bytes of characters; a shorter name is padded
//   with zero bytes.
//
#ifndef QUADKIT_SCENE_SCENE_LAYOUT_H_
#define QUADKIT_SCENE_SCENE_LAYOUT_H_

#include <cstdint>

// Layout constants of the scene file.
namespace scene_layout {
constexpr int32_t kTextureCountOffset = 4;
constexpr int32_t kNameTableOffsetOffset = 8;
constexpr int32_t kStoredCountOffset = 28;
constexpr int32_t kIndexTableOffset = 52;
constexpr int32_t kIndexEntrySize = 12;
constexpr int32_t kRecordOffsetInEntry = 4;
constexpr int32_t kBoundsInRecord = 28;
constexpr int32_t kCornersInRecord = 100;
constexpr int32_t kTexCoordsInRecord = 172;
constexpr int32_t kSlotOffsetInRecord = 216;
constexpr int32_t kMinRecordSize = 220;
constexpr int32_t kSlotSize = 16;
constexpr int32_t kTextureIndexInSlot = 12;
constexpr int32_t kNameSize = 4;
constexpr int32_t kMaxStoredCount = 20000;
constexpr float kBoundsMargin = 256.0f;
}  // namespace scene_layout

#endif  // QUADKIT_SCENE_SCENE_LAYOUT_H_
