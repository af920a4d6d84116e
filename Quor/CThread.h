#pragma once
// The engine's worker threads: a thread runs its Step again and again until Step returns false
// or the thread is told to stop. Derived classes call Stop() in their own destructor, so that
// Step never runs on a half-destroyed object.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

struct SPlatformLock;
struct SPlatformThread;

// A lock that the thread holding it may take again (the device lock, a loading screen's lock).
class CCriticalSection {
 public:
  CCriticalSection();
  ~CCriticalSection();
  CCriticalSection(const CCriticalSection&) = delete;
  CCriticalSection& operator=(const CCriticalSection&) = delete;

  void Enter();
  // Takes the lock only when no other thread holds it.
  bool TryEnter();
  void Leave();

 private:
  SPlatformLock* m_lock;
};

class CThread {
 public:
  static constexpr int kNameSize = 28;

  // A stack size of 0 takes the system's default.
  explicit CThread(uint8_t flag = 0, uint32_t stackSize = 0, const char* name = "");
  virtual bool Step() = 0;
  virtual ~CThread();
  CThread(const CThread&) = delete;
  CThread& operator=(const CThread&) = delete;

  // Starts the thread; returns once it runs (or has already finished). False when the system
  // refused to create it.
  bool Start();
  // Asks the thread to stop after its current step and waits for it to end.
  void Stop();
  // Takes effect on the thread itself, before its next step (the system sets priorities only
  // for the calling thread).
  void SetPriority(int32_t priority);

  bool IsRunning() const { return m_running; }
  bool IsInStep() const { return m_inStep; }
  bool IsFinished() const { return m_finished; }
  uint8_t GetFlag() const { return m_flag; }
  const char* GetName() const { return m_name; }
  int32_t GetPriority() const { return m_priority; }

 private:
  static int ThreadProc(void* self);
  void Join();

  std::atomic<bool> m_running{false};
  std::atomic<bool> m_inStep{false};
  std::atomic<bool> m_finished{true};
  std::atomic<bool> m_priorityChanged{false};
  std::atomic<int32_t> m_priority{0};
  uint8_t m_flag;
  uint32_t m_stackSize;
  char m_name[kNameSize] = {};
  SPlatformThread* m_thread = nullptr;
};

// Idle callbacks run on the idle sensor's thread while the message pump stalls.
using IdleCallbackFn = void (*)();
// Appends the callback unless it is listed already.
void AddIdleCallback(IdleCallbackFn callback);
// Unlinks it; once this returns the callback is not running and will not run again.
void RemoveIdleCallback(IdleCallbackFn callback);
size_t GetIdleCallbackCount();

// The message pump notes each run (milliseconds of the monotonic clock) and so clears the stall.
void NoteMessagePump(uint64_t nowMs);
bool IsMessagePumpStalled();

// Watches the message pump: when it has not run for more than a second (a window being dragged,
// a long load), calls the idle callbacks so that music keeps streaming.
class CIdleSensor : public CThread {
 public:
  static constexpr uint64_t kStallMs = 1000;
  using ClockFn = uint64_t (*)();

  // The clock and the pause between steps can be replaced for tests.
  explicit CIdleSensor(ClockFn clock = nullptr, uint32_t pauseMs = 100);
  ~CIdleSensor() override;
  bool Step() override;

 private:
  ClockFn m_clock;
  uint32_t m_pauseMs;
};
