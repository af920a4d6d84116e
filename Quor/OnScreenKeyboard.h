#pragma once
// The on-screen keyboard: a text-entry panel of 4 rows of 11 keys (digits, the letters in
// QWERTY order in an upper-case and a lower-case layout, backspace, a layout switch, OK,
// Cancel and space) for players without a keyboard at hand. Its font, button textures,
// sounds and colours come from the folder "OSK". The game states load it when they start
// and release it when they end; a screen that wants text shows it, feeds it the frame's
// input, draws it and reads the result once OK or Cancel was pressed.
//
// There is one keyboard, global; everything runs on the main thread.

#include <cstddef>
#include <cstdint>

#include "Quor/CFont.h"

struct SSoundRecord;
struct TextureRecord;
struct SOskKey;

using OskKeyAction = void (*)(SOskKey* key);

struct SOskKey {
  const char* labels[2] = {};    // per layout (0 upper case, 1 lower case); null: the character
  uint8_t characters[2] = {};    // per layout
  OskKeyAction action = nullptr;
  TextureRecord* texture = nullptr;  // one of the keyboard's button textures (not owned)
  float x = -1.0f, y = -1.0f;        // top-left in virtual units; -1: not placed yet
  float width = 0, height = 0;
  float scale = 1.0f;
};

enum EOskButton : uint32_t {
  kOskButtonSmall, kOskButtonWide, kOskButtonSpace, kOskButtonBackspace, kOskButtonOk, kOskButtonCancel,
  kOskCursor, kOskButtonCount
};

// The configuration's colours, in the order of the configuration keys' table.
enum EOskColour : uint32_t {
  kOskBackground, kOskBackground2, kOskKey, kOskPrompt, kOskInputBackground, kOskInputBorder, kOskInput,
  kOskColourCount
};

struct SOnScreenKeyboard {
  static constexpr uint32_t kColumns = 11;
  static constexpr uint32_t kRows = 4;
  static constexpr uint32_t kCells = kColumns * kRows;
  static constexpr uint32_t kInputSize = 256;

  CFont font;
  TextureRecord* buttons[kOskButtonCount] = {};
  TextureRecord* background = nullptr;  // only when "OSK\texBg.mpt" exists
  SSoundRecord* pressSound = nullptr;   // null without a sound manager
  SSoundRecord* failSound = nullptr;
  uint32_t colours[kOskColourCount] = {};  // 0xAARRGGBB
  float cursorScale = 1.0f;
  uint32_t layout = 0;
  SOskKey* keys[kCells] = {};  // row by row; null: an empty cell
  uint32_t selection = 0;
  char input[kInputSize] = {};
  int32_t cursor = -1;  // index of the last typed character, -1 when empty
  uint32_t maximumLength = 0;
  uint8_t ok = 0, cancel = 0;

  // The panel.
  bool visible = false;
  char prompt[kInputSize] = {};
};

// Loads the font, textures, sounds and configuration and builds the keys; does nothing when
// already done. A missing font or button texture and a bad configuration are fatal; without
// a texture manager the keyboard is reported and stays uninitialised (false).
bool OnScreenKeyboardInit();
// Gives everything back; does nothing when not initialised.
void OnScreenKeyboardShutdown();
bool IsOnScreenKeyboardInitialised();
// Null while not initialised.
SOnScreenKeyboard* GetOnScreenKeyboard();

// The key actions.
void OskTypeKey(SOskKey* key);
void OskBackspaceKey(SOskKey* key);
void OskSwitchLayoutKey(SOskKey* key);
void OskOkKey(SOskKey* key);
void OskCancelKey(SOskKey* key);

// Opens the panel with a prompt and a starting text (either may be null); the maximum length
// counts the text's terminator, so at most maximumLength - 1 characters are typed. It is kept
// to the input's size.
void OnScreenKeyboardShow(const char* prompt, uint32_t maximumLength, const char* text);
void OnScreenKeyboardHide();
bool IsOnScreenKeyboardVisible();
// Reads this frame's input while the panel is open: the arrow keys move the selection, Enter
// presses the selected key, Backspace and Escape press backspace and Cancel, typed characters
// that the keyboard has are typed, and a left click presses the key under the mouse. OK and
// Cancel close the panel; their flags stay for the caller.
void OnScreenKeyboardProcessInput();
// Draws the open panel (nothing while it is closed).
void OnScreenKeyboardRender();
// Lays the keys out for the current aspect (the render does it every frame).
void OnScreenKeyboardPlaceKeys();
// The key cell under a point in virtual units, or -1.
int32_t OnScreenKeyboardKeyAt(float x, float y);

// Reads a web colour "#RRGGBB" (upper-case hex digits) into 0xFFRRGGBB. False with the
// reason, naming the key and the value, for anything else.
bool ParseOskWebColour(const char* key, const char* value, uint32_t* colour, char* error, size_t errorSize);
