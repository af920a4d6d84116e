#include "Platform/Testing/PlatformTestLibraries.h"

#include <dlfcn.h>

#include <cstdio>

bool PlatformKeepLibraryLoaded(const char* path) {
  if (dlopen(path, RTLD_NOW | RTLD_NODELETE)) return true;
  std::fprintf(stderr, "Cannot load %s: %s\n", path, dlerror());
  return false;
}
