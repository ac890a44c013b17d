// The streaming parse of a glTF's JSON: the document object of everything
// but the accessors, which are read into their compact form as they come
// (see GltfRawAccessor).
#ifndef QUADKIT_IMPORT_GLTF_JSON_H_
#define QUADKIT_IMPORT_GLTF_JSON_H_

#include <cstddef>
#include <cstdint>
#include <vector>

#include "import/gltf_document.h"

// Parses the size bytes at text into json and accessors; accessorsNotArray
// says that the document's "accessors" is there but no array. False when
// the text is no JSON: errorAt is then the byte where it stopped, or, with
// threw, exceptionId is nlohmann/json's number of an error that it threw.
bool ParseGltfJson(const uint8_t* text, size_t size, GltfJson& json, std::vector<GltfRawAccessor>& accessors,
                   bool& accessorsNotArray, size_t& errorAt, bool& threw, int& exceptionId);

#endif  // QUADKIT_IMPORT_GLTF_JSON_H_
