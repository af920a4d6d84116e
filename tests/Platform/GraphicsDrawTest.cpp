// Drawing through the device, checked pixel by pixel on the read-back back buffer.

#include <string>
#include <utility>

#include "tests/Platform/GfxTestSupport.h"

using namespace gfxtest;

namespace {

class GraphicsDraw : public CGfxFixture {};

TEST_F(GraphicsDraw, ClearFillsTheViewportAndOnlyTheGivenRects) {
  ASSERT_EQ(m_device->Clear(0, nullptr, GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, 0x80112233, 1.0f, 0), GFX_OK);
  const SGfxRect rect = {10, 20, 30, 25};
  ASSERT_EQ(m_device->Clear(1, &rect, GFX_CLEAR_TARGET, 0xFFFF0000, 1.0f, 0), GFX_OK);
  const auto pixels = ReadBack();
  EXPECT_EQ(Pixel(pixels, kSize, 0, 0), (SRgba{0x11, 0x22, 0x33, 0x80}));
  EXPECT_EQ(Pixel(pixels, kSize, 10, 20), (SRgba{255, 0, 0, 255}));
  EXPECT_EQ(Pixel(pixels, kSize, 29, 24), (SRgba{255, 0, 0, 255}));
  EXPECT_EQ(Pixel(pixels, kSize, 30, 24), (SRgba{0x11, 0x22, 0x33, 0x80}));
  EXPECT_EQ(Pixel(pixels, kSize, 29, 25), (SRgba{0x11, 0x22, 0x33, 0x80}));

  // A clear stays inside the viewport, and clearing depth needs a depth buffer bound.
  const SGfxViewport viewport = {40, 40, 8, 8, 0.0f, 1.0f};
  ASSERT_EQ(m_device->SetViewport(viewport), GFX_OK);
  ASSERT_EQ(m_device->Clear(0, nullptr, GFX_CLEAR_TARGET, 0xFF00FF00, 1.0f, 0), GFX_OK);
  const auto after = ReadBack();
  EXPECT_EQ(Pixel(after, kSize, 40, 40), (SRgba{0, 255, 0, 255}));
  EXPECT_EQ(Pixel(after, kSize, 39, 40), (SRgba{0x11, 0x22, 0x33, 0x80}));
  EXPECT_EQ(Pixel(after, kSize, 48, 47), (SRgba{0x11, 0x22, 0x33, 0x80}));
  ASSERT_EQ(m_device->SetDepthStencilSurface(nullptr), GFX_OK);
  EXPECT_EQ(m_device->Clear(0, nullptr, GFX_CLEAR_ZBUFFER, 0, 1.0f, 0), GFX_ERR_INVALID_CALL);
}

TEST_F(GraphicsDraw, TexturedQuadAtPixelEdgesReproducesEveryTexel) {
  // Any half-pixel error shows as shifted or, with linear filtering, blended texels. Linear
  // sampling may be one step off: the rasteriser's tie-breaking moves rows by 1/256 pixel.
  std::vector<uint32_t> texels(8 * 8);
  for (uint32_t y = 0; y < 8; ++y)
    for (uint32_t x = 0; x < 8; ++x) texels[y * 8 + x] = 0xFF000000u | (x * 32) << 16 | (y * 32) << 8 | (x ^ y) * 16;
  CGfxTexture* texture = MakeTexture(8, 8, texels);
  for (uint32_t filter : {GFX_TEXF_POINT, GFX_TEXF_LINEAR}) {
    const int tolerance = filter == GFX_TEXF_POINT ? 0 : 1;
    ASSERT_EQ(m_device->Clear(0, nullptr, GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, 0xFF000000, 1.0f, 0), GFX_OK);
    ASSERT_EQ(m_device->BeginScene(), GFX_OK);
    UsePrograms(true);
    ASSERT_EQ(m_device->SetTexture(0, texture), GFX_OK);
    ASSERT_EQ(m_device->SetSamplerState(0, GFX_SAMP_MINFILTER, filter), GFX_OK);
    ASSERT_EQ(m_device->SetSamplerState(0, GFX_SAMP_MAGFILTER, filter), GFX_OK);
    ASSERT_EQ(DrawQuad(16, 24, 24, 32, 0xFFFFFFFF), GFX_OK);
    ASSERT_EQ(m_device->EndScene(), GFX_OK);
    const auto pixels = ReadBack();
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) {
        const uint32_t t = texels[y * 8 + x];
        const SRgba got = Pixel(pixels, kSize, 16 + x, 24 + y);
        ASSERT_NEAR(got.r, uint8_t(t >> 16), tolerance) << "texel " << x << ", " << y << " filter " << filter;
        ASSERT_NEAR(got.g, uint8_t(t >> 8), tolerance) << "texel " << x << ", " << y << " filter " << filter;
        ASSERT_NEAR(got.b, uint8_t(t), tolerance) << "texel " << x << ", " << y << " filter " << filter;
      }
    EXPECT_EQ(Pixel(pixels, kSize, 15, 24), (SRgba{0, 0, 0, 255}));
    EXPECT_EQ(Pixel(pixels, kSize, 24, 31), (SRgba{0, 0, 0, 255}));
    EXPECT_EQ(Pixel(pixels, kSize, 16, 23), (SRgba{0, 0, 0, 255}));
    EXPECT_EQ(Pixel(pixels, kSize, 16, 32), (SRgba{0, 0, 0, 255}));
  }
}

TEST_F(GraphicsDraw, EdgesOnPixelCentresKeepTopAndLeftRows) {
  // A quad from pixel centre 10 to pixel centre 20 covers rows and columns 10..19, and a
  // full-target quad whose top is clipped still covers the top row.
  ASSERT_EQ(m_device->Clear(0, nullptr, GFX_CLEAR_TARGET, 0xFF000000, 1.0f, 0), GFX_OK);
  ASSERT_EQ(m_device->BeginScene(), GFX_OK);
  UsePrograms(false);
  m_device->SetRenderState(GFX_RS_ZENABLE, 0);
  ASSERT_EQ(DrawQuad(10.5f, 10.5f, 20.5f, 20.5f, 0xFFFFFFFF), GFX_OK);
  ASSERT_EQ(m_device->EndScene(), GFX_OK);
  auto pixels = ReadBack();
  EXPECT_EQ(Pixel(pixels, kSize, 10, 10).r, 255);
  EXPECT_EQ(Pixel(pixels, kSize, 19, 19).r, 255);
  EXPECT_EQ(Pixel(pixels, kSize, 20, 15).r, 0);
  EXPECT_EQ(Pixel(pixels, kSize, 15, 20).r, 0);
  EXPECT_EQ(Pixel(pixels, kSize, 9, 15).r, 0);
  EXPECT_EQ(Pixel(pixels, kSize, 15, 9).r, 0);

  ASSERT_EQ(m_device->BeginScene(), GFX_OK);
  ASSERT_EQ(DrawQuad(-4, -4, 70, 70, 0xFF00FF00), GFX_OK);
  ASSERT_EQ(m_device->EndScene(), GFX_OK);
  pixels = ReadBack();
  for (int i = 0; i < kSize; ++i) {
    ASSERT_EQ(Pixel(pixels, kSize, i, 0).g, 255) << "top row, column " << i;
    ASSERT_EQ(Pixel(pixels, kSize, 0, i).g, 255) << "left column, row " << i;
    ASSERT_EQ(Pixel(pixels, kSize, i, kSize - 1).g, 255) << "bottom row, column " << i;
  }
}

TEST_F(GraphicsDraw, PackedVertexColourArrivesAsRedGreenBlueAlpha) {
  ASSERT_EQ(m_device->Clear(0, nullptr, GFX_CLEAR_TARGET, 0, 1.0f, 0), GFX_OK);
  ASSERT_EQ(m_device->BeginScene(), GFX_OK);
  UsePrograms(false);
  ASSERT_EQ(m_device->SetRenderState(GFX_RS_ZENABLE, 0), GFX_OK);
  ASSERT_EQ(DrawQuad(0, 0, 4, 4, 0x40112233), GFX_OK);
  ASSERT_EQ(m_device->EndScene(), GFX_OK);
  EXPECT_EQ(Pixel(ReadBack(), kSize, 1, 1), (SRgba{0x11, 0x22, 0x33, 0x40}));
}

TEST_F(GraphicsDraw, AlphaBlendingMixesWithTheTarget) {
  struct SCase {
    uint32_t src, dest, op;
    SRgba expected;  // red at alpha 0x80 over opaque blue
  };
  const SCase cases[] = {
      {GFX_BLEND_SRCALPHA, GFX_BLEND_INVSRCALPHA, GFX_BLENDOP_ADD, {128, 0, 127, 192}},
      {GFX_BLEND_SRCALPHA, GFX_BLEND_ONE, GFX_BLENDOP_ADD, {128, 0, 255, 255}},
      {GFX_BLEND_ONE, GFX_BLEND_ZERO, GFX_BLENDOP_ADD, {255, 0, 0, 128}},
      {GFX_BLEND_ONE, GFX_BLEND_ONE, GFX_BLENDOP_REVSUBTRACT, {0, 0, 255, 127}},
  };
  for (const SCase& c : cases) {
    ASSERT_EQ(m_device->Clear(0, nullptr, GFX_CLEAR_TARGET, 0xFF0000FF, 1.0f, 0), GFX_OK);
    ASSERT_EQ(m_device->BeginScene(), GFX_OK);
    UsePrograms(false);
    m_device->SetRenderState(GFX_RS_ZENABLE, 0);
    m_device->SetRenderState(GFX_RS_ALPHABLENDENABLE, 1);
    m_device->SetRenderState(GFX_RS_SRCBLEND, c.src);
    m_device->SetRenderState(GFX_RS_DESTBLEND, c.dest);
    m_device->SetRenderState(GFX_RS_BLENDOP, c.op);
    ASSERT_EQ(DrawQuad(0, 0, 8, 8, 0x80FF0000), GFX_OK);
    ASSERT_EQ(m_device->EndScene(), GFX_OK);
    const SRgba got = Pixel(ReadBack(), kSize, 3, 3);
    EXPECT_NEAR(got.r, c.expected.r, 1) << "blend " << c.src << "/" << c.dest;
    EXPECT_NEAR(got.b, c.expected.b, 1) << "blend " << c.src << "/" << c.dest;
    EXPECT_NEAR(got.a, c.expected.a, 1) << "blend " << c.src << "/" << c.dest;
  }
}

TEST_F(GraphicsDraw, AlphaTestKeepsOnlyPassingFragments) {
  // Texels with alpha 0x7F, 0x80 and 0x81 side by side, tested against reference 0x80.
  CGfxTexture* texture = MakeTexture(3, 1, {0x7FFFFFFF, 0x80FFFFFF, 0x81FFFFFF});
  struct SCase {
    uint32_t func;
    bool drawn[3];
  };
  const SCase cases[] = {
      {GFX_CMP_GREATER, {false, false, true}},
      {GFX_CMP_GREATEREQUAL, {false, true, true}},
      {GFX_CMP_LESS, {true, false, false}},
      {GFX_CMP_NOTEQUAL, {true, false, true}},
      {GFX_CMP_NEVER, {false, false, false}},
  };
  for (const SCase& c : cases) {
    ASSERT_EQ(m_device->Clear(0, nullptr, GFX_CLEAR_TARGET, 0xFF000000, 1.0f, 0), GFX_OK);
    ASSERT_EQ(m_device->BeginScene(), GFX_OK);
    UsePrograms(true);
    m_device->SetRenderState(GFX_RS_ZENABLE, 0);
    m_device->SetRenderState(GFX_RS_ALPHATESTENABLE, 1);
    m_device->SetRenderState(GFX_RS_ALPHAFUNC, c.func);
    m_device->SetRenderState(GFX_RS_ALPHAREF, 0x80);
    m_device->SetTexture(0, texture);
    ASSERT_EQ(DrawQuad(0, 0, 3, 1, 0xFFFFFFFF), GFX_OK);
    ASSERT_EQ(m_device->EndScene(), GFX_OK);
    const auto pixels = ReadBack();
    for (int x = 0; x < 3; ++x)
      EXPECT_EQ(Pixel(pixels, kSize, x, 0).r, c.drawn[x] ? 255 : 0) << "function " << c.func << " texel " << x;
  }
}

TEST_F(GraphicsDraw, DepthFunctionsCompareAgainstTheClearedDepth) {
  struct SCase {
    uint32_t func;
    float z;
    bool drawn;
  };
  // The depth buffer is cleared to 0.5.
  const SCase cases[] = {
      {GFX_CMP_LESS, 0.25f, true},          {GFX_CMP_LESS, 0.75f, false},
      {GFX_CMP_GREATEREQUAL, 0.75f, true},  {GFX_CMP_GREATEREQUAL, 0.25f, false},
      {GFX_CMP_LESSEQUAL, 0.5f, true},      {GFX_CMP_EQUAL, 0.25f, false},
      {GFX_CMP_ALWAYS, 0.75f, true},        {GFX_CMP_NEVER, 0.25f, false},
  };
  for (const SCase& c : cases) {
    ASSERT_EQ(m_device->Clear(0, nullptr, GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, 0xFF000000, 0.5f, 0), GFX_OK);
    ASSERT_EQ(m_device->BeginScene(), GFX_OK);
    UsePrograms(false);
    m_device->SetRenderState(GFX_RS_ZENABLE, 1);
    m_device->SetRenderState(GFX_RS_ZFUNC, c.func);
    ASSERT_EQ(DrawQuad(0, 0, 4, 4, 0xFF00FF00, c.z), GFX_OK);
    ASSERT_EQ(m_device->EndScene(), GFX_OK);
    EXPECT_EQ(Pixel(ReadBack(), kSize, 2, 2).g, c.drawn ? 255 : 0) << "function " << c.func << " z " << c.z;
  }
  // Depth writes switched off leave the buffer as it was: a second LESS draw still passes.
  ASSERT_EQ(m_device->Clear(0, nullptr, GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, 0xFF000000, 0.5f, 0), GFX_OK);
  ASSERT_EQ(m_device->BeginScene(), GFX_OK);
  UsePrograms(false);
  m_device->SetRenderState(GFX_RS_ZFUNC, GFX_CMP_LESS);
  m_device->SetRenderState(GFX_RS_ZWRITEENABLE, 0);
  ASSERT_EQ(DrawQuad(0, 0, 4, 4, 0xFF00FF00, 0.25f), GFX_OK);
  ASSERT_EQ(DrawQuad(0, 0, 4, 4, 0xFFFF0000, 0.4f), GFX_OK);
  ASSERT_EQ(m_device->EndScene(), GFX_OK);
  EXPECT_EQ(Pixel(ReadBack(), kSize, 2, 2).r, 255);
}

TEST_F(GraphicsDraw, ColourWriteMaskKeepsMaskedChannels) {
  ASSERT_EQ(m_device->Clear(0, nullptr, GFX_CLEAR_TARGET, 0x00000000, 1.0f, 0), GFX_OK);
  ASSERT_EQ(m_device->BeginScene(), GFX_OK);
  UsePrograms(false);
  m_device->SetRenderState(GFX_RS_ZENABLE, 0);
  m_device->SetRenderState(GFX_RS_COLORWRITEENABLE, GFX_COLORWRITE_RED | GFX_COLORWRITE_ALPHA);
  ASSERT_EQ(DrawQuad(0, 0, 4, 4, 0xFFFFFFFF), GFX_OK);
  ASSERT_EQ(m_device->EndScene(), GFX_OK);
  EXPECT_EQ(Pixel(ReadBack(), kSize, 1, 1), (SRgba{255, 0, 0, 255}));
  // A clear is not masked.
  ASSERT_EQ(m_device->Clear(0, nullptr, GFX_CLEAR_TARGET, 0xFF00FF00, 1.0f, 0), GFX_OK);
  EXPECT_EQ(Pixel(ReadBack(), kSize, 1, 1), (SRgba{0, 255, 0, 255}));
}

TEST_F(GraphicsDraw, CullModesFollowScreenWinding) {
  // On screen (y down) this triangle runs clockwise.
  const SVertex clockwise[3] = {{0, 0, 0.5f, 0xFFFFFFFF, 0, 0}, {8, 0, 0.5f, 0xFFFFFFFF, 0, 0},
                                {0, 8, 0.5f, 0xFFFFFFFF, 0, 0}};
  const SVertex counter[3] = {clockwise[0], clockwise[2], clockwise[1]};
  struct SCase {
    uint32_t cull;
    bool clockwiseDrawn, counterDrawn;
  };
  const SCase cases[] = {{GFX_CULL_NONE, true, true}, {GFX_CULL_CW, false, true}, {GFX_CULL_CCW, true, false}};
  for (const SCase& c : cases) {
    for (int which = 0; which < 2; ++which) {
      ASSERT_EQ(m_device->Clear(0, nullptr, GFX_CLEAR_TARGET, 0xFF000000, 1.0f, 0), GFX_OK);
      ASSERT_EQ(m_device->BeginScene(), GFX_OK);
      UsePrograms(false);
      m_device->SetRenderState(GFX_RS_ZENABLE, 0);
      m_device->SetRenderState(GFX_RS_CULLMODE, c.cull);
      ASSERT_EQ(m_device->DrawPrimitiveUP(GFX_PT_TRIANGLELIST, 1, which == 0 ? clockwise : counter, sizeof(SVertex)),
                GFX_OK);
      ASSERT_EQ(m_device->EndScene(), GFX_OK);
      const bool expected = which == 0 ? c.clockwiseDrawn : c.counterDrawn;
      EXPECT_EQ(Pixel(ReadBack(), kSize, 1, 1).r, expected ? 255 : 0) << "cull " << c.cull << " triangle " << which;
    }
  }
}

TEST_F(GraphicsDraw, RenderTargetIsDrawnTopDownAndSampledTheSameWay) {
  CGfxTexture* target = nullptr;
  ASSERT_EQ(m_device->CreateTexture(16, 16, 1, GFX_USAGE_RENDERTARGET, GFX_FMT_A8R8G8B8, GFX_POOL_DEFAULT, &target),
            GFX_OK);
  Hold(target);
  CGfxSurface* surface = nullptr;
  CGfxSurface* backBuffer = nullptr;
  ASSERT_EQ(target->GetSurfaceLevel(0, &surface), GFX_OK);
  ASSERT_EQ(m_device->GetBackBuffer(0, 0, &backBuffer), GFX_OK);
  Hold(surface), Hold(backBuffer);

  // Into the target: red on the top rows, green below, blue in the top-left corner.
  ASSERT_EQ(m_device->SetRenderTarget(0, surface), GFX_OK);
  ASSERT_EQ(m_device->SetDepthStencilSurface(nullptr), GFX_OK);
  ASSERT_EQ(m_device->Clear(0, nullptr, GFX_CLEAR_TARGET, 0xFF00FF00, 1.0f, 0), GFX_OK);
  ASSERT_EQ(m_device->BeginScene(), GFX_OK);
  UsePrograms(false, 16, 16);
  ASSERT_EQ(DrawQuad(0, 0, 16, 4, 0xFFFF0000), GFX_OK);
  ASSERT_EQ(DrawQuad(0, 0, 2, 2, 0xFF0000FF), GFX_OK);
  ASSERT_EQ(m_device->EndScene(), GFX_OK);
  std::vector<uint8_t> direct;
  ASSERT_EQ(m_device->ReadSurface(surface, direct), GFX_OK);
  EXPECT_EQ(Pixel(direct, 16, 0, 0), (SRgba{0, 0, 255, 255}));
  EXPECT_EQ(Pixel(direct, 16, 8, 3), (SRgba{255, 0, 0, 255}));
  EXPECT_EQ(Pixel(direct, 16, 8, 4), (SRgba{0, 255, 0, 255}));

  // Then sampled onto the back buffer at 1:1: the picture keeps its orientation.
  ASSERT_EQ(m_device->SetRenderTarget(0, backBuffer), GFX_OK);
  ASSERT_EQ(m_device->Clear(0, nullptr, GFX_CLEAR_TARGET, 0xFF000000, 1.0f, 0), GFX_OK);
  ASSERT_EQ(m_device->BeginScene(), GFX_OK);
  UsePrograms(true);
  ASSERT_EQ(m_device->SetTexture(0, target), GFX_OK);
  ASSERT_EQ(DrawQuad(32, 32, 48, 48, 0xFFFFFFFF), GFX_OK);
  ASSERT_EQ(m_device->EndScene(), GFX_OK);
  const auto pixels = ReadBack();
  EXPECT_EQ(Pixel(pixels, kSize, 32, 32), (SRgba{0, 0, 255, 255}));
  EXPECT_EQ(Pixel(pixels, kSize, 40, 35), (SRgba{255, 0, 0, 255}));
  EXPECT_EQ(Pixel(pixels, kSize, 40, 36), (SRgba{0, 255, 0, 255}));
  EXPECT_EQ(Pixel(pixels, kSize, 40, 47), (SRgba{0, 255, 0, 255}));
}

// The back buffer's depth buffer stays bound while a larger picture is drawn without depth, as
// a full-screen effect's first pass does: the whole picture is drawn, not the depth buffer's
// corner of it. Whether the back buffer lives in the window or beside it makes no difference.
TEST_F(GraphicsDraw, UnusedSmallerDepthBufferDoesNotCutALargerTarget) {
  for (const int windowSize : {kSize, kSize + 16}) {
    TearDown();
    Open(windowSize, windowSize);
    CGfxTexture* target = nullptr;
    ASSERT_EQ(m_device->CreateTexture(96, 80, 1, GFX_USAGE_RENDERTARGET, GFX_FMT_A8R8G8B8, GFX_POOL_DEFAULT, &target),
              GFX_OK);
    Hold(target);
    CGfxSurface* surface = nullptr;
    ASSERT_EQ(target->GetSurfaceLevel(0, &surface), GFX_OK);
    Hold(surface);
    ASSERT_EQ(m_device->SetRenderTarget(0, surface), GFX_OK);
    ASSERT_EQ(m_device->SetRenderState(GFX_RS_ZENABLE, 0), GFX_OK);
    ASSERT_EQ(m_device->Clear(0, nullptr, GFX_CLEAR_TARGET, 0xFF000000, 1.0f, 0), GFX_OK);
    ASSERT_EQ(m_device->BeginScene(), GFX_OK);
    UsePrograms(false, 96, 80);
    ASSERT_EQ(DrawQuad(0, 0, 96, 80, 0xFFFF0000), GFX_OK);
    ASSERT_EQ(m_device->EndScene(), GFX_OK);
    std::vector<uint8_t> pixels;
    ASSERT_EQ(m_device->ReadSurface(surface, pixels), GFX_OK);
    for (const auto& [x, y] : {std::pair{0, 0}, {95, 0}, {0, 79}, {95, 79}, {70, 70}})
      EXPECT_EQ(Pixel(pixels, 96, x, y), (SRgba{255, 0, 0, 255})) << x << ", " << y << " in a window of " << windowSize;
  }
}

TEST_F(GraphicsDraw, StretchRectScalesTheBackBufferIntoARenderTarget) {
  // Left half red, right half blue, a white top-left 2x2 block.
  const SGfxRect left = {0, 0, 32, 64}, right = {32, 0, 64, 64}, corner = {0, 0, 2, 2};
  m_device->Clear(1, &left, GFX_CLEAR_TARGET, 0xFFFF0000, 1.0f, 0);
  m_device->Clear(1, &right, GFX_CLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
  m_device->Clear(1, &corner, GFX_CLEAR_TARGET, 0xFFFFFFFF, 1.0f, 0);
  CGfxTexture* target = nullptr;
  ASSERT_EQ(m_device->CreateTexture(32, 32, 1, GFX_USAGE_RENDERTARGET, GFX_FMT_A8R8G8B8, GFX_POOL_DEFAULT, &target),
            GFX_OK);
  Hold(target);
  CGfxSurface *surface = nullptr, *backBuffer = nullptr;
  target->GetSurfaceLevel(0, &surface);
  m_device->GetBackBuffer(0, 0, &backBuffer);
  Hold(surface), Hold(backBuffer);

  ASSERT_EQ(m_device->StretchRect(backBuffer, nullptr, surface, nullptr, GFX_TEXF_LINEAR), GFX_OK);
  std::vector<uint8_t> pixels;
  ASSERT_EQ(m_device->ReadSurface(surface, pixels), GFX_OK);
  EXPECT_EQ(Pixel(pixels, 32, 0, 0), (SRgba{255, 255, 255, 255}));
  EXPECT_EQ(Pixel(pixels, 32, 4, 16), (SRgba{255, 0, 0, 255}));
  EXPECT_EQ(Pixel(pixels, 32, 27, 16), (SRgba{0, 0, 255, 255}));

  // A part of the source into a part of the destination, and rectangles outside refused.
  const SGfxRect from = {32, 0, 64, 32}, to = {0, 0, 8, 8}, outside = {0, 0, 65, 8};
  ASSERT_EQ(m_device->StretchRect(backBuffer, &from, surface, &to, GFX_TEXF_POINT), GFX_OK);
  ASSERT_EQ(m_device->ReadSurface(surface, pixels), GFX_OK);
  EXPECT_EQ(Pixel(pixels, 32, 0, 0), (SRgba{0, 0, 255, 255}));
  EXPECT_EQ(Pixel(pixels, 32, 9, 16), (SRgba{255, 0, 0, 255}));
  EXPECT_EQ(m_device->StretchRect(backBuffer, &outside, surface, nullptr, GFX_TEXF_LINEAR), GFX_ERR_INVALID_CALL);
}

TEST_F(GraphicsDraw, BufferedDrawsReadOnlyWhatTheBuffersHold) {
  CGfxVertexBuffer* vertices = nullptr;
  CGfxIndexBuffer* indices = nullptr;
  ASSERT_EQ(m_device->CreateVertexBuffer(4 * sizeof(SVertex), GFX_USAGE_WRITEONLY, 0, GFX_POOL_DEFAULT, &vertices),
            GFX_OK);
  ASSERT_EQ(m_device->CreateIndexBuffer(12, GFX_USAGE_WRITEONLY, GFX_FMT_INDEX16, GFX_POOL_DEFAULT, &indices), GFX_OK);
  Hold(vertices), Hold(indices);
  void* data = nullptr;
  ASSERT_EQ(vertices->Lock(0, 0, &data, 0), GFX_OK);
  Quad(4, 4, 12, 12, 0xFFFF00FF, 0.5f, static_cast<SVertex*>(data));
  ASSERT_EQ(vertices->Unlock(), GFX_OK);
  const uint16_t quad[6] = {0, 1, 2, 2, 3, 0};
  ASSERT_EQ(indices->Lock(0, 0, &data, 0), GFX_OK);
  std::memcpy(data, quad, sizeof quad);
  ASSERT_EQ(indices->Unlock(), GFX_OK);

  ASSERT_EQ(m_device->Clear(0, nullptr, GFX_CLEAR_TARGET, 0xFF000000, 1.0f, 0), GFX_OK);
  ASSERT_EQ(m_device->BeginScene(), GFX_OK);
  UsePrograms(false);
  m_device->SetRenderState(GFX_RS_ZENABLE, 0);
  ASSERT_EQ(m_device->SetStreamSource(0, vertices, 0, sizeof(SVertex)), GFX_OK);
  ASSERT_EQ(m_device->SetIndices(indices), GFX_OK);
  ASSERT_EQ(m_device->DrawIndexedPrimitive(GFX_PT_TRIANGLELIST, 0, 0, 4, 0, 2), GFX_OK);
  // Past the end of the index buffer, past the vertices, or a wrong primitive type.
  EXPECT_EQ(m_device->DrawIndexedPrimitive(GFX_PT_TRIANGLELIST, 0, 0, 4, 0, 3), GFX_ERR_INVALID_CALL);
  EXPECT_EQ(m_device->DrawIndexedPrimitive(GFX_PT_TRIANGLELIST, 1, 0, 4, 0, 2), GFX_ERR_INVALID_CALL);
  EXPECT_EQ(m_device->DrawPrimitive(GFX_PT_TRIANGLESTRIP, 1, 2), GFX_ERR_INVALID_CALL);
  EXPECT_EQ(m_device->DrawPrimitive(9, 0, 1), GFX_ERR_INVALID_CALL);
  ASSERT_EQ(m_device->EndScene(), GFX_OK);
  // Drawing outside a scene is refused, as on the engine's device.
  EXPECT_EQ(m_device->DrawPrimitive(GFX_PT_TRIANGLELIST, 0, 1), GFX_ERR_INVALID_CALL);
  const auto pixels = ReadBack();
  EXPECT_EQ(Pixel(pixels, kSize, 4, 4), (SRgba{255, 0, 255, 255}));
  EXPECT_EQ(Pixel(pixels, kSize, 11, 11), (SRgba{255, 0, 255, 255}));
  EXPECT_EQ(Pixel(pixels, kSize, 12, 11), (SRgba{0, 0, 0, 255}));
}

TEST_F(GraphicsDraw, FixedVertexFormatFeedsTheShaderByUsage) {
  // Position, colour, texture coordinates: the projected-texture layout (0x142).
  struct SFvfVertex {
    float x, y, z;
    uint32_t colour;
    float u, v;
  };
  const SFvfVertex triangle[3] = {{-0.5f, -0.5f, 0.5f, 0xFF00FFFF, 0, 0},
                                  {7.5f, -0.5f, 0.5f, 0xFF00FFFF, 0, 0},
                                  {-0.5f, 7.5f, 0.5f, 0xFF00FFFF, 0, 0}};
  ASSERT_EQ(m_device->Clear(0, nullptr, GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, 0xFF000000, 1.0f, 0), GFX_OK);
  ASSERT_EQ(m_device->BeginScene(), GFX_OK);
  UsePrograms(false);
  ASSERT_EQ(m_device->SetFVF(GFX_FVF_XYZ | GFX_FVF_DIFFUSE | (1 << GFX_FVF_TEXCOUNT_SHIFT)), GFX_OK);
  ASSERT_EQ(m_device->DrawPrimitiveUP(GFX_PT_TRIANGLELIST, 1, triangle, sizeof(SFvfVertex)), GFX_OK);
  ASSERT_EQ(m_device->EndScene(), GFX_OK);
  EXPECT_EQ(Pixel(ReadBack(), kSize, 1, 1), (SRgba{0, 255, 255, 255}));
  EXPECT_EQ(m_device->SetFVF(0x004), GFX_ERR_INVALID_CALL);  // pre-transformed positions are not offered
}

TEST_F(GraphicsDraw, RefusesWhatItCannotDo) {
  std::vector<uint8_t> garbage = {0x00, 0x02, 0xFE, 0xFF, 1, 2, 3, 4, 5, 6, 7, 8};
  CGfxShader* shader = nullptr;
  EXPECT_EQ(m_device->CreateVertexShader(garbage.data(), garbage.size(), &shader), GFX_ERR_INVALID_CALL);
  const auto ps = Assemble(kColourPs);
  EXPECT_EQ(m_device->CreateVertexShader(ps.data(), ps.size() * 4, &shader), GFX_ERR_INVALID_CALL);
  EXPECT_EQ(shader, nullptr);
  CGfxTexture* texture = nullptr;
  EXPECT_EQ(m_device->CreateTexture(8, 8, 0, 0, GFX_FMT_A8R8G8B8, GFX_POOL_MANAGED, &texture), GFX_ERR_INVALID_CALL);
  EXPECT_EQ(m_device->CreateTexture(8, 8, 1, GFX_USAGE_RENDERTARGET, GFX_FMT_A8R8G8B8, GFX_POOL_MANAGED, &texture),
            GFX_ERR_INVALID_CALL);
  EXPECT_EQ(m_device->SetRenderState(GFX_RS_CULLMODE, 7), GFX_ERR_INVALID_CALL);
  EXPECT_EQ(m_device->SetRenderState(52 /* stencil */, 1), GFX_ERR_INVALID_CALL);
  EXPECT_EQ(m_device->SetStreamSourceFreq(0, 2), GFX_ERR_INVALID_CALL);
  const SGfxViewport tooWide = {60, 0, 8, 8, 0.0f, 1.0f};
  EXPECT_EQ(m_device->SetViewport(tooWide), GFX_ERR_INVALID_CALL);
  // No pixel shader: fixed-function drawing is not offered.
  ASSERT_EQ(m_device->BeginScene(), GFX_OK);
  UsePrograms(false);
  m_device->SetPixelShader(nullptr);
  EXPECT_EQ(DrawQuad(0, 0, 4, 4, 0xFFFFFFFF), GFX_ERR_INVALID_CALL);
  m_device->EndScene();
}

// Consecutive user-memory draws under the same state are gathered into one GL draw; any change
// of state, or anything else that reaches GL, issues what was gathered first. Overlapping
// quads show that the order of drawing survives.
TEST_F(GraphicsDraw, GatheredDrawsKeepTheirOrder) {
  std::vector<uint32_t> white(4, 0xFFFFFFFF);
  CGfxTexture* texture = MakeTexture(2, 2, white);
  struct SStep {
    const char* change;  // what happens before the quad
    float x0;
    uint32_t colour;
  };
  // Each quad covers [x0, x0 + 16) of rows 0..7, overlapping the one before by half.
  const SStep steps[] = {
      {"", 0, 0xFFFF0000},          {"", 8, 0xFF00FF00},         {"same values again", 16, 0xFF0000FF},
      {"texture", 24, 0xFFFFFF00},  {"", 32, 0xFF00FFFF},        {"render state", 40, 0xFFFF00FF},
      {"constants", 48, 0xFF808080}, {"strip between", 56, 0xFFFFFFFF},
  };
  ASSERT_EQ(m_device->Clear(0, nullptr, GFX_CLEAR_TARGET, 0xFF000000, 1.0f, 0), GFX_OK);
  ASSERT_EQ(m_device->BeginScene(), GFX_OK);
  UsePrograms(false);
  m_device->SetRenderState(GFX_RS_ZENABLE, 0);
  ReadBack();
  const uint64_t before = m_device->GetGlDrawCount();
  for (const SStep& step : steps) {
    const std::string change = step.change;
    float matrix[16];
    PixelMatrix(kSize, kSize, matrix);
    if (change == "same values again") {
      ASSERT_EQ(m_device->SetVertexShaderConstantF(0, matrix, 4), GFX_OK);
      ASSERT_EQ(m_device->SetRenderState(GFX_RS_ZENABLE, 0), GFX_OK);
      ASSERT_EQ(m_device->SetTexture(0, nullptr), GFX_OK);
    } else if (change == "texture") {
      ASSERT_EQ(m_device->SetTexture(0, texture), GFX_OK);
    } else if (change == "render state") {
      ASSERT_EQ(m_device->SetRenderState(GFX_RS_ALPHATESTENABLE, 1), GFX_OK);  // passes all: ALWAYS
    } else if (change == "constants") {
      matrix[12] -= 1e-6f;  // the same picture, other constants
      ASSERT_EQ(m_device->SetVertexShaderConstantF(0, matrix, 4), GFX_OK);
    } else if (change == "strip between") {
      SVertex strip[4];
      Quad(60, 60, 62, 62, 0xFF102030, 0.5f, strip);
      std::swap(strip[2], strip[3]);
      ASSERT_EQ(m_device->DrawPrimitiveUP(GFX_PT_TRIANGLESTRIP, 2, strip, sizeof(SVertex)), GFX_OK);
    }
    ASSERT_EQ(DrawQuad(step.x0, 0, step.x0 + 16, 8, step.colour), GFX_OK) << step.x0;
  }
  ASSERT_EQ(m_device->EndScene(), GFX_OK);
  const auto pixels = ReadBack();
  // Four changes break the run; the strip cannot be joined and stands alone: six GL draws.
  EXPECT_EQ(m_device->GetGlDrawCount() - before, 6u);
  for (const SStep& step : steps) {
    const auto x = static_cast<int>(step.x0) + 4;
    const uint32_t c = step.colour;
    EXPECT_EQ(Pixel(pixels, kSize, x, 3), (SRgba{uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), 255})) << step.x0;
  }
  EXPECT_EQ(Pixel(pixels, kSize, 61, 61), (SRgba{0x10, 0x20, 0x30, 255}));
}

// More quads in one frame than the stream buffer and the quad index buffer hold: the draws are
// split and the buffer renewed on the way, and every pixel still shows the last quad drawn on it.
TEST_F(GraphicsDraw, StreamingPastTheBuffersEndsKeepsEveryDraw) {
  constexpr uint32_t kQuads = 50000;
  ASSERT_EQ(m_device->Clear(0, nullptr, GFX_CLEAR_TARGET, 0xFF000000, 1.0f, 0), GFX_OK);
  ASSERT_EQ(m_device->BeginScene(), GFX_OK);
  UsePrograms(false);
  m_device->SetRenderState(GFX_RS_ZENABLE, 0);
  for (uint32_t i = 0; i < kQuads; ++i) {
    const float x = float(i % kSize), y = float(i / kSize % kSize);
    ASSERT_EQ(DrawQuad(x, y, x + 1, y + 1, 0xFF000000u | i), GFX_OK);
  }
  ASSERT_EQ(m_device->EndScene(), GFX_OK);
  const auto pixels = ReadBack();
  constexpr uint32_t kPixels = kSize * kSize;
  for (uint32_t p = 0; p < kPixels; ++p) {
    const uint32_t last = (kQuads - 1 - p) / kPixels * kPixels + p;  // the last i with i % kPixels == p
    ASSERT_EQ(Pixel(pixels, kSize, int(p % kSize), int(p / kSize)),
              (SRgba{uint8_t(last >> 16), uint8_t(last >> 8), uint8_t(last), 255}))
        << "pixel " << p;
  }
}

// A dynamic buffer written again with "discard" while a draw still reads the old contents, and
// appended to with "no overwrite": every draw shows what it was given.
TEST_F(GraphicsDraw, DynamicBufferLocksKeepWhatEarlierDrawsRead) {
  CGfxVertexBuffer* buffer = nullptr;
  ASSERT_EQ(m_device->CreateVertexBuffer(12 * sizeof(SVertex), GFX_USAGE_DYNAMIC | GFX_USAGE_WRITEONLY, 0,
                                         GFX_POOL_DEFAULT, &buffer),
            GFX_OK);
  Hold(buffer);
  // Two triangles over [x0, x0 + 16) x [0, 8) at the given vertex of the buffer.
  auto write = [&](uint32_t firstVertex, float x0, uint32_t colour, uint32_t flags) {
    SVertex quad[4];
    Quad(x0, 0, x0 + 16, 8, colour, 0.5f, quad);
    const SVertex list[6] = {quad[0], quad[1], quad[2], quad[2], quad[3], quad[0]};
    void* data = nullptr;
    ASSERT_EQ(buffer->Lock(firstVertex * sizeof(SVertex), sizeof list, &data, flags), GFX_OK);
    std::memcpy(data, list, sizeof list);
    ASSERT_EQ(buffer->Unlock(), GFX_OK);
    ASSERT_EQ(m_device->DrawPrimitive(GFX_PT_TRIANGLELIST, firstVertex, 2), GFX_OK);
  };
  ASSERT_EQ(m_device->Clear(0, nullptr, GFX_CLEAR_TARGET, 0xFF000000, 1.0f, 0), GFX_OK);
  ASSERT_EQ(m_device->BeginScene(), GFX_OK);
  UsePrograms(false);
  m_device->SetRenderState(GFX_RS_ZENABLE, 0);
  ASSERT_EQ(m_device->SetStreamSource(0, buffer, 0, sizeof(SVertex)), GFX_OK);
  write(0, 0, 0xFFFF0000, GFX_LOCK_DISCARD);
  write(6, 16, 0xFF00FF00, GFX_LOCK_NOOVERWRITE);
  write(0, 32, 0xFF0000FF, GFX_LOCK_DISCARD);
  write(6, 48, 0xFFFFFFFF, 0);
  ASSERT_EQ(m_device->EndScene(), GFX_OK);
  const auto pixels = ReadBack();
  EXPECT_EQ(Pixel(pixels, kSize, 4, 4), (SRgba{255, 0, 0, 255}));
  EXPECT_EQ(Pixel(pixels, kSize, 20, 4), (SRgba{0, 255, 0, 255}));
  EXPECT_EQ(Pixel(pixels, kSize, 36, 4), (SRgba{0, 0, 255, 255}));
  EXPECT_EQ(Pixel(pixels, kSize, 52, 4), (SRgba{255, 255, 255, 255}));
}

}  // namespace

namespace {

// The depth test left out while the depth buffer holds one value: frames drawn with the draws'
// depth noted must match those drawn without, pixel for pixel.
class GraphicsDepthShortcut : public CGfxFixture {
 protected:
  struct SStep {
    enum { kClear, kClearLeftHalf, kDraw } kind;
    float z;
    uint32_t func = GFX_CMP_GREATEREQUAL;
    bool writes = true;
    uint32_t colour = 0xFF00FF00;
  };
  // Full-screen draws except after a half clear; a draw of another colour covers the left half.
  std::vector<uint8_t> Play(const std::vector<SStep>& steps, bool noteDepth) {
    const SGfxRect leftHalf = {0, 0, kSize / 2, kSize};
    EXPECT_EQ(m_device->Clear(0, nullptr, GFX_CLEAR_TARGET, 0xFF000000, 0.0f, 0), GFX_OK);
    EXPECT_EQ(m_device->BeginScene(), GFX_OK);
    UsePrograms(false);
    m_device->SetRenderState(GFX_RS_ZENABLE, 1);
    for (const SStep& s : steps) {
      if (s.kind != SStep::kDraw) {
        const bool whole = s.kind == SStep::kClear;
        EXPECT_EQ(m_device->Clear(whole ? 0 : 1, whole ? nullptr : &leftHalf, GFX_CLEAR_ZBUFFER, 0, s.z, 0), GFX_OK);
        continue;
      }
      m_device->SetRenderState(GFX_RS_ZFUNC, s.func);
      m_device->SetRenderState(GFX_RS_ZWRITEENABLE, s.writes ? 1 : 0);
      if (noteDepth) m_device->NoteDrawDepth(s.z);
      const float right = s.colour == 0xFF00FF00 ? kSize : kSize / 2;
      EXPECT_EQ(DrawQuad(0, 0, right, kSize, s.colour, s.z), GFX_OK);
    }
    EXPECT_EQ(m_device->EndScene(), GFX_OK);
    return ReadBack();
  }
};

TEST_F(GraphicsDepthShortcut, FramesMatchAndTheTestReturnsWhenItCanReject) {
  using S = SStep;
  constexpr uint32_t kRed = 0xFFFF0000;
  struct SCase {
    const char* what;
    std::vector<SStep> steps;
    bool leftGreen, rightGreen;  // the green full-screen draw last in the list shows there
  } const cases[] = {
      {"sprites at the cleared depth", {{S::kClear, 0}, {S::kDraw, 0}, {S::kDraw, 0}}, true, true},
      {"a draw writing another depth turns the test back on",
       {{S::kClear, 0}, {S::kDraw, 0.5f, GFX_CMP_GREATEREQUAL, true, kRed}, {S::kDraw, 0}}, false, true},
      {"a part cleared to another depth", {{S::kClear, 0}, {S::kClearLeftHalf, 0.5f}, {S::kDraw, 0}}, false, true},
      {"a part cleared to the same depth", {{S::kClear, 0}, {S::kClearLeftHalf, 0}, {S::kDraw, 0}}, true, true},
      {"a whole clear after other depths", {{S::kClear, 0}, {S::kDraw, 0.5f, GFX_CMP_ALWAYS, true, kRed},
                                            {S::kClear, 0}, {S::kDraw, 0}}, true, true},
      {"without writes a test that cannot fail",
       {{S::kClear, 0.5f}, {S::kDraw, 0.75f, GFX_CMP_GREATEREQUAL, false, kRed}, {S::kDraw, 0.6f, GFX_CMP_GREATEREQUAL, false}},
       true, true},
      {"a test that can fail stays", {{S::kClear, 0.5f}, {S::kDraw, 0.25f}}, false, false},
      {"writes of another depth under a test that cannot fail",
       {{S::kClear, 0}, {S::kDraw, 0.5f, GFX_CMP_ALWAYS, true, kRed}, {S::kDraw, 0.25f, GFX_CMP_LESSEQUAL}}, true, false},
  };
  for (const SCase& c : cases) {
    const auto plain = Play(c.steps, false);
    EXPECT_EQ(Play(c.steps, true), plain) << c.what;
    EXPECT_EQ(Pixel(plain, kSize, 8, 8).g, c.leftGreen ? 255 : 0) << c.what;
    EXPECT_EQ(Pixel(plain, kSize, kSize - 8, 8).g, c.rightGreen ? 255 : 0) << c.what;
  }
}

TEST_F(GraphicsDepthShortcut, ANotedDrawGoesWithoutTheTestAndTheNoteHoldsForOneDraw) {
  // Gathered draws share their state: a draw with its depth noted and one without differ in
  // their depth test once the buffer holds one value, and only then.
  const std::vector<SStep> noted = {{SStep::kClear, 0}, {SStep::kDraw, 0}};
  for (bool uniform : {true, false}) {
    Play(noted, true);
    ASSERT_EQ(m_device->BeginScene(), GFX_OK);
    UsePrograms(false);
    if (!uniform) {
      ASSERT_EQ(DrawQuad(0, 0, 4, 4, 0xFFFF0000, 0.5f), GFX_OK);
    }
    const uint64_t before = m_device->GetGlDrawCount();
    m_device->NoteDrawDepth(0);
    ASSERT_EQ(DrawQuad(0, 0, 4, 4, 0xFF00FF00, 0), GFX_OK);
    ASSERT_EQ(DrawQuad(0, 0, 4, 4, 0xFF00FF00, 0), GFX_OK);
    ASSERT_EQ(m_device->EndScene(), GFX_OK);
    ReadBack();  // draws the gathered ones
    EXPECT_EQ(m_device->GetGlDrawCount() - before, uniform ? 2u : 1u) << (uniform ? "one value" : "two values");
  }
}

}  // namespace

namespace {

class GraphicsCoverage : public CGfxFixture {
 protected:
  static void ExpectOpaque(const SGfxTexelCoverage& c, bool opaque, const char* what) {
    EXPECT_TRUE(c.known) << what;
    EXPECT_EQ(c.opaque, opaque) << what;
  }
};

TEST_F(GraphicsCoverage, EveryUploadMeasuresWhetherEveryTexelIsOpaque) {
  // 4 x 3 texels, 0xAARRGGBB.
  std::vector<uint32_t> oneShort(12, 0xFF000000);
  oneShort[11] = 0xFE000000;
  struct SCase {
    const char* what;
    std::vector<uint32_t> argb;
    bool opaque;
  } const cases[] = {
      {"all opaque", std::vector<uint32_t>(12, 0xFF102030), true},
      {"the last texel one step short", oneShort, false},
      {"wholly clear, colour under zero alpha", std::vector<uint32_t>(12, 0x00FFFFFF), false},
  };
  for (const SCase& c : cases) ExpectOpaque(MakeTexture(4, 3, c.argb)->GetCoverage(), c.opaque, c.what);

  // Made from texels; then a lock that clears one texel, and one that writes it back.
  std::vector<uint8_t> texels(4 * 2 * 4, 0xFF);
  CGfxTexture* picture = nullptr;
  ASSERT_EQ(m_device->CreateTextureFrom(4, 2, GFX_FMT_A8R8G8B8, texels, &picture), GFX_OK);
  Hold(picture);
  ExpectOpaque(picture->GetCoverage(), true, "made from texels");
  const SGfxRect texel = {3, 1, 4, 2};
  SGfxLockedRect locked;
  for (uint8_t alpha : {0, 255}) {
    ASSERT_EQ(picture->LockRect(0, &locked, &texel, 0), GFX_OK);
    static_cast<uint8_t*>(locked.bits)[3] = alpha;
    ASSERT_EQ(picture->UnlockRect(0), GFX_OK);
    ExpectOpaque(picture->GetCoverage(), alpha == 255, alpha ? "written back" : "one texel cleared");
  }

  // Without alpha every texel samples opaque, whatever its fourth byte holds (here 0).
  CGfxTexture* noAlpha = nullptr;
  ASSERT_EQ(m_device->CreateTexture(2, 2, 1, 0, GFX_FMT_X8R8G8B8, GFX_POOL_MANAGED, &noAlpha), GFX_OK);
  Hold(noAlpha);
  ExpectOpaque(noAlpha->GetCoverage(), true, "no alpha");
}

TEST_F(GraphicsCoverage, TilesTellWhereEveryTexelIsOpaque) {
  // 40 x 20 texels (tiles of 16: three across, the last cut short; two down), opaque but for
  // one texel in the middle tile of the lower row.
  std::vector<uint32_t> argb(40 * 20, 0xFF102030);
  argb[17 * 40 + 20] = 0x80102030;
  CGfxTexture* texture = MakeTexture(40, 20, argb);
  ExpectOpaque(texture->GetCoverage(), false, "one texel half clear");
  struct SCase {
    SGfxRect texels;
    bool opaque;
  } const cases[] = {
      {{0, 0, 40, 16}, true},    {{0, 0, 16, 20}, true},  {{32, 0, 40, 20}, true},  {{0, 0, 40, 20}, false},
      {{16, 16, 17, 17}, false},  // the same tile as the clear texel
      {{32, 10, 60, 80}, true},   // cut to the texture
      {{40, 0, 50, 10}, false},   // nothing of the texture
  };
  for (const SCase& c : cases)
    EXPECT_EQ(texture->IsOpaqueIn(c.texels), c.opaque)
        << c.texels.left << "," << c.texels.top << " - " << c.texels.right << "," << c.texels.bottom;
}

TEST_F(GraphicsCoverage, WhatTheDeviceDrawsOrCopiesIntoIsNotKnown) {
  CGfxTexture* target = nullptr;
  ASSERT_EQ(m_device->CreateTexture(8, 8, 1, GFX_USAGE_RENDERTARGET, GFX_FMT_A8R8G8B8, GFX_POOL_DEFAULT, &target),
            GFX_OK);
  Hold(target);
  EXPECT_FALSE(target->GetCoverage().known);

  // A copy into a picture's level makes its measure stale.
  CGfxTexture* picture = MakeTexture(2, 2, std::vector<uint32_t>(4, 0xFFFFFFFF));
  ASSERT_TRUE(picture->GetCoverage().known);
  CGfxSurface *surface = nullptr, *backBuffer = nullptr;
  ASSERT_EQ(picture->GetSurfaceLevel(0, &surface), GFX_OK);
  ASSERT_EQ(m_device->GetBackBuffer(0, 0, &backBuffer), GFX_OK);
  Hold(surface), Hold(backBuffer);
  ASSERT_EQ(m_device->StretchRect(backBuffer, nullptr, surface, nullptr, GFX_TEXF_POINT), GFX_OK);
  EXPECT_FALSE(picture->GetCoverage().known);
  EXPECT_FALSE(picture->IsOpaqueIn({0, 0, 1, 1}));
}

}  // namespace
