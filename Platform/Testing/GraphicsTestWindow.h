#pragma once
// A small hidden GL window for tests and tools that draw without the game's main window.

#include "Platform/PlatformWindowHandle.h"

// Starts SDL's video when needed; returns null (with a report) when no window can be made.
PlatformWindowHandle PlatformCreateTestWindow(int width, int height);
void PlatformDestroyTestWindow(PlatformWindowHandle window);
