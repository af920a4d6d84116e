#pragma once
// The application's save medium: the engine's save file with the owner's part, a modal system
// message box that tells the player what the engine has to say about loading and saving and
// takes the answer (by click, or Up/Down to choose), drawn from the "SysMsg_*" pictures, the
// "System" font and the system pointer while the application's own frames wait.

#include "Quor/CMemWatch.h"
#include "Quor/DirectX/CMemCardDX.h"
#include "Quor/FrameLimiter.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class CFont;
struct TextureRecord;

namespace Ombrel {

class CInputWarning;
class CXmlDictionary;

// The turning spokes of a box that waits without buttons.
class CBusyIndicator : public CMemWatch {
 public:
  static constexpr int32_t kSpokes = 8;

  explicit CBusyIndicator(TextureRecord* spoke) : m_spoke(spoke) {}
  virtual void Reset() { m_progress = 0.0f; }
  virtual void Render();

  // Keeps the fractional part, made non-negative.
  void SetProgress(float progress);
  float GetProgress() const { return m_progress; }
  void SetPosition(float x, float y);
  void SetSize(float width, float height);
  // Spoke i's alpha on the 128 scale: brighter spokes trail the current step.
  static uint8_t SpokeAlpha(int32_t spoke, float progress);

 private:
  TextureRecord* m_spoke;
  float m_x = 2048.0f;
  float m_y = 2048.0f;
  float m_width = 50.0f;
  float m_height = 50.0f;
  float m_progress = 0.0f;
};

class CDataSaver : public CMemCardDX {
 public:
  // Input slots of player 0 the box binds while its resources are loaded.
  static constexpr int32_t kSlotDown = 128;
  static constexpr int32_t kSlotUp = 129;
  static constexpr int32_t kSlotClick = 130;

  // The owner's check of a loaded save body (the block without its trailer): false, with the
  // reason, refuses it like a damaged file.
  using BodyCheck = std::function<bool(const uint8_t* data, uint32_t size, std::string* reason)>;

  // A block of `dataSize` bytes, zero-filled; `overwrite` is the initial overwrite rule.
  CDataSaver(uint32_t dataSize, bool overwrite);
  ~CDataSaver() override;

  // The save data: the first `GetDataSize()` bytes of the block.
  uint32_t GetDataSize() const { return m_dataSize; }

  // The engine's question: the box runs frame after frame until it is answered (1 or 2).
  // When the window is closed meanwhile the answer is 0, which the engine's flows take as
  // "no answer" (nothing is overwritten). Without the box's resources the message is
  // reported and answered with its first button, as it is without a device to draw with, so
  // that no flow waits for nobody.
  int32_t ShowMessage(const char* title, const char* text, const char* firstButton,
                      const char* secondButton, int32_t flags) override;
  // One frame of the box: 0 while nothing is chosen, 1 or 2 for the button clicked; 1 at
  // once when the program is ending, and where the box cannot be shown (as ShowMessage). Text, labels and title may be null; an empty text
  // counts as none.
  int32_t MessageBoxFrame(const char* title, const char* text, const char* firstButton,
                          const char* secondButton);

  // Fonts and pictures from the resource manager, the box's input slots, its pointer, warning
  // box and busy indicator. The dictionary is kept for the owner.
  void LoadSystemResources(CXmlDictionary* dictionary);
  void ReleaseSystemResources();
  bool HasSystemResources() const { return m_systemResourcesReady; }

  // Load and Save that give player 0's pointer back as it was (shown and active, or not).
  bool LoadGame();
  bool SaveGame();

  void SetBodyCheck(BodyCheck check) { m_bodyCheck = std::move(check); }
  void SetBackgroundTexture(TextureRecord* texture) { m_background = texture; }
  TextureRecord* GetBackgroundTexture() const { return m_background; }
  void AllowOverwrite() { SetOverwrite(true); }
  void ForbidOverwrite() { SetOverwrite(false); }
  // The hovered button of the last frame: -1 none, 0 or 1.
  int32_t GetSelection() const { return m_selection; }

 protected:
  bool AcceptsBody(const uint8_t* block, uint32_t totalSize, std::string* reason) const override;

 private:
  struct SBoxTextures {
    TextureRecord* corner = nullptr;
    TextureRecord* edge = nullptr;
    TextureRecord* fill = nullptr;
    TextureRecord* selectedEnd = nullptr;
    TextureRecord* selectedCentre = nullptr;
    TextureRecord* unselectedEnd = nullptr;
    TextureRecord* unselectedCentre = nullptr;
    TextureRecord* cursor = nullptr;
  };
  enum class EFrame { kOpen, kAnswered, kClosed };

  bool CanShowBox() const;
  static int32_t ReportInsteadOfBox(const char* title, const char* text, const char* firstButton);
  EFrame RunFrame(const char* title, const char* text, const char* firstButton,
                  const char* secondButton, int32_t* answer);
  void ReadInput(int32_t buttonCount);
  int32_t HoveredButton(int32_t buttonCount) const;
  void DrawBox(const char* title, const char* text, const char* firstButton,
               const char* secondButton) const;
  void DrawButton(const char* label, bool selected, float centreY) const;
  void DrawNineSliceBox() const;
  void DrawPointer() const;
  bool RunKeepingPointer(bool (CMemCardDX::*operation)());

  uint32_t m_dataSize;
  CFont* m_font = nullptr;
  SBoxTextures m_textures;
  std::unique_ptr<CInputWarning> m_warning;
  std::unique_ptr<CBusyIndicator> m_busy;
  CXmlDictionary* m_dictionary = nullptr;
  TextureRecord* m_background = nullptr;
  BodyCheck m_bodyCheck;
  CFrameLimiter m_pace;  // the box's frames follow at the application's default rate
  int32_t m_selection = -1;
  bool m_pointerShown = false;
  bool m_systemResourcesReady = false;
  float m_busyTimer = 0.0f;
  uint32_t m_status = 0;
};

}  // namespace Ombrel
