// A model drawn end to end: a textured box from a BMO file, its batch built by the
// "Texture1" shader, placed by a render object and read back from the device.

#include "Quor/CModel.h"
#include "Quor/CRenderObject.h"
#include "tests/Quor/DirectX/Shaders/BuiltInShaderKit.h"
#include "tools/modeltool/MeshWriters.h"

using namespace builtinshadertest;

namespace {

class ModelDrawTest : public CBuiltInShaderTest {};

TEST_F(ModelDrawTest, ATexturedBoxIsDrawnWhereItsRenderObjectPlacesIt) {
  Solid("Red.bmp", {255, 0, 0, 255});
  WriteContent("Mats/Crate.mat", vfstest::Text(Material("Texture1", "Red.bmp")));
  std::vector<uint8_t> bytes;
  std::string error;
  ASSERT_TRUE(WriteBmo(MakeBoxModel("Crate", 2.0f), bytes, error)) << error;
  {
    // The box spans -1..1: scaled by 8 and moved to (20, 30) it covers pixels 12..27 x 22..37.
    CRenderObject box(new CModel(bytes.data(), bytes.size(), "Models\\box.bmo", "box"), true);
    ASSERT_EQ(box.GetModel()->GetBatchCount(), 1u);
    box.SetScale({8.0f, 8.0f, 0.1f});
    box.SetPosition({20.0f, 30.0f, 0.5f});
    box.UpdateAnimations();
    ASSERT_EQ(m_device->Clear(0, nullptr, GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0), GFX_OK);
    ASSERT_EQ(m_device->BeginScene(), GFX_OK);
    box.Render();
    ASSERT_EQ(m_device->EndScene(), GFX_OK);
    const std::vector<uint8_t> image = ReadBack();
    struct SCase {
      int x, y;
      SRgba expected;
    };
    const SCase cases[] = {{13, 23, {255, 0, 0, 255}}, {26, 36, {255, 0, 0, 255}}, {20, 30, {255, 0, 0, 255}},
                           {10, 30, {0, 0, 0, 255}},   {20, 40, {0, 0, 0, 255}},   {30, 20, {0, 0, 0, 255}}};
    for (const SCase& c : cases)
      EXPECT_TRUE(Near(Pixel(image, kSize, c.x, c.y), c.expected)) << c.x << ", " << c.y;
    m_device->SetStreamSource(0, nullptr, 0, 0);
  }
  EXPECT_EQ(m_manager->GetMaterialCount(), 0u);
  EXPECT_TRUE(m_reports.Texts().empty()) << m_reports.All();
}

}  // namespace
