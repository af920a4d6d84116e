#include "Src/Menu/Vey_ExtrasGameMenu.h"

#include "Framework/Resources/ResourceTypes/omResourceLayout2D.h"
#include "Framework/Resources/omResourceManager.h"
#include "Framework/omAssetModule.h"
#include "Framework/omLayout2D.h"
#include "Quor/RenderStates.h"
#include "Quor/ReportError.h"
#include "Src/World/Vey_Button.h"
#include "Src/World/Vey_EmitterGroup.h"
#include "Src/World/Vey_MPManager.h"
#include "Src/World/Vey_SoundContainer.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace Vey {

namespace {

constexpr const char* kVeyExtrasGameMenuSource = "Src/Menu/Vey_ExtrasGameMenu";
constexpr const char* kJigsawPreviewNames[kJigsawPictureCount] = {"root/Frame/MiniGame1", "root/Frame/MiniGame2",
                                                                  "root/Frame/MiniGame3"};

void AddEmitter(const MP::CManager& manager, CEmitterGroup& group, const char* name) {
  MP::CEmitter* emitter = manager.FindEmitter(name);
  if (!emitter) {
    HM_REPORT(kVeyExtrasGameMenuSource, "No particle emitter \"%s\" in %s", name, kJigsawEffectFile);
    return;
  }
  group.Add(emitter);
}

Ombrel::CLayout2D* FindLayout(const char* name) {
  Ombrel::CResourceManager* resources = Ombrel::GetResourceManager();
  Ombrel::CResourceLayout2D* resource = resources ? resources->GetLayout2D(name) : nullptr;
  if (resource && !resource->IsLoaded()) resource->Load();
  Ombrel::CLayout2D* layout = resource ? resource->GetLayout() : nullptr;
  if (!layout) HM_REPORT(kVeyExtrasGameMenuSource, "The bonus game page has no 2-D layout \"%s\"", name);
  return layout;
}

}  // namespace

bool FindExtrasGameLayouts(SExtrasGameMenuArgs& args) {
  args.layout = FindLayout(kGameMenuLayoutName);
  args.pauseLayout = FindLayout(CExtrasGamePause::kLayoutName);
  bool found = args.layout && args.pauseLayout;
  for (int i = 0; i < kJigsawPictureCount; ++i) {
    args.pictures[i] = FindLayout(kJigsawLayoutNames[i]);
    found = found && args.pictures[i];
  }
  return found;
}

bool LoadJigsawEffects(CEmitterGroup& group) {
  MP::CManager* manager = MP::CManager::GetInstance();
  if (!manager) manager = MP::CManager::CreateInstance();
  if (!manager || !manager->LoadFile(kJigsawEffectFile)) {
    HM_REPORT(kVeyExtrasGameMenuSource, "Particle file \"%s\" was not loaded", kJigsawEffectFile);
    return false;
  }
  AddEmitter(*manager, group, "PuzzleComplete");
  for (int id = 1; id <= kJigsawPieceCount; ++id) {
    char name[16];
    std::snprintf(name, sizeof(name), "Part%d", id);
    AddEmitter(*manager, group, name);
  }
  return true;
}

CExtrasGameMenu::CExtrasGameMenu(const SExtrasGameMenuArgs& args)
    : CExtrasPage(args.layout, args.dictionary, args.sounds, "ExtrasGameMenuRenderer", kJigsawPreviewNames),
      m_jigsaw(args) {}

CExtrasGameMenu::~CExtrasGameMenu() = default;

void CExtrasGameMenu::Use() {
  state = kJigsaw;
  m_jigsaw.Start(gameIndex);
  SwitchMusic(kJigsawMusicPhase);
}

void CExtrasGameMenu::UpdateNested(float dt) {
  m_jigsaw.Update(dt);
  if (m_jigsaw.state != CExtrasMiniGame::kClosed) return;
  state = kOpen;
  if (CButton2* play = UseButton()) play->selected = false;
  SwitchMusic(kMenuMusicPhase);
}

void CExtrasGameMenu::Draw() {
  const float alpha = GetAlpha();
  if (state == kClosed || alpha <= 0.0f) return;
  if (!IsJigsawCovering()) DrawLayout(alpha);
  m_jigsaw.Render();
}

}  // namespace Vey
