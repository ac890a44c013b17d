#include "import/gltf_nodes.h"

#include "report/failure.h"

namespace {

GltfMatrix Multiply(const GltfMatrix& a, const GltfMatrix& b) {
  GltfMatrix product = {};
  for (int column = 0; column < 4; ++column) {
    for (int row = 0; row < 4; ++row) {
      double sum = 0;
      for (int k = 0; k < 4; ++k) sum += a[k * 4 + row] * b[column * 4 + k];
      product[column * 4 + row] = sum;
    }
  }
  return product;
}

// An array of exactly count numbers.
bool ReadNumbers(const GltfJson* value, size_t count, double* numbers) {
  if (value == nullptr || !value->is_array() || value->size() != count) return false;
  for (size_t k = 0; k < count; ++k) {
    if (!(*value)[k].is_number()) return false;
    numbers[k] = (*value)[k].get<double>();
  }
  return true;
}

// The node's own transform: its matrix, or translation * rotation * scale.
bool LocalTransform(const GltfJson& node, GltfMatrix& m) {
  if (MemberOf(node, "matrix") != nullptr) return ReadNumbers(MemberOf(node, "matrix"), 16, m.data());
  double t[3] = {0, 0, 0};
  double q[4] = {0, 0, 0, 1};
  double s[3] = {1, 1, 1};
  if ((MemberOf(node, "translation") != nullptr && !ReadNumbers(MemberOf(node, "translation"), 3, t)) ||
      (MemberOf(node, "rotation") != nullptr && !ReadNumbers(MemberOf(node, "rotation"), 4, q)) ||
      (MemberOf(node, "scale") != nullptr && !ReadNumbers(MemberOf(node, "scale"), 3, s))) {
    return false;
  }
  const double x = q[0], y = q[1], z = q[2], w = q[3];
  const double rotation[9] = {1 - 2 * (y * y + z * z), 2 * (x * y + w * z),     2 * (x * z - w * y),
                              2 * (x * y - w * z),     1 - 2 * (x * x + z * z), 2 * (y * z + w * x),
                              2 * (x * z + w * y),     2 * (y * z - w * x),     1 - 2 * (x * x + y * y)};
  m = kGltfIdentity;
  for (int column = 0; column < 3; ++column) {
    for (int row = 0; row < 3; ++row) m[column * 4 + row] = rotation[column * 3 + row] * s[column];
    m[12 + column] = t[column];
  }
  return true;
}

}  // namespace

// Every node has at most one parent, and no node is its own ancestor.
bool GltfNodeTransforms::Compute(const GltfJson& nodes, std::string& why) {
  parents_.assign(nodes.size(), -1);
  for (uint64_t k = 0; k < nodes.size(); ++k) {
    const GltfJson* children = MemberOf(nodes[k], "children");
    if (children == nullptr) continue;
    if (!children->is_array()) return Fail(why, "is not valid glTF 2.0: " + PointerOf("nodes", k) + "/children is not an array");
    for (const GltfJson& child : *children) {
      uint64_t c = 0;
      if (!AsIndex(&child, nodes.size(), c) || c == k || parents_[c] >= 0) {
        return Fail(why, "is not valid glTF 2.0: " + PointerOf("nodes", k) +
                             "/children names a node that is no child of its own");
      }
      parents_[c] = static_cast<int64_t>(k);
    }
  }
  worlds_.assign(nodes.size(), kGltfIdentity);
  state_.assign(nodes.size(), 0);
  for (uint64_t k = 0; k < nodes.size(); ++k) {
    if (!ComputeWorld(nodes, k, why)) return false;
  }
  return true;
}

// The node's transform in the scene, through every parent, computed once
// per node from its root down.
bool GltfNodeTransforms::ComputeWorld(const GltfJson& nodes, uint64_t k, std::string& why) {
  std::vector<uint64_t> chain;
  for (int64_t n = static_cast<int64_t>(k); n >= 0 && state_[n] != 2; n = parents_[n]) {
    if (state_[n] == 1) return Fail(why, "is not valid glTF 2.0: " + PointerOf("nodes", k) + " is its own ancestor");
    state_[n] = 1;
    chain.push_back(static_cast<uint64_t>(n));
  }
  for (auto n = chain.rbegin(); n != chain.rend(); ++n) {
    GltfMatrix local;
    if (!LocalTransform(nodes[*n], local)) {
      return Fail(why, "is not valid glTF 2.0: " + PointerOf("nodes", *n) + " has a transform that is not numbers");
    }
    worlds_[*n] = parents_[*n] >= 0 ? Multiply(worlds_[parents_[*n]], local) : local;
    state_[*n] = 2;
  }
  return true;
}
