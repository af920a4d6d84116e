#pragma once
// The owner of the live particle effects: keeps them by group number, advances them every
// frame and draws one group at a time, farthest effect first.

#include "Common/Particles/CEffectBase.h"

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

class CEffectParams;
class CDefaultRender;

// One effect on screen: its elements in update order (emitter first, renderer last).
class CEffectInstance {
 public:
  CEffectInstance(CEffectBase* emitter, CDefaultRender* renderer, uint32_t id);
  ~CEffectInstance();  // elements last to first
  CEffectInstance(const CEffectInstance&) = delete;
  CEffectInstance& operator=(const CEffectInstance&) = delete;

  // Builds the standard element chain for a parameter set: emitter, material, the motion
  // elements whose groups the set has, renderer; each loads its parameters in that order.
  static std::unique_ptr<CEffectInstance> CreateStandard(CEffectParams* params);

  // Inserts an element before the renderer; the instance owns it.
  void AddElement(CEffectBase* element);

  bool IsRunning() const { return m_emitter->IsAlive() || m_emitter->IsActive(); }
  void Update(float dt);
  Vector4 GetEffectPosition() const;
  bool IsEffectVisible() const;

  uint32_t GetId() const { return m_id; }
  CEffectBase* GetEmitter() const { return m_emitter; }
  CDefaultRender* GetRenderer() const { return m_renderer; }
  const std::vector<CEffectBase*>& GetElements() const { return m_elements; }

 private:
  std::vector<CEffectBase*> m_elements;
  uint32_t m_id;
  CEffectBase* m_emitter;
  CDefaultRender* m_renderer;
};

class CEffectManager {
 public:
  static constexpr uint32_t kMaxFolderLength = 511;

  CEffectManager();
  ~CEffectManager();
  CEffectManager(const CEffectManager&) = delete;
  CEffectManager& operator=(const CEffectManager&) = delete;

  // Takes ownership of the instance and files it under the group.
  CEffectInstance* AddEffect(std::unique_ptr<CEffectInstance> instance, int32_t group);

  void SetDataFolder(const char* path);
  const char* GetDataFolder() const { return m_dataFolder; }

  // Advances every group there is, in group order.
  void Update(float dt);
  void UpdateGroup(int32_t group, float dt);
  // Draws the running, visible instances of one group, farthest first.
  void RenderEffect(int32_t group);
  // Destroys the first live instance built from the parameter set (the same id).
  void ReleaseEffect(const CEffectParams& params, int32_t group);

  uint32_t GetLiveCount() const { return static_cast<uint32_t>(m_live.size()); }
  uint32_t GetGroupCount() const { return static_cast<uint32_t>(m_groups.size()); }
  // The instances of a group (empty for an unknown group).
  std::vector<CEffectInstance*> GetGroup(int32_t group) const;

 private:
  static void UpdateEffect(CEffectInstance& instance, float dt);

  std::vector<std::unique_ptr<CEffectInstance>> m_live;
  std::map<int32_t, std::vector<CEffectInstance*>> m_groups;
  std::vector<CEffectInstance*> m_drawList;
  Vector4 m_cameraPosition;
  char m_dataFolder[512] = {};
};

// The one manager, created and destroyed by the framework's effect-resource loader.
extern CEffectManager* g_effectManager;
