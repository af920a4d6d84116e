#pragma once
// The test driver: lets tests and scripts run the real program headless and repeatably.
//   HOLLOWMERE_FRAMES=N          run N frames, then quit through the normal exit path
//   HOLLOWMERE_FIXED_DT=SECONDS  every frame lasts exactly this long for the engine clock
//   HOLLOWMERE_INPUT=FILE        scripted input, one event per line (see below)
//   HOLLOWMERE_CAPTURE=DIR and HOLLOWMERE_CAPTURE_FRAMES=LIST   frames to save as PNG files
//                                (the list may be left out when the script names captures)
//   HOLLOWMERE_SEED=N            the game's random draws start from N instead of the time
//   HOLLOWMERE_STOP_IN_SAVE=FRAME the first save from that frame on stops between writing its
//                                temporary file and renaming it over the save, until killed
// Frames are numbered from 1. Script lines (blank lines and lines starting with '#' are skipped):
//   FRAME key down|up NAME        (NAME as the media library names keys: "A", "Left Alt", "F4")
//   FRAME mouse move X Y          (window pixels)
//   FRAME mouse down|up left|right
//   FRAME wheel N
//   FRAME text UTF8
//   FRAME window WIDTH HEIGHT     (the window's new client size)
//   FRAME idle                    (from frame FRAME on, the rest of the script waits until the
//                                 program says it waits for the player: see the idle probe)
//   FRAME capture NAME            (that frame saved as NAME.png in HOLLOWMERE_CAPTURE)
// The events of frame F are delivered by the first pump after frame F - 1 began, through the
// same path as the system's own events. A wait that ends in the pump before frame W makes the
// lines after it count from W: their frame N is delivered before frame W + N. Lines between
// two waits may come in any order but may not lie after the wait that ends them.

#include <cstddef>
#include <cstdint>
#include "Platform/PlatformTestDriverSeed.h"

// Reads the variables and the script. False with a message naming the variable or the file and
// line when something is wrong. Without variables the driver stays idle.
bool PlatformTestDriverLoad(char* error, size_t errorSize);
// Forgets everything loaded (for tests of the driver itself).
void PlatformTestDriverReset();

// Scripted events start flowing once the game runs (not while the program starts up).
void PlatformTestDriverArm();

// Called once at the start of every frame; returns the new frame's number (1, 2, ...). Writes
// the frame's line of the frame log.
uint32_t PlatformTestDriverBeginFrame();
uint32_t PlatformTestDriverFrameNumber();

// Called by a save whose temporary file is written and synced, just before it is renamed over
// `path`: under HOLLOWMERE_STOP_IN_SAVE it says so on the standard error and never returns (a
// program not killed within two minutes ends itself with exit code 3).
void PlatformTestDriverBeforeReplacing(const char* path, const char* temporary);

// The frame limit (0: none) and the fixed frame time (false: real time).
uint32_t PlatformTestDriverFrameLimit();
bool PlatformTestDriverFixedDt(double* seconds);
// The size the main window opens at, whatever the desktop's (false: the game's own choice).
bool PlatformTestDriverWindowSize(int32_t* width, int32_t* height);

// Whether the frame is listed for capture, and the folder the PNG files go to.
bool PlatformTestDriverCaptureFrame(uint32_t frame);
const char* PlatformTestDriverCaptureFolder();

// The number of scripted events still waiting to be delivered.
size_t PlatformTestDriverPendingEvents();

// Delivers one event now, written as a script line without its frame ("key down Left Alt",
// "mouse down left", "text abc"), through the same path as scripted events: tests drive input
// in-process with it. False with the reason when the line is not understood.
bool PlatformTestDriverSend(const char* line, char* error, size_t errorSize);

// What the program answers when a script's idle wait asks whether it is waiting for the player
// (nothing moving that the player must wait for); without a probe a wait never ends. Asked only
// in the pumps of the frames the wait covers.
void PlatformTestDriverSetIdleProbe(bool (*probe)());

// The name a script's capture line gave the frame (to be saved as NAME.png), else null.
const char* PlatformTestDriverCaptureName(uint32_t frame);

// Inside the platform layer: the pump calls this before it takes the system's events.
void PlatformTestDriverBeforePump();
