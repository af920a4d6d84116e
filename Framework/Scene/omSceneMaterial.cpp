#include "Framework/Scene/omSceneMaterial.h"

#include "Framework/Scene/omSceneNode.h"
#include "Platform/GraphicsTypes.h"
#include "Quor/RenderStates.h"

namespace Ombrel {

void ISceneMaterial::Prepare(ISceneNode*) {}

void ISceneMaterial::RenderPass(int32_t, ISceneNode* node) { node->Render(); }

void CDefaultMaterial::BeginPass(int32_t, ISceneNode*) {
  DepthTestOn();
  SetDepthFunc(GFX_CMP_LESSEQUAL);
  DepthWriteOn();
  AlphaBlendOn();
  BlendNormal();
  AlphaTestOff();
}

void CDefaultMaterial::EndPass(int32_t, ISceneNode*) {}

void C2DMaterial::BeginPass(int32_t, ISceneNode*) {
  AlphaBlendOn();
  BlendNormal();
  DepthTestOff();
  DepthWriteOff();
}

void C2DMaterial::EndPass(int32_t, ISceneNode*) {
  DepthTestOn();
  DepthWriteOn();
}

}  // namespace Ombrel
