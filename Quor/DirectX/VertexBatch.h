#pragma once
// Vertex batches: a shader's CPU copy of a mesh, converted from model vertices into the
// shader's vertex format, then moved into a GPU vertex buffer (a device resource) when closed.
// Also the vertex formats' declarations, a declaration shared by all instances of a class,
// and the dynamic vertex buffers of the particle renderer.

#include <cstdint>
#include <vector>

#include "Platform/GraphicsTypes.h"
#include "Quor/CShader.h"

class CResource_VertexBuffer;
class CResource_VertexDeclaration;
struct STexCoordTransform;

// A model's vertex as it is handed to AddVertex.
struct SModelVertex {
  float position[4];  // x, y, z; the fourth is not read
  float normal[4];    // x, y, z; the fourth is not read
  float weights[4];
  uint8_t bones[4];
  uint32_t colour;    // 0xAARRGGBB
  float u, v;
};

enum class EVertexFormat : uint8_t {
  Textured,   // 28 bytes: position, u' v', colour (opaque), face-normal colour
  Skinned,    // 36 bytes: position, u v, colour, normal bytes, weight bytes, bone indices
  Screen,     // 24 bytes: position, u' v', colour (opaque)
  Projected,  // 24 bytes: position, colour (opaque), u' v'
};
uint32_t VertexFormatSize(EVertexFormat format);

struct VertexBatch : SDrawItem {
  EVertexFormat format = EVertexFormat::Textured;
  uint32_t vertexCount = 0;           // the capacity given at creation
  std::vector<uint8_t> vertices;      // the CPU copy until the batch is closed
  uint32_t primitiveType = 0;
  CResource_VertexBuffer* buffer = nullptr;  // made when the batch is closed
  uint32_t added = 0;
  uint32_t boneCount = 0;             // skinned: the highest bone index used, + 1 once closed
  uint32_t primitiveCount = 0;        // what DrawVertexBatch draws
};

VertexBatch* CreateVertexBatch(EVertexFormat format, uint32_t vertexCount, uint32_t primitiveCode);
// False (reported) when the batch is full or already closed: nothing is written past it.
bool AddBatchVertex(VertexBatch* batch, const SModelVertex& vertex, const STexCoordTransform& transform);
void CloseVertexBatch(VertexBatch* batch);
void FreeVertexBatch(VertexBatch* batch);
// Binds the batch's buffer as stream 0; false when the batch has not been closed.
bool BindVertexBatch(const VertexBatch* batch);
// Binds and draws (nothing for an unclosed batch or one without a whole primitive).
void DrawVertexBatch(const VertexBatch* batch);

// Declarations of the formats (with their end marks).
extern const SGfxVertexElement kTexturedElements[];
extern const SGfxVertexElement kTexturedCasterElements[];
extern const SGfxVertexElement kSkinnedElements[];
extern const SGfxVertexElement kSkinnedCasterElements[];
extern const SGfxVertexElement kScreenElements[];
// The projected format has no declaration: XYZ | DIFFUSE | TEX1.
static constexpr uint32_t kProjectedFvf = 0x142;

// A declaration shared by every live instance of a shader class: made with the first
// instance, destroyed with the last.
class CSharedDeclaration {
 public:
  explicit CSharedDeclaration(const SGfxVertexElement* elements) : m_elements(elements) {}
  void Acquire();
  void Release();
  CResource_VertexDeclaration* Get() const { return m_declaration; }
  uint32_t GetUsers() const { return m_users; }

 private:
  const SGfxVertexElement* m_elements;
  CResource_VertexDeclaration* m_declaration = nullptr;
  uint32_t m_users = 0;
};

// Dynamic vertex buffers of 24-byte draw vertices, written through Lock and Unlock.
struct DynamicVertexBuffer {
  uint32_t capacity = 0;
  bool locked = false;
  CResource_VertexBuffer* resource = nullptr;
};
DynamicVertexBuffer* CreateVertexBuffer(uint32_t capacity);
void FreeVertexBuffer(DynamicVertexBuffer* buffer);
// The whole buffer's data, or null when the device cannot lock it.
void* LockVertexBuffer(DynamicVertexBuffer* buffer);
void UnlockVertexBuffer(DynamicVertexBuffer* buffer);
// Draws the first vertexCount vertices as a triangle list through the draw layer's program.
void DrawVertexBuffer(DynamicVertexBuffer* buffer, uint32_t vertexCount);
