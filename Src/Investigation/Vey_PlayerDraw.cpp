// The heads-up display's drawing: the clue trails, the layout with its animated parts, the
// hint gauge filling through the depth buffer, the items in the bar, the name bubbles, the item
// on the cursor, the note line and the list of objects to find.

#include "Src/Investigation/Vey_Player.h"

#include "Framework/Scene/omSprite2DNode.h"
#include "Framework/Scene/omTextureAnimation.h"
#include "Framework/Utils/omXmlDictionary.h"
#include "Quor/CFont.h"
#include "Quor/Engine.h"
#include "Quor/RenderStates.h"
#include "Src/World/Vey_MPEmitter.h"
#include "Src/World/Vey_Screen.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

namespace Vey {

namespace {

constexpr float kPlayerPi = 3.14159265f;
constexpr uint32_t kCmpEqual = 3;
constexpr uint32_t kCmpGreater = 5;
constexpr uint32_t kCmpAlways = 8;
constexpr uint32_t kAllChannels = 0xF;
constexpr uint32_t kAlphaChannel = 0x8;
const Vector2 kDiaryCentre{kVirtualCentre, 2247.2346f};
const Vector2 kNotePosition{kVirtualCentre, 1806.08f};

uint8_t AlphaByte(float alpha) { return uint8_t(std::clamp(alpha, 0.0f, 1.0f) * 128.0f); }

Vector2 Lerp(const Vector2& from, const Vector2& to, float k) {
  return {to.x + k * (from.x - to.x), to.y + k * (from.y - to.y)};
}

bool IsPlacedSprite(const Ombrel::SLayoutItem* item) {
  return item && (item->kind == Ombrel::kLayoutSprite || item->kind == Ombrel::kLayoutAnimatedSprite);
}

// The bar's pictures and words are laid over what is behind them. The sparks drawn between them
// (the new diary entry, the hint glow) leave their own blending on, and the game's fonts set no
// states of their own, so each picture and text sets it again.
void PlainBlending() {
  AlphaBlendOn();
  BlendNormal();
}

}  // namespace

// ---- sprites ----

void CPlayer::DrawSprite(const Ombrel::CSpriteData& sprite, const Vector2& position, const Vector2& size, float alpha,
                         float angle, bool added) {
  Ombrel::CSpriteData& data = m_spriteNode->GetSpriteData();
  data = sprite;
  // Widths are given in units of the screen's height; the node narrows them after turning, so
  // that a turned picture keeps its shape.
  data.SetSize(size.x, size.y);
  data.SetAngle(angle);
  Ombrel::SSpriteColour colour = sprite.GetColour();
  colour.a = uint8_t(float(colour.a) * std::clamp(alpha, 0.0f, 1.0f));
  data.SetColour(colour);
  m_spriteNode->SetPosition(position);
  PlainBlending();
  if (added) BlendAdditive();
  const bool culling = IsCullingOn();
  CullOff();
  m_spriteNode->Render();
  if (culling) CullOn();
}

// The layout object's picture (its animation's current frame) in its own colour.
void CPlayer::DrawBoxSprite(const Ombrel::SLayoutBox& box, const Vector2& position, const Vector2& size, float alpha,
                            float angle, bool added) {
  Ombrel::CSpriteData sprite;
  if (box.kind == Ombrel::kLayoutSprite) {
    sprite.SetTexture(static_cast<const Ombrel::SLayoutSprite&>(box).texture);
  } else if (box.kind == Ombrel::kLayoutAnimatedSprite) {
    const auto* animation = static_cast<const Ombrel::SLayoutAnimatedSprite&>(box).animation;
    if (!animation) return;
    animation->ApplyFrame(sprite);
  } else {
    return;
  }
  const RGBA c = box.colour;
  sprite.SetColour({uint8_t(c >> 16 & 0xFF), uint8_t(c >> 8 & 0xFF), uint8_t(c & 0xFF), uint8_t(c >> 24 & 0xFF)});
  DrawSprite(sprite, position, size, alpha, angle, added);
}

// ---- render ----

void CPlayer::Render() {
  if (!m_c.layout) return;
  BlendNormal();
  AlphaBlendOn();
  DrawTrails();
  DrawLayout();
  DrawItems();
  DrawBubbles();
  DrawHeldItem();
  DrawNoteLine();
  DrawHiddenObjectList();
  if (m_c.font) m_c.font->Flush();
  if (m_c.cursorEffect) m_c.cursorEffect->Render();
}

void CPlayer::DrawTrails() {
  for (STrail& trail : m_trails) {
    if (trail.progress >= 1.0f) continue;
    const float k = (1.0f - trail.progress) * (1.0f - trail.progress);
    const Vector2 position = Lerp(trail.startPosition, kDiaryCentre, k);
    // A clue handed over without its picture flies as its sparks alone.
    if (trail.sprite.GetTexture())
      DrawSprite(trail.sprite, position, {k * trail.startSize.x, k * trail.startSize.y}, 1.0f);
    if (trail.emitter) trail.emitter->SetPosition(ToParticleSpace(position));
  }
}

Vector2 CPlayer::DiaryBookOffset() const {
  if (m_listVisibility > 0.0f) return {0.0f, 20.0f * m_listVisibility};
  return {0.0f, -7.5f * m_diaryHover};
}

int CPlayer::SlotNumber(const Ombrel::SLayoutItem& item) const {
  const Ombrel::SLayoutItem* first = m_special[kFirstSlot];
  const Ombrel::SLayoutItem* last = m_special[kLastSlot];
  if (!first || !last || item.index < first->index || item.index > last->index) return 0;
  return item.index - first->index + 1;
}

void CPlayer::DrawLayout() {
  for (uint32_t i = 0; i < m_c.layout->GetCount(); ++i) {
    const Ombrel::SLayoutItem& item = *m_c.layout->GetItem(i);
    if (!item.visible) continue;
    if (item.kind == Ombrel::kLayoutText) {
      DrawLayoutText(static_cast<const Ombrel::SLayoutText&>(item));
      continue;
    }
    if (!IsPlacedSprite(&item)) continue;
    const auto& box = static_cast<const Ombrel::SLayoutBox&>(item);
    if (&item == m_special[kDiaryAnim])
      DrawDiaryBook(box);
    else if (&item == m_special[kGaugeMask])
      DrawHintGauge(box);
    else if (SlotNumber(item) > 0)
      DrawSlot(box);
    else
      DrawLayoutSprite(box);
  }
}

void CPlayer::DrawLayoutText(const Ombrel::SLayoutText& text) {
  Ombrel::SLayoutText styled = text;
  if (!styled.style.font) styled.style.font = m_c.font;
  CFont* font = styled.style.font;
  if (!font) return;
  styled.style.alpha = uint8_t(float(styled.style.alpha) * std::clamp(m_fade, 0.0f, 1.0f));
  ApplyTextStyle(&styled.style);
  font->UpdateAspectScale();
  PlainBlending();
  const Vector2 position = ToVirtualScreen(text.position);
  font->SetPosition(position.x, position.y);
  font->Printf("%s", text.source == Ombrel::kTextDictionary ? Phrase(text.phraseKey.c_str()) : text.text.c_str());
  font->Flush();
}

void CPlayer::DrawLayoutSprite(const Ombrel::SLayoutBox& box) {
  const Ombrel::SLayoutItem* item = &box;
  const bool leftArrow = item == m_special[kLeftArrowActive] || item == m_special[kLeftArrowInactive];
  const bool rightArrow = item == m_special[kRightArrowActive] || item == m_special[kRightArrowInactive];
  const bool compass = item == m_special[kCompass] || item == m_special[kCompassArrow];
  const bool movesWithBook = item == m_special[kDiaryBook] || item == m_special[kDiaryGlow];

  Vector2 position = box.position;
  if (movesWithBook) position.y -= DiaryBookOffset().y / kLayoutUnit;
  Vector2 size{box.size.x * kLayoutUnit, box.size.y * kLayoutUnit};
  if (leftArrow || rightArrow) {
    const float grow = 1.0f + 0.25f * (leftArrow ? m_leftArrowHover : m_rightArrowHover);
    size = {size.x * grow, size.y * grow};
  } else if (!compass) {
    size = {size.x * box.scale.x, size.y * box.scale.y};
  }
  float alpha = m_fade;
  if (leftArrow || rightArrow || compass) alpha *= m_barVisibility;
  float angle = 0.0f;
  if (item == m_special[kMoon]) angle = m_glowPhase;
  if (item == m_special[kCompassArrow]) {
    const float s = m_compassSwing;
    angle = (1.0f - s) * std::sin(3.0f * kPlayerPi * s) * kPlayerPi / 4.0f;
  }
  DrawBoxSprite(box, ToVirtualScreen(position), size, alpha, angle);
  if (const float light = ButtonLight(item); light > 0.0f) {
    // The same picture once more, added onto itself: the button glows.
    DrawBoxSprite(box, ToVirtualScreen(position), size, 0.5f * light * alpha, angle, true);
  }
}

float CPlayer::ButtonLight(const Ombrel::SLayoutItem* item) const {
  if (item == m_special[kMoon]) return m_menuLight;
  if (item == m_special[kCompass]) return m_mapLight;
  if (item == FindObject("hudGauge")) return m_hintLight;
  return 0.0f;
}

void CPlayer::DrawDiaryBook(const Ombrel::SLayoutBox& box) {
  const Vector2 offset = DiaryBookOffset();
  Vector2 position = ToVirtualScreen(box.position);
  position.y += offset.y;
  DrawBoxSprite(box, position, {box.size.x * kLayoutUnit, box.size.y * kLayoutUnit}, m_fade, 0.0f);
  if (!m_c.newEntry) return;
  m_c.newEntry->MoveWithParticles(ToParticleSpace({kVirtualCentre, 2253.0524f + offset.y}));
  m_c.newEntry->SetAlpha((1.0f - m_listVisibility) * m_fade);
  m_c.newEntry->Render();
}

void CPlayer::DrawSlot(const Ombrel::SLayoutBox& box) {
  const float wave = m_slotWave[size_t(SlotNumber(box) - 1)].current;
  const float grow = 1.0f + 0.2f * wave;
  Ombrel::CSpriteData sprite(m_c.emptySlot);
  const RGBA c = box.colour;
  sprite.SetColour({uint8_t(c >> 16 & 0xFF), uint8_t(c >> 8 & 0xFF), uint8_t(c & 0xFF), uint8_t(c >> 24 & 0xFF)});
  DrawSprite(sprite, ToVirtualScreen(box.position), {box.size.x * kLayoutUnit * grow, box.size.y * kLayoutUnit * grow},
             m_barVisibility * m_fade);
}

// The gauge fills from the bottom: the fill frame, lowered by the missing charge, writes depth
// only; the gauge picture is then drawn where that depth is.
void CPlayer::DrawHintGauge(const Ombrel::SLayoutBox& mask) {
  const Ombrel::SLayoutItem* fill = m_special[kGaugeFill];
  const Vector2 size{mask.size.x * kLayoutUnit, mask.size.y * kLayoutUnit};
  const Vector2 position = ToVirtualScreen(mask.position);
  if (IsPlacedSprite(fill)) {
    ClearScreen(false, false, 0.0f, 0.0f, 0.0f, 0.0f);
    SetAlphaTest(kCmpGreater, 3);
    AlphaTestOn();
    SetColorWriteMask(kAlphaChannel);
    DepthTestOn();
    DepthWriteOn();
    SetDepthFunc(kCmpAlways);
    DrawBoxSprite(static_cast<const Ombrel::SLayoutBox&>(*fill),
                  {position.x, position.y + (1.0f - m_hintCharge) * size.y}, size, 1.0f, 0.0f);
    SetColorWriteMask(kAllChannels);
    DepthWriteOff();
    SetDepthFunc(kCmpEqual);
    AlphaTestOff();
    AlphaBlendOn();
    DrawBoxSprite(mask, position, size, m_fade, 0.0f);
  }
  if (m_c.hintGlow) m_c.hintGlow->Render();
  DepthTestOff();
  BlendNormal();
}

void CPlayer::DrawItems() {
  for (int n = 1; n <= VisibleSlots(); ++n) {
    const size_t index = m_firstVisible + size_t(n) - 1;
    const Ombrel::SLayoutBox* slot = SlotBox(n);
    if (index >= m_inventory.size() || !slot) continue;
    SInventoryEntry& entry = m_inventory[index];
    if (entry.key == m_heldItem) continue;
    const float grow = 0.9f * (1.0f + 0.2f * m_slotWave[size_t(n - 1)].current);
    Vector2 position = ToVirtualScreen(slot->position);
    Vector2 size{slot->size.x * kLayoutUnit * grow, slot->size.y * kLayoutUnit * grow};
    if (entry.progress < 1.0f) {
      const float k = (1.0f - entry.progress) * (1.0f - entry.progress);
      position = Lerp(entry.startPosition, position, k);
      size = Lerp(entry.startSize, size, k);
      if (entry.trail) entry.trail->SetPosition(ToParticleSpace(position));
    }
    DrawSprite(entry.sprite, position, size, m_barVisibility * m_fade);
  }
}

void CPlayer::DrawBubbles() {
  if (!m_c.font) return;
  const bool upperCase = m_c.dictionary && (std::strcmp(m_c.dictionary->GetLanguageCode().GetText(), "en") == 0 ||
                                            std::strcmp(m_c.dictionary->GetLanguageCode().GetText(), "uk") == 0);
  for (int n = 1; n <= VisibleSlots(); ++n) {
    const size_t index = m_firstVisible + size_t(n) - 1;
    const float wave = m_slotWave[size_t(n - 1)].current;
    if (index >= m_inventory.size() || wave <= 0.0f) continue;
    std::string name = Phrase(m_inventory[index].key.c_str());
    if (upperCase)
      for (char& c : name)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    DrawItemBubble(n - 1, name.c_str(), wave);
  }
}

void CPlayer::DrawItemBubble(int slot, const char* text, float value) {
  const Ombrel::SLayoutItem* anchorItem = FindObject("DummySlot" + std::to_string(slot + 1));
  if (!anchorItem) return;
  Vector2 anchor;
  if (anchorItem->kind == Ombrel::kLayoutText) {
    // The bubble's words take the anchor's text style.
    const auto& anchorText = static_cast<const Ombrel::SLayoutText&>(*anchorItem);
    anchor = anchorText.position;
    Ombrel::SLayoutText words = anchorText;
    words.source = Ombrel::kTextPlain;
    words.text = text;
    words.style.alpha = uint8_t(float(words.style.alpha) * std::clamp(value, 0.0f, 1.0f));
    words.style.font = words.style.font ? words.style.font : m_c.font;
    if (!words.style.font) return;
    ApplyTextStyle(&words.style);
    words.style.font->UpdateAspectScale();
  } else if (IsPlacedSprite(anchorItem) || anchorItem->kind == Ombrel::kLayoutDummy) {
    anchor = static_cast<const Ombrel::SLayoutBox&>(*anchorItem).position;
    // A placeholder anchor gives no style: dark wood letters on the cream bubble.
    m_c.font->SetSize(15.0f / std::max(m_c.font->GetLineHeight(), 1.0f));
    const uint8_t alpha = AlphaByte(value);
    const uint8_t colours[8] = {30, 20, 11, alpha, 30, 20, 11, alpha};
    m_c.font->SetColors(colours);
  }
  CFont* font = m_c.font;
  float textWidth = 0.0f;
  font->GetTextExtent(text, &textWidth, nullptr);

  const float aspect = GetAspect();
  const auto* middle = FindBox("root/TextBubbleMiddle");
  const auto* left = FindBox("root/TextBubbleLeft");
  const auto* right = FindBox("root/TextBubbleRight");
  const auto* centre = FindBox("root/TextBubbleCenter");
  if (middle) {
    const Vector2 middlePosition{middle->position.x + anchor.x, middle->position.y + anchor.y};
    // The straight middle holds the whole name with a little air; the round ends lie beyond it.
    const float middleWidth = aspect * (textWidth + 6.0f) / kLayoutUnit;
    DrawBoxSprite(*middle, ToVirtualScreen(middlePosition), {middleWidth * kLayoutUnit, middle->size.y * kLayoutUnit},
                  value, 0.0f);
    for (const Ombrel::SLayoutBox* end : {left, right}) {
      if (!end || !left) continue;
      const float shift = (middleWidth + left->size.x) / (2.0f * aspect) * (end == left ? -1.0f : 1.0f);
      Vector2 endPosition = ToVirtualScreen(middlePosition);
      endPosition.x += shift * kLayoutUnit;
      DrawBoxSprite(*end, endPosition, {end->size.x * kLayoutUnit, end->size.y * kLayoutUnit}, value, 0.0f);
    }
  }
  if (centre) {
    const Vector2 centrePosition{centre->position.x + anchor.x, centre->position.y + anchor.y};
    DrawBoxSprite(*centre, ToVirtualScreen(centrePosition),
                  {centre->size.x * kLayoutUnit, centre->size.y * kLayoutUnit}, value, 0.0f);
  }
  const Vector2 textPosition = ToVirtualScreen(anchor);
  font->SetAlignment(kAlignCentre, kAlignCentre);
  font->SetPosition(textPosition.x, textPosition.y);
  PlainBlending();
  font->Printf("%s", text);
  font->Flush();
}

void CPlayer::DrawHeldItem() {
  if (m_heldItem.empty()) return;
  auto entry = std::find_if(m_inventory.begin(), m_inventory.end(),
                            [&](const SInventoryEntry& e) { return e.key == m_heldItem; });
  const Ombrel::SLayoutBox* slot = SlotBox(1);
  if (entry == m_inventory.end() || !slot) return;
  // The longer side of the picture fills 0.7 of the slot, then grows by a fifth.
  const float box = std::max(slot->size.x, slot->size.y) * kLayoutUnit * 0.7f * 1.2f;
  const float width = entry->sprite.GetWidth();
  const float height = entry->sprite.GetHeight();
  const float longer = std::max(std::max(width, height), 0.0001f);
  DrawSprite(entry->sprite, m_mouse, {box * width / longer, box * height / longer}, 1.0f);
}

void CPlayer::DrawNoteLine() {
  if (m_noteTimer >= 1.0f || m_noteKey[0] == '\0') return;
  const float alpha = NoteAlpha(m_noteTimer);
  Ombrel::CSpriteData band;
  band.SetColour({0, 0, 0, uint8_t(alpha * 128.0f * 0.8f)});
  // The band spans the screen's width: 512 units of its height times the aspect.
  DrawSprite(band, kNotePosition, {GetAspect() * 512.0f, 28.16f}, 1.0f);
  if (!m_c.font) return;
  CFont& font = *m_c.font;
  font.SetWrapWidth(CFont::kNoWrap);
  font.SetAlignment(kAlignCentre, kAlignCentre);
  font.SetSize(15.0f / std::max(font.GetLineHeight(), 1.0f));
  font.UpdateAspectScale();
  const uint8_t colours[8] = {128, 128, 128, uint8_t(alpha * 128.0f), 128, 128, 128, uint8_t(alpha * 128.0f)};
  font.SetColors(colours);
  font.SetPosition(kNotePosition.x, kNotePosition.y);
  font.Printf("%s", Phrase(m_noteKey));
  font.Flush();
}

void CPlayer::DrawHiddenObjectList() {
  const bool listMode = m_mode == kModeHiddenObjects ||
                        ((m_mode == kModeDiary || m_mode == kModeMap) && m_previousMode == kModeHiddenObjects);
  if (!listMode || !m_hiddenObjectList || !m_c.font) return;
  CFont& font = *m_c.font;
  font.UpdateAspectScale();
  font.SetWrapWidth(CFont::kNoWrap);
  font.SetSize(9.0f / std::max(font.GetLineHeight(), 1.0f));
  font.SetAlignment(kAlignStart, kAlignCentre);
  PlainBlending();
  const float v = m_listVisibility * m_fade;
  const size_t lines = std::min(m_hiddenObjectList->size(), size_t(kListLines));
  for (size_t i = 0; i < lines; ++i) {
    const std::string& line = (*m_hiddenObjectList)[i];
    const Ombrel::SLayoutBox* box = FindBox(ListMarkerName(i));
    if (!box || line.empty()) continue;
    const int count = ListLineCount(line);
    const std::string words = ListLineText(line);
    const Vector2 start = ListLineStart(*box);
    const float left = start.x;
    float textAlpha = v;
    SListRecord& record = m_listRecords[i];
    float strike = 0.0f;
    if (count == 0) {
      if (record.active == 0.0f) record.active = 1.0f;
      strike = 2.0f * std::clamp(record.progress - 0.5f, 0.0f, 0.5f);
      textAlpha *= 1.0f - 0.5f * strike;
    }
    const uint8_t colours[8] = {73, 87, 90, AlphaByte(textAlpha), 73, 87, 90, AlphaByte(textAlpha)};
    font.SetColors(colours);
    font.SetPosition(left, start.y);
    if (count >= 2)
      font.Printf("%s x %d", words.c_str(), count);
    else
      font.Printf("%s", words.c_str());
    if (count != 0) continue;
    float textWidth = 0.0f;
    font.GetTextExtent(words.c_str(), &textWidth, nullptr);
    const float barWidth = std::max(strike * textWidth, 0.0001f * textWidth);
    Ombrel::CSpriteData bar(m_c.stroke);
    bar.SetColour({73, 87, 90, AlphaByte(v * 0.5f)});
    const Vector2 barCentre{left + barWidth * 0.5f, start.y + 1.0f};
    DrawSprite(bar, barCentre, {barWidth * GetAspect(), 5.0f}, 1.0f);
    if (record.emitter) record.emitter->SetPosition(ToParticleSpace({left + barWidth, start.y + 1.0f}));
  }
  font.Flush();
}

}  // namespace Vey
