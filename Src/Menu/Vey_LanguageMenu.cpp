#include "Src/Menu/Vey_LanguageMenu.h"

#include "Framework/Resources/ResourceTypes/omResourceLayout2D.h"
#include "Framework/Resources/omResourceManager.h"
#include "Framework/omAssetModule.h"
#include "Framework/omLayout2D.h"
#include "Quor/DirectX/Quordx.h"
#include "Quor/Engine.h"
#include "Quor/ReportError.h"
#include "Src/World/Vey_Button.h"
#include "Src/World/Vey_GameEffects.h"
#include "Src/World/Vey_Language.h"
#include "Src/World/Vey_SoundContainer.h"
#include "Src/Menu/Vey_Menu.h"

#include <utility>

namespace Vey {

namespace {

const struct {
  const char* flag;
  const char* inactive;
  const char* slot;
  int32_t language;
} kSlots[CLanguageMenu::kSlotCount] = {
    {"root/EN", "root/EN_inactive", "root/Slot1", kLangUk},
    {"root/FR", "root/FR_inactive", "root/Slot2", kLangFrench},
    {"root/IT", "root/IT_inactive", "root/Slot3", kLangItalian},
    {"root/ES", "root/ES_inactive", "root/Slot4", kLangSpanish},
    {"root/DE", "root/DE_inactive", "root/Slot5", kLangGerman},
};
constexpr const char* kLanguageOkNodes[3] = {"root/Buttons/Button", "root/Buttons/Button Over",
                                             "root/Buttons/Button Clicked"};

}  // namespace

std::unique_ptr<CLanguageMenu> CreateLanguageMenu(CMenu* owner, Ombrel::CXmlDictionary* dictionary) {
  Ombrel::CResourceManager* resources = Ombrel::GetResourceManager();
  Ombrel::CResourceLayout2D* resource = resources ? resources->GetLayout2D(CLanguageMenu::kLayoutName) : nullptr;
  if (resource && !resource->IsLoaded()) resource->Load();
  Ombrel::CLayout2D* layout = resource ? resource->GetLayout() : nullptr;
  if (!layout) {
    HM_REPORT("Src/Menu/Vey_LanguageMenu", "The menu has no 2-D layout \"%s\" (%s); the language box is left out",
              CLanguageMenu::kLayoutName, CMenu::kResourceList);
    return nullptr;
  }
  auto menu =
      std::make_unique<CLanguageMenu>(layout, owner, owner ? owner->GetSoundBank() : nullptr, GetUserDataFolder());
  AttachToLayer(new CLanguageMenuRenderer(menu.get(), layout, dictionary), "OtherBoxes");
  return menu;
}

CLanguageMenu::CLanguageMenu(Ombrel::CLayout2D* layout, CMenu* owner, CSoundContainer* sounds, std::string dataFolder)
    : m_layout(layout), m_owner(owner), m_sounds(sounds), m_dataFolder(std::move(dataFolder)) {
  m_selected = SlotOfLanguage(GetLanguage());
  if (!m_layout) return;
  for (int i = 0; i < kSlotCount; ++i) {
    m_flagAreas[i] = FindLayoutBox(*m_layout, kSlots[i].flag);
    m_flags[i] = std::make_unique<CButton3>(FindLayoutBox(*m_layout, kSlots[i].slot),
                                            FindLayoutBox(*m_layout, kSlots[i].inactive), m_flagAreas[i]);
  }
  m_okArea = FindLayoutBox(*m_layout, kLanguageOkNodes[0]);
  m_ok = std::make_unique<CButton1>(m_okArea, FindLayoutBox(*m_layout, kLanguageOkNodes[1]),
                                    FindLayoutBox(*m_layout, kLanguageOkNodes[2]));
}

CLanguageMenu::~CLanguageMenu() = default;

int32_t CLanguageMenu::LanguageOfSlot(int32_t slot) {
  return slot >= 0 && slot < kSlotCount ? kSlots[slot].language : kLangUk;
}

// Catalan starts on French and Latin on Spanish; a language without a flag on English.
int32_t CLanguageMenu::SlotOfLanguage(int32_t language) {
  switch (language) {
    case kLangFrench:
    case kLangCatalan:
      return 1;
    case kLangItalian:
      return 2;
    case kLangSpanish:
    case kLangLatin:
      return 3;
    case kLangGerman:
      return 4;
    default:
      return 0;
  }
}

void CLanguageMenu::Open() {
  state = kOpening;
  m_timer = 0.0f;
  for (auto& flag : m_flags) {
    if (flag) flag->Reset();
  }
  if (m_ok) m_ok->Reset();
  if (m_flags[m_selected]) m_flags[m_selected]->selected = true;
}

// The pointer and button the menu took this frame.
void CLanguageMenu::ReadInput() {
  if (m_owner) {
    m_input.Take(m_owner->GetPointer(), m_owner->IsLeftDown());
  } else {
    m_input.Sample();
  }
}

void CLanguageMenu::TakeInput(const Vector2& pointer, bool leftDown) { m_input.Take(pointer, leftDown); }

void CLanguageMenu::Update(float dt) {
  if (!AdvanceBoxFade(state, m_timer, dt) && state == kOpen) {
    HoverWidgets();
    if (m_input.pressed) {
      if (m_ok && m_ok->over) {
        Confirm();
      } else {
        // The last hovered flag in slot order wins.
        for (int i = 0; i < kSlotCount; ++i) {
          if (m_flags[i] && m_flags[i]->hovered) Select(i);
        }
      }
    }
  }
  UpdateWidgets(dt);
}

// "mouse_over" for each flag the pointer enters; the OK button lights silently.
void CLanguageMenu::HoverWidgets() {
  for (int i = 0; i < kSlotCount; ++i) {
    if (!m_flags[i]) continue;
    const bool hovered = IsOverWidget(m_input.pointer, m_flagAreas[i], true);
    if (hovered && !m_flags[i]->hovered && m_sounds) m_sounds->PlaySoundByName("mouse_over");
    m_flags[i]->hovered = hovered;
  }
  if (m_ok) m_ok->over = IsOverWidget(m_input.pointer, m_okArea, false);
}

// The choice is the program's at once and the player's from now on; the dictionary's texts
// follow when the menu takes the box down.
void CLanguageMenu::Confirm() {
  PlayBoxSound(m_sounds, "menu_accept");
  const int32_t language = LanguageOfSlot(m_selected);
  SetLanguage(language);
  WritePlayerLanguage(m_dataFolder, language);
  if (m_owner) m_owner->ShowLanguageLogo();
  m_ok->pressed = true;
  state = kClosing;
}

void CLanguageMenu::Select(int32_t slot) {
  if (m_flags[m_selected]) m_flags[m_selected]->selected = false;
  m_selected = slot;
  m_flags[slot]->selected = true;
}

void CLanguageMenu::UpdateWidgets(float dt) {
  if (m_input.released && m_ok) m_ok->pressed = false;
  for (auto& flag : m_flags) {
    if (flag) flag->Update(dt);
  }
  if (m_ok) m_ok->UpdateNodes();
}

float CLanguageMenu::GetAlpha() const { return LinearFade(state, m_timer); }

}  // namespace Vey
