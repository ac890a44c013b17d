// Builds scene files byte by byte, for the sample generator and the tests.
// Every byte that quadkit does not interpret is filled with non-zero junk,
// and records lie in the file in reverse order, so that a reader that takes
// the wrong field or guesses a position instead of following the offsets
// shows at once.
#ifndef QUADKIT_SAMPLE_SCENE_BUILDER_H_
#define QUADKIT_SAMPLE_SCENE_BUILDER_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "scene/scene_file.h"

struct BuilderRect {
  RectCoords corners = {};
  RectTexCoords texCoords = {};
  int32_t textureIndex = 0;  // which slot the record points at
};

struct SceneContents {
  std::vector<std::string> textureNames;  // up to four characters each
  std::vector<BuilderRect> rects;
  // Slots written behind the texture table's own, with the indexes
  // textureCount, textureCount + 1, ...: lets a record name a texture
  // beyond the table through a well-formed slot.
  int32_t extraSlots = 0;
  int32_t recordSize = 232;  // at least 220
};

struct BuiltScene {
  std::vector<uint8_t> bytes;
  std::vector<int32_t> recordOffsets;  // rectangle k's record
  int32_t slotTableOffset = 0;
  int32_t nameTableOffset = 0;
  std::vector<int32_t> nameOffsets;  // texture t's four name bytes
};

BuiltScene BuildScene(const SceneContents& contents);

// Little-endian field access on a file image, for patching and checking.
void PutInt32(std::vector<uint8_t>& bytes, size_t offset, int32_t value);
void PutFloat(std::vector<uint8_t>& bytes, size_t offset, float value);
int32_t GetInt32(const std::vector<uint8_t>& bytes, size_t offset);
float GetFloat(const std::vector<uint8_t>& bytes, size_t offset);

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);
// The whole file; empty when it cannot be read.
std::vector<uint8_t> ReadFileBytes(const std::string& path);

#endif  // QUADKIT_SAMPLE_SCENE_BUILDER_H_
