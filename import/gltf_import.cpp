#include "import/gltf_import.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <vector>

#include "files/path_names.h"
#include "formats/gltf_rules.h"
#include "import/gltf_nodes.h"
#include "import/named_quads.h"
#include "import/quad_applier.h"
#include "formats/texture_name_codec.h"
#include "report/failure.h"
#include "report/messages.h"
#include "text/text_rules.h"
#include "text/text_template.h"

namespace {

bool IsShowable(const std::string& name) {
  if (name.empty() || name.size() > 64) return false;
  for (const char c : name) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F) return false;
  }
  return true;
}

// A texture name that is not in the table but ends in ".NNN", as an editor
// renames a second material of one name, is taken without that ending.
std::string TextureOfMaterial(const std::string& materialName, const SceneReads& scene) {
  const std::string name = DecodeTextureWord(materialName);
  const size_t n = name.size();
  const bool editorCopy = n > 4 && name[n - 4] == '.' && std::isdigit(static_cast<unsigned char>(name[n - 3])) &&
                          std::isdigit(static_cast<unsigned char>(name[n - 2])) &&
                          std::isdigit(static_cast<unsigned char>(name[n - 1]));
  if (!editorCopy) return name;
  for (int32_t t = 0; t < scene.TextureCount(); ++t) {
    if (EqualsIgnoringAsciiCase(scene.TextureName(t), name.c_str())) return name;
  }
  return name.substr(0, n - 4);
}

}  // namespace

int32_t RectIndexOfNodeName(const std::string& name, int32_t rectCount, bool& renamed) {
  static const char kPrefix[] = "Rect_";
  constexpr size_t kPrefixLength = sizeof kPrefix - 1;
  constexpr size_t kMaxDigits = 9;
  renamed = false;
  if (name.compare(0, kPrefixLength, kPrefix) != 0) return -1;
  size_t end = kPrefixLength;
  int64_t number = 0;
  while (end < name.size() && name[end] >= '0' && name[end] <= '9' && end - kPrefixLength < kMaxDigits) {
    number = number * 10 + (name[end] - '0');
    ++end;
  }
  if (end == kPrefixLength || (end < name.size() && name[end] != '.')) return -1;
  renamed = end < name.size();
  return number >= 1 && number <= rectCount ? static_cast<int32_t>(number - 1) : -1;
}

namespace {

// The triangles of a mesh as far as a quad needs them.
struct MeshTriangles {
  GltfCorner corners[2][3] = {};
  int64_t materials[2] = {-1, -1};
  uint64_t count = 0;
  bool hasTexCoords = true;
};

// Reads the nodes that name rectangles into named quads; refuses, before
// anything is written, a file that is not valid glTF 2.0.
class GltfReader {
 public:
  GltfReader(SceneReads& scene, const GltfDocument& document, Reporter& reporter)
      : scene_(scene),
        json_(document.json()),
        accessors_(document.accessors()),
        reporter_(reporter),
        duplicates_(static_cast<size_t>(scene.RectCount())) {
    quads_.rects.resize(static_cast<size_t>(scene.RectCount()));
  }

  // Everything that can refuse the file; false, with why, when it is.
  bool Read(std::string& why) {
    nodes_ = MemberOf(json_, "nodes");
    if (nodes_ == nullptr || !nodes_->is_array() || nodes_->empty()) return Fail(why, "holds no node");
    if (!CheckTopArray("meshes", meshes_, why) || !CheckTopArray("materials", materials_, why) ||
        !worlds_.Compute(*nodes_, why)) {
      return false;
    }
    for (uint64_t k = 0; k < nodes_->size(); ++k) ClaimRect(k);
    if (claimed_ == 0) return Fail(why, "names no rectangle of the scene: no node is named Rect_N");
    for (size_t i = 0; i < quads_.rects.size(); ++i) {
      NamedQuad& quad = quads_.rects[i];
      if (quad.node < 0) continue;
      if (!duplicates_[i].empty()) {
        quad.notApplied.push_back(" is named by node '" + quad.name + "' and also by " + duplicates_[i] +
                                  ": only the first was applied; delete the copies or give them names of their own");
      }
      if (!PlanRect(static_cast<int32_t>(i), why)) return false;
    }
    return true;
  }

  NamedQuads& quads() { return quads_; }

 private:
  bool CheckTopArray(const char* name, const GltfJson*& array, std::string& why) {
    array = MemberOf(json_, name);
    if (array != nullptr && !array->is_array()) return Fail(why, std::string("is not valid glTF 2.0: /") + name + " is not an array");
    return true;
  }

  std::string ShownName(uint64_t k) const {
    const GltfJson* name = MemberOf((*nodes_)[k], "name");
    if (name != nullptr && name->is_string() && IsShowable(name->get_ref<const std::string&>())) {
      return name->get<std::string>();
    }
    return PointerOf("nodes", k);
  }

  void ClaimRect(uint64_t k) {
    const GltfJson* name = MemberOf((*nodes_)[k], "name");
    bool renamed = false;
    const int32_t i = name != nullptr && name->is_string()
                          ? RectIndexOfNodeName(name->get_ref<const std::string&>(), scene_.RectCount(), renamed)
                          : -1;
    const std::string shown = ShownName(k);
    if (i < 0) {
      reporter_.Say(FillTemplate(messages::kNodeNamesNoRect, shown));
      return;
    }
    if (renamed) reporter_.Say(FillTemplate(messages::kNodeRenamed, shown, i + 1));
    NamedQuad& quad = quads_.rects[static_cast<size_t>(i)];
    std::string& duplicates = duplicates_[static_cast<size_t>(i)];
    if (quad.node < 0) {
      ++claimed_;
    } else {
      // The node of the exact name wins over one an editor renamed.
      const bool replaces = !renamed && quad.name != "Rect_" + std::to_string(i + 1);
      const std::string loser = replaces ? quad.name : shown;
      duplicates += (duplicates.empty() ? "node '" : ", node '") + loser + "'";
      if (!replaces) return;
    }
    quad.node = static_cast<int64_t>(k);
    quad.name = shown;
  }

  // pointer and member name the reference in messages; they are joined
  // only for one, as most files give none.
  bool Accessor(const GltfJson* reference, const std::string& pointer, const char* member, const GltfAccessor*& accessor,
                std::string& why) const {
    uint64_t a = 0;
    if (!AsIndex(reference, accessors_.size(), a)) {
      return Fail(why, "is not valid glTF 2.0: " + pointer + member + " names no accessor");
    }
    accessor = &accessors_[a];
    if (accessor->sparse) {
      return Fail(why, "uses a sparse accessor (" + PointerOf("accessors", a) +
                           "), which quadkit cannot read: export it again without shape keys or morph targets");
    }
    return true;
  }

  // The parts of one primitive, checked.
  struct Primitive {
    const GltfAccessor* positions = nullptr;
    const GltfAccessor* texCoords = nullptr;  // null when it has none
    const GltfAccessor* indices = nullptr;    // null when it has none
    uint64_t mode = gltf::kTriangles;
    int64_t material = -1;
  };

  // False, with why, when the file is to be refused; notApplied says why a
  // primitive that is valid cannot be part of a rectangle.
  bool ReadPrimitive(const GltfJson& object, const std::string& pointer, Primitive& primitive,
                     std::string& notApplied, std::string& why) const {
    const GltfJson* attributes = MemberOf(object, "attributes");
    if (attributes == nullptr || !attributes->is_object()) {
      return Fail(why, "is not valid glTF 2.0: " + pointer + " has no attributes");
    }
    if (MemberOf(*attributes, "POSITION") == nullptr) {
      notApplied = "its mesh has a part without positions: export the mesh with its vertices";
      return true;
    }
    if (!Accessor(MemberOf(*attributes, "POSITION"), pointer, "/attributes/POSITION", primitive.positions, why) ||
        (MemberOf(*attributes, "TEXCOORD_0") != nullptr &&
         !Accessor(MemberOf(*attributes, "TEXCOORD_0"), pointer, "/attributes/TEXCOORD_0", primitive.texCoords,
                   why)) ||
        (MemberOf(object, "indices") != nullptr &&
         !Accessor(MemberOf(object, "indices"), pointer, "/indices", primitive.indices, why))) {
      return false;
    }
    const GltfAccessor* texCoords = primitive.texCoords;
    const GltfAccessor* indices = primitive.indices;
    if (primitive.positions->components != 3 || primitive.positions->componentType == gltf::kUnsignedInt ||
        (texCoords != nullptr && (texCoords->components != 2 || texCoords->componentType == gltf::kUnsignedInt)) ||
        (indices != nullptr && (indices->components != 1 || indices->componentType == gltf::kFloat ||
                                indices->componentType == gltf::kByte || indices->componentType == gltf::kShort))) {
      return Fail(why, "is not valid glTF 2.0: " + pointer + " has an accessor of a type that it cannot have");
    }
    if (MemberOf(object, "mode") != nullptr && !AsWholeNumber(MemberOf(object, "mode"), primitive.mode)) {
      return Fail(why, "is not valid glTF 2.0: " + pointer + "/mode is no whole number");
    }
    const uint64_t mode = primitive.mode;
    if (mode != gltf::kTriangles && mode != gltf::kTriangleStrip && mode != gltf::kTriangleFan) {
      notApplied = "its mesh is drawn as points or lines, not as faces: export it with its faces";
      return true;
    }
    uint64_t material = 0;
    if (MemberOf(object, "material") != nullptr) {
      if (materials_ == nullptr || !AsIndex(MemberOf(object, "material"), materials_->size(), material)) {
        return Fail(why, "is not valid glTF 2.0: " + pointer + "/material names no material");
      }
      primitive.material = static_cast<int64_t>(material);
    }
    return true;
  }

  // Reads the primitive's triangles into those of the mesh, as many as a
  // quad needs, and counts them all; false, with why, for an index beyond
  // the vertices.
  static bool AddTriangles(const Primitive& primitive, const std::string& pointer, MeshTriangles& triangles,
                           std::string& why) {
    const GltfAccessor& positions = *primitive.positions;
    const GltfAccessor* texCoords = primitive.texCoords;
    const uint64_t vertices = primitive.indices != nullptr ? primitive.indices->count : positions.count;
    const uint64_t count = primitive.mode == gltf::kTriangles ? vertices / 3 : (vertices >= 3 ? vertices - 2 : 0);
    triangles.hasTexCoords = triangles.hasTexCoords && texCoords != nullptr;
    for (uint64_t t = 0; t < count && triangles.count + t < 2; ++t) {
      // Strips alternate their winding; fans turn round vertex 0.
      uint64_t ids[3] = {3 * t, 3 * t + 1, 3 * t + 2};
      if (primitive.mode == gltf::kTriangleStrip) {
        ids[0] = t, ids[1] = t + 1 + t % 2, ids[2] = t + 2 - t % 2;
      } else if (primitive.mode == gltf::kTriangleFan) {
        ids[0] = t + 1, ids[1] = t + 2, ids[2] = 0;
      }
      GltfCorner(&corners)[3] = triangles.corners[triangles.count + t];
      for (int k = 0; k < 3; ++k) {
        const uint64_t vertex = primitive.indices != nullptr ? ReadAccessorIndex(*primitive.indices, ids[k]) : ids[k];
        if (vertex >= positions.count || (texCoords != nullptr && vertex >= texCoords->count)) {
          return Fail(why, "is not valid glTF 2.0: " + pointer + " has an index beyond its vertices");
        }
        for (int axis = 0; axis < 3; ++axis) corners[k].position[axis] = ReadAccessorFloat(positions, vertex, axis);
        for (int c = 0; c < 2; ++c) {
          corners[k].texCoord[c] = texCoords != nullptr ? ReadAccessorFloat(*texCoords, vertex, c) : 0.0f;
        }
      }
      triangles.materials[triangles.count + t] = primitive.material;
    }
    // An accessor without a buffer view may give any count: the sum stops
    // at its largest value rather than wrapping round to a small one.
    triangles.count = count > UINT64_MAX - triangles.count ? UINT64_MAX : triangles.count + count;
    return true;
  }

  // Reads the mesh's triangles, as many as a quad needs, and counts them
  // all. False, with why, when the file is to be refused.
  bool ReadTriangles(uint64_t mesh, MeshTriangles& triangles, std::string& notApplied, std::string& why) const {
    const GltfJson* primitives = MemberOf((*meshes_)[mesh], "primitives");
    const std::string meshPointer = PointerOf("meshes", mesh);
    if (primitives == nullptr || !primitives->is_array()) {
      return Fail(why, "is not valid glTF 2.0: " + meshPointer + " has no primitives");
    }
    for (uint64_t p = 0; p < primitives->size(); ++p) {
      const std::string pointer = meshPointer + "/primitives/" + std::to_string(p);
      Primitive primitive;
      if (!ReadPrimitive((*primitives)[p], pointer, primitive, notApplied, why)) return false;
      if (!notApplied.empty()) return true;
      if (!AddTriangles(primitive, pointer, triangles, why)) return false;
    }
    return true;
  }

  // Finds what rectangle i becomes; false, with why, when the file is to be
  // refused.
  bool PlanRect(int32_t i, std::string& why) {
    NamedQuad& quad = quads_.rects[static_cast<size_t>(i)];
    const GltfJson& node = (*nodes_)[static_cast<uint64_t>(quad.node)];
    const GltfJson* meshReference = MemberOf(node, "mesh");
    uint64_t mesh = 0;
    if (meshReference == nullptr) return NotApplied(quad, "the node has no mesh: export the rectangle's object as a mesh");
    if (meshes_ == nullptr || !AsIndex(meshReference, meshes_->size(), mesh)) {
      return Fail(why, "is not valid glTF 2.0: " + PointerOf("nodes", static_cast<uint64_t>(quad.node)) + "/mesh names no mesh");
    }
    MeshTriangles triangles;
    std::string notApplied;
    if (!ReadTriangles(mesh, triangles, notApplied, why)) return false;
    if (!notApplied.empty()) return NotApplied(quad, notApplied);
    if (triangles.count != 2) {
      return NotApplied(quad, "its mesh has " + std::to_string(triangles.count) +
                                  " triangles, not the two of one quad: apply no modifier that adds faces, and do "
                                  "not join or split objects");
    }
    if (triangles.materials[0] != triangles.materials[1]) {
      return NotApplied(quad, "its two triangles have different materials: give the whole rectangle one material");
    }
    std::string readWhy;
    RectCoords storedCorners = {};
    RectTexCoords storedTexCoords = {};
    if (!scene_.ReadRect(i, storedCorners, storedTexCoords, readWhy)) {
      return NotApplied(quad, "it cannot be read from the scene file: " + readWhy);
    }
    quad.hasTexCoords = triangles.hasTexCoords;
    GltfCorner corners[4];
    if (!RebuildQuad(triangles.corners, triangles.hasTexCoords, storedCorners, storedTexCoords, corners)) {
      return NotApplied(quad, "its two triangles do not make one quad: keep the rectangle one face of four corners");
    }
    if (!PlaceCorners(worlds_.World(static_cast<uint64_t>(quad.node)), corners, quad)) {
      return NotApplied(quad, "a corner lies at no finite position: undo the transform of its object");
    }
    if (triangles.materials[0] >= 0) {
      const GltfJson* name = MemberOf((*materials_)[static_cast<uint64_t>(triangles.materials[0])], "name");
      if (name != nullptr && name->is_string()) {
        quad.hasTexture = true;
        quad.texture = TextureOfMaterial(name->get<std::string>(), scene_);
      }
    }
    quad.hasQuad = true;
    quads_.order.push_back(i);
    return true;
  }

  // Tells why the node's rectangle is not applied; true, as the file is
  // not refused for it.
  static bool NotApplied(NamedQuad& quad, const std::string& what) {
    quad.notApplied.push_back(" (node '" + quad.name + "') was not applied: " + what);
    return true;
  }

  // The corners in the scene, moved by the node's transform, and their
  // texture coordinates; false when a corner lies at no finite position.
  static bool PlaceCorners(const GltfMatrix& world, const GltfCorner (&corners)[4], NamedQuad& quad) {
    const bool moved = world != kGltfIdentity;
    for (int k = 0; k < 4; ++k) {
      for (int axis = 0; axis < 3; ++axis) {
        float value = corners[k].position[axis];
        if (moved) {
          double sum = world[12 + axis];
          for (int c = 0; c < 3; ++c) sum += world[c * 4 + axis] * corners[k].position[c];
          value = static_cast<float>(sum);
        }
        if (!std::isfinite(value)) return false;
        quad.corners[3 * k + axis] = value;
      }
      quad.texCoords[2 * k] = corners[k].texCoord[0];
      quad.texCoords[2 * k + 1] = corners[k].texCoord[1];
    }
    return true;
  }

  SceneReads& scene_;
  const GltfJson& json_;
  const std::vector<GltfAccessor>& accessors_;
  Reporter& reporter_;
  NamedQuads quads_;
  std::vector<std::string> duplicates_;  // per rectangle: the other nodes that name it
  const GltfJson* nodes_ = nullptr;
  const GltfJson* meshes_ = nullptr;
  const GltfJson* materials_ = nullptr;
  GltfNodeTransforms worlds_;
  int32_t claimed_ = 0;
};

// A coordinate or u that comes back equal to the stored one, or a v equal
// to it or to what an editor that flips v on import and export makes of it,
// keeps the stored bits.
bool GltfKeepsStored(float read, float stored, QuadValue value, bool, int) {
  return read == stored || (value == QuadValue::kV && read == gltf::FlippedTwice(stored));
}

std::string GltfUnnamedWarning(int32_t rect) { return FillTemplate(messages::kNoNodeForRect, rect + 1, rect); }

std::string GltfNotAppliedWhy(int32_t count) {
  return "names " + std::to_string(count) + " rectangle" + (count == 1 ? "" : "s") +
         " that could not be applied (see above); the others were applied";
}

const ImportPolicy kGltfPolicy = {
    GltfKeepsStored, nullptr, nullptr, false, GltfUnnamedWarning, false, gltf::kNoTextureMaterial, nullptr,
    GltfNotAppliedWhy,
};

// The buffer files of a .gltf: named relative to its folder.
class FilesBeside : public GltfResources {
 public:
  explicit FilesBeside(const char* path) : gltfPath_(path) {}
  bool Load(const std::string& path, FileImage& image, std::string& why) override {
    if (path.find('\0') != std::string::npos) return Fail(why, "its name holds a zero byte");
    return LoadFileImage(PathBeside(gltfPath_, path).c_str(), image, why);
  }

 private:
  std::string gltfPath_;
};

}  // namespace

bool ApplyGltf(SceneFile& scene, const uint8_t* bytes, size_t size, GltfResources& resources, Reporter& reporter,
               RectWriteFailures& failures, std::string& why) {
  GltfDocument document;
  if (!document.Load(bytes, size, resources, why)) return false;
  SceneReads reads(scene);
  GltfReader reader(reads, document, reporter);
  return reader.Read(why) && ApplyNamedQuads(scene, reads, reader.quads(), kGltfPolicy, reporter, failures, why);
}

bool ApplyGltfFile(SceneFile& scene, const char* path, const char* text, size_t size, Reporter& reporter,
                   RectWriteFailures& failures, std::string& why) {
  FilesBeside resources(path);
  return ApplyGltf(scene, reinterpret_cast<const uint8_t*>(text), size, resources, reporter, failures, why);
}
