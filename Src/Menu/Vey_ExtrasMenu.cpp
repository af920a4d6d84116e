#include "Src/Menu/Vey_ExtrasMenu.h"

#include "Framework/omLayout2D.h"
#include "Quor/RenderStates.h"
#include "Src/World/Vey_Button.h"

namespace Vey {

namespace {

// The text buttons: text, outline (their hit area), active outline.
const struct {
  const char* text;
  const char* outline;
  const char* active;
} kTextButtons[2] = {
    {"root/text_bonus_game", "root/Frame/Outline1", "root/Frame/Outline active1"},
    {"root/text_wallpapers", "root/Frame/Outline0", "root/Frame/Outline active0"},
};

std::unique_ptr<CButton2> MakeTextButton(Ombrel::CLayout2D& layout, int index) {
  const auto& names = kTextButtons[index];
  return std::make_unique<CButton2>(true, FindLayoutText(layout, names.text), FindLayoutBox(layout, names.outline),
                                    FindLayoutBox(layout, names.active));
}

}  // namespace

CExtrasMenu::CExtrasMenu(const SExtrasMenuArgs& args)
    : m_layout(args.layout),
      m_sounds(args.game.sounds),
      // The stamp is named as the options box's is.
      m_drawing("OptionsMenuRenderer", args.game.dictionary) {
  if (m_layout) {
    m_bonusGame = MakeTextButton(*m_layout, kBonusGameButton);
    m_wallpapers = MakeTextButton(*m_layout, kWallpapersButton);
    m_back = MakeLayoutButton(m_layout, "1");
    m_areas[kBonusGameButton] = FindLayoutBox(*m_layout, kTextButtons[0].outline);
    m_areas[kWallpapersButton] = FindLayoutBox(*m_layout, kTextButtons[1].outline);
    m_areas[kBackButton] = FindLayoutBox(*m_layout, "root/Buttons/Button1");
  }
  m_wallpaperMenu =
      std::make_unique<CExtrasWallpaperMenu>(args.wallpaperLayout, args.game.dictionary, m_sounds, args.notice);
  m_gameMenu = std::make_unique<CExtrasGameMenu>(args.game);
}

// The pages go first: the jigsaw's effects belong to the menu's share.
CExtrasMenu::~CExtrasMenu() {
  m_gameMenu.reset();
  m_wallpaperMenu.reset();
}

void CExtrasMenu::Open() {
  state = kOpening;
  for (CButton2* button : {m_bonusGame.get(), m_wallpapers.get()}) {
    if (button) button->Reset();
  }
  if (m_back) m_back->Reset();
}

void CExtrasMenu::ReadInput() {
  if (state == kWallpapers) {
    m_wallpaperMenu->ReadInput();
  } else if (state == kBonusGame) {
    m_gameMenu->ReadInput();
  } else {
    input.Sample();
  }
}

float CExtrasMenu::GetAlpha() const {
  switch (state) {
    case kOpening:
    case kClosing:
      return LinearFade(state, fadeTime);
    case kWallpapers:
      return CrossFadeBehind(*m_wallpaperMenu);
    case kBonusGame:
      return CrossFadeBehind(*m_gameMenu);
    default:
      return 1.0f;
  }
}

bool CExtrasMenu::IsHovered(EButton button) const {
  switch (button) {
    case kBonusGameButton:
      return m_bonusGame && m_bonusGame->hovered;
    case kWallpapersButton:
      return m_wallpapers && m_wallpapers->hovered;
    default:
      return m_back && m_back->over;
  }
}

void CExtrasMenu::Update(float dt) {
  switch (state) {
    case kOpening:
    case kClosing:
      AdvanceBoxFade(state, fadeTime, dt);
      break;
    case kOpen:
      UpdateShown();
      break;
    case kWallpapers:
      UpdatePage(*m_wallpaperMenu, *m_wallpapers, dt);
      break;
    case kBonusGame:
      UpdatePage(*m_gameMenu, *m_bonusGame, dt);
      break;
    default:
      break;
  }
  UpdateButtons(dt);
}

void CExtrasMenu::UpdatePage(IMenuBox& page, CButton2& button, float dt) {
  page.Update(dt);
  if (page.state != kClosed) return;
  state = kOpen;
  button.selected = false;
}

// One "mouse_over" however many buttons the pointer has just come onto.
void CExtrasMenu::Hover() {
  bool* flags[kButtonCount] = {&m_bonusGame->hovered, &m_wallpapers->hovered, &m_back->over};
  bool entered = false;
  for (int i = 0; i < kButtonCount; ++i) {
    entered = Vey::Hover(*flags[i], IsOverWidget(input.pointer, m_areas[i], true)) || entered;
  }
  if (entered) PlayBoxSound(m_sounds, "mouse_over");
}

void CExtrasMenu::UpdateShown() {
  if (!m_bonusGame || !m_wallpapers || !m_back) return;
  Hover();
  if (!input.pressed) return;
  for (int i = 0; i < kButtonCount; ++i) {
    if (IsHovered(EButton(i))) {
      Press(EButton(i));
      return;
    }
  }
}

void CExtrasMenu::Press(EButton button) {
  switch (button) {
    case kBonusGameButton:
      OpenPage(*m_gameMenu, *m_bonusGame, kBonusGame);
      break;
    case kWallpapersButton:
      OpenPage(*m_wallpaperMenu, *m_wallpapers, kWallpapers);
      break;
    default:
      PlayBoxSound(m_sounds, "menu_back");
      m_back->pressed = true;
      state = kClosing;
      break;
  }
}

void CExtrasMenu::OpenPage(IMenuBox& page, CButton2& button, int32_t pageState) {
  PlayBoxSound(m_sounds, "menu_nav");
  button.selected = true;
  state = pageState;
  page.Open();
}

void CExtrasMenu::UpdateButtons(float dt) {
  for (CButton2* button : {m_bonusGame.get(), m_wallpapers.get()}) {
    if (!button) continue;
    if (input.released) button->selected = false;
    button->Update(dt);
  }
  if (!m_back) return;
  if (input.released) m_back->pressed = false;
  m_back->UpdateNodes();
}

void CExtrasMenu::Draw() {
  if (state == kClosed) return;
  const float alpha = GetAlpha();
  if (alpha > 0.0f && m_layout) {
    AlphaBlendOn();
    BlendNormal();
    m_drawing.DrawLayout(*m_layout, alpha);
  }
  m_wallpaperMenu->Render();
  m_gameMenu->Draw();
}

void CExtrasMenuRenderer::Render() {
  if (m_menu) m_menu->Draw();
}

}  // namespace Vey
