// Materials through the shader manager (fall-back to Default, its fatal cases, overrides and
// sharing), the draw collections with their order buckets, the terrain draw and the lights.

#include "Quor/CShaderManager.h"

#include <cstring>
#include <memory>

#include "Quor/CParser.h"
#include "Quor/MatrixTable.h"
#include "tests/Quor/VfsTestKit.h"

namespace {

// Records what the manager and the collections ask of it.
class CRecordingShader : public CShader {
 public:
  CRecordingShader(const char* name, CParser& parser) : CShader(name, 99) {
    m_label = parser.ReadWord();
    SetOrderBucket(static_cast<uint32_t>(ParseIntC(parser.ReadWord())));
  }
  SDrawItem* CreateBatch(uint32_t, uint32_t) override { return new SItem; }
  bool AddVertex(SDrawItem*, const SModelVertex&) override { return true; }
  void CloseBatch(SDrawItem*) override {}
  void FreeBatch(SDrawItem* batch) override {
    ++Freed();
    delete static_cast<SItem*>(batch);
  }
  uint32_t GetVertexCount(const SDrawItem*) const override { return 0; }
  void Begin() override { Log() += "<" + m_label; }
  void DrawBatch(SDrawItem* item) override { Log() += " " + std::to_string(static_cast<SItem*>(item)->id); }
  void End() override { Log() += ">"; }

  struct SItem : SDrawItem {
    int id = 0;
  };
  static std::string& Log() {
    static std::string log;
    return log;
  }
  static int& Freed() {
    static int freed = 0;
    return freed;
  }
  const std::string& Label() const { return m_label; }

 private:
  std::string m_label;
};

CShader* MakeRecording(const char* name, CParser& parser, float) { return new CRecordingShader(name, parser); }

// A material file: the label and the bucket are what the recording shader reads.
std::string Material(const char* kind, const char* label, int bucket = 7) {
  return std::string("MAT\r\n1.0\r\n\"about\"\r\n") + kind + "\r\n" + label + " " + std::to_string(bucket) + "\r\n";
}

class ShaderManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteMaterial("Default", Material("Flat", "default"));
    m_vfs = std::make_unique<CVFS>((m_folder + "/Content").c_str());
    g_pVFS = m_vfs.get();
    m_manager = std::make_unique<CShaderManager>("Mats");
    m_manager->RegisterShaderKind("Flat", MakeRecording);
    m_manager->RegisterShaderKind("Plain", MakeRecording);
    m_manager->RegisterShaderKind("Skinned", MakeRecording);
    CRecordingShader::Log().clear();
  }
  void TearDown() override {
    m_manager.reset();
    g_pVFS = nullptr;
  }

  void WriteMaterial(const std::string& name, const std::string& text) const {
    vfstest::WriteBytes(m_folder + "/Content/Mats/" + name + ".mat", vfstest::Text(text));
  }

  static const std::string& LabelOf(CShader* shader) { return static_cast<CRecordingShader*>(shader)->Label(); }

  vfstest::ArchiveFlag m_plain{false};
  std::string m_folder = vfstest::MakeTempFolder();
  std::unique_ptr<CVFS> m_vfs;
  std::unique_ptr<CShaderManager> m_manager;
  vfstest::ReportCapture m_reports;
};

TEST_F(ShaderManagerTest, MaterialsAreSharedByNameAndDeletedWithTheLastRelease) {
  WriteMaterial("Rock", Material("Flat", "rock"));
  CShader* rock = m_manager->GetMaterial("Rock");
  EXPECT_EQ(LabelOf(rock), "rock");
  EXPECT_STRCASEEQ(rock->GetKindName(), "Flat");
  EXPECT_STREQ(rock->GetMaterialName(), "Rock");
  EXPECT_EQ(m_manager->GetMaterial("ROCK"), rock);
  EXPECT_EQ(rock->GetRefCount(), 2u);
  m_manager->ReleaseMaterial(rock);
  m_manager->ReleaseMaterial(rock);
  EXPECT_EQ(m_manager->GetMaterialCount(), 0u);
  EXPECT_TRUE(m_reports.Texts().empty()) << m_reports.All();
}

TEST_F(ShaderManagerTest, MissingOrUnknownKindMaterialsFallBackToDefaultAndAreReported) {
  WriteMaterial("Odd", Material("NoSuchKind", "odd"));
  CShader* missing = m_manager->GetMaterial("Rock");
  EXPECT_EQ(LabelOf(missing), "default");
  CShader* odd = m_manager->GetMaterial("Odd");
  EXPECT_EQ(odd, missing);
  EXPECT_EQ(missing->GetRefCount(), 2u);
  ASSERT_EQ(m_reports.Texts().size(), 2u);
  EXPECT_NE(m_reports.Texts()[0].find("\"Rock\" not found"), std::string::npos) << m_reports.All();
  EXPECT_NE(m_reports.Texts()[1].find("\"Odd\" names an unknown shader kind"), std::string::npos);
}

TEST_F(ShaderManagerTest, DefaultThatCannotBeLoadedIsFatal) {
  EXPECT_EXIT(m_manager->GetMaterial("Menu$Default"), ::testing::ExitedWithCode(3), "Default.mat not found!");
  WriteMaterial("Odd", "TAM 1.0\r\n");
  EXPECT_EXIT(m_manager->GetMaterial("Odd"), ::testing::ExitedWithCode(3), "Mats\\\\Odd.mat not a MAT file");
  // A Default of an unknown kind would ask for itself for ever.
  WriteMaterial("Default", Material("NoSuchKind", "default"));
  EXPECT_EXIT(m_manager->GetMaterial("Rock"), ::testing::ExitedWithCode(3), "unknown shader kind \"NoSuchKind\"");
  std::filesystem::remove(m_folder + "/Content/Mats/Default.mat");
  EXPECT_EXIT(m_manager->GetMaterial("Rock"), ::testing::ExitedWithCode(3), "Default.mat not found!");
  // A damaged material falling back to the missing default is named with it.
  WriteMaterial("Odd", Material("NoSuchKind", "odd"));
  EXPECT_EXIT(m_manager->GetMaterial("Odd"), ::testing::ExitedWithCode(3),
              "Default.mat not found, named by \"Mats.Odd.mat\"!");
}

TEST_F(ShaderManagerTest, OverridesChangeKindsAndKeepTheirMaterialsApart) {
  WriteMaterial("Body", Material("Skinned", "body"));
  m_manager->SetShaderOverride("Plain");
  CShader* overridden = m_manager->GetMaterial("Body");
  EXPECT_STRCASEEQ(overridden->GetKindName(), "Plain");
  EXPECT_EQ(m_manager->FindMaterialByKey("ID$Body:Plain"), overridden);
  char key[CShaderManager::kKeyCapacity];
  m_manager->BuildOverrideKey(key);
  EXPECT_STREQ(key, "|s:Plain");

  m_manager->SetShaderOverride(nullptr);
  CShader* plain = m_manager->GetMaterial("Body");
  EXPECT_NE(plain, overridden);
  EXPECT_STRCASEEQ(plain->GetKindName(), "Skinned");

  m_manager->AddShaderSubstitution("skinned", "Flat");
  m_manager->AddShaderSubstitution("Plain", "Flat");
  m_manager->SetMaterialOverride("Default");
  m_manager->BuildOverrideKey(key);
  EXPECT_STREQ(key, "|m:Default|s:skinned-Flat|s:Plain-Flat");
  EXPECT_EQ(LabelOf(m_manager->GetMaterial("Body")), "default");
  m_manager->SetMaterialOverride(nullptr);
  WriteMaterial("Arm", Material("Skinned", "arm"));
  EXPECT_STRCASEEQ(m_manager->GetMaterial("Arm")->GetKindName(), "Flat");
}

class CollectionTest : public ShaderManagerTest {
 protected:
  CShader* Load(const char* name, int bucket) {
    WriteMaterial(name, Material("Flat", name, bucket));
    return m_manager->GetMaterial(name);
  }
  CRecordingShader::SItem* Item(int id) {
    m_items.push_back(std::make_unique<CRecordingShader::SItem>());
    m_items.back()->id = id;
    return m_items.back().get();
  }
  std::vector<std::unique_ptr<CRecordingShader::SItem>> m_items;
};

TEST_F(CollectionTest, ItemsDrawLastQueuedFirstAndBucketsInOrder) {
  CShader* a = Load("a", 7);
  CShader* b = Load("b", 3);
  CShader* c = Load("c", 7);
  CShader* d = Load("d", 3);
  CollectionInit();
  AddToCollection(a, Item(1));
  AddToCollection(b, Item(2));
  AddToCollection(a, Item(3));
  AddToCollection(c, Item(4));
  AddToCollection(d, Item(5));
  RenderSortedCollection();
  // Bucket 3 before bucket 7; in a bucket the shader moved in last is drawn first.
  EXPECT_EQ(CRecordingShader::Log(), "<b 2><d 5><a 3 1><c 4>");
  EXPECT_TRUE(IsCollectionEmpty());

  CRecordingShader::Log().clear();
  AddToCollection(b, Item(6));
  AddToCollection(a, Item(7));
  AddToCollection(a, Item(8));
  RenderCollection();
  EXPECT_EQ(CRecordingShader::Log(), "<a 8 7><b 6>");

  AddToCollection(a, Item(9));
  EXPECT_EXIT(CollectionInit(), ::testing::ExitedWithCode(3),
              "RenderCollection/RenderSortedCollection was not called after CollectionInit");
  RenderCollection();
}

TEST_F(CollectionTest, TerrainSetsItsWorldAndDrawsEveryPatchSorted) {
  STerrain terrain;
  terrain.position = {10, 20, 30};
  terrain.scale = {2, 4, 8};
  terrain.patches.resize(2);
  terrain.patches[0].parts = {{Load("ground", 5), Item(1)}, {Load("sky", 1), Item(2)}};
  terrain.patches[1].parts = {{Load("ground", 5), Item(3)}};
  RenderTerrain(terrain);
  EXPECT_EQ(CRecordingShader::Log(), "<sky 2><ground 3 1>");

  // A point p lands at (p + 0.5) scaled, plus the position.
  Vector4 corner{1, 1, 1, 1};
  TransformPoint(&corner, *GetWorld(nullptr));
  EXPECT_FLOAT_EQ(corner.x, 13);
  EXPECT_FLOAT_EQ(corner.y, 26);
  EXPECT_FLOAT_EQ(corner.z, 42);

  // Freeing the parts frees their batches and releases their materials.
  CRecordingShader::Freed() = 0;
  for (auto& patch : terrain.patches) {
    for (auto& part : patch.parts) part.batch = part.shader->CreateBatch(3, 2);
    FreePatchParts(&patch);
  }
  EXPECT_EQ(CRecordingShader::Freed(), 3);
  EXPECT_EQ(m_manager->GetMaterialCount(), 0u);
}

TEST(ShaderLights, DirectionsAreNormalisedAndColoursClamped) {
  InitLights();
  EXPECT_FLOAT_EQ(GetLightDirection(0)->y, -1);
  EXPECT_FLOAT_EQ(GetAmbientColor()->w, 1);
  const float direction[4] = {3, 0, 4, 0};
  SetLightDirection(1, direction);
  EXPECT_FLOAT_EQ(GetLightDirection(1)->x, 0.6f);
  EXPECT_FLOAT_EQ(GetLightDirection(1)->z, 0.8f);
  SetLightColor(0, -0.5f, 0.25f, 3);
  const Vector4 colour = *GetLightColor(0);
  EXPECT_EQ(colour.x, 0);
  EXPECT_EQ(colour.y, 0.25f);
  EXPECT_EQ(colour.z, 1);
  EXPECT_EQ(colour.w, 1);
  SetAmbientLevel(0.5f);
  SetAmbientColor(2, 0.5f, -1);
  EXPECT_EQ(GetAmbientColor()->x, 1);
  EXPECT_EQ(GetAmbientColor()->z, 0);
  EXPECT_EQ(GetAmbientColor()->w, 0.5f);
  EXPECT_EQ(GetLightDirection(2), nullptr);
}

}  // namespace
