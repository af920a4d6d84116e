#pragma once
// The extras area's bonus game page: three previews of the jigsaw's pictures, flipped with two
// arrows, the one shown started with the play button, and a back button that closes the page.
// The page owns the jigsaw and runs it until it closes, with the jigsaw's music meanwhile.

#include "Src/Menu/Vey_ExtrasMiniGame.h"
#include "Src/Menu/Vey_MenuBox.h"
#include "Src/Menu/Vey_MenuBoxParts.h"
#include "Src/Menu/Vey_MenuRenderer.h"

#include <memory>

namespace Vey {

class CButton1;
class CButton2;
class CEmitterGroup;

// What the extras menu hands the page: the page's layout and the jigsaw's share (its three
// picture layouts, the pause layout, the snapshot behind the pause and the effects). Nothing
// is owned.
struct SExtrasGameMenuArgs : SExtrasMiniGameArgs {
  Ombrel::CLayout2D* layout = nullptr;
};

// The names under which the menu's resource list holds the page's layouts, and the effect file
// of the jigsaw's sparks.
constexpr const char* kGameMenuLayoutName = "GameSelection";
constexpr const char* kJigsawLayoutNames[kJigsawPictureCount] = {"Game08", "Game09", "Game10"};
constexpr const char* kJigsawEffectFile = "Art\\Environments\\Game08\\Effects\\G08.ptc";

// Loads the jigsaw's effect file into the particle manager (made when missing) and files its
// emitters "PuzzleComplete" and "Part1".."Part72" into the group; false, reported, without them.
bool LoadJigsawEffects(CEmitterGroup& group);
// The page's, the three pictures' and the pause's layouts from the loaded menu resources into
// the arguments; false, each missing one reported, when any is missing.
bool FindExtrasGameLayouts(SExtrasGameMenuArgs& args);

class CExtrasGameMenu : public IMenuBox {
 public:
  enum EPageState : int32_t { kJigsaw = 4 };
  enum EButton : int32_t { kPrevious, kNext, kBack, kPlay, kButtonCount };
  static constexpr int32_t kJigsawMusicPhase = 1;
  static constexpr int32_t kMenuMusicPhase = 0;

  explicit CExtrasGameMenu(const SExtrasGameMenuArgs& args);
  ~CExtrasGameMenu() override;

  void Open() override;
  void ReadInput() override;
  void Update(float dt) override;
  // Nothing for the first half of the opening; out over the first half of the closing.
  float GetAlpha() const override { return DelayedFade(state, fadeTime); }
  // The page's layout, and over it the jigsaw while it runs.
  void Draw();

  bool IsPreviewShown(int32_t index) const;
  CExtrasMiniGame& GetJigsaw() { return m_jigsaw; }

  int32_t gameIndex = 0;  // the preview shown, 0..2, kept between openings
  float fadeTime = 0.0f;
  SBoxInput input;  // a test may set it instead of ReadInput

 private:
  void UpdateShown();
  void Hover();
  void Press(EButton button);
  void ShowPreview(int32_t index);
  void UpdateButtons(float dt);

  Ombrel::CLayout2D* m_layout;
  CSoundContainer* m_sounds;
  CMenuLayoutDrawing m_drawing;
  std::unique_ptr<CButton1> m_arrows[3];  // previous, next, back
  const Ombrel::SLayoutBox* m_areas[kButtonCount] = {};
  std::unique_ptr<CButton2> m_play;
  Ombrel::SLayoutBox* m_previews[kJigsawPictureCount] = {};
  CExtrasMiniGame m_jigsaw;
};

}  // namespace Vey
