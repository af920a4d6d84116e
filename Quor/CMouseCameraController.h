#pragma once
// Free-flight camera controllers for inspecting a scene: while the controller's mouse
// button is held, moving the mouse turns the camera (the cursor is put back where the drag
// started after every update); W/S, A/D and R/F move it along its forward, right and up
// axes, faster with Shift. The orbit-style controller uses the right button; the fly-style
// one the left button, limits each turn to 50 pixels and zooms with Z and X.

#include <cstdint>

#include "Quor/Utils.h"

class CViewCamera;

class CMouseCameraController {
 public:
  virtual ~CMouseCameraController() = default;

  virtual float GetSpeed() const { return m_speed; }
  void SetSpeed(float speed) { m_speed = speed; }
  CViewCamera* GetCamera() const { return m_camera; }

  void Update();

 protected:
  struct SStyle {
    uint8_t button;            // the virtual key of the mouse button that turns
    int32_t turnLimit;         // pixels per update at most; 0 for none
    float shiftFactor;         // the movement factor's multiplier with Shift
    bool zoomKeys;             // Z and X change the field of view
  };
  CMouseCameraController(CViewCamera* camera, float speed, const SStyle& style);

  // The mouse as the controller sees it, in window pixels; tests put their own in place.
  virtual bool IsButtonHeld(uint8_t button) const;
  virtual bool GetCursor(int32_t* x, int32_t* y) const;
  virtual void SetCursor(int32_t x, int32_t y) const;
  virtual bool IsKeyHeld(uint8_t key) const;

 private:
  void Turn(int32_t dx, int32_t dy);
  void Move(const Vector4& axis, float distance);
  void Zoom(float factor);

  CViewCamera* m_camera;
  float m_speed;
  SStyle m_style;
  bool m_started = false;
  float m_lastTime = 0.0f;
  bool m_dragging = false;
  int32_t m_savedCursorX = 0, m_savedCursorY = 0;
};

class COrbitCameraController : public CMouseCameraController {
 public:
  COrbitCameraController(CViewCamera* camera, float speed);
};

class CFlyCameraController : public CMouseCameraController {
 public:
  CFlyCameraController(CViewCamera* camera, float speed);
};
