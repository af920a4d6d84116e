#include "Framework/omInputModule.h"

#include "Framework/omInput.h"
#include "Quor/Timer.h"

namespace Ombrel {

namespace {
CInputModule* g_module = nullptr;
}  // namespace

CInputModule::CInputModule() : IModule("InputModule", kModuleInput) { g_module = this; }

CInputModule::~CInputModule() {
  Shutdown();
  if (g_module == this) g_module = nullptr;
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

CInputModule* GetInputModule() { return g_module; }

}  // namespace Ombrel
