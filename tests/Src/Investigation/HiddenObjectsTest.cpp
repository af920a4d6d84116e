// The hidden-object scene over a small scene of masked pictures: objects found only by clicks
// on their opaque pixels, the word list counting down by groups, the broken cursor, the hint,
// leaving by the exit, the reward with the exits shut behind it, and a found object vanishing
// from the drawn frame.

#include "Src/Investigation/Vey_HiddenObjects.h"

#include <gtest/gtest.h>

#include "Framework/Resources/ResourceTypes/omResourceTexture.h"
#include "Framework/omInput.h"
#include "Quor/CViewCamera.h"
#include "Src/World/Vey_EmitterGroup.h"
#include "Src/World/Vey_Map.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/World/Vey_Screen.h"
#include "Src/Investigation/Vey_Cursor.h"
#include "Src/Investigation/Vey_Player.h"
#include "tests/Framework/Resources/ResourceTestKit.h"
#include "tests/Src/World/EmitterTestKit.h"
#include "tests/Src/Location/SceneTestKit.h"
#include "tests/Src/Investigation/CursorTestKit.h"
#include "tests/Src/Investigation/HiddenObjectsTestKit.h"
#include "tests/support/engine/CameraInMode.h"
#include "tests/support/engine/ReportScope.h"

#include <cmath>
#include <memory>
#include <string>
#include <vector>

using namespace Vey;
using scenetest::Log;
using scenetest::Logged;

namespace {

constexpr int kSide = 16;
constexpr int32_t kScene = 33;
constexpr const char* kLayout = "Scene34";
const rendertest::SRgba kObjectColour{250, 40, 40, 255};
const rendertest::SRgba kBackColour{20, 40, 200, 255};

struct SPlaced {
  const char* node;
  Vector2 position;  // layout units
};

// Scene 33 of a main story: three keys that form one group, a cup, a bell to carry onto a box,
// the reward, and the exit back; the first location leads in. Every object shows the same
// 16 x 16 picture, opaque only in its top-left quarter, drawn over a plain background. The
// camera's aspect is 2, so a layout unit is 128 virtual units wide and 256 high.
class HiddenObjectsTest : public restest::CResourceFixture {
 protected:
  static constexpr SPlaced kObjects[] = {{"root/Key1", {-1.2f, 0.5f}}, {"root/Key2", {-0.6f, 0.5f}},
                                         {"root/Key3", {0.0f, 0.5f}},  {"Cup", {0.6f, 0.5f}},
                                         {"Bell", {-1.2f, -0.3f}},     {"BoxClosed", {-0.6f, -0.3f}},
                                         {"BoxOpen", {-0.6f, -0.3f}},  {"Amulet", {0.6f, -0.3f}}};

  void SetUp() override {
    CResourceFixture::SetUp();
    m_resources->RegisterLoader(new Ombrel::CResTextureLoader, "Texture");
    std::vector<uint8_t> mask;  // rows from the bottom
    for (int y = kSide - 1; y >= 0; --y)
      for (int x = 0; x < kSide; ++x) mask.push_back(x < kSide / 2 && y < kSide / 2 ? 255 : 0);
    WriteContent("Textures/Obj.mpt", rendertest::MptFile(kSide, kSide, rendertest::Solid(kSide, kSide, kObjectColour)));
    WriteContent("Textures/Obj.raw", mask);
    WriteContent("Textures/Back.mpt", rendertest::MptFile(4, 4, rendertest::Solid(4, 4, kBackColour)));
    LoadList(R"(<L><Texture Name="obj" FileName="Obj"><Mask File="Obj.raw" Threshold="128"/></Texture>)"
             R"(<Texture Name="back" FileName="Back"/></L>)");
    BuildLayout();
    LoadWorld();
    m_save = std::make_unique<SSaveData>();
    m_save->current = 0;
    m_save->CurrentProfile()->hiddenObject = kNoLocation;
    m_save->CurrentProfile()->gameMode = 1;
    m_cursor =
        std::make_unique<CCursor>(CCursor::Materials{}, m_pointer, std::make_unique<cursortest::CFakeSystemCursor>());
    m_hidden = std::make_unique<CHiddenObjects>(Parts());
  }
  void TearDown() override {
    m_hidden.reset();
    m_cursor.reset();
    CResourceFixture::TearDown();
  }

  void BuildLayout() {
    auto& back = m_layouts.AddSprite(kLayout, "Back", {0.0f, 0.0f});
    back.size = {4.0f, 2.0f};
    back.textureResource = m_resources->GetTexture("back");
    back.texture = back.textureResource->GetTexture();
    for (const SPlaced& placed : kObjects) {
      auto& sprite = m_layouts.AddSprite(kLayout, placed.node, placed.position, std::string(placed.node) != "BoxOpen");
      sprite.size = {0.4f, 0.4f};
      sprite.textureResource = m_resources->GetTexture("obj");
      sprite.texture = sprite.textureResource->GetTexture();
    }
    auto& exit = m_layouts.AddSprite(kLayout, CHiddenObjects::kExitNode, {1.4f, -0.7f});
    exit.size = {0.4f, 0.4f};
  }

  void LoadWorld() {
    using scenetest::Object;
    using scenetest::State;
    scenetest::SSceneText first;
    first.exits = R"(<Exit Scene="HO01_1_34" Sprite="Shed" Open="True" Sound="" Direction="HO"><Conditions/></Exit>)";
    scenetest::SSceneText hidden;
    hidden.name = "HO01_1_34";
    const std::string openBox = R"(<Action Object="Bell" Note="" ReqState="Closed" ResState="Open" Sound="creak" )"
                                R"(Animation=""><Conditions/><Effects/><MapChanges/></Action>)";
    hidden.objects = Object("Key1", "", "root/Key1", "Pickable") + Object("Key2", "", "root/Key2", "Pickable") +
                     Object("Key3", "", "root/Key3", "Pickable") +
                     Object("Cup", "", "Cup", "Pickable", "", "", "clink") +
                     Object("Bell", "", "Bell", "Draggable", "", "", "ding") +
                     Object("Box", "Closed", "BoxClosed", "",
                            State("Closed", "BoxClosed", true) + State("Open", "BoxOpen", false), openBox) +
                     Object("Amulet", "", "Amulet", "Reward");
    std::vector<std::string> scenes{first.Text()};
    for (unsigned i = 2; i <= 33; ++i) scenes.push_back(worldtest::EmptyScene(i));
    scenes.push_back(hidden.Text());
    ASSERT_EQ(m_world.Load(scenetest::World(scenes)), 0);
  }

  SHiddenObjectsParts Parts() {
    SHiddenObjectsParts parts;
    parts.world = &m_world;
    parts.layouts = &m_layouts;
    parts.save = m_save.get();
    parts.hud = &m_hud;
    parts.list = &m_hud;
    parts.cursor = m_cursor.get();
    parts.itemFrame = &m_frame;
    parts.playSound = [this](const std::string& name) { m_log.push_back("sound." + name); };
    parts.random = std::make_unique<scenetest::CFixedRandom>(1);
    return parts;
  }

  const Ombrel::SLayoutBox& Node(const std::string& name) const {
    return static_cast<const Ombrel::SLayoutBox&>(*m_layouts.Node(kLayout, name));
  }
  // A point of the node's top-left quarter (opaque) or of its bottom-right one (clear).
  Vector2 OnPixels(const std::string& name) const {
    const Ombrel::SLayoutBox& box = Node(name);
    return ToVirtualScreen({box.position.x - box.size.x / 4, box.position.y + box.size.y / 4});
  }
  Vector2 Beside(const std::string& name) const {
    const Ombrel::SLayoutBox& box = Node(name);
    return ToVirtualScreen({box.position.x + box.size.x / 4, box.position.y - box.size.y / 4});
  }

  void Frame(const Vector2& mouse, bool down, float dt) {
    m_hidden->ReadInput(mouse, down);
    m_hidden->Update(dt);
  }
  // Press and release, each a frame of dt.
  void Click(const Vector2& point, float dt = 0.3f) {
    Frame(point, true, dt);
    Frame(point, false, dt);
  }
  void Wait(float seconds, float dt = 0.1f) {
    for (float t = 0.0f; t < seconds - 1e-4f; t += dt) Frame(m_idle, false, dt);
  }
  void OpenAndPlay() {
    m_hidden->Open(kScene);
    Frame(m_idle, false, 0.5f);
    ASSERT_EQ(m_hidden->GetState(), CHiddenObjects::kPlaying);
  }
  bool Found(const std::string& object) {
    for (const SSceneObject& o : m_world.Scene(kScene).objects)
      if (o.name == object) return o.picked;
    return false;
  }
  void FindAll() {
    for (const char* node : {"root/Key1", "root/Key2", "root/Key3", "Cup"}) Click(OnPixels(node));
  }

  hmtest::CCameraInMode m_camera{kAspectCustom, 2.0f};
  Log m_log;
  CMap m_world{false};
  scenetest::CFakeLayouts m_layouts{&m_log};
  hotest::CFakeListHud m_hud{&m_log};
  scenetest::CFakeItemFrame m_frame{&m_log};
  Ombrel::CCursor m_pointer{0};
  std::unique_ptr<SSaveData> m_save;
  std::unique_ptr<CCursor> m_cursor;
  std::unique_ptr<CHiddenObjects> m_hidden;
  Vector2 m_idle{1800.0f, 2290.0f};  // bottom-left corner, over nothing
};

TEST_F(HiddenObjectsTest, EveryObjectIsFoundByAClickOnItsPixelsAndNoneByAClickBesideThem) {
  OpenAndPlay();
  int missed = 0;
  for (const char* node : {"root/Key1", "root/Key2", "root/Key3", "Cup"}) {
    SCOPED_TRACE(node);
    const std::string object = node[0] == 'r' ? std::string(node).substr(5) : node;
    Click(Beside(node));
    EXPECT_EQ(std::count(m_log.begin(), m_log.end(), "sound.missed"), ++missed);
    EXPECT_FALSE(Found(object));
    EXPECT_TRUE(Node(node).visible);

    Click(OnPixels(node));
    EXPECT_TRUE(Found(object));
    EXPECT_FALSE(Node(node).visible);
    EXPECT_EQ(std::count(m_log.begin(), m_log.end(), "sound.missed"), missed);
    // The world keeps it hidden and removed for the next visit.
    const auto& states = m_world.Scene(kScene).live.objectStates;
    const auto entry = std::find_if(states.begin(), states.end(),
                                    [&](const SObjectStateEntry& e) { return e.id == uint32_t(Node(node).index); });
    ASSERT_NE(entry, states.end());
    EXPECT_EQ(entry->visible, 0);
    EXPECT_EQ(entry->removed, 1);
    // It flies from where it lay to its line of the list.
    const CHiddenObjects::SFlyingItem& flight = m_hidden->GetFlyingItems().back();
    EXPECT_FLOAT_EQ(flight.start.x, ToVirtualScreen(Node(node).position).x);
    EXPECT_FLOAT_EQ(flight.target.x, hotest::CFakeListHud::kListLine.x);
  }
  EXPECT_EQ(std::count(m_log.begin(), m_log.end(), "sound.item_found"), 4);
  EXPECT_TRUE(Logged(m_log, "sound.clink"));  // the cup's own sound
  EXPECT_TRUE(m_hidden->IsCompleted());
}

// Names that differ only in a last digit share a line, which counts down to 0; any other
// difference in the last character keeps them apart.
TEST_F(HiddenObjectsTest, ListLinesGroupNamesDifferingInALastDigit) {
  const auto phrase = [](const std::string& key) { return "<" + key + ">"; };
  const struct {
    std::vector<std::string> listed, remaining, lines;
  } kCases[] = {
      {{"Key1", "", "Key2", "Cup", "Key3"}, {"Key1", "", "Key2", "Cup", "Key3"}, {"<Key>3", "<Cup>1"}},
      {{"Key1", "Key2", "Key3"}, {"", "Key2", ""}, {"<Key>1"}},
      {{"Key1", "Key2"}, {"", ""}, {"<Key>0"}},
      {{"Cup", "Cuz"}, {"Cup", "Cuz"}, {"<Cup>1", "<Cuz>1"}},
      {{}, {}, {}},
  };
  for (const auto& c : kCases) EXPECT_EQ(CHiddenObjects::BuildListLines(c.listed, c.remaining, phrase), c.lines);

  // Through the scene: the dictionary-less phrase is the key itself; the list starts afresh on
  // opening only, so that a line reaching 0 afterwards is struck out.
  m_hidden->Open(kScene);
  EXPECT_EQ(m_hud.lines, (std::vector<std::string>{"root/Key3", "Cup1"}));
  EXPECT_EQ(m_hud.resets, 1);
  Frame(m_idle, false, 0.5f);
  const std::pair<const char*, const char*> kFinds[] = {
      {"root/Key1", "root/Key2"}, {"root/Key2", "root/Key1"}, {"root/Key3", "root/Key0"}};
  for (const auto& [node, line] : kFinds) {
    Click(OnPixels(node));
    EXPECT_EQ(m_hud.lines.front(), line);
  }
  EXPECT_EQ(m_hud.resets, 1);
}

TEST_F(HiddenObjectsTest, OpeningCrossfadesTheBarIntoTheListAndRecordsTheScene) {
  m_hidden->Open(5);  // a location, not a hidden-object scene
  EXPECT_FALSE(m_hidden->IsOpen());

  m_hidden->Open(kScene);
  EXPECT_EQ(m_save->CurrentProfile()->hiddenObject, uint32_t(kScene));
  EXPECT_EQ(m_hud.mode, CPlayer::kModeHiddenObjects);
  Frame(m_idle, false, 0.125f);  // a quarter of the way
  EXPECT_FLOAT_EQ(m_hud.bar, 0.5f);
  EXPECT_FLOAT_EQ(m_hud.list, 0.0f);
  Frame(m_idle, false, 0.25f);
  EXPECT_FLOAT_EQ(m_hud.bar, 0.0f);
  EXPECT_FLOAT_EQ(m_hud.list, 0.5f);
  Frame(m_idle, false, 0.125f);
  EXPECT_EQ(m_hidden->GetState(), CHiddenObjects::kPlaying);
  EXPECT_FLOAT_EQ(m_hud.list, 1.0f);
}

// Two quick clicks after one that started the count break the cursor: the third is neither a
// find nor a miss, and every click in the next three seconds is ignored.
TEST_F(HiddenObjectsTest, TheThirdQuickClickBreaksTheCursorForThreeSeconds) {
  OpenAndPlay();
  Click(m_idle, 0.05f);
  Click(m_idle, 0.05f);
  EXPECT_EQ(std::count(m_log.begin(), m_log.end(), "sound.missed"), 2);
  Click(OnPixels("Cup"), 0.05f);
  EXPECT_FALSE(Found("Cup"));
  EXPECT_EQ(std::count(m_log.begin(), m_log.end(), "sound.missed"), 2);
  EXPECT_TRUE(Logged(m_log, "sound.cursorshatter"));
  EXPECT_TRUE(m_cursor->IsBroken());

  Wait(2.5f);
  Click(OnPixels("Cup"));  // at 2.8 s
  EXPECT_FALSE(Found("Cup"));
  Wait(0.4f);
  EXPECT_FALSE(m_cursor->IsBroken());
  Click(OnPixels("Cup"));
  EXPECT_TRUE(Found("Cup"));

  // Clicks half a second apart never break it; nor does a pause menu between quick clicks.
  for (int i = 0; i < 4; ++i) Click(m_idle, 0.25f);
  Click(m_idle, 0.05f);
  m_hidden->SetResumed();
  Click(m_idle, 0.05f);
  Click(m_idle, 0.05f);
  EXPECT_EQ(std::count(m_log.begin(), m_log.end(), "sound.cursorshatter"), 1);
}

TEST_F(HiddenObjectsTest, AHintCostsTheFullChargeAndPointsAtARemainingObject) {
  OpenAndPlay();
  m_hud.overHint = true;
  m_hud.charge = 0.99f;
  Click(m_idle);
  EXPECT_FALSE(Logged(m_log, "sound.hint"));
  EXPECT_FLOAT_EQ(m_hud.charge, 0.99f);

  m_hud.overHint = false;
  for (const char* node : {"root/Key1", "root/Key2", "Cup"}) Click(OnPixels(node));
  m_hud.overHint = true;
  m_hud.charge = 1.0f;
  Click(m_idle);
  EXPECT_TRUE(Logged(m_log, "sound.hint"));
  EXPECT_FLOAT_EQ(m_hud.charge, 0.0f);
  const Vector2& key = Node("root/Key3").position;
  EXPECT_FLOAT_EQ(m_hidden->GetHintTarget().x, key.x);
  EXPECT_FLOAT_EQ(m_hidden->GetHintTarget().y, -key.y);
  EXPECT_FALSE(Found("Key3"));  // a click on the gauge finds nothing
}

TEST_F(HiddenObjectsTest, AClickOverTheExitLeavesWithoutAMissAndKeepsTheProgress) {
  OpenAndPlay();
  Click(OnPixels("Cup"));
  Click(ToVirtualScreen(Node(CHiddenObjects::kExitNode).position));
  EXPECT_FALSE(Logged(m_log, "sound.missed"));
  EXPECT_EQ(m_hidden->GetState(), CHiddenObjects::kClosing);
  Wait(0.6f);
  EXPECT_FALSE(m_hidden->IsOpen());
  EXPECT_EQ(m_save->CurrentProfile()->hiddenObject, kNoLocation);
  EXPECT_EQ(m_hud.mode, CPlayer::kModeLocation);
  EXPECT_FALSE(Logged(m_log, "frame.Show Amulet"));
  EXPECT_TRUE(m_world.Scene(0).exits.front().open);

  m_hidden->Open(kScene);
  EXPECT_EQ(m_hud.lines, (std::vector<std::string>{"root/Key3", "Cup0"}));
}

// The last find completes the scene; a second after the last flight lands it closes and hands
// out its reward, and the way in is shut for good.
TEST_F(HiddenObjectsTest, CompletionHandsOutTheRewardAndShutsTheExitsIntoTheScene) {
  OpenAndPlay();
  FindAll();
  ASSERT_TRUE(m_hidden->IsCompleted());
  Click(OnPixels("Bell"));  // after completion clicks do nothing
  EXPECT_TRUE(m_hidden->GetHeldItem().empty());
  Wait(0.5f);  // the last flight, 0.9 s on its way, lands in the first frame
  EXPECT_EQ(m_hidden->GetState(), CHiddenObjects::kPlaying);
  Wait(0.6f);
  EXPECT_EQ(m_hidden->GetState(), CHiddenObjects::kClosing);
  EXPECT_TRUE(Logged(m_log, "sound.puzzlesolved"));
  const SExit& exit = m_world.Scene(0).exits.front();
  EXPECT_FALSE(exit.open);
  EXPECT_TRUE(exit.second);
  ASSERT_EQ(exit.conditions.size(), 1u);
  EXPECT_EQ(exit.conditions[0].object, "Amulet");
  EXPECT_EQ(exit.conditions[0].state, "Impossible");

  Wait(0.6f);
  EXPECT_FALSE(m_hidden->IsOpen());
  EXPECT_TRUE(Logged(m_log, "frame.Show Amulet"));
  EXPECT_TRUE(Logged(m_log, "hud.AddItem Amulet"));
  EXPECT_EQ(m_hud.inFrame, "Amulet") << "the reward waits in the item frame";
  EXPECT_TRUE(Logged(m_log, "map.SetMarkerVisible root/Scene02/HOS 0"));
  EXPECT_EQ(m_save->CurrentProfile()->hiddenObject, kNoLocation);
}

// The marker over the way in sparkles in the locations' group, the one the location logic
// starts it in; a finished search stops it there, in the game modes that show it.
TEST_F(HiddenObjectsTest, AFinishedSearchStopsTheMarkerOverTheWayIn) {
  hmtest::CReportScope reports;
  MP::CManager* manager = MP::CManager::CreateInstance();
  MP::CEmitter* marker = gametest::AddBurst(*manager, "HiddenObjectScene");
  ASSERT_NE(marker, nullptr);
  CEmitterGroup locations;
  locations.Add(marker);
  SHiddenObjectsParts parts = Parts();
  parts.sceneEmitters = &locations;
  m_hidden = std::make_unique<CHiddenObjects>(std::move(parts));
  marker->Start();
  OpenAndPlay();
  FindAll();
  // The last flight lands, and a second later the search closes.
  for (int frame = 0; frame < 30 && m_hidden->GetState() == CHiddenObjects::kPlaying; ++frame) Wait(0.1f);
  ASSERT_EQ(m_hidden->GetState(), CHiddenObjects::kClosing);
  EXPECT_EQ(marker->GetState(), MP::CEmitter::kStopped);
  EXPECT_FALSE(hmtest::Reported("is not in the group")) << reports.All();
  m_hidden.reset();
  MP::CManager::DeleteInstance();
}

TEST_F(HiddenObjectsTest, AnAlreadyCompletedSceneClosesASecondAfterItHasOpened) {
  for (SSceneObject& object : m_world.Scene(kScene).objects) object.picked = object.pickable;
  m_hidden->Open(kScene);
  EXPECT_TRUE(m_hidden->IsCompleted());
  Frame(m_idle, false, 0.5f);
  Wait(0.9f);
  EXPECT_EQ(m_hidden->GetState(), CHiddenObjects::kPlaying);
  Wait(0.2f);
  EXPECT_EQ(m_hidden->GetState(), CHiddenObjects::kClosing);
  Wait(0.6f);
  EXPECT_TRUE(Logged(m_log, "hud.AddItem Amulet"));
}

// Data the scene names may be missing: without its layout a scene does not open, and one
// without a reward object closes with nothing handed out.
TEST_F(HiddenObjectsTest, MissingDataLeavesTheSceneWithoutFailing) {
  m_hidden->Open(kScene + 1);  // the next variant has no layout here
  EXPECT_FALSE(m_hidden->IsOpen());
  EXPECT_EQ(m_save->CurrentProfile()->hiddenObject, kNoLocation);

  SObjectList& objects = m_world.Scene(kScene).objects;
  objects.erase(std::remove_if(objects.begin(), objects.end(), [](const SSceneObject& o) { return o.reward; }),
                objects.end());
  OpenAndPlay();
  FindAll();
  Wait(3.0f);
  EXPECT_FALSE(m_hidden->IsOpen());
  EXPECT_TRUE(Logged(m_log, "map.SetMarkerVisible root/Scene02/HOS 0"));
  EXPECT_FALSE(std::any_of(m_log.begin(), m_log.end(), [](const std::string& entry) {
    return entry.rfind("frame.Show", 0) == 0 || entry.rfind("hud.AddItem", 0) == 0;
  }));
}

// A carried object is used on what the next click picks, running that object's action for it.
TEST_F(HiddenObjectsTest, ACarriedObjectIsUsedOnTheNextObjectClicked) {
  OpenAndPlay();
  Click(OnPixels("Bell"));
  EXPECT_EQ(m_hidden->GetHeldItem(), "Bell");
  EXPECT_TRUE(Logged(m_log, "sound.ding"));
  Click(OnPixels("BoxClosed"));
  EXPECT_TRUE(m_hidden->GetHeldItem().empty());
  EXPECT_TRUE(Logged(m_log, "sound.creak"));
  EXPECT_FALSE(Node("BoxClosed").visible);
  EXPECT_TRUE(Node("BoxOpen").visible);
  EXPECT_FALSE(Logged(m_log, "hud.RemoveItem Bell"));  // a scene object, not an inventory item
}

// The drawn scene: a found object is gone from its place once its flight has ended, and a
// carried one shows only at the mouse.
TEST_F(HiddenObjectsTest, AFoundObjectDisappearsAndACarriedOneFollowsTheMouseInTheDrawnFrame) {
  CHiddenObjectsRenderer renderer(*m_hidden);
  OpenAndPlay();
  const auto pixelAt = [](const Vector2& point) {
    return std::pair<int, int>{int(std::lround((point.x - 1792.0f) / 8.0f)), int(std::lround((point.y - 1792.0f) / 8.0f))};
  };
  const auto draw = [&](const Vector2& point) {
    BeginFrame(0xFF000000);
    renderer.Render();
    const auto [x, y] = pixelAt(point);
    return Pixel(EndFrame(), kSize, x, y);
  };
  const auto isObject = [](rendertest::SRgba c) { return c.r > 200 && c.b < 80; };
  const auto isBack = [](rendertest::SRgba c) { return c.r < 80 && c.b > 150; };
  const Vector2 cup = ToVirtualScreen(Node("Cup").position);
  EXPECT_TRUE(isObject(draw(cup)));
  Click(OnPixels("Cup"));
  Wait(1.0f);
  EXPECT_TRUE(isBack(draw(cup)));

  const Vector2 bell = ToVirtualScreen(Node("Bell").position);
  const Vector2 empty = ToVirtualScreen({1.2f, 0.2f});
  EXPECT_TRUE(isBack(draw(empty)));
  Click(OnPixels("Bell"));
  Frame(empty, false, 0.1f);
  EXPECT_TRUE(isBack(draw(bell)));
  EXPECT_TRUE(isObject(draw(empty)));
}

// A found object swells by a quarter in its first half second, then shrinks to nothing on its
// way to the list.
TEST(HiddenObjectsFlightTest, AFlightSwellsThenShrinksOntoItsLine) {
  CHiddenObjects::SFlyingItem item;
  item.start = {2000.0f, 2000.0f};
  item.target = {2100.0f, 2200.0f};
  const struct {
    float progress, scale, x, y;
  } kCases[] = {{0.0f, 1.0f, 2000.0f, 2000.0f},
                {0.25f, 1.1875f, 2000.0f, 2000.0f},
                {0.5f, 1.25f, 2000.0f, 2000.0f},
                {0.75f, 0.9375f, 2050.0f, 2100.0f},
                {1.0f, 0.0f, 2100.0f, 2200.0f}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.progress);
    item.progress = c.progress;
    EXPECT_FLOAT_EQ(CHiddenObjectsRenderer::FlightScale(c.progress), c.scale);
    EXPECT_FLOAT_EQ(CHiddenObjectsRenderer::FlightPosition(item).x, c.x);
    EXPECT_FLOAT_EQ(CHiddenObjectsRenderer::FlightPosition(item).y, c.y);
  }
}

}  // namespace
