#include "Framework/Scene/omSceneNode.h"

#include "Framework/Scene/omSceneMaterial.h"

namespace Ombrel {

ISceneNode::ISceneNode(const char* name) : m_name(name), m_material(std::make_unique<CDefaultMaterial>()) {}

ISceneNode::~ISceneNode() = default;

void ISceneNode::SetMaterial(ISceneMaterial* material) {
  if (material == m_material.get()) return;
  // A node always has a material: none given means the default one.
  m_material.reset(material ? material : new CDefaultMaterial);
}

}  // namespace Ombrel
