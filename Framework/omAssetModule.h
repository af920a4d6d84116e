#pragma once
// The asset module: kept for the whole run. Its Init starts the engine's asset managers and
// the resource manager with its twenty resource loaders; its Shutdown deletes them again.

#include "Framework/omModule.h"

#include <memory>

class CModelManager;
class CShaderManager;
class CSoundManager;
class CTextureManager;

namespace Ombrel {

class CResourceLoader;
class CResourceManager;

class CAssetModule : public CSingleModule<CAssetModule> {
 public:
  // The resource types in the order their loaders are registered.
  static const char* const kResourceTypes[20];

  CAssetModule();
  ~CAssetModule() override;

  bool Init() override;
  bool Shutdown() override;

  // Null while the module is not initialised.
  CResourceManager* GetResourceManager() const { return m_resources.get(); }

 private:
  static CResourceLoader* NewLoader(const char* typeName);
  void RegisterLoaders();
  void DeclareSystemResources();

  std::unique_ptr<CTextureManager> m_textures;
  std::unique_ptr<CShaderManager> m_shaders;
  CModelManager* m_models = nullptr;  // the program's model cache while it lives
  std::unique_ptr<CSoundManager> m_sound;
  std::unique_ptr<CResourceManager> m_resources;
};

CAssetModule* GetAssetModule();
// The resource manager of the asset module; null when there is none.
CResourceManager* GetResourceManager();

}  // namespace Ombrel
