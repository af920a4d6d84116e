#pragma once
// The main window as the layers above the platform see it: an opaque handle.
// Inside Platform/ it is the SDL window (reinterpret_cast<SDL_Window*>).

struct SPlatformWindow;
using PlatformWindowHandle = SPlatformWindow*;
