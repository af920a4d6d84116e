#pragma once
// "Script": a Lua script read from "Scripts\NAME.lua".

#include "Framework/Resources/omResourcePattern.h"

#include <memory>

namespace Ombrel {

class CScript;

class CResourceScript : public CResourceBase {
 public:
  static constexpr const char* kTypeName = "Script";
  static constexpr const char* kFolder = "Scripts\\";
  static constexpr const char* kExtension = ".lua";

  explicit CResourceScript(const SDeclaration& declaration) : CResourceScript(declaration.path) {}
  // A script of a path of its own, outside any list (the start-up file beside the program).
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

using CResScriptLoader = CPatternLoader<CResourceScript>;

}  // namespace Ombrel
