// The shader section of materials, vertex batches in every format, and a batch drawn through
// an effect by a material's shader and read back from the device.

#include "Quor/DirectX/VertexBatch.h"

#include <cstring>

#include "Platform/GraphicsCapture.h"
#include "Quor/CParser.h"
#include "Quor/CShaderManager.h"
#include "Quor/DirectX/CVertexBatchShader.h"
#include "tests/Quor/DirectX/ShaderTestKit.h"

using namespace shadertest;

namespace {

std::string Section(const char* version, const char* u, const char* v, const char* extra = "Bias 0.5\r\n") {
  std::string text = std::string("Texture \"Art\\Rock.mpt\"\r\n") + (std::strcmp(version, "1.0") ? extra : "");
  return text + "AddressU " + u + "\r\nAddressV " + v + "\r\nunused line\r\nFilter 0\r\n" +
         "U 0.5 0 0.25\r\nV 0 2 -1\r\n";
}

class SectionTest : public ::testing::Test {
 protected:
  SShaderSection Read(const std::string& text, float version) {
    vfstest::WriteBytes(m_folder + "/section.txt", vfstest::Text(text));
    CVFS vfs(m_folder.c_str());
    g_pVFS = &vfs;
    char buffer[256];
    CParser parser;
    EXPECT_TRUE(parser.Open("section.txt", buffer, sizeof buffer));
    SShaderSection section;
    ReadShaderSection(parser, version, &section);
    parser.Close();
    g_pVFS = nullptr;
    return section;
  }
  vfstest::ArchiveFlag m_plain{false};
  std::string m_folder = vfstest::MakeTempFolder();
};

TEST_F(SectionTest, AddressLettersFiltersAndTransformAreRead) {
  struct SCase {
    const char* letters[2];
    uint32_t modes[2];
  };
  const SCase cases[] = {{{"w", "M"}, {GFX_TADDRESS_WRAP, GFX_TADDRESS_MIRROR}},
                         {{"c", "b"}, {GFX_TADDRESS_CLAMP, GFX_TADDRESS_BORDER}},
                         {{"x", "Wrap"}, {GFX_TADDRESS_WRAP, GFX_TADDRESS_WRAP}}};
  for (const SCase& each : cases) {
    const SShaderSection section = Read(Section("1.0", each.letters[0], each.letters[1]), 1.0f);
    EXPECT_STREQ(section.textureName, "Art\\Rock.mpt");
    ASSERT_EQ(section.samplers.states.size(), 5u);
    EXPECT_EQ(section.samplers.states[0].value, each.modes[0]) << each.letters[0];
    EXPECT_EQ(section.samplers.states[1].value, each.modes[1]) << each.letters[1];
    EXPECT_EQ(section.samplers.states[4].type, uint32_t(GFX_SAMP_MIPFILTER));
    EXPECT_EQ(section.samplers.states[4].value, uint32_t(GFX_TEXF_NONE));
  }
  // From version 1.01 (1.005 with the slack) a further line comes after the texture.
  for (float version : {1.005f, 1.01f, 1.1f}) {
    const SShaderSection section = Read(Section("1.01", "C", "C"), version);
    float u = 0, v = 0;
    section.transform.Apply(2, 3, &u, &v);
    EXPECT_FLOAT_EQ(u, 2 * 0.5f + 0.25f) << version;
    EXPECT_FLOAT_EQ(v, 3 * 2.0f - 1) << version;
    EXPECT_EQ(section.transform.m[0][2], 0);
  }
}

SModelVertex Vertex(float x, float y, uint32_t colour = 0x00102030, float u = 0, float v = 0) {
  SModelVertex vertex{};
  vertex.position[0] = x;
  vertex.position[1] = y;
  vertex.colour = colour;
  vertex.u = u;
  vertex.v = v;
  return vertex;
}

template <class T>
T At(const VertexBatch* batch, uint32_t vertex, uint32_t offset) {
  T value;
  std::memcpy(&value, &batch->vertices[vertex * VertexFormatSize(batch->format) + offset], sizeof value);
  return value;
}

// The face-normal colour of a closed textured batch's vertex, read from its device buffer.
uint32_t FaceColour(const VertexBatch* batch, uint32_t vertex) {
  void* data = nullptr;
  EXPECT_EQ(batch->buffer->Get()->Lock(0, 0, &data, GFX_LOCK_READONLY), GFX_OK);
  uint32_t colour = 0;
  if (data) std::memcpy(&colour, static_cast<uint8_t*>(data) + vertex * 28 + 24, 4);
  batch->buffer->Get()->Unlock();
  return colour;
}

class BatchTest : public CShaderDeviceTest {};

TEST_F(BatchTest, VerticesAreWrittenInEachFormat) {
  STexCoordTransform halve;
  halve.m[0][0] = 0.5f;
  const SModelVertex in = Vertex(1, 2, 0x00102030, 0.5f, 0.25f);

  VertexBatch* screen = CreateVertexBatch(EVertexFormat::Screen, 3, 2);
  ASSERT_TRUE(AddBatchVertex(screen, in, halve));
  EXPECT_EQ(At<float>(screen, 0, 4), 2.0f);
  EXPECT_EQ(At<float>(screen, 0, 12), 0.25f);
  EXPECT_EQ(At<uint32_t>(screen, 0, 20), 0xFF102030u);

  VertexBatch* projected = CreateVertexBatch(EVertexFormat::Projected, 3, 2);
  ASSERT_TRUE(AddBatchVertex(projected, in, halve));
  EXPECT_EQ(At<uint32_t>(projected, 0, 12), 0xFF102030u);
  EXPECT_EQ(At<float>(projected, 0, 16), 0.25f);

  SModelVertex skinnedIn = in;
  const float normal[4] = {1, -1, 0, 0}, weights[4] = {1, 0.5f, 0, 0};
  std::memcpy(skinnedIn.normal, normal, sizeof normal);
  std::memcpy(skinnedIn.weights, weights, sizeof weights);
  const uint8_t bones[4] = {0, 2, 1, 0};
  std::memcpy(skinnedIn.bones, bones, 4);
  VertexBatch* skinned = CreateVertexBatch(EVertexFormat::Skinned, 3, 2);
  ASSERT_TRUE(AddBatchVertex(skinned, skinnedIn, halve));
  EXPECT_EQ(At<float>(skinned, 0, 12), 0.5f) << "skinned vertices keep their u";
  EXPECT_EQ(At<uint32_t>(skinned, 0, 20), 0x00102030u);
  EXPECT_EQ(At<uint32_t>(skinned, 0, 24), 0x007F00FFu);  // 255, 0, 127, 0
  EXPECT_EQ(At<uint32_t>(skinned, 0, 28), 0x00007FFFu);
  EXPECT_EQ(At<uint32_t>(skinned, 0, 32), 0x00010200u);
  CloseVertexBatch(skinned);
  EXPECT_EQ(skinned->boneCount, 3u);

  // A textured batch gets face normals: a flat triangle facing z, and a degenerate one.
  VertexBatch* textured = CreateVertexBatch(EVertexFormat::Textured, 6, 2);
  for (const SModelVertex& vertex : {Vertex(0, 0), Vertex(0, 1), Vertex(1, 0), Vertex(5, 5), Vertex(5, 5), Vertex(5, 5)})
    ASSERT_TRUE(AddBatchVertex(textured, vertex, halve));
  const std::vector<uint8_t> copy = textured->vertices;
  CloseVertexBatch(textured);
  EXPECT_EQ(textured->primitiveCount, 2u);
  EXPECT_TRUE(textured->vertices.empty());
  ASSERT_NE(textured->buffer, nullptr);
  EXPECT_EQ(FaceColour(textured, 2), 0x00808000u) << "normal (0, 0, -1): blue 0";
  EXPECT_EQ(FaceColour(textured, 5), 0x00808080u) << "degenerate: (0.5, 0.5, 0.5), alpha 0";
  EXPECT_EQ(std::memcmp(&copy[24], "\0\0\0\0", 4), 0) << "the last word is filled when closing";

  for (VertexBatch* batch : {screen, projected, skinned, textured}) FreeVertexBatch(batch);
}

TEST_F(BatchTest, StripsAndFansCountTheirOwnTrianglesAndFaceOneWay) {
  struct SCount {
    uint32_t code, vertices, triangles;
  };
  const SCount counts[] = {{2, 6, 2}, {2, 7, 2}, {0, 4, 2}, {0, 2, 0}, {1, 6, 4}, {1, 2, 0}};
  for (const SCount& c : counts) {
    VertexBatch* batch = CreateVertexBatch(EVertexFormat::Screen, c.vertices, c.code);
    for (uint32_t i = 0; i < c.vertices; ++i) ASSERT_TRUE(AddBatchVertex(batch, Vertex(i, 0), STexCoordTransform()));
    CloseVertexBatch(batch);
    EXPECT_EQ(batch->primitiveCount, c.triangles) << "code " << c.code << ", " << c.vertices << " vertices";
    FreeVertexBatch(batch);
  }

  // The unit square in z = 0 as a strip and as a fan: every triangle faces +z (blue 255),
  // the strip's second one too although its vertices come in the other turn.
  struct SSquare {
    uint32_t code;
    SModelVertex corners[4];
  };
  const SSquare squares[] = {{0, {Vertex(0, 0), Vertex(1, 0), Vertex(0, 1), Vertex(1, 1)}},
                             {1, {Vertex(0, 0), Vertex(1, 0), Vertex(1, 1), Vertex(0, 1)}}};
  for (const SSquare& square : squares) {
    VertexBatch* batch = CreateVertexBatch(EVertexFormat::Textured, 4, square.code);
    for (const SModelVertex& corner : square.corners) ASSERT_TRUE(AddBatchVertex(batch, corner, STexCoordTransform()));
    CloseVertexBatch(batch);
    for (uint32_t vertex = 0; vertex < 4; ++vertex)
      EXPECT_EQ(FaceColour(batch, vertex), 0x008080FFu) << "code " << square.code << ", vertex " << vertex;
    FreeVertexBatch(batch);
  }
}

TEST_F(BatchTest, VerticesBeyondTheBatchAreRefused) {
  VertexBatch* batch = CreateVertexBatch(EVertexFormat::Projected, 6, 2);
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(AddBatchVertex(batch, Vertex(1, 1), STexCoordTransform()));
  CloseVertexBatch(batch);
  EXPECT_EQ(batch->primitiveCount, 1u) << "a projected batch draws what was added";
  EXPECT_FALSE(AddBatchVertex(batch, Vertex(1, 1), STexCoordTransform()));
  FreeVertexBatch(batch);

  batch = CreateVertexBatch(EVertexFormat::Screen, 2, 0);
  const std::vector<uint8_t>::size_type size = batch->vertices.size();
  ASSERT_TRUE(AddBatchVertex(batch, Vertex(1, 1), STexCoordTransform()));
  ASSERT_TRUE(AddBatchVertex(batch, Vertex(1, 1), STexCoordTransform()));
  m_reports.Texts().clear();
  EXPECT_FALSE(AddBatchVertex(batch, Vertex(1, 1), STexCoordTransform()));
  EXPECT_EQ(batch->vertices.size(), size);
  ASSERT_EQ(m_reports.Texts().size(), 1u);
  EXPECT_NE(m_reports.Texts()[0].find("Vertex 3 refused: the batch holds 2 vertices"), std::string::npos);
  FreeVertexBatch(batch);

  EXPECT_EXIT(CreateVertexBatch(EVertexFormat::Screen, 3, 3), ::testing::ExitedWithCode(3),
              "Unsupported primitive type");
}

TEST_F(BatchTest, ClassDeclarationIsSharedByItsInstances) {
  CSharedDeclaration declaration(kScreenElements);
  const size_t before = GetDeviceResourceCount();
  declaration.Acquire();
  declaration.Acquire();
  EXPECT_EQ(GetDeviceResourceCount(), before + 1);
  declaration.Release();
  EXPECT_NE(declaration.Get(), nullptr);
  declaration.Release();
  EXPECT_EQ(declaration.Get(), nullptr);
  EXPECT_EQ(GetDeviceResourceCount(), before);
}

// A screen-space shader of the flat effect, as a material kind.
class CFlatShader : public CVertexBatchShader {
 public:
  CFlatShader(const char* name, CParser& parser, float version)
      : CVertexBatchShader(name, 17, EVertexFormat::Screen, parser, version) {
    m_effect = GetEffect("Flat.fxc");
    m_pass = GetPass(FindTechnique(m_effect, "VS_PS"), 0);
    Declaration().Acquire();
  }
  ~CFlatShader() override {
    Declaration().Release();
    ReleaseEffect(m_effect);
  }
  void Begin() override {
    float matrix[16];
    gfxtest::PixelMatrix(64, 64, matrix);
    ApplyPass(m_pass);
    SetVertexConstants(FindVertexParameter(m_pass, "mxWVP"), matrix, 4);
    SetPixelConstant(FindPixelParameter(m_pass, "factor"), factor);
    GetD3DDevice()->SetVertexDeclaration(Declaration().Get()->Get());
  }
  void End() override {}

  static CSharedDeclaration& Declaration() {
    static CSharedDeclaration declaration(kScreenElements);
    return declaration;
  }
  float factor = 1.0f;

 private:
  SFxEffect* m_effect = nullptr;
  const SFxPass* m_pass = nullptr;
};

CShader* MakeFlat(const char* name, CParser& parser, float version) { return new CFlatShader(name, parser, version); }

TEST_F(BatchTest, BatchDrawnThroughAnEffectReadsBackExactly) {
  WriteContent("Effects/Flat.fxc", MakeFx(kFlatEffect));
  WriteContent("Mats/Default.mat", vfstest::Text("MAT\r\n1.01\r\n\"flat\"\r\nFlat\r\n" + Section("1.01", "C", "C")));
  CShaderManager manager("Mats");
  manager.RegisterShaderKind("Flat", MakeFlat);
  CShader* shader = manager.GetMaterial("Default");

  // Two triangles over pixels [8, 24) x [16, 40), corners on pixel edges.
  SDrawItem* batch = shader->CreateBatch(6, 2);
  const float x0 = 7.5f, y0 = 15.5f, x1 = 23.5f, y1 = 39.5f;
  for (const auto& [x, y] : {std::pair{x0, y0}, {x1, y0}, {x1, y1}, {x1, y1}, {x0, y1}, {x0, y0}})
    ASSERT_TRUE(shader->AddVertex(batch, Vertex(x, y, 0x00FF8040)));
  shader->CloseBatch(batch);
  EXPECT_EQ(shader->GetVertexCount(batch), 6u);

  ASSERT_EQ(m_device->Clear(0, nullptr, GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, 0xFF000000, 1.0f, 0), GFX_OK);
  ASSERT_EQ(m_device->BeginScene(), GFX_OK);
  CollectionInit();
  AddToCollection(shader, batch);
  RenderSortedCollection();
  ASSERT_EQ(m_device->EndScene(), GFX_OK);

  SGfxImage image;
  ASSERT_TRUE(GfxCaptureBackBuffer(*m_device, image));
  int inside = 0;
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      const bool in = x >= 8 && x < 24 && y >= 16 && y < 40;
      const gfxtest::SRgba expected = in ? gfxtest::SRgba{255, 128, 64, 255} : gfxtest::SRgba{0, 0, 0, 255};
      const gfxtest::SRgba got = Pixel(image.rgba, kSize, x, y);
      ASSERT_EQ(got, expected) << "at " << x << ", " << y;
      inside += in;
    }
  }
  EXPECT_EQ(inside, 16 * 24);

  m_device->SetStreamSource(0, nullptr, 0, 0);
  shader->FreeBatch(batch);
  manager.ReleaseMaterial(shader);
  EXPECT_EQ(CFlatShader::Declaration().GetUsers(), 0u);
  EXPECT_EQ(GetEffectCacheCount(), 0u);
}

}  // namespace
