#include "Src/Menu/Vey_MenuRenderer.h"

#include "Framework/Scene/omSprite2DNode.h"
#include "Framework/omLayout2D.h"
#include "Quor/RenderStates.h"
#include "Src/World/Vey_MPEmitter.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/World/Vey_Screen.h"
#include "Src/Investigation/Vey_OverlayDrawing.h"
#include "Src/Menu/Vey_Menu.h"
#include "Src/Menu/Vey_MenuBox.h"

#include <cstring>
#include <string>

namespace Vey {

namespace {

// The emitters follow the parallax a little further than the pictures they lie between.
constexpr float kEmitterParallax = 1.75f;

const char* const kFrontGroup[] = {"root/BG_ground",
                                   "root/GraveStone",
                                   "root/GraveLight",
                                   "root/Buttons/Button active3",
                                   "root/Buttons/Button3",
                                   "root/Buttons/Button active2",
                                   "root/Buttons/Button2",
                                   "root/Buttons/Button active1",
                                   "root/Buttons/Button1",
                                   "root/Buttons/Button active0",
                                   "root/Buttons/Button0",
                                   "root/Buttons/Button active",
                                   "root/Buttons/Button",
                                   "root/Buttons/PlayButton Clicked",
                                   "root/Buttons/PlayButton Over",
                                   "root/Buttons/PlayButton",
                                   "root/Buttons/PlayButtonBG",
                                   "root/Vase",
                                   "root/Statue"};
const char* const kMiddleGroup[] = {"root/TreesL",           "root/TreesR",           "root/Branches/BranchA",
                                    "root/Branches/BranchB", "root/Branches/BranchC", "root/Branches/BranchE"};
const char* const kBackGroup[] = {"root/House", "root/HouseLight"};
const char* const kLogos[] = {"root/LogoEN", "root/LogoFR", "root/LogoIT", "root/LogoES",
                              "root/LogoDE", "root/LogoNL", "root/LogoRU", "root/LogoGlow"};
// The objects the menu emitters are drawn right after, by the menu's emitter index.
const char* const kEmitterAnchors[] = {"root/HouseLight", "root/TreesR", "root/LogoGlow", CMenuRenderer::kPlayerName};

template <size_t N>
bool IsIn(const std::string& name, const char* const (&names)[N]) {
  for (const char* candidate : names) {
    if (name == candidate) return true;
  }
  return false;
}

bool IsButtonPicture(const std::string& name) { return name.rfind("root/Buttons/", 0) == 0; }

uint8_t Scaled(uint8_t byte, float factor) { return uint8_t(float(byte) * factor); }

}  // namespace

CMenuLayoutDrawing::CMenuLayoutDrawing(const char* spriteName, Ombrel::CXmlDictionary* dictionary)
    : m_sprite(std::make_unique<Ombrel::CSprite2DNode>(spriteName, nullptr)), m_dictionary(dictionary) {
  m_sprite->SetAspectCorrection(true);
}

CMenuLayoutDrawing::~CMenuLayoutDrawing() = default;

void CMenuLayoutDrawing::DrawPicture(const Ombrel::SLayoutBox& picture, uint8_t alpha, float offsetX,
                                     float textureWidth) {
  Ombrel::CSpriteData data;
  if (!SetLayoutPicture(picture, data)) return;
  if (textureWidth < 1.0f) data.SetTexCoords({0.0f, 1.0f}, {textureWidth, 1.0f}, {textureWidth, 0.0f}, {0.0f, 0.0f});
  data.SetSize(picture.size.x * kLayoutUnit * picture.scale.x, picture.size.y * kLayoutUnit * picture.scale.y);
  data.SetAngle(picture.angle);
  const RGBA colour = picture.colour;
  data.SetColour({uint8_t(colour >> 16), uint8_t(colour >> 8), uint8_t(colour), alpha});
  m_sprite->SetSpriteData(data);
  Vector2 place = ToVirtualScreen(picture.position);
  place.x += offsetX;
  m_sprite->SetPosition(place);
  m_sprite->SetScale({1.0f, 1.0f});
  // Turned pictures (the swaying branches) must not be culled by their winding.
  const bool culling = IsCullingOn();
  CullOff();
  m_sprite->Render();
  if (culling) CullOn();
}

void CMenuLayoutDrawing::PrintText(const Ombrel::SLayoutText& text, float alpha, float offsetX) {
  PrintWords(text, alpha, offsetX, LayoutTextWords(text, m_dictionary));
}

// The offset comes in virtual units; the text's place is in layout units.
void CMenuLayoutDrawing::PrintWords(const Ombrel::SLayoutText& text, float alpha, float offsetX, const char* words) {
  PrintLayoutText(text, alpha, words, {offsetX * GetAspect() / kLayoutUnit, 0.0f});
}

void CMenuLayoutDrawing::DrawLayout(const Ombrel::CLayout2D& layout, float alpha,
                                    const TextureWidthFn& textureWidthOf) {
  for (uint32_t i = 0; i < layout.GetCount(); ++i) {
    const Ombrel::SLayoutItem* item = layout.GetItem(i);
    if (!item || !item->visible) continue;
    if (item->kind == Ombrel::kLayoutText) {
      PrintText(static_cast<const Ombrel::SLayoutText&>(*item), alpha, 0.0f);
    } else if (item->kind == Ombrel::kLayoutSprite || item->kind == Ombrel::kLayoutAnimatedSprite) {
      const auto& picture = static_cast<const Ombrel::SLayoutBox&>(*item);
      const float textureWidth = textureWidthOf ? textureWidthOf(picture) : 1.0f;
      DrawPicture(picture, Scaled(uint8_t(picture.colour >> 24), alpha), 0.0f, textureWidth);
    }
  }
}

CMenuBoxRenderer::CMenuBoxRenderer(const char* nodeName, const IMenuBox* box, Ombrel::CLayout2D* layout,
                                   Ombrel::CXmlDictionary* dictionary)
    : ISceneNode(nodeName), m_box(box), m_layout(layout), m_drawing(nodeName, dictionary) {}

void CMenuBoxRenderer::Render() {
  if (!m_box || !m_layout || m_box->state == IMenuBox::kClosed) return;
  PrepareBlend();
  m_drawing.DrawLayout(*m_layout, m_box->GetAlpha());
}

void CMenuBoxRenderer::PrepareBlend() {
  AlphaBlendOn();
  BlendNormal();
}

CMenuRenderer::CMenuRenderer(CMenu* menu, Ombrel::CXmlDictionary* dictionary)
    : ISceneNode(kNodeName), m_menu(menu), m_drawing("MainMenuRenderer", dictionary) {
  ClassifyItems();
}

void CMenuRenderer::ClassifyItems() {
  const Ombrel::CLayout2D* layout = m_menu ? m_menu->GetLayout() : nullptr;
  if (!layout) return;
  m_looks.resize(layout->GetCount());
  for (uint32_t i = 0; i < layout->GetCount(); ++i) {
    const Ombrel::SLayoutItem* item = layout->GetItem(i);
    if (!item) continue;
    SItemLook& look = m_looks[i];
    if (IsIn(item->name, kFrontGroup)) look.group = kFront;
    if (IsIn(item->name, kMiddleGroup)) look.group = kMiddle;
    if (IsIn(item->name, kBackGroup)) look.group = kBack;
    look.fadesWithButtons =
        IsIn(item->name, kLogos) || IsButtonPicture(item->name) || item->kind == Ombrel::kLayoutText;
    for (int emitter = 0; emitter < 4; ++emitter) {
      if (item->name == kEmitterAnchors[emitter]) look.emitterAfter = emitter;
    }
  }
}

void CMenuRenderer::Render() {
  const Ombrel::CLayout2D* layout = m_menu ? m_menu->GetLayout() : nullptr;
  if (!layout) return;
  const float menuAlpha = m_menu->GetMenuAlpha();
  const float buttonFade = m_menu->GetButtonFade();
  m_emitterScale = GetAspect() * kEmitterParallax;
  for (uint32_t i = 0; i < layout->GetCount() && i < m_looks.size(); ++i) {
    const Ombrel::SLayoutItem* item = layout->GetItem(i);
    if (!item || !item->visible) continue;
    AlphaBlendOn();
    BlendNormal();
    DrawItem(*item, m_looks[i], menuAlpha, buttonFade);
  }
  DrawEmitter(4, buttonFade * menuAlpha, 0.0f);
}

void CMenuRenderer::DrawItem(const Ombrel::SLayoutItem& item, const SItemLook& look, float menuAlpha,
                             float buttonFade) {
  if (item.kind == Ombrel::kLayoutText) {
    const auto& text = static_cast<const Ombrel::SLayoutText&>(item);
    const float alpha = buttonFade * menuAlpha;
    if (item.name == kPlayerName) {
      const SSaveData* save = GetSaveData();
      const SProfileData* profile = save ? save->CurrentProfile() : nullptr;
      if (profile) m_drawing.PrintWords(text, alpha, GroupOffset(kFront), profile->name);
    } else {
      m_drawing.PrintText(text, alpha, GroupOffset(kFront));
    }
  } else if (item.kind == Ombrel::kLayoutSprite || item.kind == Ombrel::kLayoutAnimatedSprite) {
    const auto& picture = static_cast<const Ombrel::SLayoutBox&>(item);
    uint8_t alpha = uint8_t(picture.colour >> 24);
    if (look.fadesWithButtons) alpha = Scaled(alpha, buttonFade);
    m_drawing.DrawPicture(picture, Scaled(alpha, menuAlpha), GroupOffset(look.group));
  }
  if (look.emitterAfter < 0) return;
  const EGroup emitterGroups[] = {kBack, kMiddle, kStill, kFront};
  const float alpha = look.emitterAfter == 2 ? buttonFade * menuAlpha : menuAlpha;
  DrawEmitter(look.emitterAfter, alpha, GroupOffset(emitterGroups[look.emitterAfter]));
}

void CMenuRenderer::DrawEmitter(int index, float alpha, float offset) {
  MP::CEmitter* emitter = m_menu->GetEmitter(index);
  if (!emitter) return;
  // The logo's two emitters stay where the effect file puts them.
  const bool follows = index != 2 && index != 4;
  if (follows) emitter->MoveWithParticles({m_emitterScale * offset, 0.0f});
  emitter->SetAlpha(alpha);
  emitter->Render();
}

float CMenuRenderer::GroupOffset(EGroup group) const {
  switch (group) {
    case kFront:
      return m_menu->GetFrontOffset();
    case kMiddle:
      return m_menu->GetMiddleOffset();
    case kBack:
      return m_menu->GetBackOffset();
    default:
      return 0.0f;
  }
}

}  // namespace Vey
