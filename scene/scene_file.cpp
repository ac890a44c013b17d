#include "scene/scene_file.h"

#include <cerrno>
#include <cstring>
#include <new>
#include <utility>

#include "report/failure.h"
#include "files/file_access.h"
#include "scene/little_endian.h"

using namespace scene_layout;

SceneFile::SceneFile() = default;

SceneFile::~SceneFile() { Close(); }

bool SceneFile::Open(const char* path, std::string& why) {
  if (path == nullptr || path[0] == '\0') return Fail(why, "no scene file given");
  const std::string quoted = Quoted(path);
  if (std::strlen(path) > static_cast<size_t>(kMaxPathLength)) {
    return Fail(why, "scene file path " + quoted + " is longer than 255 characters");
  }
  FileHandle file = OpenFile(path, "rb");
  if (!file) {  // a scene held so far stays held
    return Fail(why, "cannot open scene file " + quoted + ": " + ErrorText(errno));
  }

  Close();
  std::string refusal;
  if (!LoadSnapshot(file.get(), refusal)) {
    Close();
    return Fail(why, "scene file " + quoted + " is refused: " + refusal);
  }
  std::memset(fileName, 0, sizeof fileName);
  std::memcpy(fileName, path, std::strlen(path) + 1);
  return true;
}

// Reads the index table and the texture names. On false the caller releases
// whatever was created here.
bool SceneFile::LoadSnapshot(std::FILE* file, std::string& why) {
  const int32_t storedCount = ReadInt32At(file, kStoredCountOffset);
  if (storedCount < 1 || storedCount > kMaxStoredCount) {
    return Fail(why, "its rectangle count field holds " + std::to_string(storedCount) +
                         " (accepted: 1 to 20000, the rectangle count plus one)");
  }

  const int32_t count = storedCount - 1;
  // At most 19999 entries of 12 bytes: one read into a bounded block.
  const size_t tableBytes = static_cast<size_t>(count) * kIndexEntrySize;
  indexTable.reset(new (std::nothrow) RectIndexEntry[count > 0 ? count : 1]);
  std::unique_ptr<uint8_t[]> raw(new (std::nothrow) uint8_t[tableBytes + 1]);
  if (!indexTable || !raw) {
    return Fail(why, "not enough memory for its index table");
  }
  ReadAt(file, kIndexTableOffset, raw.get(), tableBytes);
  for (int32_t k = 0; k < count; ++k) {
    const uint8_t* entry = raw.get() + static_cast<size_t>(k) * kIndexEntrySize;
    indexTable[k] = {DecodeInt32LE(entry + kRecordOffsetInEntry)};
  }
  rectCount = count;

  StoredTextureTable table;
  if (!ReadTextureTable(file, table, why)) return false;
  if (table.count > 0) {  // otherwise a scene without textures
    textureNames = std::move(table.names);
    textureCount = table.count;
  }
  return true;
}

bool ReadTextureTable(std::FILE* file, StoredTextureTable& table, std::string& why) {
  table.count = ReadInt32At(file, kTextureCountOffset);
  table.names.reset();
  if (table.count <= 0) return true;
  const int32_t nameTableOffset = ReadInt32At(file, kNameTableOffsetOffset);

  // Every texture takes at least one 4-byte table entry in the file, so a
  // count beyond a quarter of the file size cannot be real; refusing it
  // keeps a damaged header from sizing a huge allocation and loop.
  const int64_t size = FileSize(file);
  if (size < 0 || table.count > size / 4) {
    return Fail(why, "its texture count " + std::to_string(table.count) +
                         " cannot fit in a file of " + std::to_string(size) + " bytes");
  }
  table.names.reset(new (std::nothrow) TextureName[table.count]);
  if (!table.names) return Fail(why, "not enough memory for its texture names");
  for (int32_t t = 0; t < table.count; ++t) {
    const int32_t nameOffset =
        ReadInt32At(file, static_cast<int64_t>(nameTableOffset) + 4 * static_cast<int64_t>(t));
    TextureName& name = table.names[t];
    std::memset(name.text, 0, sizeof name.text);
    ReadAt(file, nameOffset, reinterpret_cast<uint8_t*>(name.text), kNameSize);
  }
  return true;
}

void SceneFile::Close() {
  rectCount = 0;
  std::memset(fileName, 0, sizeof fileName);
  indexTable.reset();
  textureNames.reset();
  textureCount = 0;
}

namespace {

// Reads count floats at offset into values; missing bytes read as zero.
template <size_t N>
void ReadFloatsAt(std::FILE* file, int64_t offset, std::array<float, N>& values) {
  uint8_t raw[N * 4];
  ReadAt(file, offset, raw, sizeof raw);
  for (size_t k = 0; k < N; ++k) values[k] = DecodeFloatLE(raw + 4 * k);
}

}  // namespace

bool SceneFile::CannotRead(std::string& why) const {
  return Fail(why, "cannot read scene file " + Quoted(fileName) + ": " + ErrorText(errno));
}

bool SceneFile::ReadsSucceeded(std::FILE* file, std::string& why) const {
  return !std::ferror(file) || CannotRead(why);  // bytes the file ends before read as zero
}

FileHandle SceneFile::OpenForReading(std::string& why) const {
  FileHandle file = OpenFileUnbuffered(fileName, "rb");
  if (!file) CannotRead(why);
  return file;
}

bool SceneFile::ReadTextureTableAgain(StoredTextureTable& table, std::string& why) const {
  if (fileName[0] == '\0') return Fail(why, "no scene file is open");
  FileHandle file = OpenForReading(why);
  if (!file) return false;
  std::string change;
  if (!ReadTextureTable(file.get(), table, change)) {
    return Fail(why, "scene file " + Quoted(fileName) + " changed: " + change);
  }
  return ReadsSucceeded(file.get(), why);
}

bool SceneFile::PassesRectGuard(int32_t i, std::string& why) const {
  if (i >= 0 && i < rectCount && fileName[0] != '\0' && indexTable != nullptr) return true;
  return Fail(why, "it is not a rectangle of the scene");
}

template <size_t N>
std::array<float, N>* SceneFile::ReadRectFloats(int32_t i, int32_t offsetInRecord,
                                                std::array<float, N>& buffer, std::string& why) {
  if (!PassesRectGuard(i, why)) return nullptr;
  FileHandle file = OpenForReading(why);
  if (!file) return nullptr;
  std::array<float, N> values;
  ReadFloatsAt(file.get(), static_cast<int64_t>(indexTable[i].recordOffset) + offsetInRecord, values);
  if (!ReadsSucceeded(file.get(), why)) return nullptr;  // the buffer keeps what it held
  buffer = values;
  return &buffer;
}

RectCoords* SceneFile::GetRectCoords(int32_t i, std::string& why) {
  return ReadRectFloats(i, kCornersInRecord, coordBuffer, why);
}

RectTexCoords* SceneFile::GetRectTexCoords(int32_t i, std::string& why) {
  return ReadRectFloats(i, kTexCoordsInRecord, texCoordBuffer, why);
}

int32_t SceneFile::GetRectOffset(int32_t i) const {
  if (i < 0 || i >= rectCount || !indexTable) return -1;
  return indexTable[i].recordOffset;
}

bool SceneFile::ReadRectTexture(int32_t i, RectTexture& texture, std::string& why) const {
  if (!PassesRectGuard(i, why)) return false;
  FileHandle file = OpenForReading(why);
  if (!file) return false;
  const int32_t slotOffset = ReadInt32At(
      file.get(), static_cast<int64_t>(indexTable[i].recordOffset) + kSlotOffsetInRecord);
  const int32_t textureIndex =
      ReadInt32At(file.get(), static_cast<int64_t>(slotOffset) + kTextureIndexInSlot);
  if (!ReadsSucceeded(file.get(), why)) return false;
  texture = {textureIndex, GetTextureName(textureIndex)};
  return true;
}

int32_t SceneFile::GetRectTextureIndex(int32_t i, std::string& why) const {
  RectTexture texture;
  return ReadRectTexture(i, texture, why) ? texture.index : -1;
}

const char* SceneFile::GetRectTextureName(int32_t i, std::string& why) const {
  RectTexture texture;
  if (!ReadRectTexture(i, texture, why)) return nullptr;
  if (texture.name == nullptr) {
    Fail(why, "the texture index " + std::to_string(texture.index) + " of rectangle " +
                  std::to_string(i) + " is outside the texture table");
  }
  return texture.name;
}

const char* SceneFile::GetTextureName(int32_t t) const {
  if (t < 0 || t >= textureCount || !textureNames) return nullptr;
  return textureNames[t].text;
}
