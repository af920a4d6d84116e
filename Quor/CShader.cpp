#include "Quor/CShader.h"

#include "Quor/RenderPass.h"
#include "Quor/ReportError.h"

namespace {
constexpr const char* kCShaderSource = "Quor/CShaderManager";
}

CShader::CShader(const char* materialName, uint32_t classCode)
    : m_materialName(materialName ? materialName : ""), m_classCode(classCode) {}

bool CShader::IsActiveInPass() const { return GetCurrentRenderPass() == nullptr; }

void CShader::SetOrderBucket(uint32_t bucket) {
  m_orderBucket = bucket < kOrderBucketCount ? bucket : kOrderBucketCount - 1;
}

// The pending collection: the shaders that have queued items, the last one to get its first
// item at the head.
struct SShaderCollection {
  static CShader*& Pending() {
    static CShader* pending = nullptr;
    return pending;
  }

  static void Add(CShader* shader, SDrawItem* item) {
    if (!shader->m_items) {
      shader->m_nextQueued = Pending();
      Pending() = shader;
    }
    item->link = shader->m_items;
    shader->m_items = item;
  }

  // Draws a shader's items in list order and empties its list. A shader that sits this
  // pass out loses its items too, so they cannot pile up unseen into the next frame.
  static void DrawShader(CShader* shader) {
    SDrawItem* item = shader->m_items;
    shader->m_items = nullptr;
    if (!shader->IsActiveInPass()) return;
    shader->Begin();
    while (item) {
      SDrawItem* next = item->link;
      item->link = nullptr;
      shader->DrawBatch(item);
      item = next;
    }
    shader->End();
  }

  static CShader* TakePending() {
    CShader* first = Pending();
    Pending() = nullptr;
    return first;
  }

  static void Render() {
    for (CShader* shader = TakePending(); shader;) {
      CShader* next = shader->m_nextQueued;
      shader->m_nextQueued = nullptr;
      DrawShader(shader);
      shader = next;
    }
  }

  static void RenderSorted() {
    // Each bucket is a stack: a shader moved in later is drawn earlier.
    CShader* buckets[CShader::kOrderBucketCount] = {};
    for (CShader* shader = TakePending(); shader;) {
      CShader* next = shader->m_nextQueued;
      CShader*& bucket = buckets[shader->m_orderBucket];
      shader->m_nextQueued = bucket;
      bucket = shader;
      shader = next;
    }
    for (CShader* bucket : buckets) {
      for (CShader* shader = bucket; shader;) {
        CShader* next = shader->m_nextQueued;
        shader->m_nextQueued = nullptr;
        DrawShader(shader);
        shader = next;
      }
    }
  }
};

void CollectionInit() {
  if (!IsCollectionEmpty())
    HM_FATAL(kCShaderSource, "RenderCollection/RenderSortedCollection was not called after CollectionInit");
}

void AddToCollection(CShader* shader, SDrawItem* item) {
  if (shader && item) SShaderCollection::Add(shader, item);
}

void RenderCollection() { SShaderCollection::Render(); }
void RenderSortedCollection() { SShaderCollection::RenderSorted(); }
bool IsCollectionEmpty() { return SShaderCollection::Pending() == nullptr; }
