// Scene files: positions by version (floats, then quantised with offset and scale),
// normals by version and flag, patch bounds in world units, the value grid, and damaged
// files reported.

#include "Quor/CScene.h"

#include "tests/Quor/ModelTestKit.h"

namespace {

using modeltest::CRecordingShader;

std::vector<uint8_t> BscBytes(const SBscDescription& description) {
  std::vector<uint8_t> bytes;
  std::string error;
  EXPECT_TRUE(WriteBsc(description, bytes, error)) << error;
  return bytes;
}

SBscVertexDescription Vertex(float x, float y, float z) {
  SBscVertexDescription v;
  v.position[0] = x;
  v.position[1] = y;
  v.position[2] = z;
  v.normal[0] = 1.0f;
  return v;
}

// One patch of one "Stone" batch with the given vertices, a 2 x 3 grid of one layer.
SBscDescription Scene(uint16_t version, uint32_t flags, std::vector<SBscVertexDescription> vertices) {
  SBscDescription d;
  d.version = version;
  d.flags = flags;
  d.offset[0] = 10.0f;
  d.scale[0] = 0.5f;
  d.patches = {{SBscBatchDescription{"Stone", std::move(vertices)}}};
  if (version >= 0x101) {
    d.gridLayers = 1;
    d.gridRows = 2;
    d.gridColumns = 3;
    d.gridValues = {1, 2, 3, 4, -5, 6};
  }
  return d;
}

class SceneTest : public modeltest::CModelFixture {
 protected:
  STerrainData* Load(const SBscDescription& description) {
    const std::vector<uint8_t> bytes = BscBytes(description);
    STerrainData* data = nullptr;
    EXPECT_TRUE(CScene::Load(bytes.data(), bytes.size(), "Scenes\\test.bsc", &data));
    return data;
  }
  static const CRecordingShader::SBatch& Batch(const STerrainData* data) {
    return *static_cast<const CRecordingShader::SBatch*>(data->terrain.patches[0].parts[0].batch);
  }
};

TEST_F(SceneTest, PositionsAndNormalsFollowTheVersion) {
  struct SCase {
    uint16_t version;
    uint32_t flags;
    float fileX;         // what the file stores for x
    float storedX;       // what the batch receives
    bool normals;
    float scaleX;
  };
  const SCase cases[] = {
      {0x101, 0, 2048.0f, 0.5f, true, 4096.0f},                        // floats / 4096, no offset or scale
      {0x102, 0, 65535.0f, (65535 * 0.0625f - 2048) / 4096, true, 0.5f * 65536},
      {0x104, 0, 0.0f, -0.5f, false, 0.5f * 65536},                    // flag clear: no normals
      {0x105, 1, 32768.0f, 0.0f, true, 0.5f * 65536},
  };
  for (const SCase& c : cases) {
    SCOPED_TRACE(c.version);
    STerrainData* data = Load(Scene(c.version, c.flags, {Vertex(c.fileX, 0, 0), Vertex(0, 0, 0), Vertex(0, 0, 0)}));
    ASSERT_NE(data, nullptr);
    const SModelVertex& v = Batch(data).vertices[0];
    EXPECT_FLOAT_EQ(v.position[0], c.storedX);
    EXPECT_FLOAT_EQ(v.normal[0], c.normals ? 1.0f : 0.0f);
    EXPECT_FLOAT_EQ(data->terrain.scale.x, c.scaleX);
    EXPECT_EQ(Batch(data).primitive, 2u);
    EXPECT_EQ(data->gridRows, 2u);
    DeleteTerrainData(data);
  }
  EXPECT_EQ(m_shaders->GetMaterialCount(), 0u);
}

TEST_F(SceneTest, QuantisedBoundsLandAtOffsetPlusQuantaTimesScale) {
  STerrainData* data = Load(Scene(0x105, 1, {Vertex(0, 0, 0), Vertex(65535, 4, 0), Vertex(100, 0, 0)}));
  const STerrainPatch& patch = data->terrain.patches[0];
  EXPECT_FLOAT_EQ(patch.boxMin.x, 10.0f);
  EXPECT_NEAR(patch.boxMax.x, 10.0f + 65535 * 0.5f, 1e-2f);
  EXPECT_FLOAT_EQ(patch.boxMax.y, 4.0f);
  DeleteTerrainData(data);
}

TEST_F(SceneTest, GridValuesAreFoundByRowColumnAndLayer) {
  STerrainData* data = Load(Scene(0x105, 1, {}));
  float value = 99.0f;
  EXPECT_TRUE(data->GetGridValue(1, 2, 0, &value));
  EXPECT_FLOAT_EQ(value, 6.0f);
  EXPECT_TRUE(data->GetGridValue(0, 1, 0, &value));
  EXPECT_FLOAT_EQ(value, 2.0f);
  EXPECT_FLOAT_EQ(data->lowestGridValue, -5.0f);
  value = 99.0f;
  EXPECT_FALSE(data->GetGridValue(2, 0, 0, &value));
  EXPECT_FALSE(data->GetGridValue(0, 3, 0, &value));
  EXPECT_FALSE(data->GetGridValue(0, 0, 1, &value));
  EXPECT_FLOAT_EQ(value, 99.0f);
  DeleteTerrainData(data);
}

TEST_F(SceneTest, DamagedFilesAndNewerVersionsAreReportedWrongTagsAreFatal) {
  const std::vector<uint8_t> good = BscBytes(Scene(0x105, 1, {Vertex(1, 2, 3), Vertex(0, 0, 0), Vertex(0, 0, 0)}));
  for (size_t size = 6; size < good.size(); ++size) {
    STerrainData* data = reinterpret_cast<STerrainData*>(1);
    EXPECT_FALSE(CScene::Load(good.data(), size, "cut.bsc", &data)) << size;
    EXPECT_EQ(data, nullptr);
  }
  // A grid that claims 255 x 65535 x 65535 values is refused before anything is allocated.
  std::vector<uint8_t> huge = good;
  const size_t gridAt = huge.size() - 6 * 4 - 16 - 5;
  huge[gridAt] = 0xFF;
  for (size_t i = 1; i < 5; ++i) huge[gridAt + i] = 0xFF;
  SBscFile file;
  EXPECT_FALSE(ParseBscFile(huge.data(), huge.size(), "huge.bsc", file));
  EXPECT_NE(m_reports.Texts().back().find("Scene \"huge.bsc\" is damaged: grid values"), std::string::npos)
      << m_reports.All();
  EXPECT_EQ(m_shaders->GetMaterialCount(), 0u);

  std::vector<uint8_t> bytes = good;
  bytes[0] = 'X';
  EXPECT_EXIT(ParseBscFile(bytes.data(), bytes.size(), "x.bsc", file), ::testing::ExitedWithCode(3),
              "Wrong scene file format \"x.bsc\".");
  bytes = good;
  bytes[4] = 0x06;
  WriteContent("Scenes/new.bsc", bytes);
  m_reports.Texts().clear();
  STerrainData* data = reinterpret_cast<STerrainData*>(1);
  EXPECT_FALSE(CScene::Load("Scenes\\new.bsc", &data));
  EXPECT_EQ(data, nullptr);
  ASSERT_EQ(m_reports.Texts().size(), 1u) << m_reports.All();
  EXPECT_EQ(m_reports.Texts()[0], "Scene \"Scenes\\new.bsc\": Unsupported version 1.06");
  EXPECT_EQ(m_shaders->GetMaterialCount(), 0u);
  EXPECT_EXIT(CScene::Load("Scenes\\none.bsc", &data), ::testing::ExitedWithCode(3),
              "Failed init scene with file \"Scenes\\\\none.bsc\".");
}

}  // namespace
