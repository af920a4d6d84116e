#pragma once
// Sphere collision: once a frame the registered objects put their spheres into the
// manager, every pair of spheres of different owners is tested, and the objects hear of
// their contacts (and of the ground plane below them). An object that accepts a contact
// ignores every further contact of that frame.

#include "Quor/CPtrList.h"
#include "Quor/Utils.h"

#include <cstdint>

class CCollisionManager;

// What a registered object is and does; it adds its own spheres each frame.
class ICollisionObject {
 public:
  virtual ~ICollisionObject() = default;
  // Called at frame start: add this frame's spheres with AddOwnedSphere.
  virtual void AddSpheres(CCollisionManager& manager) = 0;
  // True accepts the contact (and ends this object's contacts for the frame).
  virtual bool OnContact(const Vector4& point, const Vector4& direction, float depth, ICollisionObject* other) = 0;
  virtual void OnFrameEnd() = 0;

  uint32_t frameStamp = 0;      // the frame in which it last accepted a contact
  uint32_t categoryMask = 0;    // what it is
  uint32_t reactionMask = 0;    // what it reacts to; bit 0: the ground plane
  float groundHeight = 0.0f;
};

struct SCollisionSphere {
  Vector4 centre;  // w is carried along
  float radius = 0.0f;
  ICollisionObject* owner = nullptr;
};

constexpr uint32_t kReactsToGround = 1u;

class CCollisionManager {
 public:
  static constexpr uint32_t kSphereGrowStep = 64;

  CCollisionManager() = default;
  CCollisionManager(const CCollisionManager&) = delete;
  CCollisionManager& operator=(const CCollisionManager&) = delete;

  void SetEnabled(bool enabled) { m_enabled = enabled; }
  bool IsEnabled() const { return m_enabled; }

  // Registration is the objects' own business; an object registers once.
  void Register(ICollisionObject* object);
  void Unregister(ICollisionObject* object);

  void BeginFrame();
  void Update();
  void EndFrame();
  // A sphere without owner: it takes part in no test.
  void AddSphere(const Vector4& centre, float radius);
  void AddOwnedSphere(const Vector4& centre, float radius, ICollisionObject* owner);

  uint32_t GetSphereCount() const { return m_spheres.GetCount(); }
  static uint32_t GetFrameNumber();

 private:
  void TestPair(const SCollisionSphere& first, const SCollisionSphere& second) const;
  void TestGround(const SCollisionSphere& sphere) const;

  bool m_enabled = false;
  bool m_changed = false;
  CDynArray<SCollisionSphere> m_spheres{kSphereGrowStep};
  CPtrList<ICollisionObject> m_objects;
};

// The program's sphere manager: nothing creates one, so callers skip it while it is null.
CCollisionManager* GetCollisionManager();
void SetCollisionManager(CCollisionManager* manager);
// The "other" object of ground contacts (null unless the game sets one).
void SetGroundCollisionObject(ICollisionObject* ground);
