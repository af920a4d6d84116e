#include "Particles/PtcFile.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "Quor/CByteReader.h"
#include "Quor/ReportError.h"

namespace {

constexpr const char* kPtcReaderSource = "Particles/PtcReader";

std::string ReadName(CByteReader& reader, const char* what) {
  char text[PtcFormat::kNameBytes] = {};
  reader.String(text, sizeof text, what);
  if (std::strlen(text) == sizeof text - 1) reader.Fail(std::string(what) + " is longer than the format allows");
  return text;
}

// A count from the file, refused above its limit or when the records cannot fit.
uint32_t ReadCount(CByteReader& reader, uint32_t limit, size_t recordBytes, const char* what) {
  const uint32_t count = reader.U32(what);
  if (count > limit) {
    reader.Fail(std::string(what) + " " + std::to_string(count) + " is above the limit " + std::to_string(limit));
    return 0;
  }
  return reader.HasRoomFor(count, recordBytes, what) ? count : 0;
}

// Reads `count` floats and refuses any that is not finite: a NaN would spread through a
// whole emitter's particles.
void ReadFinite(CByteReader& reader, float* values, size_t count, const char* what) {
  reader.Floats(values, count, what);
  for (size_t i = 0; i < count; ++i)
    if (!std::isfinite(values[i])) reader.Fail(std::string(what) + " is not a finite number");
}

void ReadAtlas(CByteReader& reader, SPtcAtlas* atlas) {
  atlas->fileName = ReadName(reader, "atlas file name");
  atlas->width = reader.U32("atlas width");
  atlas->height = reader.U32("atlas height");
  const uint32_t frames = ReadCount(reader, PtcFormat::kMaxFrames, PtcFormat::kFrameBytes, "atlas frame count");
  atlas->frames.resize(frames);
  for (SPtcFrame& frame : atlas->frames) ReadFinite(reader, &frame.u0, 4, "atlas frame");
}

void ReadKeys(CByteReader& reader, SPtcLayer* layer) {
  layer->sizeKeys.resize(ReadCount(reader, PtcFormat::kMaxKeys, PtcFormat::kSizeKeyBytes, "size key count"));
  for (SPtcSizeKey& key : layer->sizeKeys) ReadFinite(reader, &key.time, 2, "size key");
  layer->colourKeys.resize(ReadCount(reader, PtcFormat::kMaxKeys, PtcFormat::kColourKeyBytes, "colour key count"));
  for (SPtcColourKey& key : layer->colourKeys) {
    ReadFinite(reader, &key.time, 1, "colour key");
    ReadFinite(reader, key.rgba, 4, "colour key");
  }
}

void ReadLayer(CByteReader& reader, SPtcLayer* layer) {
  layer->atlas = reader.U32("layer atlas");
  layer->firstFrame = reader.U32("layer first frame");
  layer->frameCount = reader.U32("layer frame count");
  layer->frameMode = reader.U8("layer frame mode");
  layer->intense = reader.U8("layer blend") != 0;
  layer->shape = reader.U8("layer shape");
  reader.U8("layer padding");
  ReadFinite(reader, &layer->shapeWidth, 1, "layer shape width");
  ReadFinite(reader, &layer->shapeHeight, 1, "layer shape height");
  ReadFinite(reader, &layer->rate, 1, "layer rate");
  layer->capacity = reader.U32("layer capacity");
  layer->burst = reader.U32("layer burst");
  ReadFinite(reader, &layer->lifeMin, 1, "layer life");
  ReadFinite(reader, &layer->lifeMax, 1, "layer life");
  ReadFinite(reader, &layer->speedMin, 1, "layer speed");
  ReadFinite(reader, &layer->speedMax, 1, "layer speed");
  ReadFinite(reader, &layer->direction, 1, "layer direction");
  ReadFinite(reader, &layer->spread, 1, "layer spread");
  ReadFinite(reader, &layer->gravityX, 1, "layer gravity");
  ReadFinite(reader, &layer->gravityY, 1, "layer gravity");
  ReadFinite(reader, &layer->spinMin, 1, "layer spin");
  ReadFinite(reader, &layer->spinMax, 1, "layer spin");
  ReadFinite(reader, &layer->drag, 1, "layer drag");
  ReadKeys(reader, layer);
}

void ReadEmitter(CByteReader& reader, SPtcEmitter* emitter) {
  emitter->name = ReadName(reader, "emitter name");
  emitter->folder = ReadName(reader, "emitter folder");
  emitter->loop = reader.U8("emitter loop") != 0;
  emitter->interpolation = reader.U8("emitter interpolation") != 0;
  ReadFinite(reader, &emitter->duration, 1, "emitter duration");
  ReadFinite(reader, &emitter->fixedStepMs, 1, "emitter step");
  emitter->layers.resize(ReadCount(reader, PtcFormat::kMaxLayers, PtcFormat::kSmallestLayerBytes, "emitter layer count"));
  for (SPtcLayer& layer : emitter->layers) ReadLayer(reader, &layer);
}

// What the bytes cannot show: indices and values that make no sense together.
void CheckLayer(CByteReader& reader, const SPtcFile& file, const SPtcLayer& layer, uint64_t* total) {
  if (layer.atlas >= file.atlases.size()) return reader.Fail("a layer names an atlas past the file's atlases");
  const uint64_t frames = file.atlases[layer.atlas].frames.size();
  if (layer.frameCount == 0 || uint64_t{layer.firstFrame} + layer.frameCount > frames)
    return reader.Fail("a layer's frames lie outside its atlas");
  if (layer.frameMode > PtcFormat::kFrameOverLife) return reader.Fail("unknown frame mode");
  if (layer.shape > PtcFormat::kShapeCircle) return reader.Fail("unknown emitter shape");
  if (layer.capacity > PtcFormat::kMaxCapacity) return reader.Fail("a layer's capacity is above the limit");
  if (layer.lifeMin <= 0 || layer.lifeMax < layer.lifeMin) return reader.Fail("a layer's life range is empty");
  if (layer.rate < 0) return reader.Fail("a layer's rate is negative");
  *total += layer.capacity;
}

// Folders are walked part by part: an empty, "." or ".." part would lead the walk back into
// the folder it is in, without end.
bool IsFolderPath(const std::string& folder) {
  if (folder.empty()) return true;
  for (size_t start = 0; start <= folder.size();) {
    const size_t slash = std::min(folder.find('/', start), folder.size());
    const std::string part = folder.substr(start, slash - start);
    if (part.empty() || part == "." || part == "..") return false;
    start = slash + 1;
  }
  return true;
}

void CheckFile(CByteReader& reader, const SPtcFile& file) {
  uint64_t total = 0;
  for (const SPtcEmitter& emitter : file.emitters) {
    if (emitter.name.empty()) return reader.Fail("an emitter has no name");
    if (!IsFolderPath(emitter.folder)) return reader.Fail("an emitter's folder has an empty, \".\" or \"..\" part");
    if (emitter.duration <= 0 || emitter.fixedStepMs <= 0) return reader.Fail("an emitter's times are not positive");
    for (const SPtcLayer& layer : emitter.layers) {
      CheckLayer(reader, file, layer, &total);
      if (reader.Failed()) return;
    }
  }
  if (total > PtcFormat::kMaxTotalCapacity) reader.Fail("the file asks for more particles than the limit");
}

}  // namespace

bool ReadPtcFile(const uint8_t* bytes, size_t size, const char* fileName, SPtcFile* file) {
  *file = SPtcFile();
  CByteReader reader(bytes, size);
  char tag[4] = {};
  reader.Bytes(tag, sizeof tag, "tag");
  if (!reader.Failed() && std::memcmp(tag, PtcFormat::kTag, sizeof tag) != 0) reader.Fail("not a particle file");
  const uint32_t version = reader.U32("version");
  if (!reader.Failed() && version != PtcFormat::kVersion)
    reader.Fail("version " + std::to_string(version) + " is not one this program reads");
  SPtcFile read;
  read.atlases.resize(ReadCount(reader, PtcFormat::kMaxAtlases, PtcFormat::kSmallestAtlasBytes, "atlas count"));
  const uint32_t emitters = ReadCount(reader, PtcFormat::kMaxEmitters, PtcFormat::kSmallestEmitterBytes, "emitter count");
  for (SPtcAtlas& atlas : read.atlases) ReadAtlas(reader, &atlas);
  // Grown one at a time: a count the rest of the file cannot hold stops at the first short record.
  for (uint32_t i = 0; i < emitters && !reader.Failed(); ++i) {
    read.emitters.emplace_back();
    ReadEmitter(reader, &read.emitters.back());
  }
  if (!reader.Failed()) CheckFile(reader, read);
  if (!reader.Failed() && !reader.AtEnd()) reader.Fail("bytes follow the last emitter");
  if (reader.Failed()) {
    HM_REPORT(kPtcReaderSource, "Damaged particle file %s: %s", fileName, reader.FailureText());
    return false;
  }
  *file = std::move(read);
  return true;
}
