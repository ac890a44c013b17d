#include "import/gltf_document.h"

#include <algorithm>
#include <cstring>

#include "formats/gltf_rules.h"
#include "import/gltf_json.h"
#include "import/gltf_uri.h"
#include "report/failure.h"
#include "files/little_endian.h"

namespace {

// Extensions that a file may require and that change nothing quadkit
// reads: materials, lights, image formats. KHR_mesh_quantization only
// allows integer positions and texture coordinates, which are read.
bool IsRequirableExtension(const std::string& name) {
  static const char* const kNames[] = {"KHR_mesh_quantization", "KHR_lights_punctual", "KHR_texture_basisu",
                                       "EXT_texture_webp", "KHR_materials_variants"};
  for (const char* known : kNames) {
    if (name == known) return true;
  }
  return name.compare(0, 14, "KHR_materials_") == 0;
}

bool IsCompressionExtension(const std::string& name) {
  return name == "KHR_draco_mesh_compression" || name == "EXT_meshopt_compression" ||
         name == "KHR_meshopt_compression";
}

int ComponentSize(int componentType) {
  switch (componentType) {
    case gltf::kByte:
    case gltf::kUnsignedByte: return 1;
    case gltf::kShort:
    case gltf::kUnsignedShort: return 2;
    case gltf::kUnsignedInt:
    case gltf::kFloat: return 4;
    default: return 0;
  }
}


bool Invalid(std::string& why, const std::string& pointer, const std::string& what) {
  return Fail(why, "is not valid glTF 2.0: " + pointer + " " + what);
}

// The array member of the document, or null when it has none; false, with
// why, when it is there but no array.
bool TopArray(const GltfJson& json, const char* name, const GltfJson*& array, std::string& why) {
  array = MemberOf(json, name);
  if (array != nullptr && !array->is_array()) return Invalid(why, std::string("/") + name, "is not an array");
  return true;
}

// An optional whole number (defaultValue when absent); false when present
// but none.
bool OptionalCount(const GltfJson& object, const char* key, uint64_t defaultValue, uint64_t& value) {
  const GltfJson* member = MemberOf(object, key);
  value = defaultValue;
  return member == nullptr || AsWholeNumber(member, value);
}

}  // namespace

const GltfJson* MemberOf(const GltfJson& object, const char* key) {
  if (!object.is_object()) return nullptr;
  const auto found = object.find(key);
  return found == object.end() ? nullptr : &*found;
}

bool AsWholeNumber(const GltfJson* value, uint64_t& number) {
  if (value == nullptr || !value->is_number_integer()) return false;
  if (value->is_number_unsigned()) {
    number = value->get<uint64_t>();
    return true;
  }
  const int64_t signedValue = value->get<int64_t>();
  number = static_cast<uint64_t>(signedValue);
  return signedValue >= 0;
}

bool AsIndex(const GltfJson* value, uint64_t count, uint64_t& index) {
  return AsWholeNumber(value, index) && index < count;
}

std::string PointerOf(const char* array, uint64_t index) {
  return std::string("/") + array + "/" + std::to_string(index);
}

bool GltfDocument::Load(const uint8_t* bytes, size_t size, GltfResources& resources, std::string& why) {
  return SplitContainer(bytes, size, why) && Parse(why) && CheckAsset(why) && CheckExtensions(why) &&
         LoadBuffers(resources, why) && CheckViews(why) && CheckAccessors(why);
}

bool GltfDocument::Parse(std::string& why) {
  const std::string what = binary_ ? "its JSON chunk" : "it";
  size_t errorAt = 0;
  bool threw = false;
  int exceptionId = 0;
  if (!ParseGltfJson(jsonText_, jsonSize_, json_, rawAccessors_, accessorsNotArray_, errorAt, threw, exceptionId)) {
    if (threw) {
      return Fail(why, "is not glTF: " + what + " is not JSON that quadkit can read (" + std::to_string(exceptionId) + ")");
    }
    return Fail(why, "is not glTF: " + what + " is not JSON (error at byte " + std::to_string(errorAt) + ")");
  }
  if (!json_.is_object()) return Fail(why, "is not glTF: its JSON is not an object");
  if (accessorsNotArray_) return Invalid(why, "/accessors", "is not an array");
  return true;
}

bool GltfDocument::SplitContainer(const uint8_t* bytes, size_t size, std::string& why) {
  binary_ = size >= 4 && DecodeUint32LE(bytes) == gltf::kMagic;
  if (!binary_) {
    jsonText_ = bytes;
    jsonSize_ = size;
    return true;
  }
  if (size < gltf::kHeaderSize + gltf::kChunkHeaderSize) return Fail(why, "is a .glb file cut short in its header");
  const uint32_t version = DecodeUint32LE(bytes + 4);
  if (version != gltf::kContainerVersion) {
    return Fail(why, "is a .glb file of version " + std::to_string(version) + ", not glTF 2.0");
  }
  const uint64_t length = DecodeUint32LE(bytes + 8);
  if (length < gltf::kHeaderSize + gltf::kChunkHeaderSize) {
    return Fail(why, "is not a valid .glb file: its header gives a length of " + std::to_string(length) + " bytes");
  }
  if (length > size) {
    return Fail(why, "is a .glb file cut short: its header gives " + std::to_string(length) + " bytes, the file has " +
                         std::to_string(size));
  }
  const uint64_t jsonLength = DecodeUint32LE(bytes + gltf::kHeaderSize);
  const uint64_t jsonStart = gltf::kHeaderSize + gltf::kChunkHeaderSize;
  if (DecodeUint32LE(bytes + gltf::kHeaderSize + 4) != gltf::kJsonChunk) {
    return Fail(why, "is not a valid .glb file: its first chunk is not JSON");
  }
  if (jsonLength > length - jsonStart) return Fail(why, "is not a valid .glb file: its JSON chunk runs past its end");
  jsonText_ = bytes + jsonStart;
  jsonSize_ = static_cast<size_t>(jsonLength);
  // The binary chunk, when there is one, follows at once; later chunks are
  // of no known kind and are skipped.
  const uint64_t binStart = jsonStart + jsonLength;
  if (length - binStart >= gltf::kChunkHeaderSize && DecodeUint32LE(bytes + binStart + 4) == gltf::kBinChunk) {
    const uint64_t binLength = DecodeUint32LE(bytes + binStart);
    if (binLength > length - binStart - gltf::kChunkHeaderSize) {
      return Fail(why, "is not a valid .glb file: its binary chunk runs past its end");
    }
    binChunk_.data = bytes + binStart + gltf::kChunkHeaderSize;
    binChunk_.size = binLength;
  }
  return true;
}

bool GltfDocument::CheckAsset(std::string& why) const {
  const GltfJson* asset = MemberOf(json_, "asset");
  const GltfJson* version = asset != nullptr ? MemberOf(*asset, "version") : nullptr;
  if (version == nullptr || !version->is_string()) return Fail(why, "is not glTF: it has no asset version");
  const std::string text = version->get<std::string>();
  const GltfJson* minVersion = MemberOf(*asset, "minVersion");
  // A later 2.x is read as 2.0 unless it says that it needs more.
  const bool readable = text.compare(0, 2, "2.") == 0 &&
                        (minVersion == nullptr || (minVersion->is_string() && *minVersion == "2.0"));
  if (!readable) return Fail(why, "is not glTF 2.0: its asset gives another version");
  return true;
}

bool GltfDocument::CheckExtensions(std::string& why) const {
  const GltfJson* required = nullptr;
  if (!TopArray(json_, "extensionsRequired", required, why)) return false;
  if (required == nullptr) return true;
  for (const GltfJson& extension : *required) {
    if (!extension.is_string()) return Invalid(why, "/extensionsRequired", "holds a value that is no name");
    const std::string name = extension.get<std::string>();
    if (IsRequirableExtension(name)) continue;
    // The name is plain ASCII in every real file; anything else is not
    // repeated in a message.
    const bool printable = name.size() <= 64 && name.find_first_not_of(
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_") == std::string::npos;
    const std::string shown = printable ? name : "that is not named here";
    if (IsCompressionExtension(name)) {
      return Fail(why, "is compressed (" + shown + "), which quadkit cannot read: export it again without "
                       "compression (in Blender, untick Compression in the glTF export settings)");
    }
    return Fail(why, "needs the extension " + shown + ", which quadkit cannot read: export it again without it");
  }
  return true;
}

bool GltfDocument::LoadBuffers(GltfResources& resources, std::string& why) {
  const GltfJson* buffers = nullptr;
  if (!TopArray(json_, "buffers", buffers, why)) return false;
  if (buffers == nullptr) return true;
  for (uint64_t k = 0; k < buffers->size(); ++k) {
    const GltfJson& buffer = (*buffers)[k];
    const std::string pointer = PointerOf("buffers", k);
    uint64_t byteLength = 0;
    if (!AsWholeNumber(MemberOf(buffer, "byteLength"), byteLength) || byteLength == 0) {
      return Invalid(why, pointer, "has no byteLength of 1 or more");
    }
    const GltfJson* uri = MemberOf(buffer, "uri");
    Span span;
    if (uri == nullptr) {
      if (!binary_ || k != 0 || binChunk_.data == nullptr) return Invalid(why, pointer, "has neither a uri nor a binary chunk");
      span = binChunk_;
    } else if (!uri->is_string()) {
      return Invalid(why, pointer, "has a uri that is no text");
    } else {
      const std::string& text = uri->get_ref<const std::string&>();
      if (text.compare(0, 5, "data:") == 0) {
        const size_t comma = text.find(',');
        if (comma == std::string::npos || comma < 12 || text.compare(comma - 7, 7, ";base64") != 0) {
          return Invalid(why, pointer, "has a data: URI that is not base64");
        }
        decoded_.emplace_back();
        if (!DecodeBase64(text.data() + comma + 1, text.size() - comma - 1, decoded_.back())) {
          return Invalid(why, pointer, "has a data: URI whose base64 text is broken");
        }
        span.data = decoded_.back().data();
        span.size = decoded_.back().size();
      } else if (IsAbsoluteUri(text) || IsAbsoluteUri(PercentDecoded(text))) {
        return Fail(why, "names its buffer " + pointer + " by an absolute path or URL; quadkit reads only buffer "
                         "files named relative to it");
      } else if (LeavesFolder(PercentDecoded(text))) {
        return Fail(why, "names its buffer " + pointer + " by a path that leaves its folder; quadkit reads only "
                         "buffer files in the glTF file's folder or below it");
      } else {
        files_.emplace_back();
        std::string cannot;
        if (!resources.Load(PercentDecoded(text), files_.back(), cannot)) {
          return Fail(why, "has a buffer file that cannot be read (" + pointer + "): " + cannot);
        }
        span.data = reinterpret_cast<const uint8_t*>(files_.back().text.get());
        span.size = files_.back().size;
      }
    }
    if (span.size < byteLength) {
      return Invalid(why, pointer, "has " + std::to_string(span.size) + " bytes of data, fewer than its byteLength " +
                                       std::to_string(byteLength));
    }
    span.size = byteLength;
    buffers_.push_back(span);
  }
  return true;
}

bool GltfDocument::CheckViews(std::string& why) {
  const GltfJson* views = nullptr;
  if (!TopArray(json_, "bufferViews", views, why)) return false;
  if (views == nullptr) return true;
  for (uint64_t k = 0; k < views->size(); ++k) {
    const GltfJson& view = (*views)[k];
    const std::string pointer = PointerOf("bufferViews", k);
    uint64_t buffer = 0;
    uint64_t offset = 0;
    uint64_t length = 0;
    uint64_t stride = 0;
    if (!AsIndex(MemberOf(view, "buffer"), buffers_.size(), buffer)) return Invalid(why, pointer, "names no buffer");
    if (!OptionalCount(view, "byteOffset", 0, offset) || !AsWholeNumber(MemberOf(view, "byteLength"), length) ||
        length == 0 || offset > buffers_[buffer].size || length > buffers_[buffer].size - offset) {
      return Invalid(why, pointer, "lies outside its buffer");
    }
    if (!OptionalCount(view, "byteStride", 0, stride) ||
        (MemberOf(view, "byteStride") != nullptr && (stride < 4 || stride > 252 || stride % 4 != 0))) {
      return Invalid(why, pointer, "has a byteStride that is not 4 to 252 in steps of 4");
    }
    views_.push_back({buffers_[buffer].data + offset, length, stride});
  }
  return true;
}

bool GltfDocument::CheckAccessors(std::string& why) {
  for (uint64_t k = 0; k < rawAccessors_.size(); ++k) {
    const GltfRawAccessor& raw = rawAccessors_[k];
    const std::string pointer = PointerOf("accessors", k);
    GltfAccessor accessor;
    if (!raw.isObject) return Invalid(why, pointer, "is not an object");
    if (raw.componentType.state != GltfMember::kWholeNumber || raw.componentType.number > 0xFFFF ||
        ComponentSize(static_cast<int>(raw.componentType.number)) == 0) {
      return Invalid(why, pointer, "has no known componentType");
    }
    accessor.componentType = static_cast<int>(raw.componentType.number);
    if (raw.components == 0) return Invalid(why, pointer, "has no known type");
    accessor.components = raw.components;
    if (raw.count.state != GltfMember::kWholeNumber || raw.count.number == 0) {
      return Invalid(why, pointer, "has no count of 1 or more");
    }
    accessor.count = raw.count.number;
    if (raw.normalized < 0) return Invalid(why, pointer, "has a normalized that is no truth value");
    accessor.normalized = raw.normalized == 2;
    accessor.sparse = raw.sparse;
    if (raw.byteOffset.state == GltfMember::kOther) return Invalid(why, pointer, "has a byteOffset that is no whole number");
    const uint64_t offset = raw.byteOffset.number;
    if (raw.bufferView.state != GltfMember::kAbsent) {
      if (raw.bufferView.state != GltfMember::kWholeNumber || raw.bufferView.number >= views_.size()) {
        return Invalid(why, pointer, "names no buffer view");
      }
      const uint64_t elementSize =
          static_cast<uint64_t>(ComponentSize(accessor.componentType)) * static_cast<uint64_t>(accessor.components);
      const Span& span = views_[raw.bufferView.number];
      accessor.stride = span.stride != 0 ? span.stride : elementSize;
      // Element count - 1 starts at most (size - offset - elementSize) / stride.
      const bool inside = offset <= span.size && elementSize <= span.size - offset &&
                          accessor.stride >= elementSize &&
                          accessor.count - 1 <= (span.size - offset - elementSize) / accessor.stride;
      if (!inside) return Invalid(why, pointer, "reaches beyond its buffer view");
      accessor.data = span.data + offset;
    }
    accessors_.push_back(accessor);
  }
  return true;
}

float ReadAccessorFloat(const GltfAccessor& accessor, uint64_t e, int c) {
  if (accessor.data == nullptr) return 0.0f;
  const int size = ComponentSize(accessor.componentType);
  const uint8_t* p = accessor.data + e * accessor.stride + static_cast<uint64_t>(c) * static_cast<uint64_t>(size);
  const bool n = accessor.normalized;
  switch (accessor.componentType) {
    case gltf::kFloat: return DecodeFloatLE(p);
    case gltf::kByte: {
      const float value = static_cast<float>(static_cast<int8_t>(p[0]));
      return n ? std::max(value / 127.0f, -1.0f) : value;
    }
    case gltf::kUnsignedByte: return n ? p[0] / 255.0f : static_cast<float>(p[0]);
    case gltf::kShort: {
      const float value = static_cast<float>(static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8))));
      return n ? std::max(value / 32767.0f, -1.0f) : value;
    }
    case gltf::kUnsignedShort: {
      const float value = static_cast<float>(p[0] | (p[1] << 8));
      return n ? value / 65535.0f : value;
    }
    default: {
      const float value = static_cast<float>(DecodeUint32LE(p));
      return n ? value / 4294967295.0f : value;
    }
  }
}

uint32_t ReadAccessorIndex(const GltfAccessor& accessor, uint64_t e) {
  if (accessor.data == nullptr) return 0;
  const uint8_t* p = accessor.data + e * accessor.stride;
  switch (accessor.componentType) {
    case gltf::kUnsignedByte: return p[0];
    case gltf::kUnsignedShort: return static_cast<uint32_t>(p[0] | (p[1] << 8));
    default: return DecodeUint32LE(p);
  }
}
