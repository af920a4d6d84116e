// scenecheck over the sample scene description, whole and with one fault each.

#include "tests/support/ProgramRun.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class SceneCheckTest : public CToolTest {
 protected:
  SceneCheckTest() : CToolTest("scenecheck") {}

  static std::string Sample() { return ReadTextFile(HM_SOURCE_DIR "/content/App/Configs/GameInfo.xml"); }
  int Check(const std::string& description) {
    Write("GameInfo.xml", description);
    return Run(Path("GameInfo.xml") + " " HM_BINARY_DIR "/content");
  }
};

TEST_F(SceneCheckTest, TheSampleDescriptionNamesOnlyWhatExists) {
  ASSERT_EQ(Check(Sample()), 0) << m_run.errors;
  EXPECT_NE(m_run.output.find("57 scenes, 29 close-ups, 8 mini-games"), std::string::npos) << m_run.output;
}

TEST_F(SceneCheckTest, EachBrokenReferenceIsNamedWithItsPlace) {
  const struct {
    const char* from;
    const char* to;
    const char* problem;
  } kCases[] = {
      {"<Effect Object=\"S01_Crow\"", "<Effect Object=\"S01_Spoon\"",
       "scene slot 0 object \"S01_Gate\" action of \"Click\": no object \"S01_Spoon\""},
      {"<Condition Object=\"S04_Lamp\" State=\"Lit\"/></Conditions></Dialog>",
       "<Condition Object=\"S04_Lamp\" State=\"Broken\"/></Conditions></Dialog>",
       "scene slot 2 dialog \"S04_1_Dialog\": object \"S04_Lamp\" has no state \"Broken\""},
      {"Sound=\"gate_open\" Direction=\"N\"", "Sound=\"gate_creak\" Direction=\"N\"",
       "no sound \"gate_creak\" in the sound bank"},
      {"EffectName=\"S01_DoorShake\"", "EffectName=\"S01_Smoke\"",
       "animation \"Shake\": no particle emitter \"S01_Smoke\""},
      {"Next=\"Caw\"", "Next=\"Crash\"", "animation \"Fly\": no animation \"Crash\" of its own"},
      {"ReqState=\"Dark\"", "ReqState=\"Dusk\"", "no state \"Dusk\" of its own"},
      {"<Scene Name=\"S02\" Sound=\"amb_woods\">", "<Scene Name=\"S02\">", "<Scene> lacks the attribute \"Sound\""},
      {"<Scene Name=\"S02\"", "<Scene Name=\"S12\"", "\"S12\" gives index 11 to scene slot 1"},
  };
  const std::string sample = Sample();
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.from);
    std::string broken = sample;
    const size_t at = broken.find(c.from);
    ASSERT_NE(at, std::string::npos);
    broken.replace(at, std::string(c.from).size(), c.to);
    EXPECT_EQ(Check(broken), 1);
    EXPECT_NE(m_run.errors.find(c.problem), std::string::npos) << m_run.errors;
  }
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
