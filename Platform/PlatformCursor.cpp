#include "Platform/PlatformCursor.h"

#include <SDL.h>

#include <cstdio>

namespace {

SDL_Cursor* ToSdl(PlatformCursor* cursor) { return reinterpret_cast<SDL_Cursor*>(cursor); }

}  // namespace

PlatformCursor* PlatformCreateColorCursor(const uint8_t* rgba, int32_t width, int32_t height, int32_t hotX,
                                          int32_t hotY, char* error, size_t errorSize) {
  if (!rgba || width <= 0 || height <= 0 || hotX < 0 || hotY < 0 || hotX >= width || hotY >= height) {
    std::snprintf(error, errorSize, "a %d by %d cursor with its hot spot at (%d, %d) cannot be made", width, height,
                  hotX, hotY);
    return nullptr;
  }
  // SDL reads the pixels while it makes the cursor and keeps no reference to them.
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint8_t*>(rgba), width, height, 32, width * 4,
                                                            SDL_PIXELFORMAT_RGBA32);
  if (!surface) {
    std::snprintf(error, errorSize, "no cursor picture: %s", SDL_GetError());
    return nullptr;
  }
  SDL_Cursor* cursor = SDL_CreateColorCursor(surface, hotX, hotY);
  SDL_FreeSurface(surface);
  if (!cursor) std::snprintf(error, errorSize, "no colour cursor: %s", SDL_GetError());
  return reinterpret_cast<PlatformCursor*>(cursor);
}

void PlatformFreeCursor(PlatformCursor* cursor) {
  if (!cursor) return;
  if (SDL_GetCursor() == ToSdl(cursor)) SDL_SetCursor(SDL_GetDefaultCursor());
  SDL_FreeCursor(ToSdl(cursor));
}

void PlatformSetCursor(PlatformCursor* cursor) {
  SDL_Cursor* shown = cursor ? ToSdl(cursor) : SDL_GetDefaultCursor();
  if (shown) SDL_SetCursor(shown);
}
