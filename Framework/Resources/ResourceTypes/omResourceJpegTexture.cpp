#include "Framework/Resources/ResourceTypes/omResourceJpegTexture.h"

#include "Framework/Utils/omXmlRoutines.h"

namespace Ombrel {

CResDecodedTextureLoader::CResDecodedTextureLoader(CJpegDecoder* decoder, const char* typeName,
                                                   const char* extension)
    : m_decoder(decoder) {
  SetTypeName(typeName);
  SetFolder("Textures\\");
  SetExtension(extension);
}

CResourceBase* CResDecodedTextureLoader::CreateFromXml(const CStr&, const CStr& fileName, const TiXmlElement* element,
                                                       bool load, bool explicitDir) {
  ReadCommonFlags(element, load, explicitDir);
  const CStr folder = BasePath(explicitDir);
  CResourceBase* resource =
      MakeResource(FilePath(fileName, explicitDir), folder, element, ReadMaskSettings(element, folder));
  if (load) resource->Load();
  return resource;
}

CResourceBase* CResJpegTextureLoader::MakeResource(const CStr& path, const CStr& folder, const TiXmlElement* element,
                                                   const SMaskSettings& mask) const {
  const char* alpha = FindAttribute(element, "AlphaFile");
  return new CResourceJpegTexture(path, alpha ? folder + alpha + ".jpg" : CStr(""), m_decoder, mask);
}

}  // namespace Ombrel
