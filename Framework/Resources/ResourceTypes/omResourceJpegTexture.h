#pragma once
// "TextureJpeg": a JPEG file with an optional alpha JPEG file ("AlphaFile").

#include "Framework/Resources/ResourceTypes/omResourceJptTexture.h"

namespace Ombrel {

class CResourceJpegTexture : public CDecodedTextureResource<CJpegTexture> {
 public:
  static constexpr const char* kTypeName = "TextureJpeg";
  CResourceJpegTexture(const CStr& path, const CStr& alphaPath, CJpegDecoder* decoder, const SMaskSettings& mask)
      : CDecodedTextureResource(path, decoder, mask), m_alphaPath(alphaPath) {}
  const char* GetTypeName() const override { return kTypeName; }
  const CStr& GetAlphaPath() const { return m_alphaPath; }

 protected:
  std::unique_ptr<CJpegTexture> MakeTexture() const override {
    return std::make_unique<CJpegTexture>(m_path, m_alphaPath, m_decoder, m_mask);
  }

 private:
  CStr m_alphaPath;
};

class CResJpegTextureLoader : public CResDecodedTextureLoader {
 public:
  explicit CResJpegTextureLoader(CJpegDecoder* decoder)
      : CResDecodedTextureLoader(decoder, CResourceJpegTexture::kTypeName, ".jpg") {}

 protected:
  CResourceBase* MakeResource(const CStr& path, const CStr& folder, const TiXmlElement* element,
                              const SMaskSettings& mask) const override;
};

}  // namespace Ombrel
