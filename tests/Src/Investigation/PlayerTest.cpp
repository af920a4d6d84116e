// The heads-up display's logic: the aspect set, the inventory with its scrolling and its saved
// list, taking and applying an item, the hint charge by game mode, the note line, the menu
// button and the hidden-object list.

#include "tests/Src/Investigation/HudTestKit.h"

#include "Framework/Scene/omSprite2DNode.h"
#include "Src/World/Vey_Button.h"
#include "Framework/omEventManager.h"

#include <vector>

using namespace Vey;
using hudtest::ItemKey;
using hudtest::SlotPosition;

namespace {

class PlayerTest : public hudtest::CHudFixture {
 protected:
  std::vector<int32_t> SavedIds() {
    return std::vector<int32_t>(Profile().inventory, Profile().inventory + Profile().inventoryCount);
  }
  std::vector<int32_t> EntryIds() {
    std::vector<int32_t> ids;
    for (const CPlayer::SInventoryEntry& entry : Hud().GetInventory()) ids.push_back(entry.id);
    return ids;
  }
};

TEST(PlayerAspect, TheDisplayRatioChoosesTheAspectSet) {
  const struct {
    float ratio;
    const char* name;
    int slots;
  } kCases[] = {{1.6f, "16:10", 12}, {1.25f, "5:4", 8},  {1.34f, "4:3", 9},    {4.0f / 3.0f, "4:3", 9},
                {1.5f, "16:9", 14},  {1.78f, "16:9", 14}, {1.2599f, "5:4", 8}, {1.27f, "16:9", 14}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.ratio);
    const int32_t layout = CPlayer::SelectAspectLayout(c.ratio);
    EXPECT_STREQ(CPlayer::AspectName(layout), c.name);
    EXPECT_EQ(CPlayer::VisibleSlotCount(layout), c.slots);
  }
}

TEST_F(PlayerTest, OnlyTheMatchingAspectSetIsShownAndTheMarkersAreHidden) {
  Hud();
  EXPECT_TRUE(m_layout.FindItem("root/HUD16:9/Slot1")->visible);
  EXPECT_FALSE(m_layout.FindItem("root/HUD4:3/Slot1")->visible);
  EXPECT_FALSE(m_layout.FindItem("root/HUD16:9/Dummy01")->visible);
  EXPECT_FALSE(m_layout.FindItem("root/HUD16:9/hudleft(Blood)")->visible);
  EXPECT_TRUE(m_layout.FindItem("root/HUD16:9/LeftArrowInactive")->visible);
  EXPECT_FALSE(m_layout.FindItem("root/HUD16:9/LeftArrowActive")->visible);

  m_camera.reset();  // one camera at a time: the old one clears the current camera
  m_camera = std::make_unique<hmtest::CCameraInMode>(kAspectStandard);
  Hud().BuildHud();
  EXPECT_TRUE(Hud().HasLayoutChanged());
  EXPECT_EQ(Hud().VisibleSlots(), 9);
  EXPECT_TRUE(m_layout.FindItem("root/HUD4:3/Slot1")->visible);
  EXPECT_FALSE(m_layout.FindItem("root/HUD16:9/Slot1")->visible);
}

// A window given another shape while the display is up: its next update shows that shape's set.
TEST_F(PlayerTest, TheDisplayTakesTheSetOfANewShapeInItsNextUpdate) {
  Hud().ClearLayoutChanged();
  Hud().Update(0.05f);
  EXPECT_FALSE(Hud().HasLayoutChanged()) << "the shape it was built for";
  m_camera.reset();
  m_camera = std::make_unique<hmtest::CCameraInMode>(kAspectStandard);
  Hud().Update(0.05f);
  EXPECT_TRUE(Hud().HasLayoutChanged());
  EXPECT_EQ(Hud().VisibleSlots(), 9);
  EXPECT_TRUE(m_layout.FindItem("root/HUD4:3/Slot1")->visible);
  EXPECT_FALSE(m_layout.FindItem("root/HUD16:9/Slot1")->visible);
}

TEST_F(PlayerTest, AddingAndRemovingKeepsTheBarScrolledAndTheSavedListInStep) {
  AddLanded(14);
  EXPECT_EQ(Hud().GetFirstVisibleSlot(), 0u) << "fourteen items fill the wide bar without scrolling";
  AddLanded(1, 14);
  EXPECT_EQ(Hud().GetFirstVisibleSlot(), 1u) << "the fifteenth scrolls into view";
  EXPECT_EQ(SavedIds(), EntryIds());

  Hud().RemoveItem(ItemKey(3));
  EXPECT_EQ(Hud().GetFirstVisibleSlot(), 0u) << "removing while scrolled to the end scrolls back";
  EXPECT_EQ(SavedIds(), EntryIds());
  EXPECT_EQ(Hud().GetInventory().size(), 14u);

  Hud().RemoveItem("NotAnItem");
  EXPECT_EQ(Hud().GetInventory().size(), 14u);
  Hud().RemoveItem(ItemKey(4));
  EXPECT_EQ(Hud().GetFirstVisibleSlot(), 0u) << "a bar that is not full does not scroll";
  EXPECT_EQ(SavedIds(), EntryIds());
}

TEST_F(PlayerTest, TheArrowsScrollOnlyWithinTheInventory) {
  AddLanded(16);
  ASSERT_EQ(Hud().GetFirstVisibleSlot(), 2u);
  Click({1.55f, -0.85f});
  EXPECT_EQ(Hud().GetFirstVisibleSlot(), 2u) << "already at the end";
  Click({-1.55f, -0.85f});
  Click({-1.55f, -0.85f});
  Click({-1.55f, -0.85f});
  EXPECT_EQ(Hud().GetFirstVisibleSlot(), 0u) << "no further than the first item";
  Frame({-1.55f, -0.85f}, true);
  EXPECT_TRUE(m_layout.FindItem("root/HUD16:9/LeftArrowActive")->visible) << "pressed";
  Frame({-1.55f, -0.85f}, false);
  EXPECT_FALSE(m_layout.FindItem("root/HUD16:9/LeftArrowActive")->visible) << "released";
  Click({1.55f, -0.85f});
  EXPECT_EQ(Hud().GetFirstVisibleSlot(), 1u);
}

TEST_F(PlayerTest, AFullInventoryRefusesTheThirtyFirstItem) {
  AddLanded(30);
  Hud().AddItem(ItemKey(30), {2048, 2048});
  EXPECT_EQ(Hud().GetInventory().size(), 30u);
  EXPECT_EQ(Profile().inventoryCount, 30u);
  EXPECT_EQ(Profile().diaryCount, 0u) << "nothing written past the list";
  EXPECT_TRUE(hmtest::Reported("inventory"));
}

TEST_F(PlayerTest, TheSavedListComesBackInOrderAndScrolledToItsEnd) {
  for (int32_t id : {5, 0, 30, 7, 1, 2, 3, 4, 6, 8, 9, 10, 11, 12, 13, 14}) SSaveData::AddItem(Profile(), id);
  Hud().LoadInventory();
  ASSERT_EQ(Hud().GetInventory().size(), 16u);
  EXPECT_EQ(Hud().GetInventory()[0].key, "Item05");
  EXPECT_EQ(Hud().GetInventory()[2].key, "Item30");
  EXPECT_EQ(Hud().GetInventory()[2].progress, 1.0f);
  EXPECT_EQ(Hud().GetFirstVisibleSlot(), 2u);
  EXPECT_EQ(SavedIds(), EntryIds());
}

TEST_F(PlayerTest, AnItemIsTakenFromItsSlotAndAppliedByTheNextClick) {
  Hud().AddItem(ItemKey(0), {2048, 2048});
  Click(SlotPosition(1));
  EXPECT_FALSE(Hud().HasItemInHand()) << "an item still flying cannot be taken";
  for (int i = 0; i < 30; ++i) Frame({0, 0.9f}, false);
  AddLanded(1, 1);

  Click(SlotPosition(1));
  EXPECT_EQ(Hud().GetHeldItem(), ItemKey(0));
  EXPECT_EQ(Hud().GetUsedItem(), "");

  // The click that applies the held item takes nothing else, not even the item under it.
  Click(SlotPosition(2));
  EXPECT_FALSE(Hud().HasItemInHand());
  EXPECT_EQ(Hud().GetUsedItem(), ItemKey(0));
  EXPECT_EQ(Hud().GetUsedItem(), "") << "reading the used item consumes it";

  Click(SlotPosition(5));
  EXPECT_FALSE(Hud().HasItemInHand()) << "an empty slot gives nothing";
}

TEST_F(PlayerTest, TheHintRechargesInAMinuteOnlyInTheHintModes) {
  const struct {
    uint32_t mode;
    float seconds;
  } kCases[] = {{1, 60.0f}, {3, 60.0f}, {2, 120.0f}, {4, 120.0f}, {0, 120.0f}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.mode);
    Profile().gameMode = c.mode;
    Hud().SetHintCharge(0.0f);
    const int frames = int(c.seconds * 10.0f);
    for (int i = 0; i < frames - 10; ++i) Hud().Update(0.1f);
    EXPECT_LT(Hud().GetHintCharge(), 1.0f);
    for (int i = 0; i < 11; ++i) Hud().Update(0.1f);
    EXPECT_EQ(Hud().GetHintCharge(), 1.0f);
  }
}

TEST_F(PlayerTest, TheNoteFadesInHoldsAndFadesOutOverFiveSeconds) {
  const struct {
    float timer, alpha;
  } kCurve[] = {{0.0f, 0.0f}, {0.05f, 0.5f}, {0.1f, 1.0f}, {0.5f, 1.0f}, {0.9f, 1.0f}, {0.95f, 0.5f}, {1.0f, 0.0f}};
  for (const auto& c : kCurve) EXPECT_NEAR(CPlayer::NoteAlpha(c.timer), c.alpha, 1e-5f) << c.timer;

  Hud().ShowNote("WRONG_ACTION");
  for (int i = 0; i < 240; ++i) Hud().UpdateNoteTimer(0.02f);
  EXPECT_NEAR(Hud().GetNoteTimer(), 0.96f, 1e-4f);
  Hud().ShowNote("G02_Hint_Note");
  EXPECT_EQ(Hud().GetNoteTimer(), 0.0f) << "a new note starts faded out again";
  EXPECT_STREQ(Hud().GetNoteKey(), "G02_Hint_Note");
  for (int i = 0; i < 260; ++i) Hud().UpdateNoteTimer(0.02f);
  EXPECT_EQ(Hud().GetNoteTimer(), 1.0f);

  Hud().ShowNote(std::string(40, 'K'));
  EXPECT_EQ(std::string(Hud().GetNoteKey()), std::string(31, 'K')) << "a longer key is cut, not overrun";
  EXPECT_TRUE(hmtest::Reported("longer than 31"));
}

struct SPauseListener : Ombrel::IEventHandler {
  bool HandleEvent(const Ombrel::SEventHeader& event) override {
    events.push_back(event);
    return true;
  }
  bool AcceptsEvent(int32_t) override { return true; }
  std::vector<Ombrel::SEventHeader> events;
};

TEST_F(PlayerTest, TheMoonSendsThePauseEventToEveryListener) {
  Ombrel::CEventManager events;
  SPauseListener listener;
  events.AddListener(&listener);
  m_collaborators.events = &events;
  Click({0.0f, 0.5f});
  EXPECT_TRUE(listener.events.empty());
  Click({-1.65f, -0.6f});
  ASSERT_EQ(listener.events.size(), 1u);
  EXPECT_EQ(listener.events[0].type, 1);
  EXPECT_EQ(listener.events[0].target, 0);
  EXPECT_EQ(listener.events[0].mask, 0);
  EXPECT_EQ(listener.events[0].word, -1);
  EXPECT_TRUE(Hud().IsMouseOverHud());
  events.RemoveListener(&listener);
}

TEST_F(PlayerTest, TheHiddenObjectListCrossesOutFoundLinesAndPlacesFlights) {
  auto list = std::make_unique<std::vector<std::string>>(std::vector<std::string>{"Key3", "Rope0", "Lamp1"});
  Hud().SetHiddenObjectList(std::move(list));
  Hud().ResetHiddenObjectList();
  EXPECT_EQ(Hud().GetListRecord(0).active, 0.0f);
  EXPECT_EQ(Hud().GetListRecord(1).active, 1.0f) << "a line found before the scene opened is crossed out at once";
  EXPECT_EQ(Hud().GetListRecord(1).progress, 1.0f);
  EXPECT_EQ(Hud().GetListRecord(5).active, 0.0f);

  // Without a dictionary the key is its own phrase; the trailing digit is dropped.
  const Vector2 lamp = Hud().GetHiddenObjectListPosition("Lamp2");
  // The line begins at its marker's left edge, measured in layout units as the marker's centre.
  const Vector2 start = ToVirtualScreen({1.2f - 0.6f * 0.5f, 0.5f - 0.3f});
  EXPECT_FLOAT_EQ(lamp.x, start.x);
  EXPECT_FLOAT_EQ(lamp.y, start.y);
  EXPECT_EQ(Hud().GetHiddenObjectListPosition("Chair").x, 0.0f);
}

TEST_F(PlayerTest, TheHoveredSlotRisesAndItsNeighboursDip) {
  AddLanded(3);
  Frame(SlotPosition(5), false, 0.1f);
  Frame(SlotPosition(5), false, 0.1f);  // t reaches 1 after a sixth of a second
  EXPECT_EQ(Hud().GetLastHoveredSlot(), 5);
  const float kExpected[14] = {0, 0, -0.5f, -1, 1, -1, -0.5f, 0, 0, 0, 0, 0, 0, 0};
  for (int n = 0; n < 14; ++n) EXPECT_FLOAT_EQ(Hud().GetSlotWave(n).current, kExpected[n]) << "slot " << n + 1;

  Frame({0, 0.5f}, false, 0.05f);
  EXPECT_EQ(Hud().GetLastHoveredSlot(), CPlayer::kNoSlot);
  EXPECT_GT(Hud().GetSlotWave(4).current, 0.0f) << "easing back, not jumping";
  EXPECT_LT(Hud().GetSlotWave(4).current, 1.0f);
  Hud().SetBarFrozen(true);
  const float frozen = Hud().GetSlotWave(4).current;
  Frame(SlotPosition(1), false, 0.1f);
  EXPECT_EQ(Hud().GetSlotWave(4).current, frozen) << "a frozen bar stands still";
}

// A diary that opens at once and closes when told.
struct SFakeDiary : IDiaryScreen {
  void Open() override { state = 1; }
  void ReadInput(const Vector2&, bool pressed, bool) override { presses += pressed ? 1 : 0; }
  void Update(float) override {}
  int32_t GetState() const override { return state; }
  void AddEntry(const std::string& key) override { entries.push_back(key); }
  int32_t state = 0;
  int presses = 0;
  std::vector<std::string> entries;
};

struct SFakeMap : IMapScreen {
  void VisitScene(int32_t) override {}
  void SetMarkerVisible(const std::string&, bool) override {}
  void Update(float) override {}
  int32_t GetState() const override { return 0; }
};

TEST_F(PlayerTest, TheBookOpensTheDiaryAndTheCompassTheMapOverTheBar) {
  SFakeDiary diary;
  SFakeMap map;
  Ombrel::CSprite2DNode capture("UpperCapture", nullptr);
  capture.SetDrawn(false);
  m_collaborators.diary = &diary;
  m_collaborators.mapFrame = &map;
  m_collaborators.upperCapture = &capture;
  AddLanded(2);

  Click({0.0f, -0.78f});
  EXPECT_EQ(Hud().GetMode(), CPlayer::kModeDiary);
  EXPECT_EQ(Hud().GetPreviousMode(), CPlayer::kModeLocation);
  EXPECT_EQ(diary.state, 1);
  EXPECT_TRUE(capture.IsDrawn());

  // While the diary is open the bar takes no clicks; the diary gets them.
  Click(SlotPosition(1));
  EXPECT_FALSE(Hud().HasItemInHand());
  EXPECT_EQ(diary.presses, 1);
  Hud().UpdateDiary(0.02f);
  EXPECT_EQ(Hud().GetMode(), CPlayer::kModeDiary) << "open while the diary is";
  diary.state = 0;
  Hud().UpdateDiary(0.02f);
  EXPECT_EQ(Hud().GetMode(), CPlayer::kModeLocation) << "back to the view it was opened from";

  Hud().AddDiaryEntry("S01_1_Entry");
  EXPECT_EQ(diary.entries, std::vector<std::string>{"S01_1_Entry"});

  Click({1.65f, -0.6f});
  EXPECT_EQ(Hud().GetMode(), CPlayer::kModeMap);
  EXPECT_EQ(Hud().GetMapFrame(), &map);
}

TEST_F(PlayerTest, TheSkipAndHelpButtonsAnswerOnlyWhileShownAndNoOverlayIsOpen) {
  const Vector2 skip{1.0f, -0.6f}, help{-1.0f, -0.6f};
  Frame(skip, false);
  EXPECT_FALSE(Hud().IsMouseOverSkipButton()) << "hidden after construction";
  EXPECT_FALSE(m_layout.FindItem("root/text_skip")->visible);

  Hud().ShowSkipButton(true);
  Hud().ShowHelpButton(true);
  EXPECT_TRUE(m_layout.FindItem("root/text_skip")->visible);
  EXPECT_TRUE(m_layout.FindItem("root/Outline")->visible);
  EXPECT_FALSE(m_layout.FindItem("root/Outline active")->visible);
  Frame(skip, true);
  EXPECT_TRUE(Hud().IsMouseOverSkipButton());
  EXPECT_FALSE(Hud().IsMouseOverHelpButton());
  EXPECT_TRUE(Hud().GetSkipButton()->selected) << "pressed on it";
  EXPECT_TRUE(m_layout.FindItem("root/Outline active")->visible);
  Frame(skip, false);
  EXPECT_FALSE(Hud().GetSkipButton()->selected) << "released";
  Frame(help, false);
  EXPECT_TRUE(Hud().IsMouseOverHelpButton());

  Hud().SetMode(CPlayer::kModeMap);
  EXPECT_FALSE(Hud().IsMouseOverHelpButton()) << "the map covers it";
  Hud().SetMode(CPlayer::kModeLocation);
  Hud().ShowHelpButton(false);
  EXPECT_FALSE(Hud().IsMouseOverHelpButton());
  EXPECT_FALSE(m_layout.FindItem("root/Outline0")->visible);
}

TEST_F(PlayerTest, HoverAnimationsRunAtTheirOwnPace) {
  const Vector2 leftArrow{-1.55f, -0.85f}, compass{1.65f, -0.6f};
  for (int i = 0; i < 5; ++i) Frame(leftArrow, false, 0.02f);
  EXPECT_FLOAT_EQ(Hud().GetArrowHover(false), 1.0f) << "an arrow grows in a tenth of a second";
  EXPECT_EQ(Hud().GetArrowHover(true), 0.0f);

  Frame(compass, false, 0.1f);
  EXPECT_FLOAT_EQ(Hud().GetCompassSwing(), 0.2f) << "the swing starts on the first frame over the compass";
  Frame(compass, false, 0.1f);
  EXPECT_FLOAT_EQ(Hud().GetCompassSwing(), 0.4f);
  for (int i = 0; i < 3; ++i) Frame(compass, false, 0.1f);
  EXPECT_EQ(Hud().GetCompassSwing(), 0.0f) << "half a second, once per hover";
  Frame(compass, false, 0.1f);
  EXPECT_EQ(Hud().GetCompassSwing(), 0.0f) << "still hovering: no second swing";
  Frame({0, 0.5f}, false, 0.1f);
  Frame(compass, false, 0.1f);
  EXPECT_GT(Hud().GetCompassSwing(), 0.0f) << "a new hover swings again";

  const float phase = Hud().GetGlowPhase();
  Frame({0, 0.5f}, false, 1.0f);
  EXPECT_FLOAT_EQ(Hud().GetGlowPhase(), phase + 0.1f) << "the moon turns a tenth of a radian a second";
}

TEST_F(PlayerTest, WithoutItsLayoutTheDisplayIsReportedAndStaysInert) {
  m_collaborators.layout = nullptr;
  Hud();
  EXPECT_TRUE(hmtest::Reported("no layout \"HUD\""));
  Frame(SlotPosition(1), true);
  Hud().AddItem(ItemKey(2), {2048, 2048});
  Hud().AddItem("NoSuchItem", {2048, 2048});
  EXPECT_TRUE(hmtest::Reported("\"NoSuchItem\" is not in the layout \"Items\""));
  EXPECT_EQ(Hud().GetInventory().size(), 1u);
  EXPECT_FALSE(Hud().IsMouseOverHud());
  EXPECT_FALSE(Hud().HasItemInHand());
}

TEST_F(PlayerTest, WithoutADiaryOrAMapTheirButtonsDoNothing) {
  Click({0.0f, -0.78f});
  Click({1.65f, -0.6f});
  EXPECT_EQ(Hud().GetMode(), CPlayer::kModeLocation);
}

}  // namespace
