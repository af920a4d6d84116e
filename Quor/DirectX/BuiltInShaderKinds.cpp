#include "Quor/DirectX/BuiltInShaderKinds.h"

#include "Quor/CShaderManager.h"

// The model, projected-texture and post-effect shader classes register their kinds here as
// they join the engine; until then materials get their kinds from RegisterShaderKind.
void RegisterBuiltInShaderKinds(CShaderManager&) {}
