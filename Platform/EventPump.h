#pragma once
// Inside the platform layer: every system event the pump takes passes through these listeners
// first (input devices, the test driver), in the order they were added.

#include <SDL.h>

using PlatformEventListener = void (*)(const SDL_Event& event, void* user);
void PlatformAddEventListener(PlatformEventListener listener, void* user);
void PlatformRemoveEventListener(PlatformEventListener listener, void* user);
// Forgets a quit that was seen or posted (part of PlatformResetState).
void PlatformEventPumpReset();

// The main window as the media library knows it (null when there is none).
SDL_Window* PlatformMainSdlWindow();
