#include "Platform/PlatformInstanceLock.h"

#include "Platform/PlatformSystem.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

struct SPlatformInstanceLock {
  int fd = -1;
  std::string path;
};

namespace {

volatile sig_atomic_t g_raiseRequested = 0;

void OnRaiseSignal(int) { g_raiseRequested = 1; }

// The running instance learns of a second start through SIGUSR1; the handler must be in place
// before the lock is held, or the default action would end the running game.
void InstallRaiseHandler() {
  struct sigaction action;
  std::memset(&action, 0, sizeof action);
  action.sa_handler = OnRaiseSignal;
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  sigaction(SIGUSR1, &action, nullptr);
}

std::string RuntimeFolder() {
  char value[1024];
  if (PlatformGetEnv("XDG_RUNTIME_DIR", value, sizeof value)) return value;
  return "/tmp";
}

std::string LockFileName(const char* name) {
  std::string file;
  for (const char* c = name; *c; ++c) {
    const bool safe = (*c >= 'a' && *c <= 'z') || (*c >= 'A' && *c <= 'Z') ||
                      (*c >= '0' && *c <= '9') || *c == '-' || *c == '.';
    file += safe ? *c : '_';
  }
  // Outside the per-user runtime folder the file name carries the user id.
  return file + "-" + std::to_string(getuid()) + ".lock";
}

void AskHolderToRaise(int fd) {
  char text[32] = {};
  if (pread(fd, text, sizeof text - 1, 0) <= 0) return;
  const long pid = std::strtol(text, nullptr, 10);
  if (pid > 0 && pid != getpid()) kill(static_cast<pid_t>(pid), SIGUSR1);
}

}  // namespace

EInstanceLockResult PlatformAcquireInstanceLock(const char* name, SPlatformInstanceLock** lock,
                                                char* error, size_t errorSize) {
  *lock = nullptr;
  const std::string folder = RuntimeFolder();
  if (!PlatformMakeFolders(folder.c_str())) {
    std::snprintf(error, errorSize, "cannot create the runtime folder %s: %s", folder.c_str(),
                  std::strerror(errno));
    return EInstanceLockResult::Failed;
  }
  const std::string path = folder + "/" + LockFileName(name);
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) {
    std::snprintf(error, errorSize, "cannot open the instance lock %s: %s", path.c_str(),
                  std::strerror(errno));
    return EInstanceLockResult::Failed;
  }
  InstallRaiseHandler();
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int reason = errno;
    if (reason == EWOULDBLOCK) AskHolderToRaise(fd);
    close(fd);
    if (reason == EWOULDBLOCK) return EInstanceLockResult::AlreadyRunning;
    std::snprintf(error, errorSize, "cannot lock %s: %s", path.c_str(), std::strerror(reason));
    return EInstanceLockResult::Failed;
  }
  const std::string pid = std::to_string(getpid()) + "\n";
  if (ftruncate(fd, 0) != 0 || pwrite(fd, pid.data(), pid.size(), 0) < 0) {
    // The rule holds without the id; only the raise request is lost.
  }
  *lock = new SPlatformInstanceLock{fd, path};
  return EInstanceLockResult::Acquired;
}

void PlatformReleaseInstanceLock(SPlatformInstanceLock* lock) {
  if (!lock) return;
  // Emptied rather than removed: unlinking a locked file would let a third start lock a new one.
  if (ftruncate(lock->fd, 0) != 0) {
    // Nothing to mend: the lock itself is released below.
  }
  flock(lock->fd, LOCK_UN);
  close(lock->fd);
  delete lock;
}

bool PlatformTakeRaiseRequest() {
  if (!g_raiseRequested) return false;
  g_raiseRequested = 0;
  return true;
}
