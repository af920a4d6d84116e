#pragma once
// A drawable node of a render layer. Flags: bits 0 and 1 shown (the scene manager draws nodes
// with bit 1), bit 2 back-face culling for the node's passes. Every node owns one material.

#include "Quor/CMemWatch.h"
#include "Quor/CStr.h"

#include <cstdint>
#include <memory>

namespace Ombrel {

class ISceneMaterial;

class ISceneNode : public CMemWatch {
 public:
  static constexpr uint32_t kShownBits = 0x3;
  static constexpr uint32_t kDrawnBit = 0x2;
  static constexpr uint32_t kCullBit = 0x4;

  // Shown, culling back faces, with a CDefaultMaterial.
  explicit ISceneNode(const char* name);
  ~ISceneNode() override;
  ISceneNode(const ISceneNode&) = delete;
  ISceneNode& operator=(const ISceneNode&) = delete;

  virtual void Reset() {}
  virtual void Render() = 0;
  virtual void Hide() { m_flags &= ~kShownBits; }
  virtual void Show() { m_flags |= kShownBits; }

  // Takes the material and deletes the one it replaces; null gives a CDefaultMaterial.
  void SetMaterial(ISceneMaterial* material);
  ISceneMaterial* GetMaterial() const { return m_material.get(); }

  const CStr& GetName() const { return m_name; }
  uint32_t GetFlags() const { return m_flags; }
  bool IsDrawn() const { return (m_flags & kDrawnBit) != 0; }
  // Only bit 1: an overlay waits in its layer undrawn, keeping its other bits.
  void SetDrawn(bool drawn) { m_flags = drawn ? m_flags | kDrawnBit : m_flags & ~kDrawnBit; }
  bool CullsBackFaces() const { return (m_flags & kCullBit) != 0; }
  void SetBackFaceCulling(bool on) { m_flags = on ? m_flags | kCullBit : m_flags & ~kCullBit; }

 private:
  CStr m_name;
  uint32_t m_flags = kShownBits | kCullBit;
  std::unique_ptr<ISceneMaterial> m_material;
};

}  // namespace Ombrel
