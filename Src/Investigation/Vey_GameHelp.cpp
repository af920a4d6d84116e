#include "Src/Investigation/Vey_GameHelp.h"

#include "Framework/Scene/omSprite2DNode.h"
#include "Framework/omLayout2D.h"
#include "Quor/RenderStates.h"
#include "Quor/ReportError.h"
#include "Src/World/Vey_Button.h"
#include "Src/World/Vey_SoundContainer.h"
#include "Src/Investigation/Vey_Cursor.h"

#include <string>

namespace Vey {

namespace {

constexpr const char* kVeyGameHelpSource = "Vey_GameHelp";

// The buttons of the layout's own paging, which the overlay keeps hidden while it is up.
constexpr const char* kPageButtons[] = {
    "root/Buttons/Button2", "root/Buttons/Button Over2", "root/Buttons/Button Clicked2",
    "root/Buttons/Button3", "root/Buttons/Button Over3", "root/Buttons/Button Clicked3",
    "root/Buttons/Next2",   "root/Buttons/Next1"};

constexpr const char* kBonusPages[] = {"root/CGAME1/HELP_CGAME1_1", "root/CGAME1/HELP_CGAME1_2"};

// Page 1 or 2 of main-story puzzle `number` (1 to 8).
std::string PageName(int32_t number, int32_t page) {
  const std::string n = std::to_string(number);
  return "root/GAME" + n + "/HELP_GAME" + n + "_" + std::to_string(page);
}

}  // namespace

CGameHelp::CGameHelp(Ombrel::CLayout2D* layout, IHud* hud, const CMap* world, Ombrel::CXmlDictionary* dictionary,
                     CSoundContainer* sounds, bool bonus, CCursor* cursor)
    : m_layout(layout),
      m_hud(hud),
      m_world(world),
      m_dictionary(dictionary),
      m_sounds(sounds),
      m_bonus(bonus),
      m_cursor(cursor),
      m_sprite(std::make_unique<Ombrel::CSprite2DNode>("Sprite", nullptr)) {
  m_sprite->SetAspectCorrection(true);
  if (!m_layout) {
    HM_REPORT(kVeyGameHelpSource, "The puzzle help has no layout, so it shows no page and has no close button");
    m_close = std::make_unique<CButton1>(nullptr, nullptr, nullptr);
    return;
  }
  m_closeBox = FindLayoutBox(*m_layout, kClose);
  m_close = std::make_unique<CButton1>(m_closeBox, FindLayoutBox(*m_layout, kCloseOver),
                                       FindLayoutBox(*m_layout, kCloseClicked));
  m_close->hideNormal = true;
}

CGameHelp::~CGameHelp() = default;

void CGameHelp::Show(int32_t puzzle) {
  m_fade.Enter(kOverlayOpening);
  m_close->over = false;
  m_close->pressed = false;
  m_puzzle = puzzle;
  ShowPageButtons(false);
}

void CGameHelp::ReadInput() { m_input = SamplePointerInput(); }

bool CGameHelp::IsMouseOverCloseButton() const { return IsPointOnBox({m_input.x, m_input.y}, m_closeBox); }

void CGameHelp::Update(float dt) {
  ShowStandardCursor(m_cursor, m_world, m_hud, m_input);
  if (m_input.released) m_close->pressed = false;
  if (m_fade.state == kOverlayOpen) {
    WaitForClose();
  } else if (m_fade.Advance(dt) && m_fade.state == kOverlayClosed) {
    FinishClosing();
  }
  m_close->UpdateNodes();
}

void CGameHelp::WaitForClose() {
  m_close->over = IsMouseOverCloseButton();
  const bool closes = m_closeBox ? m_close->over : true;
  if (!m_input.pressed || !closes) return;
  m_fade.Enter(kOverlayClosing);
  m_close->pressed = true;
  if (m_sounds) m_sounds->PlaySoundByName("menu_accept", 1.0f);
}

// The layout is left as the puzzles' own screens expect it: no page, their paging buttons back,
// and the cursor the puzzle had before the page came up.
void CGameHelp::FinishClosing() {
  ShowPages(false);
  ShowPageButtons(true);
  if (m_cursor) m_cursor->SetHover(false);
}

// While drawing, the two pages of the current puzzle (the bonus chapter's own pair there);
// otherwise none, so that nothing else draws them.
void CGameHelp::ShowPages(bool forDrawing) {
  for (int32_t number = 1; number <= kMainStoryPuzzles; ++number) {
    const bool current = forDrawing && !m_bonus && number - 1 == m_puzzle;
    for (int32_t page = 1; page <= 2; ++page) SetShown(PageName(number, page).c_str(), current);
  }
  for (const char* page : kBonusPages) SetShown(page, forDrawing && m_bonus);
}

void CGameHelp::ShowPageButtons(bool shown) {
  for (const char* button : kPageButtons) SetShown(button, shown);
}

// A page or button the layout lacks is left out; the layout's check names what it misses.
void CGameHelp::SetShown(const char* name, bool shown) {
  Ombrel::SLayoutItem* item = m_layout ? m_layout->FindItem(name) : nullptr;
  if (item) item->visible = shown;
}

void CGameHelp::Render() {
  if (m_fade.state == kOverlayClosed || !m_layout) return;
  ShowPages(true);
  BlendNormal();
  const bool culling = IsCullingOn();
  CullOff();
  const float alpha = m_fade.Alpha();
  for (uint32_t i = 0; i < m_layout->GetCount(); ++i) {
    const Ombrel::SLayoutItem* item = m_layout->GetItem(i);
    if (item && item->visible) DrawLayoutItem(*m_sprite, *item, alpha, 1.0f, m_dictionary);
  }
  if (culling) CullOn();
  ShowPages(false);
}

}  // namespace Vey
