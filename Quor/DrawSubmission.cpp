#include "Quor/DrawSubmission.h"

#include <algorithm>
#include <cmath>

#include "Platform/GraphicsDevice.h"
#include "Quor/CDrawTextRenderer.h"
#include "Quor/CTextureManager.h"
#include "Quor/DirectX/CD3DDeviceResources.h"
#include "Quor/DirectX/D3DDeviceAccess.h"
#include "Quor/MatrixTable.h"
#include "Quor/ReportError.h"

// Byte code assembled at build time from Quor/Shaders/.
#include "Shaders/DrawColour_psh.h"
#include "Shaders/DrawColour_vsh.h"
#include "Shaders/DrawTextured_psh.h"
#include "Shaders/DrawTextured_vsh.h"

const SGfxVertexElement kDrawVertexElements[4] = {
    {0, 0, GFX_DECLTYPE_FLOAT3, 0, GFX_DECLUSAGE_POSITION, 0},
    {0, 12, GFX_DECLTYPE_D3DCOLOR, 0, GFX_DECLUSAGE_COLOR, 0},
    {0, 16, GFX_DECLTYPE_FLOAT2, 0, GFX_DECLUSAGE_TEXCOORD, 0},
    GFX_DECL_END(),
};

namespace {

// Virtual units to clip space: x' = x / 256 - 8, y' = 8 - y / 256 (rows, row vectors).
const float kScreenMatrix[16] = {
    1.0f / 256, 0, 0, 0, 0, -1.0f / 256, 0, 0, 0, 0, 1, 0, -8, 8, 0, 1,
};

struct SQuadIndexTable {
  uint16_t indices[kQuadIndexCount];
  SQuadIndexTable() {
    static const uint16_t pattern[6] = {0, 1, 2, 2, 3, 0};
    for (uint32_t i = 0; i < kQuadIndexCount; ++i) indices[i] = static_cast<uint16_t>(4 * (i / 6) + pattern[i % 6]);
  }
};

struct SDrawState {
  DrawProgram textured, colour;
  const DrawProgram* current = nullptr;
  CResource_VertexDeclaration* declaration = nullptr;
  CResource_IndexBuffer* quadIndices = nullptr;
  TextureRecord* texture = nullptr;
  uint32_t addressU = kDrawWrap, addressV = kDrawWrap;
  bool screenSpace = true;
  bool textureChanged = true;
  bool addressChanged = true;
  bool filterRequested = true;
  bool transformChanged = true;
  bool lastDrawCovered = false;
};
SDrawState g_draw;

uint32_t DeviceAddressMode(uint32_t code) {
  switch (code) {
    case kDrawClamp: return GFX_TADDRESS_CLAMP;
    case kDrawMirror: return GFX_TADDRESS_MIRROR;
    default: return GFX_TADDRESS_WRAP;
  }
}

void DestroyResource(CResource* resource) {
  if (resource) DestroyDeviceResource(resource);
}

void SwitchProgram(CDeviceStates& states, const DrawProgram& program) {
  g_draw.transformChanged = true;
  g_draw.textureChanged = true;
  g_draw.current = &program;
  states.SetVertexShader(program.vertexShader ? program.vertexShader->Get() : nullptr);
  if (program.pixelShader) states.SetPixelShader(program.pixelShader->Get());
  states.SetVertexDeclaration(g_draw.declaration ? g_draw.declaration->Get() : nullptr);
}

void UploadTransform(CDeviceStates& states) {
  const float* matrix = g_draw.screenSpace ? kScreenMatrix : GetWorldViewProjection()->m;
  states.SetVertexShaderConstantF(g_draw.current->transformRegister, matrix, 4);
  g_draw.transformChanged = false;
}

void ApplyTextureSettings(CDeviceStates& states) {
  if (g_draw.textureChanged) {
    states.SetTexture(0, GetD3DTexture(GetEffectiveTexture(g_draw.texture)));
    g_draw.textureChanged = false;
  }
  if (g_draw.addressChanged) {
    states.SetSamplerState(0, GFX_SAMP_ADDRESSU, DeviceAddressMode(g_draw.addressU));
    states.SetSamplerState(0, GFX_SAMP_ADDRESSV, DeviceAddressMode(g_draw.addressV));
    g_draw.addressChanged = false;
  }
  if (g_draw.filterRequested) {
    states.SetSamplerState(0, GFX_SAMP_MAGFILTER, GFX_TEXF_LINEAR);
    states.SetSamplerState(0, GFX_SAMP_MINFILTER, GFX_TEXF_LINEAR);
    states.SetSamplerState(0, GFX_SAMP_MIPFILTER, GFX_TEXF_LINEAR);
    g_draw.filterRequested = false;
  }
}

// The primitive count of a kind; a count too small for one primitive gives 0 rather than
// wrapping below zero.
uint32_t PrimitiveCount(uint32_t kind, uint32_t vertices) {
  switch (kind) {
    case kDrawLineList: return vertices / 2;
    case kDrawLineStrip: return vertices >= 2 ? vertices - 1 : 0;
    case kDrawTriangleList: return vertices / 3;
    case kDrawTriangleStrip:
    case kDrawTriangleFan: return vertices >= 3 ? vertices - 2 : 0;
    default: return vertices;
  }
}

uint32_t PrimitiveType(uint32_t kind) {
  switch (kind) {
    case kDrawLineList: return GFX_PT_LINELIST;
    case kDrawLineStrip: return GFX_PT_LINESTRIP;
    case kDrawTriangleStrip: return GFX_PT_TRIANGLESTRIP;
    case kDrawTriangleFan: return GFX_PT_TRIANGLEFAN;
    default: return GFX_PT_TRIANGLELIST;
  }
}

// In screen space a vertex's depth is its z: when every vertex shares one, the device may
// leave out a depth test that cannot change the frame.
void NoteScreenDepth(CGfxDevice& device, const SDrawVertex* vertices, uint32_t count) {
  if (!g_draw.screenSpace || count == 0) return;
  for (uint32_t i = 1; i < count; ++i)
    if (vertices[i].z != vertices[0].z) return;
  device.NoteDrawDepth(vertices[0].z);
}

SDrawBlend DeviceBlend(CGfxDevice& device) {
  SDrawBlend blend;
  uint32_t enabled = 0;
  device.GetRenderState(GFX_RS_ALPHABLENDENABLE, &enabled);
  device.GetRenderState(GFX_RS_SRCBLEND, &blend.source);
  device.GetRenderState(GFX_RS_DESTBLEND, &blend.dest);
  device.GetRenderState(GFX_RS_BLENDOP, &blend.op);
  blend.enabled = enabled != 0;
  return blend;
}

// A textured draw of an opaque picture leaves blending out for itself.
bool LeaveBlendingOut(CGfxDevice& device, const SDrawVertex* vertices, uint32_t count) {
  if (g_draw.current != &g_draw.textured) return false;
  CGfxTexture* texture = GetD3DTexture(GetEffectiveTexture(g_draw.texture));
  if (!texture) return false;
  // A picture with clear texels elsewhere: opaque where this draw samples it.
  SGfxTexelCoverage coverage = texture->GetCoverage();
  SGfxRect texels;
  if (coverage.known && !coverage.opaque &&
      SampledTexels(vertices, count, texture->Width(), texture->Height(),
                    {g_draw.addressU == kDrawClamp, g_draw.addressV == kDrawClamp}, &texels))
    coverage.opaque = texture->IsOpaqueIn(texels);
  if (!DrawNeedsNoBlending(DeviceBlend(device), coverage, vertices, count)) return false;
  return device.SetRenderState(GFX_RS_ALPHABLENDENABLE, 0) == GFX_OK;
}

// The visible screen in screen-space units: the screen matrix maps 2048 +- 256 to clip -1..1.
constexpr float kScreenLow = 1792.0f, kScreenHigh = 2304.0f;

// Which corner of the box a vertex at one of them is (bit 0 right, bit 1 bottom), or -1.
int CornerOf(const SDrawVertex& v, float left, float top, float right, float bottom) {
  const bool atX = v.x == left || v.x == right, atY = v.y == top || v.y == bottom;
  if (!atX || !atY) return -1;
  return (v.x == right ? 1 : 0) | (v.y == bottom ? 2 : 0);
}

// A triangle of three distinct corners halves the box; the corner it leaves out, or -1.
int CornerLeftOut(const SDrawVertex* v, uint32_t a, uint32_t b, uint32_t c, const float box[4]) {
  int seen = 0;
  for (uint32_t i : {a, b, c}) {
    const int corner = CornerOf(v[i], box[0], box[1], box[2], box[3]);
    if (corner < 0 || (seen & (1 << corner))) return -1;
    seen |= 1 << corner;
  }
  for (int corner = 0; corner < 4; ++corner)
    if (!(seen & (1 << corner))) return corner;
  return -1;
}

// Whether the device's state lets nothing beneath the last draw show through: blending off
// (left out or never on), no alpha test, all four channels written, and a depth test that
// cannot reject a fragment of depth `z` (off, always, or z at the nearest or farthest end of
// a full depth range under "less or equal" or "greater or equal").
bool StateReplacesPixels(CGfxDevice& device, float z) {
  uint32_t blend = 1, alphaTest = 1, channels = 0, depthTest = 1, func = 0;
  device.GetRenderState(GFX_RS_ALPHABLENDENABLE, &blend);
  device.GetRenderState(GFX_RS_ALPHATESTENABLE, &alphaTest);
  device.GetRenderState(GFX_RS_COLORWRITEENABLE, &channels);
  device.GetRenderState(GFX_RS_ZENABLE, &depthTest);
  device.GetRenderState(GFX_RS_ZFUNC, &func);
  if (blend || alphaTest || (channels & 0xF) != 0xF) return false;
  if (!depthTest || func == GFX_CMP_ALWAYS) return true;
  SGfxViewport viewport{};
  if (device.GetViewport(&viewport) != GFX_OK || viewport.minZ != 0.0f || viewport.maxZ != 1.0f) return false;
  return (func == GFX_CMP_LESSEQUAL && z == 0.0f) || (func == GFX_CMP_GREATEREQUAL && z == 1.0f);
}

bool SameDepth(const SDrawVertex* vertices, uint32_t count) {
  for (uint32_t i = 1; i < count; ++i)
    if (vertices[i].z != vertices[0].z) return false;
  return true;
}

}  // namespace

bool DrawCoversScreen(const SDrawVertex* vertices, uint32_t kind, uint32_t count) {
  const bool quad = kind >= kDrawQuads && count == 4, pair = kind == kDrawTriangleList && count == 6;
  if (!vertices || (!quad && !pair)) return false;
  float box[4] = {vertices[0].x, vertices[0].y, vertices[0].x, vertices[0].y};
  for (uint32_t i = 1; i < count; ++i) {
    box[0] = std::min(box[0], vertices[i].x), box[1] = std::min(box[1], vertices[i].y);
    box[2] = std::max(box[2], vertices[i].x), box[3] = std::max(box[3], vertices[i].y);
  }
  if (!(box[0] <= kScreenLow && box[1] <= kScreenLow && box[2] >= kScreenHigh && box[3] >= kScreenHigh))
    return false;
  // The quad table's triangles are 0 1 2 and 2 3 0; a list's are 0 1 2 and 3 4 5. Two halves
  // that leave out opposite corners make the whole box.
  const int first = CornerLeftOut(vertices, 0, 1, 2, box);
  const int second = quad ? CornerLeftOut(vertices, 2, 3, 0, box) : CornerLeftOut(vertices, 3, 4, 5, box);
  return first >= 0 && second >= 0 && (first ^ second) == 3;
}

bool LastDrawCoveredScreen() { return g_draw.lastDrawCovered; }

bool SampledTexels(const SDrawVertex* vertices, uint32_t count, uint32_t width, uint32_t height,
                   const SDrawClamp& clamp, SGfxRect* texels) {
  if (count == 0 || width == 0 || height == 0) return false;
  float low[2] = {vertices[0].u, vertices[0].v}, high[2] = {low[0], low[1]};
  for (uint32_t i = 1; i < count; ++i) {
    low[0] = std::min(low[0], vertices[i].u), high[0] = std::max(high[0], vertices[i].u);
    low[1] = std::min(low[1], vertices[i].v), high[1] = std::max(high[1], vertices[i].v);
  }
  // Linear filtering at t (in texels) mixes texels floor(t - 0.5) and the next; a texel more on
  // each side covers the rounding of interpolated coordinates.
  const float size[2] = {static_cast<float>(width), static_cast<float>(height)};
  const bool clamped[2] = {clamp.u, clamp.v};
  int32_t first[2], end[2];
  for (int axis = 0; axis < 2; ++axis) {
    const float from = std::floor(low[axis] * size[axis] - 0.5f) - 1.0f;
    const float to = std::floor(high[axis] * size[axis] - 0.5f) + 3.0f;
    if (!(from >= -1e6f && to <= 1e6f)) return false;  // not finite, or far outside
    first[axis] = static_cast<int32_t>(from);
    end[axis] = static_cast<int32_t>(to);
    // Beyond the picture a wrapped or mirrored draw samples texels from its other side.
    if (clamped[axis]) {
      first[axis] = std::max(first[axis], 0);
      end[axis] = std::min(end[axis], static_cast<int32_t>(size[axis]));
    } else if (first[axis] < 0 || end[axis] > static_cast<int32_t>(size[axis])) {
      return false;
    }
    if (first[axis] >= end[axis]) return false;
  }
  *texels = {first[0], first[1], end[0], end[1]};
  return true;
}

bool DrawNeedsNoBlending(const SDrawBlend& blend, const SGfxTexelCoverage& coverage, const SDrawVertex* vertices,
                         uint32_t count) {
  // Any operation but addition, or other factors, may mix even an opaque picture in.
  if (!blend.enabled || blend.source != GFX_BLEND_SRCALPHA || blend.dest != GFX_BLEND_INVSRCALPHA ||
      (blend.op != GFX_BLENDOP_ADD && blend.op != 0) || !coverage.known || !coverage.opaque)
    return false;
  for (uint32_t i = 0; i < count; ++i)
    if (vertices[i].colour >> 24 != 0xFF) return false;
  return true;
}

const uint16_t* GetQuadIndexTable() {
  static const SQuadIndexTable table;
  return table.indices;
}

void InitDrawState() {
  // Every pending setting starts over (a new device knows none of them).
  g_draw = SDrawState();
  g_draw.textured.vertexShader = CreateVertexShaderResource(kDrawTexturedVs, kDrawTexturedVs_Size);
  g_draw.textured.pixelShader = CreatePixelShaderResource(kDrawTexturedPs, kDrawTexturedPs_Size);
  g_draw.colour.vertexShader = CreateVertexShaderResource(kDrawColourVs, kDrawColourVs_Size);
  g_draw.colour.pixelShader = CreatePixelShaderResource(kDrawColourPs, kDrawColourPs_Size);
  g_draw.declaration = CreateVertexDeclarationResource(kDrawVertexElements);
  g_draw.quadIndices = CreateQuadIndexBuffer();
  SetTextRenderer(&GetDrawTextRenderer());
}

void ShutdownDrawState() {
  if (GetTextRenderer() == &GetDrawTextRenderer()) SetTextRenderer(nullptr);
  DestroyResource(g_draw.declaration);
  g_draw.declaration = nullptr;
  g_draw.current = nullptr;
  for (DrawProgram* program : {&g_draw.colour, &g_draw.textured}) {
    DestroyResource(program->pixelShader);
    DestroyResource(program->vertexShader);
    *program = DrawProgram();
  }
  // The quad index buffer stays in the resource list until exit; forget it here.
  g_draw.quadIndices = nullptr;
  g_draw.texture = nullptr;
}

void SetDrawTexture(TextureRecord* texture) {
  g_draw.texture = texture;
  g_draw.textureChanged = true;
}

void SetDrawAddressModes(uint32_t u, uint32_t v) {
  if (u == g_draw.addressU && v == g_draw.addressV) return;
  g_draw.addressU = u;
  g_draw.addressV = v;
  g_draw.addressChanged = true;
}

void SetDrawScreenSpace(bool on) {
  if (on != g_draw.screenSpace) g_draw.transformChanged = true;
  g_draw.screenSpace = on;
}

void RequestDrawFiltering() { g_draw.filterRequested = true; }

void InvalidateDrawState() {
  g_draw.textureChanged = true;
  g_draw.addressChanged = true;
  g_draw.filterRequested = true;
  g_draw.transformChanged = true;
  g_draw.current = nullptr;
}

uint32_t SetupDrawCall(uint32_t kind, uint32_t* count) {
  if (CGfxDevice* device = GetD3DDevice()) {
    CDeviceStates states(*device);
    const DrawProgram& program = g_draw.texture ? g_draw.textured : g_draw.colour;
    if (g_draw.current != &program) SwitchProgram(states, program);
    if (g_draw.transformChanged) UploadTransform(states);
    // With the colour program the texture settings stay pending for the next textured draw.
    if (g_draw.current == &g_draw.textured) ApplyTextureSettings(states);
  }
  *count = PrimitiveCount(kind, *count);
  return PrimitiveType(kind);
}

void DrawUserPrimitives(const SDrawVertex* vertices, uint32_t kind, uint32_t count) {
  g_draw.lastDrawCovered = false;
  CGfxDevice* device = GetD3DDevice();
  if (!device || !vertices) return;
  // Kind 5 and any unknown kind draw quads through the index table.
  const bool quads = kind >= kDrawQuads;
  if (quads && count > kMaxQuadDrawVertices) {
    HM_REPORT("Quor/DrawSubmission", "A quad draw of %u vertices is more than the %u one draw can index", count,
              kMaxQuadDrawVertices);
    return;
  }
  uint32_t primitives = count;
  const uint32_t type = SetupDrawCall(kind, &primitives);
  // Whole quads only: a partial quad would index vertices past the caller's array.
  const uint32_t quadCount = count / 4;
  if (quads ? quadCount == 0 : primitives == 0) return;
  const uint32_t drawn = quads ? quadCount * 4 : count;
  const bool unblended = LeaveBlendingOut(*device, vertices, drawn);
  NoteScreenDepth(*device, vertices, drawn);
  const bool covers = g_draw.screenSpace && DrawCoversScreen(vertices, kind, drawn) && SameDepth(vertices, drawn) &&
                      StateReplacesPixels(*device, vertices[0].z);
  uint32_t result = GFX_OK;
  if (quads) {
    result = device->DrawIndexedPrimitiveUP(GFX_PT_TRIANGLELIST, 0, quadCount * 4, quadCount * 2,
                                            GetQuadIndexTable(), GFX_FMT_INDEX16, vertices, sizeof(SDrawVertex));
    if (IsDeviceFailure(result))
      HM_REPORT("Quor/DrawSubmission", "Drawing %u quads failed (0x%08X)", quadCount, result);
  } else {
    result = device->DrawPrimitiveUP(type, primitives, vertices, sizeof(SDrawVertex));
    if (IsDeviceFailure(result))
      HM_REPORT("Quor/DrawSubmission", "Drawing %u primitives of kind %u failed (0x%08X)", primitives, kind, result);
  }
  if (unblended) device->SetRenderState(GFX_RS_ALPHABLENDENABLE, 1);
  g_draw.lastDrawCovered = covers && !IsDeviceFailure(result);
}

const float* GetScreenMatrix() { return kScreenMatrix; }
CResource_VertexDeclaration* GetDrawVertexDeclaration() { return g_draw.declaration; }
CResource_IndexBuffer* GetQuadIndexBuffer() { return g_draw.quadIndices; }

SDrawStateView GetDrawStateView() {
  return {g_draw.current,     &g_draw.textured,       &g_draw.colour,          g_draw.texture,
          g_draw.addressU,    g_draw.addressV,        g_draw.screenSpace,      g_draw.textureChanged,
          g_draw.addressChanged, g_draw.filterRequested, g_draw.transformChanged};
}
