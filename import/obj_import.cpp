#include "import/obj_import.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "import/text_import.h"
#include "report/failure.h"
#include "report/messages.h"
#include "text/text_rules.h"
#include "text/text_template.h"
#include "formats/texture_name_codec.h"

namespace {

// A run of bytes inside the file image; it owns nothing.
struct TextSpan {
  const char* begin = nullptr;
  size_t length = 0;
  const char* end() const { return begin + length; }
  std::string ToString() const { return std::string(begin, length); }
};

bool SameText(const TextSpan& a, const TextSpan& b) {
  return a.length == b.length && (a.length == 0 || std::memcmp(a.begin, b.begin, a.length) == 0);
}

bool SpanIs(const TextSpan& span, const char* word) {
  return span.length == std::strlen(word) && std::memcmp(span.begin, word, span.length) == 0;
}

// Takes the next word (a run without white space) of rest and moves rest
// behind it; false when rest holds no more words.
bool TakeWord(TextSpan& rest, TextSpan& word) {
  const char* p = rest.begin;
  const char* const end = rest.end();
  while (p < end && IsScanSpace(*p)) ++p;
  const char* const start = p;
  while (p < end && !IsScanSpace(*p)) ++p;
  rest = {p, static_cast<size_t>(end - p)};
  word = {start, static_cast<size_t>(p - start)};
  return word.length > 0;
}

// Walks the text line by line; a line comes without its line feed.
class LineWalker {
 public:
  LineWalker(const char* text, size_t size) : text_(text), size_(size) {}
  bool Next(TextSpan& line) {
    if (position_ >= size_) return false;
    const char* const start = text_ + position_;
    const void* const feed = std::memchr(start, '\n', size_ - position_);
    const size_t length =
        feed != nullptr ? static_cast<size_t>(static_cast<const char*>(feed) - start) : size_ - position_;
    position_ += length + 1;
    ++lineNumber_;
    line = {start, length};
    return true;
  }
  int64_t lineNumber() const { return lineNumber_; }

 private:
  const char* text_;
  size_t size_;
  size_t position_ = 0;
  int64_t lineNumber_ = 0;
};

bool IsTextLine(const TextSpan& line) {
  for (const char* p = line.begin; p < line.end(); ++p) {
    const unsigned char u = static_cast<unsigned char>(*p);
    if ((u < 0x20 && !IsScanSpace(*p)) || u == 0x7F) return false;
  }
  return true;
}

enum class Statement { kOther, kPosition, kTexCoord, kNormal, kFace, kObject, kGroup, kMaterial };

// What a line states, by its first word, which it takes off the line;
// kOther for a blank line, a comment and anything not read.
Statement TakeStatement(TextSpan& line) {
  TextSpan keyword;
  if (!TakeWord(line, keyword)) return Statement::kOther;
  static const struct {
    const char* word;
    Statement statement;
  } kKeywords[] = {{"v", Statement::kPosition}, {"vt", Statement::kTexCoord},
                   {"vn", Statement::kNormal},  {"f", Statement::kFace},
                   {"o", Statement::kObject},   {"g", Statement::kGroup},
                   {"usemtl", Statement::kMaterial}};
  for (const auto& entry : kKeywords) {
    if (SpanIs(keyword, entry.word)) return entry.statement;
  }
  return Statement::kOther;
}

// What a first pass learns of the file before anything is kept or written.
struct ObjSurvey {
  int64_t notTextLine = 0;  // the first line holding a control byte, or 0
  size_t positions = 0;
  size_t texCoords = 0;
  size_t objectLines = 0;
  size_t groupLines = 0;
};

ObjSurvey SurveyObj(const char* text, size_t size) {
  ObjSurvey survey;
  LineWalker lines(text, size);
  TextSpan line;
  while (lines.Next(line)) {
    if (!IsTextLine(line)) {
      survey.notTextLine = lines.lineNumber();
      return survey;
    }
    switch (TakeStatement(line)) {
      case Statement::kPosition: ++survey.positions; break;
      case Statement::kTexCoord: ++survey.texCoords; break;
      case Statement::kObject: ++survey.objectLines; break;
      case Statement::kGroup: ++survey.groupLines; break;
      default: break;
    }
  }
  return survey;
}

// The rows of one kind of vertex statement, width floats each, in one
// block whose size the survey counted.
class FloatRows {
 public:
  explicit FloatRows(size_t width) : width_(width) {}
  bool Reserve(size_t rows) {
    if (rows > SIZE_MAX / sizeof(float) / width_) return false;
    values_.reset(new (std::nothrow) float[rows * width_]);
    capacity_ = rows;
    return values_ != nullptr;
  }
  // Reads the numbers after the keyword; a missing number is 0.
  void Add(TextSpan rest) {
    if (rows_ >= capacity_) return;
    float* const row = values_.get() + rows_ * width_;
    for (size_t k = 0; k < width_; ++k) {
      TextSpan word;
      row[k] = 0.0f;
      // The image ends with a zero byte, so the scan stops inside it; a
      // word starts with no white space, so the scan cannot run on into
      // the next line.
      if (TakeWord(rest, word)) ScanFloat(word.begin, &row[k]);
    }
    ++rows_;
  }
  int64_t rows() const { return static_cast<int64_t>(rows_); }
  const float* Row(int64_t k) const { return values_.get() + static_cast<size_t>(k) * width_; }

 private:
  size_t width_;
  std::unique_ptr<float[]> values_;
  size_t capacity_ = 0;
  size_t rows_ = 0;
};

// An OBJ index (1-based, or negative counting back from the last element)
// in [begin, end) as a 0-based index into count elements; -1 when it is no
// number or names none of them.
int64_t ResolveIndex(const char* begin, const char* end, int64_t count) {
  const char* p = begin;
  const bool negative = p < end && *p == '-';
  if (p < end && (*p == '+' || *p == '-')) ++p;
  if (p == end) return -1;
  int64_t value = 0;
  for (; p < end; ++p) {
    if (*p < '0' || *p > '9') return -1;
    if (value <= count) value = value * 10 + (*p - '0');  // beyond count it names nothing anyway
  }
  if (value == 0 || value > count) return -1;
  return negative ? count - value : value - 1;
}

struct VertexCounts {
  int64_t positions;
  int64_t texCoords;
  int64_t normals;
};

// Resolves one face reference (a, a/b, a//c, a/b/c); false when an index
// in it names nothing.
bool ResolveCorner(const TextSpan& ref, const VertexCounts& counts, ObjCorner& corner) {
  const char* const end = ref.end();
  const char* const slash1 = std::find(ref.begin, end, '/');
  corner.position = ResolveIndex(ref.begin, slash1, counts.positions);
  corner.texCoord = -1;
  bool resolved = corner.position >= 0;
  if (slash1 != end) {
    const char* const slash2 = std::find(slash1 + 1, end, '/');
    if (slash2 > slash1 + 1) {
      corner.texCoord = ResolveIndex(slash1 + 1, slash2, counts.texCoords);
      resolved = resolved && corner.texCoord >= 0;
    }
    if (slash2 != end) resolved = resolved && ResolveIndex(slash2 + 1, end, counts.normals) >= 0;
  }
  return resolved;
}

// As much of a face as a quad or a triangle needs, with its full size.
struct FaceSeen {
  int64_t cornerCount = 0;
  ObjCorner corners[4] = {};
  TextSpan material;  // the object's usemtl in effect at the face; empty when none
};

// The object being read: everything kept of it is of a fixed size.
struct ObjectSeen {
  bool open = false;
  TextSpan name;
  int64_t line = 0;
  int64_t faceCount = 0;
  FaceSeen faces[2];
  TextSpan material;      // its last usemtl word; empty when it has none
  TextSpan badReference;  // its first face reference that names nothing
};

bool HasDistinctPositions(const ObjCorner (&triangle)[3]) {
  return triangle[0].position != triangle[1].position && triangle[1].position != triangle[2].position &&
         triangle[0].position != triangle[2].position;
}

int IndexOfPosition(const ObjCorner (&triangle)[3], int64_t position) {
  for (int k = 0; k < 3; ++k) {
    if (triangle[k].position == position) return k;
  }
  return -1;
}

// Reads one file's statements in order and applies each object when it
// ends.
class ObjReader {
 public:
  ObjReader(SceneFile& scene, Reporter& reporter, RectWriteFailures& failures, Statement objectStatement)
      : scene_(scene), reporter_(reporter), failures_(failures), objectStatement_(objectStatement) {}

  bool Reserve(const ObjSurvey& survey) {
    const size_t rects = static_cast<size_t>(std::max(scene_.GetRectCount(), 0));
    appliedAt_.reset(new (std::nothrow) int64_t[rects]());
    return appliedAt_ != nullptr && positions_.Reserve(survey.positions) &&
           texCoords_.Reserve(survey.texCoords);
  }

  void Read(const char* text, size_t size) {
    LineWalker lines(text, size);
    TextSpan line;
    while (lines.Next(line)) TakeLine(line, lines.lineNumber());
    FinishObject();
  }

  int32_t imported() const { return imported_; }

 private:
  void TakeLine(TextSpan rest, int64_t lineNumber) {
    const Statement statement = TakeStatement(rest);
    TextSpan word;
    switch (statement) {
      case Statement::kPosition: positions_.Add(rest); return;
      case Statement::kTexCoord: texCoords_.Add(rest); return;
      case Statement::kNormal: ++normals_; return;
      case Statement::kFace:
        if (object_.open) AddFace(rest);
        return;
      case Statement::kMaterial:
        if (object_.open && TakeWord(rest, word)) object_.material = word;
        return;
      default:
        if (statement != objectStatement_) return;
        FinishObject();
        object_ = ObjectSeen();
        object_.open = true;
        TakeWord(rest, object_.name);
        object_.line = lineNumber;
    }
  }

  void AddFace(TextSpan rest) {
    FaceSeen* const face = object_.faceCount < 2 ? &object_.faces[object_.faceCount] : nullptr;
    ++object_.faceCount;
    if (face != nullptr) face->material = object_.material;
    const VertexCounts counts = {positions_.rows(), texCoords_.rows(), normals_};
    TextSpan ref;
    while (TakeWord(rest, ref)) {
      ObjCorner corner;
      if (!ResolveCorner(ref, counts, corner) && object_.badReference.length == 0) {
        object_.badReference = ref;
      }
      if (face == nullptr) continue;
      if (face->cornerCount < 4) face->corners[face->cornerCount] = corner;
      ++face->cornerCount;
    }
  }

  void FinishObject() {
    if (!object_.open) return;
    object_.open = false;
    if (ApplyObject()) ++imported_;
  }

  // Warns about the object; always false.
  bool Skip(const std::string& what) {
    reporter_.Say(FillTemplate(messages::kObjectSkipped, object_.line, object_.name.ToString(), what));
    return false;
  }

  // False when the object was skipped with a warning.
  bool ApplyObject() {
    const int32_t i = RectIndexOfObjectName(object_.name.begin, object_.name.length, scene_.GetRectCount());
    if (i < 0) return Skip(messages::kObjectNamesNoRect);
    if (appliedAt_[i] != 0) return Skip(FillTemplate(messages::kObjectNamesAppliedRect, appliedAt_[i]));
    ObjCorner quad[4];
    if (!TakeQuad(quad)) return false;
    appliedAt_[i] = object_.line;

    RectCoords corners;
    RectTexCoords texCoords;
    bool allTexCoords = true;
    for (int k = 0; k < 4; ++k) {
      std::copy_n(positions_.Row(quad[k].position), 3, &corners[3 * k]);
      allTexCoords = allTexCoords && quad[k].texCoord >= 0;
      if (quad[k].texCoord >= 0) std::copy_n(texCoords_.Row(quad[k].texCoord), 2, &texCoords[2 * k]);
    }
    reporter_.Say(FillTemplate(messages::kListingProgress, object_.name.ToString(), ShownCornersOffset(scene_, i)));
    std::string why;
    if (!scene_.UpdateRect(i, &corners, allTexCoords ? &texCoords : nullptr, why)) failures_.Add(i, why);
    if (object_.material.length > 0 &&
        !scene_.SetRectTextureByName(i, DecodeTextureWord(object_.material.ToString()).c_str(), reporter_,
                                     why)) {
      failures_.Add(i, why);
    }
    return true;
  }

  // The object's quad: its one face of four corners, or its two triangles
  // rebuilt into one; false when it has neither, with a warning.
  bool TakeQuad(ObjCorner (&quad)[4]) {
    const FaceSeen(&faces)[2] = object_.faces;
    const bool twoTriangles = object_.faceCount == 2 && faces[0].cornerCount == 3 && faces[1].cornerCount == 3;
    if (object_.faceCount != 1 && !twoTriangles) {
      return Skip(FillTemplate(messages::kObjectFaceCount, object_.faceCount));
    }
    if (!twoTriangles && faces[0].cornerCount != 4) {
      return Skip(FillTemplate(messages::kObjectCornerCount, faces[0].cornerCount));
    }
    if (object_.badReference.length > 0) {
      return Skip(FillTemplate(messages::kObjectBadReference, object_.badReference.ToString()));
    }
    if (!twoTriangles) {
      std::copy_n(faces[0].corners, 4, quad);
      return true;
    }
    if (!SameText(faces[0].material, faces[1].material)) return Skip(messages::kObjectTrianglesTwoMaterials);
    ObjCorner first[3];
    ObjCorner second[3];
    std::copy_n(faces[0].corners, 3, first);
    std::copy_n(faces[1].corners, 3, second);
    if (!QuadFromTriangles(first, second, quad)) return Skip(messages::kObjectTrianglesNoQuad);
    if (!SharedCornersAgree(first, second)) return Skip(messages::kObjectTrianglesTwoTexCoords);
    return true;
  }

  // True when every corner the triangles share has the same texture
  // coordinates (or none) in both.
  bool SharedCornersAgree(const ObjCorner (&first)[3], const ObjCorner (&second)[3]) const {
    for (const ObjCorner& corner : second) {
      const int k = IndexOfPosition(first, corner.position);
      if (k < 0) continue;
      const int64_t a = first[k].texCoord;
      const int64_t b = corner.texCoord;
      if ((a < 0) != (b < 0)) return false;
      if (a >= 0 && a != b && std::memcmp(texCoords_.Row(a), texCoords_.Row(b), 2 * sizeof(float)) != 0) {
        return false;
      }
    }
    return true;
  }

  SceneFile& scene_;
  Reporter& reporter_;
  RectWriteFailures& failures_;
  const Statement objectStatement_;
  FloatRows positions_{3};
  FloatRows texCoords_{2};
  int64_t normals_ = 0;
  std::unique_ptr<int64_t[]> appliedAt_;  // per rectangle: the line of the object applied to it, or 0
  ObjectSeen object_;
  int32_t imported_ = 0;
};

}  // namespace

bool QuadFromTriangles(const ObjCorner (&first)[3], const ObjCorner (&second)[3], ObjCorner (&quad)[4]) {
  if (!HasDistinctPositions(first) || !HasDistinctPositions(second)) return false;
  int lone = -1;  // the corner of the first triangle that the second lacks
  for (int k = 0; k < 3; ++k) {
    if (IndexOfPosition(second, first[k].position) >= 0) continue;
    if (lone >= 0) return false;
    lone = k;
  }
  if (lone < 0) return false;
  // The first triangle runs lone, s1, s2; the second must run s2, s1, far.
  const ObjCorner& s1 = first[(lone + 1) % 3];
  const ObjCorner& s2 = first[(lone + 2) % 3];
  const int at = IndexOfPosition(second, s2.position);
  if (second[(at + 1) % 3].position != s1.position) return false;
  const ObjCorner ring[4] = {first[lone], s1, second[(at + 2) % 3], s2};
  int start = 0;
  for (int k = 1; k < 4; ++k) {
    if (ring[k].position < ring[start].position) start = k;
  }
  for (int k = 0; k < 4; ++k) quad[k] = ring[(start + k) % 4];
  return true;
}

int32_t RectIndexOfObjectName(const char* name, size_t length, int32_t rectCount) {
  static const char kPrefix[] = "Rect_";
  constexpr size_t kPrefixLength = sizeof kPrefix - 1;
  constexpr size_t kMaxDigits = 9;
  if (length <= kPrefixLength || std::memcmp(name, kPrefix, kPrefixLength) != 0) return -1;
  size_t end = kPrefixLength;
  int64_t number = 0;
  while (end < length && name[end] >= '0' && name[end] <= '9' && end - kPrefixLength < kMaxDigits + 1) {
    number = number * 10 + (name[end] - '0');
    ++end;
  }
  const size_t digits = end - kPrefixLength;
  if (digits == 0 || digits > kMaxDigits || (end < length && name[end] != '_')) return -1;
  return number >= 1 && number <= rectCount ? static_cast<int32_t>(number - 1) : -1;
}

bool ApplyObj(SceneFile& scene, const char* text, size_t size, Reporter& reporter,
              RectWriteFailures& failures, std::string& why) {
  const ObjSurvey survey = SurveyObj(text, size);
  if (survey.notTextLine != 0) {
    return Fail(why, "is not a text file: line " + std::to_string(survey.notTextLine) +
                           " holds a control byte");
  }
  if (survey.objectLines == 0 && survey.groupLines == 0) return Fail(why, "holds no object");
  ObjReader reader(scene, reporter, failures,
                   survey.objectLines > 0 ? Statement::kObject : Statement::kGroup);
  if (!reader.Reserve(survey)) {
    return Fail(why, "is too large: no memory for its " + std::to_string(survey.positions) +
                           " positions and " + std::to_string(survey.texCoords) + " texture coordinates");
  }
  reader.Read(text, size);
  reporter.Say(FillTemplate(messages::kRectanglesImported, reader.imported()));
  if (reader.imported() == 0) {
    return Fail(why, "names no rectangle that could be applied: every object was skipped");
  }
  return true;
}
