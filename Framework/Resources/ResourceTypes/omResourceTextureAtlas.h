#pragma once
// "Atlas": a texture atlas (names and rectangles of the pictures packed into one texture).

#include "Framework/Resources/omResourcePattern.h"
#include "Quor/TextureAtlas.h"

namespace Ombrel {

class CResourceTextureAtlas : public CObjectResource<STextureAtlas> {
 public:
  static constexpr const char* kTypeName = "Atlas";
  static constexpr const char* kFolder = "Atlases\\";
  static constexpr const char* kExtension = ".atlas";

  explicit CResourceTextureAtlas(const SDeclaration& declaration) : CObjectResource(declaration.path) {}
  const char* GetTypeName() const override { return kTypeName; }
  STextureAtlas* GetAtlas() const { return GetObject(); }

 protected:
  STextureAtlas* Build() override;
};

using CResTextureAtlasLoader = CPatternLoader<CResourceTextureAtlas>;

}  // namespace Ombrel
