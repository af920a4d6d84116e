#include "Framework/omDebugModule.h"

#include "Framework/Scene/omSceneManager.h"
#include "Framework/omRenderModule.h"

namespace Ombrel {

CDebugModule::CDebugModule() : CSingleModule("DebugModule", kModuleDebug) {}

CDebugModule::~CDebugModule() {
  Shutdown();
}

bool CDebugModule::Init() {
  if (!IModule::Init()) return false;
  if (CSceneManager* scene = GetSceneManager()) {
    scene->AddGroup(kGroupName);
    scene->SetCurrentGroup(kGroupName);
  }
  return true;
}

bool CDebugModule::Shutdown() {
  if (!IModule::Shutdown()) return false;
  if (CSceneManager* scene = GetSceneManager()) scene->RemoveGroup(kGroupName);
  return true;
}

CDebugModule* GetDebugModule() { return CDebugModule::Instance(); }

}  // namespace Ombrel
