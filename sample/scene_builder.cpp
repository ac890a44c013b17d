#include "sample/scene_builder.h"

#include <algorithm>
#include <cstdio>

#include "files/little_endian.h"

using namespace scene_layout;

namespace {

// A non-zero byte that depends on the position, so shifted reads differ.
uint8_t JunkByte(size_t position) {
  return static_cast<uint8_t>(0x5Bu + (position * 37u) % 160u);
}

void FillJunk(std::vector<uint8_t>& bytes, size_t from, size_t to) {
  for (size_t p = from; p < to; ++p) bytes[p] = JunkByte(p);
}

// Builder scenes stay far below 2 GiB, so every position fits an int32.
int32_t ToOffset(size_t value) { return static_cast<int32_t>(value); }

}  // namespace

BuiltScene BuildScene(const SceneContents& contents) {
  const int32_t recordSize = std::max(contents.recordSize, kMinRecordSize);
  const size_t rectCount = contents.rects.size();
  const size_t textureCount = contents.textureNames.size();
  const size_t slotCount = textureCount + static_cast<size_t>(contents.extraSlots);
  constexpr size_t kNameStride = 8;  // four name bytes, four junk bytes

  BuiltScene built;
  const size_t indexTable = kIndexTableOffset;
  const size_t slotTable = indexTable + rectCount * kIndexEntrySize;
  const size_t records = slotTable + slotCount * kSlotSize;
  const size_t nameTable = records + rectCount * static_cast<size_t>(recordSize);
  const size_t names = nameTable + textureCount * 4;
  const size_t total = names + textureCount * kNameStride;

  built.bytes.assign(total, 0);
  FillJunk(built.bytes, 0, total);
  built.slotTableOffset = ToOffset(slotTable);
  built.nameTableOffset = ToOffset(nameTable);

  PutInt32(built.bytes, kTextureCountOffset, static_cast<int32_t>(textureCount));
  PutInt32(built.bytes, kNameTableOffsetOffset, built.nameTableOffset);
  PutInt32(built.bytes, kStoredCountOffset, static_cast<int32_t>(rectCount + 1));

  for (size_t s = 0; s < slotCount; ++s) {
    PutInt32(built.bytes, slotTable + s * kSlotSize + kTextureIndexInSlot,
             static_cast<int32_t>(s));
  }

  built.recordOffsets.resize(rectCount);
  for (size_t k = 0; k < rectCount; ++k) {
    // Rectangle 0's record is the last one in the file.
    const size_t record = records + (rectCount - 1 - k) * static_cast<size_t>(recordSize);
    built.recordOffsets[k] = ToOffset(record);
    PutInt32(built.bytes, indexTable + k * kIndexEntrySize + kRecordOffsetInEntry,
             built.recordOffsets[k]);
    const BuilderRect& rect = contents.rects[k];
    for (size_t c = 0; c < rect.corners.size(); ++c) {
      PutFloat(built.bytes, record + kCornersInRecord + 4 * c, rect.corners[c]);
    }
    for (size_t c = 0; c < rect.texCoords.size(); ++c) {
      PutFloat(built.bytes, record + kTexCoordsInRecord + 4 * c, rect.texCoords[c]);
    }
    PutInt32(built.bytes, record + kSlotOffsetInRecord,
             ToOffset(slotTable + static_cast<size_t>(rect.textureIndex) * kSlotSize));
  }

  for (size_t t = 0; t < textureCount; ++t) {
    const size_t name = names + t * kNameStride;
    built.nameOffsets.push_back(ToOffset(name));
    PutInt32(built.bytes, nameTable + 4 * t, ToOffset(name));
    const std::string& text = contents.textureNames[t];
    for (size_t c = 0; c < 4; ++c) {
      built.bytes[name + c] = c < text.size() ? static_cast<uint8_t>(text[c]) : 0;
    }
  }
  return built;
}

void PutInt32(std::vector<uint8_t>& bytes, size_t offset, int32_t value) {
  EncodeInt32LE(value, &bytes.at(offset + 3) - 3);
}

void PutFloat(std::vector<uint8_t>& bytes, size_t offset, float value) {
  EncodeFloatLE(value, &bytes.at(offset + 3) - 3);
}

int32_t GetInt32(const std::vector<uint8_t>& bytes, size_t offset) {
  return DecodeInt32LE(&bytes.at(offset + 3) - 3);
}

float GetFloat(const std::vector<uint8_t>& bytes, size_t offset) {
  return DecodeFloatLE(&bytes.at(offset + 3) - 3);
}

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written =
      bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
  std::vector<uint8_t> bytes;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return bytes;
  uint8_t chunk[4096];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
    bytes.insert(bytes.end(), chunk, chunk + got);
  }
  std::fclose(file);
  return bytes;
}
