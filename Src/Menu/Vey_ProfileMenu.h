#pragma once
// The profile menu: up to three player profiles kept packed at the front of the save, one of
// them selected. New opens the name entry (while a record is free), Delete asks the yes/no
// question and then moves the later profiles down (never with a single profile left), OK
// writes the save and closes. A selection reaches the save data at once, the file on OK.

#include "Src/Menu/Vey_MenuBox.h"
#include "Src/Menu/Vey_MenuBoxParts.h"
#include "Src/Menu/Vey_MenuRenderer.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace Ombrel {
class CLayout2D;
}

namespace Vey {

class CButton1;
class CButton2;
class CButton6;
class CSoundContainer;

class CProfileMenu : public IMenuBox {
 public:
  static constexpr const char* kLayoutName = "ProfileMenu";
  static constexpr int32_t kNameEntryShown = 4;
  static constexpr int32_t kQuestionShown = 5;
  static constexpr int kSlotCount = 3;
  enum EWidget : int { kSlot1, kSlot2, kSlot3, kNew, kOk, kDelete, kWidgetCount };

  // The yes/no box is looked up when it is needed, so it may be set up after this menu.
  using QuestionLookup = std::function<IMenuQuestion*()>;
  CProfileMenu(QuestionLookup question, IMenuBox* nameEntry, Ombrel::CLayout2D* layout, CSoundContainer* sounds);
  ~CProfileMenu() override;

  void Open() override;
  void ReadInput() override;
  void Update(float dt) override;
  float GetAlpha() const override;
  float GetFadeTime() const override { return m_fadeTime; }

  // This frame's pointer and left button, as ReadInput takes them.
  void TakeInput(const Vector2& pointer, bool leftDown);

  bool IsOver(EWidget widget) const;
  int32_t GetSelected() const { return m_selected; }
  bool IsNewInactive() const;
  bool IsDeleteInactive() const;
  Ombrel::CLayout2D* GetLayout() const { return m_layout; }

 private:
  void UpdateOpen();
  void PlayHoverSound(const bool (&over)[kWidgetCount]);
  void Press(const bool (&over)[kWidgetCount]);
  void NameEntryClosed();
  void QuestionClosed(const IMenuQuestion* question);
  void DeleteSelected();
  void ShowProfiles();
  bool IsUsable(EWidget widget) const;
  void UpdateButtons(float dt);

  QuestionLookup m_question;
  IMenuBox* m_nameEntry;
  Ombrel::CLayout2D* m_layout;
  CSoundContainer* m_sounds;

  SBoxInput m_pointer;
  float m_fadeTime = 0.0f;
  int32_t m_selected = 0;
  bool m_hovered[kWidgetCount] = {};
  std::unique_ptr<CButton2> m_slots[kSlotCount];
  std::unique_ptr<CButton6> m_new;
  std::unique_ptr<CButton1> m_ok;
  std::unique_ptr<CButton6> m_delete;
};

class CProfileMenuRenderer : public CMenuBoxRenderer {
 public:
  static constexpr const char* kNodeName = "ProfileMenuRenderer";
  CProfileMenuRenderer(const CProfileMenu* menu, Ombrel::CXmlDictionary* dictionary)
      : CMenuBoxRenderer(kNodeName, menu, menu ? menu->GetLayout() : nullptr, dictionary) {}
};

}  // namespace Vey
