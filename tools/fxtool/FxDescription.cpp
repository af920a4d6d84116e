#include "tools/fxtool/FxDescription.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "Quor/CByteReader.h"
#include "Quor/DirectX/CompiledFxFormat.h"
#include "tools/shaderasm/ShaderAssembler.h"
#include "tools/shared/FileBytes.h"

namespace {

constexpr uint32_t kMaxConstantRegisters = 256;

const char kHelp[] =
    "usage: fxtool DESCRIPTION OUT.fxc [--version 0x100|0x101]\n"
    "\n"
    "Writes a compiled effect file from a text description (version 0x101 unless asked).\n"
    "One statement per line, words separated by blanks, '#' starts a comment line:\n"
    "\n"
    "  technique NAME             starts a technique\n"
    "  pass                       starts a pass of the current technique\n"
    "  vs FILE                    vertex shader assembly (vs_2_0), FILE relative to the description\n"
    "  vs inline                  the same from the following lines, up to a line 'end'\n"
    "  ps FILE | ps inline        pixel shader assembly (ps_2_0); a pass without one has no pixel shader\n"
    "  param vs|ps NAME REGISTER [list 1|2|3] [second N] [count N] [FLOAT ...]\n"
    "                             a named constant of the vertex or pixel shader; list 3 (the default)\n"
    "                             is the one the engine looks names up in; the floats are its default data;\n"
    "                             count N records N registers from REGISTER in the shader's constant table\n"
    "                             (needed for an array the shader indexes through a0, such as a bone palette)\n"
    "  sampler NAME INDEX         binds a sampler name to sampler register INDEX (needs a pixel shader)\n"
    "  state A B                  a render-state pair of the pass\n"
    "  triple1 A B C              an entry of the pass's first triple list\n"
    "  triple2 A B C              an entry of the pass's second triple list\n"
    "\n"
    "State pairs and triples are kept as written and stored in version 0x101 only.\n"
    "Integers are decimal or 0x hexadecimal.\n"
    "Exit status: 0 written, 1 the description or a shader is wrong or a file cannot be\n"
    "read or written, 2 usage.\n";

struct SLine {
  int number = 0;
  std::vector<std::string> words;
};

std::vector<SLine> SplitLines(const std::string& text) {
  std::vector<SLine> lines;
  std::istringstream in(text);
  std::string row;
  for (int number = 1; std::getline(in, row); ++number) {
    std::istringstream words(row);
    SLine line{number, {}};
    for (std::string word; words >> word;) line.words.push_back(word);
    lines.push_back(line);
  }
  return lines;
}

bool IsComment(const SLine& line) { return line.words.empty() || line.words[0][0] == '#'; }

bool ParseInteger(const std::string& word, uint32_t& value) {
  char* end = nullptr;
  errno = 0;
  const unsigned long parsed = std::strtoul(word.c_str(), &end, 0);
  if (word.empty() || *end != '\0' || errno != 0 || parsed > 0xFFFFFFFFul || word[0] == '-') return false;
  value = static_cast<uint32_t>(parsed);
  return true;
}

bool ParseFloat(const std::string& word, float& value) {
  std::istringstream in(word);
  in.imbue(std::locale::classic());
  in >> value;
  return !in.fail() && in.eof();
}

class CDescriptionParser {
 public:
  CDescriptionParser(const std::string& path, SFxDescription& out) : m_path(path), m_out(out) {}

  bool Parse(const std::string& text, std::string& error) {
    m_lines = SplitLines(text);
    for (m_index = 0; m_index < m_lines.size(); ++m_index) {
      const SLine& line = m_lines[m_index];
      if (IsComment(line)) continue;
      if (!Statement(line)) {
        error = m_path + ":" + std::to_string(line.number) + ": " + m_error;
        return false;
      }
    }
    return true;
  }

 private:
  bool Fail(const std::string& message) {
    m_error = message;
    return false;
  }

  bool Statement(const SLine& line) {
    const std::string& word = line.words[0];
    if (word == "technique") return Technique(line);
    if (word == "pass") return Pass(line);
    if (m_out.techniques.empty() || m_out.techniques.back().passes.empty())
      return Fail("'" + word + "' outside a pass");
    SFxDescPass& pass = m_out.techniques.back().passes.back();
    if (word == "vs") return Source(line, pass.vertex);
    if (word == "ps") return Source(line, pass.pixel);
    if (word == "param") return Parameter(line, pass);
    if (word == "sampler") return Sampler(line, pass);
    if (word == "state") return Integers(line, 2, pass.states);
    if (word == "triple1") return Integers(line, 3, pass.triples1);
    if (word == "triple2") return Integers(line, 3, pass.triples2);
    return Fail("unknown statement '" + word + "'");
  }

  bool Technique(const SLine& line) {
    if (line.words.size() != 2) return Fail("technique needs one name");
    if (line.words[1].size() > 255) return Fail("technique name longer than 255 characters");
    m_out.techniques.push_back({line.words[1], {}});
    return true;
  }

  bool Pass(const SLine& line) {
    if (m_out.techniques.empty()) return Fail("pass before any technique");
    if (line.words.size() != 1) return Fail("pass takes no arguments");
    m_out.techniques.back().passes.emplace_back();
    return true;
  }

  bool Source(const SLine& line, SFxDescPart& part) {
    if (line.words.size() != 2) return Fail(line.words[0] + " needs a file name or 'inline'");
    if (!part.source.empty()) return Fail("the pass already has a " + line.words[0] + " shader");
    if (line.words[1] == "inline") return InlineSource(part);
    const std::filesystem::path file = std::filesystem::path(m_path).parent_path() / line.words[1];
    std::vector<uint8_t> bytes;
    if (!ReadFileBytes(file.string(), bytes)) return Fail("cannot read " + file.string());
    part.source.assign(bytes.begin(), bytes.end());
    part.origin = file.string();
    if (part.source.empty()) return Fail(file.string() + " is empty");
    return true;
  }

  bool InlineSource(SFxDescPart& part) {
    const int first = m_lines[m_index].number;
    for (++m_index; m_index < m_lines.size(); ++m_index) {
      const SLine& line = m_lines[m_index];
      if (line.words.size() == 1 && line.words[0] == "end") {
        if (part.source.empty()) return Fail("empty inline shader");
        part.origin = m_path + ":" + std::to_string(first);
        return true;
      }
      for (const std::string& word : line.words) part.source += word + " ";
      part.source += "\n";
    }
    return Fail("inline shader from line " + std::to_string(first) + " has no 'end'");
  }

  bool Parameter(const SLine& line, SFxDescPass& pass) {
    const auto& w = line.words;
    if (w.size() < 4 || (w[1] != "vs" && w[1] != "ps")) return Fail("param needs vs|ps, a name and a register");
    SFxDescParameter parameter;
    parameter.name = w[2];
    if (parameter.name.size() > 255) return Fail("parameter name longer than 255 characters");
    if (!ParseInteger(w[3], parameter.reg)) return Fail("bad register '" + w[3] + "'");
    for (size_t i = 4; i < w.size(); ++i) {
      if ((w[i] == "list" || w[i] == "second" || w[i] == "count") && i + 1 < w.size()) {
        uint32_t value = 0;
        if (!ParseInteger(w[i + 1], value)) return Fail("bad " + w[i] + " '" + w[i + 1] + "'");
        if (w[i] == "second") {
          parameter.second = value;
        } else if (w[i] == "count") {
          if (value < 1 || value > kMaxConstantRegisters) return Fail("count must be 1 to 256");
          parameter.count = value;
        } else if (value < 1 || value > 3) {
          return Fail("list must be 1, 2 or 3");
        } else {
          parameter.list = value - 1;
        }
        ++i;
        continue;
      }
      float value = 0;
      if (!ParseFloat(w[i], value)) return Fail("bad number '" + w[i] + "'");
      parameter.data.push_back(value);
    }
    (w[1] == "vs" ? pass.vertex : pass.pixel).parameters.push_back(parameter);
    return true;
  }

  bool Sampler(const SLine& line, SFxDescPass& pass) {
    uint32_t index = 0;
    if (line.words.size() != 3 || !ParseInteger(line.words[2], index)) return Fail("sampler needs a name and an index");
    if (line.words[1].size() > 255) return Fail("sampler name longer than 255 characters");
    pass.samplers.emplace_back(line.words[1], index);
    return true;
  }

  bool Integers(const SLine& line, size_t count, std::vector<uint32_t>& out) {
    if (line.words.size() != count + 1) return Fail(line.words[0] + " needs " + std::to_string(count) + " numbers");
    for (size_t i = 1; i <= count; ++i) {
      uint32_t value = 0;
      if (!ParseInteger(line.words[i], value)) return Fail("bad number '" + line.words[i] + "'");
      out.push_back(value);
    }
    return true;
  }

  std::string m_path;
  SFxDescription& m_out;
  std::vector<SLine> m_lines;
  size_t m_index = 0;
  std::string m_error;
};

bool WritePart(CByteWriter& out, const SFxDescPart& part, std::string& error) {
  if (part.source.empty()) {
    out.WriteU32(0);
    return true;
  }
  std::vector<SGfxShaderSymbol> symbols;
  for (const SFxDescParameter& parameter : part.parameters) {
    if (parameter.count > 0) symbols.push_back({parameter.name, parameter.reg, parameter.count});
  }
  std::vector<uint32_t> code;
  if (!AssembleShaderSource(part.source, part.origin, code, error, symbols)) return false;
  out.WriteU32(static_cast<uint32_t>(code.size() * 4));
  out.WriteBytes(code.data(), code.size() * 4);
  for (uint32_t list = 0; list < kFxParameterListCount; ++list) {
    std::vector<const SFxDescParameter*> members;
    for (const SFxDescParameter& parameter : part.parameters) {
      if (parameter.list == list) members.push_back(&parameter);
    }
    out.WriteU32(static_cast<uint32_t>(members.size()));
    for (const SFxDescParameter* parameter : members) {
      out.WriteString(parameter->name.c_str());
      out.WriteU32(parameter->reg);
      out.WriteU32(parameter->second);
      out.WriteU32(static_cast<uint32_t>(parameter->data.size() * 4));
      out.WriteFloats(parameter->data.data(), parameter->data.size());
    }
  }
  return true;
}

void WriteWordList(CByteWriter& out, const std::vector<uint32_t>& words, size_t perRecord) {
  out.WriteU32(static_cast<uint32_t>(words.size() / perRecord));
  for (uint32_t word : words) out.WriteU32(word);
}

bool WritePass(CByteWriter& out, const SFxDescPass& pass, uint16_t version, std::string& error) {
  if (pass.vertex.source.empty()) {
    error = "a pass has no vertex shader";
    return false;
  }
  if (pass.pixel.source.empty() && !pass.samplers.empty()) {
    error = "a pass binds samplers without a pixel shader";
    return false;
  }
  if (version >= kFxVersionWithStates) {
    WriteWordList(out, pass.states, kFxStatePairWords);
    WriteWordList(out, pass.triples1, kFxStateTripleWords);
    WriteWordList(out, pass.triples2, kFxStateTripleWords);
  }
  if (!WritePart(out, pass.vertex, error) || !WritePart(out, pass.pixel, error)) return false;
  if (pass.pixel.source.empty()) return true;
  out.WriteU32(static_cast<uint32_t>(pass.samplers.size()));
  for (const auto& [name, index] : pass.samplers) {
    out.WriteString(name.c_str());
    out.WriteU32(index);
  }
  return true;
}

}  // namespace

bool ParseFxDescriptionText(const std::string& text, const std::string& path, SFxDescription& description,
                            std::string& error) {
  return CDescriptionParser(path, description).Parse(text, error);
}

bool ParseFxDescription(const std::string& path, SFxDescription& description, std::string& error) {
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(path, bytes)) {
    error = "cannot read " + path;
    return false;
  }
  return ParseFxDescriptionText(std::string(bytes.begin(), bytes.end()), path, description, error);
}

bool WriteCompiledFx(const SFxDescription& description, uint16_t version, std::vector<uint8_t>& bytes,
                     std::string& error) {
  if (version != kFxVersionPlain && version != kFxVersionWithStates) {
    error = "version must be 0x100 or 0x101";
    return false;
  }
  if (description.techniques.empty()) {
    error = "no technique";
    return false;
  }
  CByteWriter out;
  out.WriteBytes(kFxTag, kFxTagSize);
  out.WriteU16(version);
  out.WriteU32(static_cast<uint32_t>(description.techniques.size()));
  for (const SFxDescTechnique& technique : description.techniques) {
    out.WriteString(technique.name.c_str());
    out.WriteU32(static_cast<uint32_t>(technique.passes.size()));
    for (const SFxDescPass& pass : technique.passes) {
      if (!WritePass(out, pass, version, error)) {
        error = "technique " + technique.name + ": " + error;
        return false;
      }
    }
  }
  bytes = std::move(out.GetBytes());
  return true;
}

const char* FxDescriptionHelp() { return kHelp; }
