// Where the nodes of a glTF file stand in its scene: each node's own
// transform (its matrix, or translation, rotation and scale) times its
// parents', from its root down.
#ifndef QUADKIT_IMPORT_GLTF_NODES_H_
#define QUADKIT_IMPORT_GLTF_NODES_H_

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "import/gltf_document.h"

// Column-major, as glTF writes matrices.
using GltfMatrix = std::array<double, 16>;
constexpr GltfMatrix kGltfIdentity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

class GltfNodeTransforms {
 public:
  // Links every node of the array to its parent and computes each one's
  // transform in the scene; false, with why, when a node has two parents,
  // is its own ancestor or has a transform that is not numbers.
  bool Compute(const GltfJson& nodes, std::string& why);
  const GltfMatrix& World(uint64_t node) const { return worlds_[node]; }

 private:
  bool ComputeWorld(const GltfJson& nodes, uint64_t k, std::string& why);
  std::vector<int64_t> parents_;
  std::vector<GltfMatrix> worlds_;
  std::vector<uint8_t> state_;  // per node: 0 not yet, 1 being computed, 2 done
};

#endif  // QUADKIT_IMPORT_GLTF_NODES_H_
