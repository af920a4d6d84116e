#pragma once
// A node (bone, part) of a model: the transform record the animators write every frame,
// and the node's place in the model's hierarchy.

#include "Quor/Utils.h"

#include <string>
#include <vector>

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
  // Marker points the model file carries with the node (x, y, z and a fourth value);
  // the engine keeps them for the game to read.
  std::vector<Vector4> points;
  Vector3 pivot;
  float extra = 0.0f;
};

// Back to the rest pose: weight 0, mark 1, no offset, unit scale, no rotation.
void ResetNodeTransform(SNodeTransform* transform);
// The node's matrix from its record: translation by minus the pivot, then the record's
// rotation, then the record's position (row vectors). The record's scale is not applied.
void ComputeNodeMatrix(const CModelNode& node, Matrix4* out);
