#include "Framework/omAssetModule.h"

#include "Framework/Resources/ResourceTypes/omResourceAStarGraph.h"
#include "Framework/Resources/ResourceTypes/omResourceAnimation.h"
#include "Framework/Resources/ResourceTypes/omResourceBuffer.h"
#include "Framework/Resources/ResourceTypes/omResourceCamera.h"
#include "Framework/Resources/ResourceTypes/omResourceCollision.h"
#include "Framework/Resources/ResourceTypes/omResourceEffect.h"
#include "Framework/Resources/ResourceTypes/omResourceFont.h"
#include "Framework/Resources/ResourceTypes/omResourceJpegTexture.h"
#include "Framework/Resources/ResourceTypes/omResourceLayout2D.h"
#include "Framework/Resources/ResourceTypes/omResourceMask.h"
#include "Framework/Resources/ResourceTypes/omResourceModel.h"
#include "Framework/Resources/ResourceTypes/omResourceRenderTarget.h"
#include "Framework/Resources/ResourceTypes/omResourceScript.h"
#include "Framework/Resources/ResourceTypes/omResourceSound.h"
#include "Framework/Resources/ResourceTypes/omResourceSpline.h"
#include "Framework/Resources/ResourceTypes/omResourceTerrain.h"
#include "Framework/Resources/ResourceTypes/omResourceTexAnim.h"
#include "Framework/Resources/ResourceTypes/omResourceTexture.h"
#include "Framework/Resources/ResourceTypes/omResourceTextureAtlas.h"
#include "Framework/Resources/omJpegDecoder.h"
#include "Framework/Resources/omResourceManager.h"
#include "Framework/Resources/omResourcesXMLLoader.h"
#include "Framework/omFileSystem.h"
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
  m_jpegDecoder = std::make_unique<CJpegDecoder>(m_textures.get());
  m_resources = std::make_unique<CResourceManager>();
  RegisterLoaders();
  LoadSystemResources();
  return true;
}

// In the order of kResourceTypes: lookups and the destruction at the end follow it.
void CAssetModule::RegisterLoaders() {
  CResourceManager& resources = *m_resources;
  CJpegDecoder* jpeg = m_jpegDecoder.get();
  resources.RegisterLoader(new CResFontLoader, "Font");
  resources.RegisterLoader(new CResTextureLoader, "Texture");
  resources.RegisterLoader(new CResTerrainLoader, "Terrain");
  resources.RegisterLoader(new CResModelLoader, "Model");
  resources.RegisterLoader(new CResCameraLoader, "Camera");
  resources.RegisterLoader(new CResBufferLoader, "Buffer");
  resources.RegisterLoader(new CResAnimationLoader, "Anim");
  resources.RegisterLoader(new CResSoundLoader, "Sound");
  resources.RegisterLoader(new CResScriptLoader, "Script");
  resources.RegisterLoader(new CResSplineLoader, "Spline");
  resources.RegisterLoader(new CResEffectLoader, "Effect");
  resources.RegisterLoader(new CResRenderTargetLoader, "RenderTarget");
  resources.RegisterLoader(new CResJpegTextureLoader(jpeg), "TextureJpeg");
  resources.RegisterLoader(new CResCollisionLoader, "Collision");
  resources.RegisterLoader(new CResJptTextureLoader(jpeg), "TextureJpt");
  resources.RegisterLoader(new CResLayout2DLoader(&resources), "Layout2D");
  resources.RegisterLoader(new CResTexAnimLoader(jpeg), "TexAnim");
  resources.RegisterLoader(new CResAStarGraphLoader, "Graph");
  resources.RegisterLoader(new CResMaskLoader, "Mask");
  resources.RegisterLoader(new CResTextureAtlasLoader, "Atlas");
}

// The system resources belong to the group whose name is empty and live for the whole run.
void CAssetModule::LoadSystemResources() {
  if (!ContentFileExists(kSystemResources)) return;  // a content tree without system resources
  CResourcesXMLLoader reader(m_resources.get());
  reader.Load(kSystemResources);
}

bool CAssetModule::Shutdown() {
  if (!IModule::Shutdown()) return false;
  m_resources.reset();
  m_jpegDecoder.reset();
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
