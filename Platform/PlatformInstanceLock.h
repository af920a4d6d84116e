#pragma once
// The single-instance rule: one lock file per name in the user's runtime folder, held with an
// advisory lock for the life of the process. The holder's process id is written into it, so a
// second start can ask the running one to come to the front.

#include <cstddef>

struct SPlatformInstanceLock;

enum class EInstanceLockResult { Acquired, AlreadyRunning, Failed };

// Takes the lock called `name` (any text: characters that cannot stand in a file name are
// replaced). On AlreadyRunning the running instance has been asked to raise its window.
// On Failed `error` says why; the caller decides whether to run without the rule.
EInstanceLockResult PlatformAcquireInstanceLock(const char* name, SPlatformInstanceLock** lock,
                                                char* error, size_t errorSize);
void PlatformReleaseInstanceLock(SPlatformInstanceLock* lock);

// True once (then cleared) after another start asked this process to raise its window.
bool PlatformTakeRaiseRequest();
