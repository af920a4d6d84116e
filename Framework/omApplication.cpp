#include "Framework/omApplication.h"

#include "Common/Render/Primitives/Sprite2D.h"
#include "Framework/Resources/omResourceManager.h"
#include "Framework/Scene/omSceneManager.h"
#include "Framework/Scene/omSystemInfoNode.h"
#include "Framework/Script/omExposedObjects.h"
#include "Framework/Script/omScriptManager.h"
#include "Framework/Utils/omXmlDictionary.h"
#include "Framework/omAS_DebugMenu.h"
#include "Framework/omAS_Exit.h"
#include "Framework/omAS_Start.h"
#include "Framework/omAppConfig.h"
#include "Framework/omApplicationState.h"
#include "Framework/omAssetModule.h"
#include "Framework/omDataIniter.h"
#include "Framework/omDebugModule.h"
#include "Framework/omEventManager.h"
#include "Framework/omInputModule.h"
#include "Framework/omInputWarning.h"
#include "Framework/omLoading.h"
#include "Framework/omLogo.h"
#include "Framework/omNetworkModule.h"
#include "Framework/omPhysicsModule.h"
#include "Framework/omReminder.h"
#include "Framework/omRenderModule.h"
#include "Framework/omDataSaver.h"
#include "Framework/omSaveInfo.h"
#include "Framework/omSaveModule.h"
#include "Framework/omScriptModule.h"
#include "Framework/omSoundModule.h"
#include "Platform/PlatformWindow.h"
#include "Quor/CCollisionManager.h"
#include "Quor/CViewCamera.h"
#include "Quor/DirectX/D3DDeviceAccess.h"
#include "Quor/DirectX/QuordxDevice.h"
#include "Quor/Engine.h"
#include "Quor/RenderStates.h"
#include "Quor/ReportError.h"
#include "Quor/Timer.h"

#include <algorithm>

namespace Ombrel {

namespace {

constexpr const char* kOmApplicationSource = "Framework/omApplication";

// The order in which the modules are made (their lists sort them by weight).
constexpr int32_t kCreationOrder[kModuleCount] = {
    kModuleAsset, kModuleDebug, kModuleInput,  kModuleNetwork, kModulePhysics,
    kModuleRender, kModuleScript, kModuleSound, kModuleSave,
};
// The modules initialised once and kept for the whole run.
constexpr int32_t kKeptModules[] = {kModuleSave, kModuleNetwork, kModuleScript, kModuleAsset,
                                    kModuleInput};

// Which per-frame list a module updates in: 0 before the state's input, 1 between its input
// and its update, 2 after its update.
int UpdateListOf(int32_t moduleId) {
  if (moduleId == kModulePhysics) return 1;
  if (moduleId == kModuleRender || moduleId == kModuleSound) return 2;
  return 0;
}

CStr StateGroupName(const CStr& stateName) {
  return CStr::FromFormat("%s_Group", stateName.GetText());
}

}  // namespace

float ClampFrameTime(float frameTime) {
  if (!(frameTime > 0.0f)) return 0.0f;
  return frameTime < CApplication::kMaxFrameTime ? frameTime : CApplication::kMaxFrameTime;
}

// ---- construction and destruction

CApplication::CApplication(int argc, const SFileSystemConfig& fileSystem) {
  EngineInit();
  if (IsEngineRunning()) EngineServicePass();
  SetWorkingDirectory();
  m_fileSystem = InitFileSystem(fileSystem);
  m_events = std::make_unique<CEventManager>();
  m_dictionary = std::make_unique<CXmlDictionary>();
  m_config = std::make_unique<CAppConfig>();

  m_startState = new CAS_Start(m_config.get(), this, argc);
  m_startStateId = RegisterState(kStartStateName, m_startState, nullptr);
  m_current.id = m_startStateId;
  m_current.entry = FindEntry(m_startStateId);
  m_current.text = "Startup";
  m_exitState = new CAS_Exit(this, m_config.get());
  m_exitStateId = RegisterState(kExitStateName, m_exitState, nullptr);
  m_debugMenuState = new CAS_DebugMenu(this, m_config.get());
  m_debugMenuStateId = RegisterState(kDebugMenuStateName, m_debugMenuState, nullptr);
  m_keptModuleIds.assign(std::begin(kKeptModules), std::end(kKeptModules));
}

CApplication::~CApplication() {
  m_sequence.clear();
  if (!m_modules.empty()) LeaveState();
  m_config->FreePlayerTable();
  if (CScriptManager* scripts = GetScriptManager()) scripts->GetSystemTable().SetNil("AppConfig");
  m_config.reset();
  m_registry.clear();
  if (CDataSaver* saver = GetActiveDataSaver()) saver->ReleaseSystemResources();
  DestroyModules();
  m_keptModuleIds.clear();
  m_saveInfo.reset();
  m_dictionary.reset();
  m_events.reset();
  EngineShutdown();
  ReleaseFileSystem(m_fileSystem);
}

int32_t CApplication::RegisterState(const char* name, IApplicationState* state, CBaseLoading* loading) {
  if (!state) {
    HM_REPORT(kOmApplicationSource, "State \"%s\" registered without a state object", name ? name : "(null)");
    return -1;
  }
  const int32_t id = static_cast<int32_t>(m_registry.size());
  m_registry.push_back(std::unique_ptr<SStateEntry>(
      new SStateEntry{id, name, std::unique_ptr<IApplicationState>(state), loading}));
  state->Attach(m_events.get(), m_dictionary.get(), id);
  if (m_debugMenuState) m_debugMenuState->OnStateRegistered(name, id);
  return id;
}

void CApplication::SetSaveInfo(const char* title0, const char* title1, CBaseDataIniter* initialiser) {
  m_saveInfo = std::make_unique<CSaveInfo>(title0, title1, initialiser);
}

// ---- modules

IModule* CApplication::NewModule(int32_t id) {
  switch (id) {
    case kModuleAsset:
      return new CAssetModule;
    case kModuleDebug:
      return new CDebugModule;
    case kModuleSave:
      return new CSaveModule;
    case kModuleInput:
      return new CInputModule;
    case kModuleScript:
      return new CScriptModule;
    case kModuleNetwork:
      return new CNetworkModule;
    case kModulePhysics:
      return new CPhysicsModule;
    case kModuleRender:
      return new CRenderModule;
    default:
      return new CSoundModule;
  }
}

bool CApplication::IsKeptModule(int32_t id) const {
  return std::find(m_keptModuleIds.begin(), m_keptModuleIds.end(), id) != m_keptModuleIds.end();
}

void CApplication::CreateModules() {
  for (int32_t id : kCreationOrder) {
    IModule* module = NewModule(id);
    InsertByWeight(m_modules, module);
    InsertByWeight(m_updateLists[UpdateListOf(id)], module);
  }
  for (IModule* module : m_modules) {
    if (IsKeptModule(module->GetId())) module->Init();
  }
}

void CApplication::DestroyModules() {
  for (ModuleList& list : m_updateLists) list.clear();
  for (auto it = m_modules.rbegin(); it != m_modules.rend(); ++it) {
    if ((*it)->IsInitialised()) (*it)->Shutdown();
    delete *it;
  }
  m_modules.clear();
}

void CApplication::InitStateModules() {
  const IApplicationState* state = m_current.entry->state.get();
  for (IModule* module : m_modules) {
    if (state->RequiresModule(module->GetId()) && !module->IsInitialised()) module->Init();
  }
}

void CApplication::ShutdownStateModules() {
  for (auto it = m_modules.rbegin(); it != m_modules.rend(); ++it) {
    if ((*it)->IsInitialised() && !IsKeptModule((*it)->GetId())) (*it)->Shutdown();
  }
}

// ---- start and frames

void CApplication::Start() {
  if (!m_modules.empty()) {
    HM_REPORT(kOmApplicationSource, "The application was started before; this start is ignored");
    return;
  }
  CreateModules();
  if (m_saveInfo) {
    CSaveModule* saves = GetSaveModule();
    if (saves) saves->ApplySaveInfo(m_saveInfo->GetDataSize(), m_saveInfo->GetOverwriteFlag());
    m_saveInfo->FillDefaults(saves ? saves->GetDataSaver() : nullptr);
    // The message box must be able to tell the player about a damaged save at this first load.
    if (CDataSaver* saver = GetActiveDataSaver()) saver->LoadSystemResources(m_dictionary.get());
    m_saveInfo->LoadOrInitialise(GetActiveDataSaver());
  }
  InitStateModules();
  BindStateIds();
  // The logo and reminder screens are there for the start-up script while the start state's
  // Init runs.
  auto logo = std::make_unique<CLogo>(m_config.get());
  auto reminder = std::make_unique<CReminder>();
  CScriptManager* scripts = GetScriptManager();
  if (scripts) {
    BindReminder(scripts->GetSystemTable(), reminder.get());
    BindLogo(scripts->GetSystemTable(), logo.get());
    BindAppConfig(scripts->GetSystemTable(), m_config.get());
  }
  m_config->CreatePlayerTable();
  m_startState->SetSaveInfo(m_saveInfo.get());
  EnterStartState();
  if (scripts) {
    scripts->GetSystemTable().SetNil("Reminder");
    scripts->GetSystemTable().SetNil("Logo");
  }
  logo.reset();
  reminder.reset();
  m_pending = SStateRequest();
  m_frameTimeLimit = FrameTimeLimitForMode(m_config->GetFrameRateMode());
  m_limiter.SetLimit(m_frameTimeLimit);
}

void CApplication::BindStateIds() {
  CScriptManager* scripts = GetScriptManager();
  if (!scripts) return;
  for (const auto& entry : m_registry) scripts->GetSystemTable().SetNumber(entry->name.GetText(), entry->id);
}

void CApplication::EnterStartState() {
  IApplicationState* state = m_current.entry->state.get();
  state->SetArgs(m_current.text.GetText());
  CreateStateGroup();
  state->Init();
  if (CSceneManager* scene = GetSceneManager()) scene->GrowDrawList();
  state->Start();
  m_stateTime = 0.0f;
}

// A mode switch asked for during a frame waits until the frame has been presented.
void CApplication::Run() {
  m_config->DeferModeSwitches(true);
  while (IsEngineRunning() && EngineServicePass()) {
    const CFrameClock* clock = GetFrameClock();
    ResetSystemInfo();
    UpdateFrame(ClampFrameTime(clock ? clock->delta : 0.0f));
    if (BeginFrame()) {
      if (CGfxDevice* device = GetD3DDevice()) {
        device->Clear(0, nullptr, GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER | GFX_CLEAR_STENCIL,
                      m_clearColour, 1.0f, 0);
      }
      RenderFrame();
      FinishFrame();
    }
    m_config->ApplyPendingModeSwitch();
    if (CCollisionManager* collisions = GetCollisionManager()) collisions->EndFrame();
    m_limiter.WaitForDeadline();
  }
  m_config->DeferModeSwitches(false);
  LeaveThroughExitState();
}

void CApplication::ResetSystemInfo() {
  // What a frame puts into the system-info box is shown for that frame only.
  const CInputModule* input = GetInputModule();
  const CRenderModule* render = GetRenderModule();
  CSystemInfoNode* node = render ? render->GetSystemInfoNode() : nullptr;
  if (!input || !input->GetInput() || !node) return;
  node->Clear();
  node->GetWarning().Reset();
  node->Hide();
}

void CApplication::RenderFrame() {
  CRenderModule* render = GetRenderModule();
  if (!render || !render->IsInitialised()) return;
  SetDefaultRenderStates();
  CullOn();
  render->GetViewCamera()->Apply();
  render->GetSceneManager()->Render();
}

void CApplication::UpdateFrame(float dt) {
  IApplicationState* state = m_current.entry->state.get();
  if (CRenderModule* render = GetRenderModule(); render && render->IsInitialised()) render->FollowWindowShape();
  for (IModule* module : m_updateLists[0]) {
    if (module->IsInitialised()) module->Update();
  }
  state->ProcessInput(dt);
  for (IModule* module : m_updateLists[1]) {
    if (module->IsInitialised()) module->Update();
  }
  state->Update(dt);
  for (IModule* module : m_updateLists[2]) {
    if (module->IsInitialised()) module->Update();
  }
  m_stateTime += dt;
  if (m_current.duration >= 0.0f && m_current.duration < m_stateTime) {
    HandleEvent(CApplicationEvent(AE_STATE_FINISHED));
  }
  if (m_pending.id != -1) SwitchState();
}

// ---- events and the sequence of states

CApplication::SStateEntry* CApplication::FindEntry(int32_t id) const {
  if (id < 0 || id >= static_cast<int32_t>(m_registry.size())) return nullptr;
  return m_registry[id].get();
}

CApplication::SStateRequest CApplication::MakeRequest(const CApplicationEvent& event) const {
  SStateRequest request;
  request.id = event.target;
  request.entry = FindEntry(event.target);
  request.text = event.text;
  request.param = event.param;
  request.duration = event.duration;
  return request;
}

CApplication::SStateRequest CApplication::ExitRequest() const {
  SStateRequest request;
  request.id = m_exitStateId;
  request.entry = FindEntry(m_exitStateId);
  return request;
}

void CApplication::HandleEvent(const CApplicationEvent& event) {
  switch (event.type) {
    case AE_CHANGE_STATE:
    case AE_ADD_STATE: {
      SStateRequest request = MakeRequest(event);
      if (!request.entry) {
        HM_REPORT(kOmApplicationSource, "%s names state id %d, which is not registered; ignored",
                  GetApplicationEventName(event.type), event.target);
        return;
      }
      if (event.type == AE_ADD_STATE) {
        m_sequence.push_back(request);
        return;
      }
      m_sequence.push_front(request);
      FinishState();
      return;
    }
    case AE_STATE_FINISHED:
      FinishState();
      return;
    case AE_EXIT:
      GoToExit();
      return;
    default:
      return;  // AE_RESET and unknown types change nothing
  }
}

void CApplication::FinishState() {
  if (m_current.id == m_exitStateId) {
    PlatformPostQuit();
    return;
  }
  if (m_sequence.empty()) {
    GoToExit();
    return;
  }
  if (m_pending.id != -1) {
    HM_REPORT(kOmApplicationSource, "State %d finished again before its switch: the queued state %d is dropped",
              m_current.id, m_pending.id);
  }
  m_pending = m_sequence.front();
  m_sequence.pop_front();
}

// A quit from outside (the window closed, Alt+F4, also while a logo was shown) still leaves the
// way the program's own end does: the current state is released and the exit state saves.
void CApplication::LeaveThroughExitState() {
  GoToExit();
  if (m_pending.id != -1) SwitchState();
}

void CApplication::GoToExit() {
  if (m_current.id == m_exitStateId) return;
  m_sequence.push_front(ExitRequest());
  FinishState();
}

std::vector<int32_t> CApplication::GetQueuedStateIds() const {
  std::vector<int32_t> ids;
  for (const SStateRequest& request : m_sequence) ids.push_back(request.id);
  return ids;
}

// ---- the switch

void CApplication::CreateStateGroup() {
  CSceneManager* scene = GetSceneManager();
  if (!scene) return;
  const CStr group = StateGroupName(m_current.entry->name);
  scene->AddGroup(group.GetText());
  scene->SetCurrentGroup(group.GetText());
}

void CApplication::SwitchState() {
  IApplicationState* next = m_pending.entry->state.get();
  if (!m_pending.text.IsEmpty()) next->SetArgs(m_pending.text.GetText());
  if (m_pending.param != 0) next->SetParam(m_pending.param);
  CBaseLoading* loading = m_pending.entry->loading;
  LeaveState();
  m_current = m_pending;
  m_pending = SStateRequest();
  InitStateModules();
  if (CResourceManager* resources = GetResourceManager()) resources->SetCurrentGroupName(kStateResourceGroup);
  next->PreLoad();
  const float loadStart = GetTimeSeconds();
  if (loading) loading->Begin();
  CreateStateGroup();
  next->Init();
  if (CSceneManager* scene = GetSceneManager()) scene->GrowDrawList();
  if (loading) loading->End();
  m_loadTime = GetTimeSeconds() - loadStart;
  next->Start();
  m_stateTime = 0.0f;
  // The first frame after the switch must not count the loading time.
  InitTimer();
}

void CApplication::LeaveState() {
  CSceneManager* scene = GetSceneManager();
  if (scene) scene->FreeDrawList();
  m_current.entry->state->Release();
  if (scene) scene->RemoveGroup(StateGroupName(m_current.entry->name).GetText());
  ShutdownStateModules();
  CResourceManager* resources = GetResourceManager();
  if (resources && !resources->GetCurrentGroupName().IsEmpty()) {
    resources->UnloadGroup(resources->GetCurrentGroupName().GetText());
  }
}

}  // namespace Ombrel
