#pragma once
// The program's outer shell: the entry, the single-instance rule, the command line, the one main
// window with its message pump and window procedure, the user data folder, the "windowed" marker
// and the orderly exit. Also the counted suspension of drawing, which freezes engine time.

#include "Platform/PlatformWindow.h"
#include "Platform/PlatformWindowHandle.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <thread>

extern const char* const kGameTitle;  // "Hollowmere"

// The game's start-up function, defined by the game; called once the window exists.
int GameMain(int argumentCount);
using GameMainFn = int (*)(int argumentCount);

// The program-wide platform record.
struct SPlatformState {
  PlatformWindowHandle mainWindow = nullptr;
  PlatformWindowHandle inputWindow = nullptr;   // the handle input and sound attach to
  PlatformWindowHandle deviceWindow = nullptr;  // the window the device draws into
  SPlatformRect windowRect;
  SPlatformRect clientRect;
  int32_t renderWidth = 0;
  int32_t renderHeight = 0;
  // The device's back buffer: the client size (never 0 x 0), in full screen too; the mode's
  // size only while the client size is unknown.
  int32_t backBufferWidth = 0;
  int32_t backBufferHeight = 0;
  // The shape (width / height) the picture is laid out for; the game view keeps it, with bars
  // where the back buffer's shape differs. 0: the view follows the back buffer's clamped shape.
  float pictureAspect = 0.0f;
  int32_t screenWidth = 1024;  // the requested window size, capped by the desktop
  int32_t screenHeight = 768;
  bool windowed = false;
  bool cursorVisible = false;
  bool cursorShown = true;  // what the system shows now
  int32_t multisample = 0;
  std::thread::id mainThread;
  bool quitSeen = false;
  bool windowReady = false;
  bool running = true;
  // Focus logic.
  int8_t active = -1;  // -1 before the first activation or deactivation
  bool returnModeKnown = false;
  bool returnWindowed = true;
  bool focusChange = false;
  // Suspension of drawing: counted; the system starts suspended until activated.
  int32_t suspendCount = 1;
  bool drawingAllowed = false;
  bool deviceWasReset = false;
};
// The record, to read. It changes only through the window's messages and the calls below;
// tests set it up through QuordxTestSeams.h.
const SPlatformState& GetPlatformState();
// The device's back buffer and the render area inside it, in pixels, as the device settles them.
void SetBackBufferSize(int32_t width, int32_t height);
void SetRenderArea(int32_t width, int32_t height);
// The shape the picture is laid out for (see SPlatformState::pictureAspect).
void SetPictureAspect(float aspect);
// Noted after each recovery of the device; TakeDeviceWasReset reads and clears it.
void MarkDeviceWasReset();
// The frame loop's answer from the message pump: false once the program is to end.
void SetEngineRunning(bool running);

// Process entry: returns 0 when another instance runs; otherwise ends the process in ExitProgram.
int WinMain(int argc, char** argv, GameMainFn gameMain);
void CreateMainWindow();
void DestroyMainWindow();
// The message pump: false once a quit request has been seen, and from then on at once.
bool ProcessMessages();
void MainWindowProc(const SWindowMessage& message);
[[noreturn]] void ExitProgram(int code);

// An optional filter: returning false swallows a window message. Nothing sets it by default.
using MessageHookFn = bool (*)(const SWindowMessage& message);
extern MessageHookFn MessageHook;
// An optional function called just before the process exits.
using ExitHookFn = void (*)();
extern ExitHookFn ExitHook;

// The user data folder, ending in '/', created when missing.
const std::string& GetUserDataFolder();
// Creates the "windowed" marker in windowed mode and deletes it in full screen.
void WriteWindowedMarker();
void ShowSystemCursor(bool visible);

// True on the thread that entered the program; device work runs only there.
bool IsMainThread();
// The lock the device is recovered under; exists while the window does.
class CCriticalSection;
CCriticalSection* GetDeviceLock();

bool IsDrawingAllowed();
bool TakeDeviceWasReset();
bool IsIdleSensorStalled();

// Counted pause of drawing and of engine time: time stands still from the first suspension
// until the count is back at 0. The window is painted black meanwhile.
void SuspendRendering();
void ResumeRendering();
// Re-reads the window and client rectangles; the render area follows the client size, and a
// new size becomes the back buffer's through a device reset (QuordxDevice.cpp).
void UpdateClientRect();
// The mode switches: the window leaves or enters full screen and the device is reset.
void SetWindowedMode(bool cursorVisible);
void SetFullScreenMode(bool cursorVisible);
// Fills the window black and shows it, while the device does not draw.
void PresentBlankFrame();

// The window size for a request on a desktop: at most 90 % of the desktop on either axis,
// scaled down with its aspect kept.
void CapWindowSize(int32_t desktopWidth, int32_t desktopHeight, int32_t* width, int32_t* height);
// The multisample request of a command line: the number after "-multisample", 0..8.
int32_t ParseMultisample(const char* commandLine);

// The argument table: every argument packed into one 4096-byte buffer, at most 256 of them.
// Arguments that no longer fit are left out (and reported).
static constexpr size_t kArgumentBufferSize = 4096;
static constexpr int kMaxArguments = 256;
void BuildArgumentTable(int argc, const char* const* argv);
int GetArgumentCount();
const char* const* GetArgumentTable();

