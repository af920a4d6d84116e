// The application's frame step, its state machine and its switch, with recording modules and
// states.

#include <gtest/gtest.h>

#include "Framework/omAS_Start.h"
#include "Platform/PlatformWindow.h"
#include "Quor/DirectX/Quordx.h"
#include "Quor/ReportError.h"
#include "Quor/Timer.h"
#include "tests/Framework/FrameworkTestKit.h"
#include "tests/support/engine/FakeClock.h"

#include <memory>

using namespace Ombrel;
using namespace fwtest;

namespace {

class ApplicationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_app = std::make_unique<CRecordingApplication>();
    m_a = Register("A", {kModuleAsset, kModuleDebug, kModulePhysics, kModuleRender, kModuleSound});
    m_b = Register("B", {kModuleAsset, kModuleDebug, kModuleRender});
    m_c = Register("C", {kModuleAsset, kModuleDebug});
    m_app->Start();
    Log().clear();
  }
  void TearDown() override { DeleteApplication(m_app); }

  CRecordingState* Register(const char* name, std::initializer_list<int32_t> modules) {
    auto* state = new CRecordingState(m_app.get(), name, modules);
    m_app->RegisterState(name, state, nullptr);
    return state;
  }
  // Runs `name` next: a change request carried out by one frame step.
  void EnterState(CRecordingState* state, float duration = -1.0f) {
    m_app->HandleEvent(Event(AE_CHANGE_STATE, state->GetId(), duration));
    m_app->UpdateFrame(0.01f);
    ASSERT_EQ(m_app->GetCurrentStateId(), state->GetId());
    Log().clear();
  }

  std::unique_ptr<CRecordingApplication> m_app;
  CRecordingState* m_a = nullptr;
  CRecordingState* m_b = nullptr;
  CRecordingState* m_c = nullptr;
};

TEST_F(ApplicationTest, ModulesAreOrderedByWeightAndTheKeptOnesInitialisedAtStart) {
  std::vector<std::string> names;
  for (const IModule* module : m_app->GetModules()) names.push_back(module->GetName());
  EXPECT_EQ(names, (std::vector<std::string>{"Asset", "Debug", "Save", "Input", "Script",
                                             "Network", "Physics", "Render", "Sound"}));
  const auto listNames = [&](int index) {
    std::vector<std::string> out;
    for (const IModule* module : m_app->GetUpdateList(index)) out.push_back(module->GetName());
    return out;
  };
  EXPECT_EQ(listNames(0), (std::vector<std::string>{"Asset", "Debug", "Save", "Input", "Script", "Network"}));
  EXPECT_EQ(listNames(1), (std::vector<std::string>{"Physics"}));
  EXPECT_EQ(listNames(2), (std::vector<std::string>{"Render", "Sound"}));

  // A fresh application logs its start: kept modules first, then those of the start state.
  DeleteApplication(m_app);
  Log().clear();
  m_app = std::make_unique<CRecordingApplication>();
  m_app->Start();
  EXPECT_EQ(Log(), (CallLog{"init Asset", "init Save", "init Input", "init Script", "init Network",
                            "init Debug", "init Render"}));
  EXPECT_EQ(m_app->GetCurrentStateId(), m_app->GetStartStateId());
  EXPECT_FLOAT_EQ(m_app->GetStartState()->GetCountdown(), CAS_Start::kDefaultStartDelay);
}

TEST_F(ApplicationTest, AFrameStepRunsTheModuleListsAroundTheStateInTheirOrder) {
  EnterState(m_a);
  m_app->UpdateFrame(0.01f);
  EXPECT_EQ(Log(), (CallLog{"update Asset", "update Debug", "update Save", "update Input",
                            "update Script", "update Network", "A ProcessInput", "update Physics",
                            "A Update", "update Render", "update Sound"}));
  // Modules that the state does not need are not initialised and so not updated.
  EnterState(m_c);
  m_app->UpdateFrame(0.01f);
  EXPECT_EQ(Log(), (CallLog{"update Asset", "update Debug", "update Save", "update Input",
                            "update Script", "update Network", "C ProcessInput", "C Update"}));
}

TEST_F(ApplicationTest, ASwitchRunsItsStepsInOrder) {
  EnterState(m_a);
  CRecordingLoading loading;
  auto* d = new CRecordingState(m_app.get(), "D", {kModuleAsset, kModuleDebug, kModuleRender});
  const int32_t id = m_app->RegisterState("D", d, &loading);
  m_app->HandleEvent(Event(AE_CHANGE_STATE, id, -1.0f, "text", 5));
  m_app->UpdateFrame(0.01f);
  // Render is needed by both states but not kept: it is shut down and initialised again.
  const CallLog expected{"update Asset", "update Debug", "update Save", "update Input",
                         "update Script", "update Network", "A ProcessInput", "update Physics",
                         "A Update", "update Render", "update Sound",
                         "D SetArgs text", "D SetParam 5", "A Release", "shutdown Sound",
                         "shutdown Render", "shutdown Physics", "shutdown Debug", "init Debug",
                         "init Render", "D PreLoad", "loading Begin", "D Init", "loading End",
                         "D Start"};
  EXPECT_EQ(Log(), expected);
  EXPECT_FLOAT_EQ(m_app->GetStateTime(), 0.0f);
}

// What one frame step makes of the events posted before it.
struct SEventCase {
  const char* name;
  std::vector<std::pair<int32_t, char>> events;  // type and target state ('A'..'C', or 'x')
  char expectedState;
  std::string expectedQueue;
};

TEST_F(ApplicationTest, EventsMoveThroughTheSequenceOfStates) {
  const SEventCase cases[] = {
      {"a queued state waits for the current one", {{AE_ADD_STATE, 'B'}}, 'A', "B"},
      {"finished runs the front of the queue", {{AE_ADD_STATE, 'B'}, {AE_ADD_STATE, 'C'}, {AE_STATE_FINISHED, 'x'}}, 'B', "C"},
      {"a change goes first and keeps the queue", {{AE_ADD_STATE, 'B'}, {AE_CHANGE_STATE, 'C'}}, 'C', "B"},
      {"finishing twice drops the first record", {{AE_ADD_STATE, 'B'}, {AE_ADD_STATE, 'C'}, {AE_STATE_FINISHED, 'x'}, {AE_STATE_FINISHED, 'x'}}, 'C', ""},
      {"exit goes to the exit state before the queue", {{AE_ADD_STATE, 'B'}, {AE_EXIT, 'x'}}, 'E', "B"},
      {"finished with an empty queue goes to exit", {{AE_STATE_FINISHED, 'x'}}, 'E', ""},
      {"reset changes nothing", {{AE_RESET, 'x'}}, 'A', ""},
  };
  for (const SEventCase& c : cases) {
    SCOPED_TRACE(c.name);
    TearDown();
    SetUp();
    EnterState(m_a);
    const auto idOf = [&](char name) {
      switch (name) {
        case 'A': return m_a->GetId();
        case 'B': return m_b->GetId();
        case 'C': return m_c->GetId();
        case 'E': return m_app->GetExitStateId();
        default: return -1;
      }
    };
    for (const auto& [type, target] : c.events) m_app->HandleEvent(Event(type, idOf(target)));
    m_app->UpdateFrame(0.01f);
    EXPECT_EQ(m_app->GetCurrentStateId(), idOf(c.expectedState));
    std::vector<int32_t> queue;
    for (char name : c.expectedQueue) queue.push_back(idOf(name));
    EXPECT_EQ(m_app->GetQueuedStateIds(), queue);
  }
}

TEST_F(ApplicationTest, AStateFinishingWhileItsDurationRunsOutEntersTheLaterRecord) {
  EnterState(m_a, 0.0f);
  m_app->HandleEvent(Event(AE_ADD_STATE, m_b->GetId()));
  m_app->HandleEvent(Event(AE_ADD_STATE, m_c->GetId()));
  m_a->PostOnUpdate(Event(AE_STATE_FINISHED));
  m_app->UpdateFrame(0.01f);
  EXPECT_EQ(m_app->GetCurrentStateId(), m_c->GetId());
  EXPECT_NE(std::string(GetLastReportText()).find("dropped"), std::string::npos);
}

TEST_F(ApplicationTest, DurationsEndStatesByTheirClampedTime) {
  // Duration 0 ends after the first step with a positive frame time; -1 never.
  EnterState(m_a, 0.0f);
  m_app->HandleEvent(Event(AE_ADD_STATE, m_b->GetId(), -1.0f));
  m_app->UpdateFrame(0.001f);
  EXPECT_EQ(m_app->GetCurrentStateId(), m_b->GetId());
  for (int i = 0; i < 50; ++i) m_app->UpdateFrame(ClampFrameTime(0.25f));
  EXPECT_EQ(m_app->GetCurrentStateId(), m_b->GetId());
  EXPECT_FLOAT_EQ(m_b->GetLastDt(), 0.1f);

  // A state of 0.25 s lasts three steps of a stalled frame clamped to 0.1 s.
  EnterState(m_c, 0.25f);
  m_app->HandleEvent(Event(AE_ADD_STATE, m_a->GetId()));
  m_app->UpdateFrame(ClampFrameTime(5.0f));
  m_app->UpdateFrame(ClampFrameTime(5.0f));
  EXPECT_EQ(m_app->GetCurrentStateId(), m_c->GetId());
  m_app->UpdateFrame(ClampFrameTime(5.0f));
  EXPECT_EQ(m_app->GetCurrentStateId(), m_a->GetId());
}

TEST_F(ApplicationTest, ARequestForAnUnregisteredStateIsReportedAndIgnored) {
  EnterState(m_a);
  for (int32_t type : {AE_ADD_STATE, AE_CHANGE_STATE}) {
    m_app->HandleEvent(Event(type, 77));
    EXPECT_NE(std::string(GetLastReportText()).find("77"), std::string::npos);
  }
  m_app->UpdateFrame(0.01f);
  EXPECT_EQ(m_app->GetCurrentStateId(), m_a->GetId());
  EXPECT_TRUE(m_app->GetQueuedStateIds().empty());
}

TEST_F(ApplicationTest, TheExitStateCannotBeLeftAndEndsTheLoop) {
  m_app->HandleEvent(Event(AE_EXIT));
  m_app->UpdateFrame(0.01f);
  ASSERT_EQ(m_app->GetCurrentStateId(), m_app->GetExitStateId());
  m_app->HandleEvent(Event(AE_EXIT));
  m_app->HandleEvent(Event(AE_CHANGE_STATE, m_a->GetId()));
  m_app->UpdateFrame(0.01f);
  EXPECT_EQ(m_app->GetCurrentStateId(), m_app->GetExitStateId());
  // Its own update posted "finished", which the application answers with the quit message.
  EXPECT_FALSE(ProcessMessages());
}

// The clock jumps while a state loads; the switch restarts it, so the next frame is short.
TEST_F(ApplicationTest, TheClockRestartsAfterASwitchSoLoadingTimeIsNotAFrame) {
  hmtest::CFakeTimerClock clock(1000000);
  InitTimer();
  m_b->OnInit([] { hmtest::FakeNow() += 5000000; });
  EnterState(m_b);
  EXPECT_NEAR(m_app->GetLoadTime(), 5.0f, 1e-3f);
  EXPECT_FLOAT_EQ(GetTimeSeconds(), 0.0f);
}

TEST(FrameTimeTest, Clamp) {
  const std::pair<float, float> clamps[] = {{-0.1f, 0.0f}, {0.0f, 0.0f}, {0.05f, 0.05f},
                                            {0.1f, 0.1f},  {0.25f, 0.1f}};
  for (const auto& [in, out] : clamps) EXPECT_FLOAT_EQ(ClampFrameTime(in), out) << in;
}

}  // namespace
