// The world description: a description with every element kind read into its slots, the
// place-name rules, the story's slot counts, and a damaged description reported and defaulted.

#include "Src/World/Vey_Map.h"

#include <gtest/gtest.h>

#include "tests/Src/World/WorldDescriptionFixture.h"
#include "tests/support/engine/ReportScope.h"

#include <functional>
#include <memory>

using namespace Vey;

namespace {

TEST(WorldDescription, AWholeDescriptionFillsEveryKindOfRecordWithoutAReport) {
  hmtest::CReportScope reports;
  CMap map(false);
  EXPECT_EQ(map.Load(worldtest::MainStory()), 0) << reports.All();
  EXPECT_TRUE(reports.Texts().empty()) << reports.All();

  const SSceneSlot& scene = map.Scene(0);
  EXPECT_EQ(scene.index, 0);
  EXPECT_EQ(scene.sound, "amb_house");
  EXPECT_EQ(scene.shiningObjects, (std::vector<std::string>{"Shine1", "Shine2"}));
  EXPECT_EQ(scene.animatedObjects, std::vector<std::string>{"Clock"});
  EXPECT_EQ(scene.blendAnims, std::vector<std::string>{"Fire"});

  ASSERT_EQ(scene.dialogs.size(), 1u);
  EXPECT_EQ(scene.dialogs[0].name, "S01_1_Dialog");
  EXPECT_FALSE(scene.dialogs[0].shown);
  const std::vector<SCondition>& conditions = scene.dialogs[0].conditions;
  ASSERT_EQ(conditions.size(), 3u);
  // "Picked" makes a picked-condition, true only for "True"; its "State" is not read.
  EXPECT_EQ(conditions[0].kind, EConditionKind::Picked);
  EXPECT_TRUE(conditions[0].picked);
  EXPECT_EQ(conditions[1].kind, EConditionKind::Picked);
  EXPECT_FALSE(conditions[1].picked);
  EXPECT_EQ(conditions[1].state, "");
  EXPECT_EQ(conditions[2].kind, EConditionKind::State);
  EXPECT_EQ(conditions[2].state, "Lit");
  ASSERT_EQ(scene.diaryEntries.size(), 1u);
  EXPECT_EQ(scene.diaryEntries[0].name, "S01_1_Entry");

  ASSERT_EQ(scene.miniGames.size(), 1u);
  EXPECT_EQ(scene.miniGames[0].miniGame, 7u);  // "G11"
  EXPECT_TRUE(scene.miniGames[0].open);
  EXPECT_EQ(scene.miniGames[0].conditions[0].object, "Box");

  ASSERT_EQ(scene.exits.size(), 2u);
  EXPECT_EQ(scene.exits[0].target, 1u);
  EXPECT_EQ(scene.exits[0].direction, EDirection::NE);
  EXPECT_EQ(scene.exits[0].sound, "door_in_open");
  EXPECT_TRUE(scene.exits[0].open);
  EXPECT_EQ(scene.exits[1].target, 33u);  // "HO01_1_34"
  EXPECT_EQ(scene.exits[1].direction, EDirection::Ho);
  EXPECT_FALSE(scene.exits[1].open);
  ASSERT_EQ(scene.exits[1].conditions.size(), 1u);
  EXPECT_EQ(scene.exits[1].conditions[0].state, "Lit");

  ASSERT_EQ(scene.closeUps.size(), 1u);
  EXPECT_EQ(scene.closeUps[0].closeUp, 3u);  // "I04a"
  EXPECT_EQ(scene.closeUps[0].sprite, "Desk");

  const SCloseUpSlot& closeUp = map.CloseUp(0);
  ASSERT_EQ(closeUp.objects.size(), 1u);
  EXPECT_EQ(closeUp.objects[0].states[1].sprite, "LetterOpen");
  ASSERT_EQ(closeUp.miniGames.size(), 1u);
  EXPECT_EQ(closeUp.miniGames[0].miniGame, 2u);
  EXPECT_EQ(closeUp.dialogs[0].name, "I01_1_Dialog");
  EXPECT_EQ(closeUp.diaryEntries[0].name, "I01_1_Entry");

  const SMiniGameSlot& miniGame = map.MiniGame(0);
  EXPECT_EQ(miniGame.objects[0].name, "Gear");
  EXPECT_EQ(miniGame.shiningObjects, std::vector<std::string>{"GearShine"});

  // The comment between the first two scenes is no slot.
  EXPECT_EQ(map.Scene(1).index, 1);
  EXPECT_EQ(map.Scene(56).index, 56);
}

TEST(WorldDescription, AnObjectKeepsItsValuesStatesActionsAndEachKindsAnimationValues) {
  const auto map = worldtest::LoadedWorld();
  const SObjectList& objects = map->Scene(0).objects;
  ASSERT_EQ(objects.size(), 2u);
  const SSceneObject& lamp = objects[0];
  EXPECT_EQ(lamp.name, "Lamp");
  EXPECT_EQ(lamp.state, "Off");
  EXPECT_EQ(lamp.sprite, "LampOff");
  EXPECT_TRUE(lamp.pickable);
  EXPECT_FALSE(lamp.clue);
  EXPECT_TRUE(lamp.draggable);
  EXPECT_FALSE(lamp.reward);
  EXPECT_TRUE(lamp.startAnim);
  EXPECT_FALSE(lamp.picked);
  EXPECT_EQ(lamp.sound, "click");
  EXPECT_EQ(lamp.animation, "Move");
  EXPECT_EQ(lamp.currentAnimation, kNoAnimation);
  EXPECT_EQ(lamp.emitter, nullptr);

  // The unknown "Spin" leaves no trace; the rest keep document order.
  ASSERT_EQ(lamp.animations.size(), 9u);
  const std::vector<SAnimationDesc>& a = lamp.animations;
  const struct {
    const char* name;
    EAnimationKind kind;
    float length;
    bool loop;
  } kCommon[] = {{"Move", EAnimationKind::Line, 2.0f, true},         {"Arc", EAnimationKind::Parabola, 1.5f, false},
                 {"Sway", EAnimationKind::Swing, 1.0f, false},       {"Flash", EAnimationKind::Blink, 1.0f, true},
                 {"Dim", EAnimationKind::Fade, 1.0f, false},         {"Show", EAnimationKind::Visible, 0.5f, false},
                 {"Flicker", EAnimationKind::RandomOnOff, 1.0f, true}, {"Sparks", EAnimationKind::Effect, 1.0f, false},
                 {"Hum", EAnimationKind::Sound, 1.0f, false}};
  for (size_t i = 0; i < std::size(kCommon); ++i) {
    SCOPED_TRACE(kCommon[i].name);
    EXPECT_EQ(a[i].name, kCommon[i].name);
    EXPECT_EQ(a[i].kind, kCommon[i].kind);
    EXPECT_FLOAT_EQ(a[i].length, kCommon[i].length);
    EXPECT_EQ(a[i].loop, kCommon[i].loop);  // "true" is not "True"
  }
  EXPECT_EQ(a[0].next, "Arc");
  EXPECT_FLOAT_EQ(a[0].targetPos.x, 0.5f);
  EXPECT_FLOAT_EQ(a[0].targetPos.y, -0.25f);
  EXPECT_TRUE(a[0].disappear);
  EXPECT_FLOAT_EQ(a[1].height, 0.3f);
  EXPECT_FLOAT_EQ(a[2].pivot.y, 0.1f);
  EXPECT_FLOAT_EQ(a[2].maxAngle, 0.35f);
  EXPECT_FLOAT_EQ(a[3].onTime, 0.25f);
  EXPECT_FLOAT_EQ(a[3].offTime, 0.75f);
  EXPECT_FLOAT_EQ(a[4].offTime, 0.5f);
  EXPECT_TRUE(a[5].visible);
  EXPECT_TRUE(a[6].visible);
  EXPECT_FLOAT_EQ(a[6].minLength, 0.5f);
  EXPECT_FLOAT_EQ(a[6].maxLength, 2.0f);
  EXPECT_FLOAT_EQ(a[6].alphaTransitionLength, 0.1f);
  EXPECT_TRUE(a[7].start);
  EXPECT_FALSE(a[7].loopEffect);
  EXPECT_TRUE(a[7].startEffect);
  EXPECT_EQ(a[7].skipSeconds, 3);
  EXPECT_FLOAT_EQ(a[7].position.x, 0.1f);
  EXPECT_EQ(a[7].effectName, "S01_Sparks");
  EXPECT_TRUE(a[8].ambientLoop);
  EXPECT_EQ(a[8].soundName, "elecloop");

  ASSERT_EQ(lamp.states.size(), 2u);
  EXPECT_EQ(lamp.FindState("Lit"), 1);
  EXPECT_EQ(lamp.FindState("Broken"), -1);
  EXPECT_TRUE(lamp.states[0].interactive);
  ASSERT_EQ(lamp.actions.size(), 1u);
  const SObjectAction& action = lamp.actions[0];
  EXPECT_EQ(action.object, "Click");
  EXPECT_EQ(action.note, "S01_Lamp_Note");
  EXPECT_EQ(action.reqState, "Off");
  EXPECT_EQ(action.resState, "Lit");
  EXPECT_EQ(action.animation, "Flash");
  EXPECT_EQ(action.conditions[0].state, "Full");
  EXPECT_TRUE(action.effects[0].visible);
  EXPECT_EQ(action.mapChanges[0].object, "Marker1");
  EXPECT_FALSE(action.mapChanges[0].visible);

  EXPECT_TRUE(objects[1].animations.empty());
  EXPECT_TRUE(objects[1].reward);
}

TEST(WorldDescription, PlaceNamesGiveTheirSlotsByTheirTrailingNumber) {
  const struct {
    const char* name;
    int32_t index;
  } kPlaces[] = {{"S01", 0}, {"S33", 32}, {"I12", 11}, {"I04a", 3}, {"HO09_3_57", 56}, {"Sxx", -1}, {"", -1}};
  for (const auto& c : kPlaces) EXPECT_EQ(IndexFromName(c.name), c.index) << c.name;

  const struct {
    const char* name;
    bool bonus;
    uint32_t slot;
  } kMiniGames[] = {{"G01", false, 0}, {"G07", false, 6}, {"G11", false, 7}, {"G08", false, kNoMiniGame},
                    {"G", false, kNoMiniGame}, {"G01", true, 0}, {"G02", true, kNoMiniGame},
                    {"G11", true, kNoMiniGame}};
  for (const auto& c : kMiniGames) EXPECT_EQ(MiniGameFromName(c.name, c.bonus), c.slot) << c.name << c.bonus;
}

TEST(WorldDescription, TheBonusChapterFillsItsNineFiveAndOneSlotsAndAMiniGameWordOutsideIsNone) {
  hmtest::CReportScope reports;
  CMap map(true);
  // The rich slots name places the bonus chapter lacks: a mini-game link stays, to none; an
  // exit is left out.
  EXPECT_EQ(map.Load(worldtest::BonusChapter(), "CollectorsGameInfo"), 3);
  EXPECT_TRUE(hmtest::Reported("names no mini-game of the story: \"G11\"")) << reports.All();
  EXPECT_TRUE(hmtest::Reported("names no mini-game of the story: \"G03\"")) << reports.All();
  EXPECT_TRUE(hmtest::Reported("names no place of the story (\"HO01_1_34\")")) << reports.All();
  EXPECT_EQ(map.Scene(0).exits.size(), 1u);
  EXPECT_EQ(map.Scene(0).miniGames[0].miniGame, kNoMiniGame);
  EXPECT_EQ(map.SceneCount(), 9u);
  EXPECT_EQ(map.Scene(8).index, 8);
  EXPECT_EQ(map.CloseUp(0).objects.size(), 1u);
  EXPECT_EQ(map.MiniGame(0).objects.size(), 1u);

  // A slot outside the story is reported and an empty one stands in.
  EXPECT_TRUE(map.Scene(9).objects.empty());
  EXPECT_TRUE(hmtest::Reported("No scene slot 9"));
  EXPECT_TRUE(map.CloseUp(5).objects.empty());
  EXPECT_TRUE(map.MiniGame(1).objects.empty());

  for (uint32_t word : {0u, 1u, 7u, 9u, 0xFFFFFFFFu}) EXPECT_EQ(map.CheckedMiniGame(word), word == 0 ? 0u : kNoMiniGame);
  CMap main(false);
  EXPECT_EQ(main.CheckedMiniGame(7), 7u);
  EXPECT_EQ(main.CheckedMiniGame(8), kNoMiniGame);
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  const size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

std::string Repeated(const char* text, size_t times) {
  std::string repeated;
  for (size_t i = 0; i < times; ++i) repeated += text;
  return repeated;
}

TEST(WorldDescription, ADamagedDescriptionIsReportedByFileElementAndNameAndDefaulted) {
  const std::string whole = worldtest::MainStory();
  const std::string dialog = R"(<Dialog Name="S01_1_Dialog"><Conditions>)";
  const struct {
    const char* name;
    std::string from;
    std::string to;
    const char* report;
    std::function<bool(CMap&)> defaulted;
  } kCases[] = {
      {"scene sound", "Sound=\"amb_house\"", "", "<Scene> lacks the attribute \"Sound\"",
       [](CMap& m) { return m.Scene(0).sound.empty(); }},
      {"exit direction", "Direction=\"NE\"", "", "<Exit> lacks the attribute \"Direction\"",
       [](CMap& m) { return m.Scene(0).exits[0].direction == EDirection::N; }},
      {"unknown direction", "Direction=\"NE\"", "Direction=\"Up\"", "unknown \"Direction\" \"Up\"",
       [](CMap& m) { return m.Scene(0).exits[0].direction == EDirection::N; }},
      {"exit to no scene", "Scene=\"S02\"", "Scene=\"S99\"", "\"Scene\" names no place of the story (\"S99\")",
       [](CMap& m) { return m.Scene(0).exits.size() == 1 && m.Scene(0).exits[0].target == 33; }},
      {"object flag", "Pickable=\"True\" Clue=\"False\" Draggable=\"True\"", "Clue=\"False\" Draggable=\"True\"",
       "<Object> lacks the attribute \"Pickable\"", [](CMap& m) { return !m.Scene(0).objects[0].pickable; }},
      {"animation length", "Type=\"Line\" Length=\"2\"", "Type=\"Line\"", "<Animation> lacks the attribute \"Length\"",
       [](CMap& m) { return m.Scene(0).objects[0].animations[0].length == 0.0f; }},
      {"effect skip", "SkipSeconds=\"3\"", "", "lacks the attribute \"SkipSeconds\"",
       [](CMap& m) { return m.Scene(0).objects[0].animations[7].skipSeconds == 0; }},
      {"state flag", "Sprite=\"LampOff\" Interactive=\"True\"", "Sprite=\"LampOff\"",
       "<State> lacks the attribute \"Interactive\"", [](CMap& m) { return !m.Scene(0).objects[0].states[0].interactive; }},
      {"action note", "Note=\"S01_Lamp_Note\"", "", "<Action> lacks the attribute \"Note\"",
       [](CMap& m) { return m.Scene(0).objects[0].actions[0].note.empty(); }},
      {"action section", "<MapChanges><MapChange Object=\"Marker1\" Visible=\"False\"/></MapChanges>", "",
       "<Action> lacks the section <MapChanges>", [](CMap& m) { return m.Scene(0).objects[0].actions[0].mapChanges.empty(); }},
      {"object section", "<Animations/><States/><Actions/>", "<Animations/><Actions/>", "<Object> lacks the section <States>",
       [](CMap& m) { return m.Scene(0).objects[1].states.empty(); }},
      {"scene section", "<BlendAnims><BlendAnim Sprite=\"Fire\"/></BlendAnims>", "", "<Scene> lacks the section <BlendAnims>",
       [](CMap& m) { return m.Scene(0).blendAnims.empty() && m.Scene(0).dialogs.size() == 1; }},
      {"six dialogs", dialog, "<Dialog Name=\"A\"><Conditions/></Dialog><Dialog Name=\"B\"><Conditions/></Dialog>"
       "<Dialog Name=\"C\"><Conditions/></Dialog><Dialog Name=\"D\"><Conditions/></Dialog><Dialog Name=\"E\"><Conditions/></Dialog>" + dialog,
       "<Dialogs> holds more than 5 <Dialog> items", [](CMap& m) { return m.Scene(0).dialogs.size() == 5 && m.Scene(0).dialogs[4].name == "E"; }},
      {"missing slots", "<MiniGame><Objects/><ShiningObjects/></MiniGame>\n</MiniGames>", "</MiniGames>",
       "<MiniGames> holds 7 <MiniGame> elements of the 8", [](CMap& m) { return m.MiniGame(7).objects.empty(); }},
      {"not XML", "<World>", "<World", "XML error", [](CMap& m) { return m.IsLoaded() && m.Scene(0).objects.empty(); }},
      {"nested too deep", "<World>", "<World>" + Repeated("<a>", 100000), "nested deeper than",
       [](CMap& m) { return m.IsLoaded() && m.Scene(0).objects.empty(); }},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    hmtest::CReportScope reports;
    CMap map(false);
    EXPECT_GT(map.Load(Replaced(whole, c.from, c.to), "Damaged.xml") + int(reports.Texts().size()), 0);
    EXPECT_TRUE(hmtest::Reported(c.report)) << reports.All();
    EXPECT_TRUE(hmtest::Reported("Damaged.xml")) << reports.All();
    EXPECT_TRUE(c.defaulted(map));
  }
}

TEST(WorldDescription, ReleaseFreesTheLoadedWorldAndANeverLoadedOneHoldsNothing) {
  CMap never(false);
  never.Release();
  EXPECT_FALSE(never.IsLoaded());
  const auto map = worldtest::LoadedWorld();
  EXPECT_TRUE(map->IsLoaded());
  map->Release();
  EXPECT_FALSE(map->IsLoaded());
  hmtest::CReportScope reports;
  EXPECT_TRUE(map->Scene(0).objects.empty());
}

}  // namespace
