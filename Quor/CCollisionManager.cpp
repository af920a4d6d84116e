#include "Quor/CCollisionManager.h"

#include "Quor/CModelNode.h"

#include <cmath>

namespace {

CCollisionManager* g_collisionManager = nullptr;
ICollisionObject* g_groundObject = nullptr;
uint32_t g_collisionFrame = 0;

Matrix4 Translation(float x, float y, float z) {
  Matrix4 m;
  MatrixScaleTranslation(&m, 1.0f, 1.0f, 1.0f, x, y, z);
  return m;
}

}  // namespace

// ---- node transforms of the render objects ----

void ResetNodeTransform(SNodeTransform* transform) { *transform = SNodeTransform(); }

void ComputeNodeMatrix(const CModelNode& node, Matrix4* out) {
  const SNodeTransform& t = node.transform;
  Matrix4 rotation;
  QuaternionToMatrix(&rotation, t.rotation);
  Matrix4 turned;
  MatrixMultiply(&turned, Translation(-node.pivot.x, -node.pivot.y, -node.pivot.z), rotation);
  MatrixMultiply(out, turned, Translation(t.position.x, t.position.y, t.position.z));
}

// ---- the sphere manager ----

CCollisionManager* GetCollisionManager() { return g_collisionManager; }
void SetCollisionManager(CCollisionManager* manager) { g_collisionManager = manager; }
void SetGroundCollisionObject(ICollisionObject* ground) { g_groundObject = ground; }
uint32_t CCollisionManager::GetFrameNumber() { return g_collisionFrame; }

void CCollisionManager::Register(ICollisionObject* object) {
  if (object) m_objects.PushFront(object);
}

void CCollisionManager::Unregister(ICollisionObject* object) { m_objects.Remove(object); }

void CCollisionManager::BeginFrame() {
  if (!m_enabled) return;
  m_changed = true;
  m_spheres.Clear();
  if (m_spheres.GetCapacity() == 0) m_spheres.Reserve(m_spheres.GetGrowStep());
  ++g_collisionFrame;
  for (ICollisionObject* object : m_objects) object->AddSpheres(*this);
}

void CCollisionManager::EndFrame() {
  if (!m_enabled && !m_changed) return;
  for (ICollisionObject* object : m_objects) object->OnFrameEnd();
  m_changed = false;
}

void CCollisionManager::AddSphere(const Vector4& centre, float radius) { AddOwnedSphere(centre, radius, nullptr); }

void CCollisionManager::AddOwnedSphere(const Vector4& centre, float radius, ICollisionObject* owner) {
  if (!m_enabled && !m_changed) return;
  m_spheres.Add(SCollisionSphere{centre, radius, owner});
}

void CCollisionManager::Update() {
  if ((!m_enabled && !m_changed) || m_spheres.GetCount() == 0) return;
  const uint32_t count = m_spheres.GetCount();
  for (uint32_t i = 0; i < count; ++i) {
    // An ownerless sphere has nobody to tell: it only stands in the array.
    if (!m_spheres[i].owner) continue;
    for (uint32_t j = i + 1; j < count; ++j)
      if (m_spheres[j].owner) TestPair(m_spheres[i], m_spheres[j]);
    TestGround(m_spheres[i]);
  }
}

void CCollisionManager::TestPair(const SCollisionSphere& first, const SCollisionSphere& second) const {
  ICollisionObject* a = first.owner;
  ICollisionObject* b = second.owner;
  if (a == b || (a->frameStamp == g_collisionFrame && b->frameStamp == g_collisionFrame)) return;
  const uint32_t aReacts = b->categoryMask & a->reactionMask;
  const uint32_t bReacts = a->categoryMask & b->reactionMask;
  if (!aReacts && !bReacts) return;

  const float dx = first.centre.x - second.centre.x;
  const float dy = first.centre.y - second.centre.y;
  const float dz = first.centre.z - second.centre.z;
  const float reach = first.radius + second.radius;
  const float distanceSquared = dx * dx + dy * dy + dz * dz;
  if (!(distanceSquared < reach * reach)) return;  // touching spheres do not collide

  const Vector4 point{(first.centre.x + second.centre.x) * 0.5f, (first.centre.y + second.centre.y) * 0.5f,
                      (first.centre.z + second.centre.z) * 0.5f, 0.0f};
  const Vector4 direction{-dx * 0.5f, -dy * 0.5f, -dz * 0.5f, 0.0f};
  const Vector4 reverse{dx * 0.5f, dy * 0.5f, dz * 0.5f, 0.0f};
  const float depth = (reach - std::sqrt(distanceSquared)) * 0.5f;
  if (aReacts && a->frameStamp != g_collisionFrame && a->OnContact(point, direction, depth, b))
    a->frameStamp = g_collisionFrame;
  if (bReacts && b->frameStamp != g_collisionFrame && b->OnContact(point, reverse, depth, a))
    b->frameStamp = g_collisionFrame;
}

void CCollisionManager::TestGround(const SCollisionSphere& sphere) const {
  ICollisionObject* a = sphere.owner;
  if (!(a->reactionMask & kReactsToGround) || sphere.centre.z - sphere.radius > a->groundHeight) return;
  const Vector4 point{sphere.centre.x, sphere.centre.y, a->groundHeight, 0.0f};
  a->OnContact(point, Vector4{0.0f, 0.0f, -1.0f, 0.0f}, sphere.centre.z - a->groundHeight, g_groundObject);
}
