// The view camera's matrices and frustum. Matrices are row-major for row vectors; the
// projection maps depth to 0..1 with the camera looking down +forward.
#include "Quor/CViewCamera.h"

#include <cmath>

#include "Quor/Engine.h"
#include "Quor/MatrixTable.h"

namespace {

CViewCamera* g_currentCamera = nullptr;

float Dot(const Vector4& a, const Vector4& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Vector4 Cross(const Vector4& a, const Vector4& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x, 0};
}

Vector4 Normalised(const Vector4& v) {
  const float length = std::sqrt(Dot(v, v));
  if (length <= 0.0001f) return {v.x, v.y, v.z, 0};
  return {v.x / length, v.y / length, v.z / length, 0};
}

// a + s * b, as a direction.
Vector4 AddScaled(const Vector4& a, const Vector4& b, float s) {
  return {a.x + s * b.x, a.y + s * b.y, a.z + s * b.z, 0};
}

// A plane through the eye holding both rays, turned to face the inside ray.
Vector4 SidePlane(const Vector4& rayA, const Vector4& rayB, const Vector4& inside,
                  const Vector4& eye) {
  Vector4 normal = Normalised(Cross(rayA, rayB));
  if (Dot(normal, inside) < 0) normal = {-normal.x, -normal.y, -normal.z, 0};
  return {normal.x, normal.y, normal.z, -Dot(normal, eye)};
}

// The plane with the given inward normal through a point.
Vector4 PlaneThrough(const Vector4& normal, const Vector4& point) {
  return {normal.x, normal.y, normal.z, -Dot(normal, point)};
}

}  // namespace

bool HasCurrentCamera() { return g_currentCamera != nullptr; }
CViewCamera* GetCurrentCamera() { return g_currentCamera; }
void SetCurrentCamera(CViewCamera* camera) { g_currentCamera = camera; }

CViewCamera::CViewCamera(float fieldOfView, float nearPlane, float farPlane, uint32_t aspectMode,
                         float customAspect) {
  Init(nearPlane, farPlane);
  m_fieldOfView = fieldOfView;
  m_aspectMode = aspectMode;
  m_customAspect = customAspect;
}

CViewCamera::~CViewCamera() {
  if (g_currentCamera == this) g_currentCamera = nullptr;
}

void CViewCamera::Init(float nearPlane, float farPlane) {
  m_fieldOfView = -1;
  m_orthoWidth = m_orthoHeight = -1;
  m_orthographic = false;
  m_near = nearPlane;
  m_far = farPlane;
  m_position = {0, 0, 0, 1};
  m_forward = {0, 1, 0, 0};
  m_up = {0, 0, 1, 0};
  m_right = {1, 0, 0, 0};
  m_target = {0, 1, 0, 1};
  m_projectionChanged = m_viewChanged = m_frustumChanged = true;
  m_aspectMode = GetWidescreen() ? kAspectWide : kAspectStandard;
}

void CViewCamera::SetFieldOfView(float radians) {
  m_fieldOfView = radians;
  m_projectionChanged = m_frustumChanged = true;
}

void CViewCamera::SetAspect(uint32_t mode, float fieldOfView, float customAspect) {
  m_aspectMode = mode;
  m_fieldOfView = fieldOfView;
  m_customAspect = customAspect;
  m_orthographic = false;
  m_projectionChanged = m_frustumChanged = true;
}

void CViewCamera::SetCustomAspect(float aspect) {
  m_aspectMode = kAspectCustom;
  m_customAspect = aspect;
  m_projectionChanged = m_frustumChanged = true;
}

void CViewCamera::SetOrthographic(float width, float height) {
  m_orthographic = true;
  m_orthoWidth = width;
  m_orthoHeight = height;
  m_projectionChanged = m_frustumChanged = true;
}

float CViewCamera::GetAspect() const {
  switch (m_aspectMode) {
    case kAspectWide:
      return 1.7777778f;
    case kAspectStandard:
      return 1.3333334f;
    default:
      return m_customAspect;
  }
}

void CViewCamera::LookAt(const Vector4& eye, const Vector4& target, const Vector4& up) {
  m_position = {eye.x, eye.y, eye.z, 1};
  m_target = target;
  m_forward = Normalised({target.x - eye.x, target.y - eye.y, target.z - eye.z, 0});
  m_right = Normalised(Cross(m_forward, up));
  m_up = Cross(m_right, m_forward);
  m_viewChanged = m_frustumChanged = true;
}

void CViewCamera::LookAtZUp(const Vector4& eye, const Vector4& target) {
  LookAt(eye, target, {0, 0, 1, 0});
}

void CViewCamera::BuildProjection() {
  Matrix4& m = m_projection;
  m = Matrix4();
  if (m_orthographic) {
    m[0] = 2 / m_orthoWidth;
    m[5] = 2 / m_orthoHeight;
    m[10] = 1 / (m_near - m_far);
    m[14] = -m_far / (m_near - m_far);
    m[15] = 1;
  } else {
    const float h = 1 / std::tan(m_fieldOfView / 2);
    m[5] = h;
    m[0] = h / GetAspect();
    m[10] = m_far / (m_far - m_near);
    m[11] = 1;
    m[14] = -m_near * m_far / (m_far - m_near);
  }
  m_projectionChanged = false;
}

void CViewCamera::BuildView() {
  Matrix4& m = m_view;
  const Vector4* axes[3] = {&m_right, &m_up, &m_forward};
  for (int column = 0; column < 3; ++column) {
    m[column] = axes[column]->x;
    m[4 + column] = axes[column]->y;
    m[8 + column] = axes[column]->z;
    m[12 + column] = -Dot(m_position, *axes[column]);
  }
  m[3] = m[7] = m[11] = 0;
  m[15] = 1;
  m_viewChanged = false;
}

void CViewCamera::BuildFrustum() {
  const Vector4 nearPoint = AddScaled(m_position, m_forward, m_near);
  const Vector4 farPoint = AddScaled(m_position, m_forward, m_far);
  const Vector4 backward = {-m_forward.x, -m_forward.y, -m_forward.z, 0};
  m_planes[0] = PlaneThrough(m_forward, nearPoint);
  m_planes[1] = PlaneThrough(backward, farPoint);

  if (m_orthographic) {
    // The box of the view's width and height around the view axis.
    const Vector4 down = {-m_up.x, -m_up.y, -m_up.z, 0};
    const Vector4 left = {-m_right.x, -m_right.y, -m_right.z, 0};
    m_planes[2] = PlaneThrough(down, AddScaled(m_position, m_up, m_orthoHeight / 2));
    m_planes[3] = PlaneThrough(m_up, AddScaled(m_position, m_up, -m_orthoHeight / 2));
    m_planes[4] = PlaneThrough(m_right, AddScaled(m_position, m_right, -m_orthoWidth / 2));
    m_planes[5] = PlaneThrough(left, AddScaled(m_position, m_right, m_orthoWidth / 2));
  } else {
    const float t = std::tan(m_fieldOfView / 2);
    const float s = t * GetAspect();
    const Vector4 upper = AddScaled(m_forward, m_up, t), lower = AddScaled(m_forward, m_up, -t);
    m_cornerRays[0] = AddScaled(upper, m_right, -s);
    m_cornerRays[1] = AddScaled(upper, m_right, s);
    m_cornerRays[2] = AddScaled(lower, m_right, -s);
    m_cornerRays[3] = AddScaled(lower, m_right, s);
    m_planes[2] = SidePlane(m_cornerRays[0], m_cornerRays[1], m_forward, m_position);  // top
    m_planes[3] = SidePlane(m_cornerRays[2], m_cornerRays[3], m_forward, m_position);  // bottom
    m_planes[4] = SidePlane(m_cornerRays[0], m_cornerRays[2], m_forward, m_position);  // left
    m_planes[5] = SidePlane(m_cornerRays[1], m_cornerRays[3], m_forward, m_position);  // right
  }
  m_frustumChanged = false;
}

const Matrix4& CViewCamera::GetProjection() {
  if (m_projectionChanged) BuildProjection();
  return m_projection;
}

const Matrix4& CViewCamera::GetView() {
  if (m_viewChanged) BuildView();
  return m_view;
}

void CViewCamera::Apply() {
  SetProjection(GetProjection());
  SetView(GetView());
}

const Vector4& CViewCamera::GetFrustumPlane(int i) {
  if (m_frustumChanged) BuildFrustum();
  return m_planes[i];
}

float CViewCamera::PlaneDistance(int plane, float x, float y, float z) const {
  const Vector4& p = m_planes[plane];
  return p.x * x + p.y * y + p.z * z + p.w;
}

bool CViewCamera::IsPointInFrustum(const Vector4& point) {
  return IsSphereInFrustum(point, 0);
}

bool CViewCamera::IsSphereInFrustum(const Vector4& centre, float radius) {
  if (m_frustumChanged) BuildFrustum();
  for (int plane = 0; plane < 6; ++plane) {
    if (PlaneDistance(plane, centre.x, centre.y, centre.z) < -radius) return false;
  }
  return true;
}

bool CViewCamera::IsBoxInFrustum(const Vector4& minCorner, const Vector4& maxCorner) {
  if (m_frustumChanged) BuildFrustum();
  for (int plane = 0; plane < 6; ++plane) {
    bool anyInside = false;
    for (int corner = 0; corner < 8 && !anyInside; ++corner) {
      const float x = corner & 1 ? maxCorner.x : minCorner.x;
      const float y = corner & 2 ? maxCorner.y : minCorner.y;
      const float z = corner & 4 ? maxCorner.z : minCorner.z;
      anyInside = PlaneDistance(plane, x, y, z) >= 0;
    }
    if (!anyInside) return false;
  }
  return true;
}
