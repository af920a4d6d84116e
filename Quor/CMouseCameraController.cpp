#include "Quor/CMouseCameraController.h"

#include "Platform/InputDevices.h"
#include "Platform/PlatformWindow.h"
#include "Quor/CViewCamera.h"
#include "Quor/DirectX/InputState.h"
#include "Quor/Timer.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kRadiansPerPixel = 0.006f;
constexpr float kFactorPerSecond = 10.0f;
constexpr float kShiftFactor = 10.0f;

Vector4 Scaled(const Vector4& v, float s) { return Vector4{v.x * s, v.y * s, v.z * s, 0.0f}; }

}  // namespace

CMouseCameraController::CMouseCameraController(CViewCamera* camera, float speed, const SStyle& style)
    : m_camera(camera), m_speed(speed), m_style(style) {}

COrbitCameraController::COrbitCameraController(CViewCamera* camera, float speed)
    : CMouseCameraController(camera, speed, SStyle{kVkRButton, 0, kShiftFactor, false}) {}

CFlyCameraController::CFlyCameraController(CViewCamera* camera, float speed)
    : CMouseCameraController(camera, speed, SStyle{kVkLButton, 50, kShiftFactor * kShiftFactor, true}) {}

bool CMouseCameraController::IsButtonHeld(uint8_t button) const {
  uint8_t states[256];
  PlatformGetKeyboardState(states);
  return (states[button] & 0x80) != 0;
}

bool CMouseCameraController::GetCursor(int32_t* x, int32_t* y) const {
  return PlatformGetCursorPosition(PlatformGetMainWindow(), x, y);
}

void CMouseCameraController::SetCursor(int32_t x, int32_t y) const {
  PlatformSetCursorPosition(PlatformGetMainWindow(), x, y);
}

bool CMouseCameraController::IsKeyHeld(uint8_t key) const { return IsKeyAvailable(key); }

void CMouseCameraController::Update() {
  if (!m_camera) return;
  const float now = GetTimeSeconds();
  const float dt = m_started ? now - m_lastTime : 0.0f;
  m_started = true;
  m_lastTime = now;
  const float factor = dt * kFactorPerSecond * (IsKeyHeld(kVkShift) ? m_style.shiftFactor : 1.0f);

  int32_t x = 0, y = 0;
  if (IsButtonHeld(m_style.button) && GetCursor(&x, &y)) {
    if (m_dragging) {
      int32_t dx = x - m_savedCursorX, dy = y - m_savedCursorY;
      if (m_style.turnLimit > 0) {
        dx = std::clamp(dx, -m_style.turnLimit, m_style.turnLimit);
        dy = std::clamp(dy, -m_style.turnLimit, m_style.turnLimit);
      }
      Turn(dx, dy);
      SetCursor(m_savedCursorX, m_savedCursorY);
    } else {
      m_dragging = true;
      m_savedCursorX = x;
      m_savedCursorY = y;
    }
  } else {
    m_dragging = false;
  }

  const float step = GetSpeed() * factor;
  const struct {
    uint8_t plus, minus;
    const Vector4& axis;
  } moves[] = {{'W', 'S', m_camera->GetForward()}, {'D', 'A', m_camera->GetRight()}, {'R', 'F', m_camera->GetUp()}};
  for (const auto& move : moves) {
    if (IsKeyHeld(move.plus)) Move(move.axis, step);
    if (IsKeyHeld(move.minus)) Move(move.axis, -step);
  }
  if (m_style.zoomKeys) {
    if (IsKeyHeld('Z')) Zoom(1.1f);
    if (IsKeyHeld('X')) Zoom(0.9f);
  }
}

// A turn rotates the view direction about the camera's vertical axis (by the horizontal
// offset), then about its horizontal axis (by the vertical offset), keeping the distance
// from eye to target.
void CMouseCameraController::Turn(int32_t dx, int32_t dy) {
  if (dx == 0 && dy == 0) return;
  const Vector4 eye = m_camera->GetPosition();
  const Vector4 target = m_camera->GetTarget();
  Vector4 direction{target.x - eye.x, target.y - eye.y, target.z - eye.z, 0.0f};
  const struct {
    Vector4 axis;
    float angle;
  } turns[] = {{m_camera->GetUp(), -dx * kRadiansPerPixel}, {m_camera->GetRight(), -dy * kRadiansPerPixel}};
  for (const auto& turn : turns) {
    if (turn.angle == 0.0f) continue;
    Vector3 axis{turn.axis.x, turn.axis.y, turn.axis.z};
    Vector3Normalize(&axis);
    Matrix4 rotation;
    MatrixRotationAxis(&rotation, axis, turn.angle);
    TransformPoint(&direction, rotation);
  }
  const Vector4 newTarget{eye.x + direction.x, eye.y + direction.y, eye.z + direction.z, target.w};
  m_camera->LookAtZUp(eye, newTarget);
}

void CMouseCameraController::Move(const Vector4& axis, float distance) {
  const Vector4 offset = Scaled(axis, distance);
  const Vector4& eye = m_camera->GetPosition();
  const Vector4& target = m_camera->GetTarget();
  m_camera->LookAtZUp(Vector4{eye.x + offset.x, eye.y + offset.y, eye.z + offset.z, eye.w},
                      Vector4{target.x + offset.x, target.y + offset.y, target.z + offset.z, target.w});
}

void CMouseCameraController::Zoom(float factor) { m_camera->SetFieldOfView(m_camera->GetFieldOfView() * factor); }
