#include "import/gltf_import.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstring>
#include <vector>

#include "files/path_names.h"
#include "formats/gltf_rules.h"
#include "import/gltf_nodes.h"
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
std::string TextureOfMaterial(const std::string& materialName, const SceneFile& scene) {
  const std::string name = DecodeTextureWord(materialName);
  const size_t n = name.size();
  const bool editorCopy = n > 4 && name[n - 4] == '.' && std::isdigit(static_cast<unsigned char>(name[n - 3])) &&
                          std::isdigit(static_cast<unsigned char>(name[n - 2])) &&
                          std::isdigit(static_cast<unsigned char>(name[n - 1]));
  if (!editorCopy) return name;
  for (int32_t t = 0; t < scene.GetTextureCount(); ++t) {
    if (EqualsIgnoringAsciiCase(scene.GetTextureName(t), name.c_str())) return name;
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

// What becomes of one rectangle that a node names.
struct RectPlan {
  int64_t node = -1;        // the node applied, or -1 when none names it
  std::string shownName;    // the node as messages name it
  std::string notApplied;   // why it cannot be applied, with what to do; empty when it can
  std::string duplicates;   // the other nodes that name it, as a message says them
  RectCoords corners = {};
  RectTexCoords texCoords = {};
  RectCoords storedCorners = {};  // as the scene held them when the plan was made
  RectTexCoords storedTexCoords = {};
  bool hasTexCoords = false;
  bool hasMaterial = false;
  std::string texture;      // the texture its material names
};

// The triangles of a mesh as far as a quad needs them.
struct MeshTriangles {
  GltfCorner corners[2][3] = {};
  int64_t materials[2] = {-1, -1};
  uint64_t count = 0;
  bool hasTexCoords = true;
};

class GltfReader {
 public:
  GltfReader(SceneFile& scene, const GltfDocument& document, Reporter& reporter, RectWriteFailures& failures)
      : scene_(scene),
        json_(document.json()),
        accessors_(document.accessors()),
        reporter_(reporter),
        failures_(failures),
        plans_(static_cast<size_t>(std::max(scene.GetRectCount(), 0))) {}

  // Everything that can refuse the file, before anything is written.
  bool Plan(std::string& why) {
    nodes_ = MemberOf(json_, "nodes");
    if (nodes_ == nullptr || !nodes_->is_array() || nodes_->empty()) return Fail(why, "holds no node");
    if (!CheckTopArray("meshes", meshes_, why) || !CheckTopArray("materials", materials_, why) ||
        !worlds_.Compute(*nodes_, why)) {
      return false;
    }
    for (uint64_t k = 0; k < nodes_->size(); ++k) ClaimRect(k);
    if (claimed_ == 0) return Fail(why, "names no rectangle of the scene: no node is named Rect_N");
    for (size_t i = 0; i < plans_.size(); ++i) {
      if (plans_[i].node >= 0 && !PlanRect(static_cast<int32_t>(i), why)) return false;
    }
    return true;
  }

  // Writes what the plan found; false, with why, when a rectangle that a
  // node names was not applied.
  bool Apply(std::string& why) {
    int32_t applied = 0;
    int32_t notApplied = 0;
    for (size_t k = 0; k < plans_.size() && !scene_.WasReplaced(); ++k) {
      const int32_t i = static_cast<int32_t>(k);
      RectPlan& plan = plans_[k];
      if (plan.node < 0) {
        reporter_.Say(FillTemplate(messages::kNoNodeForRect, i + 1, i));
        continue;
      }
      if (!plan.duplicates.empty()) {
        ++notApplied;
        reporter_.Complain("rectangle " + std::to_string(i) + " is named by node '" + plan.shownName +
                           "' and also by " + plan.duplicates + ": only the first was applied; delete the "
                           "copies or give them names of their own");
      }
      if (!plan.notApplied.empty()) {
        ++notApplied;
        reporter_.Complain("rectangle " + std::to_string(i) + " (node '" + plan.shownName +
                           "') was not applied: " + plan.notApplied);
        continue;
      }
      WriteRect(i, plan);
      ++applied;
    }
    reporter_.Say(FillTemplate(messages::kRectanglesImported, applied));
    if (notApplied > 0) {
      return Fail(why, "names " + std::to_string(notApplied) + " rectangle" + (notApplied == 1 ? "" : "s") +
                           " that could not be applied (see above); the others were written");
    }
    return true;
  }

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
                          ? RectIndexOfNodeName(name->get_ref<const std::string&>(), scene_.GetRectCount(), renamed)
                          : -1;
    const std::string shown = ShownName(k);
    if (i < 0) {
      reporter_.Say(FillTemplate(messages::kNodeNamesNoRect, shown));
      return;
    }
    if (renamed) reporter_.Say(FillTemplate(messages::kNodeRenamed, shown, i + 1));
    RectPlan& plan = plans_[static_cast<size_t>(i)];
    if (plan.node < 0) {
      ++claimed_;
    } else {
      // The node of the exact name wins over one an editor renamed.
      const bool replaces = !renamed && plan.shownName != "Rect_" + std::to_string(i + 1);
      const std::string loser = replaces ? plan.shownName : shown;
      plan.duplicates += (plan.duplicates.empty() ? "node '" : ", node '") + loser + "'";
      if (!replaces) return;
    }
    plan.node = static_cast<int64_t>(k);
    plan.shownName = shown;
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
    RectPlan& plan = plans_[static_cast<size_t>(i)];
    const GltfJson& node = (*nodes_)[static_cast<uint64_t>(plan.node)];
    const GltfJson* meshReference = MemberOf(node, "mesh");
    uint64_t mesh = 0;
    if (meshReference == nullptr) {
      plan.notApplied = "the node has no mesh: export the rectangle's object as a mesh";
      return true;
    }
    if (meshes_ == nullptr || !AsIndex(meshReference, meshes_->size(), mesh)) {
      return Fail(why, "is not valid glTF 2.0: " + PointerOf("nodes", static_cast<uint64_t>(plan.node)) + "/mesh names no mesh");
    }
    MeshTriangles triangles;
    if (!ReadTriangles(mesh, triangles, plan.notApplied, why)) return false;
    if (!plan.notApplied.empty()) return true;
    if (triangles.count != 2) {
      plan.notApplied = "its mesh has " + std::to_string(triangles.count) +
                        " triangles, not the two of one quad: apply no modifier that adds faces, and do not join "
                        "or split objects";
      return true;
    }
    if (triangles.materials[0] != triangles.materials[1]) {
      plan.notApplied = "its two triangles have different materials: give the whole rectangle one material";
      return true;
    }
    std::string readWhy;
    const RectCoords* stored = scene_.GetRectCoords(i, readWhy);
    if (stored != nullptr) plan.storedCorners = *stored;
    const RectTexCoords* storedTex = stored != nullptr ? scene_.GetRectTexCoords(i, readWhy) : nullptr;
    if (storedTex == nullptr) {
      plan.notApplied = "it cannot be read from the scene file: " + readWhy;
      return true;
    }
    plan.storedTexCoords = *storedTex;
    plan.hasTexCoords = triangles.hasTexCoords;
    GltfCorner quad[4];
    if (!RebuildQuad(triangles.corners, triangles.hasTexCoords, plan.storedCorners, plan.storedTexCoords, quad)) {
      plan.notApplied = "its two triangles do not make one quad: keep the rectangle one face of four corners";
      return true;
    }
    if (!PlaceCorners(worlds_.World(static_cast<uint64_t>(plan.node)), quad, plan)) return true;
    if (triangles.materials[0] >= 0) {
      const GltfJson* name = MemberOf((*materials_)[static_cast<uint64_t>(triangles.materials[0])], "name");
      if (name != nullptr && name->is_string()) {
        plan.hasMaterial = true;
        plan.texture = TextureOfMaterial(name->get<std::string>(), scene_);
      }
    }
    return true;
  }

  // The corners in the scene and their texture coordinates, each value
  // that comes back as stored keeping its stored bits.
  static bool PlaceCorners(const GltfMatrix& world, const GltfCorner (&quad)[4], RectPlan& plan) {
    const RectCoords& storedCorners = plan.storedCorners;
    const RectTexCoords& storedTex = plan.storedTexCoords;
    const bool moved = world != kGltfIdentity;
    for (int k = 0; k < 4; ++k) {
      for (int axis = 0; axis < 3; ++axis) {
        float value = quad[k].position[axis];
        if (moved) {
          double sum = world[12 + axis];
          for (int c = 0; c < 3; ++c) sum += world[c * 4 + axis] * quad[k].position[c];
          value = static_cast<float>(sum);
        }
        if (!std::isfinite(value)) {
          plan.notApplied = "a corner lies at no finite position: undo the transform of its object";
          return false;
        }
        const float before = storedCorners[3 * k + axis];
        plan.corners[3 * k + axis] = value == before ? before : value;
      }
      const float u = quad[k].texCoord[0];
      const float v = quad[k].texCoord[1];
      const float storedU = storedTex[2 * k];
      const float storedV = storedTex[2 * k + 1];
      plan.texCoords[2 * k] = u == storedU ? storedU : u;
      plan.texCoords[2 * k + 1] = v == storedV || v == gltf::FlippedTwice(storedV) ? storedV : v;
    }
    if (!plan.hasTexCoords) plan.texCoords = storedTex;
    return true;
  }

  void WriteRect(int32_t i, const RectPlan& plan) {
    reporter_.Say(FillTemplate(messages::kListingProgress, plan.shownName, ShownCornersOffset(scene_, i)));
    std::string why;
    const bool same = std::memcmp(plan.storedCorners.data(), plan.corners.data(), sizeof plan.corners) == 0 &&
                      std::memcmp(plan.storedTexCoords.data(), plan.texCoords.data(), sizeof plan.texCoords) == 0;
    if (!same &&
        !scene_.UpdateRect(i, &plan.corners, plan.hasTexCoords ? &plan.texCoords : nullptr, why)) {
      failures_.Add(i, why);
    }
    if (!plan.hasMaterial) return;
    RectTexture current;
    if (!scene_.ReadRectTexture(i, current, why)) {
      failures_.Add(i, why);
      return;
    }
    // The texture it has already, or none for the material of no texture:
    // nothing to write.
    const bool sameTexture = current.name != nullptr ? EqualsIgnoringAsciiCase(current.name, plan.texture.c_str())
                                                     : plan.texture == gltf::kNoTextureMaterial;
    if (!sameTexture && !scene_.SetRectTextureByName(i, plan.texture.c_str(), reporter_, why)) failures_.Add(i, why);
  }

  SceneFile& scene_;
  const GltfJson& json_;
  const std::vector<GltfAccessor>& accessors_;
  Reporter& reporter_;
  RectWriteFailures& failures_;
  std::vector<RectPlan> plans_;
  const GltfJson* nodes_ = nullptr;
  const GltfJson* meshes_ = nullptr;
  const GltfJson* materials_ = nullptr;
  GltfNodeTransforms worlds_;
  int32_t claimed_ = 0;
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
  GltfReader reader(scene, document, reporter, failures);
  return reader.Plan(why) && reader.Apply(why);
}

bool ApplyGltfFile(SceneFile& scene, const char* path, const char* text, size_t size, Reporter& reporter,
                   RectWriteFailures& failures, std::string& why) {
  FilesBeside resources(path);
  return ApplyGltf(scene, reinterpret_cast<const uint8_t*>(text), size, resources, reporter, failures, why);
}
