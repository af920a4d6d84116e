#pragma once
// fxtool's text description of a compiled effect (techniques, passes, shader assembly,
// parameters, sampler bindings and state lists) and the writer of ".fxc" files from it.
// The statements are listed in FxDescriptionHelp(), which `fxtool --help` prints.

#include <cstdint>
#include <string>
#include <vector>

struct SFxDescParameter {
  std::string name;
  uint32_t reg = 0;
  uint32_t list = 2;  // 0..2
  uint32_t second = 0;
  uint32_t count = 0;  // registers recorded in the shader's constant table; 0: not recorded
  std::vector<float> data;
};

struct SFxDescPart {
  std::string source;  // shader assembly; empty: no shader
  std::string origin;  // where the source came from, for messages
  std::vector<SFxDescParameter> parameters;
};

struct SFxDescPass {
  SFxDescPart vertex, pixel;
  std::vector<uint32_t> states;    // pairs
  std::vector<uint32_t> triples1;  // triples
  std::vector<uint32_t> triples2;
  std::vector<std::pair<std::string, uint32_t>> samplers;
};

struct SFxDescTechnique {
  std::string name;
  std::vector<SFxDescPass> passes;
};

struct SFxDescription {
  std::vector<SFxDescTechnique> techniques;
};

// Reads a description file; false with a message naming the file and line.
bool ParseFxDescription(const std::string& path, SFxDescription& description, std::string& error);
// The same from text; `path` names it in messages and anchors relative shader files.
bool ParseFxDescriptionText(const std::string& text, const std::string& path, SFxDescription& description,
                            std::string& error);
// Assembles the shaders and writes the ".fxc" bytes in the given version (0x100 or 0x101).
bool WriteCompiledFx(const SFxDescription& description, uint16_t version, std::vector<uint8_t>& bytes,
                     std::string& error);

// The text of `fxtool --help`.
const char* FxDescriptionHelp();
