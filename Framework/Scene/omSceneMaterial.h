#pragma once
// How one scene node is drawn: how many passes it gets each frame and which render states hold
// around each pass. Every node owns exactly one material. The states go through the engine's
// render-state service, so the engine's record of them always matches the device.

#include "Quor/CMemWatch.h"
#include "Quor/CStr.h"

#include <cstdint>

namespace Ombrel {

class ISceneNode;

class ISceneMaterial : public CMemWatch {
 public:
  static constexpr int32_t kNoPass = -1;

  explicit ISceneMaterial(const char* name) : m_name(name) {}

  // Once per frame for every node about to be drawn, before the first pass of any node.
  virtual void Prepare(ISceneNode* node);
  // Draws the node: its Render.
  virtual void RenderPass(int32_t pass, ISceneNode* node);
  virtual void BeginPass(int32_t pass, ISceneNode* node) = 0;
  virtual void EndPass(int32_t pass, ISceneNode* node) = 0;

  const CStr& GetName() const { return m_name; }
  int32_t GetPassCount() const { return m_passCount; }
  // The pass being drawn; kNoPass outside a pass. The scene manager sets it around each pass.
  int32_t GetCurrentPass() const { return m_currentPass; }
  void SetCurrentPass(int32_t pass) { m_currentPass = pass; }

 protected:
  void SetPassCount(int32_t count) { m_passCount = count; }

 private:
  CStr m_name;
  int32_t m_passCount = 1;
  int32_t m_currentPass = kNoPass;
};

// What every node gets at construction: alpha blending, depth test (less or equal) and writes.
class CDefaultMaterial : public ISceneMaterial {
 public:
  static constexpr const char* kName = "DefaultMat";

  CDefaultMaterial() : ISceneMaterial(kName) {}
  void BeginPass(int32_t pass, ISceneNode* node) override;
  void EndPass(int32_t pass, ISceneNode* node) override;
};

// Flat 2-D content: alpha blending without depth; depth test and writes are switched back on
// after the pass, whatever material the next node has.
class C2DMaterial : public ISceneMaterial {
 public:
  explicit C2DMaterial(const char* name) : ISceneMaterial(name) {}
  void BeginPass(int32_t pass, ISceneNode* node) override;
  void EndPass(int32_t pass, ISceneNode* node) override;
};

}  // namespace Ombrel
