#pragma once
// The window system's mouse cursor: colour cursors made from pictures, the one shown over the
// game's window, and none. A driver without cursors of its own (the offscreen one) makes none;
// the calls then do nothing and the game draws its pointer itself.

#include <cstddef>
#include <cstdint>

struct PlatformCursor;

// A cursor from RGBA bytes (rows top to bottom) with its hot spot inside the picture. Null with
// a reason when the driver cannot make one.
PlatformCursor* PlatformCreateColorCursor(const uint8_t* rgba, int32_t width, int32_t height, int32_t hotX,
                                          int32_t hotY, char* error, size_t errorSize);
// Frees a cursor; when it is the one shown, the system arrow takes its place. Null is allowed.
void PlatformFreeCursor(PlatformCursor* cursor);
// Shows this cursor over the window, or the system arrow for null.
void PlatformSetCursor(PlatformCursor* cursor);
