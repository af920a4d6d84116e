// The jewel box: the two missing colours set in with inventory items, the jewels carried and
// dropped until no thread crosses, the box opened two seconds later or at once by the skip
// button, and the jewels' places kept in the profile and checked when the box opens.

#include "Src/MiniGames/Vey_MiniGame1.h"

#include <gtest/gtest.h>

#include "Src/World/Vey_EmitterPool.h"
#include "Src/World/Vey_MPManager.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/Location/Vey_Scene.h"
#include "tests/Src/MiniGames/MiniGameTestKit.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <vector>

#include <cmath>
#include <limits>
#include <memory>
#include <string>

using namespace Vey;
using namespace minigametest;

namespace {

// A planar drawing of the fifteen threads, by slot, on a grid of eighths (exact floats).
const Vector2 kSolved[CMiniGame1::kJewelCount] = {{0.75f, -0.375f}, {0.25f, -0.125f},  {0.25f, 0.0f},
                                                  {0.0f, 0.375f},   {-0.75f, -0.375f}, {-0.375f, -0.25f},
                                                  {-0.125f, 0.25f}, {-0.125f, 0.125f}};
// The box as it starts: all in place but redJewel1 (slot 2), pulled across other threads.
constexpr Vector2 kTangledSlot2{-1.0f, 0.5f};
constexpr Vector2 kExitPoint{1.4f, 0.8f};
constexpr Vector2 kElsewhere{0.5f, 0.5f};
constexpr float kJewelSize = 0.1f;

std::string SocketObject(const char* name, const char* socket, const char* jewel, const char* item) {
  const std::string states = std::string("<State Name=\"Empty\" Sprite=\"") + socket +
                             "\" Interactive=\"True\"/><State Name=\"Full\" Sprite=\"" + jewel +
                             "\" Interactive=\"False\"/>";
  const std::string action = std::string("<Action Object=\"") + item +
                             "\" Note=\"\" ReqState=\"Empty\" ResState=\"Full\" Sound=\"\" Animation=\"\">"
                             "<Conditions/><Effects/><MapChanges/></Action>";
  return PuzzleObject(name, socket, "Empty", states, action);
}

class JewelBoxTest : public CMiniGameFixture {
 protected:
  void SetUp() override {
    CMiniGameFixture::SetUp();
    AddPicture(m_layout, CMiniGame1::kBackground, {0.0f, 0.0f}, {3.0f, 2.0f});
    AddPicture(m_layout, CMiniGame1::kRedSocket, kSolved[0], {kJewelSize, kJewelSize});
    AddPicture(m_layout, CMiniGame1::kGreenSocket, kSolved[4], {kJewelSize, kJewelSize});
    for (int slot = 0; slot < CMiniGame1::kJewelCount; ++slot)
      AddPicture(m_layout, CMiniGame1::kJewels[slot], slot == 2 ? kTangledSlot2 : kSolved[slot],
                 {kJewelSize, kJewelSize});
    AddPicture(m_layout, CMiniGameBase::kExitNode, kExitPoint, {0.3f, 0.3f});
    std::string objects =
        SocketObject(CMiniGame1::kRedSocketObject, CMiniGame1::kRedSocket, "root/redJewel", CMiniGame1::kRedItem) +
        SocketObject(CMiniGame1::kGreenSocketObject, CMiniGame1::kGreenSocket, "root/greenJewel",
                     CMiniGame1::kGreenItem);
    for (int slot = 0; slot < CMiniGame1::kJewelCount; ++slot)
      objects += PuzzleObject("G01_Jewel" + std::to_string(slot), CMiniGame1::kJewels[slot]);
    m_objects = objects;
    LoadWorld(0, objects);
    for (const char* item : {CMiniGame1::kRedItem, CMiniGame1::kGreenItem})
      hudtest::AddBox(m_items, std::string("root/Items/") + item, {0, 0}, {0.5f, 0.25f});
  }

  SMiniGameBlock& Block() { return Profile().miniGames; }
  std::string m_objects;  // the puzzle's own objects
  void SetBothInserted() { Block().bytes0[2] = Block().bytes0[3] = 1; }
  std::unique_ptr<CMiniGame1> MakeBox() { return std::make_unique<CMiniGame1>(&m_layout, Shared(), SJewelBoxParts{}); }

  // The item taken from the bar and applied to the point.
  void ApplyItem(CMiniGame1& box, const char* item, Vector2 point) {
    Hud().AddItem(item, true, {2048, 2048});
    Wait(box, 0.6f);  // the item lands in the bar
    ClickAt(box, hudtest::SlotPosition(1));
    ClickAt(box, point);
  }
  void Move(CMiniGame1& box, Vector2 from, Vector2 to) {
    ClickAt(box, from);
    StepAt(box, to, false);
    ClickAt(box, to);
  }
};

TEST_F(JewelBoxTest, TheJewelsCannotBeWorkedUntilBothColoursAreSetIn) {
  auto box = MakeBox();
  Open(*box);
  EXPECT_FALSE(box->IsPlayable());
  EXPECT_STREQ(Hud().GetNoteKey(), "G01_BothMissing_Note");
  ClickAt(*box, kTangledSlot2);
  EXPECT_EQ(box->GetHeldSlot(), -1) << "a jewel is picked up before the box is complete";

  // The green jewel on the red socket is no action of it: nothing changes, and the player is told.
  ApplyItem(*box, CMiniGame1::kGreenItem, kSolved[0]);
  EXPECT_FALSE(box->IsRedPresent());
  EXPECT_FALSE(box->IsGreenPresent());
  EXPECT_STREQ(Hud().GetNoteKey(), "WRONG_ACTION");

  ClickAt(*box, hudtest::SlotPosition(1));  // the green jewel, still in the bar
  ClickAt(*box, kSolved[4]);
  EXPECT_TRUE(box->IsGreenPresent());
  EXPECT_EQ(Block().bytes0[3], 1);
  ClickAt(*box, kElsewhere);
  EXPECT_STREQ(Hud().GetNoteKey(), "G01_RedMissing_Note");

  ApplyItem(*box, CMiniGame1::kRedItem, kSolved[0]);
  EXPECT_TRUE(box->IsRedPresent());
  EXPECT_EQ(Block().bytes0[2], 1);
  EXPECT_TRUE(box->IsPlayable());
  EXPECT_TRUE(Hud().IsHelpButtonShown());
  EXPECT_TRUE(Hud().GetInventory().empty()) << "the jewels set in leave the bar";
}

TEST_F(JewelBoxTest, MovingTheCrossingJewelClearOpensTheBoxTwoSecondsLater) {
  SetBothInserted();
  auto box = MakeBox();
  Open(*box);
  ASSERT_TRUE(box->IsPlayable());
  EXPECT_EQ(m_dialog->GetState(), 1) << "the intro opens once the box is playable";
  EXPECT_EQ(Block().bytes0[1], 1);

  // Moves that leave threads crossing: another jewel moved, and a jewel dropped on the exit,
  // which drops it and does not leave.
  Move(*box, kSolved[1], kElsewhere);
  Move(*box, kElsewhere, kExitPoint);
  EXPECT_EQ(box->GetState(), CMiniGameBase::kPlaying);
  Move(*box, kExitPoint, kSolved[1]);
  Wait(*box, 1.0f);
  EXPECT_EQ(box->GetWinTimer(), 0.0f);

  Move(*box, kTangledSlot2, kSolved[2]);
  EXPECT_GT(box->GetWinTimer(), 0.0f);
  ClickAt(*box, kExitPoint);
  EXPECT_EQ(box->GetState(), CMiniGameBase::kPlaying) << "the exit does nothing once the threads are clear";
  Wait(*box, 2.0f);
  EXPECT_EQ(box->GetState(), CMiniGameBase::kClosing);
  Wait(*box, 0.6f);
  EXPECT_FALSE(box->IsActive());
  EXPECT_EQ(Profile().miniGame, kNoMiniGame);
  // Every drop was saved into the jewel's own slot.
  EXPECT_NEAR(Block().floats0[4], kSolved[2].x, 1e-3f);
  EXPECT_NEAR(Block().floats0[5], kSolved[2].y, 1e-3f);
  EXPECT_NEAR(Block().floats0[2], kSolved[1].x, 1e-3f);
}

TEST_F(JewelBoxTest, SkipIsIgnoredWhileAJewelIsCarriedAndOtherwiseOpensTheBoxAtOnce) {
  SetBothInserted();
  auto box = MakeBox();
  Open(*box);
  Wait(*box, CMiniGameBase::kSkipDelay);
  ASSERT_TRUE(Hud().IsSkipButtonShown());
  ClickAt(*box, kSolved[1]);
  ASSERT_EQ(box->GetHeldSlot(), 1);
  ClickAt(*box, kSkipButton);
  EXPECT_EQ(box->GetState(), CMiniGameBase::kPlaying);
  ClickAt(*box, kSolved[1]);  // dropped back
  ClickAt(*box, kSkipButton);
  EXPECT_EQ(box->GetState(), CMiniGameBase::kClosing) << "skipping opens the box with threads still crossing";
  EXPECT_FALSE(Hud().IsSkipButtonShown());
}

// The path keeps the lock's state among its objects, so the saved progress holds the box shut:
// after a reload its link's conditions fail, though the lantern that first opened it is lit.
TEST_F(JewelBoxTest, TheOpenedBoxStaysShutAfterTheProgressIsReloaded) {
  scenetest::SSceneText path;
  path.name = "S02";
  path.miniGames = "<MiniGame Name=\"G01\" Sprite=\"S02_Lock\" Open=\"False\"><Conditions>" +
                   scenetest::Condition("S02_Lantern", "Lit") + scenetest::Condition("S01_Entrance Key", "Locked") +
                   "</Conditions></MiniGame>";
  path.objects = scenetest::Object("S02_Lantern", "Lit", "S02_LanternLit", "", scenetest::State("Lit", "S02_LanternLit", false)) +
                 scenetest::Object("S01_Entrance Key", "Locked", "", "",
                                   scenetest::State("Locked", "", false) + scenetest::State("Open", "", false));
  const std::vector<std::string> scenes = {scenetest::SSceneText{}.Text(), path.Text()};
  LoadWorld(0, m_objects, scenes);
  ASSERT_TRUE(WorldConditionsHold(m_world, m_world.Scene(1).miniGames[0].conditions));

  SetBothInserted();
  auto box = MakeBox();
  Open(*box);
  Wait(*box, CMiniGameBase::kSkipDelay);
  ClickAt(*box, kSkipButton);
  ASSERT_EQ(box->GetState(), CMiniGameBase::kClosing);

  auto saved = std::make_unique<SProgressBlock>();
  m_world.BuildProgress(saved.get());
  CMap reloaded(false);
  ASSERT_EQ(reloaded.Load(PuzzleWorld(0, m_objects, scenes)), 0);
  reloaded.RestoreProgress(*saved);
  EXPECT_EQ(reloaded.Scene(1).objects[1].state, "Open");
  EXPECT_FALSE(reloaded.Scene(1).miniGames[0].open);
  EXPECT_FALSE(WorldConditionsHold(reloaded, reloaded.Scene(1).miniGames[0].conditions));
}

TEST_F(JewelBoxTest, ANewBoxRestoresTheSavedPlacesAndDamagedOnesGoBackToTheStart) {
  SetBothInserted();
  {
    auto box = MakeBox();
    Open(*box);
    Move(*box, kTangledSlot2, kSolved[2]);
  }
  auto restored = MakeBox();
  EXPECT_NEAR(restored->JewelPosition(2).x, kSolved[2].x, 1e-3f);

  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct SDamage {
    const char* what;
    uint8_t savedByte;
    float value;
  };
  for (const SDamage& damage :
       {SDamage{"not a number", 1, nan}, SDamage{"far off", 1, 1e9f}, SDamage{"a saved byte past 1", 7, 0.5f}}) {
    Block().bytes0[0] = damage.savedByte;
    Block().floats0[4] = damage.value;
    static_cast<Ombrel::SLayoutBox*>(m_layout.FindItem(CMiniGame1::kJewels[2]))->position = kTangledSlot2;
    auto box = MakeBox();
    EXPECT_EQ(box->JewelPosition(2).x, kTangledSlot2.x) << damage.what;
    EXPECT_EQ(Block().bytes0[0], 1) << damage.what;
    EXPECT_EQ(Block().floats0[4], kTangledSlot2.x) << damage.what;
  }
}

TEST_F(JewelBoxTest, ThreadsMeetingAtAJewelNeverCrossButAJewelTouchingAnotherThreadDoes) {
  SetBothInserted();
  for (int slot = 0; slot < CMiniGame1::kJewelCount; ++slot) Block().floats0[2 * slot] = kSolved[slot].x;
  for (int slot = 0; slot < CMiniGame1::kJewelCount; ++slot) Block().floats0[2 * slot + 1] = kSolved[slot].y;
  Block().bytes0[0] = 1;
  EXPECT_TRUE(MakeBox()->IsUntangled());
  // redJewel1 (slot 2) at the origin: the thread from redJewel (0.75, -0.375) to it runs
  // exactly through redJewel0 (0.25, -0.125), which it is not joined to. Nothing crosses
  // properly, but an end touching another thread counts as a crossing.
  Block().floats0[4] = 0.0f;
  Block().floats0[5] = 0.0f;
  EXPECT_FALSE(MakeBox()->IsUntangled()) << "a jewel lying on a thread";
  Block().floats0[4] = kTangledSlot2.x;
  Block().floats0[5] = kTangledSlot2.y;
  EXPECT_FALSE(MakeBox()->IsUntangled());

  EXPECT_EQ(CMiniGame1::Orientation({0, 0}, {1, 0}, {0.5f, 1}), -1);
  EXPECT_EQ(CMiniGame1::Orientation({0, 0}, {1, 0}, {0.5f, -1}), 1);
  EXPECT_EQ(CMiniGame1::Orientation({0, 0}, {1, 0}, {0.5f, 0}), 0);
}

// The win's sparks as the build makes them ("G01_Completed" of the box's effect file), in the
// pool the box moves them with.
class JewelBoxSparksTest : public JewelBoxTest {
 protected:
  void SetUp() override {
    JewelBoxTest::SetUp();
    m_manager = MP::CManager::CreateInstance();
    std::ifstream in(HM_BINARY_DIR "/content/Art/Environments/Game01/Effects/G01.ptc", std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const HM_FILE file =
        Magic_OpenFileInMemory(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), "G01.ptc");
    ASSERT_NE(file, 0);
    MP::CEmitter* spark = m_manager->AddEmitter(Magic_LoadEmitter(file, "G01_Completed"));
    Magic_CloseFile(file);
    ASSERT_NE(spark, nullptr);
    m_sparks = std::make_unique<CEmitterPool>(6, "Game1Emitters", *spark);
  }
  void TearDown() override {
    m_sparks.reset();
    MP::CManager::DeleteInstance();
    JewelBoxTest::TearDown();
  }

  // The live particles' centres of a spark, in layout units (the puzzle hands its emitters
  // layout points times 450.70422, y negated).
  std::vector<Vector2> Particles(uint32_t spark) const {
    constexpr float kUnits = 450.70422f;
    std::vector<Vector2> centres;
    MAGIC_RENDERING list;
    MAGIC_VERTEX_RECTANGLE v{};
    const HM_EMITTER handle = m_sparks->GetEmitter(spark)->GetHandle();
    for (int32_t n = Magic_CreateFirstRenderedParticlesList(handle, &list); n > 0;
         n = Magic_CreateNextRenderedParticlesList(&list))
      for (int32_t i = 0; i < n; ++i) {
        Magic_GetNextParticleVertexes(&list, &v);
        centres.push_back({(v.x[0] + v.x[2]) / 2 / kUnits, -(v.y[0] + v.y[2]) / 2 / kUnits});
      }
    return centres;
  }
  // How far the point lies from the nearest thread of the box.
  static float FromThreads(const CMiniGame1& box, Vector2 p) {
    float nearest = 1e9f;
    for (int32_t i = 0; i < CMiniGame1::kConnectorCount; ++i) {
      const Vector2 a = *box.GetConnector(i).first, b = *box.GetConnector(i).second;
      const float dx = b.x - a.x, dy = b.y - a.y;
      const float t = std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / (dx * dx + dy * dy), 0.0f, 1.0f);
      nearest = std::min(nearest, std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy)));
    }
    return nearest;
  }
  static Vector2 Middle(const std::vector<Vector2>& points) {
    Vector2 sum{0, 0};
    for (const Vector2& p : points) sum = {sum.x + p.x, sum.y + p.y};
    return {sum.x / float(points.size()), sum.y / float(points.size())};
  }

  MP::CManager* m_manager = nullptr;
  std::unique_ptr<CEmitterPool> m_sparks;
};

// Every spark is seen on the threads from the moment they are clear until the box opens, and
// travels: a burst that dies at once, or sparks strewn off the threads, fail.
TEST_F(JewelBoxSparksTest, TheWinsSparksRunAlongTheThreadsUntilTheBoxOpens) {
  SetBothInserted();
  SJewelBoxParts parts;
  parts.completion = m_sparks.get();
  CMiniGame1 box(&m_layout, Shared(), parts);
  Open(box);
  Move(box, kTangledSlot2, kSolved[2]);
  ASSERT_GT(box.GetWinTimer(), 0.0f);

  constexpr float kNearThread = 0.04f;
  std::vector<Vector2> first(6), last(6);
  std::vector<float> trail(6, 0.0f);  // the longest stretch a spark's particles covered
  while (box.GetWinTimer() < CMiniGame1::kWinDelay - kFrame) {
    Wait(box, kFrame);
    for (uint32_t k = 0; k < 6; ++k) {
      const std::vector<Vector2> particles = Particles(k);
      ASSERT_FALSE(particles.empty()) << "spark " << k << " is gone " << box.GetWinTimer() << " s after the win";
      for (const Vector2& p : particles)
        ASSERT_LT(FromThreads(box, p), kNearThread) << "spark " << k << " at " << box.GetWinTimer() << " s";
      if (first[k].x == 0 && first[k].y == 0) first[k] = Middle(particles);
      last[k] = Middle(particles);
      for (const Vector2& p : particles)
        trail[k] = std::max(trail[k], std::hypot(p.x - last[k].x, p.y - last[k].y));
    }
  }
  for (uint32_t k = 0; k < 6; ++k) {
    EXPECT_GT(std::hypot(last[k].x - first[k].x, last[k].y - first[k].y), 0.08f) << "spark " << k << " travels";
    EXPECT_GT(trail[k], 0.03f) << "spark " << k << " leaves a trail";
  }
}

}  // namespace
