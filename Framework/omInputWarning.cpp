#include "Framework/omInputWarning.h"

#include "Framework/omAssetModule.h"
#include "Framework/omSystemDrawing.h"
#include "Quor/CFont.h"
#include "Quor/RenderStates.h"

#include <cstdio>

namespace Ombrel {

namespace {

// Layout in the system 2-D space, in height units (s = 1).
constexpr float kBoxX = 2048.0f;
constexpr float kBoxY = 2204.0f;  // 2304 - box height
constexpr float kBoxWidth = 450.0f;
constexpr float kBoxHeight = 100.0f;
constexpr float kIconSize = 50.0f;
constexpr float kTextMargin = 20.0f;
constexpr float kTextOffsetX = 30.0f;
constexpr float kTextOffsetY = -5.0f;
constexpr float kExclamationOffsetX = -175.0f;
constexpr float kExclamationOffsetY = -5.0f;
constexpr float kMarkerY = 38.0f;
constexpr float kMarkerTextSize = 14.0f;
constexpr const char* kPlaceholderText = "Please check your controller.";

const char* const kIconNames[3] = {"SysMsg_CONT_BatteryLow", "SysMsg_CONT_AttachmentRequired",
                                   "SysMsg_CONT_ConnectionLost"};

float MarkerX(int32_t player) {
  return -kBoxWidth / 2 + kBoxWidth / 8 + static_cast<float>(player) * kBoxWidth / 4;
}

}  // namespace

void CInputWarning::LoadResources() {
  CResourceManager* resources = GetResourceManager();
  m_font = FindSystemFont(resources, "System");
  m_edge = FindSystemTexture(resources, "SysMsg_CONT_Edge");
  m_centre = FindSystemTexture(resources, "SysMsg_CONT_Center");
  for (int i = 0; i < 3; ++i) m_icons[i] = FindSystemTexture(resources, kIconNames[i]);
  m_exclamation = FindSystemTexture(resources, "SysMsg_ExclamationSign");
}

void CInputWarning::Reset() {
  m_state = kNone;
  for (uint8_t& flag : m_playerFlags) flag = 0;
}

bool CInputWarning::GetPlayerFlag(int32_t player) const {
  return player >= 0 && player < kPlayerCount && m_playerFlags[player] != 0;
}

void CInputWarning::SetPlayerFlag(int32_t player, bool concerned) {
  if (player >= 0 && player < kPlayerCount) m_playerFlags[player] = concerned ? 1 : 0;
}

void CInputWarning::Render() {
  if (m_state == kNone) return;
  SetSystemScreenStates();
  const float aspect = SystemAspect();
  DrawCappedStrip(m_centre, m_edge, kBoxX, kBoxY, kBoxWidth, kBoxHeight, kBoxHeight / 8);
  DrawFittedText(m_font, kPlaceholderText, kBoxX + kTextOffsetX / aspect, kBoxY + kTextOffsetY,
                 (kBoxWidth - kIconSize - 2 * kTextMargin) / aspect, kBoxHeight - 2 * kTextMargin,
                 20.0f, 1.0f);
  if (m_state >= kBatteryLow && m_state <= kConnectionLost) {  // a state the box has icons for
    for (int32_t player = 0; player < kPlayerCount; ++player) {
      const float x = kBoxX + MarkerX(player) / aspect, y = kBoxY + kMarkerY;
      const uint8_t alpha = m_playerFlags[player] ? 128 : 0;
      DrawQuad({m_icons[m_state], 0, false}, x - kIconSize / 2 / aspect, y - kIconSize / 2,
               x + kIconSize / 2 / aspect, y + kIconSize / 2, alpha);
      char marker[8];
      std::snprintf(marker, sizeof marker, "P%d", player + 1);
      DrawFittedText(m_font, marker, x, y, kIconSize / aspect, kIconSize, kMarkerTextSize, 1.0f);
    }
  }
  const float ex = kBoxX + kExclamationOffsetX / aspect, ey = kBoxY + kExclamationOffsetY;
  DrawQuad({m_exclamation, 0, false}, ex - kIconSize / 2 / aspect, ey - kIconSize / 2,
           ex + kIconSize / 2 / aspect, ey + kIconSize / 2);
  CullOn();  // back to the engine's winding: counter-clockwise, or clockwise when it is set
}

}  // namespace Ombrel
