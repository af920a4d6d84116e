#pragma once
// What the game's states do alike when they are entered: stack their render layers under the
// system layer and read their resource list.

#include <cstddef>

namespace Ombrel {
class CLayout2D;
}

namespace Vey {

// Each layer is placed just before the one placed before it, the first before the system
// layer: they draw in the reverse of the list.
void StackLayers(const char* const* layers, size_t count);
template <size_t N>
void StackLayers(const char* const (&layers)[N]) {
  StackLayers(layers, N);
}

// Reads the list into the current resource group (a missing list is reported, naming the state
// that wanted it); sounds and music may play after it.
void LoadStateResources(const char* list, const char* state);

// A 2-D layout of the loaded state resources, loaded when it is not yet; null without one.
Ombrel::CLayout2D* LoadStateLayout(const char* name);

// The state's 2-D layout of that name, loaded on first use; null, reported, when its list has
// none.
Ombrel::CLayout2D* FindStateLayout(const char* name);

}  // namespace Vey
