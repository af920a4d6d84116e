#pragma once
// The engine's message-fed input state: the four key tables by virtual-key code, the last key,
// the last typed character, the mouse over the game view and the wheel. The framework and the
// game read these tables directly; the keyboard poll refreshes them once per frame.

#include "Platform/InputDevices.h"

#include <cstdint>

struct SInputState {
  uint8_t holdOff[256] = {};   // per-key countdown; a key is available only while it is 0
  uint8_t changed[256] = {};   // 1 when the key's down value moved at the last poll
  uint8_t down[256] = {};      // 1 while the key is down
  uint8_t previous[256] = {};  // the down values of the poll before
  uint8_t lastKey = 0;         // the highest key that went down at the last poll, 0 for none
  char textInput[16] = {};     // the characters typed since the last clear, UTF-8, NUL-terminated
  float mouseX = 0.0f;         // -1 at the game view's left edge, +1 at its right edge
  float mouseY = 0.0f;         // -1 at the top, +1 at the bottom
  float mouseWheel = 0.0f;     // notches of the last wheel event since the last poll
};
SInputState& GetInputState();

// One record of the event stream: keys set their down entry at once, a character joins the
// text input (while it fits whole), a move places the mouse over the letterboxed game view, a wheel event replaces
// the wheel value.
void HandleInputMessage(const SInputMessage& message);
// The per-frame keyboard poll: hold-off counters count down, the down, changed and previous
// tables and the last key follow the keyboard's state. Alt+F4 asks the window to close.
void UpdateKeyboard();
void ResetInputState();
// Consumers clear the last key and the typed characters once they have used them.
void ClearFrameInput();
const char* GetTextInput();
// Down now and its hold-off over (the code taken modulo 256).
bool IsKeyAvailable(uint32_t code);
bool IsKeyHoldOffOver(uint32_t code);

// The engine's start-up, poll and shutdown of every input device: the tables, the event
// stream that feeds them and the joystick layer.
void InitInputDevices();
void PollInputDevices();
void ShutdownInputDevices();
