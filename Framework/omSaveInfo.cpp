#include "Framework/omSaveInfo.h"

#include "Framework/omDataIniter.h"
#include "Framework/omDataSaver.h"

namespace Ombrel {

CSaveInfo::CSaveInfo(const char* title0, const char* title1, CBaseDataIniter* initialiser)
    : m_title0(title0), m_title1(title1), m_initialiser(initialiser) {}

CSaveInfo::~CSaveInfo() = default;

void CSaveInfo::FillDefaults(CDataSaver* saver) {
  if (!m_initialiser) return;
  m_initialiser->SetData(saver ? saver->GetData() : nullptr);
  m_initialiser->Init();
}

void CSaveInfo::LoadOrInitialise(CDataSaver* saver) {
  if (saver) saver->SetBodyCheck(m_bodyCheck);
  if (saver && saver->LoadGame()) return;
  FillDefaults(saver);
  if (saver) saver->SaveGame();
}

}  // namespace Ombrel
