// The jewel box on the content the build makes: its layout holds every picture the puzzle binds,
// and the box as it opens shows its jewels and empty sockets where the layout puts them.

#include "Src/MiniGames/Vey_MiniGame1.h"
#include "tests/Src/Investigation/BuiltContentKit.h"

#include "Framework/Resources/ResourceTypes/omResourceTexture.h"

using namespace Vey;
using rendertest::SRgba;

namespace {

class JewelBoxContentTest : public overlaytest::CBuiltContentFixture {
 protected:
  void SetUp() override {
    CBuiltContentFixture::SetUp();
    LoadContent("App/Configs/MiniGame1_Resources.xml");
    m_layout = Layout("Game01");
  }
  TextureRecord* Texture(const char* name) const {
    Ombrel::CResourceTexture* texture = m_resources->GetTexture(name);
    return texture ? texture->GetTexture() : nullptr;
  }
  // The pixel of the 64-pixel screen (aspect 1) under a layout node's centre.
  SRgba PixelAt(const std::vector<uint8_t>& frame, const char* node) const {
    const auto* box = static_cast<const Ombrel::SLayoutBox*>(m_layout->FindItem(node));
    return Pixel(frame, kSize, int(32.0f + 32.0f * box->position.x), int(32.0f - 32.0f * box->position.y));
  }

  Ombrel::CLayout2D* m_layout = nullptr;
};

TEST_F(JewelBoxContentTest, TheBoxOpensOnItsJewelsAndTheTwoEmptySockets) {
  ASSERT_NE(m_layout, nullptr) << hmtest::CReportScope::All();
  SJewelBoxParts parts;
  parts.activeConnector = Texture("Connector_active");
  parts.inactiveConnector = Texture("Connector_inactive");
  EXPECT_NE(parts.activeConnector, nullptr);
  EXPECT_NE(parts.inactiveConnector, nullptr);
  CMiniGame1 box(m_layout, SMiniGameShared{}, parts);
  EXPECT_EQ(OwnReports(), "") << "every picture the box binds is in its layout";
  box.Open();
  box.Update(0.6f);
  ASSERT_EQ(box.GetState(), CMiniGameBase::kPlaying);

  const std::vector<uint8_t> frame = DrawFrame(box);
  for (const char* red : {"root/redJewel0", "root/redJewel1", "root/redJewel2"}) {
    const SRgba p = PixelAt(frame, red);
    EXPECT_GT(p.r, p.g + 40) << red;
  }
  for (const char* green : {"root/greenJewel0", "root/greenJewel1", "root/greenJewel2"}) {
    const SRgba p = PixelAt(frame, green);
    EXPECT_GT(p.g, p.r + 40) << green;
  }
  // Neither colour is in yet: the sockets show dark and hollow, not a jewel.
  for (const char* socket : {CMiniGame1::kRedSocket, CMiniGame1::kGreenSocket}) {
    const SRgba p = PixelAt(frame, socket);
    EXPECT_LT(p.r + p.g + p.b, 120) << socket;
  }
}

}  // namespace
