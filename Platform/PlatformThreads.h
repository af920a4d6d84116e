#pragma once
// Threads and locks for the engine, in our own words.

#include <cstdint>

// A recursive lock: the thread that holds it may take it again.
struct SPlatformLock;
SPlatformLock* PlatformCreateLock();
void PlatformDestroyLock(SPlatformLock* lock);
void PlatformEnterLock(SPlatformLock* lock);
bool PlatformTryEnterLock(SPlatformLock* lock);
void PlatformLeaveLock(SPlatformLock* lock);

// A joinable thread. A stack size of 0 takes the system's default.
struct SPlatformThread;
using PlatformThreadFn = int (*)(void* user);
SPlatformThread* PlatformCreateThread(PlatformThreadFn fn, void* user, const char* name,
                                      uint32_t stackSize);
// Waits for the thread to end and frees its record.
void PlatformJoinThread(SPlatformThread* thread);
// Gives the rest of this time slice to other threads.
void PlatformYieldThread();

// Thread priorities on the engine's scale: -2 lowest .. 2 highest, 15 time-critical. The system
// only changes the priority of the calling thread, and may refuse a raise without privileges:
// the result says whether it took effect.
bool PlatformSetCurrentThreadPriority(int32_t priority);
