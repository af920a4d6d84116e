#pragma once
// A node (bone, part) of a model: the transform record the animators write every frame,
// and the node's place in the model's hierarchy.

#include "Quor/Utils.h"

#include <string>

// What the animators merge into a node each frame. The render object resets it before
// its animation instances run, then turns it into the node's matrix.
struct SNodeTransform {
  float weight = 0.0f;  // sum of the blend weights merged so far this frame
  uint8_t mark = 1;     // cleared by an additive (offset) contribution
  Vector4 position{0.0f, 0.0f, 0.0f, 0.0f};
  Vector4 scale{1.0f, 1.0f, 1.0f, 0.0f};
  Quaternion rotation{0.0f, 0.0f, 0.0f, 1.0f};
};

class CModelNode {
 public:
  SNodeTransform transform;
  std::string name;
  CModelNode* parent = nullptr;  // null for a top-level node
  Vector3 pivot;
};
