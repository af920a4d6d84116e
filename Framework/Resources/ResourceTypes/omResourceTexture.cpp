#include "Framework/Resources/ResourceTypes/omResourceTexture.h"

#include "Framework/Resources/omEngineFolders.h"
#include "Framework/Utils/omXmlRoutines.h"
#include "Quor/CTextureManager.h"
#include "Quor/ContentOrigin.h"
#include "Quor/ReportError.h"

namespace Ombrel {

namespace {
constexpr const char* kOmResourceTextureSource = "Framework/Resources/ResourceTypes/omResourceTexture";
}  // namespace

void CResourceTexture::Load() {
  Unload();
  const CContentOrigin origin(GetOrigin().GetText());
  CTextureManager* textures = GetTextureManager();
  if (!textures) return;
  m_texture = textures->LoadTexture(m_path.GetText());
  if (!m_maskSettings.wanted) return;
  if (m_maskSettings.file.IsEmpty())
    HM_FATAL(kOmResourceTextureSource, "%s: Mpt and bmp textures support masks only from raw files%s!",
             m_path.GetText(), CContentOrigin::Clause().c_str());
  m_mask = ReadRawMask(m_maskSettings.file.GetText(), int(m_texture->imageWidth), int(m_texture->imageHeight),
                       m_maskSettings);
}

void CResourceTexture::Unload() {
  if (m_texture) {
    if (CTextureManager* textures = GetTextureManager()) textures->ReleaseTexture(m_texture);
    m_texture = nullptr;
  }
  m_mask.reset();
}

CResTextureLoader::CResTextureLoader() {
  SetTypeName(CResourceTexture::kTypeName);
  SetFolder("Textures\\");
  SetExtension(".bmp");
}

CResourceBase* CResTextureLoader::CreateFromXml(const CStr&, const CStr& fileName, const TiXmlElement* element,
                                                bool load, bool explicitDir) {
  ReadCommonFlags(element, load, explicitDir);
  const CStr folder = BasePath(explicitDir);
  const char* reference = FindAttribute(element, "Reference");
  // A referenced texture is read from the folder but keyed by its short name alone.
  const CEngineFolderScope scope(reference ? folder.GetText() : "", nullptr);
  const CStr path = reference ? fileName + "." + reference : FilePath(fileName, explicitDir);
  SMaskSettings mask = ReadMaskSettings(element, folder);
  mask.decompress = true;
  auto* texture = new CResourceTexture(path, mask);
  if (load) texture->Load();
  return texture;
}

}  // namespace Ombrel
