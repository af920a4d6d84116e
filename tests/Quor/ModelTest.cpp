// Models from BMO files: the counts that change width with the version, the hierarchy,
// the batches per shader and bone set, the model cache, and damaged files reported
// rather than read out of bounds.

#include "Quor/CModel.h"

#include <cstring>

#include "tests/Quor/ModelTestKit.h"
#include "tests/support/ByteWriter.h"

namespace {

using modeltest::BatchOf;
using modeltest::BmoBytes;

SBmoNodeDescription Node(const char* name, int32_t parent = -1, float x = 0.0f) {
  SBmoNodeDescription node;
  node.name = name;
  node.parent = parent;
  node.pivot[0] = x;
  return node;
}

SBmoPartDescription Part(const char* material, std::vector<uint32_t> bones, uint32_t vertices,
                         uint8_t primitive = kPrimitiveList) {
  SBmoPartDescription part;
  part.material = material;
  part.bones = std::move(bones);
  part.primitive = primitive;
  part.vertices.resize(vertices);
  return part;
}

class ModelTest : public modeltest::CModelFixture {
 protected:
  std::unique_ptr<CModel> Load(const SBmoDescription& description) {
    const std::vector<uint8_t> bytes = BmoBytes(description);
    return std::make_unique<CModel>(bytes.data(), bytes.size(), "Models\\test.bmo", "key");
  }
};

TEST(BmoFileTest, CountWidthsAndVertexLayoutFollowTheVersion) {
  struct SCase {
    uint16_t version;
    size_t emptySize;   // one leaf node "A" with one point from 0x202, no part
    size_t vertexSize;  // what one more vertex adds
  };
  // tag 4, version 2, comment 1, node and top counts; node: name 2, pivot 12, (point count 1
  // and a point 16), child count; part count 2.
  const SCase cases[] = {{0x200, 4 + 2 + 1 + 2 + 2 + 16 + 2, 40}, {0x201, 4 + 2 + 1 + 1 + 1 + 15 + 2, 36},
                         {0x202, 4 + 2 + 1 + 1 + 1 + 32 + 2, 36}, {0x203, 4 + 2 + 1 + 4 + 4 + 35 + 2, 36},
                         {0x204, 4 + 2 + 1 + 4 + 4 + 35 + 2, 40}};
  for (const SCase& c : cases) {
    SCOPED_TRACE(c.version);
    SBmoDescription d;
    d.version = c.version;
    d.nodes = {Node("A")};
    d.nodes[0].points = {{1.0f, 2.0f, 3.0f, 4.0f}};
    if (c.version < 0x202) d.nodes[0].points.clear();
    EXPECT_EQ(BmoBytes(d).size(), c.emptySize);

    d.parts = {Part("Crate", {0}, 1)};
    SBmoVertexDescription& v = d.parts[0].vertices[0];
    v.position[0] = 5.0f;
    v.weights[0] = 1.0f;
    v.weights[1] = 0.2f;
    v.colour[0] = 0.0f;
    const std::vector<uint8_t> bytes = BmoBytes(d);
    const size_t headerSize = d.parts[0].material.size() + 1 + 1 + BmoCountSize(c.version) + 1 + (c.version < 0x201 ? 4 : 2);
    EXPECT_EQ(bytes.size(), c.emptySize + headerSize + c.vertexSize);

    SBmoFile file;
    ASSERT_TRUE(ParseBmoFile(bytes.data(), bytes.size(), "m.bmo", file));
    ASSERT_EQ(file.nodes.size(), 1u);
    EXPECT_EQ(file.nodes[0].points.size(), c.version >= 0x202 ? 1u : 0u);
    const SModelVertex& read = file.parts[0].vertices[0];
    EXPECT_FLOAT_EQ(read.position[0], 5.0f);
    EXPECT_FLOAT_EQ(read.weights[1], 51.0f / 255.0f);
    // Only 0x204 stores colours: older vertices stay white.
    EXPECT_EQ(read.colour, c.version >= 0x204 ? 0xFF00FFFFu : 0xFFFFFFFFu);
    // One bone: every slot names it.
    EXPECT_EQ(std::vector<uint8_t>(read.bones, read.bones + 4), std::vector<uint8_t>(4, 0));
    EXPECT_FLOAT_EQ(file.boundsMax.x, 5.0f);
  }
}

TEST(BmoFileTest, HierarchyIsRebuiltFromDepthFirstChildCounts) {
  SBmoDescription d;
  // Root ( A ( B, C ), D ), E
  d.nodes = {Node("Root"), Node("A", 0), Node("B", 1), Node("C", 1), Node("D", 0), Node("E")};
  const std::vector<uint8_t> bytes = BmoBytes(d);
  SBmoFile file;
  ASSERT_TRUE(ParseBmoFile(bytes.data(), bytes.size(), "m.bmo", file));
  std::vector<int32_t> parents;
  for (const SBmoNode& node : file.nodes) parents.push_back(node.parent);
  EXPECT_EQ(parents, (std::vector<int32_t>{-1, 0, 1, 1, 0, -1}));
}

TEST_F(ModelTest, PartsShareABatchWhileTheirBonesStayBelowTheShadersCapacity) {
  SBmoDescription d;
  for (const char* name : {"N0", "N1", "N2", "N3", "N4"}) d.nodes.push_back(Node(name));
  d.parts = {Part("Crate", {3}, 3),    Part("Crate", {1}, 6),     Part("Stone", {0}, 3),
             Part("Crate", {0}, 4, kPrimitiveStrip), Part("Crate", {0, 2}, 3), Part("Skin", {0, 1, 2, 3, 4}, 3)};
  std::unique_ptr<CModel> model = Load(d);
  ASSERT_TRUE(model->IsLoaded());
  // Crate list: {3} + {1} = 2 bones join; + {0, 2} would make 4, not below 4: its own batch.
  ASSERT_EQ(model->GetBatchCount(), 5u);
  const CModelBatch& shared = model->GetBatch(0);
  EXPECT_EQ(shared.bones, (std::vector<uint32_t>{1, 3}));
  EXPECT_EQ(shared.vertexCount, 9u);
  const auto& vertices = BatchOf(shared).vertices;
  ASSERT_EQ(vertices.size(), 9u);
  EXPECT_TRUE(BatchOf(shared).closed);
  // Part 0's only bone (node 3) sits at position 1 of the table, part 1's (node 1) at 0.
  EXPECT_EQ(std::vector<uint8_t>(vertices[0].bones, vertices[0].bones + 4), std::vector<uint8_t>(4, 1));
  EXPECT_EQ(std::vector<uint8_t>(vertices[3].bones, vertices[3].bones + 4), std::vector<uint8_t>(4, 0));

  EXPECT_STREQ(model->GetBatch(1).shader->GetMaterialName(), "Stone");
  EXPECT_EQ(model->GetBatch(2).primitive, uint32_t(kPrimitiveStrip));
  EXPECT_EQ(model->GetBatch(3).bones, (std::vector<uint32_t>{0, 2}));
  // Five bones on a skinned shader: slots 0..3 name the part's first four bones.
  const SModelVertex& skinned = BatchOf(model->GetBatch(4)).vertices[0];
  EXPECT_EQ(std::vector<uint8_t>(skinned.bones, skinned.bones + 4), (std::vector<uint8_t>{0, 1, 2, 3}));

  // One Crate reference per batch: the joined part's was dropped.
  CShader* crate = shared.shader;
  EXPECT_EQ(crate->GetRefCount(), 3u);
  model.reset();
  EXPECT_EQ(m_shaders->FindMaterialByKey("ID$Crate"), nullptr);
  EXPECT_EQ(m_shaders->GetMaterialCount(), 0u);
  EXPECT_TRUE(m_reports.Texts().empty()) << m_reports.All();
}

TEST_F(ModelTest, EveryBoneAVertexNamesLiesWithinTheShadersPalette) {
  SBmoDescription d;
  for (int i = 0; i < 64; ++i) d.nodes.push_back(Node("N"));
  // Bones listed from the highest node down: the bones the vertices use (the first four)
  // sort to the end of the part's set.
  for (uint32_t boneCount : {59u, 60u, 64u}) {
    SCOPED_TRACE(boneCount);
    std::vector<uint32_t> bones;
    for (uint32_t k = 0; k < boneCount; ++k) bones.push_back(63 - k);
    d.parts = {Part("Skin", bones, 3), Part("Cloth", {5, 9}, 3)};
    std::unique_ptr<CModel> model = Load(d);
    ASSERT_TRUE(model->IsLoaded());
    ASSERT_EQ(model->GetBatchCount(), 2u);
    const CModelBatch& batch = model->GetBatch(0);
    EXPECT_LE(batch.bones.size(), 59u);
    for (const SModelVertex& vertex : BatchOf(batch).vertices) {
      for (uint32_t slot = 0; slot < 4; ++slot) {
        ASSERT_LT(vertex.bones[slot], batch.bones.size());
        EXPECT_EQ(batch.bones[vertex.bones[slot]], 63 - slot);
      }
    }
    // A part within the palette keeps its bone set.
    EXPECT_EQ(model->GetBatch(1).bones, (std::vector<uint32_t>{5, 9}));
  }
  EXPECT_TRUE(m_reports.Texts().empty()) << m_reports.All();
}

TEST_F(ModelTest, TheCacheSharesModelsUnderTheirOverridesAndDropsThemAtTheLastRelease) {
  WriteContent("Models/box.bmo", BmoBytes(MakeBoxModel("Crate", 2.0f)));
  auto* cache = new CModelManager("Models");
  g_pModelManager = cache;
  CModel* box = cache->GetModel("box");
  EXPECT_EQ(cache->GetModel("BOX"), box);
  EXPECT_EQ(box->GetRefCount(), 2);
  EXPECT_STREQ(box->GetName(), "Models\\box.bmo");
  EXPECT_FLOAT_EQ(box->GetBoundsMin().x, -1.0f);
  EXPECT_EQ(box->FindNode("box"), 0);

  m_shaders->SetShaderOverride("RecordSkin");
  CModel* skinned = cache->GetModel("box");
  EXPECT_NE(skinned, box);
  EXPECT_STREQ(skinned->GetName(), "Models\\box.bmo|s:RecordSkin");
  m_shaders->SetShaderOverride(nullptr);

  ReleaseModel(box);
  EXPECT_EQ(cache->GetTable().GetCount(), 2u);
  ReleaseModel(box);
  EXPECT_EQ(cache->GetTable().GetCount(), 1u);
  DestroyModelCache(cache);
  EXPECT_EQ(g_pModelManager, nullptr);
  EXPECT_EQ(m_shaders->GetMaterialCount(), 0u);
}

TEST_F(ModelTest, MissingFilesAndWrongTagsAreFatalNewerVersionsAreReported) {
  CModelManager cache("Models");
  EXPECT_EXIT(cache.GetModel("none"), ::testing::ExitedWithCode(3), "Failed to load model from \"Models\\\\none.bmo\"!");
  std::vector<uint8_t> bytes = BmoBytes(MakeBoxModel("Crate", 1.0f));
  bytes[2] = 'X';
  EXPECT_EXIT(CModel(bytes.data(), bytes.size(), "bad.bmo", "k"), ::testing::ExitedWithCode(3),
              "CModel::CModel - \"bad.bmo\" not a BMO file!");
  bytes[2] = 'O';
  bytes[4] = 0x05;
  WriteContent("Models/new.bmo", bytes);
  CModel* model = cache.GetModel("new");
  EXPECT_FALSE(model->IsLoaded());
  EXPECT_EQ(model->GetBatchCount(), 0u);
  ASSERT_EQ(m_reports.Texts().size(), 1u) << m_reports.All();
  EXPECT_EQ(m_reports.Texts()[0], "Model \"Models\\new.bmo\": Unsupported version 2.05");
  EXPECT_EQ(m_shaders->GetMaterialCount(), 0u);
}

// The strip at version 0x204 with an empty comment: where its fields lie.
constexpr size_t kNodeCountAt = 7;
constexpr size_t kPartHeaderAt = 7 + 8 + 2 * (6 + 12 + 1 + 4) + 2;
constexpr size_t kBoneCountAt = kPartHeaderAt + 5;                 // after "Skin"
constexpr size_t kSecondBoneAt = kBoneCountAt + 1 + 4;
constexpr size_t kPrimitiveAt = kBoneCountAt + 1 + 2 * 4;
constexpr size_t kVertexCountAt = kPrimitiveAt + 1;

std::vector<uint8_t> StripBytes() {
  SBmoDescription d = MakeStripModel("Skin", 2.0f);
  d.comment.clear();
  return BmoBytes(d);
}

TEST_F(ModelTest, DamagedFilesAreReportedAndGiveEmptyModels) {
  struct SCase {
    const char* name;
    void (*damage)(std::vector<uint8_t>&);
    const char* reason;
  };
  const SCase cases[] = {
      {"bone beyond the nodes", [](std::vector<uint8_t>& b) { hmtest::StoreU32(b, kSecondBoneAt, 2); },
       "names bone 2 of 2 nodes"},
      {"more nodes than the count", [](std::vector<uint8_t>& b) { hmtest::StoreU32(b, kNodeCountAt, 1); },
       "more nodes than"},
      {"fewer nodes than the count", [](std::vector<uint8_t>& b) { hmtest::StoreU32(b, kNodeCountAt, 3); },
       "fewer nodes than"},
      {"huge node count", [](std::vector<uint8_t>& b) { hmtest::StoreU32(b, kNodeCountAt, 0x7FFFFFFF); }, "nodes"},
      {"unknown primitive", [](std::vector<uint8_t>& b) { b[kPrimitiveAt] = 3; }, "unknown primitive type 3"},
      {"vertex count past the end", [](std::vector<uint8_t>& b) { b[kVertexCountAt + 1] = 0xFF; }, "vertices"},
      {"more bones than the palette", [](std::vector<uint8_t>& b) { b[kBoneCountAt] = 65; },
       "65 bones, more than the bone palette's 64"},
  };
  const std::vector<uint8_t> good = StripBytes();
  ASSERT_EQ(good[kBoneCountAt], 2u);
  ASSERT_EQ(good[kVertexCountAt], 24u);
  for (const SCase& c : cases) {
    SCOPED_TRACE(c.name);
    m_reports.Texts().clear();
    std::vector<uint8_t> bytes = good;
    c.damage(bytes);
    CModel model(bytes.data(), bytes.size(), "Models\\strip.bmo", "k");
    EXPECT_FALSE(model.IsLoaded());
    EXPECT_EQ(model.GetNodeCount(), 0u);
    EXPECT_EQ(model.GetBatchCount(), 0u);
    ASSERT_EQ(m_reports.Texts().size(), 1u) << m_reports.All();
    EXPECT_NE(m_reports.Texts()[0].find("Model \"Models\\strip.bmo\" is damaged"), std::string::npos);
    EXPECT_NE(m_reports.Texts()[0].find(c.reason), std::string::npos) << m_reports.All();
  }
  // Every cut of the file short of its end is reported, never read past.
  for (size_t size = 6; size < good.size(); ++size) {
    SBmoFile file;
    EXPECT_FALSE(ParseBmoFile(good.data(), size, "cut.bmo", file)) << size;
  }
  EXPECT_EQ(m_shaders->GetMaterialCount(), 0u);
}

TEST_F(ModelTest, AHierarchyDeeperThanTheStacksIsReported) {
  SBmoDescription d;
  d.version = 0x203;
  for (int32_t i = 0; i < 4097; ++i) d.nodes.push_back(Node("N", i - 1));
  const std::vector<uint8_t> bytes = BmoBytes(d);
  SBmoFile file;
  EXPECT_FALSE(ParseBmoFile(bytes.data(), bytes.size(), "deep.bmo", file));
  ASSERT_FALSE(m_reports.Texts().empty());
  EXPECT_NE(m_reports.Texts().back().find("deeper than 4096"), std::string::npos);
  d.nodes.pop_back();
  const std::vector<uint8_t> fits = BmoBytes(d);
  EXPECT_TRUE(ParseBmoFile(fits.data(), fits.size(), "deep.bmo", file));
}

}  // namespace
