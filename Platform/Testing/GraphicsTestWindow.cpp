// A hidden GL window for tests and tools.

#include "Platform/Testing/GraphicsTestWindow.h"

#include <SDL2/SDL.h>

#include "Platform/GraphicsDriverScope.h"
#include "Platform/GraphicsReport.h"
#include "Platform/GraphicsWindowFormat.h"

namespace {

constexpr const char* kGraphicsTestWindowSource = "Platform/Testing/GraphicsTestWindow";

}  // namespace

PlatformWindowHandle PlatformCreateTestWindow(int width, int height) {
  SGfxDriverScope driver;
  if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    GfxReport(kGraphicsTestWindowSource, "Cannot start SDL video: %s", SDL_GetError());
    return nullptr;
  }
  GfxRequestWindowFormat();
  SDL_Window* window = SDL_CreateWindow("Hollowmere test", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width,
                                        height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  if (!window) GfxReport(kGraphicsTestWindowSource, "Cannot create a %dx%d window: %s", width, height, SDL_GetError());
  return reinterpret_cast<PlatformWindowHandle>(window);
}

void PlatformDestroyTestWindow(PlatformWindowHandle window) {
  if (window) SDL_DestroyWindow(reinterpret_cast<SDL_Window*>(window));
}
