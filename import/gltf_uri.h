// The URIs by which a glTF file names its buffers: data: URIs that hold
// the bytes as base64, and relative paths, %XX-escaped, to files in the
// .gltf's folder or below it.
#ifndef QUADKIT_IMPORT_GLTF_URI_H_
#define QUADKIT_IMPORT_GLTF_URI_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The URI with each %XX escape replaced by its byte.
std::string PercentDecoded(const std::string& uri);

// Decodes base64 text (padding optional); false at any other character.
bool DecodeBase64(const char* text, size_t length, std::vector<uint8_t>& bytes);

// A URI that names something other than a file beside the .gltf.
bool IsAbsoluteUri(const std::string& uri);

// A relative path that climbs out of the .gltf's folder: a step ".." among
// its steps. Windows also splits at a backslash; elsewhere one is part of a
// file's name.
bool LeavesFolder(const std::string& path);

#endif  // QUADKIT_IMPORT_GLTF_URI_H_
