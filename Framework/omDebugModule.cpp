#include "Framework/omDebugModule.h"

#include "Framework/Resources/ResourceTypes/omResourceFont.h"
#include "Framework/Resources/omResourceManager.h"
#include "Framework/Scene/omQuickNode.h"
#include "Framework/Scene/omSceneManager.h"
#include "Framework/Scene/omSceneMaterial.h"
#include "Framework/omAssetModule.h"
#include "Framework/omDebugOutput.h"
#include "Framework/omRenderModule.h"

namespace Ombrel {

namespace {

CFont* SystemFont() {
  CResourceManager* resources = GetResourceManager();
  CResourceFont* font = resources ? resources->GetFont("System") : nullptr;
  return font ? font->GetFont() : nullptr;
}

}  // namespace

CDebugModule::CDebugModule() : CSingleModule("DebugModule", kModuleDebug) {}

CDebugModule::~CDebugModule() {
  Shutdown();
}

bool CDebugModule::Init() {
  if (!IModule::Init()) return false;
  m_output = std::make_unique<Debug::CDebugOutput>();
  m_output->Register(Debug::CDebugOutput::kText2DName, new Debug::CDR_Text2D(SystemFont()));
  m_output->Register(Debug::CDebugOutput::kLineName, new Debug::CDR_Line());
  if (CSceneManager* scene = GetSceneManager()) {
    scene->AddGroup(kGroupName);
    scene->SetCurrentGroup(kGroupName);
    auto* node = new CQuickNode(kNodeName, PtrToMember0::Ptr<CDebugModule>(this, &CDebugModule::RenderOutput));
    node->SetMaterial(new C2DMaterial(kMaterialName));
    scene->AddNode(node, scene->GetDebugInfoLayerName());
  }
  return true;
}

bool CDebugModule::Shutdown() {
  if (!IModule::Shutdown()) return false;
  if (CSceneManager* scene = GetSceneManager()) scene->RemoveGroup(kGroupName);
  m_output.reset();
  return true;
}

void CDebugModule::Update() {
  if (m_output) m_output->ClearAll();
}

void CDebugModule::RenderOutput() {
  if (m_output) m_output->RenderAll();
}

CDebugModule* GetDebugModule() { return CDebugModule::Instance(); }

}  // namespace Ombrel
