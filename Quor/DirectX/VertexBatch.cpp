#include "Quor/DirectX/VertexBatch.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "Platform/GraphicsDevice.h"
#include "Quor/DirectX/CD3DDeviceResources.h"
#include "Quor/DirectX/CShaderUtilsDx.h"
#include "Quor/DirectX/D3DDeviceAccess.h"
#include "Quor/DrawSubmission.h"
#include "Quor/Engine.h"
#include "Quor/ReportError.h"
#include "Quor/Utils.h"

namespace {

constexpr const char* kVertexBatchSource = "Quor/DirectX/VertexBatch";
constexpr uint32_t kOpaque = 0xFF000000u;
constexpr uint32_t kDrawVertexSize = 24;
constexpr float kMinNormalLength = 0.0001f;

// Appends values to a vertex in place.
class CVertexWriter {
 public:
  explicit CVertexWriter(uint8_t* at) : m_at(at) {}
  template <class T>
  CVertexWriter& Put(const T& value) {
    std::memcpy(m_at, &value, sizeof value);
    m_at += sizeof value;
    return *this;
  }
  CVertexWriter& Floats(const float* values, size_t count) {
    std::memcpy(m_at, values, count * sizeof(float));
    m_at += count * sizeof(float);
    return *this;
  }

 private:
  uint8_t* m_at;
};

uint8_t NormalByte(float n) { return static_cast<uint8_t>(static_cast<int>(n * 127.5f + 127.5f)); }
uint8_t WeightByte(float w) { return static_cast<uint8_t>(static_cast<int>(w * 255.0f)); }

void WriteVertex(VertexBatch* batch, uint8_t* at, const SModelVertex& vertex, const STexCoordTransform& transform) {
  CVertexWriter out(at);
  float u = vertex.u, v = vertex.v;
  if (batch->format != EVertexFormat::Skinned) transform.Apply(vertex.u, vertex.v, &u, &v);
  out.Floats(vertex.position, 3);
  switch (batch->format) {
    case EVertexFormat::Textured:
      out.Put(u).Put(v).Put(vertex.colour | kOpaque).Put(uint32_t{0});
      break;
    case EVertexFormat::Screen:
      out.Put(u).Put(v).Put(vertex.colour | kOpaque);
      break;
    case EVertexFormat::Projected:
      out.Put(vertex.colour | kOpaque).Put(u).Put(v);
      break;
    case EVertexFormat::Skinned: {
      const uint8_t normal[4] = {NormalByte(vertex.normal[0]), NormalByte(vertex.normal[1]),
                                 NormalByte(vertex.normal[2]), 0};
      const uint8_t weights[4] = {WeightByte(vertex.weights[0]), WeightByte(vertex.weights[1]),
                                  WeightByte(vertex.weights[2]), WeightByte(vertex.weights[3])};
      out.Put(u).Put(v).Put(vertex.colour).Put(normal).Put(weights).Put(vertex.bones);
      const uint32_t highest = *std::max_element(vertex.bones, vertex.bones + 4);
      batch->boneCount = std::max(batch->boneCount, highest);
      break;
    }
  }
}

Vector3 PositionAt(const uint8_t* vertex) {
  Vector3 p;
  std::memcpy(&p, vertex, sizeof p);
  return p;
}

Vector3 Difference(const Vector3& a, const Vector3& b, float scale) {
  return {(a.x - b.x) * scale, (a.y - b.y) * scale, (a.z - b.z) * scale};
}

// The vertices of the batch's triangle `index`, in drawing order: a strip turns every
// other triangle around so that all of them face the same way.
void TriangleCorners(uint32_t primitiveType, uint32_t index, uint32_t corners[3]) {
  switch (primitiveType) {
    case GFX_PT_TRIANGLESTRIP:
      corners[0] = index + (index & 1);
      corners[1] = index + 1 - (index & 1);
      corners[2] = index + 2;
      break;
    case GFX_PT_TRIANGLEFAN:
      corners[0] = 0;
      corners[1] = index + 1;
      corners[2] = index + 2;
      break;
    default:
      corners[0] = 3 * index;
      corners[1] = 3 * index + 1;
      corners[2] = 3 * index + 2;
      break;
  }
}

// Every triangle's vertices get the triangle's face normal as a colour in their last word;
// a vertex that strips or fans share keeps the normal of the last triangle it belongs to.
void WriteFaceNormals(VertexBatch* batch) {
  const uint32_t size = VertexFormatSize(batch->format);
  const uint32_t triangles = TriangleCount(batch->primitiveType, batch->vertexCount);
  for (uint32_t triangle = 0; triangle < triangles; ++triangle) {
    uint32_t corners[3];
    TriangleCorners(batch->primitiveType, triangle, corners);
    uint8_t* v[3];
    for (int i = 0; i < 3; ++i) v[i] = &batch->vertices[corners[i] * size];
    const Vector3 p0 = PositionAt(v[0]), p1 = PositionAt(v[1]), p2 = PositionAt(v[2]);
    const Vector3 a = Difference(p2, p1, 256.0f), b = Difference(p1, p0, 256.0f);
    Vector3 n{b.y * a.z - b.z * a.y, b.z * a.x - b.x * a.z, b.x * a.y - b.y * a.x};
    const float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    if (length > kMinNormalLength) n = {n.x / length, n.y / length, n.z / length};
    const uint32_t colour = ColorToD3D(0.5f * n.x + 0.5f, 0.5f * n.y + 0.5f, 0.5f * n.z + 0.5f, 0.0f);
    for (uint8_t* vertex : v) std::memcpy(vertex + size - 4, &colour, 4);
  }
}

// A draw refused for another reason than a lost device (brought back by the frame service).
void ReportFailedDraw(uint32_t result, uint32_t primitives) {
  if (IsDeviceFailure(result))
    HM_REPORT(kVertexBatchSource, "Drawing %u primitives failed (0x%08X)", primitives, result);
}

}  // namespace

uint32_t VertexFormatSize(EVertexFormat format) {
  switch (format) {
    case EVertexFormat::Textured: return 28;
    case EVertexFormat::Skinned: return 36;
    case EVertexFormat::Screen:
    case EVertexFormat::Projected: return 24;
  }
  return 0;
}

VertexBatch* CreateVertexBatch(EVertexFormat format, uint32_t vertexCount, uint32_t primitiveCode) {
  auto* batch = new VertexBatch;
  batch->format = format;
  batch->primitiveType = ToD3DPrimitiveType(primitiveCode);
  batch->vertexCount = vertexCount;
  batch->vertices.assign(static_cast<size_t>(vertexCount) * VertexFormatSize(format), 0);
  return batch;
}

bool AddBatchVertex(VertexBatch* batch, const SModelVertex& vertex, const STexCoordTransform& transform) {
  if (batch->buffer || batch->added >= batch->vertexCount) {
    HM_REPORT(kVertexBatchSource, "Vertex %u refused: the batch holds %u vertices%s", batch->added + 1,
              batch->vertexCount, batch->buffer ? " and is closed" : "");
    return false;
  }
  WriteVertex(batch, &batch->vertices[batch->added * VertexFormatSize(batch->format)], vertex, transform);
  ++batch->added;
  return true;
}

void CloseVertexBatch(VertexBatch* batch) {
  if (batch->buffer) return;
  uint32_t length = batch->vertexCount * VertexFormatSize(batch->format);
  uint32_t fvf = 0;
  batch->primitiveCount = TriangleCount(batch->primitiveType, batch->vertexCount);
  switch (batch->format) {
    case EVertexFormat::Textured:
      WriteFaceNormals(batch);
      break;
    case EVertexFormat::Skinned:
      ++batch->boneCount;
      break;
    case EVertexFormat::Projected:
      // Only what was added goes to the device, and that many whole triangles are drawn.
      length = batch->added * VertexFormatSize(batch->format);
      fvf = kProjectedFvf;
      batch->primitiveCount = TriangleCount(batch->primitiveType, batch->added);
      break;
    case EVertexFormat::Screen:
      break;
  }
  if (length > 0) batch->buffer = CreateVertexBufferResource(batch->vertices.data(), fvf, length);
  batch->vertices.clear();
  batch->vertices.shrink_to_fit();
}

void FreeVertexBatch(VertexBatch* batch) {
  if (!batch) return;
  if (batch->buffer) DestroyDeviceResource(batch->buffer);
  delete batch;
}

bool BindVertexBatch(const VertexBatch* batch) {
  CGfxDevice* device = GetD3DDevice();
  if (!device || !batch->buffer || !batch->buffer->Get()) return false;
  CDeviceStates(*device).SetStreamSource(0, batch->buffer->Get(), 0, VertexFormatSize(batch->format));
  return true;
}

void DrawVertexBatch(const VertexBatch* batch) {
  if (batch->primitiveCount == 0 || !BindVertexBatch(batch)) return;
  ReportFailedDraw(GetD3DDevice()->DrawPrimitive(batch->primitiveType, 0, batch->primitiveCount),
                   batch->primitiveCount);
}

const SGfxVertexElement kTexturedElements[] = {
    {0, 0, GFX_DECLTYPE_FLOAT3, 0, GFX_DECLUSAGE_POSITION, 0},
    {0, 12, GFX_DECLTYPE_FLOAT2, 0, GFX_DECLUSAGE_TEXCOORD, 0},
    {0, 20, GFX_DECLTYPE_D3DCOLOR, 0, GFX_DECLUSAGE_COLOR, 0},
    {0, 24, GFX_DECLTYPE_D3DCOLOR, 0, GFX_DECLUSAGE_COLOR, 1},
    GFX_DECL_END(),
};
const SGfxVertexElement kTexturedCasterElements[] = {
    {0, 0, GFX_DECLTYPE_FLOAT3, 0, GFX_DECLUSAGE_POSITION, 0},
    {0, 12, GFX_DECLTYPE_FLOAT2, 0, GFX_DECLUSAGE_TEXCOORD, 0},
    GFX_DECL_END(),
};
const SGfxVertexElement kSkinnedElements[] = {
    {0, 0, GFX_DECLTYPE_FLOAT3, 0, GFX_DECLUSAGE_POSITION, 0},
    {0, 12, GFX_DECLTYPE_FLOAT2, 0, GFX_DECLUSAGE_TEXCOORD, 0},
    {0, 20, GFX_DECLTYPE_D3DCOLOR, 0, GFX_DECLUSAGE_COLOR, 0},
    {0, 24, GFX_DECLTYPE_UBYTE4N, 0, GFX_DECLUSAGE_NORMAL, 0},
    {0, 28, GFX_DECLTYPE_UBYTE4N, 0, GFX_DECLUSAGE_TEXCOORD, 1},
    {0, 32, GFX_DECLTYPE_UBYTE4, 0, GFX_DECLUSAGE_TEXCOORD, 2},
    GFX_DECL_END(),
};
const SGfxVertexElement kSkinnedCasterElements[] = {
    {0, 0, GFX_DECLTYPE_FLOAT3, 0, GFX_DECLUSAGE_POSITION, 0},
    {0, 12, GFX_DECLTYPE_FLOAT2, 0, GFX_DECLUSAGE_TEXCOORD, 0},
    {0, 28, GFX_DECLTYPE_UBYTE4N, 0, GFX_DECLUSAGE_TEXCOORD, 1},
    {0, 32, GFX_DECLTYPE_UBYTE4, 0, GFX_DECLUSAGE_TEXCOORD, 2},
    GFX_DECL_END(),
};
const SGfxVertexElement kScreenElements[] = {
    {0, 0, GFX_DECLTYPE_FLOAT3, 0, GFX_DECLUSAGE_POSITION, 0},
    {0, 12, GFX_DECLTYPE_FLOAT2, 0, GFX_DECLUSAGE_TEXCOORD, 0},
    {0, 20, GFX_DECLTYPE_D3DCOLOR, 0, GFX_DECLUSAGE_COLOR, 0},
    GFX_DECL_END(),
};

void CSharedDeclaration::Acquire() {
  if (m_users++ == 0) m_declaration = CreateVertexDeclarationResource(m_elements);
}

void CSharedDeclaration::Release() {
  if (m_users == 0) return;
  if (--m_users == 0 && m_declaration) {
    DestroyDeviceResource(m_declaration);
    m_declaration = nullptr;
  }
}

DynamicVertexBuffer* CreateVertexBuffer(uint32_t capacity) {
  auto* buffer = new DynamicVertexBuffer;
  buffer->capacity = capacity;
  buffer->resource = CreateVertexBufferResource(nullptr, 0, capacity * kDrawVertexSize);
  if (!buffer->resource) {  // the device refused it (reported)
    delete buffer;
    return nullptr;
  }
  return buffer;
}

void FreeVertexBuffer(DynamicVertexBuffer* buffer) {
  if (!buffer) return;
  if (buffer->resource) DestroyDeviceResource(buffer->resource);
  delete buffer;
}

void* LockVertexBuffer(DynamicVertexBuffer* buffer) {
  void* data = nullptr;
  if (!buffer->resource->Get() || !GfxSucceeded(buffer->resource->Get()->Lock(0, 0, &data, 0))) return nullptr;
  buffer->locked = true;
  return data;
}

void UnlockVertexBuffer(DynamicVertexBuffer* buffer) {
  if (buffer->locked && buffer->resource->Get()) buffer->resource->Get()->Unlock();
  buffer->locked = false;
}

void DrawVertexBuffer(DynamicVertexBuffer* buffer, uint32_t vertexCount) {
  CGfxDevice* device = GetD3DDevice();
  if (!device || !buffer || !buffer->resource->Get()) return;
  uint32_t count = std::min(vertexCount, buffer->capacity);
  const uint32_t type = SetupDrawCall(kDrawTriangleList, &count);
  if (count == 0) return;
  CDeviceStates states(*device);
  if (CResource_VertexDeclaration* declaration = GetDrawVertexDeclaration())
    states.SetVertexDeclaration(declaration->Get());
  states.SetStreamSource(0, buffer->resource->Get(), 0, kDrawVertexSize);
  ReportFailedDraw(device->DrawPrimitive(type, 0, count), count / 3);
}
