#pragma once
// What text drawing needs from the rest of the engine: the view's shape, the draw calls and
// the texture references. The draw submission layer and the texture manager implement it;
// until one is installed, fonts lay text out and fill their glyph queue, and a flush simply
// empties the queue (there is nowhere to draw it).

#include <cstdint>

struct TextureRecord;

// One corner of a 2-D quad as the draw layer takes it: 24 bytes.
struct SGlyphVertex {
  float x, y, z;
  uint32_t colour;  // 0xAARRGGBB
  float u, v;
};
static_assert(sizeof(SGlyphVertex) == 24, "the draw layer reads 24-byte vertices");

class ITextRenderer {
 public:
  virtual ~ITextRenderer() = default;

  // Game-view width / height (the letterboxed view).
  virtual float GetViewAspect() = 0;
  // The aspect the render settings choose: 16:9, 4:3 or the custom ratio.
  virtual float GetSettingsAspect() = 0;

  // Culling off, depth test and writes off, alpha blending (source alpha, inverse source
  // alpha) on, alpha test off.
  virtual void SetTextRenderStates() = 0;
  // Forget the pending draw settings before a print.
  virtual void ResetDrawState() = 0;
  // Quads of four vertices (top-left, bottom-left, bottom-right, top-right) drawn with the
  // page texture, screen space, clamped addressing, through the quad index table. The
  // count never exceeds kMaxVerticesPerQuadDraw.
  virtual void DrawGlyphQuads(TextureRecord* page, const SGlyphVertex* vertices,
                              uint32_t vertexCount) = 0;
  // An untextured triangle fan of four vertices (the box of a character without a glyph).
  virtual void DrawSolidFan(const SGlyphVertex* fourVertices) = 0;
  // A textured rectangle in virtual-screen units, tinted by colour.
  virtual void DrawTextureRect(TextureRecord* texture, float left, float top, float width,
                               float height, uint32_t colour) = 0;

  virtual void GetTextureSize(TextureRecord* texture, float* width, float* height) = 0;
  // Drops one reference (the texture leaves the table at count 0).
  virtual void ReleaseTexture(TextureRecord* texture) = 0;
};

// The quad index table holds 65,536 indices: 10,922 whole quads.
constexpr uint32_t kMaxQuadsPerDraw = 65536 / 6;
constexpr uint32_t kMaxVerticesPerQuadDraw = kMaxQuadsPerDraw * 4;

// Null until the draw layer installs itself; fonts fall back to a 4:3 view without one.
void SetTextRenderer(ITextRenderer* renderer);
ITextRenderer* GetTextRenderer();
