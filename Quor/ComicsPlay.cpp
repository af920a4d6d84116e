#include "Quor/ComicsPlay.h"

#include <cmath>
#include <cstring>
#include <string>

#include "Platform/GraphicsDevice.h"
#include "Quor/CByteReader.h"
#include "Quor/CTextureManager.h"
#include "Quor/ContentOrigin.h"
#include "Quor/DirectX/D3DDeviceAccess.h"
#include "Quor/RenderStates.h"
#include "Quor/ReportError.h"
#include "Quor/Timer.h"

namespace {

constexpr const char* kComicsPlaySource = "Quor/ComicsPlay";
constexpr uint32_t kDepthAlways = 8;
constexpr float kUvScale = 1.0f / kComicUvUnits;

// "Art\Intro\intro.cmx" -> "Art\Intro\Textures".
std::string TextureFolderOf(const char* fileName) {
  const char* slash = nullptr;
  for (const char* c = fileName; *c; ++c)
    if (*c == '\\' || *c == '/') slash = c;
  const std::string folder = slash ? std::string(fileName, size_t(slash - fileName) + 1) : std::string();
  return folder + "Textures";
}

// Walks one frame's primitive list and fails the reader at the first thing that does not fit:
// a texture index past the table, more vertices than the capacity, or a list that runs past
// the frame data without its end mark.
void CheckFrameList(const std::vector<uint8_t>& data, const SComicFrame& frame, uint32_t frameIndex,
                    uint32_t textureCount, uint32_t vertexCapacity, CByteReader* problems) {
  CByteReader list(data);
  if (!list.Seek(frame.offset, "frame offset")) {
    problems->Fail("frame " + std::to_string(frameIndex) + " starts past the frame data");
    return;
  }
  for (;;) {
    const uint16_t texture = list.U16("primitive texture index");
    if (list.Failed()) break;
    if (texture == kComicListEnd) return;
    const uint32_t vertexCount = 3u * list.U16("triangle count");
    if (list.Failed()) break;
    if (texture >= textureCount) {
      problems->Fail("frame " + std::to_string(frameIndex) + " uses texture " + std::to_string(texture) + " of " +
                     std::to_string(textureCount));
      return;
    }
    if (vertexCount > vertexCapacity) {
      problems->Fail("frame " + std::to_string(frameIndex) + " has a primitive of " + std::to_string(vertexCount) +
                     " vertices, more than the capacity " + std::to_string(vertexCapacity));
      return;
    }
    if (!list.Skip(size_t(vertexCount) * kComicVertexBytes, "primitive vertices")) break;
  }
  problems->Fail("frame " + std::to_string(frameIndex) + " runs past the end of the file (" + list.FailureText() + ")");
}

void ReadFrameTable(CByteReader& reader, SComic* comic) {
  const uint32_t frameCount = reader.U32("frame count");
  if (!reader.HasRoomFor(frameCount, kComicFrameRecordSize, "frame table")) return;
  comic->frames.resize(frameCount);
  for (uint32_t i = 0; i < frameCount && !reader.Failed(); ++i) {
    SComicFrame& frame = comic->frames[i];
    frame.start = reader.F32("frame start");
    frame.duration = reader.F32("frame duration");
    frame.offset = reader.U32("frame offset");
    if (!std::isfinite(frame.start) || !std::isfinite(frame.duration))
      reader.Fail("frame " + std::to_string(i) + " has a time that is not a number");
  }
}

// Everything after the header; false (with the reason in the reader) for a damaged file.
bool ReadComicBody(CByteReader& reader, SComic* comic, std::vector<std::string>* textureNames) {
  const uint32_t textureCount = reader.U32("texture count");
  // Every name takes at least its terminator.
  if (!reader.HasRoomFor(textureCount, 1, "texture names")) return false;
  for (uint32_t i = 0; i < textureCount && !reader.Failed(); ++i) {
    char name[kComicTextureNameCapacity];
    reader.String(name, sizeof name, "texture name");
    textureNames->push_back(name);
  }
  const uint32_t vertexCapacity = reader.U32("vertex capacity");
  // A primitive's vertices are in the file, so no honest capacity is larger than it.
  if (!reader.Failed() && vertexCapacity > reader.Remaining() / kComicVertexBytes)
    reader.Fail("a vertex capacity of " + std::to_string(vertexCapacity) + " is more than the file holds");
  ReadFrameTable(reader, comic);
  if (reader.Failed()) return false;
  const size_t restSize = reader.Remaining();
  const uint8_t* rest = reader.Take(restSize, "frame data");
  comic->frameData.assign(rest, rest + restSize);
  for (uint32_t i = 0; i < comic->frames.size() && !reader.Failed(); ++i)
    CheckFrameList(comic->frameData, comic->frames[i], i, textureCount, vertexCapacity, &reader);
  if (reader.Failed()) return false;
  comic->vertices.assign(vertexCapacity, SDrawVertex{0, 0, 1.0f, 0, 0, 0});
  return true;
}

bool LoadTextures(SComic* comic, const char* fileName, const std::vector<std::string>& names) {
  CTextureManager* manager = GetTextureManager();
  if (!manager) {
    HM_REPORT(kComicsPlaySource, "%s: no texture manager to load the comic's textures", fileName);
    return false;
  }
  const std::string saved = manager->GetDirectory();
  manager->SetDirectory(TextureFolderOf(fileName).c_str());
  const CContentOrigin origin(fileName);
  for (const std::string& name : names) comic->textures.push_back(manager->LoadTexture(name.c_str()));
  manager->SetDirectory(saved.c_str());
  return true;
}

uint8_t BlendChannel(uint8_t from, uint8_t to, float f) {
  return uint8_t(std::lround(float(from) + f * (float(to) - float(from))));
}

float BackBufferAspect() {
  CGfxDevice* device = GetD3DDevice();
  if (!device) return 0;
  const SGfxPresentParams& params = device->GetPresentParams();
  return params.backBufferHeight ? float(params.backBufferWidth) / float(params.backBufferHeight) : 0;
}

}  // namespace

bool ComicsLoad(SComic* comic, const char* fileName) {
  ComicsUnload(comic);
  std::vector<uint8_t> bytes;
  if (!ReadWholeVfsFile(fileName, &bytes)) {
    HM_REPORT(kComicsPlaySource, "Comic file \"%s\" not found", fileName);
    return false;
  }
  CByteReader reader(bytes);
  char magic[sizeof kComicTag] = {};
  reader.Bytes(magic, sizeof magic, "magic");
  if (reader.Failed() || std::memcmp(magic, kComicTag, sizeof kComicTag) != 0)
    HM_FATAL(kComicsPlaySource, "%s: Not a CMX file", fileName);
  const uint16_t version = reader.U16("version");
  if (version != kComicVersion) HM_FATAL(kComicsPlaySource, "%s: Unsupported version 0x%X", fileName, version);

  std::vector<std::string> textureNames;
  if (!ReadComicBody(reader, comic, &textureNames)) {
    HM_REPORT(kComicsPlaySource, "Comic file \"%s\" is damaged: %s", fileName, reader.FailureText());
    ComicsUnload(comic);
    return false;
  }
  if (LoadTextures(comic, fileName, textureNames)) return true;
  ComicsUnload(comic);
  return false;
}

void ComicsUnload(SComic* comic) {
  if (CTextureManager* manager = GetTextureManager())
    for (TextureRecord* texture : comic->textures) manager->ReleaseTexture(texture);
  *comic = SComic();
}

SComicsPlayer ComicsPlayerCreate() { return SComicsPlayer{GetTimeSeconds(), 0}; }

void ComicsPlayerRestart(SComicsPlayer* player, float offsetSeconds) {
  player->startTime = GetTimeSeconds() - offsetSeconds;
  player->currentFrame = 0;
}

float ComicsPlayerElapsed(const SComicsPlayer* player) { return GetTimeSeconds() - player->startTime; }

bool ComicsIsFinished(const SComic* comic, const SComicsPlayer* player) {
  if (comic->frames.empty()) return true;
  const SComicFrame& last = comic->frames.back();
  return last.start + last.duration < ComicsPlayerElapsed(player);
}

float ComicFrameProgress(const SComicFrame& frame, float elapsed) {
  if (!(frame.duration > 0)) return 1.0f;
  const float f = (elapsed - frame.start) / frame.duration;
  // Before the frame's start it shows its start values.
  return f < 0 ? 0.0f : (f > 1 ? 1.0f : f);
}

void ComicsAdvance(const SComic* comic, SComicsPlayer* player, float elapsed) {
  const uint32_t count = uint32_t(comic->frames.size());
  if (player->currentFrame >= count) player->currentFrame = count ? count - 1 : 0;
  while (player->currentFrame + 1 < count) {
    const SComicFrame& frame = comic->frames[player->currentFrame];
    if (!(frame.start + frame.duration < elapsed)) break;
    ++player->currentFrame;
  }
}

SDrawVertex ComicVertexAt(const SComicVertex& v, float f, float aspect) {
  SDrawVertex out;
  out.x = ((float(v.x) + float(v.dx) * f) * 1.778f / 1598.0f) * 512.0f * 0.5f / aspect + 2048.0f;
  out.y = 2048.0f - ((float(v.y) + float(v.dy) * f) / 898.0f) * 512.0f * 0.5f;
  out.z = 1.0f;
  out.u = (float(v.u) + float(v.du) * f) * kUvScale;
  out.v = (float(v.v) + float(v.dv) * f) * kUvScale;
  const uint32_t red = BlendChannel(v.from[0], v.to[0], f), green = BlendChannel(v.from[1], v.to[1], f);
  const uint32_t blue = BlendChannel(v.from[2], v.to[2], f), alpha = BlendChannel(v.from[3], v.to[3], f);
  out.colour = alpha << 24 | red << 16 | green << 8 | blue;
  return out;
}

void ComicsRender(SComic* comic, SComicsPlayer* player) {
  const float aspect = BackBufferAspect();
  if (comic->frames.empty() || !(aspect > 0)) return;
  const float elapsed = ComicsPlayerElapsed(player);
  ComicsAdvance(comic, player, elapsed);
  const SComicFrame& frame = comic->frames[player->currentFrame];
  const float f = ComicFrameProgress(frame, elapsed);

  SetDepthFunc(kDepthAlways);
  AlphaTestOff();
  AlphaBlendOn();
  BlendNormal();
  InvalidateDrawState();
  SetDrawScreenSpace(true);

  // The lists were checked when the file was read: indices, capacity and sizes all fit.
  const uint8_t* p = comic->frameData.data() + frame.offset;
  for (uint16_t texture = ComicU16At(p); texture != kComicListEnd; texture = ComicU16At(p)) {
    const uint32_t vertexCount = 3u * ComicU16At(p + 2);
    p += kComicPrimitiveHeaderSize;
    for (uint32_t i = 0; i < vertexCount; ++i, p += kComicVertexBytes)
      comic->vertices[i] = ComicVertexAt(DecodeComicVertex(p), f, aspect);
    SetDrawTexture(comic->textures[texture]);
    DrawUserPrimitives(comic->vertices.data(), kDrawTriangleList, vertexCount);
  }
  InvalidateDrawState();
}
