#include "import/obj_import.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "import/editor_decimals.h"
#include "import/obj_lexer.h"
#include "import/obj_vertices.h"
#include "import/quad_applier.h"
#include "import/text_import.h"
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

// The objects in a file's order; the quads of those taken go to a list of
// named quads, one entry per rectangle, and nothing is written.
class ObjReader {
 public:
  ObjReader(int32_t rectCount, Reporter& reporter, Statement objectStatement, int editorDecimals)
      : reporter_(reporter), objectStatement_(objectStatement), rectCount_(rectCount) {
    quads_.editorDecimals = editorDecimals;
  }

  bool Reserve(const ObjSurvey& survey) {
    const size_t rects = static_cast<size_t>(std::max(rectCount_, 0));
    quads_.rects.resize(rects);
    quads_.order.reserve(rects);
    more_.assign(rects, 0);
    return positions_.Reserve(survey.positions) && texCoords_.Reserve(survey.texCoords);
  }

  // Reads the statements in order and takes each object when it ends.
  NamedQuads& Read(const char* text, size_t size) {
    LineWalker lines(text, size);
    TextSpan line;
    while (lines.Next(line)) TakeLine(line, lines.lineNumber());
    FinishObject();
    for (size_t i = 0; i < quads_.rects.size(); ++i) {
      if (more_[i] > 0) {
        quads_.rects[i].notApplied[0] +=
            " (" + std::to_string(more_[i]) + " more objects for it were not applied either)";
      }
    }
    return quads_;
  }

 private:
  void TakeLine(TextSpan rest, int64_t lineNumber) {
    const Statement statement = TakeStatement(rest);
    TextSpan word;
    switch (statement) {
      case Statement::kPosition: positions_.Add(rest, quads_.editorDecimals); return;
      case Statement::kTexCoord: texCoords_.Add(rest, quads_.editorDecimals); return;
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
        const int32_t rect = RectIndexOfObjectName(word.begin, word.length, rectCount_);
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
    NamedQuad& quad = quads_.rects[static_cast<size_t>(i)];
    if (quad.hasQuad) {
      Skip(FillTemplate(messages::kObjectNamesAppliedRect, quad.line), kOneObjectPerRect);
      return;
    }
    TriangleCorner corners[4];
    if (!TakeQuad(corners)) return;
    quad.hasQuad = true;
    quad.line = object_.line;
    quad.name = object_.name.ToString();
    quad.hasTexCoords = true;
    for (int k = 0; k < 4; ++k) {
      for (size_t axis = 0; axis < kPositionWidth; ++axis) {
        quad.corners[3 * k + axis] = positions_.Row(corners[k].position)[axis];
        if (positions_.IsEditorText(corners[k].position, axis)) quad.editorTexts |= CornerTextBit(3 * k + axis);
      }
      const int64_t texCoord = corners[k].texCoord;
      quad.hasTexCoords = quad.hasTexCoords && texCoord >= 0;
      for (size_t axis = 0; texCoord >= 0 && axis < kTexCoordWidth; ++axis) {
        quad.texCoords[2 * k + axis] = texCoords_.Row(texCoord)[axis];
        if (texCoords_.IsEditorText(texCoord, axis)) quad.editorTexts |= TexCoordTextBit(2 * k + axis);
      }
    }
    quad.hasTexture = object_.material.length > 0;
    if (quad.hasTexture) quad.texture = DecodeTextureWord(object_.material.ToString());
    quads_.order.push_back(i);
  }

  void Warn(const std::string& what) {
    reporter_.Say(FillTemplate(messages::kObjectSkipped, object_.line, object_.name.ToString(), what));
  }

  // Warns about the object, which names a rectangle, and keeps for that
  // rectangle why it was skipped and what to do; always false.
  bool Skip(const std::string& what, const char* advice) {
    Warn(what);
    const size_t i = static_cast<size_t>(object_.rect);
    std::vector<std::string>& notApplied = quads_.rects[i].notApplied;
    if (!notApplied.empty()) {
      ++more_[i];
      return false;
    }
    notApplied.push_back(": object " + object_.name.ToString() + " of line " + std::to_string(object_.line) +
                         " was not applied: it " + what + "; " + advice);
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

  Reporter& reporter_;
  const Statement objectStatement_;
  const int32_t rectCount_;
  FloatRows positions_{kPositionWidth};
  FloatRows texCoords_{kTexCoordWidth};
  int64_t normals_ = 0;
  NamedQuads quads_;
  std::vector<int64_t> more_;  // per rectangle: objects skipped after the first
  ObjectSeen object_;
};

// Blender writes six decimals: a number of the file with the editor's
// decimals that its stored value printed so reads as keeps the stored bits.
bool ObjKeepsStored(float read, float stored, QuadValue, bool editorText, int editorDecimals) {
  return editorText && IsRoundedStoredValue(read, stored, editorDecimals);
}

std::string ObjUnnamedWarning(int32_t rect) { return FillTemplate(messages::kRectWithoutObject, rect + 1); }

std::string ObjNotAppliedWhy(int32_t skipped) {
  const bool one = skipped == 1;
  return "names " + std::to_string(skipped) + (one ? " rectangle whose object" : " rectangles whose objects") +
         " could not be applied (named above: " + (one ? "it keeps its" : "they keep their") +
         " values; the other objects were applied)";
}

const ImportPolicy kObjPolicy = {
    ObjKeepsStored,
    "in Blender, Forward -Z and Up Y on one of its OBJ import and export",
    "Import and export in Blender with Forward Axis Y and Up Axis Z, then import the file again",
    true,
    ObjUnnamedWarning,
    true,
    nullptr,
    "names no rectangle that could be applied: every object was skipped",
    ObjNotAppliedWhy,
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
  ObjReader reader(scene.GetRectCount(), reporter, survey.objectLines > 0 ? Statement::kObject : Statement::kGroup,
                   survey.decimals.EditorDecimals());
  if (!reader.Reserve(survey)) {
    return Fail(why, "is too large: no memory for its " + std::to_string(survey.positions) +
                           " positions and " + std::to_string(survey.texCoords) + " texture coordinates");
  }
  SceneReads reads(scene);
  return ApplyNamedQuads(scene, reads, reader.Read(text, size), kObjPolicy, reporter, failures, why);
}
