#pragma once
// The map overlay: the places the player has reached, where the player stands now, and small
// markers for what is still to do at each place (points of interest, hidden-object scenes,
// puzzles, locked passages), joined by dotted paths between reached places. It is a view only:
// the player moves through the locations' exits, and the only thing on the map that takes a
// click is its close button. Its contents are the objects of the "Map" layout; the frame only
// shows or hides them (and moves the player marker), and keeps what it showed or hid in the
// current profile so that a reloaded game shows the same map.

#include "Framework/Scene/omSceneNode.h"
#include "Src/Location/Vey_SceneScreens.h"
#include "Src/Investigation/Vey_OverlayDrawing.h"
#include "Src/World/Vey_Screen.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Ombrel {
class CLayout2D;
class CSprite2DNode;
class CXmlDictionary;
struct SLayoutItem;
}  // namespace Ombrel

namespace Vey {

class CCursor;
class CSoundContainer;
struct SSaveData;
struct SProfileData;

// A place of the map: its own marker and the markers its first visit shows, in order.
struct SMapLocation {
  const char* marker;
  std::vector<const char*> reveals;
};

// A dotted path between two places (location indices), shown once both are visited.
struct SMapPath {
  int32_t from;
  int32_t to;
  std::vector<const char*> dots;
};

// The main story's 33 places and their paths, and the bonus chapter's 5.
const std::vector<SMapLocation>& MapLocations(bool bonus);
const std::vector<SMapPath>& MapPaths(bool bonus);

class CMapFrame : public Ombrel::ISceneNode, public IMapScreen {
 public:
  static constexpr int32_t kMaxLocations = 33;
  static constexpr const char* kPlayerMarker = "root/PlayerLocation";
  static constexpr const char* kCloseActive = "root/CloseButtonActive";
  static constexpr const char* kCloseInactive = "root/CloseButtonInactive";

  // None of the pointers is owned; the save body's current profile keeps the marker table, the
  // visited places and the current place. Any of them may be null: what would use it is left
  // out. Replays the profile's map over the layout.
  CMapFrame(Ombrel::CLayout2D* layout, CCursor* cursor, Ombrel::CXmlDictionary* dictionary, CSoundContainer* sounds,
            bool bonus, SSaveData* saveData);
  ~CMapFrame() override;

  // The profile's marker switches over the layout, in table order, and its visited places.
  void LoadProgress();

  // ---- IMapScreen ----
  void VisitScene(int32_t location) override;
  void SetMarkerVisible(const std::string& marker, bool visible) override;
  void Open() override;
  void ReadInput(const Vector2& mouse, bool pressed, bool released) override;
  void Update(float dt) override;
  int32_t GetState() const override { return m_fade.state; }

  // ---- scene node ----
  void Reset() override {}
  void Render() override;

  bool IsMouseOverClose() const;
  void SetClosePressed(bool pressed);

  bool IsVisited(int32_t location) const;
  int32_t GetCurrentLocation() const { return m_currentLocation; }
  float GetFadeTime() const { return m_fade.t; }
  float GetCloseHover() const { return m_closeHover; }

 private:
  int32_t LocationCount() const { return int32_t(MapLocations(m_bonus).size()); }
  SProfileData* Profile() const;
  void RevealPaths();

  Ombrel::CLayout2D* m_layout;
  CCursor* m_cursor;
  Ombrel::CXmlDictionary* m_dictionary;
  CSoundContainer* m_sounds;
  bool m_bonus;
  SSaveData* m_saveData;
  std::unique_ptr<Ombrel::CSprite2DNode> m_sprite;  // draws every picture of the layout

  Vector2 m_mouse = kScreenCentre;
  bool m_pressed = false;
  bool m_released = false;
  SOverlayProgress m_fade;
  float m_closeHover = 0.0f;
  std::array<uint8_t, kMaxLocations> m_visited{};
  int32_t m_currentLocation = 0;
};

}  // namespace Vey
