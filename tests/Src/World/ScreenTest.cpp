// The screen functions in each aspect mode of the render camera: the virtual-screen mapping,
// the strict rectangle test, quads and "x;y" pairs.

#include "Src/World/Vey_Screen.h"

#include <gtest/gtest.h>

#include "Quor/CViewCamera.h"
#include "tests/support/engine/CameraInMode.h"

#include <cmath>
#include <limits>
#include <memory>

using namespace Vey;

namespace {

using hmtest::CCameraInMode;

TEST(ScreenSpace, EachAspectModeScalesTheVirtualScreenAndTheMappingReturns) {
  const struct {
    uint32_t mode;
    float aspect;
  } kModes[] = {{kAspectWide, 1.7777778f}, {kAspectStandard, 1.3333334f}, {kAspectCustom, 2.0f}, {7, 1.3333334f}};
  const Vector2 kPoints[] = {{0, 0}, {1, 1}, {-1.7f, 0.35f}, {0.001f, -1}};
  for (const auto& m : kModes) {
    SCOPED_TRACE(testing::Message() << "mode " << m.mode);
    CCameraInMode camera(m.mode);
    EXPECT_EQ(GetAspect(), m.aspect);
    EXPECT_EQ(GetInvAspect(), 1.0f / m.aspect);
    const Vector2 corner = ToVirtualScreen({1, 1});
    EXPECT_FLOAT_EQ(corner.x, 2048 + 256 / m.aspect);
    EXPECT_EQ(corner.y, 1792.0f);
    for (const Vector2& p : kPoints) {
      const Vector2 back = FromVirtualScreen(ToVirtualScreen(p));
      EXPECT_NEAR(back.x, p.x, 1e-4f);
      EXPECT_NEAR(back.y, p.y, 1e-4f);
    }
  }
  CCameraInMode wide(kAspectWide);
  const Vector2 centre = ToVirtualScreen({0, 0});
  EXPECT_EQ(centre.x, 2048.0f);
  EXPECT_EQ(centre.y, 2048.0f);
}

TEST(ScreenSpace, RectangleTestIsStrictOnEveryEdge) {
  CCameraInMode camera(kAspectCustom, 2.0f);  // half width = w * 0.5 / 2
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const struct {
    float px, py;
    bool inside;
  } kCases[] = {
      {0, 0, true},       {0.99f, 0, true},  {1, 0, false},   {-1, 0, false}, {0, 0.5f, false},
      {0, -0.5f, false},  {0, 0.49f, true},  {1, 0.5f, false}, {nan, 0, false}, {0, nan, false},
      {-0.99f, -0.49f, true},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(IsPointInRect(c.px, c.py, 0, 0, 4, 1), c.inside) << c.px << ", " << c.py;
  }
  EXPECT_TRUE(IsPointInRect(10.5f, -3, 10, -3, 4, 1));  // about its own centre
  EXPECT_FALSE(IsPointInRect(0, 0, 0, 0, 0, 0));      // an empty rectangle holds nothing
}

TEST(ScreenSpace, QuadsAreTwoTrianglesOfWhiteVerticesWithTheCallersAlpha) {
  SQuadVertex quad[kQuadVertexCount];
  WriteQuad(quad, {1, 2}, {3, 4}, 0x80);
  const struct {
    float x, y, u, v;
  } kExpected[] = {{1, 2, 0, 0}, {1, 4, 0, 1}, {3, 4, 1, 1}, {1, 2, 0, 0}, {3, 4, 1, 1}, {3, 2, 1, 0}};
  for (int i = 0; i < kQuadVertexCount; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(quad[i].x, kExpected[i].x);
    EXPECT_EQ(quad[i].y, kExpected[i].y);
    EXPECT_EQ(quad[i].z, 0.0f);
    EXPECT_EQ(quad[i].colour, 0x80FFFFFFu);
    EXPECT_EQ(quad[i].u, kExpected[i].u);
    EXPECT_EQ(quad[i].v, kExpected[i].v);
  }
  const Vector2 corners[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  const Vector2 uvs[4] = {{0.5f, 0.25f}, {0.75f, 0.25f}, {0.75f, 0.5f}, {0.5f, 0.5f}};
  BuildQuad(quad, 0, corners, uvs);
  EXPECT_EQ(quad[4].u, 0.75f);
  EXPECT_EQ(quad[5].v, 0.5f);
  EXPECT_EQ(quad[5].colour, 0x00FFFFFFu);
}

TEST(ScreenSpace, PairsReadTheFirstTwoNumbers) {
  const struct {
    const char* text;
    float x, y;
  } kCases[] = {{"1.5;-2", 1.5f, -2}, {"3", 3, 0},   {"1;2;3", 1, 2},     {";;4;;5", 4, 5},
                {"", 0, 0},          {nullptr, 0, 0}, {"x;7", 0, 7},       {"-0.25;1e2", -0.25f, 100}};
  for (const auto& c : kCases) {
    const Vector2 pair = ParsePair(c.text);
    EXPECT_EQ(pair.x, c.x) << (c.text ? c.text : "null");
    EXPECT_EQ(pair.y, c.y) << (c.text ? c.text : "null");
  }
}

}  // namespace
