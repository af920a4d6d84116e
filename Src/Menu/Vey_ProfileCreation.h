#pragma once
// The box in which the player types the name of a new profile: at most eleven characters of
// any script, and never more bytes than the profile's name field holds. A name another profile
// has already is told by the notice box and stays for editing; a new one takes the first free
// profile, becomes the current profile and is saved at once. While another profile exists the
// box has a way back, which closes it without a new profile.

#include "Src/Menu/Vey_MenuBox.h"
#include "Src/Menu/Vey_MenuBoxParts.h"
#include "Src/Menu/Vey_MenuRenderer.h"

#include <cstdint>
#include <functional>
#include <memory>

class CFont;

namespace Ombrel {
class CLayout2D;
struct SLayoutText;
}  // namespace Ombrel

namespace Vey {

class CButton1;
class CButton6;
class CSoundContainer;

class CProfileCreation : public IMenuBox {
 public:
  static constexpr const char* kLayoutName = "ProfileCreation";
  static constexpr const char* kNameNode = "root/dummy_name";
  static constexpr const char* kOkNode = "root/FrameButton";
  // The way back: the layout's "root/Buttons/Button" with its over and clicked pictures.
  static constexpr const char* kBackNode = "root/Buttons/Button";
  static constexpr const char* kBackLabel = "root/text_back";
  static constexpr int32_t kMessageShown = 4;
  static constexpr int kMaxCharacters = 11;
  // The name's bytes without its terminator; the field holds 120.
  static constexpr int kMaxNameBytes = 119;
  static constexpr uint8_t kVkBackspace = 8;
  static constexpr float kRepeatDelay = 0.5f;
  static constexpr float kRepeatInterval = 0.05f;

  // The notice box is looked up when a name is refused, so it may be set up after this box.
  using MessageLookup = std::function<IMenuNotice*()>;
  CProfileCreation(Ombrel::CLayout2D* layout, MessageLookup message, CSoundContainer* sounds);
  ~CProfileCreation() override;

  void Open() override;
  void ReadInput() override;
  void Update(float dt) override;
  float GetAlpha() const override;
  float GetFadeTime() const override { return m_fadeTime; }

  // This frame's pointer, left button and Enter key, as ReadInput takes them.
  void TakeInput(const Vector2& pointer, bool leftDown, bool enterDown);

  const char* GetName() const { return m_name; }
  int GetCharacterCount() const { return m_count; }
  float GetCaretTime() const { return m_caretTime; }
  bool IsOkInactive() const;
  // Whether the box offers its way back (a profile exists to go back to).
  bool HasWayBack() const { return m_wayBack; }
  Ombrel::CLayout2D* GetLayout() const { return m_layout; }
  Ombrel::SLayoutText* GetNameNode() const { return m_nameNode; }

 private:
  void UpdateOpen(float dt);
  void OfferWayBack();
  void GoBack();
  void Accept();
  void TrimTrailingBlanks();
  bool NameIsTaken() const;
  void StoreName();
  void UpdateHeldKey();
  bool Backspace(float dt);
  void Type();
  void TypeCharacter(const char* character);
  void DeleteLastCharacter();
  void Append(const char* character);
  bool CanShow(const char* character) const;
  void UpdateButton();

  Ombrel::CLayout2D* m_layout;
  MessageLookup m_message;
  CSoundContainer* m_sounds;
  Ombrel::SLayoutText* m_nameNode = nullptr;
  const CFont* m_font = nullptr;
  std::unique_ptr<CButton6> m_ok;
  std::unique_ptr<CButton1> m_back;
  bool m_wayBack = false;

  SBoxInput m_pointer;
  bool m_enterHeld = false;
  bool m_enter = false;  // Enter went down this frame
  float m_fadeTime = 0.0f;

  char m_name[120] = {};
  int m_starts[kMaxCharacters] = {};  // byte offset at which each typed character begins
  int m_count = 0;
  float m_caretTime = 0.0f;
  float m_repeatTime = 0.0f;
  float m_holdTime = 0.0f;
  uint8_t m_heldKey = 0;
  bool m_noRepeat = true;
  bool m_backspaceWasDown = false;
};

// The name-entry box's node: its layout, then the typed name with a blinking caret.
class CProfileCreationRenderer : public CMenuBoxRenderer {
 public:
  static constexpr const char* kNodeName = "ProfileCreationRenderer";
  CProfileCreationRenderer(const CProfileCreation* box, Ombrel::CXmlDictionary* dictionary);
  void Render() override;

 private:
  const CProfileCreation* m_entry;
};

}  // namespace Vey
