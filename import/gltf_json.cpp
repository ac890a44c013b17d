#include "import/gltf_json.h"

#include <string>

namespace {

// The components of an accessor's type: 1 for SCALAR, ...; 0 for a name
// glTF does not have.
int ComponentsOfType(const std::string& type) {
  static const struct {
    const char* name;
    int components;
  } kTypes[] = {{"SCALAR", 1}, {"VEC2", 2}, {"VEC3", 3}, {"VEC4", 4}, {"MAT2", 4}, {"MAT3", 9}, {"MAT4", 16}};
  for (const auto& entry : kTypes) {
    if (type == entry.name) return entry.components;
  }
  return 0;
}

// The members of an accessor that are read; kOther for any other key.
enum class AccessorKey { kOther, kType, kSparse, kNormalized, kBufferView, kByteOffset, kComponentType, kCount };

// Told once per key, by its length first, rather than by a string compare
// with every name at every value.
AccessorKey AccessorKeyOf(const std::string& key) {
  switch (key.size()) {
    case 4: return key == "type" ? AccessorKey::kType : AccessorKey::kOther;
    case 5: return key == "count" ? AccessorKey::kCount : AccessorKey::kOther;
    case 6: return key == "sparse" ? AccessorKey::kSparse : AccessorKey::kOther;
    case 10:
      if (key == "normalized") return AccessorKey::kNormalized;
      if (key == "bufferView") return AccessorKey::kBufferView;
      return key == "byteOffset" ? AccessorKey::kByteOffset : AccessorKey::kOther;
    case 13: return key == "componentType" ? AccessorKey::kComponentType : AccessorKey::kOther;
    default: return AccessorKey::kOther;
  }
}

// Parses the JSON into the document object, except the accessors, which go
// into their compact form as they come (see GltfRawAccessor).
class GltfSax {
 public:
  using Number = GltfJson::number_integer_t;
  using Unsigned = GltfJson::number_unsigned_t;
  using Real = GltfJson::number_float_t;
  using Text = GltfJson::string_t;

  GltfSax(GltfJson& json, std::vector<GltfRawAccessor>& accessors, bool& accessorsNotArray)
      : dom_(json, true), accessors_(accessors), accessorsNotArray_(accessorsNotArray) {}

  bool null() { return Own() ? Scalar(GltfMember(), -1) : dom_.null(); }
  bool boolean(bool value) { return Own() ? Scalar(GltfMember(), value ? 2 : 1) : dom_.boolean(value); }
  bool number_integer(Number value) {
    if (!Own()) return dom_.number_integer(value);
    return Scalar({value >= 0 ? GltfMember::kWholeNumber : GltfMember::kOther, static_cast<uint64_t>(value)}, -1);
  }
  bool number_unsigned(Unsigned value) {
    return Own() ? Scalar({GltfMember::kWholeNumber, value}, -1) : dom_.number_unsigned(value);
  }
  bool number_float(Real value, const Text& text) {
    return Own() ? Scalar(GltfMember(), -1) : dom_.number_float(value, text);
  }
  bool string(Text& value) {
    if (!Own()) return dom_.string(value);
    if (mode_ == Mode::kAccessors && depth_ == arrayDepth_ + 1 && key_ == AccessorKey::kType) {
      accessors_.back().components = ComponentsOfType(value);
      return true;
    }
    return Scalar(GltfMember(), -1);
  }
  bool binary(GltfJson::binary_t& value) { return Own() ? Scalar(GltfMember(), -1) : dom_.binary(value); }
  bool start_object(std::size_t elements) { return Own() ? Open(true) : (++depth_, dom_.start_object(elements)); }
  bool start_array(std::size_t elements) { return Own() ? Open(false) : (++depth_, dom_.start_array(elements)); }
  bool end_object() { return Own() ? Close() : (--depth_, dom_.end_object()); }
  bool end_array() { return Own() ? Close() : (--depth_, dom_.end_array()); }
  bool key(Text& value) {
    if (Own()) {
      key_ = AccessorKeyOf(value);
      return true;
    }
    if (depth_ == 1 && value == "accessors") {
      mode_ = Mode::kNext;
      return true;
    }
    return dom_.key(value);
  }
  bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception&) {
    errorAt_ = position;
    return false;
  }
  size_t errorAt() const { return errorAt_; }

 private:
  // kNext: the value of "accessors" comes next; kAccessors: inside its
  // array; kSkip: inside a value of "accessors" that is no array.
  enum class Mode { kDocument, kNext, kAccessors, kSkip };

  bool Own() const { return mode_ != Mode::kDocument; }

  bool Open(bool isObject) {
    ++depth_;
    if (mode_ == Mode::kNext) {
      // A second "accessors" stands for the first, as in the document object.
      mode_ = isObject ? Mode::kSkip : Mode::kAccessors;
      accessors_.clear();
      accessorsNotArray_ = isObject;
      arrayDepth_ = depth_;
    } else if (mode_ == Mode::kAccessors && depth_ == arrayDepth_ + 1) {
      accessors_.emplace_back();
      accessors_.back().isObject = isObject;
      key_ = AccessorKey::kOther;
    } else if (mode_ == Mode::kAccessors && depth_ == arrayDepth_ + 2) {
      // A member that is an object or an array: only sparse may be one of
      // those that are read.
      if (key_ == AccessorKey::kSparse) accessors_.back().sparse = true;
      Member() = {GltfMember::kOther, 0};
    }
    return true;
  }
  bool Close() {
    if (depth_ == arrayDepth_) mode_ = Mode::kDocument;
    --depth_;
    return true;
  }
  // A value that is no container; truth is 1 for false, 2 for true and -1
  // for anything else.
  bool Scalar(const GltfMember& member, int truth) {
    if (mode_ == Mode::kNext) {
      mode_ = Mode::kDocument;
      accessors_.clear();
      accessorsNotArray_ = true;
    } else if (mode_ == Mode::kAccessors && depth_ == arrayDepth_) {
      accessors_.emplace_back();
      accessors_.back().isObject = false;
    } else if (mode_ == Mode::kAccessors && depth_ == arrayDepth_ + 1) {
      if (key_ == AccessorKey::kNormalized) accessors_.back().normalized = truth;
      if (key_ == AccessorKey::kType) accessors_.back().components = 0;
      if (key_ == AccessorKey::kSparse) accessors_.back().sparse = true;
      Member() = member.state == GltfMember::kAbsent ? GltfMember{GltfMember::kOther, 0} : member;
    }
    return true;
  }
  // The member of the last accessor that key_ names; a scratch one for the
  // members that are not read.
  GltfMember& Member() {
    GltfRawAccessor& accessor = accessors_.back();
    switch (key_) {
      case AccessorKey::kBufferView: return accessor.bufferView;
      case AccessorKey::kByteOffset: return accessor.byteOffset;
      case AccessorKey::kComponentType: return accessor.componentType;
      case AccessorKey::kCount: return accessor.count;
      default: return scratch_;
    }
  }

  nlohmann::detail::json_sax_dom_parser<GltfJson> dom_;
  std::vector<GltfRawAccessor>& accessors_;
  bool& accessorsNotArray_;
  Mode mode_ = Mode::kDocument;
  size_t depth_ = 0;       // containers open
  size_t arrayDepth_ = 0;  // that of the accessors' array, or of what stands in its place
  AccessorKey key_ = AccessorKey::kOther;
  GltfMember scratch_;
  size_t errorAt_ = 0;
};

}  // namespace

bool ParseGltfJson(const uint8_t* text, size_t size, GltfJson& json, std::vector<GltfRawAccessor>& accessors,
                   bool& accessorsNotArray, size_t& errorAt, bool& threw, int& exceptionId) {
  GltfSax sax(json, accessors, accessorsNotArray);
  threw = false;
  try {
    if (GltfJson::sax_parse(text, text + size, &sax)) return true;
  } catch (const GltfJson::exception& error) {
    threw = true;
    exceptionId = error.id;
    return false;
  }
  errorAt = sax.errorAt();
  return false;
}
