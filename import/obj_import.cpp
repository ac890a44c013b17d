#include "import/obj_import.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "import/editor_decimals.h"
#include "import/obj_lexer.h"
#include "import/obj_vertices.h"
#include "import/text_import.h"
#include "import/turned_scene.h"
#include "report/failure.h"
#include "report/messages.h"
#include "text/float_text.h"
#include "text/text_rules.h"
#include "text/text_template.h"
#include "formats/texture_name_codec.h"

namespace {

// The widths of the vertex statements that are read: x, y, z and u, v.
constexpr size_t kPositionWidth = 3;
constexpr size_t kTexCoordWidth = 2;

// What a first pass learns of the file before anything is kept or written.
struct ObjSurvey {
  int64_t notTextLine = 0;  // the first line holding a control byte, or 0
  size_t positions = 0;
  size_t texCoords = 0;
  size_t objectLines = 0;
  size_t groupLines = 0;
  DecimalsTally decimals;
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
      case Statement::kPosition:
        ++survey.positions;
        survey.decimals.Count(line, kPositionWidth);
        break;
      case Statement::kTexCoord:
        ++survey.texCoords;
        survey.decimals.Count(line, kTexCoordWidth);
        break;
      case Statement::kObject: ++survey.objectLines; break;
      case Statement::kGroup: ++survey.groupLines; break;
      default: break;
    }
  }
  return survey;
}

// As much of a face as a quad or a triangle needs, with its full size.
struct FaceSeen {
  int64_t cornerCount = 0;
  TriangleCorner corners[4] = {};
  TextSpan material;  // the object's usemtl in effect at the face; empty when none
};

// The object being read: everything kept of it is of a fixed size.
struct ObjectSeen {
  bool open = false;
  TextSpan name;
  int32_t rect = -1;  // the rectangle its name gives, or -1
  int64_t line = 0;
  int64_t faceCount = 0;
  FaceSeen faces[2];
  TextSpan material;      // its last usemtl word; empty when it has none
  TextSpan badReference;  // its first face reference that names nothing
};

// What the user can do about an object that names a rectangle but cannot
// be applied to it.
const char kKeepOneQuad[] =
    "keep each Rect_N object one quad (or two triangles of one): apply no modifier that adds faces, "
    "such as Subdivision Surface or Solidify, and do not join objects";
const char kOneObjectPerRect[] =
    "give each rectangle one object: do not join objects, and do not give two objects one rectangle's name";
const char kExportAgain[] = "the file refers to a vertex it does not hold: export it again";
const char kOneMaterial[] = "give the rectangle's two triangles one material";
const char kSameTexCoords[] = "give the corners its two triangles share the same texture coordinates";

// An object that names a rectangle and can be applied to it, with what the
// scene holds there now.
struct RectPlan {
  int64_t line = 0;  // of the object; 0 while no object was taken for it
  TextSpan name;
  TriangleCorner quad[4] = {};
  TextSpan material;
  bool readable = false;  // the scene's values below were read
  RectCoords storedCorners = {};
  RectTexCoords storedTexCoords = {};
};

// An object that names a rectangle but could not be applied; the first
// one for each rectangle is told of.
struct RectSkip {
  std::string what;  // empty while none
  int64_t more = 0;  // further objects for the same rectangle that were skipped
};

// Reads one file's statements in order and takes each object when it ends;
// then applies the objects taken, in file order.
class ObjReader {
 public:
  ObjReader(SceneFile& scene, Reporter& reporter, RectWriteFailures& failures, Statement objectStatement,
            int editorDecimals)
      : scene_(scene),
        reporter_(reporter),
        failures_(failures),
        objectStatement_(objectStatement),
        editorDecimals_(editorDecimals),
        rectCount_(static_cast<size_t>(std::max(scene.GetRectCount(), 0))) {}

  bool Reserve(const ObjSurvey& survey) {
    plans_.reset(new (std::nothrow) RectPlan[rectCount_ > 0 ? rectCount_ : 1]);
    skips_.reset(new (std::nothrow) RectSkip[rectCount_ > 0 ? rectCount_ : 1]);
    order_.reset(new (std::nothrow) int32_t[rectCount_ > 0 ? rectCount_ : 1]);
    return plans_ != nullptr && skips_ != nullptr && order_ != nullptr && positions_.Reserve(survey.positions) &&
           texCoords_.Reserve(survey.texCoords);
  }

  void Read(const char* text, size_t size) {
    LineWalker lines(text, size);
    TextSpan line;
    while (lines.Next(line)) TakeLine(line, lines.lineNumber());
    FinishObject();
  }

  // Reads what the scene holds in every rectangle an object was taken for;
  // a rectangle that cannot be read is told of and left out.
  void ReadStoredRects() {
    for (size_t k = 0; k < taken_; ++k) {
      RectPlan& plan = plans_[order_[k]];
      std::string why;
      const RectCoords* corners = scene_.GetRectCoords(order_[k], why);
      const RectTexCoords* texCoords = corners != nullptr ? scene_.GetRectTexCoords(order_[k], why) : nullptr;
      if (texCoords == nullptr) {
        failures_.Add(order_[k], why);
        continue;
      }
      plan.storedCorners = *corners;
      plan.storedTexCoords = *texCoords;
      plan.readable = true;
    }
  }

  // False, with why, when most rectangles of the file are the scene's only
  // once turned: the file went through an editor with other axis settings
  // on the way in than on the way out. A few turned rectangles are edits.
  bool CheckAxes(std::string& why) const {
    TurnedSceneCheck check;
    for (size_t k = 0; k < taken_; ++k) {
      const RectPlan& plan = plans_[order_[k]];
      if (!plan.readable) continue;
      float corners[12];
      for (int c = 0; c < 4; ++c) std::copy_n(positions_.Row(plan.quad[c].position), 3, &corners[3 * c]);
      check.Compare(corners, plan.storedCorners);
    }
    return check.Passes("in Blender, Forward -Z and Up Y on one of its OBJ import and export",
                        "Import and export in Blender with Forward Axis Y and Up Axis Z, then import the file again",
                        why);
  }

  void Apply() {
    for (size_t k = 0; k < taken_ && !scene_.WasReplaced(); ++k) ApplyPlan(order_[k]);
    // When nothing could be applied, the file is not one of this scene's,
    // and the run fails saying so.
    for (size_t i = 0; imported_ > 0 && i < rectCount_; ++i) {
      if (plans_[i].line == 0 && skips_[i].what.empty()) {
        reporter_.Say(FillTemplate(messages::kRectWithoutObject, i + 1));
      }
    }
  }

  // Tells, on standard error, of every rectangle for which an object was
  // skipped; their count.
  int32_t ComplainOfSkips() const {
    int32_t count = 0;
    for (size_t i = 0; i < rectCount_; ++i) {
      const RectSkip& skip = skips_[i];
      if (skip.what.empty()) continue;
      ++count;
      std::string more;
      if (skip.more > 0) {
        more = " (" + std::to_string(skip.more) + " more objects for it were not applied either)";
      }
      reporter_.Complain("rectangle " + std::to_string(i) + ": " + skip.what + more);
    }
    return count;
  }

  int32_t imported() const { return imported_; }

 private:
  void TakeLine(TextSpan rest, int64_t lineNumber) {
    const Statement statement = TakeStatement(rest);
    TextSpan word;
    switch (statement) {
      case Statement::kPosition: positions_.Add(rest, editorDecimals_); return;
      case Statement::kTexCoord: texCoords_.Add(rest, editorDecimals_); return;
      case Statement::kNormal: ++normals_; return;
      case Statement::kFace:
        if (object_.open) AddFace(rest);
        return;
      case Statement::kMaterial:
        if (object_.open && TakeWord(rest, word)) object_.material = word;
        return;
      default:
        if (statement != objectStatement_) return;
        TakeWord(rest, word);
        const int32_t rect = RectIndexOfObjectName(word.begin, word.length, scene_.GetRectCount());
        // Groups in a row that name one rectangle are one object: with
        // "Object Groups" and "Material Groups" both on, Blender writes a
        // group for the object and then one for each of its materials.
        if (object_.open && rect >= 0 && rect == object_.rect && objectStatement_ == Statement::kGroup) return;
        FinishObject();
        object_ = ObjectSeen();
        object_.open = true;
        object_.name = word;
        object_.rect = rect;
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
      TriangleCorner corner;
      if (!ResolveCorner(ref, counts, corner) && object_.badReference.length == 0) {
        object_.badReference = ref;
      }
      if (face == nullptr) continue;
      if (face->cornerCount < 4) face->corners[face->cornerCount] = corner;
      ++face->cornerCount;
    }
  }

  // Takes the object for its rectangle, or warns and tells why not.
  void FinishObject() {
    if (!object_.open) return;
    object_.open = false;
    const int32_t i = object_.rect;
    if (i < 0) {
      Warn(messages::kObjectNamesNoRect);
      return;
    }
    if (plans_[i].line != 0) {
      Skip(FillTemplate(messages::kObjectNamesAppliedRect, plans_[i].line), kOneObjectPerRect);
      return;
    }
    RectPlan& plan = plans_[i];
    if (!TakeQuad(plan.quad)) return;
    plan.line = object_.line;
    plan.name = object_.name;
    plan.material = object_.material;
    order_[taken_++] = i;
  }

  void Warn(const std::string& what) {
    reporter_.Say(FillTemplate(messages::kObjectSkipped, object_.line, object_.name.ToString(), what));
  }

  // Warns about the object, which names a rectangle, and keeps for that
  // rectangle why it was skipped and what to do; always false.
  bool Skip(const std::string& what, const char* advice) {
    Warn(what);
    RectSkip& skip = skips_[object_.rect];
    if (!skip.what.empty()) {
      ++skip.more;
      return false;
    }
    skip.what = "object " + object_.name.ToString() + " of line " + std::to_string(object_.line) +
                " was not applied: it " + what + "; " + advice;
    return false;
  }

  // The object's quad: its one face of four corners, or its two triangles
  // rebuilt into one; false when it has neither, with a warning.
  bool TakeQuad(TriangleCorner (&quad)[4]) {
    const FaceSeen(&faces)[2] = object_.faces;
    const bool twoTriangles = object_.faceCount == 2 && faces[0].cornerCount == 3 && faces[1].cornerCount == 3;
    if (object_.faceCount != 1 && !twoTriangles) {
      return Skip(FillTemplate(messages::kObjectFaceCount, object_.faceCount), kKeepOneQuad);
    }
    if (!twoTriangles && faces[0].cornerCount != 4) {
      return Skip(FillTemplate(messages::kObjectCornerCount, faces[0].cornerCount), kKeepOneQuad);
    }
    if (object_.badReference.length > 0) {
      return Skip(FillTemplate(messages::kObjectBadReference, object_.badReference.ToString()), kExportAgain);
    }
    if (!twoTriangles) {
      std::copy_n(faces[0].corners, 4, quad);
      return true;
    }
    if (!SameText(faces[0].material, faces[1].material)) {
      return Skip(messages::kObjectTrianglesTwoMaterials, kOneMaterial);
    }
    TriangleCorner first[3];
    TriangleCorner second[3];
    std::copy_n(faces[0].corners, 3, first);
    std::copy_n(faces[1].corners, 3, second);
    if (!QuadFromTriangles(first, second, quad)) return Skip(messages::kObjectTrianglesNoQuad, kKeepOneQuad);
    if (!SharedCornersAgree(first, second)) return Skip(messages::kObjectTrianglesTwoTexCoords, kSameTexCoords);
    return true;
  }

  // True when every corner the triangles share has the same texture
  // coordinates (or none) in both.
  bool SharedCornersAgree(const TriangleCorner (&first)[3], const TriangleCorner (&second)[3]) const {
    for (const TriangleCorner& corner : second) {
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

  // Number n of a row for a field that holds stored: the stored bits when
  // the number is stored rounded to the decimals the editor writes (the
  // user did not change it), else the number as read.
  float ValueFor(const FloatRows& rows, int64_t row, size_t n, float stored) const {
    const float read = rows.Row(row)[n];
    if (rows.IsEditorText(row, n) && IsRoundedStoredValue(read, stored, editorDecimals_)) return stored;
    return read;
  }

  void ApplyPlan(int32_t i) {
    const RectPlan& plan = plans_[i];
    if (!plan.readable) return;
    RectCoords corners;
    RectTexCoords texCoords;
    bool allTexCoords = true;
    for (int k = 0; k < 4; ++k) {
      for (size_t axis = 0; axis < kPositionWidth; ++axis) {
        const float stored = plan.storedCorners[3 * k + axis];
        corners[3 * k + axis] = ValueFor(positions_, plan.quad[k].position, axis, stored);
      }
      const int64_t texCoord = plan.quad[k].texCoord;
      allTexCoords = allTexCoords && texCoord >= 0;
      for (size_t axis = 0; texCoord >= 0 && axis < kTexCoordWidth; ++axis) {
        texCoords[2 * k + axis] = ValueFor(texCoords_, texCoord, axis, plan.storedTexCoords[2 * k + axis]);
      }
    }
    reporter_.Say(FillTemplate(messages::kListingProgress, plan.name.ToString(), ShownCornersOffset(scene_, i)));
    ++imported_;
    // A rectangle whose every value is kept is not written at all: its
    // bounds stay as the scene has them too.
    const bool cornersKept = std::memcmp(&corners, &plan.storedCorners, sizeof corners) == 0;
    const bool texCoordsKept =
        !allTexCoords || std::memcmp(&texCoords, &plan.storedTexCoords, sizeof texCoords) == 0;
    std::string why;
    if (!(cornersKept && texCoordsKept) &&
        !scene_.UpdateRect(i, &corners, allTexCoords ? &texCoords : nullptr, why)) {
      failures_.Add(i, why);
    }
    if (plan.material.length > 0 &&
        !scene_.SetRectTextureByName(i, DecodeTextureWord(plan.material.ToString()).c_str(), reporter_, why)) {
      failures_.Add(i, why);
    }
  }

  SceneFile& scene_;
  Reporter& reporter_;
  RectWriteFailures& failures_;
  const Statement objectStatement_;
  const int editorDecimals_;
  const size_t rectCount_;
  FloatRows positions_{kPositionWidth};
  FloatRows texCoords_{kTexCoordWidth};
  int64_t normals_ = 0;
  std::unique_ptr<RectPlan[]> plans_;  // per rectangle
  std::unique_ptr<RectSkip[]> skips_;  // per rectangle
  std::unique_ptr<int32_t[]> order_;   // the rectangles taken, in file order
  size_t taken_ = 0;
  ObjectSeen object_;
  int32_t imported_ = 0;
};

}  // namespace

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
  ObjReader reader(scene, reporter, failures, survey.objectLines > 0 ? Statement::kObject : Statement::kGroup,
                   survey.decimals.EditorDecimals());
  if (!reader.Reserve(survey)) {
    return Fail(why, "is too large: no memory for its " + std::to_string(survey.positions) +
                           " positions and " + std::to_string(survey.texCoords) + " texture coordinates");
  }
  reader.Read(text, size);
  reader.ReadStoredRects();
  if (!reader.CheckAxes(why)) return false;
  reader.Apply();
  reporter.Say(FillTemplate(messages::kRectanglesImported, reader.imported()));
  const int32_t skipped = reader.ComplainOfSkips();
  if (reader.imported() == 0) {
    return Fail(why, "names no rectangle that could be applied: every object was skipped");
  }
  if (skipped > 0) {
    const bool one = skipped == 1;
    return Fail(why, "names " + std::to_string(skipped) + (one ? " rectangle whose object" : " rectangles whose objects") +
                         " could not be applied (named above: " + (one ? "it keeps its" : "they keep their") +
                         " values; the other objects were applied)");
  }
  return true;
}
