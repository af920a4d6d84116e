#pragma once
// The language box of the main menu: five flags (English, French, Italian, Spanish, German)
// and OK. A click on a flag selects it; OK makes its language the program's, keeps it in the
// player's language file and has the menu show the title in it. Fades in and out linearly in a
// quarter second.

#include "Src/Menu/Vey_MenuBox.h"
#include "Src/Menu/Vey_MenuBoxParts.h"
#include "Src/Menu/Vey_MenuRenderer.h"

#include <cstdint>
#include <memory>
#include <string>

namespace Ombrel {
class CLayout2D;
class CXmlDictionary;
struct SLayoutBox;
}  // namespace Ombrel

namespace Vey {

class CButton1;
class CButton3;
class CMenu;
class CSoundContainer;

class CLanguageMenu : public IMenuBox {
 public:
  static constexpr const char* kLayoutName = "LanguageMenu";
  static constexpr int kSlotCount = 5;
  static constexpr float kFadeSpeed = 4.0f;

  // `owner` shows the title in the new language; `dataFolder` keeps the player's choice.
  CLanguageMenu(Ombrel::CLayout2D* layout, CMenu* owner, CSoundContainer* sounds, std::string dataFolder);
  ~CLanguageMenu() override;

  void Open() override;
  void ReadInput() override;
  void Update(float dt) override;
  float GetAlpha() const override;
  float GetFadeTime() const override { return m_timer; }

  // The pointer in virtual-screen units and the left button, as ReadInput reads them.
  void TakeInput(const Vector2& pointer, bool leftDown);

  int32_t GetSelectedSlot() const { return m_selected; }
  // The language a slot sets (English is the dictionary's second English, 1) and the slot a
  // language starts on.
  static int32_t LanguageOfSlot(int32_t slot);
  static int32_t SlotOfLanguage(int32_t language);

 private:
  void HoverWidgets();
  void Confirm();
  void Select(int32_t slot);
  void UpdateWidgets(float dt);

  Ombrel::CLayout2D* m_layout;
  CMenu* m_owner;
  CSoundContainer* m_sounds;
  std::string m_dataFolder;
  float m_timer = 0.0f;
  SBoxInput m_input;
  std::unique_ptr<CButton3> m_flags[kSlotCount];
  Ombrel::SLayoutBox* m_flagAreas[kSlotCount] = {};  // the hit areas, owned by the layout
  std::unique_ptr<CButton1> m_ok;
  Ombrel::SLayoutBox* m_okArea = nullptr;
  int32_t m_selected = 0;
};

class CLanguageMenuRenderer : public CMenuBoxRenderer {
 public:
  static constexpr const char* kNodeName = "LanguageMenuRenderer";
  CLanguageMenuRenderer(const CLanguageMenu* menu, Ombrel::CLayout2D* layout, Ombrel::CXmlDictionary* dictionary)
      : CMenuBoxRenderer(kNodeName, menu, layout, dictionary) {}
};

// The box over the menu's layout "LanguageMenu" with its renderer on the layer "OtherBoxes";
// null, reported, when the layout is missing.
std::unique_ptr<CLanguageMenu> CreateLanguageMenu(CMenu* owner, Ombrel::CXmlDictionary* dictionary);

}  // namespace Vey
