// The gear train and the arcade machine drawn from the content the build makes, read back from
// the 64 x 64 device: a saved gear shows on its axle, the arcade's sliding row on its monitor.

#include "Src/MiniGames/Vey_CollectorsMiniGame1.h"
#include "Src/MiniGames/Vey_MiniGame11.h"

#include "Framework/omLayout2D.h"
#include "Src/World/Vey_SaveData.h"
#include "tests/Src/Investigation/BuiltContentKit.h"

using namespace Vey;

namespace {

class MiniGameContentTest : public overlaytest::CBuiltContentFixture {
 protected:
  void SetUp() override {
    CBuiltContentFixture::SetUp();
    m_save.current = 0;
    m_shared.save = &m_save;
  }
  // Open, through its opening fade, and drawn over a grey screen.
  std::vector<uint8_t> OpenAndDraw(CMiniGameBase& game) {
    game.Open();
    game.Update(0.6f);
    EXPECT_EQ(game.GetState(), CMiniGameBase::kPlaying);
    return DrawFrame(game);
  }
  // The device's pixel at a virtual-screen point (8 units a pixel, pixel centres on whole
  // multiples from 1792).
  static rendertest::SRgba PixelAt(const std::vector<uint8_t>& frame, const Vector2& point) {
    const int x = int((point.x - 1792.0f) / 8.0f + 0.5f);
    const int y = int((point.y - 1792.0f) / 8.0f + 0.5f);
    return Pixel(frame, kSize, x, y);
  }
  Vector2 NodeOnScreen(Ombrel::CLayout2D& layout, const char* name) {
    const auto* node = dynamic_cast<const Ombrel::SLayoutBox*>(layout.FindItem(name));
    EXPECT_NE(node, nullptr) << name;
    return node ? ToVirtualScreen(node->position) : Vector2{};
  }

  SSaveData m_save{};
  SMiniGameShared m_shared;
};

TEST_F(MiniGameContentTest, GearTrainDrawsASavedGearOnItsAxle) {
  LoadContent("App/Configs/MiniGame11_Resources.xml");
  Ombrel::CLayout2D* layout = Layout("Game08");
  ASSERT_NE(layout, nullptr) << hmtest::CReportScope::All();
  const Vector2 axle = NodeOnScreen(*layout, "root/Axes/Axis7");  // an axle on the bare board
  const Vector2 mainGear = NodeOnScreen(*layout, "root/BGparts/MainGear");

  std::vector<uint8_t> bare;
  {
    CMiniGame11 game(layout, m_shared, nullptr);
    bare = OpenAndDraw(game);
  }
  m_save.profiles[0].miniGames.words680[1 + 2 * 0] = 6;  // the first large gear on axle 7
  CMiniGame11 game(layout, m_shared, nullptr);
  ASSERT_EQ(game.GetTrain().Gear(0).axis, 6);
  const std::vector<uint8_t> placed = OpenAndDraw(game);

  const rendertest::SRgba before = PixelAt(bare, {axle.x + 24.0f, axle.y});
  const rendertest::SRgba after = PixelAt(placed, {axle.x + 24.0f, axle.y});
  EXPECT_GT(after.r, before.r + 40) << "the brass gear beside its axle";
  // The driving gear shows in its own grey iron.
  const rendertest::SRgba iron = PixelAt(placed, {mainGear.x + 40.0f, mainGear.y});
  EXPECT_LT(std::abs(int(iron.r) - int(iron.g)), 30);
  EXPECT_GT(iron.r, 60);
}

TEST_F(MiniGameContentTest, ArcadeDrawsTheSlidingRowAtTheBottomOfItsMonitor) {
  LoadContent("App/Configs/Collectors/Arcade_Resources.xml");
  Ombrel::CLayout2D* layout = Layout("Game01");
  ASSERT_NE(layout, nullptr) << hmtest::CReportScope::All();
  CCollectorsMiniGame1 game(layout, m_shared, nullptr);
  game.Open();
  game.Update(0.6f);
  game.Update(0.05f);  // the row slides into its first cells
  const std::vector<uint8_t> frame = DrawFrame(game);
  const auto* screen = dynamic_cast<const Ombrel::SLayoutBox*>(layout->FindItem("root/Screen"));
  ASSERT_NE(screen, nullptr);
  const Vector2 centre = ToVirtualScreen(screen->position);
  const float width = screen->size.x * 256.0f * GetInvAspect();
  const float height = screen->size.y * 256.0f;
  auto greenCells = [&](float rowFromBottom) {
    int count = 0;
    const float y = centre.y + height / 2.0f - (rowFromBottom + 0.5f) * height / 11.0f;
    for (float x = centre.x - width / 2.0f; x < centre.x + width / 2.0f; x += 4.0f) {
      const rendertest::SRgba p = PixelAt(frame, {x, y});
      count += p.g > 120 && p.g > p.r + 40;
    }
    return count;
  };
  EXPECT_GT(greenCells(0), 0) << "the sliding row's blocks";
  EXPECT_EQ(greenCells(5), 0) << "nothing stacked higher yet";
}

}  // namespace
