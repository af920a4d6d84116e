#pragma once
// Coloured 3-D debug lines (world positions under the world-view-projection transform), a
// one-call 3-D line, and a drawable list of 2-D triangles.

#include <cstdint>
#include <vector>

#include "Quor/DrawSubmission.h"
#include "Quor/Utils.h"

struct TextureRecord;

// Colours are four bytes on the 128 scale (see Sprite2D.h).
struct SLineColour {
  uint8_t red, green, blue, alpha;
};

void AddDebugLine(const Vector3& p0, const Vector3& p1, SLineColour colour);
// In the list's current colour (full white at start).
void AddDebugLine(const Vector3& p0, const Vector3& p1);
void SetDebugLineColour(SLineColour colour);
SLineColour GetDebugLineColour();
// Draws the list as a line list and empties it.
void FlushDebugLines();
const CDynArray<SDrawVertex>& GetDebugLines();
void FreeDebugLines();

// Draws one line at once, each end in its own colour (or both in the debug line colour).
void DrawLine3D(const Vector3& p0, const Vector3& p1, SLineColour colour0, SLineColour colour1);
void DrawLine3D(const Vector3& p0, const Vector3& p1);

// Something that draws itself.
class CPrimitive {
 public:
  virtual ~CPrimitive() = default;
  virtual void Draw() = 0;
};

// A list of 2-D triangles drawn with one texture (or none), like the 2-D batch.
class CGPTri2D : public CPrimitive {
 public:
  void SetVertices(const SDrawVertex* vertices, uint32_t count);
  void SetTexture(TextureRecord* texture) { m_texture = texture; }
  uint32_t GetVertexCount() const { return static_cast<uint32_t>(m_vertices.size()); }
  void Draw() override;

 private:
  std::vector<SDrawVertex> m_vertices;
  TextureRecord* m_texture = nullptr;
};
