#include "Platform/PlatformThreads.h"

#include <SDL.h>

#include <mutex>
#include <thread>

struct SPlatformLock {
  std::recursive_mutex mutex;
};

SPlatformLock* PlatformCreateLock() { return new SPlatformLock; }
void PlatformDestroyLock(SPlatformLock* lock) { delete lock; }
void PlatformEnterLock(SPlatformLock* lock) { lock->mutex.lock(); }
bool PlatformTryEnterLock(SPlatformLock* lock) { return lock->mutex.try_lock(); }
void PlatformLeaveLock(SPlatformLock* lock) { lock->mutex.unlock(); }

struct SPlatformThread {
  SDL_Thread* thread = nullptr;
};

SPlatformThread* PlatformCreateThread(PlatformThreadFn fn, void* user, const char* name,
                                      uint32_t stackSize) {
  SDL_Thread* thread = SDL_CreateThreadWithStackSize(fn, name, stackSize, user);
  if (!thread) return nullptr;
  auto* record = new SPlatformThread;
  record->thread = thread;
  return record;
}

void PlatformJoinThread(SPlatformThread* thread) {
  if (!thread) return;
  SDL_WaitThread(thread->thread, nullptr);
  delete thread;
}

void PlatformYieldThread() { std::this_thread::yield(); }

bool PlatformSetCurrentThreadPriority(int32_t priority) {
  SDL_ThreadPriority level = SDL_THREAD_PRIORITY_NORMAL;
  if (priority >= 15) {
    level = SDL_THREAD_PRIORITY_TIME_CRITICAL;
  } else if (priority > 0) {
    level = SDL_THREAD_PRIORITY_HIGH;
  } else if (priority < 0) {
    level = SDL_THREAD_PRIORITY_LOW;
  }
  return SDL_SetThreadPriority(level) == 0;
}
