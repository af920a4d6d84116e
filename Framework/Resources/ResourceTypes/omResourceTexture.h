#pragma once
// "Texture": an engine texture (BMP, MPT or DCTZ) and, with a "Mask" child, a hit mask read
// from a raw byte file. With "Reference" the texture is registered under its short name
// ("NAME.EXT"), so engine objects that name the file share it.

#include "Framework/Resources/omJpegTexture.h"
#include "Framework/Resources/omResourceBase.h"

#include <memory>

struct TextureRecord;

namespace Ombrel {

class CResourceTexture : public CResourceBase {
 public:
  static constexpr const char* kTypeName = "Texture";

  CResourceTexture(const CStr& path, const SMaskSettings& mask) : CResourceBase(path), m_maskSettings(mask) {}
  ~CResourceTexture() override { Unload(); }

  bool IsLoaded() const override { return m_texture != nullptr; }
  void Load() override;
  void Unload() override;
  const char* GetTypeName() const override { return kTypeName; }

  TextureRecord* GetTexture() const { return m_texture; }
  CTextureMask* GetMask() const { return m_mask.get(); }
  const SMaskSettings& GetMaskSettings() const { return m_maskSettings; }

 private:
  SMaskSettings m_maskSettings;
  TextureRecord* m_texture = nullptr;
  std::unique_ptr<CTextureMask> m_mask;
};

class CResTextureLoader : public CResourceLoader {
 public:
  CResTextureLoader();
  CResourceBase* CreateFromXml(const CStr& name, const CStr& fileName, const TiXmlElement* element, bool load,
                               bool explicitDir) override;
};

}  // namespace Ombrel
