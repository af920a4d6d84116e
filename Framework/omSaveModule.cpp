#include "Framework/omSaveModule.h"

#include "Framework/omDataSaver.h"

namespace Ombrel {

CSaveModule::CSaveModule() : CSingleModule("SaveModule", kModuleSave) {}

CSaveModule::~CSaveModule() {
  Shutdown();
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

CSaveModule* GetSaveModule() { return CSaveModule::Instance(); }

CDataSaver* GetActiveDataSaver() {
  const CSaveModule* saves = CSaveModule::Instance();
  return saves && saves->IsInitialised() ? saves->GetDataSaver() : nullptr;
}

}  // namespace Ombrel
