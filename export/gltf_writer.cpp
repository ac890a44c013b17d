#include "export/gltf_writer.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <nlohmann/json.hpp>

#include "formats/gltf_rules.h"
#include "formats/texture_name_codec.h"
#include "report/failure.h"
#include "scene/little_endian.h"

#ifndef QUADKIT_VERSION
#error "QUADKIT_VERSION must hold quadkit's version"
#endif

namespace {

// Keys stay in the order they are written, so the file reads top down.
using Json = nlohmann::ordered_json;

constexpr char kGenerator[] = "quadkit " QUADKIT_VERSION;
constexpr size_t kPositionBytes = 12 * sizeof(float);
constexpr size_t kTexCoordBytes = 8 * sizeof(float);
const uint16_t kQuadIndices[6] = {0, 1, 2, 0, 2, 3};

void AppendFloats(std::vector<uint8_t>& bytes, const float* values, size_t count) {
  const size_t at = bytes.size();
  bytes.resize(at + count * sizeof(float));
  for (size_t k = 0; k < count; ++k) EncodeFloatLE(values[k], bytes.data() + at + k * sizeof(float));
}

void PadTo4(std::vector<uint8_t>& bytes, uint8_t pad) {
  while (bytes.size() % 4 != 0) bytes.push_back(pad);
}

// A file name as a relative URI: every byte but the unreserved ones
// (letters, digits, - . _ ~) as %XX.
std::string UriOfFileName(const std::string& name) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string uri;
  for (const char c : name) {
    const unsigned char u = static_cast<unsigned char>(c);
    if ((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '-' ||
        u == '.' || u == '_' || u == '~') {
      uri += c;
    } else {
      uri += '%';
      uri += kHex[u >> 4];
      uri += kHex[u & 0x0F];
    }
  }
  return uri;
}

// Material t's colour: hues a golden angle apart, so neighbours in the
// table differ clearly.
Json BaseColour(int32_t t) {
  const double hue = std::fmod(t * 0.618033988749895, 1.0) * 6.0;
  const double saturation = 0.55;
  const double value = 0.9;
  const int sector = static_cast<int>(hue);
  const double f = hue - sector;
  const double p = value * (1 - saturation);
  const double q = value * (1 - saturation * f);
  const double r = value * (1 - saturation * (1 - f));
  const double rgb[6][3] = {{value, r, p}, {q, value, p}, {p, value, r},
                            {p, q, value}, {r, p, value}, {value, p, q}};
  const double* c = rgb[sector % 6];
  // Two decimals: a colour needs no more, and the file reads better.
  auto round2 = [](double x) { return std::round(x * 100.0) / 100.0; };
  return Json::array({round2(c[0]), round2(c[1]), round2(c[2]), 1.0});
}

Json Material(const std::string& name, Json colour) {
  Json material;
  material["name"] = name;
  material["pbrMetallicRoughness"] = {{"baseColorFactor", std::move(colour)},
                                      {"metallicFactor", 0.0},
                                      {"roughnessFactor", 1.0}};
  // Rectangles are seen from either side, as the DirectX export draws them.
  material["doubleSided"] = true;
  return material;
}

// stride 0: none given, as for indices.
Json BufferView(size_t offset, size_t length, size_t stride, int target) {
  Json view;
  view["buffer"] = 0;
  view["byteOffset"] = offset;
  view["byteLength"] = length;
  // Every rectangle's accessor reads its part of one view, which then must
  // say how far apart its elements lie.
  if (stride > 0) view["byteStride"] = stride;
  view["target"] = target;
  return view;
}

// What is kept of a rectangle until the JSON is written.
struct RectEntry {
  int32_t material;
  float min[3];
  float max[3];
};

class GltfExport : public FormatExport {
 public:
  explicit GltfExport(bool binary) : binary_(binary) {}

  bool Begin(const SceneFile& scene, ExportFiles& files, std::string& why) override {
    if (!binary_) {
      buffer_ = files.AddCompanion(".bin", "buffer", why);
      if (buffer_ == nullptr) return false;
    }
    output_ = &files.output();
    textureCount_ = std::max(scene.GetTextureCount(), 0);
    for (int32_t t = 0; t < textureCount_; ++t) {
      materials_.push_back(Material(EncodeTextureWord(scene.GetTextureName(t)), BaseColour(t)));
    }
    materials_.push_back(Material(gltf::kNoTextureMaterial, Json::array({1.0, 0.0, 1.0, 1.0})));
    const size_t rects = static_cast<size_t>(std::max(scene.GetRectCount(), 0));
    rects_.reserve(rects);
    positions_.reserve(rects * kPositionBytes);
    texCoords_.reserve(rects * kTexCoordBytes);
    return true;
  }

  bool AddRect(const ExportRect& rect, std::string& why) override {
    for (const float value : rect.corners) {
      if (!std::isfinite(value)) return CannotHold(rect, "a corner coordinate", why);
    }
    for (const float value : rect.texCoords) {
      if (!std::isfinite(value)) return CannotHold(rect, "a texture coordinate", why);
    }
    RectEntry entry;
    entry.material = rect.texture.name != nullptr ? rect.texture.index : textureCount_;
    for (int axis = 0; axis < 3; ++axis) {
      entry.min[axis] = entry.max[axis] = rect.corners[axis];
      for (int corner = 1; corner < 4; ++corner) {
        entry.min[axis] = std::min(entry.min[axis], rect.corners[3 * corner + axis]);
        entry.max[axis] = std::max(entry.max[axis], rect.corners[3 * corner + axis]);
      }
    }
    rects_.push_back(entry);
    AppendFloats(positions_, rect.corners.data(), 12);
    AppendFloats(texCoords_, rect.texCoords.data(), 8);
    return true;
  }

  bool Finish(std::string& why) override {
    std::vector<uint8_t> buffer = std::move(positions_);
    buffer.insert(buffer.end(), texCoords_.begin(), texCoords_.end());
    const size_t indicesOffset = buffer.size();
    for (const uint16_t index : kQuadIndices) {
      buffer.push_back(static_cast<uint8_t>(index & 0xFF));
      buffer.push_back(static_cast<uint8_t>(index >> 8));
    }
    const size_t bufferLength = buffer.size();
    std::string json = Document(indicesOffset, bufferLength).dump();
    if (!binary_) {
      return buffer_->Write(buffer.data(), buffer.size(), why) && output_->Write(json, why);
    }
    return WriteContainer(json, buffer, why);
  }

 private:
  static bool CannotHold(const ExportRect& rect, const char* what, std::string& why) {
    return Fail(why, "rectangle " + std::to_string(rect.index) + " has " + what +
                         " that is no finite number (NaN or infinity), which glTF cannot hold");
  }

  Json Document(size_t indicesOffset, size_t bufferLength) const {
    const size_t count = rects_.size();
    Json document;
    document["asset"] = {{"generator", kGenerator}, {"version", "2.0"}};
    document["scene"] = 0;
    Json nodes = Json::array();
    Json meshes = Json::array();
    Json accessors = Json::array();
    Json views = Json::array();
    // Accessor 0: the indices every primitive shares; then the positions
    // and texture coordinates of each rectangle in turn.
    accessors.push_back({{"bufferView", count > 0 ? 2 : 0},
                         {"componentType", gltf::kUnsignedShort},
                         {"count", 6},
                         {"type", "SCALAR"}});
    for (size_t k = 0; k < count; ++k) {
      const RectEntry& rect = rects_[k];
      const std::string name = "Rect_" + std::to_string(k + 1);
      nodes.push_back({{"name", name}, {"mesh", k}});
      Json primitive;
      primitive["attributes"] = {{"POSITION", 1 + 2 * k}, {"TEXCOORD_0", 2 + 2 * k}};
      primitive["indices"] = 0;
      primitive["material"] = rect.material;
      meshes.push_back({{"name", name}, {"primitives", Json::array({primitive})}});
      Json position;
      position["bufferView"] = 0;
      position["byteOffset"] = k * kPositionBytes;
      position["componentType"] = gltf::kFloat;
      position["count"] = 4;
      position["type"] = "VEC3";
      // Widened to double, which prints them as the floats they are.
      position["min"] = {double{rect.min[0]}, double{rect.min[1]}, double{rect.min[2]}};
      position["max"] = {double{rect.max[0]}, double{rect.max[1]}, double{rect.max[2]}};
      accessors.push_back(position);
      accessors.push_back({{"bufferView", 1},
                           {"byteOffset", k * kTexCoordBytes},
                           {"componentType", gltf::kFloat},
                           {"count", 4},
                           {"type", "VEC2"}});
    }
    if (count > 0) {
      views.push_back(BufferView(0, count * kPositionBytes, 3 * sizeof(float), gltf::kArrayBuffer));
      views.push_back(
          BufferView(count * kPositionBytes, count * kTexCoordBytes, 2 * sizeof(float), gltf::kArrayBuffer));
    }
    views.push_back(BufferView(indicesOffset, sizeof kQuadIndices, 0, gltf::kElementArrayBuffer));
    Json roots = Json::array();
    for (size_t k = 0; k < count; ++k) roots.push_back(k);
    document["scenes"] = Json::array({{{"nodes", roots}}});
    if (count > 0) {
      document["nodes"] = nodes;
      document["meshes"] = meshes;
    }
    document["materials"] = materials_;
    document["accessors"] = accessors;
    document["bufferViews"] = views;
    Json buffer;
    if (!binary_) buffer["uri"] = UriOfFileName(FileNameOf(buffer_->path()));
    buffer["byteLength"] = bufferLength;
    document["buffers"] = Json::array({buffer});
    return document;
  }

  // The .glb: header, the JSON chunk padded with blanks, the buffer chunk
  // padded with zeros.
  bool WriteContainer(std::string json, std::vector<uint8_t>& buffer, std::string& why) {
    while (json.size() % 4 != 0) json += ' ';
    PadTo4(buffer, 0);
    const uint64_t total = gltf::kHeaderSize + 2 * gltf::kChunkHeaderSize + json.size() + buffer.size();
    if (total > UINT32_MAX) return Fail(why, "the scene is too large for one .glb file (4 GiB at most)");
    uint8_t header[gltf::kHeaderSize + gltf::kChunkHeaderSize];
    EncodeUint32LE(gltf::kMagic, header);
    EncodeUint32LE(gltf::kContainerVersion, header + 4);
    EncodeUint32LE(static_cast<uint32_t>(total), header + 8);
    EncodeUint32LE(static_cast<uint32_t>(json.size()), header + 12);
    EncodeUint32LE(gltf::kJsonChunk, header + 16);
    uint8_t binHeader[gltf::kChunkHeaderSize];
    EncodeUint32LE(static_cast<uint32_t>(buffer.size()), binHeader);
    EncodeUint32LE(gltf::kBinChunk, binHeader + 4);
    return output_->Write(header, sizeof header, why) && output_->Write(json, why) &&
           output_->Write(binHeader, sizeof binHeader, why) &&
           output_->Write(buffer.data(), buffer.size(), why);
  }

  const bool binary_;
  OutputFile* output_ = nullptr;
  OutputFile* buffer_ = nullptr;  // the .bin beside a .gltf
  int32_t textureCount_ = 0;
  Json materials_ = Json::array();
  std::vector<RectEntry> rects_;
  std::vector<uint8_t> positions_;
  std::vector<uint8_t> texCoords_;
};

}  // namespace

std::unique_ptr<FormatExport> MakeGltfExport() { return std::make_unique<GltfExport>(false); }
std::unique_ptr<FormatExport> MakeGlbExport() { return std::make_unique<GltfExport>(true); }
