#include "Platform/EventPump.h"

#include "Platform/PlatformInstanceLock.h"
#include "Platform/PlatformTestDriver.h"
#include "Platform/PlatformWindow.h"

#include <algorithm>
#include <atomic>
#include <utility>
#include <vector>

namespace {

std::vector<std::pair<PlatformEventListener, void*>> g_listeners;
bool g_quitSeen = false;
std::atomic<bool> g_quitPosted{false};

void Send(WindowMessageHandler handler, void* user, EWindowMessage kind, int32_t a = 0,
          int32_t b = 0) {
  if (!handler) return;
  SWindowMessage message{kind, a, b};
  handler(message, user);
}

void TranslateWindowEvent(const SDL_WindowEvent& event, WindowMessageHandler handler,
                          void* user) {
  SDL_Window* window = PlatformMainSdlWindow();
  if (!window || event.windowID != SDL_GetWindowID(window)) return;
  switch (event.event) {
    // Showing a window activates it; a headless display never reports a focus change.
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      Send(handler, user, EWindowMessage::Activate);
      break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
      Send(handler, user, EWindowMessage::Deactivate);
      break;
    case SDL_WINDOWEVENT_MINIMIZED:
      Send(handler, user, EWindowMessage::Minimize);
      break;
    case SDL_WINDOWEVENT_RESTORED:
      Send(handler, user, EWindowMessage::Restore);
      break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      Send(handler, user, EWindowMessage::SizeChanged, event.data1, event.data2);
      break;
    case SDL_WINDOWEVENT_MOVED:
      Send(handler, user, EWindowMessage::Moved, event.data1, event.data2);
      break;
    case SDL_WINDOWEVENT_EXPOSED:
      Send(handler, user, EWindowMessage::Paint);
      break;
    case SDL_WINDOWEVENT_CLOSE:
      Send(handler, user, EWindowMessage::Close);
      break;
    default:
      break;
  }
}

bool IsAltF4(const SDL_Event& event) {
  return event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_F4 &&
         (event.key.keysym.mod & KMOD_ALT) != 0;
}

}  // namespace

void PlatformAddEventListener(PlatformEventListener listener, void* user) {
  g_listeners.emplace_back(listener, user);
}

void PlatformRemoveEventListener(PlatformEventListener listener, void* user) {
  auto entry = std::find(g_listeners.begin(), g_listeners.end(), std::make_pair(listener, user));
  if (entry != g_listeners.end()) g_listeners.erase(entry);
}

void PlatformEventPumpReset() {
  g_quitSeen = false;
  g_quitPosted = false;
}

void PlatformPostQuit() {
  g_quitPosted = true;
}

bool PlatformPumpMessages(WindowMessageHandler handler, void* user) {
  if (g_quitSeen) return false;
  PlatformTestDriverBeforePump();
  if (PlatformTakeRaiseRequest() && PlatformMainSdlWindow()) {
    PlatformRaiseWindow(PlatformGetMainWindow());
  }
  SDL_Event event;
  while (SDL_PollEvent(&event)) {
    // A copy: a listener may add or remove listeners while it runs.
    const auto listeners = g_listeners;
    for (const auto& [listener, listenerUser] : listeners) listener(event, listenerUser);
    if (event.type == SDL_QUIT) {
      g_quitSeen = true;
      return false;
    }
    if (event.type == SDL_WINDOWEVENT) TranslateWindowEvent(event.window, handler, user);
    if (IsAltF4(event)) Send(handler, user, EWindowMessage::Close);
  }
  // A posted quit comes after the events that were already waiting, as a queued one would.
  if (g_quitPosted) {
    g_quitSeen = true;
    return false;
  }
  return true;
}
