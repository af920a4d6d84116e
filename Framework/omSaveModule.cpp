#include "Framework/omSaveModule.h"

#include "Framework/omDataSaver.h"

namespace Ombrel {

namespace {
CSaveModule* g_module = nullptr;
}  // namespace

CSaveModule::CSaveModule() : IModule("SaveModule", kModuleSave) { g_module = this; }

CSaveModule::~CSaveModule() {
  Shutdown();
  if (g_module == this) g_module = nullptr;
}

bool CSaveModule::Shutdown() {
  if (!IModule::Shutdown()) return false;
  m_saver.reset();
  return true;
}

void CSaveModule::ApplySaveInfo(uint32_t dataSize, bool overwrite) {
  m_saver = std::make_unique<CDataSaver>(dataSize, overwrite);
}

void* CSaveModule::GetSaveData() const { return m_saver ? m_saver->GetData() : nullptr; }

bool CSaveModule::Load() { return m_saver && m_saver->Load(); }

bool CSaveModule::Save() { return m_saver && m_saver->Save(); }

CSaveModule* GetSaveModule() { return g_module; }

CDataSaver* GetActiveDataSaver() {
  return g_module && g_module->IsInitialised() ? g_module->GetDataSaver() : nullptr;
}

}  // namespace Ombrel
