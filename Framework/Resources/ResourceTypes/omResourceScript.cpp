#include "Framework/Resources/ResourceTypes/omResourceScript.h"

#include "Framework/Script/omScript.h"

namespace Ombrel {

CResourceScript::CResourceScript(const CStr& path) : CResourceBase(path) {}

CResourceScript::~CResourceScript() = default;

void CResourceScript::Load() {
  Unload();
  m_script = std::make_unique<CScript>(GetPath().GetText());
}

void CResourceScript::Unload() { m_script.reset(); }

void CResourceScript::LoadFromFile() {
  Unload();
  auto script = std::make_unique<CScript>();
  if (script->LoadFromFile(GetPath().GetText())) m_script = std::move(script);
}

}  // namespace Ombrel
