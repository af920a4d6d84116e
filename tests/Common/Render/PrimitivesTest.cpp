// The 2-D primitives drawn on a small device and read back: sprite pairs, the triangle batch
// (solid, textured, vertex by vertex), debug lines, the gradient quad of the font effects, and
// counts that make no whole primitive.

#include "Common/Render/Primitives/CTriangle2D.h"
#include "Common/Render/Primitives/Sprite2D.h"
#include "Common/Render/SpecialFx/CFontFX.h"
#include "Quor/MatrixTable.h"

#include "tests/Quor/Render/RenderTestKit.h"

using namespace rendertest;
using gfxtest::SRgba;

namespace {

class PrimitivesTest : public CRenderFixture {
 protected:
  void SetUp() override {
    CRenderFixture::SetUp();
    ResetTransforms();
    SetPrimitiveAddressMode(kDrawClamp);
  }

  // The corners of pixels [x0, x1) x [y0, y1) in the order the batch takes them.
  static void PixelCorners(int x0, int y0, int x1, int y1, Vector2 out[4]) {
    out[0] = {Edge(x0), Edge(y0)};
    out[1] = {Edge(x0), Edge(y1)};
    out[2] = {Edge(x1), Edge(y1)};
    out[3] = {Edge(x1), Edge(y0)};
  }

  // Every pixel inside [x0, x1) x [y0, y1) is `in`, every other one black.
  static void ExpectRect(const std::vector<uint8_t>& pixels, int x0, int y0, int x1, int y1, SRgba in) {
    for (int y = 0; y < kSize; ++y) {
      for (int x = 0; x < kSize; ++x) {
        const bool inside = x >= x0 && x < x1 && y >= y0 && y < y1;
        const SRgba expected = inside ? in : SRgba{0, 0, 0, 255};
        ASSERT_EQ(Pixel(pixels, kSize, x, y), expected) << "at " << x << ", " << y;
      }
    }
  }

  static bool AllBlack(const std::vector<uint8_t>& pixels) {
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x)
        if (!(Pixel(pixels, kSize, x, y) == SRgba{0, 0, 0, 255})) return false;
    return true;
  }
};

TEST(PrimitiveColours, BytesOnTheHalfScaleAndTheSpriteVertexFillers) {
  struct SCase {
    uint8_t in, out;
  } cases[] = {{0, 0}, {1, 2}, {64, 128}, {127, 254}, {128, 255}, {200, 255}, {255, 255}};
  for (const SCase& c : cases) EXPECT_EQ(HalfScaleToByte(c.in), c.out) << int(c.in);

  // Blue, green, red, alpha in, 0xAARRGGBB out; the caller's bytes stay as they were, so a
  // node that fills its vertex every frame gets the same colour every frame.
  uint8_t colour[4] = {16, 75, 32, 64};
  SDrawVertex vertex{};
  MakeSpriteVertex2D(&vertex, 1, 2, 0.25f, 0.75f, colour);
  MakeSpriteVertex2D(&vertex, 1, 2, 0.25f, 0.75f, colour);
  EXPECT_EQ(vertex.colour, 0x80409620u);
  EXPECT_EQ(colour[0], 16);
  EXPECT_EQ(colour[3], 64);
  EXPECT_EQ(vertex.z, 0.0f);
  MakeSpriteVertex3D(&vertex, 1, 2, 3, 0.25f, 0.75f, colour);
  EXPECT_EQ(vertex.z, 3.0f);
  EXPECT_EQ(vertex.v, 0.75f);
}

TEST_F(PrimitivesTest, ASolidQuadAndColouredVerticesFillTheirPixels) {
  Init2DBatch();
  EXPECT_GE(Get2DBatch().GetCapacity(), 300u);
  Vector2 corners[4];
  PixelCorners(8, 16, 24, 40, corners);
  BeginFrame();
  Begin2DBatch();
  EXPECT_TRUE(Is2DBatchOpen());
  Add2DBatchSolidQuad(corners, 64, 127, 10, 128);
  EXPECT_EQ(Get2DBatch().GetCount(), 6u);
  Flush2DBatch();
  EXPECT_FALSE(Is2DBatchOpen());
  ExpectRect(EndFrame(), 8, 16, 24, 40, {128, 254, 20, 255});

  // Vertex by vertex: the same rectangle as two triangles in pure blue.
  BeginFrame();
  Begin2DBatch();
  for (int i : {0, 1, 2, 0, 2, 3}) Add2DBatchColourVertex(corners[i].x, corners[i].y, 0, 0, 128);
  Flush2DBatch();
  ExpectRect(EndFrame(), 8, 16, 24, 40, {0, 0, 255, 255});
}

TEST_F(PrimitivesTest, ATexturedQuadShowsItsTextureTintedByTheColour) {
  // Left half red, right half green: u runs from p0 (left) to p3 (right).
  std::vector<uint8_t> texels;
  for (int y = 0; y < 2; ++y) texels.insert(texels.end(), {255, 0, 0, 255, 0, 255, 0, 255});
  TextureRecord* texture = m_manager->CreateTexture("halves", 2, 2, texels.data(), false, false);
  Vector2 corners[4];
  PixelCorners(0, 0, 32, 32, corners);
  BeginFrame();
  AlphaBlendOn();
  BlendNormal();
  Begin2DBatch(texture);
  Add2DBatchQuad(corners, 128, 128, 128, 128);
  Flush2DBatch();
  const std::vector<uint8_t> pixels = EndFrame();
  EXPECT_EQ(Pixel(pixels, kSize, 4, 16), (SRgba{255, 0, 0, 255}));
  EXPECT_EQ(Pixel(pixels, kSize, 28, 16), (SRgba{0, 255, 0, 255}));
  EXPECT_EQ(Pixel(pixels, kSize, 40, 16), (SRgba{0, 0, 0, 255}));

  // Half alpha through Add2DBatchVertex: white texels at half strength over black.
  BeginFrame();
  AlphaBlendOn();
  BlendNormal();
  Begin2DBatch(texture);
  const float uv[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
  for (int i : {0, 1, 2, 0, 2, 3}) Add2DBatchVertex(64, uv[i][0], uv[i][1], corners[i].x, corners[i].y);
  Flush2DBatch();
  const SRgba left = Pixel(EndFrame(), kSize, 4, 16);
  EXPECT_NEAR(left.r, 128, 2);
  EXPECT_EQ(left.g, 0);
  m_manager->ReleaseTexture(texture);
}

TEST_F(PrimitivesTest, SpritePairsDrawInThePointColourOnTheHalfScale) {
  BeginFrame();
  AlphaBlendOn();
  BlendNormal();
  SetDrawScreenSpace(false);  // left behind by someone else: sprites still draw on the screen
  BeginSprites2D();
  AddSpritePair2D({Edge(4), Edge(4)}, {Edge(20), Edge(12)});
  AddSpritePoint2D(Edge(30), Edge(30));
  AddSpritePoint2D(Edge(34), Edge(40));
  FlushSprites2D();
  EXPECT_FALSE(Is2DBatchOpen());
  EXPECT_EQ(GetSpritePoints2D().GetCount(), 4u);  // kept until the next begin
  const std::vector<uint8_t> pixels = EndFrame();
  // Red 64, green 150, blue 16 at alpha 128 / 255 over black.
  for (const auto& at : {std::pair<int, int>{4, 4}, {19, 11}, {30, 30}, {33, 39}}) {
    const SRgba p = Pixel(pixels, kSize, at.first, at.second);
    EXPECT_NEAR(p.r, 32, 2) << at.first;
    EXPECT_NEAR(p.g, 75, 2) << at.first;
    EXPECT_NEAR(p.b, 8, 2) << at.first;
  }
  EXPECT_EQ(Pixel(pixels, kSize, 25, 25), (SRgba{0, 0, 0, 255}));
  FreeSprites2D();
  EXPECT_EQ(GetSpritePoints2D().GetCapacity(), 0u);
}

TEST_F(PrimitivesTest, CountsThatMakeNoWholePrimitiveAreReportedAndNotDrawn) {
  struct SCase {
    const char* name;
    void (*fill)();
    void (*flush)();
    const char* report;
  } cases[] = {
      {"three sprite points",
       [] {
         BeginSprites2D();
         for (int i = 0; i < 3; ++i) AddSpritePoint2D(Edge(4 + 8 * i), Edge(4 + 8 * i));
       },
       FlushSprites2D, "Not enough sprite points:3"},
      {"no sprite points", BeginSprites2D, FlushSprites2D, "Not enough sprite points:0"},
      {"an empty batch", [] { Begin2DBatch(); }, Flush2DBatch, "Not enough tri points:0"},
      {"four batch vertices",
       [] {
         Begin2DBatch();
         for (int i = 0; i < 4; ++i) Add2DBatchColourVertex(Edge(8 * i), Edge(40 * (i % 2)), 128, 128, 128);
       },
       Flush2DBatch, "Not enough tri points:4"},
  };
  for (const SCase& c : cases) {
    Reports().clear();
    BeginFrame();
    c.fill();
    c.flush();
    EXPECT_TRUE(AllBlack(EndFrame())) << c.name;
    EXPECT_TRUE(Reported(c.report)) << c.name;
    EXPECT_FALSE(Is2DBatchOpen()) << c.name;
  }
}

TEST_F(PrimitivesTest, DebugLinesDrawInWorldSpaceAndEmptyTheList) {
  // With identity transforms world positions are clip positions: y = 0 is the middle row.
  BeginFrame();
  SetDebugLineColour({0, 128, 0, 128});
  AddDebugLine({-1, 0.01f, 0.5f}, {1, 0.01f, 0.5f});
  AddDebugLine({0.01f, -1, 0.5f}, {0.01f, 1, 0.5f}, {128, 0, 0, 128});
  EXPECT_EQ(GetDebugLines().GetCount(), 4u);
  FlushDebugLines();
  EXPECT_EQ(GetDebugLines().GetCount(), 0u);
  const std::vector<uint8_t> pixels = EndFrame();
  bool green = false, red = false;
  for (int y = 29; y <= 34; ++y) green = green || Pixel(pixels, kSize, 8, y) == SRgba{0, 255, 0, 255};
  for (int x = 29; x <= 34; ++x) red = red || Pixel(pixels, kSize, x, 56) == SRgba{255, 0, 0, 255};
  EXPECT_TRUE(green);
  EXPECT_TRUE(red);
  EXPECT_EQ(Pixel(pixels, kSize, 8, 8), (SRgba{0, 0, 0, 255}));

  // A one-call line in the line colour; nothing is left in the list.
  BeginFrame();
  DrawLine3D({-1, 0.01f, 0.5f}, {1, 0.01f, 0.5f});
  const std::vector<uint8_t> line = EndFrame();
  green = false;
  for (int y = 29; y <= 34; ++y) green = green || Pixel(line, kSize, 50, y) == SRgba{0, 255, 0, 255};
  EXPECT_TRUE(green);
  EXPECT_EQ(GetDebugLines().GetCount(), 0u);
  SetDebugLineColour({200, 128, 128, 128});
}

TEST_F(PrimitivesTest, TheGradientQuadRunsFromRedToBlueAndATriangleListDrawsItself) {
  Vector2 corners[4];
  PixelCorners(0, 0, 64, 64, corners);
  BeginFrame();
  CFontFX effects(nullptr);
  effects.DrawGradientQuad(corners);
  const std::vector<uint8_t> pixels = EndFrame();
  // p0 and p1 (the left edge) red, p2 and p3 (the right edge) blue.
  const SRgba left = Pixel(pixels, kSize, 1, 32), right = Pixel(pixels, kSize, 62, 32);
  EXPECT_GT(left.r, 240);
  EXPECT_LT(left.b, 15);
  EXPECT_LT(right.r, 15);
  EXPECT_GT(right.b, 240);

  const uint32_t white = 0xFFFFFFFF;
  const SDrawVertex triangles[6] = {{Edge(0), Edge(0), 0, white, 0, 0},   {Edge(0), Edge(8), 0, white, 0, 0},
                                    {Edge(8), Edge(8), 0, white, 0, 0},   {Edge(0), Edge(0), 0, white, 0, 0},
                                    {Edge(8), Edge(8), 0, white, 0, 0},   {Edge(8), Edge(0), 0, white, 0, 0}};
  CGPTri2D list;
  list.SetVertices(triangles, 6);
  BeginFrame();
  list.Draw();
  ExpectRect(EndFrame(), 0, 0, 8, 8, {255, 255, 255, 255});
}

}  // namespace
