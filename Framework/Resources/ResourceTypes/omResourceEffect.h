#pragma once
// "Effect": an XML effect description of the particle system, read when the resource is
// created. Per effect it keeps the parameter set with the texture and the spline files the set
// names. Its loader owns the particle system's global objects for the whole run.

#include "Framework/Resources/omResourceBase.h"

#include <memory>
#include <string>
#include <vector>

class CEffectParams;
class CSplineFile;
struct TextureRecord;

namespace Ombrel {

struct SEffectExtras {
  TextureRecord* texture = nullptr;
  std::unique_ptr<CSplineFile> spline;
  std::unique_ptr<CSplineFile> normalSpline;
};

class CResourceEffect : public CResourceBase {
 public:
  static constexpr const char* kTypeName = "Effect";

  explicit CResourceEffect(const CStr& path);
  ~CResourceEffect() override;

  bool IsLoaded() const override { return true; }
  void Load() override {}
  void Unload() override {}
  const char* GetTypeName() const override { return kTypeName; }

  uint32_t GetEffectCount() const { return uint32_t(m_params.size()); }
  CEffectParams* GetParams(uint32_t index) const { return m_params[index]; }
  const SEffectExtras& GetExtras(uint32_t index) const { return m_extras[index]; }
  // The file's folder with backslashes, ending with one.
  const std::string& GetEffectFolder() const { return m_effectFolder; }

 private:
  void TakeEffect(CEffectParams* params);

  std::vector<CEffectParams*> m_params;  // owned
  std::vector<SEffectExtras> m_extras;
  std::string m_effectFolder;
  std::string m_textureFolder;
};

class CResEffectLoader : public CResourceLoader {
 public:
  // Creates the element-state map, the effect manager and the effect library.
  CResEffectLoader();
  ~CResEffectLoader() override;
  CResourceBase* CreateFromXml(const CStr& name, const CStr& fileName, const TiXmlElement* element, bool load,
                               bool explicitDir) override;
};

// The folder of an effect file: "/" made "\", cut after the last "\" (empty without one).
std::string EffectFolderOf(const char* path);

}  // namespace Ombrel
