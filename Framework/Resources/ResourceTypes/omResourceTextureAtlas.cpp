#include "Framework/Resources/ResourceTypes/omResourceTextureAtlas.h"

namespace Ombrel {

STextureAtlas* CResourceTextureAtlas::Build() {
  auto atlas = std::make_unique<STextureAtlas>();
  if (!LoadTextureAtlas(m_path.GetText(), atlas.get())) return nullptr;  // reported by the reader
  return atlas.release();
}

}  // namespace Ombrel
