// The start state running its start-up script, and the debug menu's keys and the events it posts.

#include "Framework/Script/omScript.h"
#include "Framework/omAS_DebugMenu.h"
#include "Framework/omAS_Start.h"
#include "Framework/omInput.h"
#include "Framework/omInputModule.h"
#include "Quor/DirectX/InputState.h"
#include "tests/Framework/Script/ScriptTestKit.h"


using namespace Ombrel;
using scripttest::Reported;

namespace {

class StartStateTest : public scripttest::ScriptTest {
 protected:
  void SetUp() override {
    ScriptTest::SetUp();
    // "startup.lua" is read from the working directory.
    m_previousDirectory = std::filesystem::current_path();
    std::filesystem::current_path(m_root);
  }
  void TearDown() override {
    if (m_start) m_start->Release();
    m_start.reset();
    std::filesystem::current_path(m_previousDirectory);
    ScriptTest::TearDown();
  }
  void RunStart() {
    StartModules();
    m_start = std::make_unique<CAS_Start>(nullptr, &m_events, 0);
    m_start->Init();
  }
  std::string RunningScriptName() const {
    CScript* script = m_start->GetRunningScript();
    return script ? script->GetName() : "(none)";
  }

  std::filesystem::path m_previousDirectory;
  scripttest::CEventRecorder m_events;
  std::unique_ptr<CAS_Start> m_start;
};

constexpr const char* kQueueingScript =
    "Startup = {}\n"
    "function Startup:SetSequence() system.AppStart:AddAppState(7, 'go', 1.5) end\n"
    "function Startup:DoBinds() error('binds fail') end\n"
    "function Startup:ConfigureApp() system.AppStart:AddAppState(8, 'after', -1) end\n";

TEST_F(StartStateTest, TheFirstStartupResourceWhoseFileExistsIsChosen) {
  const struct {
    std::vector<const char*> present;
    const char* expected;
  } cases[] = {
      {{"DefaultStartup"}, "Scripts\\DefaultStartup.lua"},
      {{"AppStartup", "DefaultStartup"}, "Scripts\\AppStartup.lua"},
      {{"UserStartup", "AppStartup", "DefaultStartup"}, "Scripts\\UserStartup.lua"},
  };
  for (const auto& c : cases) {
    for (const char* name : {"UserStartup", "AppStartup", "DefaultStartup"}) RemoveScript(name);
    for (const char* name : c.present) WriteScript(name, "Startup = {}");
    RunStart();
    EXPECT_EQ(RunningScriptName(), c.expected);
    m_start->Release();
    m_start.reset();
    m_scripts.reset();
    m_assets.reset();
  }
}

TEST_F(StartStateTest, StartupLuaRunsFirstQueuesStatesAndAFailingFunctionDoesNotStopTheNext) {
  WriteScript("DefaultStartup", "Startup = {} function Startup:SetSequence() system.AppStart:AddAppState(1, '', 0) end");
  WriteFile("startup.lua", kQueueingScript);
  RunStart();
  EXPECT_EQ(RunningScriptName(), "startup.lua");
  EXPECT_TRUE(Reported("Script error: [string \"startup.lua\"]:3: binds fail"));
  ASSERT_EQ(m_events.events.size(), 2u);
  EXPECT_EQ(m_events.events[0].type, AE_ADD_STATE);
  EXPECT_EQ(m_events.events[0].target, 7);
  EXPECT_EQ(m_events.events[0].text, CStr("go"));
  EXPECT_FLOAT_EQ(m_events.events[0].duration, 1.5f);
  EXPECT_EQ(m_events.events[1].target, 8);
}

// A start-up script whose Startup class raises on every look-up, and whose "system" table
// refuses new fields: each failed look-up and assignment is reported and the state goes on.
TEST_F(StartStateTest, AStartupClassThatRaisesOnLookupIsReportedAndNothingRuns) {
  WriteFile("startup.lua",
            "Startup = setmetatable({}, {__index = function(_, k) error('no ' .. k) end})\n"
            "setmetatable(system, {__newindex = function(_, k) error('keep ' .. k) end})\n");
  RunStart();
  for (const char* function : CAS_Start::kStartupFunctions) {
    EXPECT_TRUE(Reported(std::string("Script error: reading the field \"") + function +
                         "\": [string \"startup.lua\"]:1: no " + function))
        << function;
  }
  EXPECT_TRUE(Reported("Script error: setting the field \"AppStart\": [string \"startup.lua\"]:2: keep AppStart"));
  EXPECT_TRUE(m_events.events.empty());
  m_start->Update(m_start->GetCountdown());
  EXPECT_EQ(m_events.events.size(), 1u);
}

TEST_F(StartStateTest, MissingFunctionsAreSkippedAndResetRestartsTheCountdown) {
  WriteFile("startup.lua",
            "Startup = {}\n"
            "function Startup:ShowLogo() system.AppStart:SetStartDelay(3) system.AppStart:Reset() end\n");
  RunStart();
  EXPECT_TRUE(m_events.events.empty());
  EXPECT_FLOAT_EQ(m_start->GetCountdown(), 3.0f);
  m_start->Update(2.9f);
  EXPECT_TRUE(m_events.events.empty());
  m_start->Update(0.2f);
  ASSERT_EQ(m_events.events.size(), 1u);
  EXPECT_EQ(m_events.events[0].type, AE_STATE_FINISHED);
}

TEST_F(StartStateTest, WithoutAnyScriptNothingIsQueuedAndReleaseClearsAppStart) {
  RemoveScript("Utils");
  RunStart();
  EXPECT_TRUE(m_events.events.empty());
  ASSERT_TRUE(Run("during = type(system.AppStart)"));
  EXPECT_EQ(Text("during"), "userdata");
  m_start->Release();
  ASSERT_TRUE(Run("after = type(system.AppStart)"));
  EXPECT_EQ(Text("after"), "nil");
}

// The debug menu with its three listed states, driven through the engine's key table.
class DebugMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetInputState();
    m_inputModule.Init();
    m_menu.OnStateRegistered("DebugMenu", 2);
    m_menu.OnStateRegistered("Menu", 3);
    m_menu.OnStateRegistered("Game", 4);
    m_menu.Attach(nullptr, nullptr, 2);
    m_menu.Init();
    m_menu.Start();
  }
  void TearDown() override {
    m_menu.Release();
    ResetInputState();
  }

  // One frame in which the key goes down, then one in which it comes up.
  void Press(uint8_t key) {
    Frame(key, 1);
    Frame(key, 0);
  }
  void Frame(uint8_t key, uint8_t down) {
    SInputState& keys = GetInputState();
    std::memcpy(keys.previous, keys.down, sizeof keys.down);
    keys.down[key] = down;
    m_inputModule.GetInput()->Update(0.02f);
    m_menu.ProcessInput(0.02f);
    m_menu.Update(0.02f);
  }
  int32_t Count(int32_t entry) const { return m_menu.GetEntries()[entry].count; }

  CInputModule m_inputModule;
  scripttest::CEventRecorder m_events;
  CAS_DebugMenu m_menu{&m_events, nullptr};
};

constexpr uint8_t kEscape = 0x1B, kLeft = 0x25, kRight = 0x27, kUp = 0x26, kDown = 0x28, kReturn = 0x0D;

TEST_F(DebugMenuTest, UpAndDownWrapAndTheCountStaysWithin0To100) {
  Press(kUp);
  EXPECT_EQ(m_menu.GetSelection(), 2) << "up from the first wraps to the last";
  Press(kDown);
  EXPECT_EQ(m_menu.GetSelection(), 0);
  for (int i = 0; i < 105; ++i) Press(kRight);
  EXPECT_EQ(Count(0), 100);
  for (int i = 0; i < 103; ++i) Press(kLeft);
  EXPECT_EQ(Count(0), 0);
  EXPECT_EQ(Count(1), 1) << "only the selected entry changes";
  EXPECT_TRUE(m_events.events.empty());
}

TEST_F(DebugMenuTest, ReturnQueuesTheStateCountTimesThenTheMenuAndFinishes) {
  Press(kDown);
  Press(kRight);
  Press(kReturn);
  ASSERT_EQ(m_events.events.size(), 4u);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(m_events.events[i].type, AE_ADD_STATE);
    EXPECT_EQ(m_events.events[i].target, 3);
    EXPECT_FLOAT_EQ(m_events.events[i].duration, -1.0f);
  }
  EXPECT_EQ(m_events.events[2].target, 2);
  EXPECT_EQ(m_events.events[3].type, AE_STATE_FINISHED);

  m_events.events.clear();
  for (int i = 0; i < 2; ++i) Press(kLeft);
  Press(kReturn);
  ASSERT_EQ(m_events.events.size(), 2u) << "a count of 0 comes straight back to the menu";
  EXPECT_EQ(m_events.events[0].target, 2);
}

TEST_F(DebugMenuTest, EscapeLeavesOnlyAfterTheFirstSecondAndAHeldKeyPressesOnce) {
  Press(kEscape);
  EXPECT_TRUE(m_events.events.empty()) << "the timer is below one second";
  for (int i = 0; i < 50; ++i) Frame(kDown, 1);
  EXPECT_EQ(m_menu.GetSelection(), 1) << "a held key is one press";
  Frame(kDown, 0);
  Press(kEscape);
  ASSERT_EQ(m_events.events.size(), 1u);
  EXPECT_EQ(m_events.events[0].type, AE_STATE_FINISHED);
}

}  // namespace
