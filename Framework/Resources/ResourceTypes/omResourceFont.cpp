#include "Framework/Resources/ResourceTypes/omResourceFont.h"

#include "Quor/CFont.h"

namespace Ombrel {

CResourceFont::CResourceFont(const CStr& path) : CResourceBase(path) {}

CResourceFont::~CResourceFont() = default;

void CResourceFont::Load() {
  Unload();
  auto font = std::make_unique<CFont>();
  font->Load(GetPath().GetText());
  m_font = std::move(font);
}

void CResourceFont::Unload() { m_font.reset(); }

CResFontLoader::CResFontLoader() {
  SetFolder("Fonts\\");
  SetExtension(".fnt");
}

CResourceBase* CResFontLoader::CreateFromXml(const CStr&, const CStr& fileName, const TiXmlElement*,
                                             bool load, bool explicitDir) {
  return CreateResource<CResourceFont>(fileName, load, explicitDir);
}

}  // namespace Ombrel
