#include "Framework/omDebugModule.h"

#include "Framework/Scene/omSceneManager.h"
#include "Framework/omRenderModule.h"

namespace Ombrel {

namespace {
CDebugModule* g_module = nullptr;
}  // namespace

CDebugModule::CDebugModule() : IModule("DebugModule", kModuleDebug) { g_module = this; }

CDebugModule::~CDebugModule() {
  Shutdown();
  if (g_module == this) g_module = nullptr;
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

CDebugModule* GetDebugModule() { return g_module; }

}  // namespace Ombrel
