// Reading effect descriptions and looking parameters up.

#include "Common/Particles/ParticleText.h"
#include "ParticleTestSupport.h"

#include <clocale>
#include <cstdlib>
#include <fstream>
#include <string>

using particle_test::ParticleTest;
using particle_test::Reports;

namespace {

const char* const kTwoEffects = R"(<?xml version="1.0"?>
<eFFECTS>
  <!-- comments between elements are skipped -->
  <Effect name="Sparks">
    <StandartEmiter value="7">
      <ParticleCount iValue="40"/>
      <LifeTime fValue="1.5"/>
      <LifeTime fValue="9"/>
      <ParticleCount fValue="2.25"/>
      <Comma fValue="1,5"/>
      <Unknown xValue="3"/>
      <Texture tValue="spark.mpt"/>
    </StandartEmiter>
    <StandardMaterial value="-2">
      <LifeTime fValue="4"/>
    </StandardMaterial>
  </Effect>
  <Effect name="Empty"/>
</eFFECTS>)";

class EffectDescriptionTest : public ParticleTest {};

TEST_F(EffectDescriptionTest, ReadsEffectsGroupsAndTypedParameters) {
  auto sets = LoadEffects(kTwoEffects);
  ASSERT_EQ(sets.size(), 2u);
  EXPECT_EQ(names[0], "Sparks");
  EXPECT_EQ(names[1], "Empty");
  EXPECT_EQ(g_effectLibrary->GetCount(), 0u);  // cleared, the sets live on
  EXPECT_EQ(g_effectLibrary->GetRecord(0), nullptr);

  const CEffectParams& sparks = *sets[0];
  EXPECT_EQ(sparks.GetGroupValues(), (std::vector<int>{7, -2}));
  EXPECT_EQ(sets[1]->GetGroupCount(), 0u);
  EXPECT_EQ(sets[1]->GetId(), sparks.GetId() + 1);

  int count = -1;
  float life = -1.0f, countAsFloat = -1.0f, comma = -1.0f, materialLife = -1.0f;
  const char* texture = nullptr;
  EXPECT_TRUE(sparks.GetIntParam("standartemiter", "PARTICLECOUNT", count));
  EXPECT_EQ(count, 40);
  // An integer and a float of the same name do not hide each other; the first float wins.
  EXPECT_TRUE(sparks.GetFloatParam("StandartEmiter", "ParticleCount", countAsFloat));
  EXPECT_FLOAT_EQ(countAsFloat, 2.25f);
  EXPECT_TRUE(sparks.GetFloatParam("StandartEmiter", "LifeTime", life));
  EXPECT_FLOAT_EQ(life, 1.5f);
  EXPECT_TRUE(sparks.GetFloatParam("StandardMaterial", "LifeTime", materialLife));
  EXPECT_FLOAT_EQ(materialLife, 4.0f);
  // No comma conversion in parameter values: only the leading number counts.
  EXPECT_TRUE(sparks.GetFloatParam("StandartEmiter", "Comma", comma));
  EXPECT_FLOAT_EQ(comma, 1.0f);
  EXPECT_TRUE(sparks.GetTextParam("StandartEmiter", "Texture", texture));
  EXPECT_STREQ(texture, "spark.mpt");
}

TEST_F(EffectDescriptionTest, AbsentParameterLeavesTheOutValueAlone) {
  auto sets = LoadEffects(kTwoEffects);
  const CEffectParams& sparks = *sets[0];
  int count = 123;
  float life = 4.5f;
  const char* text = "preset";
  EXPECT_FALSE(sparks.GetIntParam("StandardMaterial", "ParticleCount", count));  // wrong group
  EXPECT_FALSE(sparks.GetIntParam("StandartEmiter", "Unknown", count));         // skipped attribute
  EXPECT_FALSE(sparks.GetFloatParam("StandartEmiter", "Texture", life));        // other type
  EXPECT_FALSE(sparks.GetTextParam("StandartEmiter", "Missing", text));
  EXPECT_EQ(count, 123);
  EXPECT_FLOAT_EQ(life, 4.5f);
  EXPECT_STREQ(text, "preset");
}

TEST_F(EffectDescriptionTest, SetFloatParamChangesOnlyTheFirstExistingEntry) {
  auto sets = LoadEffects(kTwoEffects);
  CEffectParams& sparks = *sets[0];
  sparks.SetFloatParam("STANDARTEMITER", "lifetime", 2.0f);
  sparks.SetFloatParam("StandartEmiter", "pos_x", 5.0f);
  float life = 0.0f, x = -1.0f;
  EXPECT_TRUE(sparks.GetFloatParam("StandartEmiter", "LifeTime", life));
  EXPECT_FLOAT_EQ(life, 2.0f);
  EXPECT_FALSE(sparks.GetFloatParam("StandartEmiter", "pos_x", x));
}

TEST_F(EffectDescriptionTest, OtherRootIsTheOnlyEffectAndLongNamesAreCut) {
  const std::string longName(600, 'n');
  auto sets = LoadEffects(("<Smoke title=\"" + longName + "\"><G v=\"1\"><A iValue=\"3\"/></G></Smoke>").c_str());
  ASSERT_EQ(sets.size(), 1u);
  EXPECT_EQ(names[0], longName.substr(0, 511));
  int a = 0;
  EXPECT_TRUE(sets[0]->GetIntParam("g", "a", a));
  EXPECT_EQ(a, 3);

  TiXmlDocument empty;
  EXPECT_TRUE(TakeEffects(empty).empty());
}

TEST_F(EffectDescriptionTest, BadNamesAndEmptyTextsAreReportedAndKept) {
  const std::string longName(64, 'p');
  auto sets = LoadEffects(("<Effects><E n=\"x\"><G v=\"1\"><" + longName + " iValue=\"5\"/><T tValue=\"\"/></G></E></Effects>").c_str());
  ASSERT_EQ(sets.size(), 1u);
  ASSERT_EQ(Reports().size(), 2u);
  EXPECT_NE(Reports()[0].find("1 to 63 characters"), std::string::npos);
  EXPECT_NE(Reports()[1].find("empty text value"), std::string::npos);
  int value = 0;
  EXPECT_TRUE(sets[0]->GetIntParam("G", longName.c_str(), value));
  EXPECT_EQ(value, 5);
}

TEST(ParticleTextTest, NumbersReadLikeTheCLibraryInTheCLocale) {
  struct SCase {
    const char* text;
    float asFloat;
    int asInt;
  };
  const SCase cases[] = {
      {"1.5", 1.5f, 1},      {"  -2.25e1xyz", -22.5f, -2}, {"+7", 7.0f, 7},      {"1,5", 1.0f, 1},
      {".5", 0.5f, 0},       {"abc", 0.0f, 0},             {"", 0.0f, 0},        {"+-3", 0.0f, 0},
      {"1e999", 0.0f, 1},    {"99999999999", 1e11f, 2147483647}, {"-99999999999", -1e11f, -2147483647 - 1},
  };
  for (const SCase& c : cases) {
    EXPECT_FLOAT_EQ(ParseLeadingFloat(c.text), c.asFloat) << c.text;
    EXPECT_EQ(ParseLeadingInt(c.text), c.asInt) << c.text;
  }
  EXPECT_EQ(ParseLeadingFloat(nullptr), 0.0f);
}

// Builds a German locale into the build folder when the system has none installed, so the
// test does not depend on what the machine happens to carry.
bool SelectCommaDecimalLocale() {
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) return true;
  // The C library remembers a failed look-up, so the locale is built before it is asked for.
  const std::string folder = std::string(HM_BINARY_DIR) + "/test-locales";
  if (!std::ifstream(folder + "/de_DE.UTF-8/LC_NUMERIC")) {
    const std::string command = "mkdir -p " + folder + " && localedef -i de_DE -f UTF-8 " + folder +
                                "/de_DE.UTF-8 >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) return false;
  }
  setenv("LOCPATH", folder.c_str(), 1);
  return std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
}

TEST_F(EffectDescriptionTest, NumbersDoNotFollowTheUserLocale) {
  if (!SelectCommaDecimalLocale()) {
    unsetenv("LOCPATH");
    GTEST_SKIP() << "no comma-decimal locale available";
  }
  ASSERT_EQ(std::atof("1,5"), 1.5);  // the locale is really in force
  auto sets = LoadEffects("<E n=\"x\"><G v=\"1\"><F fValue=\"2.75\"/><C fValue=\"2,75\"/></G></E>");
  std::setlocale(LC_NUMERIC, "C");
  unsetenv("LOCPATH");
  float f = 0.0f, c = 0.0f;
  ASSERT_TRUE(sets[0]->GetFloatParam("G", "F", f));
  ASSERT_TRUE(sets[0]->GetFloatParam("G", "C", c));
  EXPECT_FLOAT_EQ(f, 2.75f);
  EXPECT_FLOAT_EQ(c, 2.0f);
}

}  // namespace
