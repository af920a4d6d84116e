#pragma once
// Inside the platform layer: every system event the pump takes passes through these listeners
// first (input devices, the test driver), in the order they were added.

#include <SDL.h>

#include <cstdint>

using PlatformEventListener = void (*)(const SDL_Event& event, void* user);
void PlatformAddEventListener(PlatformEventListener listener, void* user);
void PlatformRemoveEventListener(PlatformEventListener listener, void* user);
// Forgets a quit that was seen or posted (part of PlatformResetState).
void PlatformEventPumpReset();

// The main window as the media library knows it (null when there is none).
SDL_Window* PlatformMainSdlWindow();
// A window's drawable size in pixels as the display really made it. On X11 the window system is
// asked: after a full-screen request the media library reports the desktop's size at once, and
// keeps reporting it where the window manager never makes the window that big. Elsewhere, the
// media library's drawable size.
void PlatformGetWindowPixelSize(SDL_Window* window, int32_t* width, int32_t* height);
