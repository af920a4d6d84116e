#include "Quor/CAnimator_KeyframedSkeleton.h"

namespace {

CDynArray<CModelNode*>& RegisteredNodes() {
  static CDynArray<CModelNode*> nodes(4);
  if (nodes.GetCapacity() == 0) nodes.Reserve(256);
  return nodes;
}

uint32_t FindRegisteredNode(const CModelNode* node) {
  if (!node) return kNoBone;
  CDynArray<CModelNode*>& nodes = RegisteredNodes();
  for (uint32_t i = 0; i < nodes.GetCount(); ++i)
    if (nodes[i] == node) return i;
  return kNoBone;
}

Vector3 Difference(const Vector3& a, const Vector3& b) { return Vector3{a.x - b.x, a.y - b.y, a.z - b.z}; }

}  // namespace

uint32_t GetSkeletonNodeCount() { return RegisteredNodes().GetCount(); }

CSkeletonInfo::~CSkeletonInfo() {
  if (m_owner && m_owner->m_skeleton == this) m_owner->m_skeleton = nullptr;
}

CAnimator_KeyframedSkeleton::CAnimator_KeyframedSkeleton(const char* fileName)
    : CAnimator_KeyframedOffset(fileName) {
  m_active = true;
}

CAnimator_KeyframedSkeleton::CAnimator_KeyframedSkeleton(const SFileBytes& file)
    : CAnimator_KeyframedOffset(file) {
  m_active = true;
}

CAnimator_KeyframedSkeleton::~CAnimator_KeyframedSkeleton() {
  if (m_skeleton) m_skeleton->m_owner = nullptr;
}

CAttachedInfo* CAnimator_KeyframedSkeleton::CreateAttachment(CModelNode* node) {
  if (!node) return BuildSkeleton();
  CDynArray<CModelNode*>& nodes = RegisteredNodes();
  if (m_rebuild) {
    m_rebuild = false;
    nodes.Clear();
  }
  nodes.Add(node);
  return new CSkeletonBoneNumber(nodes.GetCount() - 1);
}

CSkeletonInfo* CAnimator_KeyframedSkeleton::BuildSkeleton() {
  // Only nodes this animator registered since its last skeleton count: the list is shared,
  // and nodes left in it may belong to models that are gone by now.
  CDynArray<CModelNode*>& nodes = RegisteredNodes();
  const bool registeredHere = !m_rebuild;
  m_rebuild = true;
  if (!registeredHere || nodes.GetCount() == 0) return nullptr;

  auto* skeleton = new CSkeletonInfo;
  skeleton->bones.resize(nodes.GetCount());
  uint32_t* lastChild = nullptr;  // where the next root is linked
  std::vector<uint32_t> lastChildOf(nodes.GetCount(), kNoBone);
  uint32_t lastRoot = kNoBone;
  for (uint32_t i = 0; i < nodes.GetCount(); ++i) {
    SSkeletonBone& bone = skeleton->bones[i];
    bone.node = nodes[i];
    bone.track = FindTrack(bone.node->name.c_str());
    // A parent that was not registered (or the node itself) makes the bone a root.
    const uint32_t parent = FindRegisteredNode(bone.node->parent);
    bone.parent = parent != i ? parent : kNoBone;
    if (bone.parent == kNoBone) {
      bone.offset = bone.node->pivot;
      lastChild = lastRoot == kNoBone ? &skeleton->firstRoot : &skeleton->bones[lastRoot].nextSibling;
      lastRoot = i;
    } else {
      bone.offset = Difference(bone.node->pivot, nodes[bone.parent]->pivot);
      const uint32_t previous = lastChildOf[bone.parent];
      lastChild = previous == kNoBone ? &skeleton->bones[bone.parent].firstChild
                                      : &skeleton->bones[previous].nextSibling;
      lastChildOf[bone.parent] = i;
    }
    *lastChild = i;
  }

  nodes.Clear();
  if (m_skeleton) m_skeleton->m_owner = nullptr;
  skeleton->m_owner = this;
  m_skeleton = skeleton;
  return skeleton;
}

void CAnimator_KeyframedSkeleton::SetTime(uint32_t context, float time, float elapsed, bool looping) {
  CAnimator_Keyframed::SetTime(context, time, elapsed, looping);
  if (!m_skeleton) return;
  // Parents are posed before their children. A cycle in the parent links cannot arise
  // (each bone has one parent and the chains end at roots), but the walk is bounded by
  // the bone count anyway so that damaged links can never hang it.
  std::vector<SSkeletonBone>& bones = m_skeleton->bones;
  std::vector<uint32_t> pending;
  for (uint32_t root = m_skeleton->firstRoot; root != kNoBone && pending.size() < bones.size();
       root = bones[root].nextSibling)
    pending.push_back(root);
  size_t posed = 0;
  while (!pending.empty() && posed < bones.size()) {
    const uint32_t index = pending.back();
    pending.pop_back();
    SSkeletonBone& bone = bones[index];
    PoseBone(bone, bone.parent == kNoBone ? nullptr : &bones[bone.parent]);
    ++posed;
    for (uint32_t child = bone.firstChild; child != kNoBone; child = bones[child].nextSibling)
      pending.push_back(child);
  }
}

void CAnimator_KeyframedSkeleton::PoseBone(SSkeletonBone& bone, const SSkeletonBone* parent) {
  float values[4];
  if (bone.track && bone.track->rotationKeys.Sample(m_currentFrame, m_looping, &bone.rotationCursor, values))
    bone.rotation = Quaternion{values[0], values[1], values[2], values[3]};
  else
    bone.rotation = parent ? parent->rotation : Quaternion{};
  const Vector4 offset{bone.offset.x, bone.offset.y, bone.offset.z, 0.0f};
  if (!parent) {
    bone.position = offset;
    return;
  }
  const Vector4 turned = QuaternionRotateVector(parent->rotation, offset);
  bone.position = Vector4{parent->position.x + turned.x, parent->position.y + turned.y,
                          parent->position.z + turned.z, 0.0f};
}

void CAnimator_KeyframedSkeleton::Apply(SNodeTransform* transform, CAttachedInfo* attachment) {
  auto* number = dynamic_cast<CSkeletonBoneNumber*>(attachment);
  if (!transform || !number || !m_skeleton || number->index >= m_skeleton->bones.size()) return;
  const SSkeletonBone& bone = m_skeleton->bones[number->index];
  MergeNodeTransform(transform, Vector3{bone.position.x, bone.position.y, bone.position.z},
                     Vector3{1.0f, 1.0f, 1.0f}, bone.rotation, true);
}
