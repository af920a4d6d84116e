#include "Src/Game/Vey_GameBase.h"

#include "Framework/Resources/ResourceTypes/omResourceLayout2D.h"
#include "Framework/Resources/omResourceManager.h"
#include "Framework/Resources/omResourcesXMLLoader.h"
#include "Framework/Scene/omSceneManager.h"
#include "Framework/Scene/omSceneMaterial.h"
#include "Framework/omAssetModule.h"
#include "Framework/omFileSystem.h"
#include "Framework/omInput.h"
#include "Framework/omInputModule.h"
#include "Framework/omModule.h"
#include "Framework/omRenderModule.h"
#include "Quor/ReportError.h"
#include "Src/Menu/Vey_PauseMenu.h"

namespace Vey {

namespace {

constexpr const char* kVeyGameBaseSource = "Src/Game/Vey_GameBase";

// Sent by Escape: to every listener that takes the type.
Ombrel::SEventHeader PauseEvent() {
  Ombrel::SEventHeader event;
  event.target = 0;
  event.mask = 0;
  event.word = -1;
  event.type = CGameBase::kEventPause;
  return event;
}

}  // namespace

CGameBase::CGameBase(Ombrel::CAppEventHandler<Ombrel::CApplicationEvent>* application, Ombrel::CAppConfig* config)
    : IApplicationState(application, config) {
  using namespace Ombrel;
  RequireModules({kModuleAsset, kModuleDebug, kModuleInput, kModuleRender, kModuleSave, kModuleSound});
  SetMask(-1);
}

// A state deleted while still current must not stay in the event manager's list.
CGameBase::~CGameBase() {
  if (GetListenerId() != -1 && GetEventManager()) GetEventManager()->RemoveListener(this);
}

void CGameBase::Init() {
  BindEscape();
  if (Ombrel::CEventManager* events = GetEventManager()) events->AddListener(this);
  LoadResourceLists();
  CreatePauseOverlay();
}

// Flushed after binding, so a press left over from the previous state gives no edge here.
void CGameBase::BindEscape() {
  Ombrel::CInput* input = Ombrel::GetActiveInput();
  if (!input) return;
  input->Bind(kPauseControl, Ombrel::KeyHeldPoll<kVkEscape>);
  input->Bind(kPauseClickControl, Ombrel::KeyHeldPoll<kVkLeftButton>);
  input->Flush();
}

void CGameBase::LoadResourceLists() {
  Ombrel::CResourceManager* resources = Ombrel::GetResourceManager();
  if (!resources) return;
  Ombrel::CResourcesXMLLoader reader(resources);
  for (const char* list : {kCommonResources, kPauseResources}) {
    // A missing list leaves its resources missing, each reported where it is asked for.
    if (Ombrel::ContentFileExists(list)) {
      reader.Load(list);
    } else {
      HM_REPORT(kVeyGameBaseSource, "%s: no such resource list; its resources are not loaded", list);
    }
  }
}

void CGameBase::CreatePauseOverlay() {
  Ombrel::CResourceManager* resources = Ombrel::GetResourceManager();
  Ombrel::CResourceLayout2D* resource = resources ? resources->GetLayout2D(kPauseLayout) : nullptr;
  Ombrel::CLayout2D* layout = resource ? resource->GetLayout() : nullptr;
  if (!layout) {
    HM_REPORT(kVeyGameBaseSource, "%s: no 2-D layout (Layout2D) \"%s\"; the game runs without its pause overlay",
              kPauseResources, kPauseLayout);
    return;
  }
  m_pauseMenu = std::make_unique<CPauseMenu>(layout);
  auto* node = new CPauseMenuNode(layout, GetDictionary());
  node->SetMaterial(new Ombrel::C2DMaterial(kPauseMaterial));
  node->SetDrawn(false);
  AttachPauseNode(node);
  m_pauseMenu->SetNode(m_pauseNode);
  m_pauseMenu->SetEventManager(GetEventManager());
  m_pauseMenu->SetClickControl(kPauseClickControl);
}

// Above every game layer. The scene manager reports and deletes a node it cannot take.
void CGameBase::AttachPauseNode(CPauseMenuNode* node) {
  Ombrel::CSceneManager* scene = Ombrel::GetSceneManager();
  if (!scene) {
    HM_REPORT(kVeyGameBaseSource, "No scene manager for the pause overlay's node \"%s\"", node->GetName().GetText());
    delete node;
    return;
  }
  if (scene->AddNode(node, Ombrel::CSceneManager::kSystemInfoLayer) >= 0) m_pauseNode = node;
}

void CGameBase::Release() {
  if (Ombrel::CInput* input = Ombrel::GetActiveInput()) {
    input->ClearSlot(kPauseControl);
    input->ClearSlot(kPauseClickControl);
  }
  m_pauseMenu.reset();
  m_pauseNode = nullptr;  // dropped with the state's scene group
  if (Ombrel::CEventManager* events = GetEventManager()) events->RemoveListener(this);
}

void CGameBase::Start() {
  if (m_pauseMenu) m_pauseMenu->Reset();
}

void CGameBase::ProcessInput(float dt) {
  const Ombrel::CInput* input = Ombrel::GetActiveInput();
  Ombrel::CEventManager* events = GetEventManager();
  if (input && events && input->IsPressed(kPauseControl)) events->Dispatch(PauseEvent());
  if (IsPaused()) m_pauseMenu->ProcessInput(dt);
}

void CGameBase::Update(float dt) {
  if (!IsPaused()) return;
  m_pauseMenu->Update(dt);
  if (!IsPaused()) Resume();
}

bool CGameBase::IsPaused() const { return m_pauseMenu && m_pauseMenu->GetState() != CPauseMenu::kClosed; }

bool CGameBase::AcceptsEvent(int32_t type) {
  return type == kEventNone || type == kEventPause || type == kEventClose;
}

// A close event for a closed overlay is ignored: closing it would end in a Resume without a
// Pause before it, acting on what an earlier pause left behind.
bool CGameBase::HandleEvent(const Ombrel::SEventHeader& event) {
  if (!m_pauseMenu) return true;
  if (event.type == kEventPause && !IsPaused()) {
    Pause();
    m_pauseMenu->Open();
  } else if (event.type == kEventPause || event.type == kEventClose) {
    CloseOverlay();
  }
  return true;
}

void CGameBase::CloseOverlay() {
  const int32_t state = m_pauseMenu->GetState();
  if (state == CPauseMenu::kClosed || state == CPauseMenu::kOptions || state == CPauseMenu::kHelp) return;
  m_pauseMenu->Close();
}

}  // namespace Vey
