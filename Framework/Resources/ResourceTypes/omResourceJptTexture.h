#pragma once
// "TextureJpt" and "TextureJpeg": textures kept as JPEG data, decoded at load or, with
// "Decompress" "False", at their first use (Create on the texture object).

#include "Framework/Resources/omJptTexture.h"
#include "Framework/Resources/omResourceBase.h"

#include <memory>

namespace Ombrel {

class CJpegDecoder;

template <class TTexture>
class CDecodedTextureResource : public CResourceBase {
 public:
  CDecodedTextureResource(const CStr& path, CJpegDecoder* decoder, const SMaskSettings& mask)
      : CResourceBase(path), m_decoder(decoder), m_mask(mask) {}

  bool IsLoaded() const override { return m_texture != nullptr; }
  void Unload() override { m_texture.reset(); }
  void Load() override {
    Unload();
    const CContentOrigin origin(GetOrigin().GetText());
    m_texture = MakeTexture();
    if (m_mask.decompress) m_texture->Create();
  }
  TTexture* GetTextureObject() const { return m_texture.get(); }
  const SMaskSettings& GetMaskSettings() const { return m_mask; }

 protected:
  virtual std::unique_ptr<TTexture> MakeTexture() const = 0;

  CJpegDecoder* m_decoder;
  SMaskSettings m_mask;

 private:
  std::unique_ptr<TTexture> m_texture;
};

class CResourceJptTexture : public CDecodedTextureResource<CJptTexture> {
 public:
  static constexpr const char* kTypeName = "TextureJpt";
  using CDecodedTextureResource::CDecodedTextureResource;
  const char* GetTypeName() const override { return kTypeName; }

 protected:
  std::unique_ptr<CJptTexture> MakeTexture() const override {
    return std::make_unique<CJptTexture>(m_path, m_decoder, m_mask);
  }
};

// The loader of both kinds: the element's "Decompress" and "Mask", and for JPEG "AlphaFile".
class CResDecodedTextureLoader : public CResourceLoader {
 public:
  CResDecodedTextureLoader(CJpegDecoder* decoder, const char* typeName, const char* extension);
  CResourceBase* CreateFromXml(const CStr& name, const CStr& fileName, const TiXmlElement* element, bool load,
                               bool explicitDir) override;

 protected:
  virtual CResourceBase* MakeResource(const CStr& path, const CStr& folder, const TiXmlElement* element,
                                      const SMaskSettings& mask) const = 0;
  CJpegDecoder* m_decoder;
};

class CResJptTextureLoader : public CResDecodedTextureLoader {
 public:
  explicit CResJptTextureLoader(CJpegDecoder* decoder)
      : CResDecodedTextureLoader(decoder, CResourceJptTexture::kTypeName, ".jpt") {}

 protected:
  CResourceBase* MakeResource(const CStr& path, const CStr&, const TiXmlElement*,
                              const SMaskSettings& mask) const override {
    return new CResourceJptTexture(path, m_decoder, mask);
  }
};

}  // namespace Ombrel
