// What SceneFile writes: the bounds it computes, the three operations that
// rewrite fields of an existing rectangle record, and the check that the
// file can be written at all.
#include <cerrno>
#include <cstring>
#include <utility>

#include "files/file_access.h"
#include "report/failure.h"
#include "report/messages.h"
#include "files/little_endian.h"
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

bool RecordOverlapsTables(int32_t recordOffset, std::string& why) {
  return Fail(why, "its record at offset " + std::to_string(recordOffset) +
                       " overlaps the header or the tables of the scene file");
}

template <size_t N>
void EncodeFloats(const std::array<float, N>& values, uint8_t* raw) {
  for (size_t k = 0; k < N; ++k) EncodeFloatLE(values[k], raw + 4 * k);
}

}  // namespace

bool SceneFile::CanWrite(std::string& why) {
  if (bytes && bytes->Writable()) return true;
  if (updateError == 0) return CheckWritable(why);
  return Fail(why, "cannot open scene file " + Quoted(fileName) + " for writing: " + ErrorText(updateError));
}

bool SceneFile::CheckWritable(std::string& why) {
  if (fileName[0] == '\0' || !bytes) return Fail(why, "no scene file is open");
  if (bytes->Writable()) return true;
  if (updateError == 0) {
    // Opened for reading only: the file opened again for update takes its
    // place, when it is still the same file.
    std::unique_ptr<ByteAccess> update = OpenFileBytes(fileName, true);
    if (!update) {
      updateError = errno;
    } else if (update->NamedBy(fileName) != PathNaming::kSame || bytes->NamedBy(fileName) != PathNaming::kSame) {
      return Replaced(why);
    } else {
      // A lock taken through the old open ends with its close: it is taken
      // again through the new one, as it was.
      const bool relock = lock.IsHeld() && bytes->LockThrough().IsOpen();
      const LockMode mode = lock.mode();
      if (relock) lock.Release();
      bytes->Close();
      bytes = std::move(update);
      return !relock || Lock(mode, why);
    }
  }
  return CanWrite(why);
}

// Reads size bytes at offsetInRecord of rectangle i's record: false, with
// why, for an I/O error or a span that the file does not hold whole.
bool SceneFile::ReadUpdateSpan(int32_t i, int32_t offsetInRecord, uint8_t* span, size_t size,
                               std::string& why) const {
  const int32_t recordOffset = indexTable[i].recordOffset;
  size_t got = 0;
  if (!ReadBytesAt(static_cast<int64_t>(recordOffset) + offsetInRecord, span, size, &got)) {
    return CannotRead(why);
  }
  return got == size || RecordOutsideFile(recordOffset, why);
}

// Writes span at offset in one write; a write that fails half way puts
// back the bytes it replaced, so that no rectangle is left half old and
// half new.
bool SceneFile::WriteUpdateSpan(int64_t offset, const uint8_t* span, const uint8_t* original,
                                size_t size, std::string& why) {
  size_t written = 0;
  if (WriteBytesAt(offset, span, size, &written)) return true;
  const int reason = errno;
  size_t putBack = 0;
  if (written > 0) WriteBytesAt(offset, original, written, &putBack);
  return Fail(why, "cannot write scene file " + Quoted(fileName) + ": " + ErrorText(reason));
}

bool SceneFile::UpdateRect(int32_t i, const RectCoords* corners, const RectTexCoords* texCoords,
                           std::string& why) {
  if (!Reach(i, why)) return false;
  if (corners == nullptr) return Fail(why, "no corners were given");
  // Bounds, corners and texture coordinates go back in one write, so that
  // a run killed at any moment leaves the rectangle either old or new. The
  // bytes between them are carried as they were read in this same open.
  const int32_t recordOffset = indexTable[i].recordOffset;
  if (recordOffset < 0) return RecordOutsideFile(recordOffset, why);
  const int64_t spanStart = static_cast<int64_t>(recordOffset) + kSpanStart;
  if (OverlapsTables(spanStart, kSpanWriteSize)) return RecordOverlapsTables(recordOffset, why);
  if (!CanWrite(why)) return false;
  uint8_t span[kSpanReadSize];
  if (!ReadUpdateSpan(i, kSpanStart, span, sizeof span, why)) return false;
  uint8_t original[kSpanWriteSize];
  std::memcpy(original, span, sizeof original);
  EncodeFloats(ComputeRectBounds(*corners), span);
  EncodeFloats(*corners, span + (kCornersInRecord - kSpanStart));
  if (texCoords != nullptr) EncodeFloats(*texCoords, span + (kTexCoordsInRecord - kSpanStart));
  return WriteUpdateSpan(spanStart, span, original, kSpanWriteSize, why);
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

  const int32_t recordOffset = indexTable[i].recordOffset;
  if (recordOffset < 0) return RecordOutsideFile(recordOffset, why);
  const int64_t reference = static_cast<int64_t>(recordOffset) + kSlotOffsetInRecord;
  if (OverlapsTables(reference, 4)) return RecordOverlapsTables(recordOffset, why);
  if (!CanWrite(why)) return false;
  uint8_t raw[4];
  if (!ReadUpdateSpan(i, kSlotOffsetInRecord, raw, sizeof raw, why)) return false;
  const uint8_t original[4] = {raw[0], raw[1], raw[2], raw[3]};
  const int64_t newSlot =
      DecodeInt32LE(raw) + (static_cast<int64_t>(newIndex) - oldIndex) * kSlotSize;
  // The slots stand in texture order; a slot there that carries another
  // index means this file does not follow that order, and the reference
  // would name the wrong texture.
  int32_t slotIndex = -1;
  if (newSlot >= 0 && newSlot <= INT32_MAX &&
      !ReadInt32(newSlot + kTextureIndexInSlot, &slotIndex)) {
    return CannotRead(why);
  }
  if (newSlot < 0 || newSlot > INT32_MAX || slotIndex != newIndex) {
    return Fail(why, "the texture slot of texture " + std::to_string(newIndex) +
                         " lies outside the slot table");
  }
  EncodeInt32LE(static_cast<int32_t>(newSlot), raw);
  return WriteUpdateSpan(reference, raw, original, sizeof raw, why);
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
