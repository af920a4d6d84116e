#include "Src/Menu/Vey_ExtrasGameMenu.h"

#include "Framework/Resources/ResourceTypes/omResourceLayout2D.h"
#include "Framework/Resources/omResourceManager.h"
#include "Framework/omAssetModule.h"
#include "Framework/omLayout2D.h"
#include "Quor/RenderStates.h"
#include "Quor/ReportError.h"
#include "Src/Game/Vey_Button.h"
#include "Src/Game/Vey_EmitterGroup.h"
#include "Src/Game/Vey_MPManager.h"
#include "Src/Game/Vey_SoundContainer.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace Vey {

namespace {

constexpr const char* kSource = "Src/Menu/Vey_ExtrasGameMenu";
// The arrows' and the back button's suffixes of "root/Buttons/Button<suffix>".
constexpr const char* kArrowSuffixes[3] = {"", "0", "1"};
constexpr const char* kPreviewNames[kJigsawPictureCount] = {"root/Frame/MiniGame1", "root/Frame/MiniGame2",
                                                            "root/Frame/MiniGame3"};

void PlaySound(CSoundContainer* sounds, const char* name) {
  if (sounds) sounds->PlaySoundByName(name, 1.0f);
}

void AddEmitter(const MP::CManager& manager, CEmitterGroup& group, const char* name) {
  MP::CEmitter* emitter = manager.FindEmitter(name);
  if (!emitter) {
    HM_REPORT(kSource, "No particle emitter \"%s\" in %s", name, kJigsawEffectFile);
    return;
  }
  group.Add(emitter);
}

Ombrel::CLayout2D* FindLayout(const char* name) {
  Ombrel::CResourceManager* resources = Ombrel::GetResourceManager();
  Ombrel::CResourceLayout2D* resource = resources ? resources->GetLayout2D(name) : nullptr;
  if (resource && !resource->IsLoaded()) resource->Load();
  Ombrel::CLayout2D* layout = resource ? resource->GetLayout() : nullptr;
  if (!layout) HM_REPORT(kSource, "The bonus game page has no 2-D layout \"%s\"", name);
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
    HM_REPORT(kSource, "Particle file \"%s\" was not loaded", kJigsawEffectFile);
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
    : m_layout(args.layout),
      m_sounds(args.sounds),
      m_drawing("ExtrasGameMenuRenderer", args.dictionary),
      m_jigsaw(args) {
  if (!m_layout) return;
  for (int i = 0; i < 3; ++i) {
    m_arrows[i] = MakeLayoutButton(m_layout, kArrowSuffixes[i]);
    const std::string normal = std::string("root/Buttons/Button") + kArrowSuffixes[i];
    m_areas[i] = FindLayoutBox(*m_layout, normal.c_str());
  }
  m_areas[kPlay] = FindLayoutBox(*m_layout, "root/Frame/Outline1");
  m_play = std::make_unique<CButton2>(true, FindLayoutText(*m_layout, "root/text_use_as_wallpaper"),
                                      FindLayoutBox(*m_layout, "root/Frame/Outline1"),
                                      FindLayoutBox(*m_layout, "root/Frame/Outline active1"));
  for (int i = 0; i < kJigsawPictureCount; ++i) m_previews[i] = FindLayoutBox(*m_layout, kPreviewNames[i]);
  ShowPreview(gameIndex);
}

CExtrasGameMenu::~CExtrasGameMenu() = default;

void CExtrasGameMenu::Open() {
  state = kOpening;
  fadeTime = 0.0f;
  for (auto& arrow : m_arrows) {
    if (arrow) arrow->Reset();
  }
  if (m_play) m_play->Reset();
  ShowPreview(gameIndex);
}

void CExtrasGameMenu::ReadInput() {
  if (state == kJigsaw) {
    m_jigsaw.ReadInput();
  } else {
    input.Sample();
  }
}

bool CExtrasGameMenu::IsPreviewShown(int32_t index) const {
  return index >= 0 && index < kJigsawPictureCount && m_previews[index] && m_previews[index]->visible;
}

void CExtrasGameMenu::ShowPreview(int32_t index) {
  for (int i = 0; i < kJigsawPictureCount; ++i) {
    if (m_previews[i]) m_previews[i]->visible = i == index;
  }
}

void CExtrasGameMenu::Update(float dt) {
  if (state == kOpening || state == kClosing) {
    AdvanceBoxFade(state, fadeTime, dt);
  } else if (state == kOpen) {
    UpdateShown();
  } else if (state == kJigsaw) {
    m_jigsaw.Update(dt);
    if (m_jigsaw.state == CExtrasMiniGame::kClosed) {
      state = kOpen;
      if (m_play) m_play->selected = false;
      SwitchMusic(kMenuMusicPhase);
    }
  }
  UpdateButtons(dt);
}

void CExtrasGameMenu::Hover() {
  for (int i = 0; i < kButtonCount; ++i) {
    const bool over = IsOverWidget(input.pointer, m_areas[i], true);
    bool& hovered = i == kPlay ? m_play->hovered : m_arrows[i]->over;
    if (over && !hovered) PlaySound(m_sounds, "mouse_over");
    hovered = over;
  }
}

void CExtrasGameMenu::UpdateShown() {
  if (!m_play) return;
  Hover();
  if (!input.pressed) return;
  for (int i = 0; i < kButtonCount; ++i) {
    const bool hovered = i == kPlay ? m_play->hovered : m_arrows[i]->over;
    if (hovered) {
      Press(EButton(i));
      return;
    }
  }
}

// The arrows stop at the first and the last preview, sounding all the same.
void CExtrasGameMenu::Press(EButton button) {
  switch (button) {
    case kPrevious:
    case kNext:
      PlaySound(m_sounds, "menu_nav");
      m_arrows[button]->pressed = true;
      gameIndex = std::clamp(gameIndex + (button == kNext ? 1 : -1), 0, kJigsawPictureCount - 1);
      ShowPreview(gameIndex);
      break;
    case kBack:
      PlaySound(m_sounds, "menu_back");
      m_arrows[kBack]->pressed = true;
      state = kClosing;
      break;
    default:
      PlaySound(m_sounds, "menu_nav");
      m_play->selected = true;
      state = kJigsaw;
      m_jigsaw.Start(gameIndex);
      SwitchMusic(kJigsawMusicPhase);
      break;
  }
}

void CExtrasGameMenu::UpdateButtons(float dt) {
  for (auto& arrow : m_arrows) {
    if (!arrow) continue;
    if (input.released) arrow->pressed = false;
    arrow->UpdateNodes();
  }
  if (!m_play) return;
  if (input.released) m_play->selected = false;
  m_play->Update(dt);
}

void CExtrasGameMenu::Draw() {
  const float alpha = GetAlpha();
  if (state == kClosed || alpha <= 0.0f) return;
  if (m_layout) {
    AlphaBlendOn();
    BlendNormal();
    m_drawing.DrawLayout(*m_layout, alpha);
  }
  m_jigsaw.Render();
}

}  // namespace Vey
