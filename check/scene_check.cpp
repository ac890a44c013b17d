#include "check/scene_check.h"

#include "check/corner_inspector.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <limits>
#include <memory>
#include <new>
#include <type_traits>

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

// Spans in the order of their starts, by position j: keys sorted, or the
// index table read forward or backward when the file keeps its records in
// that order (which then needs no keys at all).
struct KeyOrder {
  const uint64_t* keys;
  int64_t Start(size_t j) const { return StartOf(keys[j]); }
  int32_t Tag(size_t j) const { return TagOf(keys[j]); }
};
template <bool kBackward>
struct TableOrder {
  const SceneFile* scene;
  int32_t count;
  int32_t Tag(size_t j) const {
    return kBackward ? count - 1 - static_cast<int32_t>(j) : static_cast<int32_t>(j);
  }
  int64_t Start(size_t j) const { return scene->GetRectOffset(Tag(j)); }
};

// The first position in [from, to) whose span starts behind limit, or to.
template <class Order>
size_t FirstBehind(const Order& order, size_t from, size_t to, int64_t limit) {
  while (from < to) {
    const size_t middle = from + (to - from) / 2;
    if (order.Start(middle) <= limit) {
      from = middle + 1;
    } else {
      to = middle;
    }
  }
  return from;
}

// Serves spans of one size, sorted by their start, those before last each
// inside the file, in that order: a read fills the window from the span asked for
// over as many of the following spans as fit in it, so that every byte
// between them is read at most once and nothing is read twice but the
// end of a span that a window cut.
template <class Order>
class SpanReader {
 public:
  // window holds kWindowSize bytes; the readers of one check share it.
  SpanReader(ByteAccess& file, const Order& spans, size_t last, size_t spanSize, uint8_t* window)
      : file_(file), spans_(spans), last_(last), spanSize_(static_cast<int64_t>(spanSize)), window_(window) {}

  // Span k's bytes, or null when the read fails (errno set, or the file
  // came to an end before it, as when it was cut short during the run).
  const uint8_t* At(size_t k, bool& cutShort) {
    const int64_t start = spans_.Start(k);
    cutShort = false;
    if (filled_ && start >= windowStart_ && start + spanSize_ <= windowEnd_) {
      return window_ + (start - windowStart_);
    }
    size_t through = 0;
    return Fill(k, through, cutShort);
  }

  // Reads span k and the following spans that fit in the window with it,
  // up to through (not included), and returns where span k's bytes stand;
  // null as At.
  const uint8_t* Fill(size_t k, size_t& through, bool& cutShort) {
    const int64_t start = spans_.Start(k);
    cutShort = false;
    // The spans that end within kWindowSize of start: those that start at
    // most kWindowSize - spanSize_ behind it, whatever their number.
    through = FirstBehind(spans_, k + 1, std::max(last_, k + 1), start + static_cast<int64_t>(kWindowSize) - spanSize_);
    const int64_t end = spans_.Start(through - 1) + spanSize_;
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
  const Order& spans_;
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
      uses.push_back(0);
    }
    ++uses[static_cast<size_t>(entry.id)];
    return entry.id;
  }
  std::vector<uint64_t> keys;  // one per span, tagged with its id
  std::vector<int32_t> uses;   // per span: how many records name it

 private:
  static constexpr size_t kCacheSize = 64;
  struct Entry {
    int64_t slot = -1;
    int32_t id = -1;
  };
  Entry cache_[kCacheSize];
};

// Bit of each kind of damage in a rectangle's marks; the notes follow them.
int BitOf(SceneDamage kind) { return static_cast<int>(kind); }
constexpr uint16_t kDamageBits = (1u << kSceneDamageKinds) - 1;

// Tells which records overlap the bytes the write-back never writes, for
// records that come in ascending order of their start: a range that ends
// before the written fields of one record begin ends before those of
// every later one. The ranges are sorted, merged and disjoint.
class ProtectedWalk {
 public:
  explicit ProtectedWalk(const std::vector<ByteRange>& ranges) : ranges_(ranges) { Advance(0); }
  // Whether the fields an update writes (bounds to texture coordinates,
  // and the slot reference) overlap a range, as the write-back tests them.
  // Most records lie wholly between two ranges: one comparison with the
  // next range's start tells.
  bool Overlaps(int64_t record) {
    const int64_t fieldsStart = record + kBoundsInRecord;
    const int64_t slotEnd = record + kSlotOffsetInRecord + 4;
    if (nextEnd_ <= fieldsStart) Advance(fieldsStart);
    if (nextStart_ >= slotEnd) return false;
    const int64_t fieldsEnd = fieldsStart + kWrittenSpanSize;
    const int64_t slotStart = record + kSlotOffsetInRecord;
    for (size_t k = next_; k < ranges_.size() && ranges_[k].start < slotEnd; ++k) {
      const ByteRange& range = ranges_[k];
      if (range.start < fieldsEnd || range.end > slotStart) return true;
    }
    return false;
  }

 private:
  // Passes the ranges that end at or before at.
  void Advance(int64_t at) {
    while (next_ < ranges_.size() && ranges_[next_].end <= at) ++next_;
    const bool more = next_ < ranges_.size();
    nextStart_ = more ? ranges_[next_].start : std::numeric_limits<int64_t>::max();
    nextEnd_ = more ? ranges_[next_].end : std::numeric_limits<int64_t>::max();
  }

  const std::vector<ByteRange>& ranges_;
  size_t next_ = 0;
  int64_t nextStart_ = 0;  // of range next_, or the largest value past the last
  int64_t nextEnd_ = 0;
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
  uint32_t marked = 0;  // the marks of every rectangle together
  auto markRect = [&marks, &marked](int32_t rect, int bit) {
    marks[static_cast<size_t>(rect)] |= static_cast<uint16_t>(1u << bit);
    marked |= 1u << bit;
  };
  CornerInspector corners;

  // For each record: whether it lies outside the file, whether it
  // overlaps what the write-back never writes (the fields it writes, as it
  // tests them), whether it begins before the end of one that stands
  // before it, and what it holds.
  std::unique_ptr<uint8_t[]> window(new (std::nothrow) uint8_t[kWindowSize]);
  if (!window) return Fail(why, "not enough memory to check scene file " + Quoted(name));
  std::vector<int32_t> slotOf(static_cast<size_t>(rectCount), -1);
  SlotSpans slots;
  ProtectedWalk protectedRanges(scene.GetProtectedRanges());
  int64_t reach = 0;
  int32_t reacher = -1;
  // What every record gets, in the order they stand: its place among the
  // tables and the records before it.
  auto place = [&](int64_t start, int32_t rect) {
    uint16_t mark = 0;
    if (start >= 0 && protectedRanges.Overlaps(start)) mark = 1u << BitOf(SceneDamage::kRecordOverTables);
    if (reacher >= 0 && start < reach) {
      mark |= 1u << BitOf(SceneDamage::kSharedRecord);
      markRect(reacher, BitOf(SceneDamage::kSharedRecord));
    }
    if (reacher < 0 || start + kMinRecordSize > reach) {
      reach = start + kMinRecordSize;
      reacher = rect;
    }
    return mark;
  };
  // The records in order: those that begin before the file form its
  // front and those that end behind it its back; the rest are read, in the
  // same pass, in the order they stand in the file, a window at a time.
  // False when a read fails.
  bool cutShort = false;
  auto walk = [&](const auto& order) {
    const size_t count = static_cast<size_t>(rectCount);
    const size_t first = FirstBehind(order, 0, count, -1);
    const size_t last = FirstBehind(order, 0, count, size - kMinRecordSize);
    auto outside = [&](size_t k) {
      const int32_t rect = order.Tag(k);
      const uint16_t mark = place(order.Start(k), rect) | (1u << BitOf(SceneDamage::kRecordOutsideFile));
      marks[static_cast<size_t>(rect)] |= mark;
      marked |= mark;
    };
    for (size_t k = 0; k < first; ++k) outside(k);
    SpanReader<std::decay_t<decltype(order)>> reader(file, order, last, kMinRecordSize, window.get());
    for (size_t k = first; k < last;) {
      size_t through = 0;
      const int64_t windowStart = order.Start(k);
      const uint8_t* inWindow = reader.Fill(k, through, cutShort);
      if (inWindow == nullptr) return false;
      for (; k < through; ++k) {
        const int64_t start = order.Start(k);
        const int32_t rect = order.Tag(k);
        const uint8_t* record = inWindow + (start - windowStart);
        uint32_t mark = place(start, rect) | corners.Inspect(record);
        const int64_t slot = DecodeInt32LE(record + kSlotOffsetInRecord);
        if (slot >= 0 && slot + kSlotSize <= size) {
          slotOf[static_cast<size_t>(rect)] = slots.IdOf(slot);
        } else {
          mark |= 1u << BitOf(SceneDamage::kSlotOutsideFile);
        }
        marks[static_cast<size_t>(rect)] |= static_cast<uint16_t>(mark);
        marked |= mark;
      }
    }
    for (size_t k = std::max(first, last); k < count; ++k) outside(k);
    return true;
  };
  // Files mostly keep their records in the order of the index table, or in
  // the reverse order: those are walked through the table itself, any
  // other order through keys sorted by the records' starts.
  bool ascending = true;
  bool descending = true;
  for (int32_t i = 1; i < rectCount; ++i) {
    const int32_t before = scene.GetRectOffset(i - 1);
    const int32_t at = scene.GetRectOffset(i);
    ascending = ascending && at >= before;
    descending = descending && at < before;
  }
  bool read = false;
  if (ascending) {
    read = walk(TableOrder<false>{&scene, rectCount});
  } else if (descending) {
    read = walk(TableOrder<true>{&scene, rectCount});
  } else {
    std::vector<uint64_t> records(static_cast<size_t>(rectCount));
    for (int32_t i = 0; i < rectCount; ++i) records[static_cast<size_t>(i)] = KeyOf(scene.GetRectOffset(i), i);
    std::sort(records.begin(), records.end());
    read = walk(KeyOrder{records.data()});
  }
  if (!read) return CannotRead(name, cutShort, why);
  const CornerExtent extent = corners.Extent();
  findings.hasExtent = extent.any;
  std::copy(extent.low, extent.low + 3, findings.low);
  std::copy(extent.high, extent.high + 3, findings.high);

  // The texture slots the records name, in the order they stand in the
  // file: the uses of each slot count for its texture, and only a slot
  // that names none of the table sends the check back over the rectangles.
  std::vector<int32_t> textureOf(slots.keys.size(), -1);
  SortKeys(slots.keys);
  {
    const KeyOrder slotOrder{slots.keys.data()};
    SpanReader<KeyOrder> reader(file, slotOrder, slots.keys.size(), kSlotIndexEnd, window.get());
    for (size_t k = 0; k < slots.keys.size(); ++k) {
      const uint8_t* slot = reader.At(k, cutShort);
      if (slot == nullptr) return CannotRead(name, cutShort, why);
      textureOf[static_cast<size_t>(TagOf(slots.keys[k]))] = DecodeInt32LE(slot + kTextureIndexInSlot);
    }
  }
  bool outsideTable = false;
  for (size_t id = 0; id < textureOf.size(); ++id) {
    const int32_t texture = textureOf[id];
    if (texture < 0 || texture >= findings.textureCount) {
      outsideTable = true;
    } else {
      findings.textureUses[static_cast<size_t>(texture)] += slots.uses[id];
    }
  }
  for (int32_t i = 0; outsideTable && i < rectCount; ++i) {
    const int32_t slot = slotOf[static_cast<size_t>(i)];
    if (slot < 0) continue;
    const int32_t texture = textureOf[static_cast<size_t>(slot)];
    if (texture < 0 || texture >= findings.textureCount) markRect(i, BitOf(SceneDamage::kTextureOutsideTable));
  }

  for (int32_t i = 0; marked != 0 && i < rectCount; ++i) {
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
