#pragma once
// Helpers for the model, scene and render-object tests: a content folder read through the
// file system, a shader manager whose kinds record what is built and drawn, and files made
// with modeltool's writers.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Quor/CModel.h"
#include "Quor/CModelManager.h"
#include "Quor/CParser.h"
#include "Quor/CShaderManager.h"
#include "Quor/CVFS.h"
#include "tests/Quor/VfsTestKit.h"
#include "tools/modeltool/MeshWriters.h"

namespace modeltest {

// Keeps the vertices handed to its batches and logs Begin, DrawBatch and End. Kind
// "RecordPlain" takes 4 bones a batch, kind "RecordSkin" 59, like the engine's plain and
// skinned shaders.
class CRecordingShader : public CShader {
 public:
  struct SBatch : SDrawItem {
    uint32_t capacity = 0;
    uint32_t primitive = 0;
    bool closed = false;
    std::vector<SModelVertex> vertices;
  };

  CRecordingShader(const char* name, uint32_t bones) : CShader(name, 98), m_bones(bones) {}
  SDrawItem* CreateBatch(uint32_t vertexCount, uint32_t primitiveCode) override {
    auto* batch = new SBatch;
    batch->capacity = vertexCount;
    batch->primitive = primitiveCode;
    return batch;
  }
  bool AddVertex(SDrawItem* batch, const SModelVertex& vertex) override {
    auto* b = static_cast<SBatch*>(batch);
    if (b->closed || b->vertices.size() >= b->capacity) return false;
    b->vertices.push_back(vertex);
    return true;
  }
  void CloseBatch(SDrawItem* batch) override { static_cast<SBatch*>(batch)->closed = true; }
  void FreeBatch(SDrawItem* batch) override { delete static_cast<SBatch*>(batch); }
  uint32_t GetVertexCount(const SDrawItem* batch) const override {
    return static_cast<uint32_t>(static_cast<const SBatch*>(batch)->vertices.size());
  }
  uint32_t GetBonePaletteSize() const override { return m_bones; }
  void Begin() override { Log() += "<" + std::string(GetMaterialName()); }
  void DrawBatch(SDrawItem* item) override { Log() += " " + std::to_string(static_cast<SBatch*>(item)->vertices.size()); }
  void End() override { Log() += ">"; }

  static std::string& Log() {
    static std::string log;
    return log;
  }

 private:
  uint32_t m_bones;
};

inline CShader* MakePlain(const char* name, CParser&, float) { return new CRecordingShader(name, 4); }
inline CShader* MakeSkinned(const char* name, CParser&, float) { return new CRecordingShader(name, 59); }

inline const CRecordingShader::SBatch& BatchOf(const CModelBatch& batch) {
  return *static_cast<const CRecordingShader::SBatch*>(batch.batch);
}

inline std::vector<uint8_t> BmoBytes(const SBmoDescription& description) {
  std::vector<uint8_t> bytes;
  std::string error;
  EXPECT_TRUE(WriteBmo(description, bytes, error)) << error;
  return bytes;
}

class CModelFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"Default", "Crate", "Stone"}) WriteMaterial(name, "RecordPlain");
    for (const char* name : {"Skin", "Cloth"}) WriteMaterial(name, "RecordSkin");
    m_vfs = std::make_unique<CVFS>((m_folder + "/Content").c_str());
    g_pVFS = m_vfs.get();
    m_shaders = std::make_unique<CShaderManager>("Mats");
    m_shaders->RegisterShaderKind("RecordPlain", MakePlain);
    m_shaders->RegisterShaderKind("RecordSkin", MakeSkinned);
    CRecordingShader::Log().clear();
  }
  void TearDown() override {
    m_shaders.reset();
    g_pVFS = nullptr;
  }

  void WriteMaterial(const std::string& name, const std::string& kind) const {
    vfstest::WriteBytes(m_folder + "/Content/Mats/" + name + ".mat",
                        vfstest::Text("MAT\r\n1.0\r\n\"about\"\r\n" + kind + "\r\n"));
  }
  void WriteContent(const std::string& name, const std::vector<uint8_t>& bytes) const {
    vfstest::WriteBytes(m_folder + "/Content/" + name, bytes);
  }

  vfstest::ArchiveFlag m_plain{false};
  std::string m_folder = vfstest::MakeTempFolder();
  std::unique_ptr<CVFS> m_vfs;
  std::unique_ptr<CShaderManager> m_shaders;
  vfstest::ReportCapture m_reports;
};

}  // namespace modeltest
