#include "Platform/Testing/PlatformTestControllers.h"

#include <SDL.h>

#include <cstdio>
#include <vector>

namespace {

constexpr int kAxes = 8;
constexpr int kButtons = 16;
constexpr int kHats = 2;

struct STestControllers {
  bool started = false;
  std::vector<SDL_Joystick*> pads;
};
STestControllers g_test;

SDL_Joystick* Pad(int32_t controller) {
  return controller >= 0 && static_cast<size_t>(controller) < g_test.pads.size() ? g_test.pads[controller] : nullptr;
}

}  // namespace

bool PlatformTestAttachControllers(int32_t count, char* error, size_t errorSize) {
  if (!g_test.started) {
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) {
      std::snprintf(error, errorSize, "Cannot start the controllers: %s", SDL_GetError());
      return false;
    }
    g_test.started = true;
  }
  for (int32_t i = 0; i < count; ++i) {
    const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, kAxes, kButtons, kHats);
    SDL_Joystick* pad = index >= 0 ? SDL_JoystickOpen(index) : nullptr;
    if (!pad) {
      std::snprintf(error, errorSize, "Cannot attach controller %d: %s", static_cast<int>(i), SDL_GetError());
      return false;
    }
    g_test.pads.push_back(pad);
  }
  return true;
}

void PlatformTestDetachControllers() {
  if (!g_test.started) return;
  for (SDL_Joystick* pad : g_test.pads) SDL_JoystickClose(pad);
  while (SDL_NumJoysticks() > 0) SDL_JoystickDetachVirtual(0);
  SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
  g_test = STestControllers();
}

void PlatformTestSetControllerAxis(int32_t controller, int32_t axis, int16_t value) {
  if (SDL_Joystick* pad = Pad(controller)) SDL_JoystickSetVirtualAxis(pad, axis, value);
}

void PlatformTestSetControllerButton(int32_t controller, int32_t button, bool pressed) {
  if (SDL_Joystick* pad = Pad(controller))
    SDL_JoystickSetVirtualButton(pad, button, pressed ? SDL_PRESSED : SDL_RELEASED);
}

void PlatformTestSetControllerHat(int32_t controller, int32_t hat, uint8_t hatBits) {
  if (SDL_Joystick* pad = Pad(controller)) SDL_JoystickSetVirtualHat(pad, hat, hatBits);
}
