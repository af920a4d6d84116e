// The immediate draw layer: the quad index table, the draw kinds, the change tracking of
// the pending settings, and pictures drawn through the built-in programs.

#include "tests/Quor/Render/RenderTestKit.h"

#include <algorithm>

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
