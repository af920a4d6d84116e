// Application objects in Lua: argument types and conversions, self and argument-count checks,
// the exposed methods and an object's end.

#include "Framework/Script/omExposedObjects.h"
#include "Framework/omAppConfig.h"
#include "Framework/omLogo.h"
#include "tests/Framework/Script/ScriptTestKit.h"

using namespace Ombrel;
using scripttest::Reported;

namespace {

class LuaExposureTest : public scripttest::ScriptTest {
 protected:
  void SetUp() override {
    ScriptTest::SetUp();
    StartModules();
    m_config = std::make_unique<CAppConfig>();
    m_logo = std::make_unique<CLogo>();
    BindAppConfig(System(), m_config.get());
    BindLogo(System(), m_logo.get());
  }
  void TearDown() override {
    m_logo.reset();
    m_config.reset();
    ScriptTest::TearDown();
  }
  std::unique_ptr<CAppConfig> m_config;
  std::unique_ptr<CLogo> m_logo;
};

TEST_F(LuaExposureTest, ArgumentsAreTestedAndConvertedByType) {
  struct SCase {
    const char* call;
    const char* error;  // part of the reported error, or null when the call works
  };
  const SCase cases[] = {
      {"system.AppConfig:SetFPSLimitI(2.5)", nullptr},   // ties to even: 2
      {"system.AppConfig:SetFPSLimitI('1.5')", nullptr},  // a numeric string counts: 2
      {"system.AppConfig:SetFullscreen(1)", "bool expected, got number"},
      {"system.AppConfig:SetPlayerCount(2, 'yes')", "bool expected, got string"},
      {"system.AppConfig:SetPlayerCount({}, true)", "int expected, got table"},
      {"system.Logo:SetMinTime('soon')", "float expected, got string"},
      {"system.Logo:SetPos(3)", "const Vector2 expected, got number"},
      {"system.Logo:SetBackgroundColor('red')", "const RGBA expected, got string"},
      {"system.Logo:ShowStatic(7, false)", nullptr},  // a number is a text
      {"system.Logo:ShowStatic(nil, false)", "const char* expected, got nil"},
      {"system.Logo:SetPos({x = 10})", nullptr},
      {"system.Logo:SetBackgroundColor({r = 300, g = -1, a = 255})", nullptr},
  };
  for (const SCase& c : cases) {
    scripttest::Reports().clear();
    EXPECT_EQ(Run(c.call), c.error == nullptr) << c.call;
    if (c.error) {
      EXPECT_TRUE(Reported(c.error)) << c.call;
    }
  }
  EXPECT_EQ(m_config->GetFrameRateMode(), 2);
  EXPECT_FLOAT_EQ(m_logo->GetSettings().position.x, 10.0f);
  EXPECT_FLOAT_EQ(m_logo->GetSettings().position.y, 0.0f);
  EXPECT_EQ(m_logo->GetSettings().background, 0xFF2CFF00u) << "low 8 bits, no clamping";
  ASSERT_EQ(m_logo->GetShown().size(), 1u);
  EXPECT_EQ(m_logo->GetShown()[0], CStr("7"));
}

TEST_F(LuaExposureTest, ResultsComeBackAsLuaValues) {
  m_config->SetWidescreen(true);
  ASSERT_TRUE(Run("w = system.AppConfig:GetScreenWidth() h = system.AppConfig:GetScreenHeight() "
                  "wide = tostring(system.AppConfig:IsWidescreen()) n = system.AppConfig:GetMaxPlayerCount() "
                  "r = system.AppConfig:GetAspectRatio()"));
  EXPECT_EQ(Number("w"), 800);
  EXPECT_EQ(Number("h"), 600);
  EXPECT_EQ(Text("wide"), "true");
  EXPECT_EQ(Number("n"), 4);
  EXPECT_FLOAT_EQ(static_cast<float>(Number("r")), 1.0f);
  ASSERT_TRUE(Run("system.AppConfig:SetPlayerCount(2, false) p = system.AppConfig:GetPlayerCount()"));
  EXPECT_EQ(Number("p"), 2);
}

TEST_F(LuaExposureTest, SelfMustBeAnObjectOfTheClassAndTheArgumentCountMustFit) {
  lua_pushlightuserdata(Lua(), m_config.get());
  lua_setglobal(Lua(), "light");
  const struct {
    const char* call;
    const char* error;
  } cases[] = {
      {"system.AppConfig.GetScreenWidth()", "GetScreenWidth takes 0 arguments after self, got -1"},
      {"system.Logo.SetMinTime(system.AppConfig, 1)", "SetMinTime needs a Ombrel::CLogo as self, got userdata"},
      {"system.AppConfig.GetScreenWidth(light)", "Failed to cast table: GetScreenWidth"},
      {"system.AppConfig.GetScreenWidth({})", "Failed to cast table: GetScreenWidth"},
      {"system.AppConfig:SetFPSLimitI()", "SetFPSLimitI takes 1 argument after self, got 0"},
      {"system.AppConfig:SetPlayerCount(1, true, 3)", "SetPlayerCount takes 2 arguments after self, got 3"},
  };
  for (const auto& c : cases) {
    scripttest::Reports().clear();
    EXPECT_FALSE(Run(c.call)) << c.call;
    EXPECT_TRUE(Reported(c.error)) << c.call << ": " << (scripttest::Reports().empty() ? "" : scripttest::Reports()[0]);
  }
  EXPECT_FLOAT_EQ(m_logo->GetSettings().minTime, 0.0f);
}

TEST_F(LuaExposureTest, OneUserdataPerObjectNoNewFieldsAndTheClassTableReachesTheMethods) {
  BindAppConfig(System(), m_config.get());
  ASSERT_TRUE(Run("first = system.AppConfig"));
  BindAppConfig(System(), m_config.get());
  ASSERT_TRUE(Run("same = tostring(first == system.AppConfig) "
                  "system.AppConfig.Extra = 1 extra = tostring(system.AppConfig.Extra) "
                  "viaClass = _G['Ombrel::CAppConfig'].GetScreenWidth(system.AppConfig)"));
  EXPECT_EQ(Text("same"), "true");
  EXPECT_EQ(Text("extra"), "nil");
  EXPECT_EQ(Number("viaClass"), 800);
}

TEST_F(LuaExposureTest, AScriptThatKeptADeletedObjectGetsAnErrorInsteadOfReachingIt) {
  ASSERT_TRUE(Run("kept = system.Logo"));
  m_logo.reset();
  EXPECT_FALSE(Run("kept:SetMinTime(1)"));
  EXPECT_TRUE(Reported("attempt to index global 'kept' (a userdata value)"));
}

}  // namespace
