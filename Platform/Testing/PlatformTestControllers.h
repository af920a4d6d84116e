#pragma once
// Game controllers made up by the media library for tests: attached before the input devices
// look for controllers, moved by hand, and detached again when the test ends.

#include <cstddef>
#include <cstdint>

// Starts the controller system and attaches `count` controllers (8 axes, 16 buttons, 2 hats),
// numbered from 0 in the order they were attached. False with a reason when one cannot be made.
bool PlatformTestAttachControllers(int32_t count, char* error, size_t errorSize);
// Detaches every controller attached above and stops the controller system again; safe to call
// when none were attached.
void PlatformTestDetachControllers();

// Moves an axis (raw, -32768..32767), presses or releases a button, turns a hat
// (EPlatformHatBits). The input devices see the change at the next pump.
void PlatformTestSetControllerAxis(int32_t controller, int32_t axis, int16_t value);
void PlatformTestSetControllerButton(int32_t controller, int32_t button, bool pressed);
void PlatformTestSetControllerHat(int32_t controller, int32_t hat, uint8_t hatBits);
