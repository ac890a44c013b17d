// The three operations that rewrite fields of an existing rectangle record.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <utility>

#include "scene/ascii_case.h"
#include "scene/file_access.h"
#include "scene/little_endian.h"
#include "scene/scene_file.h"

using namespace scene_layout;

RectBounds ComputeRectBounds(const RectCoords& corners) {
  RectBounds bounds;
  for (int axis = 0; axis < 3; ++axis) {
    float low = corners[axis];
    float high = corners[axis];
    for (int k = 1; k < 4; ++k) {
      const float value = corners[3 * k + axis];
      if (value < low) low = value;
      if (value > high) high = value;
    }
    bounds[axis] = low;
    bounds[3 + axis] = high;
  }
  bool allZero = true;
  for (float value : bounds) allZero = allZero && value == 0.0f;
  for (int axis = 0; axis < 3; ++axis) {
    if (!(allZero && axis == 0)) bounds[axis] -= kBoundsMargin;
    bounds[3 + axis] += kBoundsMargin;
  }
  return bounds;
}

bool PassesAllZeroTest(const RectCoords& corners) {
  double sum = 0.0;
  for (float value : corners) sum += std::fabs(static_cast<double>(value));
  return sum > 0.0;
}

int64_t SceneFile::RecordInsideFile(std::FILE* file, int32_t i) const {
  const int64_t record = indexTable[i].recordOffset;
  const int64_t size = FileSize(file);
  if (record < 0 || size < 0 || record + kMinRecordSize > size) return -1;
  return record;
}

namespace {

template <size_t N>
bool WriteFloatsAt(std::FILE* file, int64_t offset, const std::array<float, N>& values) {
  uint8_t raw[N * 4];
  for (size_t k = 0; k < N; ++k) EncodeFloatLE(values[k], raw + 4 * k);
  return WriteAt(file, offset, raw, sizeof raw);
}

}  // namespace

bool SceneFile::UpdateRect(int32_t i, const RectCoords* corners, const RectTexCoords* texCoords) {
  if (!PassesRectGuard(i) || corners == nullptr) return false;
  FileHandle file = OpenFileUnbuffered(fileName, "r+b");
  if (!file) return false;
  // A record that reaches past the end of the file would make the writes
  // grow the file; such a record is refused before anything is written.
  const int64_t record = RecordInsideFile(file.get(), i);
  if (record < 0) return false;

  const RectBounds bounds = ComputeRectBounds(*corners);
  bool written = WriteFloatsAt(file.get(), record + kCornersInRecord, *corners);
  if (texCoords != nullptr) {
    written = WriteFloatsAt(file.get(), record + kTexCoordsInRecord, *texCoords) && written;
  }
  written = WriteFloatsAt(file.get(), record + kBoundsInRecord, bounds) && written;
  return CloseFile(std::move(file)) && written;
}

bool SceneFile::SetRectTextureIndex(int32_t i, int32_t newIndex) {
  if (!PassesRectGuard(i)) return false;
  // Only an index inside the texture table names a slot of the slot table.
  if (newIndex < 0 || newIndex >= textureCount) return false;
  const int32_t oldIndex = GetRectTextureIndex(i);
  if (oldIndex < 0) return false;
  if (newIndex == oldIndex) return true;

  FileHandle file = OpenFileUnbuffered(fileName, "r+b");
  if (!file) return false;
  const int64_t record = RecordInsideFile(file.get(), i);
  if (record < 0) return false;
  const int64_t slotOffset = ReadInt32At(file.get(), record + kSlotOffsetInRecord);
  const int64_t newSlot =
      slotOffset + (static_cast<int64_t>(newIndex) - oldIndex) * kSlotSize;
  if (newSlot < 0 || newSlot > INT32_MAX) return false;
  // The slots stand in texture order; a slot there that carries another
  // index means this file does not follow that order, and the reference
  // would name the wrong texture.
  if (ReadInt32At(file.get(), newSlot + kTextureIndexInSlot) != newIndex) return false;

  uint8_t raw[4];
  EncodeInt32LE(static_cast<int32_t>(newSlot), raw);
  const bool written = WriteAt(file.get(), record + kSlotOffsetInRecord, raw, sizeof raw);
  return CloseFile(std::move(file)) && written;
}

bool SceneFile::SetRectTextureByName(int32_t i, const char* name) {
  const char* wanted = name != nullptr ? name : "";
  for (int32_t t = 0; t < textureCount; ++t) {
    if (EqualsIgnoringAsciiCase(textureNames[t].text, wanted)) return SetRectTextureIndex(i, t);
  }
  std::printf("Warning! Texture %s not in ZEM. Skipping\r\n", wanted);
  return true;
}
