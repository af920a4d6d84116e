#include "Common/Render/Primitives/Sprite2D.h"

#include "Quor/CShaderManager.h"
#include "Quor/Engine.h"
#include "Quor/RenderStates.h"
#include "Quor/ReportError.h"

namespace {

const char* const kSprite2DSource = "Common/Render/Primitives/Sprite2D";

constexpr uint32_t kGrowStep = 4;
constexpr uint32_t kFirstRoom = 4;
constexpr uint32_t kBatchRoom = 300;

struct SPrimitiveState {
  CDynArray<SDrawVertex> spritePoints{kGrowStep};
  TextureRecord* spriteTexture = nullptr;
  CDynArray<SDrawVertex> batch{kGrowStep};
  TextureRecord* batchTexture = nullptr;
  bool batchOpen = false;
  uint32_t addressMode = kDrawClamp;
};
SPrimitiveState g_primitives;

uint8_t ChannelOf(uint32_t colour, int shift) { return static_cast<uint8_t>(colour >> shift); }

void AddBatchVertex(float x, float y, uint32_t colour, float u, float v) {
  g_primitives.batch.Add({x, y, 0.0f, colour, u, v});
}

void AddQuadCorners(const Vector2 c[4], uint32_t colour, bool textured) {
  // (corner, u, v) for the two triangles (p0, p1, p2) and (p0, p2, p3).
  static const struct { int corner; float u, v; } kOrder[6] = {
      {0, 0, 0}, {1, 0, 1}, {2, 1, 1}, {0, 0, 0}, {2, 1, 1}, {3, 1, 0},
  };
  for (const auto& entry : kOrder) {
    const Vector2& p = c[entry.corner];
    AddBatchVertex(p.x, p.y, colour, textured ? entry.u : 0.0f, textured ? entry.v : 0.0f);
  }
}

}  // namespace

uint8_t HalfScaleToByte(uint8_t channel) { return channel < 128 ? static_cast<uint8_t>(channel * 2) : 255; }

uint32_t PackHalfScaleColour(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha) {
  return static_cast<uint32_t>(HalfScaleToByte(alpha)) << 24 | static_cast<uint32_t>(HalfScaleToByte(red)) << 16 |
         static_cast<uint32_t>(HalfScaleToByte(green)) << 8 | HalfScaleToByte(blue);
}

// ---- sprite points

void BeginSprites2D() {
  g_primitives.batchOpen = true;
  g_primitives.spriteTexture = nullptr;
  g_primitives.spritePoints.Clear();
  if (g_primitives.spritePoints.GetCapacity() == 0) g_primitives.spritePoints.Reserve(kFirstRoom);
}

void AddSpritePoint2D(float x, float y) { g_primitives.spritePoints.Add({x, y, 0.0f, kSpritePointColour, 0, 0}); }

void AddSpritePair2D(const Vector2& p0, const Vector2& p1) {
  AddSpritePoint2D(p0.x, p0.y);
  AddSpritePoint2D(p1.x, p1.y);
}

void FlushSprites2D() {
  g_primitives.batchOpen = false;
  const uint32_t count = g_primitives.spritePoints.GetCount();
  if (count == 0 || count % 2 != 0) {
    HM_REPORT(kSprite2DSource, "Not enough sprite points:%d", static_cast<int>(count));
    return;
  }
  ResetDrawState();
  // Someone may have left the world transform on (the debug lines do).
  SetDrawScreenSpace(true);
  const SRenderStateRecord none;
  const SRenderStateRecord* states = GetRenderStateRecord();
  for (uint32_t i = 0; i < count; i += 2) {
    const SDrawVertex& p0 = g_primitives.spritePoints[i];
    const SDrawVertex& p1 = g_primitives.spritePoints[i + 1];
    const SQuadColour colour = {ChannelOf(p0.colour, 16), ChannelOf(p0.colour, 8), ChannelOf(p0.colour, 0),
                                ChannelOf(p0.colour, 24)};
    DrawTexturedQuad2D(g_primitives.spriteTexture, states ? *states : none,
                       {p0.x, p0.y, p1.x, p1.y, p0.u, p0.v, p1.u, p1.v}, colour);
  }
}

void FreeSprites2D() { g_primitives.spritePoints.Free(); }

const CDynArray<SDrawVertex>& GetSpritePoints2D() { return g_primitives.spritePoints; }

// ---- the triangle batch

void Init2DBatch() {
  CDynArray<SDrawVertex>& batch = g_primitives.batch;
  if (batch.GetCapacity() <= kBatchRoom) batch.Reserve(batch.GetGrowStep() + kBatchRoom);
  batch.Clear();
}

void Begin2DBatch(TextureRecord* texture) {
  g_primitives.batchOpen = true;
  g_primitives.batchTexture = texture;
  g_primitives.batch.Clear();
  if (g_primitives.batch.GetCapacity() == 0) g_primitives.batch.Reserve(kFirstRoom);
}

void Begin2DBatch() { Begin2DBatch(nullptr); }

void Reopen2DBatch(TextureRecord* texture) {
  g_primitives.batchOpen = true;
  g_primitives.batchTexture = texture;
}

void Free2DBatch() { g_primitives.batch.Free(); }

void Add2DBatchQuad(const Vector2 corners[4], uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha) {
  AddQuadCorners(corners, PackHalfScaleColour(red, green, blue, alpha), true);
}

void Add2DBatchSolidQuad(const Vector2 corners[4], uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha) {
  AddQuadCorners(corners, PackHalfScaleColour(red, green, blue, alpha), false);
}

void Add2DBatchVertex(uint8_t alpha, float u, float v, float x, float y) {
  AddBatchVertex(x, y, PackHalfScaleColour(255, 255, 255, alpha), u, v);
}

void Add2DBatchColourVertex(float x, float y, uint8_t red, uint8_t green, uint8_t blue) {
  AddBatchVertex(x, y, PackHalfScaleColour(red, green, blue, 255), 0, 0);
}

void Flush2DBatch() {
  g_primitives.batchOpen = false;
  const uint32_t count = g_primitives.batch.GetCount();
  if (count == 0 || count % 3 != 0) {
    HM_REPORT(kSprite2DSource, "Not enough tri points:%d", static_cast<int>(count));
    return;
  }
  InvalidateDrawState();
  SetDrawTexture(g_primitives.batchTexture);
  SetDrawScreenSpace(true);
  SetDrawAddressModes(g_primitives.addressMode, g_primitives.addressMode);
  DrawUserPrimitives(g_primitives.batch.GetData(), kDrawTriangleList, count);
}

const CDynArray<SDrawVertex>& Get2DBatch() { return g_primitives.batch; }

bool Is2DBatchOpen() { return g_primitives.batchOpen; }
void Close2DBatch() { g_primitives.batchOpen = false; }

// ---- addressing and states

void SetPrimitiveAddressMode(uint32_t code) { g_primitives.addressMode = code; }
uint32_t GetPrimitiveAddressMode() { return g_primitives.addressMode; }

void SetDefaultRenderStates() {
  AlphaBlendOff();
  DepthWriteOn();
  DepthTestOn();
  SetDepthFunc(GFX_CMP_LESSEQUAL);
  g_primitives.addressMode = kDrawClamp;
}

// ---- vertex fillers

void MakeSpriteVertex3D(SDrawVertex* out, float x, float y, float z, float u, float v, const uint8_t colourBgra[4]) {
  *out = {x, y, z, PackHalfScaleColour(colourBgra[2], colourBgra[1], colourBgra[0], colourBgra[3]), u, v};
}

void MakeSpriteVertex2D(SDrawVertex* out, float x, float y, float u, float v, const uint8_t colourBgra[4]) {
  MakeSpriteVertex3D(out, x, y, 0.0f, u, v, colourBgra);
}
