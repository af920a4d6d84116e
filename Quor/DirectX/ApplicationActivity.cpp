#include "Quor/DirectX/ApplicationActivity.h"

#include <atomic>

namespace {
// Active until the window says otherwise, so that a program without a window is heard.
std::atomic<bool> g_applicationActive{true};
}  // namespace

void SetApplicationActive(bool active) { g_applicationActive.store(active); }
bool IsApplicationActive() { return g_applicationActive.load(); }
