#pragma once
// "Mask": a texture mask file (".msk") for pixel-accurate clicks.

#include "Framework/Resources/omResourcePattern.h"
#include "Framework/Scene/omTextureMask.h"

namespace Ombrel {

class CResourceMask : public CObjectResource<CTextureMask> {
 public:
  static constexpr const char* kTypeName = "Mask";
  static constexpr const char* kFolder = "Masks\\";
  static constexpr const char* kExtension = ".msk";

  explicit CResourceMask(const SDeclaration& declaration) : CObjectResource(declaration.path) {}
  const char* GetTypeName() const override { return kTypeName; }
  CTextureMask* GetMask() const { return GetObject(); }

 protected:
  CTextureMask* Build() override {
    auto mask = std::make_unique<CTextureMask>();
    return mask->Load(m_path.GetText()) ? mask.release() : nullptr;
  }
};

using CResMaskLoader = CPatternLoader<CResourceMask>;

}  // namespace Ombrel
