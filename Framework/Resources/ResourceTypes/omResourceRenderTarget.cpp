#include "Framework/Resources/ResourceTypes/omResourceRenderTarget.h"

#include "Framework/Utils/omXmlRoutines.h"
#include "Quor/CTextureManager.h"

#include <algorithm>

namespace Ombrel {

void CResourceRenderTarget::Load() {
  Unload();
  if (CTextureManager* textures = GetTextureManager()) {
    m_texture = textures->AcquireRenderTarget(m_path.GetText(), m_width, m_height);
  }
}

void CResourceRenderTarget::Unload() {
  if (!m_texture) return;
  if (CTextureManager* textures = GetTextureManager()) textures->ReleaseTexture(m_texture);
  m_texture = nullptr;
}

CResRenderTargetLoader::CResRenderTargetLoader() {
  SetTypeName(CResourceRenderTarget::kTypeName);
  SetExtension(".bmp");
}

CResourceBase* CResRenderTargetLoader::CreateFromXml(const CStr&, const CStr&, const TiXmlElement* element,
                                                     bool load, bool) {
  if (AttributeIs(element, "Load", "False")) load = false;
  auto* target = new CResourceRenderTarget(AttributeText(element, "Name"),
                                           uint32_t(std::max(0, AttributeInt(element, "Width"))),
                                           uint32_t(std::max(0, AttributeInt(element, "Height"))));
  if (load) target->Load();
  return target;
}

}  // namespace Ombrel
