#include "Framework/omInputModule.h"

#include "Framework/omInput.h"
#include "Quor/Timer.h"

namespace Ombrel {

CInputModule::CInputModule() : CSingleModule("InputModule", kModuleInput) {}

CInputModule::~CInputModule() {
  Shutdown();
}

bool CInputModule::Init() {
  m_input = std::make_unique<CInput>();
  return IModule::Init();
}

bool CInputModule::Shutdown() {
  if (!IModule::Shutdown()) return false;
  m_input.reset();
  return true;
}

void CInputModule::Update() {
  if (m_input) m_input->Update(GetFrameClock() ? GetFrameClock()->delta : 0.0f);
}

CInputModule* GetInputModule() { return CInputModule::Instance(); }

CInput* GetActiveInput() {
  const CInputModule* module = GetInputModule();
  return module ? module->GetInput() : nullptr;
}

}  // namespace Ombrel
