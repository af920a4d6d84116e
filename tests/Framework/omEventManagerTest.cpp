// The publish-and-subscribe channel between a state and the objects it runs.

#include <gtest/gtest.h>

#include "Framework/omEventManager.h"

#include <string>
#include <vector>

using namespace Ombrel;

namespace {

class CListener : public IEventHandler {
 public:
  CListener(std::string name, std::vector<std::string>* log, int32_t mask = 0, bool accepts = true)
      : m_name(std::move(name)), m_log(log), m_accepts(accepts) {
    SetMask(mask);
  }
  bool HandleEvent(const SEventHeader&) override {
    m_log->push_back(m_name);
    return m_continue;
  }
  bool AcceptsEvent(int32_t type) override { return m_accepts && type == 7; }
  void StopDispatch() { m_continue = false; }

 private:
  std::string m_name;
  std::vector<std::string>* m_log;
  bool m_accepts;
  bool m_continue = true;
};

class EventManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (CListener* listener : {&m_first, &m_second, &m_third}) m_events.AddListener(listener);
  }
  std::vector<std::string> Dispatch(int32_t target, int32_t mask, int32_t type = 7) {
    m_log.clear();
    SEventHeader event;
    event.target = target;
    event.mask = mask;
    event.type = type;
    m_events.Dispatch(event);
    return m_log;
  }

  std::vector<std::string> m_log;
  CListener m_first{"first", &m_log, 0x1};
  CListener m_second{"second", &m_log, 0x6};
  CListener m_third{"third", &m_log, 0x4};
  CEventManager m_events;
};

TEST_F(EventManagerTest, ListenersGetIdsInRegistrationOrder) {
  EXPECT_EQ(static_cast<uint32_t>(m_first.GetListenerId()), 0xFFFF0000u);
  EXPECT_EQ(static_cast<uint32_t>(m_second.GetListenerId()), 0xFFFF0001u);
  // A second registration keeps one entry, with a fresh id.
  m_events.AddListener(&m_first);
  EXPECT_EQ(m_events.GetCount(), 3u);
  EXPECT_EQ(static_cast<uint32_t>(m_first.GetListenerId()), 0xFFFF0003u);
  m_events.Reset();
  EXPECT_EQ(m_events.GetCount(), 0u);
  m_events.AddListener(&m_third);
  EXPECT_EQ(static_cast<uint32_t>(m_third.GetListenerId()), 0xFFFF0000u);
}

TEST_F(EventManagerTest, EventsGoByTargetElseMaskElseToAll) {
  using Names = std::vector<std::string>;
  EXPECT_EQ(Dispatch(m_second.GetListenerId(), 0x1), Names{"second"});  // the target wins over the mask
  EXPECT_EQ(Dispatch(0, 0x4), (Names{"second", "third"}));
  EXPECT_EQ(Dispatch(0, 0x8), Names{});
  EXPECT_EQ(Dispatch(0, 0), (Names{"first", "second", "third"}));
  EXPECT_EQ(Dispatch(0, 0, 3), Names{});  // nobody accepts the type
  CListener picky("picky", &m_log, 0, false);
  m_events.AddListener(&picky);
  EXPECT_EQ(Dispatch(picky.GetListenerId(), 0), Names{});
  m_events.RemoveListener(&picky);
}

TEST_F(EventManagerTest, AHandlerReturningFalseStopsTheDispatch) {
  m_second.StopDispatch();
  EXPECT_EQ(Dispatch(0, 0), (std::vector<std::string>{"first", "second"}));
}

TEST_F(EventManagerTest, RemovalMovesTheLastListenerIntoTheGap) {
  m_events.RemoveListener(&m_first);
  EXPECT_EQ(m_first.GetListenerId(), -1);
  EXPECT_EQ(Dispatch(0, 0), (std::vector<std::string>{"third", "second"}));
  m_events.RemoveListener(&m_first);  // not registered: nothing changes
  EXPECT_EQ(m_events.GetCount(), 2u);
}

}  // namespace
