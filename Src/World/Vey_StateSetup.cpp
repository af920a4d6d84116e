#include "Src/World/Vey_StateSetup.h"

#include "Framework/Resources/ResourceTypes/omResourceLayout2D.h"
#include "Framework/Resources/omResourceManager.h"
#include "Framework/Resources/omResourcesXMLLoader.h"
#include "Framework/Scene/omSceneManager.h"
#include "Framework/omAssetModule.h"
#include "Framework/omFileSystem.h"
#include "Framework/omRenderModule.h"
#include "Quor/CSoundManager.h"
#include "Quor/ReportError.h"

namespace Vey {

void StackLayers(const char* const* layers, size_t count) {
  Ombrel::CSceneManager* scene = Ombrel::GetSceneManager();
  if (!scene) return;
  const char* anchor = Ombrel::CSceneManager::kSystemInfoLayer;
  for (size_t i = 0; i < count; ++i) {
    scene->AddLayer(layers[i], anchor);
    anchor = layers[i];
  }
}

void LoadStateResources(const char* list, const char* state) {
  Ombrel::CResourceManager* resources = Ombrel::GetResourceManager();
  if (!resources) return;
  if (Ombrel::ContentFileExists(list)) {
    Ombrel::CResourcesXMLLoader reader(resources);
    reader.Load(list);
  } else {
    HM_REPORT("Src/World/Vey_StateSetup", "%s: no such resource list; the %s's resources are not loaded", list, state);
  }
  if (CSoundManager* sound = GetSoundManager()) sound->Flush();
}

Ombrel::CLayout2D* LoadStateLayout(const char* name) {
  Ombrel::CResourceManager* resources = Ombrel::GetResourceManager();
  Ombrel::CResourceLayout2D* resource = resources ? resources->GetLayout2D(name) : nullptr;
  if (resource && !resource->IsLoaded()) resource->Load();
  return resource ? resource->GetLayout() : nullptr;
}

Ombrel::CLayout2D* FindStateLayout(const char* name) {
  Ombrel::CLayout2D* layout = LoadStateLayout(name);
  if (!layout) HM_REPORT("Src/World/Vey_StateSetup", "The state's resources hold no 2-D layout \"%s\"", name);
  return layout;
}

}  // namespace Vey
