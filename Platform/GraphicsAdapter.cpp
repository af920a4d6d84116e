// Display adapters and modes, as SDL reports them: one adapter per display.

#include <SDL2/SDL.h>

#include "Platform/GraphicsDevice.h"

namespace {

EGfxFormat FormatOf(uint32_t sdlFormat) {
  switch (SDL_BITSPERPIXEL(sdlFormat)) {
    case 15: return GFX_FMT_X1R5G5B5;
    case 16: return GFX_FMT_R5G6B5;
    case 30: return GFX_FMT_A2R10G10B10;
    default: return GFX_FMT_X8R8G8B8;
  }
}

void Convert(const SDL_DisplayMode& from, SGfxDisplayMode* to) {
  to->width = static_cast<uint32_t>(from.w);
  to->height = static_cast<uint32_t>(from.h);
  to->refreshRate = static_cast<uint32_t>(from.refresh_rate);
  to->format = FormatOf(from.format);
}

}  // namespace

uint32_t GfxGetAdapterCount() {
  const int count = SDL_GetNumVideoDisplays();
  return count > 0 ? static_cast<uint32_t>(count) : 0;
}

bool GfxGetAdapterDisplayMode(uint32_t adapter, SGfxDisplayMode* mode) {
  SDL_DisplayMode current;
  if (!mode || SDL_GetDesktopDisplayMode(static_cast<int>(adapter), &current) != 0) return false;
  Convert(current, mode);
  return true;
}

uint32_t GfxGetAdapterModeCount(uint32_t adapter) {
  const int count = SDL_GetNumDisplayModes(static_cast<int>(adapter));
  return count > 0 ? static_cast<uint32_t>(count) : 0;
}

bool GfxEnumAdapterModes(uint32_t adapter, uint32_t index, SGfxDisplayMode* mode) {
  SDL_DisplayMode found;
  if (!mode || SDL_GetDisplayMode(static_cast<int>(adapter), static_cast<int>(index), &found) != 0) return false;
  Convert(found, mode);
  return true;
}

const char* GfxGetAdapterName(uint32_t adapter) {
  const char* name = SDL_GetDisplayName(static_cast<int>(adapter));
  return name ? name : "";
}

const char* GfxGetVideoDriverName() {
  const char* name = SDL_GetCurrentVideoDriver();
  return name ? name : "";
}

bool GfxIsDepthFormatSupported(EGfxFormat format) { return format == GFX_FMT_D24S8 || format == GFX_FMT_D16; }
