#pragma once
// The batch slots every concrete shader implements in the same way, for its vertex format,
// and the shader section of its material. Concrete shaders derive from CVertexBatchShader
// (or CShaderSkin for skinned meshes) and add Begin, End and what they bind.

#include "Quor/CShader.h"
#include "Quor/DirectX/CShaderUtilsDx.h"
#include "Quor/DirectX/VertexBatch.h"

class CVertexBatchShader : public CShader {
 public:
  // Reads the shader section of the material from the parser.
  CVertexBatchShader(const char* materialName, uint32_t classCode, EVertexFormat format, CParser& parser,
                     float version);

  SDrawItem* CreateBatch(uint32_t vertexCount, uint32_t primitiveCode) override;
  bool AddVertex(SDrawItem* batch, const SModelVertex& vertex) override;
  void CloseBatch(SDrawItem* batch) override;
  void FreeBatch(SDrawItem* batch) override;
  uint32_t GetVertexCount(const SDrawItem* batch) const override;
  void DrawBatch(SDrawItem* item) override;

  EVertexFormat GetVertexFormat() const { return m_format; }
  const SShaderSection& GetSection() const { return m_section; }

 protected:
  static VertexBatch* AsBatch(SDrawItem* item) { return static_cast<VertexBatch*>(item); }

  EVertexFormat m_format;
  SShaderSection m_section;
};

// Shaders of skinned meshes: their batches carry bone weights and indices.
class CShaderSkin : public CVertexBatchShader {
 public:
  CShaderSkin(const char* materialName, uint32_t classCode, CParser& parser, float version)
      : CVertexBatchShader(materialName, classCode, EVertexFormat::Skinned, parser, version) {}

  // A batch whose vertices name a bone beyond the shader's palette is reported and never
  // drawn: those vertices would read matrices that are not uploaded.
  void CloseBatch(SDrawItem* batch) override;
};
