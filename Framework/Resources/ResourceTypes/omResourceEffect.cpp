#include "Framework/Resources/ResourceTypes/omResourceEffect.h"

#include "Common/Particles/CEffectLibrary.h"
#include "Common/Particles/CEffectManager.h"
#include "Common/Particles/CEffectParams.h"
#include "Common/Particles/CElementStateMap.h"
#include "Common/Particles/ParticleServices.h"
#include "Common/Utils/Spline/CSpline.h"
#include "Framework/Resources/omEngineFolders.h"
#include "Framework/Utils/omXmlRoutines.h"
#include "Quor/CTextureManager.h"

#include <tinyxml.h>

namespace Ombrel {

namespace {
uint32_t g_nextEffectId = 1;

std::unique_ptr<CSplineFile> LoadSpline(const CEffectParams& params, const char* enable, const char* file,
                                        const std::string& folder) {
  int enabled = 0;
  const char* name = nullptr;
  params.GetIntParam("StandartEmiter", enable, enabled);
  if (enabled != 1 || !params.GetTextParam("StandartEmiter", file, name)) return nullptr;
  auto spline = std::make_unique<CSplineFile>();
  spline->Load((folder + "Splines\\" + name).c_str());
  return spline;
}
}  // namespace

std::string EffectFolderOf(const char* path) {
  std::string folder = path;
  for (char& c : folder) {
    if (c == '/') c = '\\';
  }
  const size_t slash = folder.rfind('\\');
  folder.erase(slash == std::string::npos ? 0 : slash);
  return folder + "\\";
}

CResourceEffect::CResourceEffect(const CStr& path)
    : CResourceBase(path), m_effectFolder(EffectFolderOf(path.GetText())), m_textureFolder(m_effectFolder + "Textures\\") {
  TiXmlDocument document;
  LoadXmlDocument(path.GetText(), document);
  if (!g_effectLibrary) return;
  g_effectLibrary->Load(document);
  if (g_effectManager) g_effectManager->SetDataFolder(m_effectFolder.c_str());
  const CContentOrigin origin(path.GetText());  // the effects name their textures
  SetTextureFolder("");
  SetParticleTextureFolder(m_textureFolder.c_str());
  for (uint32_t i = 0; i < g_effectLibrary->GetCount(); ++i) TakeEffect(g_effectLibrary->GetRecord(i)->params);
  g_effectLibrary->Clear();  // deletes the records, never the sets this resource now owns
  SetTextureFolder("");
}

void CResourceEffect::TakeEffect(CEffectParams* params) {
  params->SetId(g_nextEffectId++);
  m_params.push_back(params);
  SEffectExtras extras;
  const char* texture = nullptr;
  CTextureManager* textures = GetTextureManager();
  if (textures && params->GetTextParam("StandardMaterial", "Texture", texture)) {
    extras.texture = textures->LoadTexture((m_textureFolder + texture).c_str());
  }
  extras.spline = LoadSpline(*params, "enable_spline", "spline_filename", m_effectFolder);
  extras.normalSpline = LoadSpline(*params, "enable_normal_spline", "spline_normal_filename", m_effectFolder);
  m_extras.push_back(std::move(extras));
}

CResourceEffect::~CResourceEffect() {
  for (CEffectParams* params : m_params) delete params;
  CTextureManager* textures = GetTextureManager();
  for (SEffectExtras& extras : m_extras) {
    if (extras.texture && textures) textures->ReleaseTexture(extras.texture);
  }
}

CResEffectLoader::CResEffectLoader() {
  SetTypeName(CResourceEffect::kTypeName);
  SetFolder("Effects\\");
  SetExtension(".xml");
  g_elementStateMap = new CElementStateMap;
  g_effectManager = new CEffectManager;
  g_effectLibrary = new CEffectLibrary;
}

CResEffectLoader::~CResEffectLoader() {
  delete g_effectManager;
  g_effectManager = nullptr;
  delete g_effectLibrary;
  g_effectLibrary = nullptr;
  delete g_elementStateMap;
  g_elementStateMap = nullptr;
}

CResourceBase* CResEffectLoader::CreateFromXml(const CStr&, const CStr& fileName, const TiXmlElement* element,
                                               bool load, bool explicitDir) {
  ReadCommonFlags(element, load, explicitDir);  // an effect is complete once created, "Load" or not
  return new CResourceEffect(FilePath(fileName, explicitDir));
}

}  // namespace Ombrel
