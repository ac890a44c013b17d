#include "scene/scene_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <utility>

#include "files/file_access.h"
#include "report/failure.h"
#include "files/little_endian.h"

using namespace scene_layout;

namespace {

// How long a run waits for another run's lock on the scene to end.
constexpr int kLockWaitMilliseconds = 5000;

// What a read of the scene's tables came to: read, refused for a reason
// (in the refusal text), or stopped by an I/O error (errno).
enum class TableRead { kRead, kRefused, kIoError };

TableRead Refuse(std::string& refusal, std::string reason) {
  refusal = std::move(reason);
  return TableRead::kRefused;
}

// Reads the texture count and, for a positive count, every texture's name
// and where it stands. Refused when the count cannot fit in the file (each
// texture takes a 4-byte table entry) or its names cannot be allocated.
TableRead ReadTextureTable(std::FILE* file, StoredTextureTable& table, std::string& refusal) {
  table = StoredTextureTable();
  if (!ReadInt32At(file, kTextureCountOffset, &table.count)) return TableRead::kIoError;
  if (table.count <= 0) return TableRead::kRead;
  if (!ReadInt32At(file, kNameTableOffsetOffset, &table.nameTableOffset)) return TableRead::kIoError;

  // Every texture takes at least one 4-byte table entry in the file, so a
  // count beyond a quarter of the file size cannot be real; refusing it
  // keeps a damaged header from sizing a huge allocation and loop.
  const int64_t size = FileSize(file);
  if (size < 0 || table.count > size / 4) {
    return Refuse(refusal, "its texture count " + std::to_string(table.count) +
                               " cannot fit in a file of " + std::to_string(size) + " bytes");
  }
  table.names.reset(new (std::nothrow) TextureName[table.count]);
  table.nameOffsets.reset(new (std::nothrow) int32_t[table.count]);
  if (!table.names || !table.nameOffsets) return Refuse(refusal, "not enough memory for its texture names");
  for (int32_t t = 0; t < table.count; ++t) {
    const int64_t entry = static_cast<int64_t>(table.nameTableOffset) + 4 * static_cast<int64_t>(t);
    int32_t& nameOffset = table.nameOffsets[t];
    TextureName& name = table.names[t];
    size_t got = 0;
    if (!ReadInt32At(file, entry, &nameOffset) ||
        !ReadAt(file, nameOffset, reinterpret_cast<uint8_t*>(name.text), kNameSize, &got)) {
      return TableRead::kIoError;
    }
    name.text[kNameSize] = '\0';
  }
  return TableRead::kRead;
}

}  // namespace

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
  if (!PlatformIdentify(file.get(), &identity)) {
    return Fail(why, "cannot read scene file " + quoted + ": " + ErrorText(errno));
  }
  if (!LoadSnapshot(file.get(), refusal)) {
    const int reason = errno;
    Close();
    if (refusal.empty()) return Fail(why, "cannot read scene file " + quoted + ": " + ErrorText(reason));
    return Fail(why, "scene file " + quoted + " is refused: " + refusal);
  }
  std::memset(fileName, 0, sizeof fileName);
  std::memcpy(fileName, path, std::strlen(path) + 1);
  return true;
}

// Reads the index table and the texture names. On false the caller releases
// whatever was created here; refusal is empty when a read failed (errno).
bool SceneFile::LoadSnapshot(std::FILE* file, std::string& refusal) {
  int32_t storedCount = 0;
  if (!ReadInt32At(file, kStoredCountOffset, &storedCount)) return false;
  if (storedCount < 1 || storedCount > kMaxStoredCount) {
    return Fail(refusal, "its rectangle count field holds " + std::to_string(storedCount) +
                             " (accepted: 1 to 20000, the rectangle count plus one)");
  }

  const int32_t count = storedCount - 1;
  // At most 19999 entries of 12 bytes: one read into a bounded block.
  const size_t tableBytes = static_cast<size_t>(count) * kIndexEntrySize;
  indexTable.reset(new (std::nothrow) RectIndexEntry[count > 0 ? count : 1]);
  std::unique_ptr<uint8_t[]> raw(new (std::nothrow) uint8_t[tableBytes + 1]);
  if (!indexTable || !raw) return Fail(refusal, "not enough memory for its index table");
  size_t got = 0;
  if (!ReadAt(file, kIndexTableOffset, raw.get(), tableBytes, &got)) return false;
  for (int32_t k = 0; k < count; ++k) {
    const uint8_t* entry = raw.get() + static_cast<size_t>(k) * kIndexEntrySize;
    indexTable[k] = {DecodeInt32LE(entry + kRecordOffsetInEntry)};
  }
  rectCount = count;

  StoredTextureTable table;
  const TableRead read = ReadTextureTable(file, table, refusal);
  if (read != TableRead::kRead) return false;
  NoteProtectedRanges(table);
  if (table.count > 0) {  // otherwise a scene without textures
    textureNames = std::move(table.names);
    textureCount = table.count;
  }
  return true;
}

void SceneFile::NoteProtectedRanges(const StoredTextureTable& table) {
  protectedRanges.clear();
  protectedRanges.push_back({0, kIndexTableOffset + static_cast<int64_t>(rectCount) * kIndexEntrySize});
  for (int32_t t = 0; t < table.count; ++t) {
    protectedRanges.push_back({table.nameOffsets[t], static_cast<int64_t>(table.nameOffsets[t]) + kNameSize});
  }
  if (table.count > 0) {
    protectedRanges.push_back(
        {table.nameTableOffset, table.nameTableOffset + 4 * static_cast<int64_t>(table.count)});
  }
  std::sort(protectedRanges.begin(), protectedRanges.end(),
            [](const ByteRange& a, const ByteRange& b) { return a.start < b.start; });
  std::vector<ByteRange> merged;
  for (const ByteRange& range : protectedRanges) {
    if (!merged.empty() && range.start <= merged.back().end) {
      merged.back().end = std::max(merged.back().end, range.end);
    } else {
      merged.push_back(range);
    }
  }
  protectedRanges = std::move(merged);
}

bool SceneFile::OverlapsTables(int64_t start, int64_t size) const {
  // The first range that ends after start is the only one that can overlap.
  const auto range = std::upper_bound(protectedRanges.begin(), protectedRanges.end(), start,
                                      [](int64_t at, const ByteRange& r) { return at < r.end; });
  return range != protectedRanges.end() && range->start < start + size;
}

void SceneFile::Close() {
  rectCount = 0;
  std::memset(fileName, 0, sizeof fileName);
  indexTable.reset();
  textureNames.reset();
  textureCount = 0;
  protectedRanges.clear();
  replaced = false;
  lock.Release();
}

bool SceneFile::Lock(LockMode mode, std::string& why) {
  if (fileName[0] == '\0') return Fail(why, "no scene file is open");
  const LockAttempt attempt = lock.Acquire(fileName, mode, kLockWaitMilliseconds);
  if (attempt == LockAttempt::kBusy) {
    return Fail(why, "scene file " + Quoted(fileName) + " is in use by another program");
  }
  if (attempt == LockAttempt::kFailed) {
    return Fail(why, "cannot lock scene file " + Quoted(fileName) + ": " + ErrorText(errno));
  }
  if (lock.identity() == identity) return true;
  replaced = true;
  return Fail(why, "scene file " + Quoted(fileName) + " was replaced by another file during the run");
}

bool SceneFile::PassesRectGuard(int32_t i, std::string& why) const {
  if (i >= 0 && i < rectCount && fileName[0] != '\0' && indexTable != nullptr) return true;
  return Fail(why, "it is not a rectangle of the scene");
}

bool SceneFile::CannotRead(std::string& why) const {
  return Fail(why, "cannot read scene file " + Quoted(fileName) + ": " + ErrorText(errno));
}

FileHandle SceneFile::Reopen(const char* mode, std::string& why) const {
  if (!replaced) {
    FileHandle file = OpenFileUnbuffered(fileName, mode);
    FileIdentity now;
    if (!file || !PlatformIdentify(file.get(), &now)) return nullptr;
    if (now == identity) return file;
    replaced = true;
  }
  Fail(why, "scene file " + Quoted(fileName) + " was replaced by another file during the run");
  return nullptr;
}

FileHandle SceneFile::OpenForReading(std::string& why) const {
  FileHandle file = Reopen("rb", why);
  if (!file && !replaced) CannotRead(why);
  return file;
}

bool SceneFile::ReadTextureTableAgain(StoredTextureTable& table, std::string& why) const {
  if (fileName[0] == '\0') return Fail(why, "no scene file is open");
  FileHandle file = OpenForReading(why);
  if (!file) return false;
  std::string refusal;
  switch (ReadTextureTable(file.get(), table, refusal)) {
    case TableRead::kRead:
      return true;
    case TableRead::kRefused:
      return Fail(why, "scene file " + Quoted(fileName) + " changed: " + refusal);
    default:
      return CannotRead(why);
  }
}

template <size_t N>
std::array<float, N>* SceneFile::ReadRectFloats(int32_t i, int32_t offsetInRecord,
                                                std::array<float, N>& buffer, std::string& why) {
  if (!PassesRectGuard(i, why)) return nullptr;
  FileHandle file = OpenForReading(why);
  if (!file) return nullptr;
  uint8_t raw[N * 4];
  size_t got = 0;
  // Bytes that the file ends before read as zero; an I/O error is a
  // failure, and the buffer keeps what it held.
  if (!ReadAt(file.get(), static_cast<int64_t>(indexTable[i].recordOffset) + offsetInRecord, raw,
              sizeof raw, &got)) {
    CannotRead(why);
    return nullptr;
  }
  for (size_t k = 0; k < N; ++k) buffer[k] = DecodeFloatLE(raw + 4 * k);
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
  int32_t slotOffset = 0;
  int32_t textureIndex = 0;
  if (!ReadInt32At(file.get(), static_cast<int64_t>(indexTable[i].recordOffset) + kSlotOffsetInRecord,
                   &slotOffset) ||
      !ReadInt32At(file.get(), static_cast<int64_t>(slotOffset) + kTextureIndexInSlot, &textureIndex)) {
    return CannotRead(why);
  }
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
