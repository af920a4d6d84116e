// The map overlay: which markers the visits show, how the profile's marker table and visited
// places bring the same map back, the player marker, the close button and the fades, and the
// heads-up display's compass opening it.

#include "Src/Investigation/Vey_MapFrame.h"

#include <gtest/gtest.h>

#include "tests/Src/Investigation/HudTestKit.h"

#include <set>
#include <string>
#include <vector>

using namespace Vey;
using hudtest::AddBox;

namespace {

constexpr Vector2 kClosePosition{1.5f, 0.85f};

// A map layout with every node the story's tables name, hidden but the first place's marker,
// as the built map starts; the player marker, the close button's two looks and a background.
void BuildMapLayout(Ombrel::CLayout2D& layout, bool bonus) {
  AddBox(layout, "root/Background", {0, 0}, {3.5f, 2.0f});
  std::set<std::string> names;
  auto add = [&](const char* name, Vector2 position) {
    if (names.insert(name).second) AddBox(layout, name, position, {0.1f, 0.1f})->visible = false;
  };
  float x = -1.5f;
  for (const SMapLocation& place : MapLocations(bonus)) {
    add(place.marker, {x, 0.0f});
    for (const char* marker : place.reveals) add(marker, {x, 0.2f});
    x += 0.09f;
  }
  for (const SMapPath& path : MapPaths(bonus))
    for (const char* dot : path.dots) add(dot, {0.0f, -0.5f});
  layout.FindItem(MapLocations(bonus)[0].marker)->visible = true;
  AddBox(layout, CMapFrame::kPlayerMarker, {0, 0}, {0.1f, 0.1f});
  AddBox(layout, CMapFrame::kCloseActive, kClosePosition, {0.2f, 0.2f});
  AddBox(layout, CMapFrame::kCloseInactive, kClosePosition, {0.2f, 0.2f})->visible = false;
}

class MapFrameTest : public hudtest::CHudFixture {
 protected:
  void SetUp() override {
    CHudFixture::SetUp();
    SSaveData::ResetProfileGame(Profile());  // the first place counts as visited
    BuildMapLayout(m_map, false);
  }

  CMapFrame& Map() {
    if (!m_frame) m_frame = std::make_unique<CMapFrame>(&m_map, nullptr, nullptr, nullptr, false, m_save.get());
    return *m_frame;
  }
  bool Shown(const char* name) const { return m_map.FindItem(name)->visible; }
  std::vector<std::string> ShownUnder(const std::string& prefix) const {
    std::vector<std::string> shown;
    for (uint32_t i = 0; i < m_map.GetCount(); ++i) {
      const Ombrel::SLayoutItem* item = m_map.GetItem(i);
      if (item->visible && item->name.rfind(prefix, 0) == 0) shown.push_back(item->name);
    }
    return shown;
  }
  // One frame of the map with the mouse at a layout point.
  void MapFrame(Vector2 layoutPoint, bool pressed, bool released, float dt) {
    Map().ReadInput(ToVirtualScreen(layoutPoint), pressed, released);
    Map().Update(dt);
  }

  Ombrel::CLayout2D m_map;
  std::unique_ptr<CMapFrame> m_frame;
};

TEST_F(MapFrameTest, AFirstVisitShowsThePlaceItsMarkersAndEveryPathBetweenVisitedPlaces) {
  Map().VisitScene(1);
  Map().VisitScene(2);
  Map().VisitScene(3);

  EXPECT_EQ(ShownUnder("root/Scene05/"),
            (std::vector<std::string>{"root/Scene05/5", "root/Scene05/PointOfInterest5", "root/Scene05/PointOfInterest4",
                                      "root/Scene05/PointOfInterest3", "root/Scene05/HOS0"}));
  EXPECT_EQ(ShownUnder("root/WayPoints/"),
            (std::vector<std::string>{"root/WayPoints/1-2/WayPoint", "root/WayPoints/1-2/WayPoint0",
                                      "root/WayPoints/1-2/WayPoint1", "root/WayPoints/1-4/WayPoint9",
                                      "root/WayPoints/1-4/WayPoint10", "root/WayPoints/1-4/WayPoint11",
                                      "root/WayPoints/2-4/WayPoint2", "root/WayPoints/2-4/WayPoint3",
                                      "root/WayPoints/4-5/WayPoint4", "root/WayPoints/4-5/WayPoint5",
                                      "root/WayPoints/4-5/WayPoint6"}));
  EXPECT_TRUE(ShownUnder("root/Scene07/").empty()) << "not reached yet";
  EXPECT_EQ(Profile().mapAreas[3], 1);
  EXPECT_EQ(Profile().lastMapArea, 3u);

  // Each switch is kept in the profile by its object's place in the layout.
  const uint32_t pairs = Profile().flagCount;
  ASSERT_GT(pairs, 0u);
  EXPECT_EQ(Profile().flags[pairs - 1].id, m_map.FindItem("root/WayPoints/4-5/WayPoint6")->index);
  EXPECT_EQ(Profile().flags[pairs - 1].value, 1);

  // A second entry moves the player, nothing else.
  m_map.FindItem("root/Scene05/HOS0")->visible = false;  // done meanwhile
  Map().VisitScene(0);
  Map().VisitScene(3);
  EXPECT_EQ(Profile().flagCount, pairs);
  EXPECT_FALSE(Shown("root/Scene05/HOS0"));
  EXPECT_EQ(Map().GetCurrentLocation(), 3);
}

TEST_F(MapFrameTest, AReloadedProfileShowsTheSameMap) {
  Map().VisitScene(1);
  Map().SetMarkerVisible("root/Scene02/HOS", false);  // the search is done
  Map().SetMarkerVisible("root/Scene01/1", false);
  m_frame.reset();

  Ombrel::CLayout2D fresh;
  BuildMapLayout(fresh, false);
  CMapFrame reloaded(&fresh, nullptr, nullptr, nullptr, false, m_save.get());
  EXPECT_FALSE(fresh.FindItem("root/Scene02/HOS")->visible);
  EXPECT_FALSE(fresh.FindItem("root/Scene01/1")->visible) << "shown by the file, hidden by the story";
  EXPECT_TRUE(fresh.FindItem("root/Scene02/PointOfInterest1")->visible);
  EXPECT_TRUE(fresh.FindItem("root/WayPoints/1-2/WayPoint0")->visible);
  EXPECT_TRUE(reloaded.IsVisited(1));
  EXPECT_FALSE(reloaded.IsVisited(2));
  EXPECT_EQ(reloaded.GetCurrentLocation(), 1);
}

TEST_F(MapFrameTest, AMarkerTableOfAnotherLayoutIsTakenOnlyWithinThisOne) {
  const uint32_t count = m_map.GetCount();
  Profile().flags[0] = {int32_t(count), 1, {}};  // one past the end
  Profile().flags[1] = {-7, 1, {}};
  Profile().flags[2] = {m_map.FindItem("root/Scene02/2")->index, 1, {}};
  Profile().flagCount = 3;
  Map();
  EXPECT_TRUE(Shown("root/Scene02/2"));
  EXPECT_TRUE(hmtest::Reported("map marker"));
  EXPECT_EQ(m_map.GetCount(), count);
}

TEST_F(MapFrameTest, PlacesTheMapDoesNotHaveAreRefused) {
  struct SCase {
    bool bonus;
    int32_t location;
  };
  for (const SCase& c : {SCase{false, -1}, SCase{false, 33}, SCase{true, 5}}) {
    SCOPED_TRACE(c.location);
    hmtest::Reports().clear();
    Profile().lastMapArea = 0;
    CMapFrame map(&m_map, nullptr, nullptr, nullptr, c.bonus, m_save.get());
    map.VisitScene(c.location);
    EXPECT_EQ(map.GetCurrentLocation(), 0);
    EXPECT_EQ(Profile().lastMapArea, 0u);
    EXPECT_TRUE(hmtest::Reported("no place"));
  }
  hmtest::Reports().clear();
  Map().SetMarkerVisible("root/Scene99/Nowhere", true);
  EXPECT_EQ(Profile().flagCount, 0u);
  EXPECT_TRUE(hmtest::Reported("root/Scene99/Nowhere"));
}

TEST_F(MapFrameTest, OpeningPutsThePlayerOnTheCurrentPlace) {
  Map().VisitScene(4);
  Map().Open();
  EXPECT_EQ(Map().GetState(), kOverlayOpening);
  const auto* player = static_cast<Ombrel::SLayoutBox*>(m_map.FindItem(CMapFrame::kPlayerMarker));
  const auto* here = static_cast<Ombrel::SLayoutBox*>(m_map.FindItem("root/Scene07/7"));
  EXPECT_EQ(player->position.x, here->position.x);
  EXPECT_EQ(player->position.y, here->position.y);

  // The bonus chapter's own map: its fourth place is "root/Scene04/4".
  Ombrel::CLayout2D bonusMap;
  BuildMapLayout(bonusMap, true);
  CMapFrame bonus(&bonusMap, nullptr, nullptr, nullptr, true, m_save.get());
  bonus.VisitScene(3);
  bonus.Open();
  EXPECT_EQ(static_cast<Ombrel::SLayoutBox*>(bonusMap.FindItem(CMapFrame::kPlayerMarker))->position.x,
            static_cast<Ombrel::SLayoutBox*>(bonusMap.FindItem("root/Scene04/4"))->position.x);
}

// A path graph of the layout under a name the map places or hit-tests is no picture: it is left
// as it is, and it takes no click.
TEST_F(MapFrameTest, APathGraphUnderAMarkersNameIsLeftAlone) {
  Ombrel::CLayout2D map;
  std::vector<Ombrel::SLayoutGraph*> graphs;
  for (const char* name : {CMapFrame::kPlayerMarker, CMapFrame::kCloseInactive}) {
    auto graph = std::make_unique<Ombrel::SLayoutGraph>();
    graph->name = name;
    graph->visible = true;
    graphs.push_back(graph.get());
    map.AddItem(std::move(graph));
  }
  AddBox(map, "root/Scene07/7", {0.5f, 0.5f}, {0.1f, 0.1f});
  CMapFrame frame(&map, nullptr, nullptr, nullptr, false, m_save.get());
  frame.VisitScene(4);
  frame.Open();
  for (const Ombrel::SLayoutGraph* graph : graphs) EXPECT_EQ(graph->graph, nullptr) << graph->name;
  frame.ReadInput(ToVirtualScreen({0.0f, 0.0f}), true, false);
  EXPECT_FALSE(frame.IsMouseOverClose());
}

TEST_F(MapFrameTest, OnlyTheCloseButtonOfTheOpenMapClosesIt) {
  Map().Open();
  MapFrame(kClosePosition, true, false, 0.25f);
  EXPECT_EQ(Map().GetState(), kOverlayOpening) << "a press while opening is ignored";
  MapFrame(kClosePosition, false, true, 0.25f);
  EXPECT_EQ(Map().GetState(), kOverlayOpen);

  MapFrame({0.0f, 0.0f}, true, false, 0.02f);  // a place marker takes no click
  EXPECT_EQ(Map().GetState(), kOverlayOpen);
  MapFrame(kClosePosition, true, false, 0.02f);
  EXPECT_EQ(Map().GetState(), kOverlayClosing);
  EXPECT_TRUE(Shown(CMapFrame::kCloseInactive));
  EXPECT_FALSE(Shown(CMapFrame::kCloseActive));
  MapFrame(kClosePosition, false, true, 0.3f);
  EXPECT_FALSE(Shown(CMapFrame::kCloseInactive)) << "the release gives the button its look back";
  EXPECT_EQ(Map().GetState(), kOverlayClosing);
  MapFrame(kClosePosition, false, false, 0.2f);
  EXPECT_EQ(Map().GetState(), kOverlayClosed);
}

TEST_F(MapFrameTest, TheCloseButtonGrowsUnderTheMouseWithinATenthOfASecond) {
  Map().Open();
  MapFrame(kClosePosition, false, false, 0.05f);
  EXPECT_NEAR(Map().GetCloseHover(), 0.5f, 1e-5f);
  MapFrame(kClosePosition, false, false, 0.06f);
  EXPECT_EQ(Map().GetCloseHover(), 1.0f);
  MapFrame({0.0f, 0.0f}, false, false, 0.05f);
  EXPECT_NEAR(Map().GetCloseHover(), 0.5f, 1e-5f);
}

TEST_F(MapFrameTest, TheCompassOpensTheMapAndTheDisplayFeedsItTheMouse) {
  m_collaborators.mapFrame = &Map();
  Click({1.65f, -0.6f});  // the compass
  ASSERT_EQ(Hud().GetMode(), CPlayer::kModeMap);
  EXPECT_EQ(Map().GetState(), kOverlayOpening);
  for (int i = 0; i < 30; ++i) Map().Update(0.02f);
  ASSERT_EQ(Map().GetState(), kOverlayOpen);

  Hud().SetInput(ToVirtualScreen(kClosePosition), true);
  Map().Update(0.02f);
  EXPECT_EQ(Map().GetState(), kOverlayClosing);
}

}  // namespace
