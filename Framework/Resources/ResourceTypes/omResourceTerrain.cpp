#include "Framework/Resources/ResourceTypes/omResourceTerrain.h"

#include "Framework/Resources/omEngineFolders.h"

namespace Ombrel {

STerrainData* CResourceTerrain::Build() {
  const CEngineFolderScope folders(m_textureFolder.GetText(), m_materialFolder.GetText());
  STerrainData* terrain = nullptr;
  if (!CScene::Load(m_path.GetText(), &terrain)) return nullptr;  // reported by the reader
  return terrain;
}

}  // namespace Ombrel
