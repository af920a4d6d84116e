#include "Common/Render/Primitives/CTriangle2D.h"

#include "Common/Render/Primitives/Sprite2D.h"

namespace {

constexpr uint32_t kGrowStep = 4;
constexpr uint32_t kFirstRoom = 4;

struct SDebugLines {
  SLineColour colour = {200, 128, 128, 128};  // every channel full
  CDynArray<SDrawVertex> vertices{kGrowStep};
};
SDebugLines g_lines;

uint32_t Pack(SLineColour c) { return PackHalfScaleColour(c.red, c.green, c.blue, c.alpha); }

// Untextured, under the world-view-projection transform: the points are world positions.
void PrepareLineDraw() {
  InvalidateDrawState();
  SetDrawTexture(nullptr);
  SetDrawScreenSpace(false);
}

}  // namespace

void AddDebugLine(const Vector3& p0, const Vector3& p1, SLineColour colour) {
  const uint32_t packed = Pack(colour);
  g_lines.vertices.Add({p0.x, p0.y, p0.z, packed, 0, 0});
  g_lines.vertices.Add({p1.x, p1.y, p1.z, packed, 0, 0});
}

void AddDebugLine(const Vector3& p0, const Vector3& p1) { AddDebugLine(p0, p1, g_lines.colour); }

void SetDebugLineColour(SLineColour colour) { g_lines.colour = colour; }
SLineColour GetDebugLineColour() { return g_lines.colour; }

void FlushDebugLines() {
  const uint32_t count = g_lines.vertices.GetCount();
  if (count == 0) return;
  PrepareLineDraw();
  DrawUserPrimitives(g_lines.vertices.GetData(), kDrawLineList, count);
  g_lines.vertices.Clear();
  if (g_lines.vertices.GetCapacity() == 0) g_lines.vertices.Reserve(kFirstRoom);
}

const CDynArray<SDrawVertex>& GetDebugLines() { return g_lines.vertices; }
void FreeDebugLines() { g_lines.vertices.Free(); }

void DrawLine3D(const Vector3& p0, const Vector3& p1, SLineColour colour0, SLineColour colour1) {
  const SDrawVertex line[2] = {{p0.x, p0.y, p0.z, Pack(colour0), 0, 0}, {p1.x, p1.y, p1.z, Pack(colour1), 0, 0}};
  PrepareLineDraw();
  DrawUserPrimitives(line, kDrawLineList, 2);
}

void DrawLine3D(const Vector3& p0, const Vector3& p1) { DrawLine3D(p0, p1, g_lines.colour, g_lines.colour); }

void CGPTri2D::SetVertices(const SDrawVertex* vertices, uint32_t count) {
  m_vertices.assign(vertices, vertices + count);
}

void CGPTri2D::Draw() {
  if (m_vertices.empty()) return;
  InvalidateDrawState();
  SetDrawTexture(m_texture);
  SetDrawScreenSpace(true);
  SetDrawAddressModes(GetPrimitiveAddressMode(), GetPrimitiveAddressMode());
  DrawUserPrimitives(m_vertices.data(), kDrawTriangleList, static_cast<uint32_t>(m_vertices.size()));
}
