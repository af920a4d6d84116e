#pragma once
// The view camera: a perspective or orthographic projection and a look-at view, each rebuilt
// only when its inputs changed, and visibility tests against the six frustum planes. One
// camera at a time is the program's current camera.

#include <cstdint>

#include "Quor/Utils.h"

enum ECameraAspectMode : uint32_t { kAspectWide = 0, kAspectStandard = 1, kAspectCustom = 2 };

class CViewCamera {
 public:
  CViewCamera(float fieldOfView, float nearPlane, float farPlane, uint32_t aspectMode,
              float customAspect);
  virtual ~CViewCamera();
  CViewCamera(const CViewCamera&) = delete;
  CViewCamera& operator=(const CViewCamera&) = delete;

  void Init(float nearPlane, float farPlane);

  void SetFieldOfView(float radians);
  float GetFieldOfView() const { return m_fieldOfView; }
  void SetAspect(uint32_t mode, float fieldOfView, float customAspect);
  void SetCustomAspect(float aspect);
  // Width and height of the view box; the projection becomes orthographic.
  void SetOrthographic(float width, float height);
  float GetAspect() const;
  uint32_t GetAspectMode() const { return m_aspectMode; }
  bool IsWidescreenMode() const { return m_aspectMode == kAspectWide; }
  bool IsOrthographic() const { return m_orthographic; }

  void LookAt(const Vector4& eye, const Vector4& target, const Vector4& up);
  void LookAtZUp(const Vector4& eye, const Vector4& target);
  const Vector4& GetPosition() const { return m_position; }
  const Vector4& GetForward() const { return m_forward; }
  const Vector4& GetUp() const { return m_up; }
  const Vector4& GetRight() const { return m_right; }
  const Vector4& GetTarget() const { return m_target; }

  // Rebuilds what changed and copies both matrices into the engine's matrix table.
  void Apply();
  const Matrix4& GetProjection();
  const Matrix4& GetView();

  bool IsPointInFrustum(const Vector4& point);
  bool IsSphereInFrustum(const Vector4& centre, float radius);
  bool IsBoxInFrustum(const Vector4& minCorner, const Vector4& maxCorner);
  // Plane i as (a, b, c, d), facing inward: near, far, top, bottom, left, right.
  const Vector4& GetFrustumPlane(int i);

 private:
  void BuildProjection();
  void BuildView();
  void BuildFrustum();
  float PlaneDistance(int plane, float x, float y, float z) const;

  uint32_t m_aspectMode = kAspectStandard;
  float m_fieldOfView = -1;
  float m_near = 0, m_far = 0;
  float m_orthoWidth = -1, m_orthoHeight = -1;
  float m_customAspect = 0;
  bool m_orthographic = false;
  Vector4 m_position, m_forward, m_up, m_right, m_target;
  Matrix4 m_projection, m_view;
  bool m_projectionChanged = true, m_viewChanged = true, m_frustumChanged = true;
  Vector4 m_cornerRays[4];
  Vector4 m_planes[6];
};

bool HasCurrentCamera();
CViewCamera* GetCurrentCamera();
void SetCurrentCamera(CViewCamera* camera);
