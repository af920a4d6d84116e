#pragma once
// The "Script" resource type: a Lua script read from "Scripts\NAME.lua".

#include "Framework/Resources/omResourceBase.h"

#include <memory>

namespace Ombrel {

class CScript;

class CResourceScript : public CResourceBase {
 public:
  static constexpr const char* kTypeName = "Script";

  explicit CResourceScript(const CStr& path);
  ~CResourceScript() override;

  bool IsLoaded() const override { return m_script != nullptr; }
  // A new script read from the path through the file system (after unloading an old one).
  void Load() override;
  void Unload() override;
  const char* GetTypeName() const override { return kTypeName; }
  // A new script read from the path as a plain file; the resource stays unloaded when the
  // file cannot be opened.
  void LoadFromFile();

  CScript* GetScript() const { return m_script.get(); }

 private:
  std::unique_ptr<CScript> m_script;
};

class CResScriptLoader : public CResourceLoader {
 public:
  CResScriptLoader();
  CResourceBase* CreateFromXml(const CStr& name, const CStr& fileName, const TiXmlElement* element,
                               bool load, bool explicitDir) override;
};

}  // namespace Ombrel
