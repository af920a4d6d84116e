#pragma once
// The main window and its message pump, as the engine sees them. The pump turns the system's
// events into the few window messages the engine's window procedure handles.

#include "Platform/PlatformWindowHandle.h"

#include <cstddef>
#include <cstdint>

struct SPlatformRect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
};

enum class EWindowMessage {
  Activate,      // the window gained the input focus (or was shown)
  Deactivate,    // the window lost the input focus
  Minimize,      // the window became an icon
  Restore,       // the window came back from an icon or from maximised
  SizeChanged,   // the client size changed: width and height in a, b
  Moved,         // the window moved: position in a, b
  Paint,         // the window must be painted again
  Close,         // the user asked to close the window (close button, Alt+F4)
};

struct SWindowMessage {
  EWindowMessage kind;
  int32_t a = 0;
  int32_t b = 0;
};

using WindowMessageHandler = void (*)(const SWindowMessage& message, void* user);

// Creates the one main window, hidden, with an OpenGL-capable surface, our icon and the screen
// saver kept off. Null with a reason on failure.
PlatformWindowHandle PlatformCreateMainWindow(const char* title, int32_t width, int32_t height,
                                              char* error, size_t errorSize);
void PlatformDestroyMainWindow(PlatformWindowHandle window);
// The window made by PlatformCreateMainWindow, or null.
PlatformWindowHandle PlatformGetMainWindow();

void PlatformShowWindow(PlatformWindowHandle window);
// Restores the window from an icon and brings it to the front.
void PlatformRaiseWindow(PlatformWindowHandle window);
bool PlatformIsWindowMinimized(PlatformWindowHandle window);
// The client area as a rectangle at (0, 0), and the window's outer rectangle on the desktop.
SPlatformRect PlatformGetClientRect(PlatformWindowHandle window);
SPlatformRect PlatformGetWindowRect(PlatformWindowHandle window);
// The size of the desktop the window opens on.
bool PlatformGetDesktopSize(int32_t* width, int32_t* height);

void PlatformShowCursor(bool visible);

// Full screen over the whole desktop (the display mode stays as it is), or back to a window.
bool PlatformSetWindowFullScreen(PlatformWindowHandle window, bool fullScreen);
// Gives the window's client area this size and centres the window on its display.
void PlatformCenterWindow(PlatformWindowHandle window, int32_t width, int32_t height);

// Fills the window black and shows it. Stands in for drawing until the graphics device exists,
// and paints the window while drawing is suspended.
void PlatformPresentBlank(PlatformWindowHandle window);

// Handles every pending event: listeners (EventPump.h) see each one, the handler gets the
// window messages. Returns false once a quit request has been seen (the system's, the test
// driver's or PlatformPostQuit's), and from then on at once.
bool PlatformPumpMessages(WindowMessageHandler handler, void* user);
// Asks the pump to report quit; the program then leaves through its normal exit path.
void PlatformPostQuit();
