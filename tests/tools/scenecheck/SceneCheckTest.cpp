// scenecheck over the sample scene description, whole and with one fault each.

#include "tests/support/ProgramRun.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// One fault put into the sample, and what the check must say about it.
struct SBreak {
  const char* from;
  const char* to;
  const char* problem;
};

class SceneCheckTest : public CToolTest {
 protected:
  SceneCheckTest() : CToolTest("scenecheck") {}

  static std::string Sample() { return ReadTextFile(HM_SOURCE_DIR "/content/App/Configs/GameInfo.xml"); }
  int Check(const std::string& description, const std::string& options = "") {
    Write("GameInfo.xml", description);
    return Run(Path("GameInfo.xml") + " " HM_BINARY_DIR "/content" + options);
  }
  // The sample with each fault alone fails the check, which names the fault.
  template <size_t kCount>
  void ExpectEachBreakNamed(const SBreak (&breaks)[kCount], const std::string& options = "") {
    const std::string sample = Sample();
    for (const SBreak& c : breaks) {
      SCOPED_TRACE(c.from);
      std::string broken = sample;
      const size_t at = broken.find(c.from);
      ASSERT_NE(at, std::string::npos);
      broken.replace(at, std::string(c.from).size(), c.to);
      EXPECT_EQ(Check(broken, options), 1);
      EXPECT_NE(m_run.errors.find(c.problem), std::string::npos) << m_run.errors;
    }
  }
};

TEST_F(SceneCheckTest, TheSampleDescriptionNamesOnlyWhatExists) {
  ASSERT_EQ(Check(Sample()), 0) << m_run.errors;
  EXPECT_NE(m_run.output.find("57 scenes, 29 close-ups, 8 mini-games"), std::string::npos) << m_run.output;
}

// An effect on a place the player is not in is kept for that place's next visit: the check
// names it, but it is no fault.
TEST_F(SceneCheckTest, AnEffectOnAPlaceWhoseLayoutIsNotLoadedIsNamedAsANote) {
  std::string description = Sample();
  ASSERT_EQ(Check(description), 0) << m_run.errors;
  EXPECT_EQ(m_run.output.find("whose layout is not loaded"), std::string::npos) << m_run.output;
  const std::string from = "<Effect Object=\"S01_Crow\"";
  description.replace(description.find(from), from.size(), "<Effect Object=\"S02_Leaf\"");
  ASSERT_EQ(Check(description), 0) << m_run.errors;
  EXPECT_NE(m_run.output.find("scene slot 0 object \"S01_Gate\" action of \"Click\": the effect on \"S02_Leaf\" "
                              "changes scene slot 1, whose layout is not loaded then"),
            std::string::npos)
      << m_run.output;
}

TEST_F(SceneCheckTest, EachBrokenReferenceIsNamedWithItsPlace) {
  const SBreak kCases[] = {
      {"<Effect Object=\"S01_Crow\"", "<Effect Object=\"S01_Spoon\"",
       "scene slot 0 object \"S01_Gate\" action of \"Click\": no object \"S01_Spoon\""},
      {"<Condition Object=\"S04_Lamp\" State=\"Lit\"/></Conditions></Dialog>",
       "<Condition Object=\"S04_Lamp\" State=\"Broken\"/></Conditions></Dialog>",
       "scene slot 2 dialog \"S04_1_Dialog\": object \"S04_Lamp\" has no state \"Broken\""},
      {"Sound=\"gate_open\" Direction=\"N\"", "Sound=\"gate_creak\" Direction=\"N\"",
       "no sound \"gate_creak\" in the sound bank"},
      {"EffectName=\"S01_DoorShake\"", "EffectName=\"S01_Smoke\"",
       "animation \"Shake\": no particle emitter \"S01_Smoke\""},
      // In the effect files, but a close-up's: a location does not draw it.
      {"EffectName=\"S01_DoorShake\"", "EffectName=\"I01_Background\"",
       "the emitter \"I01_Background\" is not in the effects this place draws"},
      {"<MapChange Object=\"root/Scene02/PointOfInterest1\"", "<MapChange Object=\"S01_Gate\"",
       "scene slot 0 object \"S01_Gate\" action of \"Click\": no map marker \"S01_Gate\""},
      {"Next=\"Caw\"", "Next=\"Crash\"", "animation \"Fly\": no animation \"Crash\" of its own"},
      {"ReqState=\"Dark\"", "ReqState=\"Dusk\"", "no state \"Dusk\" of its own"},
      {"<Scene Name=\"S02\" Sound=\"amb_woods\">", "<Scene Name=\"S02\">", "<Scene> lacks the attribute \"Sound\""},
      {"<Scene Name=\"S02\"", "<Scene Name=\"S12\"", "\"S12\" gives index 11 to scene slot 1"},
  };
  ExpectEachBreakNamed(kCases);
}

// The world can be played through only when what it asks for exists: an item an action takes is
// one some place lets the player take, every place, close-up and puzzle is led to, and a close-up
// stays open while it shows an item to take.
TEST_F(SceneCheckTest, AnItemNoPlaceGivesAndAPlaceNothingLeadsToAreNamed) {
  const SBreak kCases[] = {
      {"<Object Name=\"S01_Knife\" State=\"\" Sprite=\"S01_Knife\" Pickable=\"True\"",
       "<Object Name=\"S01_Knife\" State=\"\" Sprite=\"S01_Knife\" Pickable=\"False\"",
       "scene slot 3 object \"S05_Candle\" action of \"S01_Knife\": the item \"S01_Knife\" is used, but no place gives it"},
      // The search's reward is what the lock's dust is wiped with.
      {"Name=\"HO04_1_Tissue\" State=\"\" Sprite=\"HO04_1_Tissue\" Pickable=\"False\" Clue=\"False\" Draggable=\"False\" Reward=\"True\"",
       "Name=\"HO04_1_Tissue\" State=\"\" Sprite=\"HO04_1_Tissue\" Pickable=\"False\" Clue=\"False\" Draggable=\"False\" Reward=\"False\"",
       "mini-game slot 2 object \"G03_Dust\" action of \"HO04_1_Tissue\": the item \"HO04_1_Tissue\" is used"},
      // The cellar is the only way on to the later places: they, their close-ups and puzzles are cut off.
      {"<Exit Scene=\"S12\" Sprite=\"S01_ExitCellar\"", "<Exit Scene=\"S11\" Sprite=\"S01_ExitCellar\"",
       "scene slot 11: no way leads here from the first place"},
      {"<Exit Scene=\"S12\" Sprite=\"S01_ExitCellar\"", "<Exit Scene=\"S11\" Sprite=\"S01_ExitCellar\"",
       "mini-game slot 4: no place or close-up reached links to it"},
      {"<Intermediate Name=\"I01\" Sprite=\"S01_Mailbox\"", "<Intermediate Name=\"I02\" Sprite=\"S01_Mailbox\"",
       "close-up slot 0: no place reached links to it"},
      {"<MiniGame Name=\"G11\" Sprite=\"I01_Dial\"", "<MiniGame Name=\"G01\" Sprite=\"I01_Dial\"",
       "mini-game slot 7: no place or close-up reached links to it"},
      // The safe's handle would be closed away with the safe's close-up once its puzzle is passed.
      {"<State Name=\"\" Sprite=\"root/DiamondHandle\" Interactive=\"True\"/>",
       "<State Name=\"\" Sprite=\"root/DiamondHandle\" Interactive=\"False\"/>",
       "close-up slot 7 object \"I08_Diamond Handle\": an item to take, but not interactive in its state \"\""},
  };
  ExpectEachBreakNamed(kCases);
}

// Each place's layout must hold every sprite the description names for it: a renamed sprite of
// each kind is named with its place and layout, and a place without a layout is one problem.
TEST_F(SceneCheckTest, EverySpriteOfAPlaceIsAnObjectOfItsLayout) {
  ASSERT_EQ(Check(Sample(), " --layouts"), 0) << m_run.errors;
  const SBreak kCases[] = {
      {"State=\"Locked\" Sprite=\"S01_GateClosed\"", "State=\"Locked\" Sprite=\"S01_Gate\"",
       "scene slot 0 object \"S01_Gate\": no sprite \"S01_Gate\" in the layout Scene01.2dl"},
      {"<State Name=\"Lit\" Sprite=\"S04_LampLit\"", "<State Name=\"Lit\" Sprite=\"S04_LampOn\"",
       "scene slot 2 object \"S04_Lamp\" state \"Lit\": no sprite \"S04_LampOn\" in the layout Scene03.2dl"},
      {"Sprite=\"S07_ExitYard\"", "Sprite=\"S07_ExitGarden\"",
       "scene slot 4 exit: no sprite \"S07_ExitGarden\" in the layout Scene05.2dl"},
      {"Sprite=\"S01_Mailbox\"", "Sprite=\"S01_Postbox\"", "scene slot 0 close-up link: no sprite \"S01_Postbox\""},
      {"Sprite=\"S02_Lock\"", "Sprite=\"S02_Padlock\"", "scene slot 1 mini-game link: no sprite \"S02_Padlock\""},
      {"<BlendAnim Sprite=\"S05_CandleFlame\"/>", "<BlendAnim Sprite=\"S05_Flame\"/>",
       "scene slot 3 decoration: no sprite \"S05_Flame\" in the layout Scene04.2dl"},
      {"Name=\"G11\" Sprite=\"I01_Dial\"", "Name=\"G11\" Sprite=\"I01_Wheel\"",
       "close-up slot 0 mini-game link: no sprite \"I01_Wheel\" in the layout Intermediate01.2dl"},
  };
  ExpectEachBreakNamed(kCases, " --layouts");
  // A place without its layout is one problem.
  Write("GameInfo.xml", Sample());
  EXPECT_EQ(Run(Path("GameInfo.xml") + " " + m_folder + " --layouts"), 1);
  EXPECT_NE(m_run.errors.find("scene slot 0: no readable layout Scene01.2dl"), std::string::npos) << m_run.errors;
}

// Everything the sample's places ask the player to click can be reached on every screen shape; a
// way out drawn under the bar (the yard's fog), a thing to take drawn under another (the
// close-up's gear given the keys' picture) and a search without its way out are named with their
// place, layout, object and shape.
TEST_F(SceneCheckTest, WhatAPlaceAsksToBeClickedLiesClearOfTheBarAndOfEachOther) {
  ASSERT_EQ(Check(Sample(), " --reach"), 0) << m_run.errors;
  const SBreak kCases[] = {
      {"Sprite=\"S01_ExitYard\"", "Sprite=\"S01_Fog\"",
       "scene slot 0: Scene01.2dl at 16:9: \"S01_Fog\" (-1.422..1.422, -0.956..-0.600) lies under the display's "
       "\"root/HUD16:9/hudBar\""},
      {"Sprite=\"root/Gear\"", "Sprite=\"root/Keys foreground\"",
       "close-up slot 4: Intermediate05.2dl: \"root/Keys foreground\" and \"root/CarKeys\" overlap"},
      {"Sprite=\"S01_ExitYard\" Open=\"True\" Sound=\"foot_gravel\" Direction=\"E\"",
       "Sprite=\"S01_ExitYard\" Open=\"True\" Sound=\"foot_gravel\" Direction=\"HO\"",
       "scene slot 4: Scene05.2dl: no object \"root/Exit1\" to click"},
  };
  ExpectEachBreakNamed(kCases, " --reach");
}

// Every note an action shows is a phrase of the dictionary, in each language it carries.
TEST_F(SceneCheckTest, EveryNoteIsAPhraseInEachLanguage) {
  const std::string dictionary = " --dictionary " + Path("Dictionary.xml");
  Write("Dictionary.xml", ReadTextFile(HM_SOURCE_DIR "/content/App/Configs/GameDictionary.xml"));
  ASSERT_EQ(Check(Sample(), dictionary), 0) << m_run.errors;
  const SBreak kCases[] = {
      {"Note=\"S04_LampNote\"", "Note=\"S04_LampSays\"",
       "scene slot 2 object \"S04_Lamp\" action of \"Click\": no phrase \"S04_LampSays\" in "},
  };
  ExpectEachBreakNamed(kCases, dictionary);
  std::string dropped = ReadTextFile(HM_SOURCE_DIR "/content/App/Configs/GameDictionary.xml");
  const size_t note = dropped.find("<ru Text=\"Тёплый свет");
  ASSERT_NE(note, std::string::npos);
  dropped.erase(note, dropped.find('\n', note) - note);
  Write("Dictionary.xml", dropped);
  EXPECT_EQ(Check(Sample(), dictionary), 1);
  EXPECT_NE(m_run.errors.find("the phrase \"S04_LampNote\" has no \"ru\" text"), std::string::npos) << m_run.errors;
  EXPECT_EQ(Check(Sample(), " --dictionary " + Path("missing.xml")), 1);
  EXPECT_NE(m_run.errors.find("missing.xml: cannot be read"), std::string::npos) << m_run.errors;
}

TEST_F(SceneCheckTest, UsageAndUnreadableInputsFail) {
  EXPECT_EQ(Run("--help"), 0);
  EXPECT_NE(m_run.output.find("usage: scenecheck"), std::string::npos);
  EXPECT_EQ(Run(Path("missing.xml") + " " HM_BINARY_DIR "/content"), 1);
  EXPECT_NE(m_run.errors.find("missing.xml: cannot be read"), std::string::npos) << m_run.errors;
  Write("GameInfo.xml", Sample());
  EXPECT_EQ(Run(Path("GameInfo.xml") + " " + Path("no-content")), 1);
  EXPECT_NE(m_run.errors.find("no such content folder"), std::string::npos) << m_run.errors;
}

}  // namespace
