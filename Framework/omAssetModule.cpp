#include "Framework/omAssetModule.h"

#include "Framework/Resources/omResourceBase.h"
#include "Framework/Resources/omResourceManager.h"
#include "Quor/CModelManager.h"
#include "Quor/CShaderManager.h"
#include "Quor/CSoundManager.h"
#include "Quor/CTextureManager.h"

namespace Ombrel {

const char* const CAssetModule::kResourceTypes[20] = {
    "Font",  "Texture", "Terrain",      "Model",       "Camera",    "Buffer",   "Anim",
    "Sound", "Script",  "Spline",       "Effect",      "RenderTarget", "TextureJpeg",
    "Collision", "TextureJpt", "Layout2D", "TexAnim", "Graph", "Mask", "Atlas",
};

CAssetModule::CAssetModule() : CSingleModule("AssetModule", kModuleAsset) {}

CAssetModule::~CAssetModule() {
  Shutdown();
}

bool CAssetModule::Init() {
  if (!IModule::Init()) return false;
  m_textures = std::make_unique<CTextureManager>("");
  SetTextureManager(m_textures.get());
  m_shaders = std::make_unique<CShaderManager>("");
  m_models = new CModelManager("");
  g_pModelManager = m_models;
  m_sound = std::make_unique<CSoundManager>();
  m_sound->SetSoundVolume(1.0f);
  m_sound->SetMusicVolume(1.0f);
  m_resources = std::make_unique<CResourceManager>();
  RegisterLoaders();
  return true;
}

void CAssetModule::RegisterLoaders() {
  for (const char* type : kResourceTypes) m_resources->RegisterLoader(new CResourceLoader, type);
}

bool CAssetModule::Shutdown() {
  if (!IModule::Shutdown()) return false;
  m_resources.reset();
  m_sound.reset();
  DestroyModelCache(m_models);
  m_models = nullptr;
  m_shaders.reset();
  if (GetTextureManager() == m_textures.get()) SetTextureManager(nullptr);
  m_textures.reset();
  return true;
}

CAssetModule* GetAssetModule() { return CAssetModule::Instance(); }

CResourceManager* GetResourceManager() {
  const CAssetModule* assets = GetAssetModule();
  return assets ? assets->GetResourceManager() : nullptr;
}

}  // namespace Ombrel
