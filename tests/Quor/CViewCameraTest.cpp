// The view camera: projections that follow the aspect, the look-at view, the hand-over to
// the matrix table and the frustum tests.

#include <gtest/gtest.h>

#include <cmath>

#include "Quor/CViewCamera.h"
#include "Quor/Engine.h"
#include "Quor/MatrixTable.h"

namespace {

constexpr float kPi = 3.14159265f;

TEST(ViewCamera, PerspectiveFollowsTheAspectMode) {
  const struct {
    uint32_t mode;
    float custom, m00;
  } cases[] = {{kAspectStandard, 0, 0.75f}, {kAspectWide, 0, 0.5625f}, {kAspectCustom, 2.0f, 0.5f}};
  for (const auto& c : cases) {
    CViewCamera camera(kPi / 2, 1, 101, c.mode, c.custom);
    const Matrix4& p = camera.GetProjection();
    EXPECT_NEAR(p[5], 1.0f, 1e-6) << c.mode;
    EXPECT_NEAR(p[0], c.m00, 1e-6) << c.mode;
    EXPECT_FLOAT_EQ(p[10], 101.0f / 100);
    EXPECT_FLOAT_EQ(p[11], 1);
    EXPECT_FLOAT_EQ(p[14], -101.0f / 100);
    EXPECT_FLOAT_EQ(p[15], 0);
  }
  CViewCamera camera(kPi / 2, 1, 101, kAspectStandard, 0);
  camera.GetProjection();
  camera.SetCustomAspect(3.0f);  // a changed aspect rebuilds the projection
  EXPECT_NEAR(camera.GetProjection()[0], 1.0f / 3, 1e-6);
  EXPECT_FALSE(camera.IsWidescreenMode());

  camera.SetOrthographic(8, 4);
  const Matrix4& o = camera.GetProjection();
  EXPECT_FLOAT_EQ(o[0], 0.25f);
  EXPECT_FLOAT_EQ(o[5], 0.5f);
  EXPECT_FLOAT_EQ(o[10], -1.0f / 100);
  EXPECT_FLOAT_EQ(o[14], 101.0f / 100);
  EXPECT_FLOAT_EQ(o[15], 1);
}

TEST(ViewCamera, NewCamerasTakeTheWidescreenFlag) {
  SetWidescreen(true);
  CViewCamera wide(1, 1, 10, kAspectStandard, 0);
  wide.Init(1, 10);
  EXPECT_TRUE(wide.IsWidescreenMode());
  SetWidescreen(false);
  wide.Init(1, 10);
  EXPECT_EQ(wide.GetAspectMode(), kAspectStandard);
}

TEST(ViewCamera, LookAtBuildsTheViewAndApplyHandsItOver) {
  ResetTransforms();
  CViewCamera camera(kPi / 2, 1, 100, kAspectStandard, 0);
  camera.LookAtZUp({1, 2, 3, 1}, {1, 12, 3, 1});
  EXPECT_FLOAT_EQ(camera.GetForward().y, 1);
  EXPECT_FLOAT_EQ(camera.GetRight().x, 1);
  EXPECT_FLOAT_EQ(camera.GetUp().z, 1);
  const Matrix4& view = camera.GetView();
  // The eye lands at the origin; a point ahead of it at +z, one to its right at +x.
  Vector4 ahead{1, 7, 3, 1};
  TransformPoint(&ahead, view);
  EXPECT_NEAR(ahead.x, 0, 1e-5);
  EXPECT_NEAR(ahead.z, 5, 1e-5);
  Vector4 right{3, 2, 3, 1};
  TransformPoint(&right, view);
  EXPECT_NEAR(right.x, 2, 1e-5);

  const uint32_t viewCount = GetMatrixTable().counters[kSlotView];
  const uint32_t projectionCount = GetMatrixTable().counters[kSlotProjection];
  camera.Apply();
  camera.Apply();  // nothing changed, yet both matrices are copied again
  EXPECT_EQ(GetMatrixTable().counters[kSlotView], viewCount + 2);
  EXPECT_EQ(GetMatrixTable().counters[kSlotProjection], projectionCount + 2);
  for (int i = 0; i < 16; ++i) {
    EXPECT_FLOAT_EQ(GetMatrixTable().slots[kSlotView][i], view[i]);
    EXPECT_FLOAT_EQ(GetMatrixTable().slots[kSlotProjection][i], camera.GetProjection()[i]);
  }
}

// Eye at the origin looking down +y with z up; 90 degrees at 1:1, depth 1..100.
struct FrustumTest : ::testing::Test {
  FrustumTest() { camera.LookAtZUp({0, 0, 0, 1}, {0, 1, 0, 1}); }
  CViewCamera camera{kPi / 2, 1, 100, kAspectCustom, 1.0f};
};

TEST_F(FrustumTest, PointsAndSpheres) {
  const struct {
    Vector4 centre;
    float radius;
    bool visible;
  } cases[] = {
      {{0, 10, 0, 1}, 0, true},     {{0, 0.5f, 0, 1}, 0, false},  // before the near plane
      {{0, 101, 0, 1}, 0, false},   {{0, 101, 0, 1}, 2, true},    // past the far plane, reaching back
      {{9, 10, 0, 1}, 0, true},     {{11, 10, 0, 1}, 0, false},   // the right side at x = y
      {{0, 10, -11, 1}, 0, false},  {{-10.5f, 10, 0, 1}, 1, true},  // centre outside the left side, radius reaching in
      {{0, 0.5f, 0, 1}, 1, true},   {{0, -5, 0, 1}, 1, false},
  };
  for (const auto& c : cases) {
    const bool visible = c.radius == 0 ? camera.IsPointInFrustum(c.centre)
                                       : camera.IsSphereInFrustum(c.centre, c.radius);
    EXPECT_EQ(visible, c.visible) << c.centre.x << "," << c.centre.y << "," << c.centre.z << " r " << c.radius;
  }
}

TEST_F(FrustumTest, BoxesStraddlingPlanesAreVisible) {
  const struct {
    Vector4 min, max;
    bool visible;
  } cases[] = {
      {{-1, 9, -1, 1}, {1, 11, 1, 1}, true},
      {{20, 9, -1, 1}, {30, 11, 1, 1}, false},     // wholly right of the view
      {{5, 9, -1, 1}, {30, 11, 1, 1}, true},       // across the right plane
      {{-1, -5, -1, 1}, {1, 0.5f, 1, 1}, false},   // wholly before the near plane
      {{-1, -5, -1, 1}, {1, 5, 1, 1}, true},       // across the near plane
      {{-1, 90, -1, 1}, {1, 200, 1, 1}, true},     // across the far plane
  };
  for (const auto& c : cases) EXPECT_EQ(camera.IsBoxInFrustum(c.min, c.max), c.visible) << c.min.x << " " << c.min.y;
}

TEST_F(FrustumTest, MovingTheCameraMovesThePlanes) {
  EXPECT_TRUE(camera.IsPointInFrustum({0, 10, 0, 1}));
  camera.LookAtZUp({0, 0, 0, 1}, {0, -1, 0, 1});
  EXPECT_FALSE(camera.IsPointInFrustum({0, 10, 0, 1}));
  EXPECT_TRUE(camera.IsPointInFrustum({0, -10, 0, 1}));
  camera.SetFieldOfView(kPi / 4);  // narrower: x = 9 at depth 10 falls outside
  EXPECT_FALSE(camera.IsPointInFrustum({9, -10, 0, 1}));
}

TEST(ViewCamera, OrthographicSidesBoundTheViewBox) {
  CViewCamera camera(1, 1, 100, kAspectStandard, 0);
  camera.SetOrthographic(8, 4);
  camera.LookAtZUp({0, 0, 0, 1}, {0, 1, 0, 1});
  EXPECT_TRUE(camera.IsPointInFrustum({3.9f, 50, 1.9f, 1}));
  EXPECT_FALSE(camera.IsPointInFrustum({4.1f, 50, 0, 1}));
  EXPECT_FALSE(camera.IsPointInFrustum({-4.1f, 50, 0, 1}));
  EXPECT_FALSE(camera.IsPointInFrustum({0, 50, 2.1f, 1}));
  EXPECT_FALSE(camera.IsPointInFrustum({0, 50, -2.1f, 1}));
}

TEST(ViewCamera, CurrentCameraIsForgottenWhenDestroyed) {
  {
    CViewCamera camera(1, 1, 10, kAspectStandard, 0);
    SetCurrentCamera(&camera);
    EXPECT_TRUE(HasCurrentCamera());
    EXPECT_EQ(GetCurrentCamera(), &camera);
  }
  EXPECT_FALSE(HasCurrentCamera());
}

}  // namespace
