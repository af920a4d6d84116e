#pragma once
// Shader byte code checked before it is translated. The translation of the fast profile
// stops the program on its own assertions when damaged code reaches it (a register read
// that no declaration or translation rule gave a value), so code from files is judged here
// first and refused with a reason.

#include <cstdint>
#include <string>
#include <vector>

// True when `tokens` (one 32-bit token per entry) is a well-formed vertex or pixel shader
// (`pixel`) whose registers the translation can give values; otherwise false with `error`
// telling what is wrong and where.
bool GfxCheckShaderByteCode(const std::vector<uint32_t>& tokens, bool pixel, std::string& error);
