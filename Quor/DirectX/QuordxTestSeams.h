#pragma once
// The engine's test seams, gathered in one place: the window and device record that the engine
// itself only reads, the factory devices come from, and the one reset that brings the engine's
// window, device and platform state back to what a new process finds.

#include "Quor/DirectX/Quordx.h"

class IGfxDeviceFactory;

// The record, to set up a situation directly (a window size, a mode, a quit seen).
SPlatformState& PlatformStateForTests();
// Where devices come from; tests install one that fails. Null restores the real one.
void SetDeviceFactory(IGfxDeviceFactory* factory);
// The record back to its defaults, no message or exit hook, the real device factory, and the
// platform layer reset (PlatformResetState): tests that run one after another in one process
// start from here.
void ResetEngineStateForTests();
