#include "tools/ptctool/PtcText.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <map>

#include "Quor/CByteReader.h"

namespace ptctool {
namespace {

using description::SLine;

// Where a statement applies; a statement outside its place is an error.
struct SParseState {
  SPtcFile* file;
  SPtcEmitter* emitter = nullptr;
  SPtcLayer* layer = nullptr;
};

using Statement = std::function<std::string(const SLine&, SParseState&)>;

// The emitter name: the words after "emitter" up to the folder; a quoted name keeps its blanks.
std::string EmitterName(const SLine& line, size_t* next) {
  std::string name = line.words[1];
  *next = 2;
  if (name.front() != '"') return name;
  while ((name.size() < 2 || name.back() != '"') && *next < line.words.size()) name += " " + line.words[(*next)++];
  // Words were split at blanks: `"S24_Machette "` comes back together with one blank.
  return name.size() >= 2 && name.back() == '"' ? name.substr(1, name.size() - 2) : "";
}

std::string Atlas(const SLine& line, SParseState& state) {
  if (line.words.size() != 6) return "atlas takes FILE WIDTH HEIGHT COLUMNS ROWS";
  SPtcAtlas atlas;
  atlas.fileName = line.words[1];
  atlas.width = line.Index(2);
  atlas.height = line.Index(3);
  const uint32_t columns = line.Index(4), rows = line.Index(5);
  if (columns == 0 || rows == 0 || uint64_t{columns} * rows > PtcFormat::kMaxFrames) return "bad frame grid";
  for (uint32_t row = 0; row < rows; ++row)
    for (uint32_t column = 0; column < columns; ++column)
      atlas.frames.push_back({static_cast<float>(column) / columns, static_cast<float>(row) / rows,
                              static_cast<float>(column + 1) / columns, static_cast<float>(row + 1) / rows});
  state.file->atlases.push_back(atlas);
  return "";
}

std::string Emitter(const SLine& line, SParseState& state) {
  if (line.words.size() < 2) return "emitter takes NAME [FOLDER]";
  size_t next;
  SPtcEmitter emitter;
  emitter.name = EmitterName(line, &next);
  if (emitter.name.empty()) return "an emitter needs a name";
  if (next < line.words.size()) emitter.folder = line.words[next++];
  if (next != line.words.size()) return "emitter takes NAME [FOLDER]";
  state.file->emitters.push_back(emitter);
  state.emitter = &state.file->emitters.back();
  state.layer = nullptr;
  return "";
}

// A statement of one of two words; the second sets the flag.
std::string ReadSwitch(const SLine& line, const char* off, const char* on, bool* flag) {
  if (line.words.size() != 2 || (line.words[1] != off && line.words[1] != on))
    return line.words[0] + " takes " + off + " or " + on;
  *flag = line.words[1] == on;
  return "";
}

std::string Loop(const SLine& line, SParseState& state) { return ReadSwitch(line, "off", "on", &state.emitter->loop); }

std::string Layer(const SLine& line, SParseState& state) {
  if (line.words.size() != 2) return "layer takes ATLAS";
  state.emitter->layers.emplace_back();
  state.layer = &state.emitter->layers.back();
  state.layer->atlas = line.Index(1);
  return "";
}

std::string Frames(const SLine& line, SParseState& state) {
  if (line.words.size() < 3 || line.words.size() > 4) return "frames takes FIRST COUNT [random|life]";
  state.layer->firstFrame = line.Index(1);
  state.layer->frameCount = line.Index(2);
  const std::string mode = line.words.size() == 4 ? line.words[3] : "random";
  if (mode != "random" && mode != "life") return "frames mode is random or life";
  state.layer->frameMode = mode == "life" ? PtcFormat::kFrameOverLife : PtcFormat::kFrameRandom;
  return "";
}

std::string Blend(const SLine& line, SParseState& state) {
  return ReadSwitch(line, "alpha", "add", &state.layer->intense);
}

std::string Shape(const SLine& line, SParseState& state) {
  const std::string& kind = line.words.size() > 1 ? line.words[1] : "";
  SPtcLayer& layer = *state.layer;
  if (kind == "point" && line.words.size() == 2) {
    layer.shape = PtcFormat::kShapePoint;
  } else if (kind == "box" && line.words.size() == 4) {
    layer.shape = PtcFormat::kShapeBox;
    layer.shapeWidth = line.Number(2);
    layer.shapeHeight = line.Number(3);
  } else if (kind == "circle" && line.words.size() == 3) {
    layer.shape = PtcFormat::kShapeCircle;
    layer.shapeWidth = line.Number(2);
  } else {
    return "shape takes point, box W H or circle R";
  }
  return "";
}

// A statement of a fixed count of numbers written into layer fields.
Statement Numbers(std::vector<float SPtcLayer::*> fields) {
  return [fields](const SLine& line, SParseState& state) -> std::string {
    if (line.words.size() != fields.size() + 1)
      return line.words[0] + " takes " + std::to_string(fields.size()) + " number(s)";
    for (size_t i = 0; i < fields.size(); ++i) state.layer->*fields[i] = line.Number(i + 1);
    return "";
  };
}

Statement Count(uint32_t SPtcLayer::*field) {
  return [field](const SLine& line, SParseState& state) -> std::string {
    if (line.words.size() != 2) return line.words[0] + " takes one count";
    state.layer->*field = line.Index(1);
    return "";
  };
}

std::string SizeKey(const SLine& line, SParseState& state) {
  if (line.words.size() != 3) return "size takes TIME SIZE";
  state.layer->sizeKeys.push_back({line.Number(1), line.Number(2)});
  return "";
}

std::string ColourKey(const SLine& line, SParseState& state) {
  if (line.words.size() != 6) return "colour takes TIME R G B A";
  SPtcColourKey key;
  key.time = line.Number(1);
  for (int i = 0; i < 4; ++i) key.rgba[i] = line.Number(2 + i);
  state.layer->colourKeys.push_back(key);
  return "";
}

enum EPlace { kFilePlace, kEmitterPlace, kLayerPlace };

const std::map<std::string, std::pair<EPlace, Statement>>& Statements() {
  static const std::map<std::string, std::pair<EPlace, Statement>> statements = {
      {"atlas", {kFilePlace, Atlas}},
      {"emitter", {kFilePlace, Emitter}},
      {"loop", {kEmitterPlace, Loop}},
      {"duration",
       {kEmitterPlace,
        [](const SLine& line, SParseState& state) -> std::string {
          if (line.words.size() != 2) return "duration takes SECONDS";
          state.emitter->duration = line.Number(1);
          return "";
        }}},
      {"step",
       {kEmitterPlace,
        [](const SLine& line, SParseState& state) -> std::string {
          if (line.words.size() != 2) return "step takes MILLISECONDS";
          state.emitter->interpolation = false;
          state.emitter->fixedStepMs = line.Number(1);
          return "";
        }}},
      {"layer", {kEmitterPlace, Layer}},
      {"frames", {kLayerPlace, Frames}},
      {"blend", {kLayerPlace, Blend}},
      {"shape", {kLayerPlace, Shape}},
      {"rate", {kLayerPlace, Numbers({&SPtcLayer::rate})}},
      {"capacity", {kLayerPlace, Count(&SPtcLayer::capacity)}},
      {"burst", {kLayerPlace, Count(&SPtcLayer::burst)}},
      {"life", {kLayerPlace, Numbers({&SPtcLayer::lifeMin, &SPtcLayer::lifeMax})}},
      {"speed", {kLayerPlace, Numbers({&SPtcLayer::speedMin, &SPtcLayer::speedMax})}},
      {"direction", {kLayerPlace, Numbers({&SPtcLayer::direction})}},
      {"spread", {kLayerPlace, Numbers({&SPtcLayer::spread})}},
      {"gravity", {kLayerPlace, Numbers({&SPtcLayer::gravityX, &SPtcLayer::gravityY})}},
      {"spin", {kLayerPlace, Numbers({&SPtcLayer::spinMin, &SPtcLayer::spinMax})}},
      {"drag", {kLayerPlace, Numbers({&SPtcLayer::drag})}},
      {"size", {kLayerPlace, SizeKey}},
      {"colour", {kLayerPlace, ColourKey}},
  };
  return statements;
}

std::string RunStatement(const SLine& line, SParseState& state) {
  const auto found = Statements().find(line.words[0]);
  if (found == Statements().end()) return "unknown statement \"" + line.words[0] + "\"";
  const EPlace place = found->second.first;
  if (place == kEmitterPlace && !state.emitter) return line.words[0] + " comes after an emitter";
  if (place == kLayerPlace && !state.layer) return line.words[0] + " comes after a layer";
  return found->second.second(line, state);
}

void WriteName(CByteWriter& out, const std::string& name) { out.WriteString(name.c_str()); }

void WriteLayer(CByteWriter& out, const SPtcLayer& layer) {
  out.WriteU32(layer.atlas);
  out.WriteU32(layer.firstFrame);
  out.WriteU32(layer.frameCount);
  out.WriteU8(layer.frameMode);
  out.WriteU8(layer.intense ? 1 : 0);
  out.WriteU8(layer.shape);
  out.WriteU8(0);
  const float shape[3] = {layer.shapeWidth, layer.shapeHeight, layer.rate};
  out.WriteFloats(shape, 3);
  out.WriteU32(layer.capacity);
  out.WriteU32(layer.burst);
  const float motion[11] = {layer.lifeMin,  layer.lifeMax,  layer.speedMin, layer.speedMax,
                            layer.direction, layer.spread,  layer.gravityX, layer.gravityY,
                            layer.spinMin,  layer.spinMax,  layer.drag};
  out.WriteFloats(motion, 11);
  out.WriteU32(static_cast<uint32_t>(layer.sizeKeys.size()));
  for (const SPtcSizeKey& key : layer.sizeKeys) out.WriteFloats(&key.time, 1), out.WriteF32(key.size);
  out.WriteU32(static_cast<uint32_t>(layer.colourKeys.size()));
  for (const SPtcColourKey& key : layer.colourKeys) out.WriteF32(key.time), out.WriteFloats(key.rgba, 4);
}

void WriteEmitter(CByteWriter& out, const SPtcEmitter& emitter) {
  WriteName(out, emitter.name);
  WriteName(out, emitter.folder);
  out.WriteU8(emitter.loop ? 1 : 0);
  out.WriteU8(emitter.interpolation ? 1 : 0);
  out.WriteF32(emitter.duration);
  out.WriteF32(emitter.fixedStepMs);
  out.WriteU32(static_cast<uint32_t>(emitter.layers.size()));
  for (const SPtcLayer& layer : emitter.layers) WriteLayer(out, layer);
}

bool NameFits(const std::string& name) { return name.size() < PtcFormat::kNameBytes; }

std::string CheckLimits(const SPtcFile& file) {
  if (file.atlases.size() > PtcFormat::kMaxAtlases) return "too many atlases";
  if (file.emitters.size() > PtcFormat::kMaxEmitters) return "too many emitters";
  for (const SPtcAtlas& atlas : file.atlases)
    if (!NameFits(atlas.fileName)) return "atlas file name \"" + atlas.fileName + "\" is too long";
  for (const SPtcEmitter& emitter : file.emitters) {
    if (!NameFits(emitter.name) || !NameFits(emitter.folder)) return "emitter \"" + emitter.name + "\": name too long";
    if (emitter.layers.size() > PtcFormat::kMaxLayers) return "emitter \"" + emitter.name + "\" has too many layers";
    for (const SPtcLayer& layer : emitter.layers)
      if (layer.sizeKeys.size() > PtcFormat::kMaxKeys || layer.colourKeys.size() > PtcFormat::kMaxKeys)
        return "emitter \"" + emitter.name + "\" has too many keys";
  }
  return "";
}

}  // namespace

bool ParsePtcDescription(const std::vector<SLine>& lines, SPtcFile* file, std::string* error) {
  *file = SPtcFile();
  // Emitters are kept in a vector that grows: the state's pointers are taken again after each statement.
  SParseState state{file};
  for (const SLine& line : lines) {
    const std::string problem = RunStatement(line, state);
    if (!problem.empty()) {
      *error = "line " + std::to_string(line.number) + ": " + problem;
      return false;
    }
    state.emitter = file->emitters.empty() ? nullptr : &file->emitters.back();
    state.layer = state.emitter && !state.emitter->layers.empty() ? &state.emitter->layers.back() : nullptr;
  }
  return true;
}

bool WritePtcFile(const SPtcFile& file, std::vector<uint8_t>* bytes, std::string* error) {
  *error = CheckLimits(file);
  if (!error->empty()) return false;
  CByteWriter out;
  out.WriteBytes(PtcFormat::kTag, sizeof PtcFormat::kTag);
  out.WriteU32(PtcFormat::kVersion);
  out.WriteU32(static_cast<uint32_t>(file.atlases.size()));
  out.WriteU32(static_cast<uint32_t>(file.emitters.size()));
  for (const SPtcAtlas& atlas : file.atlases) {
    WriteName(out, atlas.fileName);
    out.WriteU32(atlas.width);
    out.WriteU32(atlas.height);
    out.WriteU32(static_cast<uint32_t>(atlas.frames.size()));
    for (const SPtcFrame& frame : atlas.frames) out.WriteFloats(&frame.u0, 4);
  }
  for (const SPtcEmitter& emitter : file.emitters) WriteEmitter(out, emitter);
  *bytes = std::move(out.GetBytes());
  return true;
}

namespace {

// The alpha of each sprite at (x, y) in -1..1 across its frame.
float GlowAlpha(float x, float y) { return std::exp(-4.0f * (x * x + y * y)); }

float SparkleAlpha(float x, float y) {
  const float core = std::exp(-18.0f * (x * x + y * y));
  const float rays = std::exp(-60.0f * x * x) * (1 - std::fabs(y)) + std::exp(-60.0f * y * y) * (1 - std::fabs(x));
  return std::min(1.0f, core + 0.8f * rays);
}

float PuffAlpha(float x, float y) {
  // Soft blob with a fixed ripple, so that a cloud of them looks uneven.
  const float ripple = 0.12f * std::sin(7.0f * x + 3.0f * y) * std::sin(5.0f * y - 2.0f * x);
  return std::clamp((1.0f - std::sqrt(x * x + y * y)) * 1.4f + ripple, 0.0f, 1.0f) * 0.8f;
}

float DropAlpha(float x, float y) { return std::exp(-12.0f * x * x - 2.5f * y * y); }

}  // namespace

SRgbaImage MakeSpriteAtlas(uint32_t frameSize) {
  float (*const shapes[kSpriteFrames])(float, float) = {GlowAlpha, SparkleAlpha, PuffAlpha, DropAlpha};
  SRgbaImage image;
  image.width = frameSize * kSpriteFrames;
  image.height = frameSize;
  image.rgba.assign(size_t{image.width} * image.height * 4, 255);
  for (uint32_t y = 0; y < image.height; ++y)
    for (uint32_t x = 0; x < image.width; ++x) {
      const float fx = (static_cast<float>(x % frameSize) + 0.5f) / frameSize * 2 - 1;
      const float fy = (static_cast<float>(y) + 0.5f) / frameSize * 2 - 1;
      const float alpha = shapes[x / frameSize](fx, fy);
      image.rgba[(size_t{y} * image.width + x) * 4 + 3] = static_cast<uint8_t>(std::clamp(alpha, 0.0f, 1.0f) * 255 + 0.5f);
    }
  return image;
}

}  // namespace ptctool
