// What SceneFile writes: the bounds it computes, the three operations that
// rewrite fields of an existing rectangle record, and the check that the
// file can be written at all.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "files/file_access.h"
#include "report/failure.h"
#include "report/messages.h"
#include "scene/little_endian.h"
#include "scene/scene_file.h"
#include "text/text_rules.h"
#include "text/text_template.h"

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

namespace {

// The part of a record that an update reads: from the bounds to the end of
// the record's 220 bytes; it rewrites the part up to the end of the texture
// coordinates. Offsets below count from the start of the span.
constexpr int32_t kSpanStart = kBoundsInRecord;
constexpr size_t kSpanReadSize = kMinRecordSize - kSpanStart;
constexpr size_t kSpanWriteSize = kTexCoordsInRecord + 4 * 8 - kSpanStart;

bool RecordOutsideFile(int32_t recordOffset, std::string& why) {
  return Fail(why, "its record at offset " + std::to_string(recordOffset) +
                       " does not lie inside the scene file");
}

template <size_t N>
void EncodeFloats(const std::array<float, N>& values, uint8_t* raw) {
  for (size_t k = 0; k < N; ++k) EncodeFloatLE(values[k], raw + 4 * k);
}

}  // namespace

FileHandle SceneFile::OpenForUpdate(std::string& why) const {
  FileHandle file = OpenFileUnbuffered(fileName, "r+b");
  if (!file) {
    Fail(why, "cannot open scene file " + Quoted(fileName) + " for writing: " + ErrorText(errno));
  }
  return file;
}

bool SceneFile::FinishUpdate(FileHandle file, bool written, std::string& why) const {
  const int writeError = errno;
  if (!CloseFile(std::move(file)) || !written) {
    return Fail(why, "cannot write scene file " + Quoted(fileName) + ": " +
                         ErrorText(written ? errno : writeError));
  }
  return true;
}

bool SceneFile::CheckWritable(std::string& why) const {
  return static_cast<bool>(OpenForUpdate(why));
}

bool SceneFile::UpdateRect(int32_t i, const RectCoords* corners, const RectTexCoords* texCoords,
                           std::string& why) {
  if (!PassesRectGuard(i, why)) return false;
  if (corners == nullptr) return Fail(why, "no corners were given");
  FileHandle file = OpenForUpdate(why);
  if (!file) return false;
  // Bounds, corners and texture coordinates go back in one write, so that
  // a run killed at any moment leaves the rectangle either old or new. The
  // bytes between them are carried as they were read in this same open.
  const int64_t record = indexTable[i].recordOffset;
  uint8_t span[kSpanReadSize];
  // A record that reaches past the end of the file would make the write
  // grow the file; such a record is refused before anything is written.
  if (record < 0 || ReadAt(file.get(), record + kSpanStart, span, sizeof span) != sizeof span) {
    return RecordOutsideFile(indexTable[i].recordOffset, why);
  }
  EncodeFloats(ComputeRectBounds(*corners), span);
  EncodeFloats(*corners, span + (kCornersInRecord - kSpanStart));
  if (texCoords != nullptr) EncodeFloats(*texCoords, span + (kTexCoordsInRecord - kSpanStart));
  const bool written = WriteAt(file.get(), record + kSpanStart, span, kSpanWriteSize);
  return FinishUpdate(std::move(file), written, why);
}

bool SceneFile::SetRectTextureIndex(int32_t i, int32_t newIndex, std::string& why) {
  if (!PassesRectGuard(i, why)) return false;
  // Only an index inside the texture table names a slot of the slot table.
  if (newIndex < 0 || newIndex >= textureCount) {
    return Fail(why, "texture " + std::to_string(newIndex) + " is not in the texture table");
  }
  RectTexture old;
  if (!ReadRectTexture(i, old, why)) return false;
  const int32_t oldIndex = old.index;
  if (oldIndex < 0) {
    return Fail(why, "its texture slot holds the index " + std::to_string(oldIndex));
  }
  if (newIndex == oldIndex) return true;

  FileHandle file = OpenForUpdate(why);
  if (!file) return false;
  const int64_t record = indexTable[i].recordOffset;
  uint8_t raw[4];
  if (record < 0 || ReadAt(file.get(), record + kSlotOffsetInRecord, raw, sizeof raw) != sizeof raw) {
    return RecordOutsideFile(indexTable[i].recordOffset, why);
  }
  const int64_t newSlot =
      DecodeInt32LE(raw) + (static_cast<int64_t>(newIndex) - oldIndex) * kSlotSize;
  // The slots stand in texture order; a slot there that carries another
  // index means this file does not follow that order, and the reference
  // would name the wrong texture.
  if (newSlot < 0 || newSlot > INT32_MAX ||
      ReadInt32At(file.get(), newSlot + kTextureIndexInSlot) != newIndex) {
    return Fail(why, "the texture slot of texture " + std::to_string(newIndex) +
                         " lies outside the slot table");
  }
  EncodeInt32LE(static_cast<int32_t>(newSlot), raw);
  const bool written = WriteAt(file.get(), record + kSlotOffsetInRecord, raw, sizeof raw);
  return FinishUpdate(std::move(file), written, why);
}

bool SceneFile::SetRectTextureByName(int32_t i, const char* name, Reporter& reporter,
                                     std::string& why) {
  const char* wanted = name != nullptr ? name : "";
  for (int32_t t = 0; t < textureCount; ++t) {
    if (EqualsIgnoringAsciiCase(textureNames[t].text, wanted)) {
      return SetRectTextureIndex(i, t, why);
    }
  }
  reporter.Say(FillTemplate(messages::kTextureNotInScene, wanted));
  return true;
}
