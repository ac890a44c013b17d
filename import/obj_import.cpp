#include "import/obj_import.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "import/text_import.h"
#include "scene/messages.h"
#include "scene/text_rules.h"
#include "scene/text_template.h"
#include "scene/texture_name_codec.h"

namespace {

struct FaceCorner {
  int64_t vertex;    // 0-based, -1 when the reference is out of range
  int64_t texCoord;  // 0-based, -1 when absent
};

struct ObjObject {
  std::string name;
  int line = 0;
  std::vector<std::vector<FaceCorner>> faces;
  std::string badReference;  // the first face reference that is out of range
  bool hasMaterial = false;
  std::string material;
};

struct ObjFile {
  std::vector<float> vertices;   // x, y, z each
  std::vector<float> texCoords;  // u, v each
  int64_t normalCount = 0;
  std::vector<ObjObject> objects;
};

// Splits a line into its words.
std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  size_t k = 0;
  while (k < line.size()) {
    while (k < line.size() && IsScanSpace(line[k])) ++k;
    const size_t start = k;
    while (k < line.size() && !IsScanSpace(line[k])) ++k;
    if (k > start) words.push_back(line.substr(start, k - start));
  }
  return words;
}

float WordAsFloat(const std::vector<std::string>& words, size_t k) {
  return k < words.size() ? std::strtof(words[k].c_str(), nullptr) : 0.0f;
}

// An OBJ index (1-based, or negative counting back from the last element)
// as a 0-based index into count elements; -1 when it names none of them.
int64_t ResolveIndex(const std::string& text, int64_t count) {
  if (text.empty()) return -1;
  char* end = nullptr;
  const long long value = std::strtoll(text.c_str(), &end, 10);
  if (*end != '\0' || value == 0) return -1;
  const long long index = value > 0 ? value - 1 : count + value;
  return index >= 0 && index < count ? index : -1;
}

// Parses "f" words into corners; records the first bad reference.
void AddFace(const std::vector<std::string>& words, const ObjFile& file, ObjObject* object) {
  std::vector<FaceCorner> face;
  for (size_t k = 1; k < words.size(); ++k) {
    const std::string& ref = words[k];
    const size_t slash1 = ref.find('/');
    const size_t slash2 = slash1 == std::string::npos ? std::string::npos : ref.find('/', slash1 + 1);
    FaceCorner corner;
    corner.vertex = ResolveIndex(ref.substr(0, slash1), static_cast<int64_t>(file.vertices.size() / 3));
    corner.texCoord = -1;
    bool bad = corner.vertex < 0;
    if (slash1 != std::string::npos) {
      const std::string vt = ref.substr(slash1 + 1, slash2 == std::string::npos ? std::string::npos
                                                                               : slash2 - slash1 - 1);
      if (!vt.empty()) {
        corner.texCoord = ResolveIndex(vt, static_cast<int64_t>(file.texCoords.size() / 2));
        bad = bad || corner.texCoord < 0;
      }
      if (slash2 != std::string::npos) {
        bad = bad || ResolveIndex(ref.substr(slash2 + 1), file.normalCount) < 0;
      }
    }
    if (bad && object->badReference.empty()) object->badReference = ref;
    face.push_back(corner);
  }
  object->faces.push_back(face);
}

// Reads the whole file without writing anything. Returns the line number of
// the first byte that is not text, or 0.
int ParseObj(const char* text, size_t size, ObjFile* file) {
  int lineNumber = 0;
  size_t position = 0;
  while (position < size) {
    const char* start = text + position;
    const void* feed = std::memchr(start, '\n', size - position);
    const size_t length = feed != nullptr ? static_cast<const char*>(feed) - start : size - position;
    position += length + 1;
    ++lineNumber;
    const std::string line(start, length);
    for (char c : line) {
      const unsigned char u = static_cast<unsigned char>(c);
      if ((u < 0x20 && !IsScanSpace(c)) || u == 0x7F) return lineNumber;
    }
    const std::vector<std::string> words = Words(line);
    if (words.empty() || words[0][0] == '#') continue;
    const std::string& keyword = words[0];
    if (keyword == "v") {
      for (size_t k = 1; k <= 3; ++k) file->vertices.push_back(WordAsFloat(words, k));
    } else if (keyword == "vt") {
      for (size_t k = 1; k <= 2; ++k) file->texCoords.push_back(WordAsFloat(words, k));
    } else if (keyword == "vn") {
      ++file->normalCount;
    } else if (keyword == "o") {
      ObjObject object;
      object.name = words.size() > 1 ? words[1] : "";
      object.line = lineNumber;
      file->objects.push_back(object);
    } else if (keyword == "f" && !file->objects.empty()) {
      AddFace(words, *file, &file->objects.back());
    } else if (keyword == "usemtl" && !file->objects.empty() && words.size() > 1) {
      file->objects.back().hasMaterial = true;
      file->objects.back().material = words[1];
    }
  }
  return 0;
}

// The rectangle index that "Rect_N" names, or -1.
int32_t RectIndexOf(const std::string& name, int32_t rectCount) {
  static const char kPrefix[] = "Rect_";
  if (name.compare(0, sizeof kPrefix - 1, kPrefix) != 0) return -1;
  const std::string digits = name.substr(sizeof kPrefix - 1);
  if (digits.empty() || digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos) {
    return -1;
  }
  const long number = std::strtol(digits.c_str(), nullptr, 10);
  return number >= 1 && number <= rectCount ? static_cast<int32_t>(number - 1) : -1;
}

// Warns about an object that cannot be applied; always false.
bool Skip(Reporter& reporter, const ObjObject& object, const std::string& what) {
  reporter.Say(FillTemplate(messages::kObjectSkipped, {object.line, object.name, what}));
  return false;
}

// Applies one object; false when it was skipped with a warning.
bool ApplyObject(SceneFile& scene, const ObjFile& file, const ObjObject& object, Reporter& reporter,
                 RectWriteFailures& failures) {
  const int32_t i = RectIndexOf(object.name, scene.GetRectCount());
  if (i < 0) return Skip(reporter, object, "names no rectangle of the scene");
  if (object.faces.size() != 1) {
    return Skip(reporter, object, "has " + std::to_string(object.faces.size()) + " faces, not one");
  }
  const std::vector<FaceCorner>& face = object.faces[0];
  if (face.size() != 4) {
    return Skip(reporter, object, "has a face of " + std::to_string(face.size()) + " corners, not 4");
  }
  if (!object.badReference.empty()) {
    return Skip(reporter, object, "refers to " + object.badReference + ", which is out of range");
  }

  RectCoords corners;
  RectTexCoords texCoords;
  bool allTexCoords = true;
  for (int k = 0; k < 4; ++k) {
    for (int axis = 0; axis < 3; ++axis) {
      corners[3 * k + axis] = file.vertices[static_cast<size_t>(face[k].vertex) * 3 + axis];
    }
    allTexCoords = allTexCoords && face[k].texCoord >= 0;
    if (face[k].texCoord >= 0) {
      texCoords[2 * k] = file.texCoords[static_cast<size_t>(face[k].texCoord) * 2];
      texCoords[2 * k + 1] = file.texCoords[static_cast<size_t>(face[k].texCoord) * 2 + 1];
    }
  }
  const uint32_t cornersAt =
      static_cast<uint32_t>(scene.GetRectOffset(i)) + scene_layout::kCornersInRecord;
  reporter.Say(FillTemplate(messages::kListingProgress, {object.name, cornersAt}));
  std::string why;
  if (!scene.UpdateRect(i, &corners, allTexCoords ? &texCoords : nullptr, why)) failures.Add(i, why);
  if (object.hasMaterial &&
      !scene.SetRectTextureByName(i, DecodeTextureWord(object.material).c_str(), reporter, why)) {
    failures.Add(i, why);
  }
  return true;
}

}  // namespace

int32_t ApplyObj(SceneFile& scene, const char* text, size_t size, Reporter& reporter,
                 RectWriteFailures& failures, std::string& error) {
  ObjFile file;
  const int notText = ParseObj(text, size, &file);
  if (notText != 0) {
    return Fail(error, "is not a text file: line " + std::to_string(notText) +
                           " holds a control byte");
  }
  if (file.objects.empty()) return Fail(error, "holds no object");
  int32_t imported = 0;
  for (const ObjObject& object : file.objects) {
    imported += ApplyObject(scene, file, object, reporter, failures) ? 1 : 0;
  }
  reporter.Say(FillTemplate(messages::kRectanglesImported, {imported}));
  if (imported == 0) return Fail(error, "names no rectangle that could be applied: every object was skipped");
  return 0;
}

int32_t ImportObj(const char* scenePath, const char* textPath, Reporter& reporter,
                  std::string& error) {
  return ImportTextFile(scenePath, textPath, "OBJ file", ApplyObj, reporter, error);
}
