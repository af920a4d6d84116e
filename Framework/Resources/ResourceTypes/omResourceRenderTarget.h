#pragma once
// "RenderTarget": a render-target texture registered under the declaration's "Name"; its
// path is that name, not a file.

#include "Framework/Resources/omResourceBase.h"

#include <cstdint>

struct TextureRecord;

namespace Ombrel {

class CResourceRenderTarget : public CResourceBase {
 public:
  static constexpr const char* kTypeName = "RenderTarget";

  CResourceRenderTarget(const CStr& name, uint32_t width, uint32_t height)
      : CResourceBase(name), m_width(width), m_height(height) {}
  ~CResourceRenderTarget() override { Unload(); }

  bool IsLoaded() const override { return m_texture != nullptr; }
  void Load() override;
  void Unload() override;
  const char* GetTypeName() const override { return kTypeName; }
  TextureRecord* GetTexture() const { return m_texture; }

 private:
  uint32_t m_width;
  uint32_t m_height;
  TextureRecord* m_texture = nullptr;
};

// Reads only "Load" of the common attributes.
class CResRenderTargetLoader : public CResourceLoader {
 public:
  CResRenderTargetLoader();
  CResourceBase* CreateFromXml(const CStr& name, const CStr& fileName, const TiXmlElement* element, bool load,
                               bool explicitDir) override;
};

}  // namespace Ombrel
