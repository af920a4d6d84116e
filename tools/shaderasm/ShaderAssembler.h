#pragma once
// Build-time assembly of the engine's shaders: Direct3D shader assembly text (vs_2_0,
// ps_2_0 ...) in the repository becomes byte code in a generated C++ header, so no opaque
// blob is ever checked in. The program `shaderasm` and every other content tool that
// carries shaders (effect files, say) go through these functions.

#include <cstdint>
#include <string>
#include <vector>

#include "Platform/GraphicsDevice.h"

// Assembles shader text, with the constant ranges to record in its constant table. On failure
// returns false with the assembler's message, prefixed by `sourceName` and the line it
// complains about.
bool AssembleShaderSource(const std::string& source, const std::string& sourceName,
                          std::vector<uint32_t>& byteCode, std::string& error,
                          const std::vector<SGfxShaderSymbol>& symbols = {});

// Reads a file of shader assembly and assembles it; a missing file is an error too.
bool AssembleShaderFile(const std::string& path, std::vector<uint32_t>& byteCode, std::string& error);

// The text of a header that defines the byte code as
//   inline constexpr uint32_t NAME[] = {...};
//   inline constexpr size_t NAME_Size = sizeof(NAME);   // in bytes
// `symbol` must be a C++ identifier; `sourceName` is named in the header's comment.
std::string ByteCodeHeaderText(const std::vector<uint32_t>& byteCode, const std::string& symbol,
                               const std::string& sourceName);

bool IsValidShaderSymbol(const std::string& symbol);

// Writes the header only when its text changed, so that a rebuild leaves the files that
// include it alone.
bool WriteByteCodeHeader(const std::string& path, const std::vector<uint32_t>& byteCode,
                         const std::string& symbol, const std::string& sourceName, std::string& error);
