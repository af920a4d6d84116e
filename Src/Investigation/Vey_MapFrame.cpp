#include "Src/Investigation/Vey_MapFrame.h"

#include "Framework/Scene/omSprite2DNode.h"
#include "Framework/omLayout2D.h"
#include "Quor/RenderStates.h"
#include "Quor/ReportError.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/World/Vey_SoundContainer.h"
#include "Src/Investigation/Vey_Cursor.h"

#include <algorithm>

namespace Vey {

namespace {

constexpr const char* kVeyMapFrameSource = "Vey_MapFrame";
constexpr float kHoverTime = 0.1f;  // seconds for the close button to grow or shrink fully
constexpr float kHoverGrowth = 0.25f;

bool IsCloseButton(const std::string& name) {
  return name == CMapFrame::kCloseActive || name == CMapFrame::kCloseInactive;
}

}  // namespace

CMapFrame::CMapFrame(Ombrel::CLayout2D* layout, CCursor* cursor, Ombrel::CXmlDictionary* dictionary,
                     CSoundContainer* sounds, bool bonus, SSaveData* saveData)
    : Ombrel::ISceneNode("MapFrame"),
      m_layout(layout),
      m_cursor(cursor),
      m_dictionary(dictionary),
      m_sounds(sounds),
      m_bonus(bonus),
      m_saveData(saveData),
      m_sprite(std::make_unique<Ombrel::CSprite2DNode>("Sprite", nullptr)) {
  m_sprite->SetAspectCorrection(true);
  m_visited[0] = 1;  // the story starts at its first place
  if (!m_layout) HM_REPORT(kVeyMapFrameSource, "The map has no layout, so it shows nothing");
  LoadProgress();
}

CMapFrame::~CMapFrame() = default;

SProfileData* CMapFrame::Profile() const { return m_saveData ? m_saveData->CurrentProfile() : nullptr; }

bool CMapFrame::IsVisited(int32_t location) const {
  return location >= 0 && location < kMaxLocations && m_visited[size_t(location)] != 0;
}

void CMapFrame::LoadProgress() {
  const SProfileData* profile = Profile();
  if (!profile) return;
  const uint32_t pairs = std::min(profile->flagCount, kFlagCapacity);
  for (uint32_t i = 0; m_layout && i < pairs; ++i) {
    const SFlagPair& pair = profile->flags[i];
    // The table was written for the layout of its time; an index this one lacks is left out.
    if (pair.id < 0 || uint32_t(pair.id) >= m_layout->GetCount()) {
      HM_REPORT(kVeyMapFrameSource, "The profile's map marker %d is not in the map layout (%u objects); it is skipped",
                pair.id, m_layout->GetCount());
      continue;
    }
    m_layout->GetItem(uint32_t(pair.id))->visible = pair.value != 0;
  }
  const size_t places = size_t(LocationCount());
  std::copy_n(profile->mapAreas, places, m_visited.begin());
  m_currentLocation = int32_t(profile->lastMapArea);
}

void CMapFrame::SetMarkerVisible(const std::string& marker, bool visible) {
  Ombrel::SLayoutItem* item = m_layout ? m_layout->FindItem(marker.c_str()) : nullptr;
  if (!item) {
    HM_REPORT(kVeyMapFrameSource, "The map layout has no marker \"%s\"; nothing is shown or hidden", marker.c_str());
    return;
  }
  item->visible = visible;
  if (SProfileData* profile = Profile()) SSaveData::SetFlag(*profile, item->index, visible ? 1 : 0);
}

void CMapFrame::VisitScene(int32_t location) {
  if (location < 0 || location >= LocationCount()) {
    HM_REPORT(kVeyMapFrameSource, "The map has no place %d (it has %d); the visit is not marked", location,
              LocationCount());
    return;
  }
  SProfileData* profile = Profile();
  m_currentLocation = location;
  if (profile) profile->lastMapArea = uint32_t(location);
  if (m_visited[size_t(location)]) return;
  m_visited[size_t(location)] = 1;
  if (profile) profile->mapAreas[location] = 1;
  const SMapLocation& place = MapLocations(m_bonus)[size_t(location)];
  SetMarkerVisible(place.marker, true);
  for (const char* marker : place.reveals) SetMarkerVisible(marker, true);
  RevealPaths();
}

// Every path whose two ends are reached; those shown before are shown again.
void CMapFrame::RevealPaths() {
  for (const SMapPath& path : MapPaths(m_bonus)) {
    if (!IsVisited(path.from) || !IsVisited(path.to)) continue;
    for (const char* dot : path.dots) SetMarkerVisible(dot, true);
  }
}

void CMapFrame::Open() {
  m_fade.Enter(kOverlayOpening);
  const std::vector<SMapLocation>& places = MapLocations(m_bonus);
  Ombrel::SLayoutBox* player = AsLayoutBox(m_layout ? m_layout->FindItem(kPlayerMarker) : nullptr);
  const bool known = m_currentLocation >= 0 && m_currentLocation < int32_t(places.size());
  const Ombrel::SLayoutBox* here =
      AsLayoutBox(m_layout && known ? m_layout->FindItem(places[size_t(m_currentLocation)].marker) : nullptr);
  if (player && here) player->position = here->position;
  if (m_sounds) m_sounds->PlaySoundByName("map", 1.0f);
}

void CMapFrame::ReadInput(const Vector2& mouse, bool pressed, bool released) {
  m_mouse = mouse;
  m_pressed = pressed;
  m_released = released;
}

bool CMapFrame::IsMouseOverClose() const {
  return IsPointOnBox(m_mouse, AsLayoutBox(m_layout ? m_layout->FindItem(kCloseInactive) : nullptr));
}

void CMapFrame::SetClosePressed(bool pressed) {
  Ombrel::SLayoutItem* inactive = m_layout ? m_layout->FindItem(kCloseInactive) : nullptr;
  Ombrel::SLayoutItem* active = m_layout ? m_layout->FindItem(kCloseActive) : nullptr;
  if (inactive) inactive->visible = pressed;
  if (active) active->visible = !pressed;
}

void CMapFrame::Update(float dt) {
  if (m_cursor) {
    m_cursor->SetExitDirection(CCursor::kHiddenObjectExit);  // upright: no exit arrow on the map
    if (m_pressed) m_cursor->SetHover(true);
    if (m_released) m_cursor->SetHover(false);
  }
  const float step = (IsMouseOverClose() ? dt : -dt) / kHoverTime;
  m_closeHover = std::clamp(m_closeHover + step, 0.0f, 1.0f);
  if (m_released) SetClosePressed(false);
  if (m_fade.state == kOverlayOpen) {
    if (m_pressed && IsMouseOverClose()) {
      if (m_sounds) m_sounds->PlaySoundByName("diary_close", 1.0f);
      m_fade.Enter(kOverlayClosing);
      SetClosePressed(true);
    }
  } else if (m_fade.Advance(dt) && m_fade.state == kOverlayClosed && m_cursor) {
    m_cursor->SetHover(false);
  }
}

void CMapFrame::Render() {
  if (m_fade.state == kOverlayClosed || !m_layout) return;
  BlendNormal();
  const float alpha = m_fade.Alpha();
  for (uint32_t i = 0; i < m_layout->GetCount(); ++i) {
    const Ombrel::SLayoutItem* item = m_layout->GetItem(i);
    if (!item || !item->visible) continue;
    const float scale = IsCloseButton(item->name) ? 1.0f + kHoverGrowth * m_closeHover : 1.0f;
    DrawLayoutItem(*m_sprite, *item, alpha, scale, m_dictionary);
  }
}

}  // namespace Vey
