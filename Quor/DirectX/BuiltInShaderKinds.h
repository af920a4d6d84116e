#pragma once
// The shader kinds of the engine's own shader classes, entered into the manager's kind table
// when it is made. Each kind is added only when its name is not in the table yet.

class CShaderManager;

void RegisterBuiltInShaderKinds(CShaderManager& manager);
