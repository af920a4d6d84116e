#pragma once
// The GL drivers keep some of what they allocate while starting up (configuration strings,
// per-display state) until the process ends, and free it nowhere we could call. Calls into
// the window system's GL set-up run inside this scope so the leak checker of sanitizer builds
// does not report the drivers' allocations as ours.

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
struct SGfxDriverScope {
  SGfxDriverScope() { __lsan_disable(); }
  ~SGfxDriverScope() { __lsan_enable(); }
  SGfxDriverScope(const SGfxDriverScope&) = delete;
  SGfxDriverScope& operator=(const SGfxDriverScope&) = delete;
};
#else
// A constructor of its own, so an unused-variable warning does not flag the scope variables.
struct SGfxDriverScope {
  SGfxDriverScope() {}
};
#endif
