// Models drawn end to end: a textured box, and strips and fans, from BMO files, their
// batches built by the "Texture1" shader, placed by a render object and read back.

#include "Quor/CModel.h"
#include "Quor/CRenderObject.h"
#include "tests/Quor/DirectX/Shaders/BuiltInShaderKit.h"
#include "tools/modeltool/MeshWriters.h"

using namespace builtinshadertest;

namespace {

class ModelDrawTest : public CBuiltInShaderTest {
 protected:
  // A model from a description, as its file would load.
  static CModel* Model(const SBmoDescription& description) {
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(WriteBmo(description, bytes, error)) << error;
    return new CModel(bytes.data(), bytes.size(), "Models\\test.bmo", "test");
  }

  // Renders the object over a black back buffer and reads the frame back.
  std::vector<uint8_t> Render(CRenderObject& object) {
    object.UpdateAnimations();
    EXPECT_EQ(m_device->Clear(0, nullptr, GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0), GFX_OK);
    EXPECT_EQ(m_device->BeginScene(), GFX_OK);
    object.Render();
    EXPECT_EQ(m_device->EndScene(), GFX_OK);
    m_device->SetStreamSource(0, nullptr, 0, 0);
    return ReadBack();
  }
};

// A part of one node's bone whose vertices lie at the given pixel positions.
SBmoPartDescription PixelPart(uint8_t primitive, std::initializer_list<std::pair<float, float>> corners) {
  SBmoPartDescription part;
  part.material = "Crate";
  part.bones = {0};
  part.primitive = primitive;
  for (const auto& [x, y] : corners) {
    SBmoVertexDescription vertex;
    vertex.position[0] = x;
    vertex.position[1] = y;
    part.vertices.push_back(vertex);
  }
  return part;
}

TEST_F(ModelDrawTest, ATexturedBoxIsDrawnWhereItsRenderObjectPlacesIt) {
  Solid("Red.bmp", {255, 0, 0, 255});
  WriteContent("Mats/Crate.mat", vfstest::Text(Material("Texture1", "Red.bmp")));
  {
    // The box spans -1..1: scaled by 8 and moved to (20, 30) it covers pixels 12..27 x 22..37.
    CRenderObject box(Model(MakeBoxModel("Crate", 2.0f)), true);
    ASSERT_EQ(box.GetModel()->GetBatchCount(), 1u);
    box.SetScale({8.0f, 8.0f, 0.1f});
    box.SetPosition({20.0f, 30.0f, 0.5f});
    const std::vector<uint8_t> image = Render(box);
    struct SCase {
      int x, y;
      SRgba expected;
    };
    const SCase cases[] = {{13, 23, {255, 0, 0, 255}}, {26, 36, {255, 0, 0, 255}}, {20, 30, {255, 0, 0, 255}},
                           {10, 30, {0, 0, 0, 255}},   {20, 40, {0, 0, 0, 255}},   {30, 20, {0, 0, 0, 255}}};
    for (const SCase& c : cases)
      EXPECT_TRUE(Near(Pixel(image, kSize, c.x, c.y), c.expected)) << c.x << ", " << c.y;
  }
  EXPECT_EQ(m_manager->GetMaterialCount(), 0u);
  EXPECT_TRUE(m_reports.Texts().empty()) << m_reports.All();
}

TEST_F(ModelDrawTest, StripsAndFansDrawEveryTriangleAndStayApart) {
  Solid("Red.bmp", {255, 0, 0, 255});
  WriteContent("Mats/Crate.mat", vfstest::Text(Material("Texture1", "Red.bmp")));
  SBmoDescription d;
  d.nodes.resize(1);
  d.nodes[0].name = "Root";
  // Two 4-vertex strips, squares over pixels 4..20 and 28..44 of the top row, and a fan of
  // four triangles around (12, 36) filling the square 4..20 x 28..44.
  d.parts = {PixelPart(kPrimitiveStrip, {{4, 4}, {20, 4}, {4, 20}, {20, 20}}),
             PixelPart(kPrimitiveStrip, {{28, 4}, {44, 4}, {28, 20}, {44, 20}}),
             PixelPart(kPrimitiveFan, {{12, 36}, {4, 28}, {20, 28}, {20, 44}, {4, 44}, {4, 28}})};
  CRenderObject object(Model(d), true);
  object.SetPosition({0.0f, 0.0f, 0.5f});
  const std::vector<uint8_t> image = Render(object);
  struct SCase {
    int x, y;
    bool red;
    const char* where;
  };
  const SCase cases[] = {{7, 7, true, "first strip, first triangle"},   {17, 17, true, "first strip, second triangle"},
                         {31, 7, true, "second strip, first triangle"}, {41, 17, true, "second strip, second triangle"},
                         {22, 10, false, "between the strips"},         {12, 30, true, "fan, top"},
                         {18, 36, true, "fan, right"},                  {12, 42, true, "fan, bottom"},
                         {6, 36, true, "fan, left"},                    {30, 36, false, "beside the fan"}};
  for (const SCase& c : cases) {
    const SRgba expected = c.red ? SRgba{255, 0, 0, 255} : SRgba{0, 0, 0, 255};
    EXPECT_TRUE(Near(Pixel(image, kSize, c.x, c.y), expected)) << c.where << " (" << c.x << ", " << c.y << ")";
  }
  EXPECT_TRUE(m_reports.Texts().empty()) << m_reports.All();
}

}  // namespace
