// SceneFile: the one gateway to a ZEM scene file (its layout is in
// scene/scene_layout.h).
//
// Open opens the file once and keeps that handle until Close: every read
// and write goes through it, at its offset, and every write reaches the
// file when it is made. Open takes a snapshot of the index table and the
// texture names; at the first read of a rectangle the records and slots
// that the index table points to (or the whole file, when it is small) are
// read in a few large reads, and the rectangle reads are served from
// those bytes, which every write of the object keeps in step with the
// file. Bytes that a short file does not supply read as zero. At the first
// rectangle operation, every 256th after it (once 20 ms have passed since
// the last look) and in EndRun, the object checks that the path still
// names the file it opened.
// Every operation that fails says why in the why its caller hands in.
#ifndef QUADKIT_SCENE_SCENE_FILE_H_
#define QUADKIT_SCENE_SCENE_FILE_H_

#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include <vector>

#include "files/byte_access.h"
#include "files/file_access.h"
#include "files/file_lock.h"
#include "report/reporter.h"
#include "scene/scene_layout.h"

// Bounds: min x, y, z, max x, y, z.
using RectBounds = std::array<float, 6>;
// The four corners of a rectangle: corner k's x, y, z at 3k, 3k + 1, 3k + 2.
using RectCoords = std::array<float, 12>;
// The texture coordinates of the four corners: corner k's u, v at 2k, 2k + 1.
using RectTexCoords = std::array<float, 8>;

// What quadkit keeps of an entry of the rectangle index table.
struct RectIndexEntry {
  int32_t recordOffset;
};

// A texture name: four characters and a terminating zero.
struct TextureName {
  char text[scene_layout::kNameSize + 1];
};

// The texture table as an open scene file stores it.
struct StoredTextureTable {
  int32_t count = 0;                       // as stored; zero or less: no names
  int32_t nameTableOffset = 0;             // where the name offsets stand
  std::unique_ptr<TextureName[]> names;    // count entries when count > 0
  std::unique_ptr<int32_t[]> nameOffsets;  // where each name stands
};

// A range of bytes of the scene file, from start up to end.
struct ByteRange {
  int64_t start;
  int64_t end;
};

// The bounds stored for a rectangle: the corners' extent widened by the
// margin, except that a cleared rectangle (all corners zero) keeps its
// minimum x at zero.
RectBounds ComputeRectBounds(const RectCoords& corners);

// What a rectangle's texture slot says: the texture index stored there,
// and that texture's name, or null when the index is outside the texture
// table.
struct RectTexture {
  int32_t index = -1;
  const char* name = nullptr;
};

// The longest scene path SceneFile keeps, in bytes: a limit of the
// program, not of the scene file's layout.
constexpr int kMaxPathLength = 255;

class SceneFile {
 public:
  SceneFile();
  virtual ~SceneFile();
  SceneFile(const SceneFile&) = delete;
  SceneFile& operator=(const SceneFile&) = delete;

  // Loads the scene at path. Returns false for a null, empty or over-long
  // path and for a file that cannot be opened (the object is then unchanged),
  // and for a read that fails, a storedCount outside 1..20000, a
  // textureCount that the file cannot hold, or a failed allocation (the
  // object then holds no scene).
  bool Open(const char* path, std::string& why);
  // As Open, for a mode that writes the scene: the file is opened for
  // update, so that the run's one open serves its writes too. A file that
  // opens only for reading is loaded all the same, and CheckWritable then
  // reports why it cannot be written.
  bool OpenForUpdate(const char* path, std::string& why);
  // Loads the scene from bytes handed in (memory, in tests and the fuzz
  // targets); name stands for the file's name in messages.
  bool Open(std::unique_ptr<ByteAccess> bytes, const char* name, std::string& why);
  // Releases the scene and its lock; safe to call any number of times.
  void Close();

  // Takes a lock on the scene file that other quadkit runs honour, for the
  // run: shared to read it, exclusive to write it. Waits a few seconds while
  // another run holds a lock that excludes this one, then fails ("in use by
  // another program"); fails too when the file locked is no longer the one
  // Open read.
  bool Lock(LockMode mode, std::string& why);
  // True once a check found another file under the scene's name (an
  // editor that saves by replacing the file): from then on every operation
  // fails at once, and a mode stops.
  bool WasReplaced() const { return replaced; }
  // What a mode calls before its result: false, saying why, when the path
  // no longer names the file opened, or when the close of a file that was
  // written reports a failure. Afterwards the object holds no file open.
  bool EndRun(std::string& why);

  // Null, or -1, when the rectangle guard fails or the file cannot be read;
  // the texture name also for a texture index outside the texture table.
  RectCoords* GetRectCoords(int32_t i, std::string& why);
  RectTexCoords* GetRectTexCoords(int32_t i, std::string& why);
  int32_t GetRectTextureIndex(int32_t i, std::string& why) const;
  const char* GetRectTextureName(int32_t i, std::string& why) const;
  // Reads rectangle i's texture slot. False only when the rectangle guard
  // fails or the file cannot be read: any stored index is an answer, one
  // outside the texture table with a null name.
  bool ReadRectTexture(int32_t i, RectTexture& texture, std::string& why) const;
  // From the snapshot, without reading the file: -1 for an index outside
  // the scene.
  int32_t GetRectOffset(int32_t i) const {
    return i >= 0 && i < rectCount && indexTable ? indexTable[i].recordOffset : -1;
  }

  // Rewrites rectangle i's corners, its texture coordinates when texCoords
  // is not null, and its bounds computed from the corners, in one write.
  // False, with why filled and nothing written, when i is out of range,
  // corners is null, the record does not lie whole inside the file or would
  // overlap the header, the index table, the texture name table or a
  // texture name, or the file cannot be opened for update or read; false
  // too when the write or the close fails (a write that failed half way is
  // undone in the same open).
  bool UpdateRect(int32_t i, const RectCoords* corners, const RectTexCoords* texCoords,
                  std::string& why);
  // Points rectangle i at the slot of texture newIndex. False, with why
  // filled and nothing written, for an index outside the texture table,
  // when the slot that the slot order puts there does not carry newIndex,
  // or when the slot reference would overlap the header or the tables.
  bool SetRectTextureIndex(int32_t i, int32_t newIndex, std::string& why);
  // Assigns the first texture whose name equals name, letter case aside.
  // A name not in the table is warned about through reporter and is no
  // failure.
  bool SetRectTextureByName(int32_t i, const char* name, Reporter& reporter, std::string& why);

  int32_t GetRectCount() const { return rectCount; }
  const char* GetFileName() const { return fileName; }
  int32_t GetTextureCount() const { return textureCount; }
  // Texture t's name, or null when t is outside the texture table.
  const char* GetTextureName(int32_t t) const;
  // Reads the texture table from the file again, not from the snapshot of
  // Open. False when the file cannot be read or its table no longer fits it.
  bool ReadTextureTableAgain(StoredTextureTable& table, std::string& why) const;
  // Opens the file for update, unless Open did, so that a mode that writes
  // learns before it changes anything whether it can.
  bool CheckWritable(std::string& why);

  // For a reader of its own that checks the file: the identity of the file
  // Open read, and the bytes the write-back never writes (the header, the
  // index table, the texture name table and the names), sorted and merged.
  const FileIdentity& GetIdentity() const { return identity; }
  const std::vector<ByteRange>& GetProtectedRanges() const { return protectedRanges; }

 private:
  // 0 <= i < rectCount, a file name is held and the index table is present.
  bool PassesRectGuard(int32_t i, std::string& why) const;
  bool OpenWith(const char* path, bool forUpdate, std::string& why);
  bool Load(std::unique_ptr<ByteAccess> bytes, const char* path, std::string& why);
  // False with the reason in why; the caller releases what was created.
  bool LoadSnapshot(std::string& why);
  // The rectangle guard, then the check of the path when one is due, then
  // the bytes of the records read when they are not yet.
  bool Reach(int32_t i, std::string& why) const;
  bool CheckPath(std::string& why) const;
  bool Replaced(std::string& why) const;
  bool LoadRecords(std::string& why) const;
  struct HeldBytes;
  // The bytes held that hold [offset, offset + size), or hold it up to the
  // end of the file; null when none do.
  const HeldBytes* HeldFor(int64_t offset, size_t size) const;
  bool HeldOverlaps(int64_t start, int64_t end) const;
  // Reads the floats at offsetInRecord of rectangle i's record into buffer.
  template <size_t N>
  std::array<float, N>* ReadRectFloats(int32_t i, int32_t offsetInRecord,
                                       std::array<float, N>& buffer, std::string& why);
  // Zero-fills dst, then reads size bytes at offset into it, from the
  // bytes held when they hold them all; *got says how many the file has.
  // False, with errno set, only for an I/O error.
  bool ReadBytesAt(int64_t offset, uint8_t* dst, size_t size, size_t* got) const;
  bool ReadInt32(int64_t offset, int32_t* value) const;
  // Writes through to the file, and into the bytes held.
  bool WriteBytesAt(int64_t offset, const uint8_t* src, size_t size, size_t* written);
  // "cannot read scene file" with the file's name and errno's text.
  bool CannotRead(std::string& why) const;
  // True when bytes [start, start + size) of the file overlap the header,
  // the index table, the texture name table or a texture name.
  bool OverlapsTables(int64_t start, int64_t size) const;
  // Takes the protected ranges from the snapshot, sorted and merged.
  void NoteProtectedRanges(const StoredTextureTable& table);
  // True when writes reach the file; otherwise false, saying why.
  bool CanWrite(std::string& why);
  // Checks that a span of rectangle i's record lies whole in the file, and
  // reads it: false, with why, for an I/O error or a span that the file
  // does not hold whole (writing it would grow the file).
  bool ReadUpdateSpan(int32_t i, int32_t offsetInRecord, uint8_t* span, size_t size,
                      std::string& why) const;
  // Writes span at offset; false, saying why, when it fails.
  bool WriteUpdateSpan(int64_t offset, const uint8_t* span, const uint8_t* original, size_t size,
                       std::string& why);

  // Storage that a read fills: made without zeroing it first.
  template <typename T>
  struct UnfilledAllocator : std::allocator<T> {
    template <typename U>
    struct rebind {
      using other = UnfilledAllocator<U>;
    };
    UnfilledAllocator() = default;
    template <typename U>
    UnfilledAllocator(const UnfilledAllocator<U>&) noexcept {}
    template <typename U>
    void construct(U* at) noexcept {
      ::new (static_cast<void*>(at)) U;
    }
  };
  using UnfilledBytes = std::vector<uint8_t, UnfilledAllocator<uint8_t>>;
  // Bytes of the file read at once: [start, start + bytes.size()); reachesEnd
  // when the file ends there.
  struct HeldBytes {
    int64_t start;
    bool reachesEnd;
    UnfilledBytes bytes;  // as many as the file delivered
  };

  int32_t rectCount = 0;
  std::unique_ptr<RectIndexEntry[]> indexTable;
  char fileName[kMaxPathLength + 1] = {};
  std::unique_ptr<TextureName[]> textureNames;
  int32_t textureCount = 0;
  RectCoords coordBuffer = {};
  RectTexCoords texCoordBuffer = {};
  std::unique_ptr<ByteAccess> bytes;      // the one open of the file, until Close
  FileIdentity identity;                  // of the file Open opened
  int updateError = 0;                    // why the file did not open for update; 0: it did, or was not asked to
  mutable std::vector<HeldBytes> held;    // sorted by start, not overlapping
  mutable bool loaded = false;
  mutable int32_t untilCheck = 0;         // rectangle operations until the path is checked again
  mutable std::chrono::steady_clock::time_point lastCheck;  // when the path last named the file
  mutable bool lookedAt = false;          // lastCheck holds that time; false after a look that failed
  mutable bool replaced = false;
  std::vector<ByteRange> protectedRanges;  // never written: header and tables
  FileLock lock;
};

#endif  // QUADKIT_SCENE_SCENE_FILE_H_
