#include "Quor/DirectX/CVertexBatchShader.h"

#include "Quor/ReportError.h"

CVertexBatchShader::CVertexBatchShader(const char* materialName, uint32_t classCode, EVertexFormat format,
                                       CParser& parser, float version)
    : CShader(materialName, classCode), m_format(format) {
  if (!ReadShaderSection(parser, version, &m_section)) {
    HM_REPORT("Quor/DirectX/CVertexBatchShader",
              "Material \"%s\": its lines end in a bare line feed instead of CR LF, so its shader section "
              "cannot be read; it draws with wrap addressing, point filtering and plain texture coordinates",
              materialName);
  }
}

SDrawItem* CVertexBatchShader::CreateBatch(uint32_t vertexCount, uint32_t primitiveCode) {
  return CreateVertexBatch(m_format, vertexCount, primitiveCode);
}

bool CVertexBatchShader::AddVertex(SDrawItem* batch, const SModelVertex& vertex) {
  return AddBatchVertex(AsBatch(batch), vertex, m_section.transform);
}

void CVertexBatchShader::CloseBatch(SDrawItem* batch) { CloseVertexBatch(AsBatch(batch)); }
void CVertexBatchShader::FreeBatch(SDrawItem* batch) { FreeVertexBatch(AsBatch(batch)); }

uint32_t CVertexBatchShader::GetVertexCount(const SDrawItem* batch) const {
  return static_cast<const VertexBatch*>(batch)->vertexCount;
}

void CVertexBatchShader::DrawBatch(SDrawItem* item) { DrawVertexBatch(AsBatch(item)); }

void CShaderSkin::CloseBatch(SDrawItem* item) {
  VertexBatch* batch = AsBatch(item);
  const bool wasOpen = batch->buffer == nullptr;
  CVertexBatchShader::CloseBatch(item);
  if (!wasOpen || batch->boneCount <= GetBonePaletteSize()) return;
  HM_REPORT("Quor/DirectX/CVertexBatchShader",
            "Material \"%s\": a batch names bone %u, beyond the %u bones of the palette; it is not drawn",
            GetMaterialName(), batch->boneCount - 1, GetBonePaletteSize());
  batch->primitiveCount = 0;
}
