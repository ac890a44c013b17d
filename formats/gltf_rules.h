// What the glTF 2.0 writer and reader share: the codes of the binary
// container and of accessors, the names quadkit gives its materials, and
// the round trip of texture coordinates through editors that flip v.
#ifndef QUADKIT_FORMATS_GLTF_RULES_H_
#define QUADKIT_FORMATS_GLTF_RULES_H_

#include <cstdint>

namespace gltf {

// The binary container (.glb): a 12-byte header, then chunks of a 4-byte
// length, a 4-byte type and the data, each padded to 4 bytes.
constexpr uint32_t kMagic = 0x46546C67;      // "glTF"
constexpr uint32_t kContainerVersion = 2;
constexpr uint32_t kJsonChunk = 0x4E4F534A;  // "JSON"
constexpr uint32_t kBinChunk = 0x004E4942;   // "BIN\0"
constexpr uint32_t kHeaderSize = 12;
constexpr uint32_t kChunkHeaderSize = 8;

// Accessor component types.
constexpr int kByte = 5120;
constexpr int kUnsignedByte = 5121;
constexpr int kShort = 5122;
constexpr int kUnsignedShort = 5123;
constexpr int kUnsignedInt = 5125;
constexpr int kFloat = 5126;

// Buffer view targets.
constexpr int kArrayBuffer = 34962;
constexpr int kElementArrayBuffer = 34963;

// Primitive modes.
constexpr int kTriangles = 4;
constexpr int kTriangleStrip = 5;
constexpr int kTriangleFan = 6;

// The material of rectangles whose texture is not in the scene's table, as
// in the OBJ export: no texture's word is this.
constexpr char kNoTextureMaterial[] = "(null)";

// What an editor that keeps v with the origin at the bottom (Blender) makes
// of a stored v on import and export: 1 - (1 - v), in 32-bit floats.
inline float FlippedTwice(float v) {
  volatile float once = 1.0f - v;  // no wider precision, no fused operation
  return 1.0f - once;
}

}  // namespace gltf

#endif  // QUADKIT_FORMATS_GLTF_RULES_H_
