#pragma once
// The help overlay of the puzzles: the page of pictures and texts that explains the puzzle on
// the screen, shown over it when the player presses the heads-up display's help button and
// closed with its one button. One overlay serves every puzzle of a playing state; all its pages
// are objects of the "Help" layout, and the overlay shows the current puzzle's two while it
// draws. The puzzle stays in its help state while the overlay is not closed.

#include "Quor/CMemWatch.h"
#include "Src/Investigation/Vey_ItemFrame.h"
#include "Src/Investigation/Vey_OverlayDrawing.h"

#include <cstdint>
#include <memory>

namespace Ombrel {
class CLayout2D;
class CSprite2DNode;
class CXmlDictionary;
struct SLayoutBox;
}  // namespace Ombrel

namespace Vey {

class CButton1;
class CCursor;
class CMap;
class CSoundContainer;
class IHud;

class CGameHelp : public CMemWatch {
 public:
  static constexpr int32_t kMainStoryPuzzles = 8;
  static constexpr int32_t kNoPuzzle = 9;
  static constexpr const char* kClose = "root/Buttons/Button1";
  static constexpr const char* kCloseOver = "root/Buttons/Button Over1";
  static constexpr const char* kCloseClicked = "root/Buttons/Button Clicked1";

  // None of the pointers is owned and any may be null: what would use it is left out. Without
  // a close button (no layout, or one without it) any click closes the page, so a puzzle is
  // never held in its help state. The world and the heads-up display let the cursor set choose
  // its shape over the page.
  CGameHelp(Ombrel::CLayout2D* layout, IHud* hud, const CMap* world, Ombrel::CXmlDictionary* dictionary,
            CSoundContainer* sounds, bool bonus, CCursor* cursor);
  ~CGameHelp() override;
  CGameHelp(const CGameHelp&) = delete;
  CGameHelp& operator=(const CGameHelp&) = delete;

  // Fades in the page of puzzle `puzzle` (0 to 7 in the main story; the bonus chapter has one).
  void Show(int32_t puzzle);
  void ReadInput();
  // For tests and callers that sample the mouse themselves.
  void SetInput(const SPointerInput& input) { m_input = input; }
  void Update(float dt);
  void Render();

  bool IsMouseOverCloseButton() const;
  int32_t GetState() const { return m_fade.state; }
  float GetFadeTime() const { return m_fade.t; }
  int32_t GetPuzzle() const { return m_puzzle; }

 private:
  void WaitForClose();
  void FinishClosing();
  void ShowPages(bool forDrawing);
  void ShowPageButtons(bool shown);
  void ShowCloseButtonLook();
  void SetShown(const char* name, bool shown);

  Ombrel::CLayout2D* m_layout;
  IHud* m_hud;
  const CMap* m_world;
  Ombrel::CXmlDictionary* m_dictionary;
  CSoundContainer* m_sounds;
  bool m_bonus;
  CCursor* m_cursor;
  SOverlayProgress m_fade;
  SPointerInput m_input;
  int32_t m_puzzle = kNoPuzzle;
  std::unique_ptr<CButton1> m_close;
  Ombrel::SLayoutBox* m_closeBox = nullptr;
  std::unique_ptr<Ombrel::CSprite2DNode> m_sprite;  // draws every picture of the layout
};

}  // namespace Vey
