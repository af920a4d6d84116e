#pragma once
// The base of every drawable surface's shader. A material is a CShader configured by a
// ".mat" file and shared by name with a reference count (CShaderManager). Shaders build
// vertex batches and draw the items queued on them between Begin and End.

#include <cstdint>
#include <string>

// Anything queued for drawing on a shader: its first word links it into the shader's list.
struct SDrawItem {
  SDrawItem* link = nullptr;
};

struct SModelVertex;

class CShader {
 public:
  static constexpr uint32_t kOrderBucketCount = 16;
  static constexpr uint32_t kDefaultOrderBucket = 7;

  CShader(const char* materialName, uint32_t classCode);
  virtual ~CShader() = default;
  CShader(const CShader&) = delete;
  CShader& operator=(const CShader&) = delete;

  // Vertex batches: created for a vertex count and a primitive code (0 strip, 1 fan, 2 list),
  // filled with exactly that many vertices, closed once, drawn, freed by their creator.
  virtual SDrawItem* CreateBatch(uint32_t vertexCount, uint32_t primitiveCode) = 0;
  // False (reported) when the batch is already full or closed.
  virtual bool AddVertex(SDrawItem* batch, const SModelVertex& vertex) = 0;
  virtual void CloseBatch(SDrawItem* batch) = 0;
  virtual void FreeBatch(SDrawItem* batch) = 0;
  virtual uint32_t GetVertexCount(const SDrawItem* batch) const = 0;
  virtual uint32_t GetBonePaletteSize() const { return 4; }
  // Called before the queued items are drawn, and after them.
  virtual void Begin() = 0;
  virtual void DrawBatch(SDrawItem* item) = 0;
  virtual void End() = 0;
  // Whether the shader draws in the current render pass: by default only when no pass is
  // current (the engine itself never starts one).
  virtual bool IsActiveInPass() const;

  uint32_t GetRefCount() const { return m_refCount; }
  uint32_t AddRef() { return ++m_refCount; }
  uint32_t DropRef() { return --m_refCount; }
  const char* GetMaterialName() const { return m_materialName.c_str(); }
  const char* GetKindName() const { return m_kindName; }
  void SetKindName(const char* kind) { m_kindName = kind; }
  uint32_t GetClassCode() const { return m_classCode; }
  uint32_t GetOrderBucket() const { return m_orderBucket; }
  // Buckets beyond the last are drawn in the last one.
  void SetOrderBucket(uint32_t bucket);

 private:
  friend struct SShaderCollection;
  uint32_t m_refCount = 1;
  SDrawItem* m_items = nullptr;       // queued items, the last queued first
  CShader* m_nextQueued = nullptr;    // next shader in the pending collection or a bucket
  uint32_t m_orderBucket = kDefaultOrderBucket;
  std::string m_materialName;
  const char* m_kindName = nullptr;   // the kind table's key
  uint32_t m_classCode;
};

// The per-frame draw collection: items are queued on their shaders, and the shaders that
// have items are drawn in one pass, either in list order or by order bucket (0 first).
// Between frames the collection is empty.
void CollectionInit();
void AddToCollection(CShader* shader, SDrawItem* item);
void RenderCollection();
void RenderSortedCollection();
bool IsCollectionEmpty();
