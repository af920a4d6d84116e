#pragma once
// Models: static or skinned meshes loaded from "BMO " files. A model holds a hierarchy of
// named nodes (bones) and draw batches, each a vertex batch of one material's shader with
// the list of nodes whose matrices it needs. Models are shared through the model cache
// (CModelManager) and counted by their holders.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Quor/CModelNode.h"
#include "Quor/DirectX/VertexBatch.h"
#include "Quor/ModelFormat.h"

class CShader;

// The matrix table's free slots that carry the bone palette: no batch can use more bones.
constexpr uint32_t kBonePaletteSlots = 64;

// What a BMO file holds, before the parts become batches.
struct SBmoNode {
  std::string name;
  Vector3 pivot;
  std::vector<Vector4> points;
  int32_t parent = -1;  // index of an earlier node, -1 for a top-level node
};

struct SBmoPart {
  std::string material;
  std::vector<uint32_t> bones;  // node indices
  uint8_t primitive = kPrimitiveList;
  // Each vertex's bone slots name the part's own bones (0..3, limited to the bone count).
  std::vector<SModelVertex> vertices;
};

struct SBmoFile {
  uint16_t version = 0;
  std::string comment;
  std::vector<SBmoNode> nodes;
  std::vector<SBmoPart> parts;
  Vector3 boundsMin{3.4028235e38f, 3.4028235e38f, 3.4028235e38f};
  Vector3 boundsMax{-3.4028235e38f, -3.4028235e38f, -3.4028235e38f};
};

// Reads a BMO file's bytes. A wrong tag is fatal; a version newer than the reader knows
// or a damaged file (counts, indices or sizes that do not fit the file) is reported naming
// it and gives false with `out` empty.
bool ParseBmoFile(const uint8_t* bytes, size_t size, const char* fileName, SBmoFile& out);

// The default vertex before the file's values are read in.
SModelVertex DefaultModelVertex();

struct CModelBatch {
  CShader* shader = nullptr;
  SDrawItem* batch = nullptr;
  std::vector<uint32_t> bones;  // node indices, ascending; a vertex's bone slot indexes this
  uint32_t primitive = 0;
  uint32_t vertexCount = 0;
};

class CModel {
 public:
  // Loads the file through the file system; the key is the name the cache keeps it under.
  // A missing file or a wrong tag is fatal; an unknown version or a damaged file is
  // reported and gives an empty model.
  CModel(const char* path, const char* key);
  // A model from bytes already in memory (an unreadable file gives an empty model).
  CModel(const uint8_t* bytes, size_t size, const char* fileName, const char* key);
  ~CModel();
  CModel(const CModel&) = delete;
  CModel& operator=(const CModel&) = delete;

  int32_t GetRefCount() const { return m_refCount; }
  int32_t AddRef() { return ++m_refCount; }
  int32_t DropRef() { return --m_refCount; }
  const char* GetName() const { return m_name.c_str(); }
  bool IsLoaded() const { return m_loaded; }

  uint32_t GetNodeCount() const { return static_cast<uint32_t>(m_nodes.size()); }
  CModelNode* GetNode(uint32_t index) { return index < m_nodes.size() ? &m_nodes[index] : nullptr; }
  const CModelNode* GetNode(uint32_t index) const { return index < m_nodes.size() ? &m_nodes[index] : nullptr; }
  // The index of the first node of that name (any case), or -1.
  int32_t FindNode(const char* name) const;
  uint32_t GetBatchCount() const { return static_cast<uint32_t>(m_batches.size()); }
  const CModelBatch& GetBatch(uint32_t index) const { return m_batches[index]; }
  const Vector4& GetBoundsMin() const { return m_boundsMin; }
  const Vector4& GetBoundsMax() const { return m_boundsMax; }

 private:
  void Build(SBmoFile& file);
  void BuildNodes(const SBmoFile& file);
  void BuildBatches(SBmoFile& file);

  int32_t m_refCount = 1;
  Vector4 m_boundsMin{3.4028235e38f, 3.4028235e38f, 3.4028235e38f, 0.0f};
  Vector4 m_boundsMax{-3.4028235e38f, -3.4028235e38f, -3.4028235e38f, 0.0f};
  // Never resized once built: render objects and animators keep node addresses.
  std::vector<CModelNode> m_nodes;
  std::vector<CModelBatch> m_batches;
  std::string m_name;
  bool m_loaded = false;
};

// Drops one reference; at 0 the model leaves the program's model cache and is destroyed.
void ReleaseModel(CModel* model);
