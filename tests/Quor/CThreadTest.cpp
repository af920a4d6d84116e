#include "Quor/CThread.h"
#include "tests/support/engine/FakeClock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace {

class CCountingThread : public CThread {
 public:
  explicit CCountingThread(int stopAfter) : CThread(0, 0, "Counting"), m_stopAfter(stopAfter) {}
  ~CCountingThread() override { Stop(); }
  bool Step() override { return ++steps < m_stopAfter; }
  std::atomic<int> steps{0};

 private:
  int m_stopAfter;
};

TEST(CThreadTest, StartReturnsEvenWhenTheFirstStepEndsTheThread) {
  CCountingThread thread(1);
  ASSERT_TRUE(thread.Start());
  // Start may return before the first step; the thread ends by itself after it.
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!thread.IsFinished() && std::chrono::steady_clock::now() < end) std::this_thread::yield();
  thread.Stop();
  EXPECT_EQ(thread.steps, 1);
  EXPECT_TRUE(thread.IsFinished());
  EXPECT_FALSE(thread.IsRunning());
}

TEST(CThreadTest, StopEndsARunningThreadAndItCanStartAgain) {
  CCountingThread thread(1 << 30);
  thread.SetPriority(-1);
  for (int run = 0; run < 2; ++run) {
    ASSERT_TRUE(thread.Start());
    EXPECT_TRUE(thread.IsRunning() || thread.IsFinished());
    while (thread.steps < 10 * (run + 1)) {
    }
    thread.Stop();
    EXPECT_TRUE(thread.IsFinished());
    EXPECT_FALSE(thread.IsInStep());
  }
}

std::vector<char> g_calls;
void CallbackA() { g_calls.push_back('a'); }
void CallbackB() { g_calls.push_back('b'); }
void SelfRemoving() {
  g_calls.push_back('s');
  RemoveIdleCallback(&SelfRemoving);
}

class IdleSensorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_calls.clear();
    hmtest::FakeNow() = 10'000;
    NoteMessagePump(10'000);
  }
  void TearDown() override {
    for (IdleCallbackFn fn : {&CallbackA, &CallbackB, &SelfRemoving}) RemoveIdleCallback(fn);
  }
};

TEST_F(IdleSensorTest, CallbacksRunOnlyAfterTheMessagePumpStalledForASecond) {
  AddIdleCallback(&CallbackA);
  AddIdleCallback(&CallbackB);
  AddIdleCallback(&CallbackA);  // listed once only
  CIdleSensor sensor(&hmtest::ReadFakeClock, 0);
  struct SCase {
    uint64_t nowMs;
    bool pumped;
    const char* expectedCalls;
  } cases[] = {
      {10'500, false, ""},     {11'000, false, ""},   // exactly a second is not yet a stall
      {11'001, false, "ab"},   {11'200, false, "ab"}, // called on every step of a stall
      {11'200, true, ""},                             // the pump ran: no stall
  };
  for (const SCase& c : cases) {
    g_calls.clear();
    hmtest::FakeNow() = c.nowMs;
    if (c.pumped) NoteMessagePump(c.nowMs);
    sensor.Step();
    EXPECT_EQ(std::string(g_calls.begin(), g_calls.end()), c.expectedCalls) << c.nowMs;
    EXPECT_EQ(IsMessagePumpStalled(), c.expectedCalls[0] != '\0') << c.nowMs;
  }
}

TEST_F(IdleSensorTest, ACallbackMayRemoveItselfWithoutSkippingTheNextOne) {
  AddIdleCallback(&SelfRemoving);
  AddIdleCallback(&CallbackB);
  CIdleSensor sensor(&hmtest::ReadFakeClock, 0);
  hmtest::FakeNow() = 20'000;
  sensor.Step();
  sensor.Step();
  EXPECT_EQ(std::string(g_calls.begin(), g_calls.end()), "sbb");
  EXPECT_EQ(GetIdleCallbackCount(), 1u);
}

std::atomic<int> g_threadCalls{0};
void CountingCallback() { ++g_threadCalls; }

TEST_F(IdleSensorTest, OnItsThreadTheSensorFiresDuringAStallAndStopsOnRequest) {
  g_threadCalls = 0;
  AddIdleCallback(&CountingCallback);
  CIdleSensor sensor(&hmtest::ReadFakeClock, 1);
  ASSERT_TRUE(sensor.Start());
  hmtest::FakeNow() = 10'500;
  std::this_thread::sleep_for(std::chrono::milliseconds(30));  // many steps, no stall
  EXPECT_EQ(g_threadCalls, 0);
  hmtest::FakeNow() = 12'000;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (g_threadCalls == 0 && std::chrono::steady_clock::now() < end) std::this_thread::yield();
  EXPECT_GT(g_threadCalls, 0);
  sensor.Stop();
  EXPECT_TRUE(sensor.IsFinished());
  RemoveIdleCallback(&CountingCallback);
}

}  // namespace

namespace {

TEST(CCriticalSectionTest, TheHolderMayEnterAgainWhileOtherThreadsCannot) {
  CCriticalSection lock;
  lock.Enter();
  EXPECT_TRUE(lock.TryEnter());  // the same thread again
  bool otherGotIt = true;
  std::thread([&] { otherGotIt = lock.TryEnter(); }).join();
  EXPECT_FALSE(otherGotIt);
  lock.Leave();
  lock.Leave();
  std::thread([&] {
    otherGotIt = lock.TryEnter();
    if (otherGotIt) lock.Leave();
  }).join();
  EXPECT_TRUE(otherGotIt);
}

}  // namespace
