#include "check/scene_check.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include "files/byte_access.h"
#include "files/file_access.h"
#include "report/failure.h"
#include "report/messages.h"
#include "files/little_endian.h"
#include "text/text_template.h"

using namespace scene_layout;

namespace {

// The most the check holds of the file at a time.
constexpr size_t kWindowSize = 256 * 1024;
constexpr int32_t kSlotIndexEnd = kTextureIndexInSlot + 4;
// The part of a record that an update rewrites: bounds to texture coordinates.
constexpr int32_t kWrittenSpanSize = kTexCoordsInRecord + 4 * 8 - kBoundsInRecord;

// A span of the file (a record, or a texture slot) and the number it
// belongs to, packed into one sortable key: the start, shifted so that a
// negative one sorts first, above 15 bits of the number (a rectangle index,
// below 20000, or a slot's).
constexpr int kTagBits = 15;
constexpr int64_t kStartBias = int64_t{1} << 31;
uint64_t KeyOf(int64_t start, int32_t tag) {
  return (static_cast<uint64_t>(start + kStartBias) << kTagBits) | static_cast<uint64_t>(tag);
}
int64_t StartOf(uint64_t key) { return static_cast<int64_t>(key >> kTagBits) - kStartBias; }
int32_t TagOf(uint64_t key) { return static_cast<int32_t>(key & ((1u << kTagBits) - 1)); }

// Files mostly keep their records in the order of the index table, or in
// the reverse order; either costs one look.
void SortKeys(std::vector<uint64_t>& keys) {
  if (std::is_sorted(keys.begin(), keys.end())) return;
  if (std::is_sorted(keys.rbegin(), keys.rend())) {
    std::reverse(keys.begin(), keys.end());
    return;
  }
  std::sort(keys.begin(), keys.end());
}

// Serves spans of one size, sorted by their start, those before last each
// inside the file, in that order: a read fills the window from the span asked for
// over as many of the following spans as fit in it, so that every byte
// between them is read at most once and nothing is read twice but the
// end of a span that a window cut.
class SpanReader {
 public:
  // window holds kWindowSize bytes; the readers of one check share it.
  SpanReader(ByteAccess& file, const std::vector<uint64_t>& spans, size_t last, size_t spanSize, uint8_t* window)
      : file_(file), spans_(spans), last_(last), spanSize_(static_cast<int64_t>(spanSize)), window_(window) {}

  // Span k's bytes, or null when the read fails (errno set, or the file
  // came to an end before it, as when it was cut short during the run).
  const uint8_t* At(size_t k, bool& cutShort) {
    const int64_t start = StartOf(spans_[k]);
    cutShort = false;
    if (filled_ && start >= windowStart_ && start + spanSize_ <= windowEnd_) {
      return window_ + (start - windowStart_);
    }
    int64_t end = start + spanSize_;
    for (size_t j = k + 1; j < last_; ++j) {
      const int64_t next = StartOf(spans_[j]) + spanSize_;
      if (next - start > static_cast<int64_t>(kWindowSize)) break;
      end = std::max(end, next);
    }
    size_t got = 0;
    const size_t want = static_cast<size_t>(end - start);
    filled_ = false;
    if (!file_.ReadAt(start, window_, want, &got)) return nullptr;
    if (got != want) {
      cutShort = true;
      return nullptr;
    }
    filled_ = true;
    windowStart_ = start;
    windowEnd_ = end;
    return window_;
  }

 private:
  ByteAccess& file_;
  const std::vector<uint64_t>& spans_;
  size_t last_;
  int64_t spanSize_;
  uint8_t* window_;
  bool filled_ = false;
  int64_t windowStart_ = 0;
  int64_t windowEnd_ = 0;
};

// Which span of the slots each record's slot is, found without a search
// for the common case of few slots shared by many records: a small cache
// by position; a slot it has forgotten gets a second span, which reads the
// same bytes.
class SlotSpans {
 public:
  int32_t IdOf(int64_t slot) {
    Entry& entry = cache_[static_cast<size_t>(slot >> 4) % kCacheSize];
    if (entry.slot != slot) {
      entry = {slot, static_cast<int32_t>(keys.size())};
      keys.push_back(KeyOf(slot, entry.id));
    }
    return entry.id;
  }
  std::vector<uint64_t> keys;  // one per span, tagged with its id

 private:
  static constexpr size_t kCacheSize = 64;
  struct Entry {
    int64_t slot = -1;
    int32_t id = -1;
  };
  Entry cache_[kCacheSize];
};

// Bit of each kind in a rectangle's marks: the damage kinds, then the notes.
int BitOf(SceneDamage kind) { return static_cast<int>(kind); }
int BitOf(SceneNote kind) { return kSceneDamageKinds + static_cast<int>(kind); }
constexpr uint16_t kDamageBits = (1u << kSceneDamageKinds) - 1;

// True when u and v, two edges from one corner, span no area: the sine of
// the angle between them is below a millionth, or one of them has no
// length. The edges of floats, squared and multiplied in doubles, stay
// far inside the range of a double, from the smallest subnormal to the
// largest float.
struct Edge {
  double x, y, z;
};
inline bool Flat(const Edge& u, const Edge& v) {
  const double cx = u.y * v.z - u.z * v.y;
  const double cy = u.z * v.x - u.x * v.z;
  const double cz = u.x * v.y - u.y * v.x;
  const double uu = u.x * u.x + u.y * u.y + u.z * u.z;
  const double vv = v.x * v.x + v.y * v.y + v.z * v.z;
  return cx * cx + cy * cy + cz * cz <= 1e-12 * uu * vv;
}

// A rectangle is drawn as the triangles of corners 0, 1, 2 and 0, 2, 3; it
// has no area when neither has any.
bool HasNoArea(const RectCoords& c) {
  const double x = c[0];
  const double y = c[1];
  const double z = c[2];
  const Edge toCorner2 = {c[6] - x, c[7] - y, c[8] - z};
  if (!Flat({c[3] - x, c[4] - y, c[5] - z}, toCorner2)) return false;
  return Flat(toCorner2, {c[9] - x, c[10] - y, c[11] - z});
}

// The bounds ComputeRectBounds gives corners of finite values whose
// smallest and largest coordinates are lows and highs (all six are zero
// exactly when the rectangle is cleared), from those values:
// the check needs them for the extent anyway, and this runs for every
// rectangle. The corners' order decides at most the sign of a zero, which
// no comparison of bounds sees. The tests check sound scenes whose bounds
// ComputeRectBounds wrote, a cleared rectangle among them.
RectBounds BoundsOf(const float lows[3], const float highs[3], bool cleared) {
  return {cleared ? lows[0] : lows[0] - kBoundsMargin, lows[1] - kBoundsMargin, lows[2] - kBoundsMargin,
          highs[0] + kBoundsMargin, highs[1] + kBoundsMargin, highs[2] + kBoundsMargin};
}

// What one record says: its corners against its bounds, the notes, the
// extent, and where its texture slot stands.
class RecordInspector {
 public:
  RecordInspector(SceneFindings& findings, std::vector<uint16_t>& marks, int64_t fileSize)
      : findings_(findings), marks_(marks), fileSize_(fileSize) {
    for (int axis = 0; axis < 3; ++axis) {
      findings_.low[axis] = std::numeric_limits<float>::infinity();
      findings_.high[axis] = -std::numeric_limits<float>::infinity();
    }
  }

  // Returns where the record's texture slot stands, or -1 when it is not
  // whole inside the file.
  int64_t Inspect(const uint8_t* record, int32_t rect) {
    // Written without branches where it can be: this runs for every
    // rectangle, and most are sound.
    RectCoords corners;
    uint32_t bits[12];
    for (size_t k = 0; k < corners.size(); ++k) bits[k] = DecodeUint32LE(record + kCornersInRecord + 4 * k);
    static_assert(sizeof bits == sizeof corners, "twelve 32-bit corner values");
    std::memcpy(corners.data(), bits, sizeof bits);  // the decoded bits as floats
    // Two values at a time: an exponent of all ones (NaN or infinity)
    // carries into the value's top bit, and a value without its sign bit is
    // zero only for a zero.
    uint64_t special = 0;
    uint64_t nonZero = 0;
    for (size_t k = 0; k < 12; k += 2) {
      const uint64_t pair = bits[k] | (static_cast<uint64_t>(bits[k + 1]) << 32);
      special |= (pair & 0x7F8000007F800000u) + 0x0080000000800000u;
      nonZero |= pair & 0x7FFFFFFF7FFFFFFFu;
    }
    if ((special & 0x8000000080000000u) == 0) {
      float lows[3];
      float highs[3];
      for (size_t axis = 0; axis < 3; ++axis) {
        lows[axis] = std::min(std::min(corners[axis], corners[3 + axis]), std::min(corners[6 + axis], corners[9 + axis]));
        highs[axis] = std::max(std::max(corners[axis], corners[3 + axis]), std::max(corners[6 + axis], corners[9 + axis]));
        findings_.low[axis] = std::min(findings_.low[axis], lows[axis]);
        findings_.high[axis] = std::max(findings_.high[axis], highs[axis]);
      }
      findings_.hasExtent = true;
      const RectBounds computed = BoundsOf(lows, highs, nonZero == 0);
      uint32_t differ = 0;
      for (size_t k = 0; k < computed.size(); ++k) {
        differ |= static_cast<uint32_t>(!(DecodeFloatLE(record + kBoundsInRecord + 4 * k) == computed[k]));
      }
      if (differ != 0) Mark(rect, BitOf(SceneDamage::kBoundsDiffer));
      if (nonZero == 0) {
        Mark(rect, BitOf(SceneNote::kCleared));
      } else if (HasNoArea(corners)) {
        Mark(rect, BitOf(SceneNote::kNoArea));
      }
    } else {
      // Its bounds cannot be recomputed; its finite corners still count.
      Mark(rect, BitOf(SceneDamage::kCornerNotFinite));
      for (size_t k = 0; k < corners.size(); ++k) {
        if (!std::isfinite(corners[k])) continue;
        findings_.low[k % 3] = std::min(findings_.low[k % 3], corners[k]);
        findings_.high[k % 3] = std::max(findings_.high[k % 3], corners[k]);
        findings_.hasExtent = true;
      }
    }
    const int64_t slot = DecodeInt32LE(record + kSlotOffsetInRecord);
    if (slot >= 0 && slot + kSlotSize <= fileSize_) return slot;
    Mark(rect, BitOf(SceneDamage::kSlotOutsideFile));
    return -1;
  }

  void Mark(int32_t rect, int bit) { marks_[static_cast<size_t>(rect)] |= static_cast<uint16_t>(1u << bit); }

 private:
  SceneFindings& findings_;
  std::vector<uint16_t>& marks_;
  int64_t fileSize_;
};

// Tells which records overlap the bytes the write-back never writes, for
// records that come in ascending order of their start: a range that ends
// before the written fields of one record begin ends before those of
// every later one. The ranges are sorted, merged and disjoint.
class ProtectedWalk {
 public:
  explicit ProtectedWalk(const std::vector<ByteRange>& ranges) : ranges_(ranges) {}
  // Whether the fields an update writes (bounds to texture coordinates,
  // and the slot reference) overlap a range, as the write-back tests them.
  bool Overlaps(int64_t record) {
    const int64_t fieldsStart = record + kBoundsInRecord;
    const int64_t fieldsEnd = fieldsStart + kWrittenSpanSize;
    const int64_t slotStart = record + kSlotOffsetInRecord;
    const int64_t slotEnd = slotStart + 4;
    while (next_ < ranges_.size() && ranges_[next_].end <= fieldsStart) ++next_;
    for (size_t k = next_; k < ranges_.size() && ranges_[k].start < slotEnd; ++k) {
      const ByteRange& range = ranges_[k];
      if (range.start < fieldsEnd || range.end > slotStart) return true;
    }
    return false;
  }

 private:
  const std::vector<ByteRange>& ranges_;
  size_t next_ = 0;
};

bool CannotRead(const char* name, bool cutShort, std::string& why) {
  if (cutShort) return Fail(why, "scene file " + Quoted(name) + " became shorter during the run");
  return Fail(why, "cannot read scene file " + Quoted(name) + ": " + ErrorText(errno));
}

void Count(RectTally& tally, int32_t rect) {
  ++tally.count;
  if (tally.first.size() < kListedRects) tally.first.push_back(rect);
}

// "3, 17, 20", and ", ..." when the tally has more than it lists.
std::string ListOf(const RectTally& tally) {
  std::string text;
  for (int32_t rect : tally.first) text += (text.empty() ? "" : ", ") + std::to_string(rect);
  if (static_cast<size_t>(tally.count) > tally.first.size()) text += ", ...";
  return text;
}

}  // namespace

int SceneFindings::DamageKindsFound() const {
  int kinds = 0;
  for (const RectTally& tally : damage) kinds += tally.count > 0 ? 1 : 0;
  return kinds;
}

bool InspectScene(const SceneFile& scene, ByteAccess& file, SceneFindings& findings, std::string& why) {
  findings = SceneFindings();
  const char* name = scene.GetFileName();
  if (name[0] == '\0') return Fail(why, "no scene file is open");
  if (file.Identity() != scene.GetIdentity()) {
    return Fail(why, "scene file " + Quoted(name) + " was replaced by another file during the run");
  }
  const int64_t size = file.Size();
  if (size < 0) return CannotRead(name, false, why);

  const int32_t rectCount = scene.GetRectCount();
  findings.rectCount = rectCount;
  findings.textureCount = scene.GetTextureCount();
  findings.fileSize = size;
  findings.textureUses.assign(static_cast<size_t>(std::max(0, findings.textureCount)), 0);
  std::vector<uint16_t> marks(static_cast<size_t>(rectCount), 0);
  RecordInspector inspector(findings, marks, size);

  // For each record: whether it lies outside the file, whether it
  // overlaps what the write-back never writes (the fields it writes, as it
  // tests them), whether it begins before the end of one that stands
  // before it, and what it holds.
  std::vector<uint64_t> records;
  records.reserve(static_cast<size_t>(rectCount));
  for (int32_t i = 0; i < rectCount; ++i) records.push_back(KeyOf(scene.GetRectOffset(i), i));
  SortKeys(records);
  // Sorted by their start, the records that begin before the file form
  // its front and those that end behind it its back; the rest are read, in
  // the same pass, in the order they stand in the file.
  const size_t first = static_cast<size_t>(
      std::lower_bound(records.begin(), records.end(), KeyOf(0, 0)) - records.begin());
  const size_t last = static_cast<size_t>(
      std::lower_bound(records.begin(), records.end(), KeyOf(size - kMinRecordSize + 1, 0)) - records.begin());
  std::unique_ptr<uint8_t[]> window(new (std::nothrow) uint8_t[kWindowSize]);
  if (!window) return Fail(why, "not enough memory to check scene file " + Quoted(name));
  std::vector<int32_t> slotOf(static_cast<size_t>(rectCount), -1);
  SlotSpans slots;
  {
    ProtectedWalk protectedRanges(scene.GetProtectedRanges());
    SpanReader reader(file, records, last, kMinRecordSize, window.get());
    bool cutShort = false;
    int64_t reach = 0;
    int32_t reacher = -1;
    for (size_t k = 0; k < records.size(); ++k) {
      const int64_t start = StartOf(records[k]);
      const int32_t rect = TagOf(records[k]);
      if (start >= 0 && protectedRanges.Overlaps(start)) {
        inspector.Mark(rect, BitOf(SceneDamage::kRecordOverTables));
      }
      if (reacher >= 0 && start < reach) {
        inspector.Mark(rect, BitOf(SceneDamage::kSharedRecord));
        inspector.Mark(reacher, BitOf(SceneDamage::kSharedRecord));
      }
      if (reacher < 0 || start + kMinRecordSize > reach) {
        reach = start + kMinRecordSize;
        reacher = rect;
      }
      if (k < first || k >= last) {
        inspector.Mark(rect, BitOf(SceneDamage::kRecordOutsideFile));
        continue;
      }
      const uint8_t* record = reader.At(k, cutShort);
      if (record == nullptr) return CannotRead(name, cutShort, why);
      const int64_t slot = inspector.Inspect(record, rect);
      if (slot >= 0) slotOf[static_cast<size_t>(rect)] = slots.IdOf(slot);
    }
  }

  // The texture slots the records name, in the order they stand in the file.
  std::vector<int32_t> textureOf(slots.keys.size(), -1);
  SortKeys(slots.keys);
  {
    SpanReader reader(file, slots.keys, slots.keys.size(), kSlotIndexEnd, window.get());
    bool cutShort = false;
    for (size_t k = 0; k < slots.keys.size(); ++k) {
      const uint8_t* slot = reader.At(k, cutShort);
      if (slot == nullptr) return CannotRead(name, cutShort, why);
      textureOf[static_cast<size_t>(TagOf(slots.keys[k]))] = DecodeInt32LE(slot + kTextureIndexInSlot);
    }
  }
  for (int32_t i = 0; i < rectCount; ++i) {
    const int32_t slot = slotOf[static_cast<size_t>(i)];
    if (slot < 0) continue;
    const int32_t texture = textureOf[static_cast<size_t>(slot)];
    if (texture < 0 || texture >= findings.textureCount) {
      inspector.Mark(i, BitOf(SceneDamage::kTextureOutsideTable));
    } else {
      ++findings.textureUses[static_cast<size_t>(texture)];
    }
  }

  for (int32_t i = 0; i < rectCount; ++i) {
    const uint16_t mark = marks[static_cast<size_t>(i)];
    if (mark == 0) continue;
    for (int kind = 0; kind < kSceneDamageKinds; ++kind) {
      if (mark & (1u << kind)) Count(findings.damage[kind], i);
    }
    for (int kind = 0; kind < kSceneNoteKinds; ++kind) {
      if (mark & (1u << (kSceneDamageKinds + kind))) Count(findings.notes[kind], i);
    }
    if (mark & kDamageBits) ++findings.damagedRects;
  }
  return true;
}

int32_t CheckScene(const char* scenePath, Reporter& reporter, std::string& why) {
  SceneFile scene;
  if (!scene.Open(scenePath, why)) return kModeFailed;
  // The check reads through an open of its own, which must reach the file
  // that the run's open read.
  const char* name = scene.GetFileName();
  const std::unique_ptr<ByteAccess> file = OpenFileBytes(name, false);
  if (!file) {
    Fail(why, "cannot open scene file " + Quoted(name) + ": " + ErrorText(errno));
    return kModeFailed;
  }
  return CheckOpenScene(scene, *file, reporter, why);
}

int32_t CheckOpenScene(const SceneFile& scene, ByteAccess& file, Reporter& reporter, std::string& why) {
  using namespace messages;
  SceneFindings findings;
  if (!InspectScene(scene, file, findings, why)) return kModeFailed;
  const char* scenePath = scene.GetFileName();

  std::string text;
  AppendTemplate(text, kCheckRects, findings.rectCount);
  AppendTemplate(text, kCheckTextures, findings.textureCount);
  AppendTemplate(text, kCheckFileSize, findings.fileSize);
  if (findings.hasExtent) {
    AppendTemplate(text, kCheckExtent, findings.low[0], findings.high[0], findings.low[1], findings.high[1],
                   findings.low[2], findings.high[2]);
  } else {
    text += kCheckNoExtent;
  }
  for (int32_t t = 0; t < findings.textureCount; ++t) {
    AppendTemplate(text, kCheckTextureUse, t, findings.textureUses[static_cast<size_t>(t)],
                   scene.GetTextureName(t));
  }
  struct Line {
    const RectTally& tally;
    const TextTemplate<IntValue, TextValue>* line;
  };
  const Line lines[] = {
      {findings.Of(SceneDamage::kRecordOutsideFile), &kCheckRecordOutside},
      {findings.Of(SceneDamage::kRecordOverTables), &kCheckRecordOverTables},
      {findings.Of(SceneDamage::kSharedRecord), &kCheckSharedRecord},
      {findings.Of(SceneDamage::kSlotOutsideFile), &kCheckSlotOutside},
      {findings.Of(SceneDamage::kTextureOutsideTable), &kCheckTextureOutside},
      {findings.Of(SceneDamage::kCornerNotFinite), &kCheckCornerNotFinite},
      {findings.Of(SceneDamage::kBoundsDiffer), nullptr},
      {findings.Of(SceneNote::kCleared), &kCheckCleared},
      {findings.Of(SceneNote::kNoArea), &kCheckNoArea},
  };
  for (const Line& line : lines) {
    if (line.tally.count == 0) continue;
    if (line.line != nullptr) {
      AppendTemplate(text, *line.line, line.tally.count, ListOf(line.tally));
    } else {
      AppendTemplate(text, kCheckBoundsDiffer, line.tally.count, ListOf(line.tally), scenePath);
    }
  }
  if (findings.damagedRects == 0) text += kCheckSound;
  reporter.Say(text);

  if (findings.damagedRects == 0) return 0;
  const int kinds = findings.DamageKindsFound();
  Fail(why, "scene file " + Quoted(scenePath) + " has " + std::to_string(kinds) +
                (kinds == 1 ? " kind" : " kinds") + " of damage in " + std::to_string(findings.damagedRects) +
                " of its " + std::to_string(findings.rectCount) + " rectangles");
  return kModeFailed;
}
