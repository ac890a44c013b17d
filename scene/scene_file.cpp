#include "scene/scene_file.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <new>
#include <utility>

#include "files/byte_access.h"
#include "files/file_access.h"
#include "report/failure.h"
#include "files/little_endian.h"

using namespace scene_layout;

namespace {

// How long a run waits for another run's lock on the scene to end.
constexpr int kLockWaitMilliseconds = 5000;
// How many rectangle operations may pass between two checks that the path
// still names the file opened, and how long at least: a look costs a
// system call or two (on Windows an open of the path's attributes), which
// a run of thousands of fast reads would otherwise make every few
// hundred microseconds.
constexpr int32_t kRectsBetweenChecks = 256;
constexpr std::chrono::milliseconds kTimeBetweenChecks{20};
// A file up to this size is read whole at the first rectangle read; a
// larger one only where the index table and the records point.
constexpr int64_t kWholeFileLimit = int64_t{1} << 20;
// Records and slots closer than this are read in one read with the bytes
// between them.
constexpr int64_t kLargestGapRead = 4096;

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
// readInt32(offset, &value) and readBytes(offset, dst, size, &got) read
// the file; size is its size.
template <typename ReadInt32, typename ReadBytes>
TableRead ReadTextureTable(ReadInt32 readInt32, ReadBytes readBytes, int64_t size,
                           StoredTextureTable& table, std::string& refusal) {
  table = StoredTextureTable();
  if (!readInt32(kTextureCountOffset, &table.count)) return TableRead::kIoError;
  if (table.count <= 0) return TableRead::kRead;
  if (!readInt32(kNameTableOffsetOffset, &table.nameTableOffset)) return TableRead::kIoError;

  // Every texture takes at least one 4-byte table entry in the file, so a
  // count beyond a quarter of the file size cannot be real; refusing it
  // keeps a damaged header from sizing a huge allocation and loop.
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
    if (!readInt32(entry, &nameOffset) ||
        !readBytes(nameOffset, reinterpret_cast<uint8_t*>(name.text), kNameSize, &got)) {
      return TableRead::kIoError;
    }
    name.text[kNameSize] = '\0';
  }
  return TableRead::kRead;
}

}  // namespace

SceneFile::SceneFile() = default;

SceneFile::~SceneFile() { Close(); }

bool SceneFile::Open(const char* path, std::string& why) { return OpenWith(path, false, why); }

bool SceneFile::OpenForUpdate(const char* path, std::string& why) { return OpenWith(path, true, why); }

bool SceneFile::OpenWith(const char* path, bool forUpdate, std::string& why) {
  if (path == nullptr || path[0] == '\0') return Fail(why, "no scene file given");
  const std::string quoted = Quoted(path);
  if (std::strlen(path) > static_cast<size_t>(kMaxPathLength)) {
    return Fail(why, "scene file path " + quoted + " is longer than 255 characters");
  }
  std::unique_ptr<ByteAccess> file = forUpdate ? OpenFileBytes(path, true) : nullptr;
  const int notForUpdate = forUpdate && !file ? errno : 0;
  if (!file) file = OpenFileBytes(path, false);
  if (!file) {  // a scene held so far stays held
    return Fail(why, "cannot open scene file " + quoted + ": " + ErrorText(errno));
  }
  if (!Load(std::move(file), path, why)) return false;
  updateError = notForUpdate;
  return true;
}

bool SceneFile::Open(std::unique_ptr<ByteAccess> access, const char* name, std::string& why) {
  if (!access || name == nullptr || name[0] == '\0' || std::strlen(name) > static_cast<size_t>(kMaxPathLength)) {
    return Fail(why, "no scene file given");
  }
  return Load(std::move(access), name, why);
}

bool SceneFile::Load(std::unique_ptr<ByteAccess> access, const char* path, std::string& why) {
  Close();
  bytes = std::move(access);
  identity = bytes->Identity();
  std::memset(fileName, 0, sizeof fileName);
  std::memcpy(fileName, path, std::strlen(path) + 1);
  std::string refusal;
  if (!LoadSnapshot(refusal)) {
    const int reason = errno;
    const std::string quoted = Quoted(path);
    Close();
    if (refusal.empty()) return Fail(why, "cannot read scene file " + quoted + ": " + ErrorText(reason));
    return Fail(why, "scene file " + quoted + " is refused: " + refusal);
  }
  return true;
}

// Reads the index table and the texture names. On false the caller releases
// whatever was created here; refusal is empty when a read failed (errno).
bool SceneFile::LoadSnapshot(std::string& refusal) {
  int32_t storedCount = 0;
  if (!ReadInt32(kStoredCountOffset, &storedCount)) return false;
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
  if (!ReadBytesAt(kIndexTableOffset, raw.get(), tableBytes, &got)) return false;
  // Two entries a step: a step of one entry is made by some compilers into
  // vector stores assembled on the stack, several times slower.
  int32_t k = 0;
  for (; k + 1 < count; k += 2) {
    const uint8_t* entry = raw.get() + static_cast<size_t>(k) * kIndexEntrySize + kRecordOffsetInEntry;
    const int32_t first = DecodeInt32LE(entry);
    const int32_t second = DecodeInt32LE(entry + kIndexEntrySize);
    indexTable[k] = {first};
    indexTable[k + 1] = {second};
  }
  for (; k < count; ++k) {
    indexTable[k] = {DecodeInt32LE(raw.get() + static_cast<size_t>(k) * kIndexEntrySize + kRecordOffsetInEntry)};
  }
  rectCount = count;

  StoredTextureTable table;
  const int64_t size = bytes->Size();
  if (size < 0) return false;
  const TableRead read = ReadTextureTable(
      [this](int64_t at, int32_t* value) { return ReadInt32(at, value); },
      [this](int64_t at, uint8_t* dst, size_t n, size_t* delivered) { return ReadBytesAt(at, dst, n, delivered); },
      size, table, refusal);
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
  held.clear();
  loaded = false;
  untilCheck = 0;
  lookedAt = false;
  updateError = 0;
  if (bytes) bytes->Close();  // a close that matters is checked by EndRun
  bytes.reset();
}

bool SceneFile::Lock(LockMode mode, std::string& why) {
  if (fileName[0] == '\0') return Fail(why, "no scene file is open");
  const LockHandle through = bytes->LockThrough();
  const LockAttempt attempt = through.IsOpen()
                                  ? lock.AcquireThrough(through, mode, kLockWaitMilliseconds)
                                  : lock.Acquire(fileName, mode, kLockWaitMilliseconds);
  if (attempt == LockAttempt::kBusy) {
    return Fail(why, "scene file " + Quoted(fileName) + " is in use by another program");
  }
  if (attempt == LockAttempt::kFailed) {
    return Fail(why, "cannot lock scene file " + Quoted(fileName) + ": " + ErrorText(errno));
  }
  // The lock is on the file opened; the path must still name it.
  untilCheck = 0;
  return CheckPath(why);
}

bool SceneFile::PassesRectGuard(int32_t i, std::string& why) const {
  if (i >= 0 && i < rectCount && fileName[0] != '\0' && indexTable != nullptr) return true;
  return Fail(why, "it is not a rectangle of the scene");
}

bool SceneFile::CannotRead(std::string& why) const {
  return Fail(why, "cannot read scene file " + Quoted(fileName) + ": " + ErrorText(errno));
}

bool SceneFile::Replaced(std::string& why) const {
  replaced = true;
  return Fail(why, "scene file " + Quoted(fileName) + " was replaced by another file during the run");
}

bool SceneFile::CheckPath(std::string& why) const {
  if (replaced) return Replaced(why);
  switch (bytes->NamedBy(fileName)) {
    case PathNaming::kSame:
      untilCheck = kRectsBetweenChecks;
      lastCheck = std::chrono::steady_clock::now();
      lookedAt = true;
      return true;
    case PathNaming::kOther:
      return Replaced(why);
    default:
      // Gone, or the system cannot tell: this operation fails, and the
      // next one looks again.
      untilCheck = 0;
      lookedAt = false;
      return CannotRead(why);
  }
}

bool SceneFile::Reach(int32_t i, std::string& why) const {
  if (!PassesRectGuard(i, why)) return false;
  if (replaced) return Replaced(why);
  if (untilCheck <= 0 && loaded && lookedAt && std::chrono::steady_clock::now() - lastCheck < kTimeBetweenChecks) {
    untilCheck = kRectsBetweenChecks;  // looked a moment ago
  }
  if ((untilCheck <= 0 || !loaded) && !CheckPath(why)) return false;
  --untilCheck;
  return loaded || LoadRecords(why);
}

bool SceneFile::EndRun(std::string& why) {
  if (fileName[0] == '\0' || !bytes) return Fail(why, "no scene file is open");
  untilCheck = 0;
  if (!CheckPath(why)) return false;
  const bool written = bytes->Writable();
  lock.Release();
  if (!bytes->Close() && written) {
    return Fail(why, "cannot write scene file " + Quoted(fileName) + ": " + ErrorText(errno));
  }
  return true;
}

namespace {

// Ranges of the file that the records and slots take, as [start, end).
struct Span {
  int64_t start;
  int64_t end;
};

// Merges sorted spans that lie closer than the gap, which is then read with
// them: a few large reads rather than one per record, and never more than
// the gap beyond what the spans take.
std::vector<Span> Clusters(std::vector<Span> spans) {
  const auto byStart = [](const Span& a, const Span& b) { return a.start < b.start; };
  // Records mostly lie in the order of the index table: then one look
  // suffices.
  if (!std::is_sorted(spans.begin(), spans.end(), byStart)) std::sort(spans.begin(), spans.end(), byStart);
  std::vector<Span> merged;
  for (const Span& span : spans) {
    if (!merged.empty() && span.start <= merged.back().end + kLargestGapRead) {
      merged.back().end = std::max(merged.back().end, span.end);
    } else {
      merged.push_back(span);
    }
  }
  return merged;
}

}  // namespace

const SceneFile::HeldBytes* SceneFile::HeldFor(int64_t offset, size_t size) const {
  // The last part that starts at or before offset is the only one that can
  // hold it.
  auto after = std::upper_bound(held.begin(), held.end(), offset,
                                [](int64_t at, const HeldBytes& part) { return at < part.start; });
  if (after == held.begin()) return nullptr;
  const HeldBytes& part = *(after - 1);
  const int64_t end = part.start + static_cast<int64_t>(part.bytes.size());
  if (offset + static_cast<int64_t>(size) <= end || (part.reachesEnd && offset <= end)) return &part;
  return nullptr;
}

bool SceneFile::HeldOverlaps(int64_t start, int64_t end) const {
  for (const HeldBytes& part : held) {
    if (part.start < end && start < part.start + static_cast<int64_t>(part.bytes.size())) return true;
  }
  return false;
}

bool SceneFile::ReadBytesAt(int64_t offset, uint8_t* dst, size_t size, size_t* got) const {
  *got = 0;
  // A position before the start reaches no byte of the file: zeros.
  if (offset < 0 || !bytes) {
    std::memset(dst, 0, size);
    return true;
  }
  if (const HeldBytes* part = HeldFor(offset, size)) {
    // Held bytes: only what lies past the file's end is zeroed.
    const size_t from = static_cast<size_t>(offset - part->start);
    *got = std::min(size, part->bytes.size() - from);
    if (*got > 0) std::memcpy(dst, part->bytes.data() + from, *got);
    std::memset(dst + *got, 0, size - *got);
    return true;
  }
  // What the read does not deliver is zero, as if dst had been zeroed first.
  const bool read = bytes->ReadAt(offset, dst, size, got);
  const size_t delivered = std::min(*got, size);
  std::memset(dst + delivered, 0, size - delivered);
  return read;
}

bool SceneFile::ReadInt32(int64_t offset, int32_t* value) const {
  uint8_t raw[4];
  size_t got = 0;
  if (!ReadBytesAt(offset, raw, sizeof raw, &got)) return false;
  *value = DecodeInt32LE(raw);
  return true;
}

bool SceneFile::WriteBytesAt(int64_t offset, const uint8_t* src, size_t size, size_t* written) {
  const bool whole = bytes->WriteAt(offset, src, size, written);
  const int reason = errno;
  // The bytes held follow what reached the file, also of a write that
  // fell short.
  for (HeldBytes& part : held) {
    const int64_t start = std::max(offset, part.start);
    const int64_t end = std::min(offset + static_cast<int64_t>(*written),
                                 part.start + static_cast<int64_t>(part.bytes.size()));
    if (start < end) {
      std::memcpy(part.bytes.data() + (start - part.start), src + (start - offset),
                  static_cast<size_t>(end - start));
    }
  }
  errno = reason;
  return whole;
}

bool SceneFile::LoadRecords(std::string& why) const {
  held.clear();
  const int64_t size = bytes->Size();
  if (size < 0) return CannotRead(why);
  auto readHeld = [&](const std::vector<Span>& spans) {
    std::vector<HeldBytes> read;
    for (const Span& span : spans) {
      const int64_t end = std::min(span.end, size);
      if (end <= span.start) continue;
      HeldBytes part = {span.start, end == size, UnfilledBytes(static_cast<size_t>(end - span.start))};
      size_t got = 0;
      if (!bytes->ReadAt(part.start, part.bytes.data(), part.bytes.size(), &got)) return false;
      if (got < part.bytes.size()) {  // the file ended sooner than it said
        part.bytes.resize(got);
        part.reachesEnd = true;
      }
      read.push_back(std::move(part));
    }
    held.insert(held.end(), std::make_move_iterator(read.begin()), std::make_move_iterator(read.end()));
    std::sort(held.begin(), held.end(), [](const HeldBytes& a, const HeldBytes& b) { return a.start < b.start; });
    return true;
  };
  if (size <= kWholeFileLimit) {
    if (!readHeld({{0, size}})) return CannotRead(why);
    loaded = true;
    return true;
  }
  std::vector<Span> records;
  for (int32_t k = 0; k < rectCount; ++k) {
    const int64_t at = indexTable[k].recordOffset;
    if (at >= 0 && at < size) records.push_back({at, at + kMinRecordSize});
  }
  if (!readHeld(Clusters(records))) return CannotRead(why);
  // The slots the records point to, where they are not held yet; a cluster
  // that would overlap held bytes is left to be read when it is needed.
  std::vector<Span> slots;
  for (int32_t k = 0; k < rectCount; ++k) {
    int32_t slot = 0;
    const int64_t at = indexTable[k].recordOffset;
    if (at < 0 || !ReadInt32(at + kSlotOffsetInRecord, &slot)) continue;
    const int64_t field = static_cast<int64_t>(slot) + kTextureIndexInSlot;
    if (slot >= 0 && field < size && HeldFor(field, 4) == nullptr) slots.push_back({field, field + 4});
  }
  std::vector<Span> free;
  for (const Span& cluster : Clusters(slots)) {
    if (!HeldOverlaps(cluster.start, cluster.end)) free.push_back(cluster);
  }
  if (!readHeld(free)) return CannotRead(why);
  loaded = true;
  return true;
}

bool SceneFile::ReadTextureTableAgain(StoredTextureTable& table, std::string& why) const {
  if (fileName[0] == '\0' || !bytes) return Fail(why, "no scene file is open");
  if (!CheckPath(why)) return false;
  const int64_t size = bytes->Size();
  if (size < 0) return CannotRead(why);
  std::string refusal;
  switch (ReadTextureTable(
      [this](int64_t at, int32_t* value) { return ReadInt32(at, value); },
      [this](int64_t at, uint8_t* dst, size_t n, size_t* got) { return ReadBytesAt(at, dst, n, got); },
      size, table, refusal)) {
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
  if (!Reach(i, why)) return nullptr;
  uint8_t raw[N * 4];
  size_t got = 0;
  // Bytes that the file ends before read as zero; an I/O error is a
  // failure, and the buffer keeps what it held.
  if (!ReadBytesAt(static_cast<int64_t>(indexTable[i].recordOffset) + offsetInRecord, raw, sizeof raw,
                   &got)) {
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

bool SceneFile::ReadRectTexture(int32_t i, RectTexture& texture, std::string& why) const {
  if (!Reach(i, why)) return false;
  int32_t slotOffset = 0;
  int32_t textureIndex = 0;
  if (!ReadInt32(static_cast<int64_t>(indexTable[i].recordOffset) + kSlotOffsetInRecord, &slotOffset) ||
      !ReadInt32(static_cast<int64_t>(slotOffset) + kTextureIndexInSlot, &textureIndex)) {
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
