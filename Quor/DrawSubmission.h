#pragma once
// The immediate draw layer: everything drawn without a material (2-D sprites and quads,
// text, loading screens, comics, particles) goes through two built-in draw programs, a set
// of pending draw settings that callers change freely, and SetupDrawCall, which applies
// only what changed just before each draw call and turns a draw kind and a vertex count
// into the device's terms.

#include <cstddef>
#include <cstdint>

#include "Platform/GraphicsTypes.h"

struct TextureRecord;
class CResource_IndexBuffer;
class CResource_PixelShader;
class CResource_VertexDeclaration;
class CResource_VertexShader;

// The draw vertex: position, colour 0xAARRGGBB (bytes B, G, R, A), texture coordinates.
struct SDrawVertex {
  float x, y, z;
  uint32_t colour;
  float u, v;
};
static_assert(sizeof(SDrawVertex) == 24, "the draw vertex is 24 bytes");

// Stream 0: FLOAT3 position at 0, packed colour at 12, FLOAT2 texture coordinates at 16.
extern const SGfxVertexElement kDrawVertexElements[4];

enum EDrawKind : uint32_t {
  kDrawLineList = 0,
  kDrawLineStrip = 1,
  kDrawTriangleList = 2,
  kDrawTriangleStrip = 3,
  kDrawTriangleFan = 4,
  kDrawQuads = 5,  // four vertices a quad, drawn through the quad index table
};

// Address codes of SetDrawAddressModes.
enum EDrawAddress : uint32_t { kDrawClamp = 0, kDrawWrap = 1, kDrawMirror = 2 };

// Two triangles per quad: index i = 4 (i / 6) + (0, 1, 2, 2, 3, 0)[i % 6].
constexpr uint32_t kQuadIndexCount = 65536;
// The most vertices one quad draw can index: whole quads only.
constexpr uint32_t kMaxQuadDrawVertices = kQuadIndexCount / 6 * 4;
const uint16_t* GetQuadIndexTable();

// A built-in draw program: its shaders and the constant register of its transform.
struct DrawProgram {
  CResource_VertexShader* vertexShader = nullptr;
  CResource_PixelShader* pixelShader = nullptr;
  uint32_t transformRegister = 0;
};

// Engine start-up: the screen matrix, the pending settings, the two programs, the vertex
// declaration and the shared quad index buffer. Shutdown destroys the programs and the
// declaration (the index buffer goes with the resource list at exit).
void InitDrawState();
void ShutdownDrawState();

void SetDrawTexture(TextureRecord* texture);
void SetDrawAddressModes(uint32_t u, uint32_t v);
void SetDrawScreenSpace(bool on);
// Asks for linear filtering on the next textured draw.
void RequestDrawFiltering();
// Marks every setting changed and forgets the current program, so that the next draw
// applies everything (after device state was changed behind this layer's back).
void InvalidateDrawState();

// Applies what changed and returns the primitive type; the vertex count becomes the
// primitive count (quads keep their vertex count). A count too small for the kind gives 0.
uint32_t SetupDrawCall(uint32_t kind, uint32_t* count);
// SetupDrawCall and the draw from user memory. Nothing is drawn for a count that makes no
// whole primitive; quads draw whole quads only, at most kMaxQuadDrawVertices vertices.
void DrawUserPrimitives(const SDrawVertex* vertices, uint32_t kind, uint32_t count);

// The device's blending as a textured draw finds it.
struct SDrawBlend {
  bool enabled = false;
  uint32_t source = GFX_BLEND_ONE, dest = GFX_BLEND_ZERO, op = GFX_BLENDOP_ADD;
};
// The texels a draw's vertices may sample under linear filtering, with a texel's margin:
// false where that is not known (a wrapped or mirrored axis reaching past the picture).
struct SDrawClamp {
  bool u, v;
};
bool SampledTexels(const SDrawVertex* vertices, uint32_t count, uint32_t width, uint32_t height,
                   const SDrawClamp& clamp, SGfxRect* texels);
// Whether a textured draw comes out the same without blending: "source alpha, one minus source
// alpha" blending of a fully opaque result replaces what lies beneath, so an opaque texture
// under vertices of full alpha needs no blending (and the software renderer then neither reads
// nor mixes the pixels beneath).
bool DrawNeedsNoBlending(const SDrawBlend& blend, const SGfxTexelCoverage& coverage, const SDrawVertex* vertices,
                         uint32_t count);

// Whether screen-space vertices drawn as `kind` make one axis-aligned rectangle over the whole
// visible screen (1792..2304 on both axes): a quad, or two triangles that halve it.
bool DrawCoversScreen(const SDrawVertex* vertices, uint32_t kind, uint32_t count);
// Whether the last draw replaced every pixel of the viewport: one screen-covering rectangle in
// screen space, unblended, with no alpha test, every colour channel written and a depth test
// that cannot reject it. Whatever was drawn before it is not seen.
bool LastDrawCoveredScreen();

// Screen space: virtual coordinates (1792..2304 on both axes, y down) to clip space.
const float* GetScreenMatrix();
CResource_VertexDeclaration* GetDrawVertexDeclaration();
CResource_IndexBuffer* GetQuadIndexBuffer();

// What is pending, for the tests of the change tracking.
struct SDrawStateView {
  const DrawProgram* currentProgram;
  const DrawProgram* texturedProgram;
  const DrawProgram* colourProgram;
  TextureRecord* texture;
  uint32_t addressU, addressV;
  bool screenSpace;
  bool textureChanged, addressChanged, filterRequested, transformChanged;
};
SDrawStateView GetDrawStateView();
