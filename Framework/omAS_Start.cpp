#include "Framework/omAS_Start.h"

#include "Framework/Resources/ResourceTypes/omResourceScript.h"
#include "Framework/Resources/ResourceTypes/omResourceTexture.h"
#include "Framework/Resources/omResourceManager.h"
#include "Framework/Script/omExposedObjects.h"
#include "Framework/Script/omLuaClass.h"
#include "Framework/Script/omScript.h"
#include "Framework/Script/omScriptManager.h"
#include "Framework/omAssetModule.h"
#include "Framework/omFileSystem.h"
#include "Framework/omModule.h"
#include "Framework/omSaveInfo.h"
#include "Framework/omSaveModule.h"
#include "Quor/DirectX/Quordx.h"

namespace Ombrel {

namespace {
const char* const kStartupResources[] = {"UserStartup", "AppStartup", "DefaultStartup"};
}  // namespace

const char* const CAS_Start::kStartupFunctions[6] = {"SetSequence",  "DoBinds",      "ConfigureApp",
                                                     "RunCommands", "ShowReminder", "ShowLogo"};

CAS_Start::CAS_Start(CAppConfig* config, CAppEventHandler<CApplicationEvent>* application, int argc)
    : IApplicationState(application, config) {
  RequireModules({kModuleAsset, kModuleDebug, kModuleScript, kModuleRender});
  const char* const* arguments = GetArgumentTable();
  for (int i = 0; i < argc && i < GetArgumentCount(); ++i) {
    m_commandLine += arguments[i];
    m_commandLine += " ";
  }
}

CAS_Start::~CAS_Start() = default;

void CAS_Start::Init() {
  m_countdown = m_startDelay;
  if (GetScriptManager()) RunStartupScript();
  SetSaveBackground();
}

CResourceScript* CAS_Start::ChooseStartupResource() {
  CResourceManager* resources = GetResourceManager();
  if (!resources) return nullptr;
  CResourceBase* chosen = nullptr;
  for (const char* name : kStartupResources) {
    chosen = resources->FindResource(CResourceScript::kTypeName, name);
    if (chosen && ContentFileExists(chosen->GetPath().GetText())) break;
  }
  return static_cast<CResourceScript*>(chosen);
}

CScript* CAS_Start::LoadStartupScript() {
  CResourceScript* chosen = ChooseStartupResource();
  if (chosen && !chosen->IsLoaded()) {
    chosen->Load();
    m_loadedResource = chosen;
  }
  CScriptManager* manager = GetScriptManager();
  m_startupFile = std::make_unique<CResourceScript>(kStartupFile);
  m_startupFile->LoadFromFile();
  if (m_startupFile->IsLoaded()) return manager->AttachResource(m_startupFile.get());
  return chosen ? manager->GetScript(chosen->GetName()) : nullptr;
}

void CAS_Start::RunStartupScript() {
  m_runningScript = LoadStartupScript();
  if (m_runningScript) m_runningScript->Run(true);
  m_startup = std::make_unique<CLuaClass>("Startup", m_runningScript);
  BindAppStart(GetScriptManager()->GetSystemTable(), this);
  for (const char* function : kStartupFunctions) m_startup->CallMethod(function);
}

void CAS_Start::SetSaveBackground() {
  // The save data is not loaded again here: the application's Start loaded it, or wrote fresh
  // data, just before, and a second attempt could only repeat a failure the player was told of.
  if (!m_saveInfo) return;
  CDataSaver* saver = GetActiveDataSaver();
  CResourceManager* resources = GetResourceManager();
  if (!saver || !resources) return;
  const auto* background = static_cast<CResourceTexture*>(
      resources->FindResource(CResourceTexture::kTypeName, m_saveInfo->GetBackgroundName().GetText()));
  if (background) saver->SetBackgroundTexture(background->GetTexture());
}

void CAS_Start::Release() {
  if (CScriptManager* manager = GetScriptManager()) manager->GetSystemTable().SetNil("AppStart");
  m_startup.reset();
  if (m_loadedResource && m_loadedResource->IsLoaded()) m_loadedResource->Unload();
  m_loadedResource = nullptr;
  m_runningScript = nullptr;
  m_startupFile.reset();
}

void CAS_Start::Start() { m_countdown = m_startDelay; }

void CAS_Start::Update(float dt) {
  m_countdown -= dt;
  if (m_countdown <= 0.0f) Post(CApplicationEvent(AE_STATE_FINISHED));
}

void CAS_Start::AddAppState(int32_t stateId, const char* text, float duration) {
  CApplicationEvent event(AE_ADD_STATE);
  event.target = stateId;
  event.text = text;
  event.duration = duration;
  Post(event);
}

}  // namespace Ombrel
