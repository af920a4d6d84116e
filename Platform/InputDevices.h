#pragma once
// Keyboard, mouse and game controllers as the engine's input layer expects them. Keys are named
// by Windows virtual-key codes (our own scancode table); mouse buttons appear as their virtual
// keys too. The key and mouse state is kept from the event stream, so scripted events count
// exactly like the system's own.

#include <cstddef>
#include <cstdint>

#include "Platform/PlatformWindowHandle.h"

// A few virtual-key codes the engine and its tests name.
enum EVirtualKey : uint8_t {
  kVkLButton = 0x01, kVkRButton = 0x02, kVkMButton = 0x04, kVkXButton1 = 0x05,
  kVkXButton2 = 0x06, kVkBack = 0x08, kVkTab = 0x09, kVkReturn = 0x0D, kVkShift = 0x10,
  kVkControl = 0x11, kVkMenu = 0x12, kVkEscape = 0x1B, kVkSpace = 0x20, kVkLeft = 0x25,
  kVkUp = 0x26, kVkRight = 0x27, kVkDown = 0x28, kVkF4 = 0x73, kVkLShift = 0xA0,
  kVkRShift = 0xA1, kVkLControl = 0xA2, kVkRControl = 0xA3, kVkLMenu = 0xA4, kVkRMenu = 0xA5,
};

// Starts following the event stream (once; a second call does nothing) and forgets the state.
void PlatformInputStart();
void PlatformInputStop();

// The virtual key of a media-library scancode; 0 for keys without one.
uint8_t PlatformVirtualKeyFromScancode(int32_t scancode);
// The key's name as the media library gives it ("Left Shift", "A"), or false when none.
bool PlatformVirtualKeyName(uint8_t virtualKey, char* out, size_t outSize);

// Every key and mouse button by virtual key: 0x80 while down, else 0. The generic Shift, Ctrl
// and Alt entries are down while either of their left or right keys is.
void PlatformGetKeyboardState(uint8_t states[256]);

// What the event stream says, one record per event, in the order they came.
enum class EInputMessage {
  KeyDown,     // key: the virtual key (the generic one for Shift, Ctrl and Alt)
  KeyUp,       // key: as above
  Char,        // text: one typed character as UTF-8
  MouseMove,   // x, y: the pointer in window pixels
  MouseWheel,  // notches: positive away from the user
};
struct SInputMessage {
  EInputMessage kind = EInputMessage::KeyDown;
  uint8_t key = 0;
  char text[8] = {};
  int32_t x = 0;
  int32_t y = 0;
  float notches = 0.0f;
};
using InputMessageHandler = void (*)(const SInputMessage& message, void* user);
// One handler receives the records (null: none).
void PlatformSetInputMessageHandler(InputMessageHandler handler, void* user);

// The keyboard as a polled device: the keyboard state without the mouse buttons. False while
// the event system that feeds it is not running.
bool PlatformReadKeyboardDevice(uint8_t states[256]);

// The mouse as a polled device: movement and wheel (120 per notch) since the last read, and
// the buttons (0x80 while down: left, right, middle, then the extra ones).
struct SPlatformMouseState {
  int32_t x = 0;
  int32_t y = 0;
  int32_t wheel = 0;
  uint8_t buttons[8] = {};
};
bool PlatformReadMouseDevice(SPlatformMouseState* state);

// Game controllers as polled devices: axes in -1000..1000, hats in hundredths of a degree
// clockwise from north (0xFFFFFFFF centred), buttons 0x80 while pressed.
constexpr int32_t kPlatformControllerAxes = 8;
constexpr int32_t kPlatformControllerHats = 4;
constexpr int32_t kPlatformControllerButtons = 128;
constexpr uint32_t kPlatformHatCentred = 0xFFFFFFFFu;
struct SPlatformControllerState {
  int32_t axes[kPlatformControllerAxes] = {};
  uint32_t hats[kPlatformControllerHats] = {kPlatformHatCentred, kPlatformHatCentred,
                                            kPlatformHatCentred, kPlatformHatCentred};
  uint8_t buttons[kPlatformControllerButtons] = {};
};
// Opens the first attached controllers, at most maxCount, numbered from 0; returns how many.
// -1 with a reason when the controller system cannot start.
int32_t PlatformOpenControllers(int32_t maxCount, char* error, size_t errorSize);
void PlatformCloseControllers();
// The controller's name (empty when the index is not open).
void PlatformControllerName(int32_t index, char* out, size_t outSize);
// False when the controller is not open or no longer attached.
bool PlatformReadController(int32_t index, SPlatformControllerState* state);

// A hat's direction bits as the media library reports them; a diagonal sets two.
enum EPlatformHatBits : uint8_t {
  kPlatformHatUp = 0x01,
  kPlatformHatRight = 0x02,
  kPlatformHatDown = 0x04,
  kPlatformHatLeft = 0x08,
};

// The conversions the controllers go through, for tests.
int32_t PlatformAxisToRange(int32_t raw);
uint32_t PlatformHatToAngle(uint8_t hatBits);

// The pointer over a window in window pixels; false when the pointer is not over it.
bool PlatformGetCursorPosition(PlatformWindowHandle window, int32_t* x, int32_t* y);
// Moves the pointer to window pixels; false when the window is null or the pointer did not
// arrive there (a driver that cannot move it).
bool PlatformSetCursorPosition(PlatformWindowHandle window, int32_t x, int32_t y);
