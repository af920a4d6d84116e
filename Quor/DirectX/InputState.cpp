#include "Quor/DirectX/InputState.h"

#include "Quor/DirectX/CJoystickDX.h"
#include "Quor/DirectX/Quordx.h"
#include "Quor/DirectX/QuordxDevice.h"

#include <cstring>

namespace {

SInputState g_inputState;

void OnInputMessage(const SInputMessage& message, void*) { HandleInputMessage(message); }

// The mouse is measured over the same rectangle the device draws the game into. The back
// buffer is shown stretched over the client area, so window pixels are first taken to
// back-buffer pixels (the two differ only until the device has followed a new window size).
void PlaceMouse(int32_t windowX, int32_t windowY) {
  const SPlatformState& platform = GetPlatformState();
  const SPlatformGameView view = GetGameView();
  if (view.width <= 0 || view.height <= 0) return;  // no window to measure against yet
  float x = static_cast<float>(windowX), y = static_cast<float>(windowY);
  const int32_t clientWidth = platform.clientRect.right - platform.clientRect.left;
  const int32_t clientHeight = platform.clientRect.bottom - platform.clientRect.top;
  if (clientWidth > 0 && clientHeight > 0) {
    x = x * static_cast<float>(platform.backBufferWidth) / static_cast<float>(clientWidth);
    y = y * static_cast<float>(platform.backBufferHeight) / static_cast<float>(clientHeight);
  }
  g_inputState.mouseX = 2.0f * (x - static_cast<float>(view.x)) / static_cast<float>(view.width) - 1.0f;
  g_inputState.mouseY = 2.0f * (y - static_cast<float>(view.y)) / static_cast<float>(view.height) - 1.0f;
}

}  // namespace

SInputState& GetInputState() { return g_inputState; }

void HandleInputMessage(const SInputMessage& message) {
  switch (message.kind) {
    case EInputMessage::KeyDown:
    case EInputMessage::KeyUp:
      g_inputState.down[message.key] = message.kind == EInputMessage::KeyDown ? 1 : 0;
      break;
    case EInputMessage::Char: {
      // Characters typed within one frame are all kept, in order, as far as they fit whole.
      static_assert(sizeof message.text < sizeof g_inputState.textInput, "a character fits");
      const size_t kept = strnlen(g_inputState.textInput, sizeof g_inputState.textInput - 1);
      const size_t length = strnlen(message.text, sizeof message.text);
      if (kept + length < sizeof g_inputState.textInput) {
        std::memcpy(g_inputState.textInput + kept, message.text, length);
        g_inputState.textInput[kept + length] = '\0';
      }
      break;
    }
    case EInputMessage::MouseMove:
      PlaceMouse(message.x, message.y);
      break;
    case EInputMessage::MouseWheel:
      g_inputState.mouseWheel = message.notches;
      break;
  }
}

void UpdateKeyboard() {
  SInputState& state = g_inputState;
  state.mouseWheel = 0.0f;
  state.lastKey = 0;
  uint8_t keyboard[256];
  PlatformGetKeyboardState(keyboard);
  for (int code = 0; code < 256; ++code) {
    if (state.holdOff[code] != 0) --state.holdOff[code];
    const uint8_t down = (keyboard[code] & 0x80) ? 1 : 0;
    state.down[code] = down;
    state.changed[code] = down != state.previous[code] ? 1 : 0;
    state.previous[code] = down;
    if (state.changed[code] && down) state.lastKey = static_cast<uint8_t>(code);
  }
  // Once, when the pair completes: the window procedure asks the program to end the usual
  // way, so the game still gets to save on its way out.
  const bool pairComplete = state.down[kVkMenu] && state.down[kVkF4] &&
                            (state.changed[kVkMenu] || state.changed[kVkF4]);
  if (pairComplete) MainWindowProc(SWindowMessage{EWindowMessage::Close});
}

void ResetInputState() {
  SInputState& state = g_inputState;
  state.mouseX = state.mouseY = state.mouseWheel = 0.0f;
  std::memset(state.holdOff, 0, sizeof state.holdOff);
  std::memset(state.changed, 0, sizeof state.changed);
  std::memset(state.down, 0, sizeof state.down);
  std::memset(state.previous, 0, sizeof state.previous);
}

void ClearFrameInput() {
  g_inputState.lastKey = 0;
  g_inputState.textInput[0] = '\0';
}

const char* GetTextInput() { return g_inputState.textInput; }

bool IsKeyAvailable(uint32_t code) {
  const uint8_t key = static_cast<uint8_t>(code);
  return g_inputState.down[key] && g_inputState.holdOff[key] == 0;
}

bool IsKeyHoldOffOver(uint32_t code) {
  return g_inputState.holdOff[static_cast<uint8_t>(code)] == 0;
}

void InitInputDevices() {
  ResetInputState();
  PlatformSetInputMessageHandler(&OnInputMessage, nullptr);
  PlatformInputStart();
  CreateJoystick();
}

void PollInputDevices() {
  UpdateKeyboard();
  if (CJoystickDX* joystick = GetJoystick()) joystick->Update();
}

void ShutdownInputDevices() {
  DestroyJoystick();
  PlatformInputStop();
  PlatformSetInputMessageHandler(nullptr, nullptr);
}
