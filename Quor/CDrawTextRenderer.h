#pragma once
// Text drawing over the immediate draw layer and the texture manager: glyph quads go
// through the quad index table with the page texture, in screen space, clamped.

#include "Quor/ITextRenderer.h"

class CDrawTextRenderer : public ITextRenderer {
 public:
  float GetViewAspect() override;
  float GetSettingsAspect() override;
  void SetTextRenderStates() override;
  void ResetDrawState() override;
  void DrawGlyphQuads(TextureRecord* page, const SGlyphVertex* vertices, uint32_t vertexCount) override;
  void DrawSolidFan(const SGlyphVertex* fourVertices) override;
  void DrawTextureRect(TextureRecord* texture, float left, float top, float width, float height,
                       uint32_t colour) override;
  void GetTextureSize(TextureRecord* texture, float* width, float* height) override;
  void ReleaseTexture(TextureRecord* texture) override;
};

// The one instance, installed by the draw layer's start-up.
CDrawTextRenderer& GetDrawTextRenderer();
