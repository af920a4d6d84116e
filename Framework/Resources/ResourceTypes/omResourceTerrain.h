#pragma once
// "Terrain": an engine scene file; its materials and textures lie in "Materials\" and
// "Textures\" beside the terrain's folder.

#include "Framework/Resources/omResourcePattern.h"
#include "Quor/CScene.h"

namespace Ombrel {

struct STerrainReleaser {
  void operator()(STerrainData* data) const { DeleteTerrainData(data); }
};

class CResourceTerrain : public CObjectResource<STerrainData, STerrainReleaser> {
 public:
  static constexpr const char* kTypeName = "Terrain";
  static constexpr const char* kFolder = "Terrain\\";
  static constexpr const char* kExtension = ".bsc";

  explicit CResourceTerrain(const SDeclaration& declaration)
      : CObjectResource(declaration.path),
        m_materialFolder(declaration.basePath + "Materials\\"),
        m_textureFolder(declaration.basePath + "Textures\\") {}
  const char* GetTypeName() const override { return kTypeName; }
  STerrainData* GetTerrain() const { return GetObject(); }

 protected:
  STerrainData* Build() override;

 private:
  CStr m_materialFolder;
  CStr m_textureFolder;
};

using CResTerrainLoader = CPatternLoader<CResourceTerrain>;

}  // namespace Ombrel
