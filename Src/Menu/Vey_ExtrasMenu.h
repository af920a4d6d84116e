#pragma once
// The extras area, opened from the title screen: two text buttons, to the bonus game page and
// to the wallpaper page, and a back button. The menu owns both pages and hands the frame to the
// one that is open; it fades out while a page fades in and back in as the page closes.

#include "Src/Menu/Vey_ExtrasGameMenu.h"
#include "Src/Menu/Vey_ExtrasWallpaperMenu.h"
#include "Src/Menu/Vey_MenuBox.h"
#include "Src/Menu/Vey_MenuBoxParts.h"
#include "Src/Menu/Vey_MenuRenderer.h"

#include <memory>

namespace Vey {

class CButton1;
class CButton2;

// What the main menu hands the extras menu; nothing is owned. The bonus game page's share is
// in `game`, its dictionary and sound bank serving the whole area.
struct SExtrasMenuArgs {
  Ombrel::CLayout2D* layout = nullptr;
  Ombrel::CLayout2D* wallpaperLayout = nullptr;
  IMenuNotice* notice = nullptr;
  SExtrasGameMenuArgs game;
};

class CExtrasMenu : public IMenuBox {
 public:
  static constexpr const char* kLayoutName = "Extras";
  enum EExtrasState : int32_t { kWallpapers = 4, kBonusGame = 5 };
  // In the order they are hit-tested; the first hovered one acts.
  enum EButton : int32_t { kBonusGameButton, kWallpapersButton, kBackButton, kButtonCount };

  explicit CExtrasMenu(const SExtrasMenuArgs& args);
  ~CExtrasMenu() override;

  void Open() override;
  // An open page reads the input itself.
  void ReadInput() override;
  void Update(float dt) override;
  // Straight in and out over its own fades; behind an open page as the page's fade leaves it.
  float GetAlpha() const override;
  float GetFadeTime() const override { return fadeTime; }
  // The menu's layout at its alpha (when above 0), then both pages.
  void Draw();

  CExtrasGameMenu& GetGameMenu() { return *m_gameMenu; }
  CExtrasWallpaperMenu& GetWallpaperMenu() { return *m_wallpaperMenu; }
  bool IsJigsawRunning() const { return state == kBonusGame && m_gameMenu->IsJigsawRunning(); }
  bool IsHovered(EButton button) const;

  float fadeTime = 0.0f;
  SBoxInput input;  // a test may set it instead of ReadInput

 private:
  void UpdateShown();
  void Hover();
  void Press(EButton button);
  // The page's text button lit and the page opening over the menu, which shows it as `pageState`.
  void OpenPage(IMenuBox& page, CButton2& button, int32_t pageState);
  void UpdatePage(IMenuBox& page, CButton2& button, float dt);
  void UpdateButtons(float dt);

  Ombrel::CLayout2D* m_layout;
  CSoundContainer* m_sounds;
  CMenuLayoutDrawing m_drawing;
  std::unique_ptr<CButton2> m_bonusGame, m_wallpapers;
  std::unique_ptr<CButton1> m_back;
  const Ombrel::SLayoutBox* m_areas[kButtonCount] = {};
  std::unique_ptr<CExtrasWallpaperMenu> m_wallpaperMenu;
  std::unique_ptr<CExtrasGameMenu> m_gameMenu;
};

// The extras menu's node on the main menu's box layer.
class CExtrasMenuRenderer : public Ombrel::ISceneNode {
 public:
  static constexpr const char* kNodeName = "ExtrasMenuRenderer";
  explicit CExtrasMenuRenderer(CExtrasMenu* menu) : Ombrel::ISceneNode(kNodeName), m_menu(menu) {}
  void Render() override;

 private:
  CExtrasMenu* m_menu;
};

}  // namespace Vey
