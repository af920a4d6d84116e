// The immediate draw layer: the quad index table, the draw kinds, the change tracking of
// the pending settings, and pictures drawn through the built-in programs.

#include "tests/Quor/Render/RenderTestKit.h"

#include <algorithm>
#include <limits>

#include "Quor/MatrixTable.h"

using namespace rendertest;

namespace {

const SRgba kBlack{0, 0, 0, 255};

TEST(DrawSubmissionTables, QuadIndicesMakeTwoTrianglesPerQuad) {
  const uint16_t* table = GetQuadIndexTable();
  const uint16_t first[12] = {0, 1, 2, 2, 3, 0, 4, 5, 6, 6, 7, 4};
  for (int i = 0; i < 12; ++i) EXPECT_EQ(table[i], first[i]) << i;
  EXPECT_EQ(table[65535], 43690);
}

TEST(DrawSubmissionTables, KindsTurnVertexCountsIntoPrimitives) {
  struct SCase {
    uint32_t kind, vertices, type, primitives;
  } const cases[] = {
      {kDrawLineList, 7, GFX_PT_LINELIST, 3},          {kDrawLineStrip, 5, GFX_PT_LINESTRIP, 4},
      {kDrawTriangleList, 7, GFX_PT_TRIANGLELIST, 2},  {kDrawTriangleStrip, 5, GFX_PT_TRIANGLESTRIP, 3},
      {kDrawTriangleFan, 4, GFX_PT_TRIANGLEFAN, 2},    {kDrawQuads, 8, GFX_PT_TRIANGLELIST, 8},
      {9, 8, GFX_PT_TRIANGLELIST, 8},
      // Too few vertices for one primitive give none, never a count wrapped below zero.
      {kDrawTriangleStrip, 2, GFX_PT_TRIANGLESTRIP, 0}, {kDrawTriangleFan, 1, GFX_PT_TRIANGLEFAN, 0},
      {kDrawLineStrip, 0, GFX_PT_LINESTRIP, 0},
  };
  for (const SCase& c : cases) {
    uint32_t count = c.vertices;
    EXPECT_EQ(SetupDrawCall(c.kind, &count), c.type) << "kind " << c.kind;
    EXPECT_EQ(count, c.primitives) << "kind " << c.kind << " with " << c.vertices;
  }
}

class DrawSubmissionTest : public CRenderFixture {
 protected:
  TextureRecord* Checker() {
    // 4 x 4 texels, each a colour of its own.
    std::vector<uint8_t> rgba;
    for (uint8_t y = 0; y < 4; ++y)
      for (uint8_t x = 0; x < 4; ++x) rgba.insert(rgba.end(), {uint8_t(40 + 60 * x), uint8_t(30 + 70 * y), 90, 255});
    return m_manager->CreateTexture("ID$checker", 4, 4, rgba.data(), false, false);
  }
  static SRgba CheckerTexel(int x, int y) { return {uint8_t(40 + 60 * x), uint8_t(30 + 70 * y), 90, 255}; }

  // The checker drawn 1:1 over pixels [8, 12) x [20, 24).
  std::vector<uint8_t> DrawChecker(TextureRecord* texture) {
    SDrawVertex quad[4];
    PixelQuad(8, 20, 12, 24, 0xFFFFFFFF, quad);
    BeginFrame();
    SetDrawTexture(texture);
    // Clamped, so that the edge texels are not blended with the opposite edge.
    SetDrawAddressModes(kDrawClamp, kDrawClamp);
    DrawUserPrimitives(quad, kDrawQuads, 4);
    return EndFrame();
  }
};

TEST_F(DrawSubmissionTest, ATexturedQuadComesOutTexelForTexel) {
  const std::vector<uint8_t> rgba = DrawChecker(Checker());
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(Pixel(rgba, kSize, 8 + x, 20 + y), CheckerTexel(x, y)) << x << ", " << y;
  EXPECT_EQ(Pixel(rgba, kSize, 7, 20), kBlack);
  EXPECT_EQ(Pixel(rgba, kSize, 12, 23), kBlack);
  EXPECT_EQ(Pixel(rgba, kSize, 8, 24), kBlack);
}

TEST_F(DrawSubmissionTest, TheColourProgramTintsAndTheTexturedOneModulates) {
  SDrawVertex solid[4], tinted[4];
  PixelQuad(0, 0, 8, 8, 0xFF20C040, solid);
  PixelQuad(16, 16, 20, 20, 0xFF808080, tinted);  // half of every texel (128 / 255)
  TextureRecord* white = m_manager->CreateTexture("ID$white", 1, 1, Solid(1, 1, {255, 255, 255, 255}).data(), false, false);
  BeginFrame();
  SetDrawTexture(nullptr);
  DrawUserPrimitives(solid, kDrawTriangleFan, 4);
  SetDrawTexture(white);
  DrawUserPrimitives(tinted, kDrawQuads, 4);
  const std::vector<uint8_t> rgba = EndFrame();
  EXPECT_EQ(Pixel(rgba, kSize, 3, 3), (SRgba{0x20, 0xC0, 0x40, 255}));
  EXPECT_EQ(Pixel(rgba, kSize, 17, 18), (SRgba{128, 128, 128, 255}));
}

TEST_F(DrawSubmissionTest, ASubstituteIsDrawnInPlaceOfItsRecord) {
  TextureRecord* shown = m_manager->CreateTexture("ID$red", 1, 1, Solid(1, 1, {255, 0, 0, 255}).data(), false, false);
  shown->substitute = Checker();
  const std::vector<uint8_t> rgba = DrawChecker(shown);
  EXPECT_EQ(Pixel(rgba, kSize, 9, 21), CheckerTexel(1, 1));
}

TEST_F(DrawSubmissionTest, DrawsWithTooFewVerticesDrawNothingAndQuadsDrawWholeQuadsOnly) {
  SDrawVertex quads[8];
  PixelQuad(0, 0, 8, 8, 0xFFFFFFFF, quads);
  PixelQuad(16, 16, 24, 24, 0xFFFFFFFF, quads + 4);
  BeginFrame();
  SetDrawTexture(nullptr);
  DrawUserPrimitives(quads, kDrawTriangleStrip, 1);
  DrawUserPrimitives(quads, kDrawTriangleFan, 2);
  DrawUserPrimitives(quads, kDrawQuads, 3);
  // Six vertices: the second quad is not whole, only the first is drawn.
  DrawUserPrimitives(quads, kDrawQuads, 6);
  DrawUserPrimitives(quads, kDrawQuads, kMaxQuadDrawVertices + 4);
  const std::vector<uint8_t> rgba = EndFrame();
  EXPECT_EQ(Pixel(rgba, kSize, 4, 4), (SRgba{255, 255, 255, 255}));
  EXPECT_EQ(Pixel(rgba, kSize, 20, 20), kBlack);
  EXPECT_TRUE(Reported("more than the"));
}

// Device results: a refused state call is reported once by its name however often it fails,
// a refused draw at its site each time, and a lost device is no failure of either.
TEST_F(DrawSubmissionTest, RefusedStateCallsAreReportedOnceByNameAndRefusedDrawsWhereTheyHappen) {
  ResetFailedStateCalls();
  CDeviceStates states(*m_device);
  states.SetRenderState(GFX_RS_ZENABLE, 1);
  EXPECT_EQ(GetFailedStateCallCount(), 0u);
  EXPECT_TRUE(Reports().empty());
  for (int i = 0; i < 3; ++i) states.SetSamplerState(99, GFX_SAMP_MINFILTER, GFX_TEXF_LINEAR);
  states.SetStreamSourceFreq(0, 2);
  EXPECT_EQ(GetFailedStateCallCount(), 4u);
  const auto count = [](const char* text) {
    return std::count_if(Reports().begin(), Reports().end(),
                         [&](const std::string& report) { return report.find(text) != std::string::npos; });
  };
  EXPECT_EQ(count("The device refused SetSamplerState (0x8876086C)"), 1);
  EXPECT_EQ(count("The device refused SetStreamSourceFreq"), 1);
  ResetFailedStateCalls();
  states.SetSamplerState(99, GFX_SAMP_MINFILTER, GFX_TEXF_LINEAR);
  EXPECT_EQ(count("The device refused SetSamplerState"), 2) << "reported again once forgotten";

  // Outside a scene the device refuses to draw.
  SDrawVertex quad[4];
  PixelQuad(0, 0, 8, 8, 0xFFFFFFFF, quad);
  SetDrawTexture(nullptr);
  DrawUserPrimitives(quad, kDrawQuads, 4);
  DrawUserPrimitives(quad, kDrawTriangleFan, 4);
  EXPECT_TRUE(Reported("Drawing 1 quads failed (0x8876086C)"));
  EXPECT_TRUE(Reported("Drawing 2 primitives of kind 4 failed (0x8876086C)"));

  Reports().clear();
  m_device->ForceDeviceLoss();
  DrawUserPrimitives(quad, kDrawQuads, 4);
  EXPECT_TRUE(Reports().empty()) << Reports().front();
  ResetFailedStateCalls();
}

TEST_F(DrawSubmissionTest, OnlyChangedSettingsAreMarkedAndAppliedOnce) {
  TextureRecord* texture = Checker();
  uint32_t count = 4;
  SetDrawTexture(texture);
  SetupDrawCall(kDrawQuads, &count);
  SDrawStateView view = GetDrawStateView();
  EXPECT_EQ(view.currentProgram, view.texturedProgram);
  EXPECT_FALSE(view.textureChanged || view.addressChanged || view.filterRequested || view.transformChanged);
  uint32_t address = 0, filter = 0;
  m_device->GetSamplerState(0, GFX_SAMP_ADDRESSU, &address);
  m_device->GetSamplerState(0, GFX_SAMP_MINFILTER, &filter);
  EXPECT_EQ(address, uint32_t(GFX_TADDRESS_WRAP));
  EXPECT_EQ(filter, uint32_t(GFX_TEXF_LINEAR));

  // The same address codes and screen-space value again mark nothing.
  SetDrawAddressModes(kDrawWrap, kDrawWrap);
  SetDrawScreenSpace(true);
  view = GetDrawStateView();
  EXPECT_FALSE(view.addressChanged || view.transformChanged);

  // A draw without texture switches to the colour program and uploads the transform, but
  // leaves new texture settings waiting for the next textured draw.
  SetDrawAddressModes(kDrawClamp, kDrawMirror);
  SetDrawTexture(nullptr);
  SetupDrawCall(kDrawTriangleList, &count);
  view = GetDrawStateView();
  EXPECT_EQ(view.currentProgram, view.colourProgram);
  EXPECT_FALSE(view.transformChanged);
  EXPECT_TRUE(view.addressChanged && view.textureChanged);

  SetDrawTexture(texture);
  SetupDrawCall(kDrawQuads, &count);
  m_device->GetSamplerState(0, GFX_SAMP_ADDRESSV, &address);
  EXPECT_EQ(address, uint32_t(GFX_TADDRESS_MIRROR));

  // After an invalidation everything is applied again, linear filtering included.
  m_device->SetSamplerState(0, GFX_SAMP_MINFILTER, GFX_TEXF_POINT);
  InvalidateDrawState();
  view = GetDrawStateView();
  EXPECT_EQ(view.currentProgram, nullptr);
  EXPECT_TRUE(view.textureChanged && view.addressChanged && view.filterRequested && view.transformChanged);
  SetupDrawCall(kDrawQuads, &count);
  m_device->GetSamplerState(0, GFX_SAMP_MINFILTER, &filter);
  EXPECT_EQ(filter, uint32_t(GFX_TEXF_LINEAR));
}

TEST_F(DrawSubmissionTest, ProgramsAndTexturesSurviveALostDevice) {
  TextureRecord* texture = Checker();
  DrawChecker(texture);
  LoseAndRecover();
  const std::vector<uint8_t> rgba = DrawChecker(texture);
  EXPECT_EQ(Pixel(rgba, kSize, 8, 20), CheckerTexel(0, 0));
  EXPECT_EQ(Pixel(rgba, kSize, 11, 23), CheckerTexel(3, 3));
}

TEST_F(DrawSubmissionTest, WorldSpaceDrawsGoThroughTheWorldViewProjection) {
  // A projection that maps pixels (y down) to clip space, as a camera would.
  Matrix4 projection;
  const float m[16] = {2.0f / kSize, 0, 0, 0, 0, -2.0f / kSize, 0, 0, 0, 0, 1, 0, -1, 1, 0, 1};
  std::copy(m, m + 16, projection.m);
  ResetTransforms();
  SetProjection(projection);
  SDrawVertex quad[4] = {{39.5f, 39.5f, 0.5f, 0xFFFF0000, 0, 0}, {39.5f, 43.5f, 0.5f, 0xFFFF0000, 0, 0},
                         {43.5f, 43.5f, 0.5f, 0xFFFF0000, 0, 0}, {43.5f, 39.5f, 0.5f, 0xFFFF0000, 0, 0}};
  BeginFrame();
  SetDrawTexture(nullptr);
  SetDrawScreenSpace(false);
  DrawUserPrimitives(quad, kDrawTriangleFan, 4);
  SetDrawScreenSpace(true);
  const std::vector<uint8_t> rgba = EndFrame();
  EXPECT_EQ(Pixel(rgba, kSize, 41, 41), (SRgba{255, 0, 0, 255}));
  EXPECT_EQ(Pixel(rgba, kSize, 38, 41), kBlack);
}

}  // namespace

namespace {

TEST(DrawSubmissionBlending, OnlyOpaquePicturesUnderFullAlphaUnderNormalBlendingLeaveItOut) {
  SDrawVertex full[4] = {}, faded[4] = {};
  for (SDrawVertex& v : full) v.colour = 0xFF808080;
  for (SDrawVertex& v : faded) v.colour = 0xFF808080;
  faded[2].colour = 0xFE808080;
  const SDrawBlend normal{true, GFX_BLEND_SRCALPHA, GFX_BLEND_INVSRCALPHA, GFX_BLENDOP_ADD};
  SGfxTexelCoverage opaque, clear, unknown;
  opaque.known = clear.known = true;
  opaque.opaque = true;
  struct SCase {
    const char* what;
    SDrawBlend blend;
    const SGfxTexelCoverage& coverage;
    const SDrawVertex* vertices;
    bool unblended;
  } const cases[] = {
      {"opaque picture, full alpha", normal, opaque, full, true},
      {"one vertex short of full alpha", normal, opaque, faded, false},
      {"a picture with clear texels", normal, clear, full, false},
      {"a picture not measured", normal, unknown, full, false},
      {"additive blending", {true, GFX_BLEND_SRCALPHA, GFX_BLEND_ONE, GFX_BLENDOP_ADD}, opaque, full, false},
      {"a subtracting operation", {true, GFX_BLEND_SRCALPHA, GFX_BLEND_INVSRCALPHA, GFX_BLENDOP_REVSUBTRACT}, opaque,
       full, false},
      {"blending already off", {false, GFX_BLEND_SRCALPHA, GFX_BLEND_INVSRCALPHA, GFX_BLENDOP_ADD}, opaque, full,
       false},
  };
  for (const SCase& c : cases) EXPECT_EQ(DrawNeedsNoBlending(c.blend, c.coverage, c.vertices, 4), c.unblended) << c.what;
}

// Opaque, half-clear and faded pictures over a grey screen: the opaque one replaces the
// pixels beneath exactly, the others still mix, and blending is on again after each draw.
TEST_F(DrawSubmissionTest, AnOpaquePictureReplacesThePixelsBeneathAndTheOthersStillMix) {
  TextureRecord* opaque = m_manager->CreateTexture("ID$opaque", 2, 2, Solid(2, 2, {200, 100, 0, 255}).data(), false, false);
  TextureRecord* half = m_manager->CreateTexture("ID$half", 2, 2, Solid(2, 2, {200, 100, 0, 128}).data(), false, false);
  SDrawVertex whole[4], faded[4], halfClear[4];
  PixelQuad(0, 0, 8, 8, 0xFFFFFFFF, whole);
  PixelQuad(16, 0, 24, 8, 0x80FFFFFF, faded);
  PixelQuad(32, 0, 40, 8, 0xFFFFFFFF, halfClear);
  BeginFrame(0xFF404040);
  AlphaBlendOn();
  BlendNormal();
  SetDrawAddressModes(kDrawClamp, kDrawClamp);
  uint32_t blending = 0;
  for (auto [texture, quad] : {std::pair{opaque, whole}, {opaque, faded}, {half, halfClear}}) {
    SetDrawTexture(texture);
    DrawUserPrimitives(quad, kDrawQuads, 4);
    EXPECT_EQ(m_device->GetRenderState(GFX_RS_ALPHABLENDENABLE, &blending), GFX_OK);
    EXPECT_EQ(blending, 1u);
  }
  const std::vector<uint8_t> rgba = EndFrame();
  EXPECT_EQ(Pixel(rgba, kSize, 4, 4), (SRgba{200, 100, 0, 255}));
  // 128 / 255 of the picture over 0x40: 200 -> 132, 100 -> 82, 0 -> 32 (one step either way).
  for (int x : {20, 36}) {
    const SRgba mixed = Pixel(rgba, kSize, x, 4);
    EXPECT_NEAR(mixed.r, 132, 1) << x;
    EXPECT_NEAR(mixed.g, 82, 1) << x;
    EXPECT_NEAR(mixed.b, 32, 1) << x;
  }
}

}  // namespace

namespace {

TEST(DrawSubmissionBlending, SampledTexelsCoverTheFilteredNeighboursAndAMargin) {
  auto quad = [](float u0, float v0, float u1, float v1) {
    std::vector<SDrawVertex> q(4);
    q[0].u = q[3].u = u0, q[1].u = q[2].u = u1;
    q[0].v = q[1].v = v0, q[2].v = q[3].v = v1;
    return q;
  };
  struct SCase {
    const char* what;
    std::vector<SDrawVertex> vertices;
    SDrawClamp clamp;
    bool known;
    SGfxRect texels;
  } const cases[] = {
      // 64 x 32 texels: u 0.25 is texel 16's left edge, where filtering mixes texels 15 and 16.
      {"inside, wrapped", quad(0.25f, 0.25f, 0.5f, 0.5f), {false, false}, true, {14, 6, 34, 18}},
      {"reaching the edge, clamped", quad(0.25f, 0.0f, 0.5f, 1.0f), {true, true}, true, {14, 0, 34, 32}},
      {"reaching the edge, wrapped", quad(0.25f, 0.0f, 0.5f, 1.0f), {true, false}, false, {}},
      {"not a number", quad(0.25f, std::numeric_limits<float>::quiet_NaN(), 0.5f, 0.5f), {true, true}, false, {}},
  };
  for (const SCase& c : cases) {
    SGfxRect texels{};
    ASSERT_EQ(SampledTexels(c.vertices.data(), 4, 64, 32, c.clamp, &texels), c.known) << c.what;
    if (!c.known) continue;
    EXPECT_EQ(texels.left, c.texels.left) << c.what;
    EXPECT_EQ(texels.top, c.texels.top) << c.what;
    EXPECT_EQ(texels.right, c.texels.right) << c.what;
    EXPECT_EQ(texels.bottom, c.texels.bottom) << c.what;
  }
}

// A picture opaque on its left half and clear on its right: a draw of its opaque part goes
// unblended and replaces the pixels beneath, one reaching the clear part still mixes.
TEST_F(DrawSubmissionTest, ADrawOfAPicturesOpaquePartLeavesBlendingOut) {
  std::vector<uint8_t> texels = Solid(32, 32, {200, 100, 0, 255});
  for (uint32_t y = 0; y < 32; ++y)
    for (uint32_t x = 16; x < 32; ++x) texels[(y * 32 + x) * 4 + 3] = 0;
  TextureRecord* picture = m_manager->CreateTexture("ID$halfopaque", 32, 32, texels.data(), false, false);
  SDrawVertex opaquePart[4], across[4];
  PixelQuad(0, 0, 16, 16, 0xFFFFFFFF, opaquePart);
  PixelQuad(0, 32, 32, 48, 0xFFFFFFFF, across);
  for (SDrawVertex& v : opaquePart) v.u *= 0.25f;
  BeginFrame(0xFF404040);
  AlphaBlendOn();
  BlendNormal();
  SetDrawAddressModes(kDrawClamp, kDrawClamp);
  SetDrawTexture(picture);
  const uint64_t before = m_device->GetGlDrawCount();
  DrawUserPrimitives(opaquePart, kDrawQuads, 4);
  DrawUserPrimitives(across, kDrawQuads, 4);
  const std::vector<uint8_t> rgba = EndFrame();
  EXPECT_EQ(m_device->GetGlDrawCount() - before, 2u);  // two states: unblended, then blended
  EXPECT_EQ(Pixel(rgba, kSize, 8, 8), (SRgba{200, 100, 0, 255}));
  EXPECT_EQ(Pixel(rgba, kSize, 4, 40), (SRgba{200, 100, 0, 255}));
  EXPECT_EQ(Pixel(rgba, kSize, 28, 40), (SRgba{0x40, 0x40, 0x40, 255}));
}

}  // namespace

namespace {

// A rectangle in screen units, its four corners in the order the quad table draws them.
void ScreenRect(float left, float top, float right, float bottom, uint32_t colour, float z, SDrawVertex out[4]) {
  out[0] = {left, top, z, colour, 0, 0};
  out[1] = {left, bottom, z, colour, 0, 1};
  out[2] = {right, bottom, z, colour, 1, 1};
  out[3] = {right, top, z, colour, 1, 0};
}

TEST(DrawSubmissionCover, OnlyOneRectangleOverTheWholeScreenCoversIt) {
  SDrawVertex screen[4], larger[4], short_[4], turned[4];
  ScreenRect(1792, 1792, 2304, 2304, 0xFFFFFFFF, 0, screen);
  ScreenRect(1700, 1750, 2400, 2350, 0xFFFFFFFF, 0, larger);
  ScreenRect(1792, 1792, 2296, 2304, 0xFFFFFFFF, 0, short_);
  // A diamond round the screen: its box covers it, the diamond does not.
  turned[0] = {2048, 1500, 0, 0xFFFFFFFF, 0, 0};
  turned[1] = {1500, 2048, 0, 0xFFFFFFFF, 0, 0};
  turned[2] = {2048, 2600, 0, 0xFFFFFFFF, 0, 0};
  turned[3] = {2600, 2048, 0, 0xFFFFFFFF, 0, 0};
  const SDrawVertex* s = screen;
  const SDrawVertex halves[6] = {s[0], s[1], s[2], s[2], s[3], s[0]};
  const SDrawVertex sameHalfTwice[6] = {s[0], s[1], s[2], s[0], s[1], s[2]};
  const SDrawVertex twoQuads[8] = {s[0], s[1], s[2], s[3], s[0], s[1], s[2], s[3]};
  struct SCase {
    const char* what;
    const SDrawVertex* vertices;
    uint32_t kind, count;
    bool covers;
  } const cases[] = {
      {"the screen's quad", screen, kDrawQuads, 4, true},
      {"a larger quad", larger, kDrawQuads, 4, true},
      {"a quad a pixel short", short_, kDrawQuads, 4, false},
      {"a turned quad", turned, kDrawQuads, 4, false},
      {"two triangles halving it", halves, kDrawTriangleList, 6, true},
      {"the same half twice", sameHalfTwice, kDrawTriangleList, 6, false},
      {"two quads in one draw", twoQuads, kDrawQuads, 8, false},
      {"a strip", screen, kDrawTriangleStrip, 4, false},
  };
  for (const SCase& c : cases) EXPECT_EQ(DrawCoversScreen(c.vertices, c.kind, c.count), c.covers) << c.what;
}

// Whether a draw hides what lies beneath depends on the device's state as much as on its shape.
TEST_F(DrawSubmissionTest, AScreenCoveringDrawHidesWhatLiesBeneathOnlyWhereNothingShowsThrough) {
  TextureRecord* opaque = m_manager->CreateTexture("ID$cover", 2, 2, Solid(2, 2, {200, 100, 0, 255}).data(), false, false);
  TextureRecord* half = m_manager->CreateTexture("ID$veil", 2, 2, Solid(2, 2, {200, 100, 0, 128}).data(), false, false);
  struct SCase {
    const char* what;
    TextureRecord* texture;
    uint32_t colour;
    float z;
    uint32_t state, value;  // one render state set for the draw (0: none)
    bool covers;
  } const cases[] = {
      {"an opaque picture", opaque, 0xFFFFFFFF, 0.0f, 0, 0, true},
      {"faded by its vertices", opaque, 0x80FFFFFF, 0.0f, 0, 0, false},
      {"a picture that lets light through", half, 0xFFFFFFFF, 0.0f, 0, 0, false},
      {"under the alpha test", opaque, 0xFFFFFFFF, 0.0f, GFX_RS_ALPHATESTENABLE, 1, false},
      {"writing three channels", opaque, 0xFFFFFFFF, 0.0f, GFX_RS_COLORWRITEENABLE, 0x7, false},
      {"nearest under a less-or-equal test", opaque, 0xFFFFFFFF, 0.0f, GFX_RS_ZENABLE, 1, true},
      {"half way under a less-or-equal test", opaque, 0xFFFFFFFF, 0.5f, GFX_RS_ZENABLE, 1, false},
  };
  for (const SCase& c : cases) {
    SDrawVertex quad[4];
    ScreenRect(1792, 1792, 2304, 2304, c.colour, c.z, quad);
    BeginFrame();
    AlphaBlendOn();
    BlendNormal();
    SetDrawAddressModes(kDrawClamp, kDrawClamp);
    m_device->SetRenderState(GFX_RS_ZFUNC, GFX_CMP_LESSEQUAL);
    uint32_t before = 0;
    if (c.state) {
      m_device->GetRenderState(c.state, &before);
      m_device->SetRenderState(c.state, c.value);
    }
    SetDrawTexture(c.texture);
    DrawUserPrimitives(quad, kDrawQuads, 4);
    EXPECT_EQ(LastDrawCoveredScreen(), c.covers) << c.what;
    if (c.state) m_device->SetRenderState(c.state, before);
    // The answer is the last draw's alone.
    SDrawVertex corner[4];
    PixelQuad(0, 0, 4, 4, 0xFFFFFFFF, corner);
    DrawUserPrimitives(corner, kDrawQuads, 4);
    EXPECT_FALSE(LastDrawCoveredScreen()) << c.what;
    EndFrame();
  }
}

}  // namespace
