#include "Quor/DirectX/CVertexBatchShader.h"

CVertexBatchShader::CVertexBatchShader(const char* materialName, uint32_t classCode, EVertexFormat format,
                                       CParser& parser, float version)
    : CShader(materialName, classCode), m_format(format) {
  ReadShaderSection(parser, version, &m_section);
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
