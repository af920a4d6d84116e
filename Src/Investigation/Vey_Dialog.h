#pragma once
// The story dialog: a dark band across the lower screen with the speaker's portrait and the
// line's text, shown while the line's recorded voice plays. The location logic, the close-ups
// and the mini-games open it with a dialog key and update it every frame; it draws as a node of
// the playing state's "Dialog" layer.

#include "Framework/Scene/omSceneNode.h"
#include "Src/Location/Vey_SceneScreens.h"
#include "Src/Investigation/Vey_OverlayDrawing.h"

#include <cstdint>
#include <memory>
#include <string>

namespace Ombrel {
class CLayout2D;
class CSprite2DNode;
class CXmlDictionary;
struct SLayoutBox;
struct SLayoutText;
}  // namespace Ombrel

namespace Vey {

class CSoundContainer;

class CDialog : public Ombrel::ISceneNode, public IDialogBox {
 public:
  // A line without a voice (or with a silent one) stays for its reading time: this many
  // characters a second, and never less than the shortest time.
  static constexpr float kReadingRate = 15.0f;
  static constexpr float kShortestReading = 2.0f;

  // The layout holds "root/CharDialog", "root/WolfDialog" and "root/text_dialog". None of the
  // four is owned; without a dictionary the line shows its key, without a sound bank no voice.
  CDialog(const char* name, const Ombrel::CLayout2D* layout, Ombrel::CXmlDictionary* dictionary,
          CSoundContainer* sounds);
  ~CDialog() override;

  // Starts the fade-in with the key's line and voice. Opened again while a line shows, the
  // fade-in goes on from where the box is.
  void Open(const std::string& dialog) override;
  void Update(float dt) override;
  int32_t GetState() const override { return m_fade.state; }
  void CloseAtOnce() override;
  int32_t GetCurrentVoice() const override;

  // Clears the skip count.
  void Reset() override { m_skipCount = 0; }
  void Render() override;

  void CountSkipClick() override { ++m_skipCount; }
  uint32_t GetSkipCount() const { return m_skipCount; }

  const std::string& GetText() const { return m_text; }
  float GetProgress() const { return m_fade.t; }
  // Seconds the line speaks for: its voice's length, else its reading time.
  float GetSpeakingTime() const { return m_speakingTime; }
  // The layout entry of the portrait the current line shows.
  const char* GetPortraitName() const;

  // The sound-bank name of the key's voice; empty for a key without one. Keys compare whole.
  static const char* VoiceOf(const std::string& dialog);
  // The seconds a line of this text takes to read (characters, not bytes, counted).
  static float ReadingTime(const std::string& text);

 private:
  void DrawBand(float alpha);

  // The layout's entries, looked up (and reported when missing) once.
  const Ombrel::SLayoutText* m_textEntry = nullptr;
  const Ombrel::SLayoutBox* m_narrator = nullptr;
  const Ombrel::SLayoutBox* m_wolf = nullptr;
  SOverlayProgress m_fade;  // its open state is the speaking one
  std::string m_text;
  float m_speakingTime = 0.0f;
  std::unique_ptr<Ombrel::CSprite2DNode> m_band;  // also draws the portrait
  Ombrel::CXmlDictionary* m_dictionary;
  CSoundContainer* m_sounds;
  uint32_t m_skipCount = 0;
  int32_t m_voiceSlot = -1;
  bool m_wolfSpeaks = false;
};

}  // namespace Vey
