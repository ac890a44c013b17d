// A glTF 2.0 file as the import reads it: the .gltf JSON or the .glb
// container (told apart by their first bytes), its JSON parsed by
// nlohmann/json, its buffers (the .glb's binary chunk, data: URIs, files
// beside it), and every buffer view and accessor checked against the data
// it points into before anything is read through it.
//
// Load refuses, with the reason, a file that is not glTF 2.0, that needs an
// extension quadkit does not read, or whose buffers, views or accessors
// point outside their data. Every length and offset from the file is
// checked before it is used; nothing is allocated by a count from the file
// beyond the buffers' bytes, which the file or its buffer files hold.
#ifndef QUADKIT_IMPORT_GLTF_DOCUMENT_H_
#define QUADKIT_IMPORT_GLTF_DOCUMENT_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "import/text_import.h"

using GltfJson = nlohmann::json;

// Where the buffers that a .gltf names by a relative URI come from: the
// files beside it, or, for the fuzzer and the tests, anything else.
class GltfResources {
 public:
  virtual ~GltfResources() = default;
  // path is the URI with its %XX escapes decoded. False, with why, when the
  // bytes cannot be had.
  virtual bool Load(const std::string& path, FileImage& image, std::string& why) = 0;
};

// A member of an accessor as the file gives it.
struct GltfMember {
  enum State { kAbsent, kWholeNumber, kOther } state = kAbsent;
  uint64_t number = 0;
};

// An accessor as the file gives it, before it is checked. Accessors are
// read into these while the JSON is parsed, not into the document object:
// a file holds two or three per rectangle, and the object of each would
// cost many times the reading of the rectangle from the scene file.
struct GltfRawAccessor {
  bool isObject = true;
  GltfMember bufferView, byteOffset, componentType, count;
  int components = 0;      // of its type: 1 for SCALAR, ...; 0 when absent or unknown
  int normalized = 0;      // 0 absent, 1 false, 2 true, -1 no truth value
  bool sparse = false;
};

// One accessor, checked: every element lies inside its buffer view.
struct GltfAccessor {
  const uint8_t* data = nullptr;  // element 0; null when it has no view (all zeros)
  uint64_t count = 0;
  uint64_t stride = 0;
  int componentType = 0;
  int components = 0;  // 1 for SCALAR, 2 for VEC2, ...
  bool normalized = false;
  bool sparse = false;  // not read by quadkit
};

class GltfDocument {
 public:
  // False, with why saying what is wrong with the file, as above.
  bool Load(const uint8_t* bytes, size_t size, GltfResources& resources, std::string& why);

  const GltfJson& json() const { return json_; }
  const std::vector<GltfAccessor>& accessors() const { return accessors_; }

 private:
  bool SplitContainer(const uint8_t* bytes, size_t size, std::string& why);
  bool CheckAsset(std::string& why) const;
  bool CheckExtensions(std::string& why) const;
  bool LoadBuffers(GltfResources& resources, std::string& why);
  bool CheckViews(std::string& why);
  bool CheckAccessors(std::string& why);
  bool Parse(std::string& why);

  struct Span {
    const uint8_t* data = nullptr;
    uint64_t size = 0;
    uint64_t stride = 0;  // for views: 0 when none is given
  };

  const uint8_t* jsonText_ = nullptr;
  size_t jsonSize_ = 0;
  Span binChunk_;
  bool binary_ = false;
  GltfJson json_;
  std::vector<FileImage> files_;
  std::vector<std::vector<uint8_t>> decoded_;
  std::vector<Span> buffers_;
  std::vector<Span> views_;
  std::vector<GltfRawAccessor> rawAccessors_;
  bool accessorsNotArray_ = false;
  std::vector<GltfAccessor> accessors_;
};

// Reads component c of element e as a float: as it is for a float
// accessor, as a number for an integer one, and scaled into -1..1 or 0..1
// for a normalized one. The caller keeps e below count and c below
// components.
float ReadAccessorFloat(const GltfAccessor& accessor, uint64_t e, int c);
// Reads element e of an index accessor (unsigned byte, short or int).
uint32_t ReadAccessorIndex(const GltfAccessor& accessor, uint64_t e);

// Getters that never throw: a member of an object, or null when the value
// is not an object or has no such member.
const GltfJson* MemberOf(const GltfJson& object, const char* key);
// True when value is a whole number of 0 or more.
bool AsWholeNumber(const GltfJson* value, uint64_t& number);
// True when value is a whole number below count.
bool AsIndex(const GltfJson* value, uint64_t count, uint64_t& index);

// The JSON pointer of an element of a top-level array ("/nodes/3").
std::string PointerOf(const char* array, uint64_t index);

#endif  // QUADKIT_IMPORT_GLTF_DOCUMENT_H_
