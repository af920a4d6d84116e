#include "Quor/CDrawTextRenderer.h"

#include <cstddef>

#include "Platform/GraphicsDevice.h"
#include "Platform/InputGameView.h"
#include "Quor/CTextureManager.h"
#include "Quor/DirectX/D3DDeviceAccess.h"
#include "Quor/DirectX/Quordx.h"
#include "Quor/DrawSubmission.h"
#include "Quor/Engine.h"
#include "Quor/RenderStates.h"

// Glyph vertices go to the draw layer as they are.
static_assert(offsetof(SGlyphVertex, colour) == offsetof(SDrawVertex, colour) &&
                  offsetof(SGlyphVertex, u) == offsetof(SDrawVertex, u) && sizeof(SGlyphVertex) == sizeof(SDrawVertex),
              "glyph and draw vertices share one layout");

namespace {

const SDrawVertex* AsDrawVertices(const SGlyphVertex* vertices) {
  return reinterpret_cast<const SDrawVertex*>(vertices);
}

}  // namespace

CDrawTextRenderer& GetDrawTextRenderer() {
  static CDrawTextRenderer renderer;
  return renderer;
}

float CDrawTextRenderer::GetViewAspect() {
  const SPlatformState& state = GetPlatformState();
  int32_t width = state.renderWidth, height = state.renderHeight;
  if ((width <= 0 || height <= 0) && GetD3DDevice()) {
    width = int32_t(GetD3DDevice()->GetPresentParams().backBufferWidth);
    height = int32_t(GetD3DDevice()->GetPresentParams().backBufferHeight);
  }
  const SPlatformGameView view = PlatformGameView(width, height);
  return view.height > 0 ? float(view.width) / float(view.height) : 4.0f / 3.0f;
}

float CDrawTextRenderer::GetSettingsAspect() { return GetAspectRatio(); }

void CDrawTextRenderer::SetTextRenderStates() {
  CullOff();
  DepthTestOff();
  DepthWriteOff();
  AlphaBlendOn();
  BlendNormal();
  AlphaTestOff();
}

void CDrawTextRenderer::ResetDrawState() { InvalidateDrawState(); }

// Text runs begin with ResetDrawState, so the draws within a run change only what differs:
// glyph pages, icons and boxes follow each other without everything being applied again.
void CDrawTextRenderer::DrawGlyphQuads(TextureRecord* page, const SGlyphVertex* vertices, uint32_t vertexCount) {
  SetDrawTexture(page);
  SetDrawScreenSpace(true);
  SetDrawAddressModes(kDrawClamp, kDrawClamp);
  DrawUserPrimitives(AsDrawVertices(vertices), kDrawQuads, vertexCount);
}

void CDrawTextRenderer::DrawSolidFan(const SGlyphVertex* fourVertices) {
  SetDrawTexture(nullptr);
  SetDrawScreenSpace(true);
  DrawUserPrimitives(AsDrawVertices(fourVertices), kDrawTriangleFan, 4);
}

void CDrawTextRenderer::DrawTextureRect(TextureRecord* texture, float left, float top, float width, float height,
                                        uint32_t colour) {
  if (!texture) return;
  float u = 0, v = 0;
  GetTextureExtent(GetEffectiveTexture(texture), &u, &v);
  const float right = left + width, bottom = top + height;
  const SDrawVertex quad[4] = {{left, top, 1.0f, colour, 0, 0},
                               {left, bottom, 1.0f, colour, 0, v},
                               {right, bottom, 1.0f, colour, u, v},
                               {right, top, 1.0f, colour, u, 0}};
  SetDrawTexture(texture);
  SetDrawScreenSpace(true);
  SetDrawAddressModes(kDrawClamp, kDrawClamp);
  DrawUserPrimitives(quad, kDrawQuads, 4);
}

void CDrawTextRenderer::GetTextureSize(TextureRecord* texture, float* width, float* height) {
  *width = float(GetTextureWidth(texture));
  *height = float(GetTextureHeight(texture));
}

void CDrawTextRenderer::ReleaseTexture(TextureRecord* texture) {
  if (CTextureManager* manager = GetTextureManager()) manager->ReleaseTexture(texture);
}
