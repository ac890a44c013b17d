// SceneFile: the one gateway to a ZEM scene file.
//
// Scene file layout. All integers are 32-bit little-endian two's complement,
// all coordinates 32-bit little-endian IEEE 754 floats, all offsets absolute
// byte offsets from the start of the file. Bytes marked "-" are never read or
// written by quadkit and are carried along untouched.
//
//   Header, at offset 0 (52 bytes)
//     0   4  -
//     4   4  textureCount      entries in the texture name offset table
//     8   4  nameTableOffset   offset of the texture name offset table
//    12  16  -
//    28   4  storedCount       number of rectangles plus one (1..20000 accepted)
//    32  20  -
//
//   Rectangle index table, at the fixed offset 52: storedCount - 1 entries of
//   12 bytes; entry k belongs to rectangle k.
//     0   4  -
//     4   4  recordOffset      offset of the rectangle's record
//     8   4  -
//
//   Rectangle record, at recordOffset (at least 220 bytes long)
//     0  28  -
//    28  24  bounds            min x, y, z, max x, y, z (6 floats)
//    52  48  -
//   100  48  corners           corner 0..3, each x, y, z (12 floats)
//   148  24  -
//   172  32  texture coords    corner 0..3, each u, v (8 floats)
//   204  12  -
//   216   4  slotOffset        offset of the texture slot the rectangle uses
//
//   Texture slot, 16 bytes at slotOffset. Slots stand in the order of their
//   textureIndex, so the slot of texture t + d lies d * 16 bytes behind that
//   of texture t.
//     0  12  -
//    12   4  textureIndex      zero-based index into the texture table
//
//   Texture name offset table, at nameTableOffset: textureCount int32 entries,
//   entry t the offset of texture t's name.
//
//   Texture name: exactly 4 bytes of characters; a shorter name is padded
//   with zero bytes.
//
// The object never holds the file open between calls. Open takes a snapshot
// of the index table and the texture names; every other read reopens the file
// by its stored name, reads and closes it again, so it always sees what was
// last written. Bytes that a short file does not supply read as zero.
#ifndef QUADKIT_SCENE_SCENE_FILE_H_
#define QUADKIT_SCENE_SCENE_FILE_H_

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "scene/file_access.h"
#include "scene/messages.h"

// Bounds: min x, y, z, max x, y, z.
using RectBounds = std::array<float, 6>;
// The four corners of a rectangle: corner k's x, y, z at 3k, 3k + 1, 3k + 2.
using RectCoords = std::array<float, 12>;
// The texture coordinates of the four corners: corner k's u, v at 2k, 2k + 1.
using RectTexCoords = std::array<float, 8>;

// Layout constants of the scene file.
namespace scene_layout {
constexpr int32_t kTextureCountOffset = 4;
constexpr int32_t kNameTableOffsetOffset = 8;
constexpr int32_t kStoredCountOffset = 28;
constexpr int32_t kIndexTableOffset = 52;
constexpr int32_t kIndexEntrySize = 12;
constexpr int32_t kRecordOffsetInEntry = 4;
constexpr int32_t kBoundsInRecord = 28;
constexpr int32_t kCornersInRecord = 100;
constexpr int32_t kTexCoordsInRecord = 172;
constexpr int32_t kSlotOffsetInRecord = 216;
constexpr int32_t kMinRecordSize = 220;
constexpr int32_t kSlotSize = 16;
constexpr int32_t kTextureIndexInSlot = 12;
constexpr int32_t kNameSize = 4;
constexpr int32_t kMaxStoredCount = 20000;
constexpr float kBoundsMargin = 256.0f;
constexpr int kMaxPathLength = 255;
}  // namespace scene_layout

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
  int32_t count = 0;                     // as stored; zero or less: no names
  std::unique_ptr<TextureName[]> names;  // count entries when count > 0
};

// Reads the texture count and, for a positive count, every texture's name.
// False, with why filled, when the count cannot fit in the file (each
// texture takes a 4-byte table entry) or its names cannot be allocated.
bool ReadTextureTable(std::FILE* file, StoredTextureTable& table, std::string& why);

// The bounds stored for a rectangle: the corners' extent widened by the
// margin, except that a cleared rectangle (all corners zero) keeps its
// minimum x at zero.
RectBounds ComputeRectBounds(const RectCoords& corners);

// The all-zero test of the Design Workshop format: true when the absolute
// values of the twelve coordinates add up to more than zero; false for all
// zeros (of either sign) and whenever a coordinate is not a number.
bool AbsoluteCornerSumIsPositive(const RectCoords& corners);

class SceneFile {
 public:
  SceneFile();
  virtual ~SceneFile();
  SceneFile(const SceneFile&) = delete;
  SceneFile& operator=(const SceneFile&) = delete;

  // Loads the scene at path. Returns false for a null, empty or over-long
  // path and for a file that cannot be opened (the object is then unchanged),
  // and for a storedCount outside 1..20000, a textureCount that the file
  // cannot hold, or a failed allocation (the object then holds no scene).
  // On false, error says why, naming the file.
  bool Open(const char* path, std::string& error);
  // Releases the scene; safe to call any number of times.
  void Close();

  // Null, or -1, when the rectangle guard fails or the file cannot be read.
  RectCoords* GetRectCoords(int32_t i);
  RectTexCoords* GetRectTexCoords(int32_t i);
  int32_t GetRectOffset(int32_t i) const;
  int32_t GetRectTextureIndex(int32_t i) const;
  const char* GetRectTextureName(int32_t i) const;

  // Rewrites rectangle i's corners, its texture coordinates when texCoords
  // is not null, and its bounds computed from the corners, in one write.
  // False, with why filled and nothing written, when i is out of range,
  // corners is null, the record does not lie whole inside the file or the
  // file cannot be opened for update; false too when the write or the
  // close fails.
  bool UpdateRect(int32_t i, const RectCoords* corners, const RectTexCoords* texCoords,
                  std::string& why);
  // Points rectangle i at the slot of texture newIndex. False, with why
  // filled and nothing written, for an index outside the texture table, or
  // when the slot that the slot order puts there does not carry newIndex.
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
  // Open. False when the file cannot be read or its table no longer fits
  // it; the failure then counts as a failed read (see ReadError).
  bool ReadTextureTableAgain(StoredTextureTable& table) const;
  // Opens the file for update and closes it again, so that a mode that
  // writes learns before it changes anything whether it can; false, with
  // error naming the file and the system's reason, when it cannot.
  bool CheckWritable(std::string& error) const;
  // Why the first read of a rectangle failed since Open, naming the file;
  // empty while every read could open the file.
  const std::string& ReadError() const { return readError; }

 private:
  // 0 <= i < rectCount, a file name is held and the index table is present.
  bool PassesRectGuard(int32_t i) const;
  // False with the reason in why; the caller releases what was created.
  bool LoadSnapshot(std::FILE* file, std::string& why);
  // Reads the floats at offsetInRecord of rectangle i's record into buffer.
  template <size_t N>
  std::array<float, N>* ReadRectFloats(int32_t i, int32_t offsetInRecord,
                                       std::array<float, N>& buffer);
  // Opens the scene file for one read; on failure keeps the first reason.
  FileHandle OpenForReading() const;
  // Keeps why as the reason of the failed reads, unless one is kept already.
  void KeepReadError(const std::string& why) const;
  // "cannot read scene file" with the file's name and errno's text.
  std::string CannotRead() const;
  // True when the reads of file met no error (bytes that the file ends
  // before read as zero); otherwise false, keeping the first reason.
  bool ReadsSucceeded(std::FILE* file) const;
  // Opens the scene file for one update; on failure says why.
  FileHandle OpenForUpdate(std::string& why) const;
  // Closes the file of an update; false, saying why, when the write or the
  // close failed.
  bool FinishUpdate(FileHandle file, bool written, std::string& why) const;

  int32_t rectCount = 0;
  std::unique_ptr<RectIndexEntry[]> indexTable;
  char fileName[scene_layout::kMaxPathLength + 1] = {};
  std::unique_ptr<TextureName[]> textureNames;
  int32_t textureCount = 0;
  RectCoords coordBuffer = {};
  RectTexCoords texCoordBuffer = {};
  mutable std::string readError;
};

// Tells the user of every rectangle that an import or an edit could not
// write, on standard error with its zero-based index and the reason, and
// counts them: the mode then ends as a failure.
class RectWriteFailures {
 public:
  explicit RectWriteFailures(Reporter& reporter) : reporter_(reporter) {}
  void Add(int32_t index, const std::string& why);
  int32_t count() const { return count_; }
  // The mode's reason when count() is not zero.
  std::string Summary(const SceneFile& scene) const;

 private:
  Reporter& reporter_;
  int32_t count_ = 0;
};

#endif  // QUADKIT_SCENE_SCENE_FILE_H_
