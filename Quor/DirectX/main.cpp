// The program's entry point. The engine's start-up takes over from here.
#include <cstdio>

int main(int, char**) {
  std::printf("Hollowmere is under construction: the engine's entry is not built yet.\n");
  return 0;
}
