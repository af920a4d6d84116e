// The mouse camera controllers: moves by key with the time since the last update, turns by
// dragging with the cursor put back, the fly style's turn limit and zoom keys.

#include "Quor/CMouseCameraController.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "Platform/InputDevices.h"
#include "Quor/CViewCamera.h"
#include "Quor/Timer.h"
#include "tests/support/engine/FakeClock.h"

namespace {

// A controller whose mouse and keys are the test's.
template <class TController>
class CScripted : public TController {
 public:
  using TController::TController;
  std::set<uint8_t> held;
  int32_t cursorX = 100, cursorY = 100;
  std::vector<std::pair<int32_t, int32_t>> placed;

 protected:
  bool IsButtonHeld(uint8_t button) const override { return held.count(button) != 0; }
  bool GetCursor(int32_t* x, int32_t* y) const override {
    *x = cursorX;
    *y = cursorY;
    return true;
  }
  void SetCursor(int32_t x, int32_t y) const override { const_cast<CScripted*>(this)->placed.emplace_back(x, y); }
  bool IsKeyHeld(uint8_t key) const override { return held.count(key) != 0; }
};

class MouseCameraTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitTimer();
    m_camera.LookAtZUp(Vector4{0, 0, 0, 0}, Vector4{10, 0, 0, 0});  // looking along +x
  }
  static void Advance(float seconds) { hmtest::FakeNow() += static_cast<uint64_t>(seconds * 1e6); }

  hmtest::CFakeTimerClock m_clock;

  CViewCamera m_camera{0.8f, 1.0f, 100.0f, kAspectStandard, 0.0f};
};

TEST_F(MouseCameraTest, KeysMoveEyeAndTargetBySpeedTimesElapsedTimeTimesTen) {
  struct SCase {
    uint8_t key;
    bool shift;
    Vector3 eye;
  };
  // Speed 2, 0.1 s: factor 1, or 10 with Shift (100 for the fly style's Shift).
  const SCase cases[] = {{'W', false, {2, 0, 0}}, {'S', false, {-2, 0, 0}}, {'R', false, {0, 0, 2}},
                         {'F', true, {0, 0, -20}}};
  for (const SCase& c : cases) {
    SCOPED_TRACE(c.key);
    m_camera.LookAtZUp(Vector4{0, 0, 0, 0}, Vector4{10, 0, 0, 0});
    CScripted<COrbitCameraController> orbit(&m_camera, 2.0f);
    orbit.Update();  // the first update only starts the clock
    orbit.held = {c.key};
    if (c.shift) orbit.held.insert(kVkShift);
    Advance(0.1f);
    orbit.Update();
    EXPECT_NEAR(m_camera.GetPosition().x, c.eye.x, 1e-3f);
    EXPECT_NEAR(m_camera.GetPosition().z, c.eye.z, 1e-3f);
    EXPECT_NEAR(m_camera.GetTarget().x - m_camera.GetPosition().x, 10.0f, 1e-3f);
  }
  // A and D move along the right axis, whichever way it points.
  m_camera.LookAtZUp(Vector4{0, 0, 0, 0}, Vector4{10, 0, 0, 0});
  CScripted<CFlyCameraController> fly(&m_camera, 1.0f);
  fly.Update();
  fly.held = {'D', kVkShift};
  Advance(0.1f);
  fly.Update();
  const Vector4& right = m_camera.GetRight();
  EXPECT_NEAR(m_camera.GetPosition().x * right.x + m_camera.GetPosition().y * right.y, 100.0f, 1e-2f);
}

TEST_F(MouseCameraTest, DraggingTurnsAboutTheEyeAndPutsTheCursorBack) {
  CScripted<COrbitCameraController> orbit(&m_camera, 1.0f);
  orbit.held = {kVkRButton};
  orbit.Update();  // the drag starts here
  EXPECT_TRUE(orbit.placed.empty());
  const float quarter = 3.14159265f / 2 / 0.006f;  // pixels for a quarter turn
  orbit.cursorX = 100 + static_cast<int32_t>(std::lround(quarter));
  orbit.Update();
  ASSERT_EQ(orbit.placed.size(), 1u);
  EXPECT_EQ(orbit.placed[0], std::make_pair(100, 100));
  const Vector4& forward = m_camera.GetForward();
  EXPECT_NEAR(std::fabs(forward.y), 1.0f, 1e-2f);  // a quarter turn about the vertical
  EXPECT_NEAR(forward.z, 0.0f, 1e-3f);
  EXPECT_FLOAT_EQ(m_camera.GetPosition().x, 0.0f);
  const Vector4& target = m_camera.GetTarget();
  EXPECT_NEAR(std::sqrt(target.x * target.x + target.y * target.y), 10.0f, 1e-3f);

  // Released: no turn, no cursor placing.
  orbit.held.clear();
  orbit.cursorX += 40;
  orbit.Update();
  EXPECT_EQ(orbit.placed.size(), 1u);
}

TEST_F(MouseCameraTest, TheFlyStyleLimitsEachTurnAndZooms) {
  CScripted<CFlyCameraController> fly(&m_camera, 1.0f);
  fly.held = {kVkLButton};
  fly.Update();
  fly.cursorY = 100 + 400;  // far more than 50 pixels
  fly.Update();
  // At most 50 pixels: 0.3 radians of pitch.
  EXPECT_NEAR(std::fabs(std::asin(m_camera.GetForward().z)), 0.3f, 1e-3f);
  // The orbit style's button does nothing here.
  fly.held = {kVkRButton, 'Z'};
  fly.Update();
  EXPECT_NEAR(m_camera.GetFieldOfView(), 0.88f, 1e-5f);
  fly.held = {'X'};
  fly.Update();
  EXPECT_NEAR(m_camera.GetFieldOfView(), 0.792f, 1e-5f);
}

}  // namespace
