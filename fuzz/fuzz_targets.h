// What each fuzz target does with one input. Shared by the libFuzzer
// drivers and by the test that replays the corpora and the regression
// inputs, so every input once found stays checked in the normal test run.
#ifndef QUADKIT_FUZZ_FUZZ_TARGETS_H_
#define QUADKIT_FUZZ_FUZZ_TARGETS_H_

#include <cstddef>
#include <cstdint>
#include <vector>

#include "app/format_table.h"

// What one run of a target did, for the test that replays the inputs: the
// result of each mode operation it ran, in order, and whether the bytes of
// the scene file changed.
struct FuzzOutcome {
  std::vector<int32_t> results;
  bool sceneChanged = false;
};

// The input as the bytes of a scene file, in memory: checked, exported in
// every format of the format table, moved by zero, and given a fixed text of
// each of the ImportRows (a listing, a Design Workshop file, an OBJ file and
// the sample's .glb). A scene of more than 64 rectangles is only checked
// and read as the listing export reads it. Every target runs without a file.
FuzzOutcome FuzzSceneFile(const uint8_t* data, size_t size);
// One of the operations of FuzzSceneFile (the check, an export, the Move
// or an import), chosen by a hash of the input's bytes: the libFuzzer
// target runs this, at the cost of one mode an input, while the replay of
// the corpora runs them all.
FuzzOutcome FuzzSceneFileOnce(const uint8_t* data, size_t size);
// The input as an ASCII listing, imported into a fresh copy of the sample.
FuzzOutcome FuzzAsciiListing(const uint8_t* data, size_t size);
// The input as a Design Workshop file, imported into a fresh sample copy.
FuzzOutcome FuzzDesignWorkshop(const uint8_t* data, size_t size);
// The input as a Wavefront OBJ file, imported into a fresh sample copy.
FuzzOutcome FuzzObj(const uint8_t* data, size_t size);
// The input as a .gltf or .glb, read from memory into a fresh sample copy;
// every buffer file it names reads as the buffer of the sample's own
// glTF export.
FuzzOutcome FuzzGltf(const uint8_t* data, size_t size);

// The rows of the format table whose formats the scene target imports, in
// table order: one for each reader.
std::vector<const FormatRow*> ImportRows();

#endif  // QUADKIT_FUZZ_FUZZ_TARGETS_H_
