#include "Platform/PlatformWindow.h"

#include "Platform/EventPump.h"
#include "Platform/GraphicsDriverScope.h"
#include "Platform/GraphicsWindowFormat.h"
#include "Platform/WindowIcon.h"

#include <SDL.h>
#include <SDL_opengl.h>
#include <SDL_syswm.h>

#include <cstdio>

namespace {

SDL_Window* g_window = nullptr;
SDL_GLContext g_blankContext = nullptr;

SDL_Window* ToSdl(PlatformWindowHandle window) { return reinterpret_cast<SDL_Window*>(window); }

void SetOurIcon(SDL_Window* window) {
  SWindowIconImage image = MakeWindowIcon();
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
      image.pixels.data(), image.size, image.size, 32, image.size * 4, SDL_PIXELFORMAT_RGBA32);
  if (!surface) return;
  SDL_SetWindowIcon(window, surface);
  SDL_FreeSurface(surface);
}

}  // namespace

SDL_Window* PlatformMainSdlWindow() { return g_window; }

PlatformWindowHandle PlatformGetMainWindow() {
  return reinterpret_cast<PlatformWindowHandle>(g_window);
}

PlatformWindowHandle PlatformCreateMainWindow(const char* title, int32_t width, int32_t height,
                                              char* error, size_t errorSize) {
  if (g_window) {
    std::snprintf(error, errorSize, "the main window exists already");
    return nullptr;
  }
  SGfxDriverScope driver;  // loads the GL driver, which keeps its start-up allocations
  GfxRequestWindowFormat();
  SDL_Window* window = SDL_CreateWindow(title, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                        width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  if (!window) {
    std::snprintf(error, errorSize, "%s", SDL_GetError());
    return nullptr;
  }
  SetOurIcon(window);
  // The game is watched rather than typed at: the screen must not blank while it runs.
  SDL_DisableScreenSaver();
  g_window = window;
  return reinterpret_cast<PlatformWindowHandle>(window);
}

void PlatformDestroyMainWindow(PlatformWindowHandle window) {
  if (!window) return;
  if (g_blankContext) {
    SDL_GL_DeleteContext(g_blankContext);
    g_blankContext = nullptr;
  }
  SDL_DestroyWindow(ToSdl(window));
  if (ToSdl(window) == g_window) g_window = nullptr;
}

void PlatformShowWindow(PlatformWindowHandle window) { SDL_ShowWindow(ToSdl(window)); }

void PlatformRaiseWindow(PlatformWindowHandle window) {
  SDL_RestoreWindow(ToSdl(window));
  SDL_RaiseWindow(ToSdl(window));
}

bool PlatformIsWindowMinimized(PlatformWindowHandle window) {
  return (SDL_GetWindowFlags(ToSdl(window)) & SDL_WINDOW_MINIMIZED) != 0;
}

void PlatformGetWindowPixelSize(SDL_Window* window, int32_t* width, int32_t* height) {
  *width = *height = 0;
  if (!window) return;
#if defined(SDL_VIDEO_DRIVER_X11)
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  XWindowAttributes attributes{};
  if (SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11 &&
      XGetWindowAttributes(info.info.x11.display, info.info.x11.window, &attributes)) {
    *width = attributes.width;
    *height = attributes.height;
    return;
  }
#endif
  SDL_GL_GetDrawableSize(window, width, height);
}

SPlatformRect PlatformGetClientRect(PlatformWindowHandle window) {
  SPlatformRect rect;
  PlatformGetWindowPixelSize(ToSdl(window), &rect.right, &rect.bottom);
  return rect;
}

SPlatformRect PlatformGetWindowRect(PlatformWindowHandle window) {
  int x = 0, y = 0, width = 0, height = 0;
  int top = 0, left = 0, bottom = 0, right = 0;
  SDL_GetWindowPosition(ToSdl(window), &x, &y);
  PlatformGetWindowPixelSize(ToSdl(window), &width, &height);
  // Without a window manager there are no borders; the sizes then stay 0.
  SDL_GetWindowBordersSize(ToSdl(window), &top, &left, &bottom, &right);
  return SPlatformRect{x - left, y - top, x + width + right, y + height + bottom};
}

bool PlatformGetDesktopSize(int32_t* width, int32_t* height) {
  SDL_DisplayMode mode;
  if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return false;
  *width = mode.w;
  *height = mode.h;
  return true;
}

void PlatformShowCursor(bool visible) { SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE); }

bool PlatformSetWindowFullScreen(PlatformWindowHandle window, bool fullScreen) {
  if (!window) return false;
  return SDL_SetWindowFullscreen(ToSdl(window), fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) == 0;
}

void PlatformCenterWindow(PlatformWindowHandle window, int32_t width, int32_t height) {
  if (!window || width <= 0 || height <= 0) return;
  SDL_SetWindowSize(ToSdl(window), width, height);
  SDL_SetWindowPosition(ToSdl(window), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
}

void PlatformPresentBlank(PlatformWindowHandle window) {
  SDL_Window* sdlWindow = ToSdl(window);
  if (!sdlWindow) return;
  if (!g_blankContext) {
    SGfxDriverScope driver;
    g_blankContext = SDL_GL_CreateContext(sdlWindow);
    if (!g_blankContext) return;
  }
  if (SDL_GL_MakeCurrent(sdlWindow, g_blankContext) != 0) return;
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  SDL_GL_SwapWindow(sdlWindow);
  // Offscreen drivers neither flush nor wait on a swap; without this frames pile up.
  glFinish();
}
