#pragma once
// The extras area's bonus game page: three previews of the jigsaw's pictures, flipped with two
// arrows, the one shown started with the play button, and a back button that closes the page.
// The page owns the jigsaw and runs it until it closes, with the jigsaw's music meanwhile.

#include "Src/Menu/Vey_ExtrasMiniGame.h"
#include "Src/Menu/Vey_ExtrasPage.h"

#include <memory>

namespace Vey {

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

class CExtrasGameMenu : public CExtrasPage {
 public:
  static constexpr int32_t kJigsaw = kNested;
  static constexpr int32_t kJigsawMusicPhase = 1;
  static constexpr int32_t kMenuMusicPhase = 0;

  explicit CExtrasGameMenu(const SExtrasGameMenuArgs& args);
  ~CExtrasGameMenu() override;

  // The page's layout, and over it the jigsaw while it runs.
  void Draw();

  CExtrasMiniGame& GetJigsaw() { return m_jigsaw; }
  // The jigsaw's page in play hides the whole screen, this page and the extras box included.
  bool IsJigsawCovering() const { return IsJigsawRunning() && m_jigsaw.CoversScreen(); }
  bool IsJigsawRunning() const { return state == kJigsaw; }

  int32_t& gameIndex = shownIndex;  // the picture the play button starts

 private:
  void Use() override;
  void ReadNestedInput() override { m_jigsaw.ReadInput(); }
  void UpdateNested(float dt) override;

  CExtrasMiniGame m_jigsaw;
};

}  // namespace Vey
