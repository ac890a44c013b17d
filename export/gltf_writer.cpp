#include "export/gltf_writer.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <initializer_list>
#include <vector>

#include "export/texture_images.h"
#include "files/folder_listing.h"
#include "formats/gltf_rules.h"
#include "formats/texture_name_codec.h"
#include "report/failure.h"
#include "files/little_endian.h"
#include "text/fixed_decimal.h"
#include "text/float_text.h"
#include "text/hex_text.h"
#include "text/text_template.h"

#ifndef QUADKIT_VERSION
#error "QUADKIT_VERSION must hold quadkit's version"
#endif

namespace {

constexpr char kGenerator[] = "quadkit " QUADKIT_VERSION;
constexpr size_t kPositionBytes = 12 * sizeof(float);
constexpr size_t kTexCoordBytes = 8 * sizeof(float);
const uint16_t kQuadIndices[6] = {0, 1, 2, 0, 2, 3};

// The JSON is written as text, one array element to a line: a document
// object of every rectangle would cost far more than the file access of the
// export.
using Text = TextValue;
using Int = IntValue;
constexpr TextTemplate<Text> kHead{
    "{\"asset\":{\"generator\":%s,\"version\":\"2.0\"},\r\n\"scene\":0,\r\n\"scenes\":[{\"nodes\":["};
// The elements of the long arrays, each also with the comma and line end
// that stand before every element but the first: one fill each.
#define QUADKIT_GLTF_NODE "{\"name\":\"Rect_%d\",\"mesh\":%d}"
#define QUADKIT_GLTF_MESH                                                                       \
  "{\"name\":\"Rect_%d\",\"primitives\":[{\"attributes\":{\"POSITION\":%d,\"TEXCOORD_0\":%d}," \
  "\"indices\":0,\"material\":%d}]}"
constexpr TextTemplate<Int, Int> kNode{QUADKIT_GLTF_NODE};
constexpr TextTemplate<Int, Int> kNextNode{",\r\n" QUADKIT_GLTF_NODE};
constexpr TextTemplate<Int, Int, Int, Int> kMesh{QUADKIT_GLTF_MESH};
constexpr TextTemplate<Int, Int, Int, Int> kNextMesh{",\r\n" QUADKIT_GLTF_MESH};
#undef QUADKIT_GLTF_NODE
#undef QUADKIT_GLTF_MESH
constexpr TextTemplate<Text, Text> kMaterial{
    "{\"name\":%s,\"pbrMetallicRoughness\":{\"baseColorFactor\":[%s,1],\"metallicFactor\":0,"
    "\"roughnessFactor\":1},\"doubleSided\":true}"};
// A material whose texture has an image: the image as its base colour,
// unchanged by a factor.
constexpr TextTemplate<Text, Int> kTexturedMaterial{
    "{\"name\":%s,\"pbrMetallicRoughness\":{\"baseColorTexture\":{\"index\":%d},\"metallicFactor\":0,"
    "\"roughnessFactor\":1},\"doubleSided\":true}"};
// Texture k shows image k, sampled with the scene's texture coordinates as
// they are: repeated beyond 0 to 1 on both axes.
constexpr TextTemplate<Int> kTexture{"{\"sampler\":0,\"source\":%d}"};
constexpr char kSamplers[] = "\"samplers\":[{\"wrapS\":10497,\"wrapT\":10497}],\r\n";
constexpr TextTemplate<Text, Text> kImageWithUri{"{\"uri\":%s,\"mimeType\":\"%s\"}"};
constexpr TextTemplate<Int, Text> kImageInBuffer{"{\"bufferView\":%d,\"mimeType\":\"%s\"}"};
constexpr TextTemplate<Int, Int> kImageView{"{\"buffer\":0,\"byteOffset\":%d,\"byteLength\":%d}"};
constexpr TextTemplate<Int> kIndexAccessor{
    "{\"bufferView\":%d,\"componentType\":5123,\"count\":6,\"type\":\"SCALAR\"}"};
// A rectangle's two accessors, each after a comma and a line end.
constexpr TextTemplate<Int, Text, Text, Int> kRectAccessors{
    ",\r\n{\"bufferView\":0,\"byteOffset\":%d,\"componentType\":5126,\"count\":4,\"type\":\"VEC3\","
    "\"min\":[%s],\"max\":[%s]}"
    ",\r\n{\"bufferView\":1,\"byteOffset\":%d,\"componentType\":5126,\"count\":4,\"type\":\"VEC2\"}"};
// Every rectangle's accessor reads its part of one view of vertices, which
// then must say how far apart their elements lie.
constexpr TextTemplate<Int, Int, Int> kVertexView{
    "{\"buffer\":0,\"byteOffset\":%d,\"byteLength\":%d,\"byteStride\":%d,\"target\":34962}"};
constexpr TextTemplate<Int> kIndexView{"{\"buffer\":0,\"byteOffset\":%d,\"byteLength\":12,\"target\":34963}"};
constexpr TextTemplate<Text, Int> kBufferWithUri{"\"buffers\":[{\"uri\":%s,\"byteLength\":%d}]}\r\n"};
constexpr TextTemplate<Int> kBuffer{"\"buffers\":[{\"byteLength\":%d}]}\r\n"};

// A text as a JSON string, quoted, with '"', '\\' and control bytes
// escaped. The texts are plain ASCII: texture names come as their words.
std::string JsonString(const std::string& text) {
  static const char kHex[] = "0123456789abcdef";
  std::string quoted = "\"";
  for (const char c : text) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (u < 0x20) {
      quoted += "\\u00";
      quoted += kHex[u >> 4];
      quoted += kHex[u & 0x0F];
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

// Numbers as the shortest text that reads back as the same 32-bit float,
// as glTF takes the extents of float accessors.
std::string JsonNumbers(std::initializer_list<float> values) {
  std::string text;
  for (const float value : values) {
    char digits[kShortestFloatRoom];
    char* end = WriteShortestFloat(digits, value);
    if (!text.empty()) text += ',';
    text.append(digits, end);
  }
  return text;
}

// The same for three numbers, held in place, for the many accessors of a
// scene.
struct JsonTriple {
  explicit JsonTriple(const float* values) {
    char* end = text;
    for (int k = 0; k < 3; ++k) {
      if (k > 0) *end++ = ',';
      end = WriteShortestFloat(end, values[k]);
    }
    *end = '\0';
  }
  char text[3 * kShortestFloatRoom + 3];
};

// Opens a member that is an array, or puts the comma and line end between
// its elements.
void Separate(std::string& json, size_t k) { json += k == 0 ? "" : ",\r\n"; }

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
  std::string uri;
  for (const char c : name) {
    const unsigned char u = static_cast<unsigned char>(c);
    if ((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '-' ||
        u == '.' || u == '_' || u == '~') {
      uri += c;
    } else {
      AppendPercentEscape(uri, u);
    }
  }
  return uri;
}

// A relative path as a URI: each of its parts as UriOfFileName writes it,
// '/' between them.
std::string UriOfRelativePath(const std::string& path) {
  std::string uri;
  size_t from = 0;
  for (size_t slash = path.find('/'); ; slash = path.find('/', from)) {
    uri += UriOfFileName(path.substr(from, slash - from));
    if (slash == std::string::npos) return uri;
    uri += '/';
    from = slash + 1;
  }
}

// Material t's colour, red, green and blue: hues a golden angle apart, so
// neighbours in the table differ clearly; two decimals.
std::string BaseColour(int32_t t) {
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
  auto round2 = [](double x) { return static_cast<float>(std::round(x * 100.0) / 100.0); };
  return JsonNumbers({round2(c[0]), round2(c[1]), round2(c[2])});
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

  bool UseTextureFolder(const std::string& folder, Reporter& reporter, std::string& why) override {
    reporter_ = &reporter;
    images_ = std::make_unique<TextureImages>();
    return images_->Open(folder, why);
  }

  bool Begin(const SceneFile& scene, ExportOutputs& files, std::string& why) override {
    if (!binary_) {
      buffer_ = files.AddCompanion(".bin", "buffer", why);
      if (buffer_ == nullptr) return false;
    }
    output_ = &files.output();
    textureCount_ = std::max(scene.GetTextureCount(), 0);
    std::string withoutImage;
    for (int32_t t = 0; t < textureCount_; ++t) {
      Separate(materials_, static_cast<size_t>(t));
      const std::string word = EncodeTextureWord(scene.GetTextureName(t));
      int32_t image = -1;
      if (images_ != nullptr && !images_->Find(word, binary_, image, why)) return false;
      if (image >= 0) {
        AppendTemplate(materials_, kTexturedMaterial, JsonString(word), image);
      } else {
        AppendTemplate(materials_, kMaterial, JsonString(word), BaseColour(t));
        if (images_ != nullptr) withoutImage += (withoutImage.empty() ? "" : ", ") + word;
      }
    }
    if (!withoutImage.empty()) {
      reporter_->Complain("texture folder '" + images_->folder() + "' holds no image for " + withoutImage +
                          ": they keep their colour");
    }
    Separate(materials_, static_cast<size_t>(textureCount_));
    AppendTemplate(materials_, kMaterial, JsonString(gltf::kNoTextureMaterial), "1,0,1");
    const size_t rects = static_cast<size_t>(std::max(scene.GetRectCount(), 0));
    rects_.reserve(rects);
    // The positions become the whole buffer in Finish: room for the
    // texture coordinates and the indices behind them too.
    positions_.reserve(rects * (kPositionBytes + kTexCoordBytes) + sizeof kQuadIndices);
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
    // A .glb carries its images in its buffer, each at a multiple of 4.
    std::vector<size_t> imageOffsets;
    if (binary_ && images_ != nullptr) {
      for (const TextureImage& image : images_->images()) {
        PadTo4(buffer, 0);
        imageOffsets.push_back(buffer.size());
        buffer.insert(buffer.end(), image.bytes.begin(), image.bytes.end());
      }
    }
    std::string json;
    if (!Document(indicesOffset, imageOffsets, buffer.size(), json, why)) return false;
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

  // Accessor 0 holds the indices that every primitive shares; then come the
  // positions and texture coordinates of each rectangle in turn.
  bool Document(size_t indicesOffset, const std::vector<size_t>& imageOffsets, size_t bufferLength,
                std::string& json, std::string& why) const {
    const size_t count = rects_.size();
    json.reserve(600 + count * 450 + materials_.size());
    AppendTemplate(json, kHead, JsonString(kGenerator));
    char digits[4096];  // the node numbers gathered here, a block at a time
    char* end = digits;
    for (size_t k = 0; k < count; ++k) {
      if (end + 24 > digits + sizeof digits) {
        json.append(digits, static_cast<size_t>(end - digits));
        end = digits;
      }
      if (k > 0) *end++ = ',';
      end = WriteDecimalDigits(end, k);
    }
    json.append(digits, static_cast<size_t>(end - digits));
    json += "]}],\r\n";
    if (count > 0) {
      json += "\"nodes\":[\r\n";
      AppendTemplate(json, kNode, 1, 0);
      for (size_t k = 1; k < count; ++k) AppendTemplate(json, kNextNode, k + 1, k);
      json += "],\r\n\"meshes\":[\r\n";
      AppendTemplate(json, kMesh, 1, 1, 2, rects_[0].material);
      for (size_t k = 1; k < count; ++k) {
        AppendTemplate(json, kNextMesh, k + 1, 1 + 2 * k, 2 + 2 * k, rects_[k].material);
      }
      json += "],\r\n";
    }
    json += "\"materials\":[\r\n" + materials_ + "],\r\n";
    const size_t imageViews = count > 0 ? 3 : 1;  // the first view after the vertices and indices
    if (!Images(imageViews, json, why)) return false;
    json += "\"accessors\":[\r\n";
    AppendTemplate(json, kIndexAccessor, count > 0 ? 2 : 0);
    for (size_t k = 0; k < count; ++k) {
      const RectEntry& rect = rects_[k];
      AppendTemplate(json, kRectAccessors, k * kPositionBytes, JsonTriple(rect.min).text,
                     JsonTriple(rect.max).text, k * kTexCoordBytes);
    }
    json += "],\r\n\"bufferViews\":[\r\n";
    if (count > 0) {
      AppendTemplate(json, kVertexView, 0, count * kPositionBytes, 3 * sizeof(float));
      json += ",\r\n";
      AppendTemplate(json, kVertexView, count * kPositionBytes, count * kTexCoordBytes, 2 * sizeof(float));
      json += ",\r\n";
    }
    AppendTemplate(json, kIndexView, indicesOffset);
    for (size_t k = 0; k < imageOffsets.size(); ++k) {
      json += ",\r\n";
      AppendTemplate(json, kImageView, imageOffsets[k], images_->images()[k].bytes.size());
    }
    json += "],\r\n";
    if (binary_) {
      AppendTemplate(json, kBuffer, bufferLength);
    } else {
      AppendTemplate(json, kBufferWithUri, JsonString(UriOfFileName(FileNameOf(buffer_->path()))), bufferLength);
    }
    return true;
  }

  // The textures, their sampler and their images, when any texture has
  // one: in a .glb each image in a buffer view of its own from view
  // firstView on, beside a .gltf each named by its path relative to the
  // output.
  bool Images(size_t firstView, std::string& json, std::string& why) const {
    if (images_ == nullptr || images_->images().empty()) return true;
    const std::vector<TextureImage>& images = images_->images();
    json += "\"textures\":[\r\n";
    for (size_t k = 0; k < images.size(); ++k) {
      Separate(json, k);
      AppendTemplate(json, kTexture, k);
    }
    json += "],\r\n";
    json += kSamplers;
    json += "\"images\":[\r\n";
    for (size_t k = 0; k < images.size(); ++k) {
      Separate(json, k);
      if (binary_) {
        AppendTemplate(json, kImageInBuffer, firstView + k, images[k].mimeType);
        continue;
      }
      std::string relative;
      if (!RelativePathFrom(FolderOf(output_->path()), images[k].path, relative)) {
        return Fail(why, "image '" + images[k].path + "' cannot be named relative to the output '" +
                             output_->path() + "' (another drive?): export with /GLB to carry it inside");
      }
      AppendTemplate(json, kImageWithUri, JsonString(UriOfRelativePath(relative)), images[k].mimeType);
    }
    json += "],\r\n";
    return true;
  }

  // The .glb: header, the JSON chunk padded with blanks, the buffer chunk
  // padded with zeros.
  bool WriteContainer(std::string& json, std::vector<uint8_t>& buffer, std::string& why) {
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
  OutputSink* output_ = nullptr;
  OutputSink* buffer_ = nullptr;  // the .bin beside a .gltf
  std::unique_ptr<TextureImages> images_;  // with a texture folder
  Reporter* reporter_ = nullptr;
  int32_t textureCount_ = 0;
  std::string materials_;  // the JSON of every material, one to a line
  std::vector<RectEntry> rects_;
  std::vector<uint8_t> positions_;
  std::vector<uint8_t> texCoords_;
};

}  // namespace

std::unique_ptr<FormatExport> MakeGltfExport() { return std::make_unique<GltfExport>(false); }
std::unique_ptr<FormatExport> MakeGlbExport() { return std::make_unique<GltfExport>(true); }
