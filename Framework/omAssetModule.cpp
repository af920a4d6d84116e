#include "Framework/omAssetModule.h"

#include "Framework/Resources/ResourceTypes/omResourceFont.h"
#include "Framework/Resources/ResourceTypes/omResourceScript.h"
#include "Framework/Resources/omResourceBase.h"
#include "Framework/Resources/omResourceManager.h"
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
  m_resources = std::make_unique<CResourceManager>();
  RegisterLoaders();
  DeclareSystemResources();
  return true;
}

CResourceLoader* CAssetModule::NewLoader(const char* typeName) {
  if (CStr(typeName) == CResourceFont::kTypeName) return new CResFontLoader;
  if (CStr(typeName) == CResourceScript::kTypeName) return new CResScriptLoader;
  return new CResourceLoader;
}

void CAssetModule::RegisterLoaders() {
  for (const char* type : kResourceTypes) m_resources->RegisterLoader(NewLoader(type), type);
}

// Until the system resource list is read, the system resources the framework itself needs
// are declared here: the script libraries, the start-up scripts (loaded by the start state
// when chosen) and the "System" font (only when its file exists: a missing font is fatal).
void CAssetModule::DeclareSystemResources() {
  struct SDeclaration {
    const char* type;
    const char* name;
    bool load;
  };
  static const SDeclaration kDeclarations[] = {
      {CResourceScript::kTypeName, "Utils", true},          {CResourceScript::kTypeName, "Math", true},
      {CResourceScript::kTypeName, "UserStartup", false},   {CResourceScript::kTypeName, "AppStartup", false},
      {CResourceScript::kTypeName, "DefaultStartup", false}, {CResourceFont::kTypeName, "System", true},
  };
  for (const SDeclaration& declaration : kDeclarations) {
    CResourceLoader* loader = m_resources->GetLoader(declaration.type);
    if (!loader) continue;
    CResourceBase* resource = loader->CreateFromXml(declaration.name, declaration.name, nullptr, false, false);
    if (declaration.load && ContentFileExists(resource->GetPath().GetText())) resource->Load();
    m_resources->AddResource(declaration.type, declaration.name, resource);
  }
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
