#include "Platform/InputDevices.h"

#include "Platform/EventPump.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// The system's wheel step: one notch of the wheel counts this much.
constexpr int32_t kWheelDeltaPerNotch = 120;
// Controller axes arrive in -32767..32767 and are given in -1000..1000.
constexpr int64_t kAxisRawMax = 32767;
constexpr int32_t kAxisRangeMax = 1000;

struct SScancodeKey {
  SDL_Scancode scancode;
  uint8_t virtualKey;
};

// Keys by position, named as a US keyboard names them (as the system's own virtual keys are on
// such a keyboard). Letters, digits and function keys follow in runs and are filled in code.
const SScancodeKey kKeyTable[] = {
    {SDL_SCANCODE_RETURN, 0x0D},       {SDL_SCANCODE_ESCAPE, 0x1B},
    {SDL_SCANCODE_BACKSPACE, 0x08},    {SDL_SCANCODE_TAB, 0x09},
    {SDL_SCANCODE_SPACE, 0x20},        {SDL_SCANCODE_MINUS, 0xBD},
    {SDL_SCANCODE_EQUALS, 0xBB},       {SDL_SCANCODE_LEFTBRACKET, 0xDB},
    {SDL_SCANCODE_RIGHTBRACKET, 0xDD}, {SDL_SCANCODE_BACKSLASH, 0xDC},
    {SDL_SCANCODE_NONUSHASH, 0xDC},    {SDL_SCANCODE_SEMICOLON, 0xBA},
    {SDL_SCANCODE_APOSTROPHE, 0xDE},   {SDL_SCANCODE_GRAVE, 0xC0},
    {SDL_SCANCODE_COMMA, 0xBC},        {SDL_SCANCODE_PERIOD, 0xBE},
    {SDL_SCANCODE_SLASH, 0xBF},        {SDL_SCANCODE_CAPSLOCK, 0x14},
    {SDL_SCANCODE_PRINTSCREEN, 0x2C},  {SDL_SCANCODE_SCROLLLOCK, 0x91},
    {SDL_SCANCODE_PAUSE, 0x13},        {SDL_SCANCODE_INSERT, 0x2D},
    {SDL_SCANCODE_HOME, 0x24},         {SDL_SCANCODE_PAGEUP, 0x21},
    {SDL_SCANCODE_DELETE, 0x2E},       {SDL_SCANCODE_END, 0x23},
    {SDL_SCANCODE_PAGEDOWN, 0x22},     {SDL_SCANCODE_RIGHT, 0x27},
    {SDL_SCANCODE_LEFT, 0x25},         {SDL_SCANCODE_DOWN, 0x28},
    {SDL_SCANCODE_UP, 0x26},           {SDL_SCANCODE_NUMLOCKCLEAR, 0x90},
    {SDL_SCANCODE_KP_DIVIDE, 0x6F},    {SDL_SCANCODE_KP_MULTIPLY, 0x6A},
    {SDL_SCANCODE_KP_MINUS, 0x6D},     {SDL_SCANCODE_KP_PLUS, 0x6B},
    {SDL_SCANCODE_KP_ENTER, 0x0D},     {SDL_SCANCODE_KP_0, 0x60},
    {SDL_SCANCODE_KP_PERIOD, 0x6E},    {SDL_SCANCODE_NONUSBACKSLASH, 0xE2},
    {SDL_SCANCODE_APPLICATION, 0x5D},  {SDL_SCANCODE_LCTRL, kVkLControl},
    {SDL_SCANCODE_LSHIFT, kVkLShift},  {SDL_SCANCODE_LALT, kVkLMenu},
    {SDL_SCANCODE_LGUI, 0x5B},         {SDL_SCANCODE_RCTRL, kVkRControl},
    {SDL_SCANCODE_RSHIFT, kVkRShift},  {SDL_SCANCODE_RALT, kVkRMenu},
    {SDL_SCANCODE_RGUI, 0x5C},
};

struct SMouseButton {
  uint8_t sdlButton;
  uint8_t deviceIndex;  // left, right, middle, then the extra ones
  uint8_t virtualKey;
};
const SMouseButton kMouseButtons[] = {
    {SDL_BUTTON_LEFT, 0, kVkLButton},   {SDL_BUTTON_RIGHT, 1, kVkRButton},
    {SDL_BUTTON_MIDDLE, 2, kVkMButton}, {SDL_BUTTON_X1, 3, kVkXButton1},
    {SDL_BUTTON_X2, 4, kVkXButton2},
};

struct SInput {
  bool started = false;
  bool scancodeDown[SDL_NUM_SCANCODES] = {};
  uint8_t mouseButtons[8] = {};
  int32_t mouseDx = 0, mouseDy = 0, wheel = 0;
  InputMessageHandler handler = nullptr;
  void* handlerUser = nullptr;
};
SInput g_input;
std::vector<SDL_Joystick*> g_controllers;
bool g_controllerSystemStarted = false;

struct SKeyTable {
  uint8_t byScancode[SDL_NUM_SCANCODES] = {};
  SKeyTable() {
    for (int i = 0; i < 26; ++i) byScancode[SDL_SCANCODE_A + i] = static_cast<uint8_t>('A' + i);
    for (int i = 0; i < 9; ++i) byScancode[SDL_SCANCODE_1 + i] = static_cast<uint8_t>('1' + i);
    byScancode[SDL_SCANCODE_0] = '0';
    for (int i = 0; i < 12; ++i) byScancode[SDL_SCANCODE_F1 + i] = static_cast<uint8_t>(0x70 + i);
    for (int i = 0; i < 12; ++i) byScancode[SDL_SCANCODE_F13 + i] = static_cast<uint8_t>(0x7C + i);
    for (int i = 0; i < 9; ++i) byScancode[SDL_SCANCODE_KP_1 + i] = static_cast<uint8_t>(0x61 + i);
    for (const SScancodeKey& key : kKeyTable) byScancode[key.scancode] = key.virtualKey;
  }
};
const SKeyTable& KeyTable() {
  static const SKeyTable table;
  return table;
}

// Windows reports the generic key of a left or right modifier in its key messages.
uint8_t GenericKey(uint8_t virtualKey) {
  switch (virtualKey) {
    case kVkLShift: case kVkRShift: return kVkShift;
    case kVkLControl: case kVkRControl: return kVkControl;
    case kVkLMenu: case kVkRMenu: return kVkMenu;
    default: return virtualKey;
  }
}

void Deliver(const SInputMessage& message) {
  if (g_input.handler) g_input.handler(message, g_input.handlerUser);
}

void OnKey(const SDL_KeyboardEvent& event) {
  const int32_t scancode = event.keysym.scancode;
  if (scancode <= SDL_SCANCODE_UNKNOWN || scancode >= SDL_NUM_SCANCODES) return;
  const bool down = event.type == SDL_KEYDOWN;
  g_input.scancodeDown[scancode] = down;
  const uint8_t virtualKey = KeyTable().byScancode[scancode];
  if (virtualKey == 0) return;
  SInputMessage message;
  message.kind = down ? EInputMessage::KeyDown : EInputMessage::KeyUp;
  message.key = GenericKey(virtualKey);
  Deliver(message);
}

// The length of the UTF-8 character at text, 0 when it is malformed or cut off.
size_t Utf8CharLength(const char* text) {
  const uint8_t lead = static_cast<uint8_t>(text[0]);
  size_t length = 0;
  if (lead < 0x80) length = 1;
  else if ((lead & 0xE0) == 0xC0) length = 2;
  else if ((lead & 0xF0) == 0xE0) length = 3;
  else if ((lead & 0xF8) == 0xF0) length = 4;
  for (size_t i = 1; i < length; ++i) {
    if ((static_cast<uint8_t>(text[i]) & 0xC0) != 0x80) return 0;
  }
  return length;
}

// One record per character, as a typist's keystrokes would arrive one by one.
void OnText(const SDL_TextInputEvent& event) {
  const char* text = event.text;
  const char* end = event.text + strnlen(event.text, sizeof event.text);
  while (text < end) {
    const size_t length = Utf8CharLength(text);
    if (length == 0) {
      ++text;  // a stray byte is dropped, never read past
      continue;
    }
    SInputMessage message;
    message.kind = EInputMessage::Char;
    std::memcpy(message.text, text, length);
    Deliver(message);
    text += length;
  }
}

void OnMouseButton(const SDL_MouseButtonEvent& event) {
  for (const SMouseButton& button : kMouseButtons) {
    if (button.sdlButton == event.button) {
      g_input.mouseButtons[button.deviceIndex] = event.type == SDL_MOUSEBUTTONDOWN ? 0x80 : 0;
    }
  }
}

void OnWheel(const SDL_MouseWheelEvent& event) {
  int32_t notches = event.y;
  if (event.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
  g_input.wheel += notches * kWheelDeltaPerNotch;
  SInputMessage message;
  message.kind = EInputMessage::MouseWheel;
  message.notches = static_cast<float>(notches);
  Deliver(message);
}

void OnEvent(const SDL_Event& event, void*) {
  switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      OnKey(event.key);
      break;
    case SDL_TEXTINPUT:
      OnText(event.text);
      break;
    case SDL_MOUSEMOTION: {
      g_input.mouseDx += event.motion.xrel;
      g_input.mouseDy += event.motion.yrel;
      SInputMessage message;
      message.kind = EInputMessage::MouseMove;
      message.x = event.motion.x;
      message.y = event.motion.y;
      Deliver(message);
      break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      OnMouseButton(event.button);
      break;
    case SDL_MOUSEWHEEL:
      OnWheel(event.wheel);
      break;
    default:
      break;
  }
}

bool EventsRunning() { return SDL_WasInit(SDL_INIT_EVENTS) != 0; }

}  // namespace

void PlatformInputStart() {
  if (g_input.started) return;
  const InputMessageHandler handler = g_input.handler;
  void* user = g_input.handlerUser;
  g_input = SInput();
  g_input.handler = handler;
  g_input.handlerUser = user;
  g_input.started = true;
  PlatformAddEventListener(&OnEvent, nullptr);
}

void PlatformInputStop() {
  if (!g_input.started) return;
  PlatformRemoveEventListener(&OnEvent, nullptr);
  g_input.started = false;
}

uint8_t PlatformVirtualKeyFromScancode(int32_t scancode) {
  if (scancode < 0 || scancode >= SDL_NUM_SCANCODES) return 0;
  return KeyTable().byScancode[scancode];
}

bool PlatformVirtualKeyName(uint8_t virtualKey, char* out, size_t outSize) {
  if (outSize > 0) out[0] = '\0';
  if (virtualKey == 0) return false;
  for (int32_t scancode = 0; scancode < SDL_NUM_SCANCODES; ++scancode) {
    if (KeyTable().byScancode[scancode] != virtualKey) continue;
    const char* name = SDL_GetScancodeName(static_cast<SDL_Scancode>(scancode));
    if (!name || !name[0]) return false;
    std::snprintf(out, outSize, "%s", name);
    return true;
  }
  return false;
}

void PlatformGetKeyboardState(uint8_t states[256]) {
  std::memset(states, 0, 256);
  const SKeyTable& table = KeyTable();
  for (int32_t scancode = 0; scancode < SDL_NUM_SCANCODES; ++scancode) {
    const uint8_t virtualKey = table.byScancode[scancode];
    if (virtualKey == 0 || !g_input.scancodeDown[scancode]) continue;
    states[virtualKey] = 0x80;
    states[GenericKey(virtualKey)] = 0x80;
  }
  for (const SMouseButton& button : kMouseButtons) {
    states[button.virtualKey] = g_input.mouseButtons[button.deviceIndex];
  }
}

void PlatformSetInputMessageHandler(InputMessageHandler handler, void* user) {
  g_input.handler = handler;
  g_input.handlerUser = user;
}

bool PlatformReadKeyboardDevice(uint8_t states[256]) {
  if (!EventsRunning()) return false;
  PlatformGetKeyboardState(states);
  for (const SMouseButton& button : kMouseButtons) states[button.virtualKey] = 0;
  return true;
}

bool PlatformReadMouseDevice(SPlatformMouseState* state) {
  if (!EventsRunning()) return false;
  state->x = g_input.mouseDx;
  state->y = g_input.mouseDy;
  state->wheel = g_input.wheel;
  std::memcpy(state->buttons, g_input.mouseButtons, sizeof state->buttons);
  g_input.mouseDx = g_input.mouseDy = g_input.wheel = 0;
  return true;
}

int32_t PlatformAxisToRange(int32_t raw) {
  const int32_t value = static_cast<int32_t>(static_cast<int64_t>(raw) * kAxisRangeMax / kAxisRawMax);
  return value < -kAxisRangeMax ? -kAxisRangeMax : (value > kAxisRangeMax ? kAxisRangeMax : value);
}

static_assert(kPlatformHatUp == SDL_HAT_UP && kPlatformHatRight == SDL_HAT_RIGHT && kPlatformHatDown == SDL_HAT_DOWN &&
                  kPlatformHatLeft == SDL_HAT_LEFT,
              "the hat bits are the media library's own");

uint32_t PlatformHatToAngle(uint8_t hatBits) {
  switch (hatBits) {
    case SDL_HAT_UP: return 0;
    case SDL_HAT_RIGHTUP: return 4500;
    case SDL_HAT_RIGHT: return 9000;
    case SDL_HAT_RIGHTDOWN: return 13500;
    case SDL_HAT_DOWN: return 18000;
    case SDL_HAT_LEFTDOWN: return 22500;
    case SDL_HAT_LEFT: return 27000;
    case SDL_HAT_LEFTUP: return 31500;
    default: return kPlatformHatCentred;  // centred, or opposite directions at once
  }
}

int32_t PlatformOpenControllers(int32_t maxCount, char* error, size_t errorSize) {
  PlatformCloseControllers();
  if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) {
    std::snprintf(error, errorSize, "cannot start the game controllers: %s", SDL_GetError());
    return -1;
  }
  g_controllerSystemStarted = true;
  const int32_t attached = SDL_NumJoysticks();
  for (int32_t index = 0; index < attached && static_cast<int32_t>(g_controllers.size()) < maxCount;
       ++index) {
    SDL_Joystick* joystick = SDL_JoystickOpen(index);
    if (joystick) g_controllers.push_back(joystick);
  }
  return static_cast<int32_t>(g_controllers.size());
}

void PlatformCloseControllers() {
  if (!g_controllerSystemStarted) return;
  for (SDL_Joystick* joystick : g_controllers) SDL_JoystickClose(joystick);
  g_controllers.clear();
  SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
  g_controllerSystemStarted = false;
}

void PlatformControllerName(int32_t index, char* out, size_t outSize) {
  if (outSize > 0) out[0] = '\0';
  if (index < 0 || index >= static_cast<int32_t>(g_controllers.size())) return;
  const char* name = SDL_JoystickName(g_controllers[index]);
  std::snprintf(out, outSize, "%s", name ? name : "");
}

bool PlatformReadController(int32_t index, SPlatformControllerState* state) {
  if (index < 0 || index >= static_cast<int32_t>(g_controllers.size())) return false;
  SDL_Joystick* joystick = g_controllers[index];
  if (!SDL_JoystickGetAttached(joystick)) return false;
  *state = SPlatformControllerState();
  const int32_t axes = SDL_min(SDL_JoystickNumAxes(joystick), kPlatformControllerAxes);
  for (int32_t i = 0; i < axes; ++i) {
    state->axes[i] = PlatformAxisToRange(SDL_JoystickGetAxis(joystick, i));
  }
  const int32_t hats = SDL_min(SDL_JoystickNumHats(joystick), kPlatformControllerHats);
  for (int32_t i = 0; i < hats; ++i) {
    state->hats[i] = PlatformHatToAngle(SDL_JoystickGetHat(joystick, i));
  }
  const int32_t buttons = SDL_min(SDL_JoystickNumButtons(joystick), kPlatformControllerButtons);
  for (int32_t i = 0; i < buttons; ++i) {
    state->buttons[i] = SDL_JoystickGetButton(joystick, i) ? 0x80 : 0;
  }
  return true;
}

bool PlatformGetCursorPosition(PlatformWindowHandle window, int32_t* x, int32_t* y) {
  auto* sdlWindow = reinterpret_cast<SDL_Window*>(window);
  if (!sdlWindow || SDL_GetMouseFocus() != sdlWindow) return false;
  int px = 0, py = 0;
  SDL_GetMouseState(&px, &py);
  *x = px;
  *y = py;
  return true;
}

bool PlatformSetCursorPosition(PlatformWindowHandle window, int32_t x, int32_t y) {
  auto* sdlWindow = reinterpret_cast<SDL_Window*>(window);
  if (!sdlWindow) return false;
  SDL_WarpMouseInWindow(sdlWindow, x, y);
  int32_t arrivedX = 0, arrivedY = 0;
  return PlatformGetCursorPosition(window, &arrivedX, &arrivedY) && arrivedX == x && arrivedY == y;
}
