#pragma once
// The graphics device of the main window and the frame services around it: the adapter and
// mode lists, the choice of mode and depth format, creation, recovery of a lost device
// (every device resource released, the device reset, every resource restored), and the
// calls that begin and end each frame. The suspension of drawing, the client rectangle and
// the mode switches that drive it are declared with the window in Quordx.h.

#include "Platform/GraphicsDevice.h"
#include "Platform/InputGameView.h"
#include "Quor/DirectX/DeviceFrame.h"
#include "Quor/DirectX/DisplayModePool.h"
#include "Quor/DirectX/WindowDevice.h"

#include <cstdint>

// Texts the player sees before the program ends with exit code 1.
extern const char* const kNoDeviceMessage;          // "No suitable video device found."
extern const char* const kNoPixelShaderMessage;     // "Video device has no support for pixel shaders 2.0"

// Enumerates, chooses and creates the device. Called by ServiceFrame only.
void CreateDevice();
// ReleaseDevice, InitDeviceServices, ShutdownDeviceServices and RequestDeviceReset are
// declared in WindowDevice.h.
// A reset with the stored presentation parameters; true when it succeeded.
bool ResetDevice();

// ServiceFrame, BeginDeviceFrame and EndFrame are declared in DeviceFrame.h.
// BeginDeviceFrame, then the frame counter, the frame clock and the frame's alpha states.
bool BeginFrame();
// EndFrame, and the frame is over.
void FinishFrame();
bool IsInFrame();
// With the test driver's capture folder set: the back buffer as it is now, saved there under
// the given file name (PNG). False when capture is off or the picture could not be saved.
bool CaptureBackBufferAs(const char* fileName);

// The part of the back buffer the game draws into, in back-buffer pixels: the back buffer
// fitted to the shape the picture is laid out for (bars beside or above and below it), or
// without one clamped to between 4:3 and 16:9; centred. The mouse is mapped over it.
SPlatformGameView GetGameView();

// The adapter entries of the last enumeration.
int GetAdapterEntryCount();
const SAdapterEntry* GetAdapterEntry(int index);
// The modes chosen at the last creation (null before).
const SDisplayModeRecord* GetWindowedMode();
const SDisplayModeRecord* GetFullScreenMode();
EGfxFormat GetChosenDepthFormat();
