#include "Quor/CThread.h"

#include "Platform/PlatformSystem.h"
#include "Platform/PlatformThreads.h"

#include <algorithm>
#include <cstdio>

CCriticalSection::CCriticalSection() : m_lock(PlatformCreateLock()) {}
CCriticalSection::~CCriticalSection() { PlatformDestroyLock(m_lock); }
void CCriticalSection::Enter() { PlatformEnterLock(m_lock); }
bool CCriticalSection::TryEnter() { return PlatformTryEnterLock(m_lock); }
void CCriticalSection::Leave() { PlatformLeaveLock(m_lock); }

CThread::CThread(uint8_t flag, uint32_t stackSize, const char* name)
    : m_flag(flag), m_stackSize(stackSize) {
  std::snprintf(m_name, sizeof m_name, "%s", name ? name : "");
}

CThread::~CThread() { Stop(); }

bool CThread::Start() {
  if (m_running) return true;
  Join();  // a thread that finished on its own is still to be collected
  m_finished = false;
  m_running = false;
  // The thread gets its object from its own parameter, so two starts can never mix them up.
  m_thread = PlatformCreateThread(&CThread::ThreadProc, this, m_name, m_stackSize);
  if (!m_thread) {
    m_finished = true;
    return false;
  }
  while (!m_running && !m_finished) PlatformYieldThread();
  return true;
}

void CThread::Stop() {
  m_running = false;
  Join();
}

void CThread::Join() {
  if (!m_thread) return;
  PlatformJoinThread(m_thread);
  m_thread = nullptr;
}

void CThread::SetPriority(int32_t priority) {
  m_priority = priority;
  m_priorityChanged = true;
}

int CThread::ThreadProc(void* self) {
  auto* thread = static_cast<CThread*>(self);
  thread->m_running = true;
  thread->m_priorityChanged = true;
  while (thread->m_running) {
    if (thread->m_priorityChanged.exchange(false)) {
      PlatformSetCurrentThreadPriority(thread->m_priority);
    }
    thread->m_inStep = true;
    const bool more = thread->Step();
    thread->m_inStep = false;
    if (!more) break;
  }
  thread->m_running = false;
  thread->m_finished = true;
  return 0;
}

namespace {

// Recursive: a callback may remove itself while the sensor runs it.
std::recursive_mutex g_idleLock;
std::vector<IdleCallbackFn> g_idleCallbacks;
std::atomic<uint64_t> g_pumpTimeMs{0};
std::atomic<bool> g_pumpStalled{false};

void RunIdleCallbacks() {
  std::lock_guard<std::recursive_mutex> hold(g_idleLock);
  for (size_t i = 0; i < g_idleCallbacks.size(); ++i) {
    IdleCallbackFn callback = g_idleCallbacks[i];
    callback();
    // A callback that removed itself shifted the rest down by one.
    if (i < g_idleCallbacks.size() && g_idleCallbacks[i] != callback) --i;
  }
}

}  // namespace

void AddIdleCallback(IdleCallbackFn callback) {
  std::lock_guard<std::recursive_mutex> hold(g_idleLock);
  if (std::find(g_idleCallbacks.begin(), g_idleCallbacks.end(), callback) ==
      g_idleCallbacks.end()) {
    g_idleCallbacks.push_back(callback);
  }
}

void RemoveIdleCallback(IdleCallbackFn callback) {
  std::lock_guard<std::recursive_mutex> hold(g_idleLock);
  g_idleCallbacks.erase(std::remove(g_idleCallbacks.begin(), g_idleCallbacks.end(), callback),
                        g_idleCallbacks.end());
}

size_t GetIdleCallbackCount() {
  std::lock_guard<std::recursive_mutex> hold(g_idleLock);
  return g_idleCallbacks.size();
}

void NoteMessagePump(uint64_t nowMs) {
  g_pumpTimeMs = nowMs;
  g_pumpStalled = false;
}

bool IsMessagePumpStalled() { return g_pumpStalled; }

CIdleSensor::CIdleSensor(ClockFn clock, uint32_t pauseMs)
    : CThread(0, 0, "IdleSensor"), m_clock(clock ? clock : &PlatformTicksMs), m_pauseMs(pauseMs) {}

CIdleSensor::~CIdleSensor() { Stop(); }

bool CIdleSensor::Step() {
  const uint64_t now = m_clock();
  const uint64_t pumped = g_pumpTimeMs;
  if (now > pumped && now - pumped > kStallMs) {
    g_pumpStalled = true;
    RunIdleCallbacks();
  }
  if (m_pauseMs) PlatformSleepMs(m_pauseMs);
  return true;
}
