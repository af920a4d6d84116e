#pragma once
// The scene nodes that put the front end's menus on screen. Each asks its menu for the fade
// and draws the visible pictures and texts of the menu's 2-D layout with it: the boxes through
// CMenuBoxRenderer (nothing while the box is closed), the title screen through CMenuRenderer,
// which shifts its picture groups for the parallax and draws the menu's particles between them.

#include "Framework/Scene/omSceneNode.h"
#include "Quor/Utils.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace Ombrel {
class CLayout2D;
class CSprite2DNode;
class CXmlDictionary;
struct SLayoutBox;
struct SLayoutItem;
struct SLayoutText;
}  // namespace Ombrel

namespace Vey {

class CMenu;
class IMenuBox;

// A layout's pictures and texts as the menus draw them.
class CMenuLayoutDrawing {
 public:
  CMenuLayoutDrawing(const char* spriteName, Ombrel::CXmlDictionary* dictionary);
  ~CMenuLayoutDrawing();

  // A picture at its place moved by `offsetX` virtual units, at its size, scale and angle, in
  // its colour with the given alpha byte; `textureWidth` below 1 shows only that left part of
  // its texture (a slider's fill bar).
  void DrawPicture(const Ombrel::SLayoutBox& picture, uint8_t alpha, float offsetX, float textureWidth = 1.0f);
  // A text's own words, or its phrase printed as it is; its alpha byte scaled by `alpha`.
  void PrintText(const Ombrel::SLayoutText& text, float alpha, float offsetX);
  void PrintWords(const Ombrel::SLayoutText& text, float alpha, float offsetX, const char* words);
  // Every visible picture and text of the layout at the alpha; other kinds are skipped.
  // `textureWidthOf` tells how much of a picture's texture shows (all without it).
  using TextureWidthFn = std::function<float(const Ombrel::SLayoutBox& picture)>;
  void DrawLayout(const Ombrel::CLayout2D& layout, float alpha, const TextureWidthFn& textureWidthOf = nullptr);
  // The stamp, for pictures drawn away from their own place.
  Ombrel::CSprite2DNode& GetSprite() { return *m_sprite; }

 private:
  std::unique_ptr<Ombrel::CSprite2DNode> m_sprite;
  Ombrel::CXmlDictionary* m_dictionary;
};

// The node of one box of the main menu.
class CMenuBoxRenderer : public Ombrel::ISceneNode {
 public:
  CMenuBoxRenderer(const char* nodeName, const IMenuBox* box, Ombrel::CLayout2D* layout,
                   Ombrel::CXmlDictionary* dictionary);
  void Render() override;
  // The boxes are blended over what lies behind them.
  static void PrepareBlend();

 protected:
  const IMenuBox* GetBox() const { return m_box; }
  CMenuLayoutDrawing& GetDrawing() { return m_drawing; }

 private:
  const IMenuBox* m_box;
  Ombrel::CLayout2D* m_layout;
  CMenuLayoutDrawing m_drawing;
};

// The title screen.
class CMenuRenderer : public Ombrel::ISceneNode {
 public:
  static constexpr const char* kNodeName = "MenuRenderer";
  static constexpr const char* kPlayerName = "root/dummy_player_name";

  CMenuRenderer(CMenu* menu, Ombrel::CXmlDictionary* dictionary);
  void Render() override;

 private:
  // Which parallax offset moves a picture, and whether the buttons' fade-in shows on it.
  enum EGroup : uint8_t { kStill, kFront, kMiddle, kBack };
  struct SItemLook {
    EGroup group = kStill;
    bool fadesWithButtons = false;
    int emitterAfter = -1;  // the menu emitter drawn right after this object
  };

  void ClassifyItems();
  void DrawItem(const Ombrel::SLayoutItem& item, const SItemLook& look, float menuAlpha, float buttonFade);
  void DrawEmitter(int index, float alpha, float offset);
  float GroupOffset(EGroup group) const;

  CMenu* m_menu;
  CMenuLayoutDrawing m_drawing;
  std::vector<SItemLook> m_looks;  // by layout item index
  float m_emitterScale = 0.0f;     // particle units per virtual unit of offset, this frame
};

}  // namespace Vey
