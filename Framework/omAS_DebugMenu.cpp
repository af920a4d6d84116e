#include "Framework/omAS_DebugMenu.h"

#include "Common/Render/Primitives/CTriangle2D.h"
#include "Framework/Resources/ResourceTypes/omResourceFont.h"
#include "Framework/Resources/omResourceManager.h"
#include "Framework/Scene/omQuickNode.h"
#include "Framework/Scene/omSceneManager.h"
#include "Framework/omAssetModule.h"
#include "Framework/omDataSaver.h"
#include "Framework/omInput.h"
#include "Framework/omInputModule.h"
#include "Framework/omModule.h"
#include "Framework/omRenderModule.h"
#include "Framework/omSaveModule.h"
#include "Quor/CFont.h"
#include "Quor/CViewCamera.h"
#include "Quor/DirectX/CMemCardDX.h"

#include <algorithm>

namespace Ombrel {

namespace {

// Windows virtual keys of the menu's actions, by slot.
const BoolPoll kActionPolls[CAS_DebugMenu::kActionCount] = {
    KeyPressPoll<0x1B>, KeyPressPoll<0x25>, KeyPressPoll<0x27>, KeyPressPoll<0x26>,
    KeyPressPoll<0x28>, KeyPressPoll<0x0D>, KeyPressPoll<0x31>, KeyPressPoll<0x32>,
};

constexpr float kTextSize = 18.0f;
constexpr float kColumnX[4] = {1812.0f, 1992.0f, 2042.0f, 2192.0f};
constexpr float kFirstRowY = 1812.0f;
constexpr float kRowHeight = 22.0f;
constexpr uint8_t kSelectedGrey = 0x5C;
constexpr uint8_t kOtherGrey = 0x40;
constexpr int kGridHalfLines = 5;

}  // namespace

CAS_DebugMenu::CAS_DebugMenu(CAppEventHandler<CApplicationEvent>* application, CAppConfig* config)
    : IApplicationState(application, config) {
  RequireModules({kModuleAsset, kModuleDebug, kModuleInput, kModuleRender});
}

void CAS_DebugMenu::OnStateRegistered(const char* name, int32_t id) {
  m_entries.push_back(SEntry{name, id, kEntryDuration, 1});
}

void CAS_DebugMenu::PreLoad() {
  if (CDataSaver* saver = GetActiveDataSaver()) saver->LoadGame();
}

void CAS_DebugMenu::Init() {
  if (CSceneManager* scene = GetSceneManager()) {
    scene->AddLayer(kLayerName, scene->GetDebugInfoLayerName());
    scene->AddNode(new CQuickNode(kNodeName, PtrToMember0::Ptr<CAS_DebugMenu>(this, &CAS_DebugMenu::Render)),
                   kLayerName);
  }
  if (CInput* input = GetActiveInput()) {
    input->Flush();
    for (int32_t action = 0; action < kActionCount; ++action) input->Bind(action, kActionPolls[action]);
  }
  CResourceManager* resources = GetResourceManager();
  CResourceFont* font = resources ? resources->GetFont("System") : nullptr;
  m_font = font ? font->GetFont() : nullptr;
  m_selection = 0;
}

void CAS_DebugMenu::Release() {
  if (CInput* input = GetActiveInput()) {
    for (int32_t action = 0; action < kActionCount; ++action) input->ClearSlot(action);
  }
  m_font = nullptr;
}

void CAS_DebugMenu::Start() {
  m_leave = false;
  m_timer = 0.0f;
}

void CAS_DebugMenu::ProcessInput(float) {
  const CInput* input = GetActiveInput();
  if (!input) return;
  if (input->IsPressed(kActionPrevious)) Select(-1);
  if (input->IsPressed(kActionNext)) Select(+1);
  if (input->IsPressed(kActionLess)) ChangeCount(-1);
  if (input->IsPressed(kActionMore)) ChangeCount(+1);
  if (input->IsPressed(kActionRun)) RunSelected();
  m_leave = input->IsPressed(kActionLeave);
}

void CAS_DebugMenu::Update(float dt) {
  m_timer += dt;
  if (m_timer > kTimerWrap) m_timer -= kTimerWrap;
  if (const CRenderModule* render = GetRenderModule()) {
    if (CViewCamera* camera = render->GetViewCamera()) camera->Apply();
  }
  if (m_leave && m_timer > kLeaveAfter) Post(CApplicationEvent(AE_STATE_FINISHED));
}

void CAS_DebugMenu::Select(int32_t step) {
  const int32_t count = static_cast<int32_t>(m_entries.size());
  if (count == 0) return;
  m_selection = (m_selection + step + count) % count;
}

void CAS_DebugMenu::ChangeCount(int32_t step) {
  if (m_entries.empty()) return;
  SEntry& entry = m_entries[m_selection];
  entry.count = std::clamp(entry.count + step, 0, kMaxCount);
}

void CAS_DebugMenu::RunSelected() {
  if (m_entries.empty()) return;
  const SEntry& entry = m_entries[m_selection];
  CApplicationEvent add(AE_ADD_STATE);
  add.duration = -1.0f;
  add.target = entry.id;
  for (int32_t i = 0; i < entry.count; ++i) Post(add);
  add.target = GetId();
  Post(add);
  Post(CApplicationEvent(AE_STATE_FINISHED));
}

void CAS_DebugMenu::Render() {
  DrawGrid();
  if (!m_font) return;
  for (size_t row = 0; row < m_entries.size(); ++row) {
    DrawEntry(m_entries[row], static_cast<int32_t>(row), static_cast<int32_t>(row) == m_selection);
  }
}

void CAS_DebugMenu::DrawGrid() const {
  for (int i = -kGridHalfLines; i <= kGridHalfLines; ++i) {
    const float at = static_cast<float>(i);
    DrawLine3D(Vector3{at, 0.0f, -kGridHalfLines}, Vector3{at, 0.0f, kGridHalfLines});
  }
}

void CAS_DebugMenu::DrawEntry(const SEntry& entry, int32_t row, bool selected) const {
  const uint8_t grey = selected ? kSelectedGrey : kOtherGrey;
  const uint8_t colours[8] = {grey, grey, grey, 128, grey, grey, grey, 128};
  m_font->SetSize(kTextSize / m_font->GetLineHeight());
  m_font->SetColors(colours);
  const float y = kFirstRowY + kRowHeight * static_cast<float>(row);
  m_font->SetPosition(kColumnX[0], y);
  m_font->Printf("state: %s", entry.name.GetText());
  m_font->SetPosition(kColumnX[1], y);
  m_font->Printf("id: %d", entry.id);
  m_font->SetPosition(kColumnX[2], y);
  m_font->Printf("duration: %4.1f", entry.duration);
  m_font->SetPosition(kColumnX[3], y);
  m_font->Printf("count: %d", entry.count);
  m_font->Flush();
}

}  // namespace Ombrel
