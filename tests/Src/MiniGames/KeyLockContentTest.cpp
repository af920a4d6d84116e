// The key puzzle and the combination lock drawn from the content the build makes: a placed
// part shows brass in its socket and leaves its home empty, the lit code strip and the dust
// read as such, a dial turned to another mark draws turned, and the map holds the markers the
// two puzzles change.

#include "Src/MiniGames/Vey_MiniGame2.h"
#include "Src/MiniGames/Vey_MiniGame3.h"
#include "tests/Src/Investigation/BuiltContentKit.h"
#include "tests/support/engine/CameraInMode.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

using namespace Vey;

namespace {

// A point of the 1280 x 720 layout description in pixels of the 64 x 64 frame.
struct SPoint {
  int x, y;
};
SPoint FramePoint(float x, float y) { return {int(x * 64.0f / 1280.0f), int(y * 64.0f / 720.0f)}; }

class KeyLockContentTest : public overlaytest::CBuiltContentFixture {
 protected:
  void SetUp() override {
    CBuiltContentFixture::SetUp();
    m_camera = std::make_unique<hmtest::CCameraInMode>(kAspectWide);
    m_save = std::make_unique<SSaveData>();
    m_save->current = 0;
  }
  void TearDown() override {
    m_camera.reset();
    CBuiltContentFixture::TearDown();
  }
  SMiniGameShared Shared() {
    SMiniGameShared shared;
    shared.save = m_save.get();
    shared.switchMusic = [](int32_t) {};
    shared.copyBackBuffer = [] {};
    return shared;
  }
  std::vector<uint8_t> Draw(CMiniGameBase& game) {
    game.Open();
    game.SetDrawForCapture();
    return DrawFrame(game);
  }
  uint8_t* Block() { return reinterpret_cast<uint8_t*>(&m_save->profiles[0].miniGames); }
  // Pixels of the 3 x 3 block round the point that are brass or amber: warm and bright.
  static int Warm(const std::vector<uint8_t>& frame, SPoint p) {
    int count = 0;
    for (int y = p.y - 1; y <= p.y + 1; ++y)
      for (int x = p.x - 1; x <= p.x + 1; ++x) {
        const rendertest::SRgba c = Pixel(frame, kSize, x, y);
        count += c.r > 140 && c.g > 90 && c.r >= c.b + 60;
      }
    return count;
  }
  // Pixels of the block [x0, x1) x [y0, y1) that differ between two frames.
  static int Differing(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, int x0, int y0, int x1, int y1) {
    int count = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) count += !(Pixel(a, kSize, x, y) == Pixel(b, kSize, x, y));
    return count;
  }

  std::unique_ptr<hmtest::CCameraInMode> m_camera;
  std::unique_ptr<SSaveData> m_save;
};

TEST_F(KeyLockContentTest, APlacedPartShinesInItsSocketAndALoosePartAtItsHome) {
  LoadContent("App/Configs/MiniGame2_Resources.xml");
  Ombrel::CLayout2D* layout = Layout("Game02");
  ASSERT_NE(layout, nullptr) << OwnReports();
  for (int part = 1; part <= kKeyPartCount; ++part) {
    char name[32];
    std::snprintf(name, sizeof name, "root/Key/key_%.2d", part);
    ASSERT_NE(layout->FindItem(name), nullptr) << name;
    std::snprintf(name, sizeof name, "root/Dummy/key_%.2d", part);
    ASSERT_NE(layout->FindItem(name), nullptr) << name;
  }
  ASSERT_NE(layout->FindItem("root/Exit1"), nullptr);

  const std::vector<uint8_t> loose = [&] {
    CMiniGame2 game(layout, Shared());
    return Draw(game);
  }();
  for (int part = 0; part < 9; ++part) Block()[69 + part] = 1;  // the bow and the shaft's first part
  CMiniGame2 game(layout, Shared());
  const std::vector<uint8_t> placed = Draw(game);

  // The first key part, the bow's top left corner, from its home at the right into its socket.
  const SPoint socket1 = FramePoint(376, 226), home1 = FramePoint(1070, 290);
  EXPECT_LE(Warm(loose, socket1), 1) << "an empty socket is dark";
  EXPECT_GE(Warm(placed, socket1), 3) << "the placed part is brass";
  EXPECT_GE(Warm(loose, home1), 3);
  EXPECT_LE(Warm(placed, home1), 1) << "its home is empty";
  // The tenth key part, still loose: at its home, its socket dark in both.
  const SPoint socket10 = FramePoint(632, 290), home10 = FramePoint(300, 370);
  EXPECT_GE(Warm(placed, home10), 3);
  EXPECT_LE(Warm(placed, socket10), 1);
}

TEST_F(KeyLockContentTest, TheDustHidesTheDialsAndATurnedDialAndALitCharacterShow) {
  LoadContent("App/Configs/MiniGame3_Resources.xml");
  Ombrel::CLayout2D* layout = Layout("Game03");
  ASSERT_NE(layout, nullptr) << OwnReports();
  for (char c : std::string(kLockCode))
    ASSERT_NE(layout->FindItem((std::string("root/Code_") + c).c_str()), nullptr) << c;
  for (const char* name : {"root/Letters", "root/Numbers", "root/Dust", "root/Exit1"})
    ASSERT_NE(layout->FindItem(name), nullptr) << name;

  const SPoint letterRim = FramePoint(520, 270), firstPlace = FramePoint(440, 110), thirdPlace = FramePoint(600, 110);
  const std::vector<uint8_t> dusty = [&] {
    CMiniGame3 game(layout, Shared());
    return Draw(game);
  }();
  EXPECT_LE(Warm(dusty, letterRim), 1) << "grey dust over the brass dial";

  Block()[89] = 1;   // the dust wiped off
  Block()[112] = 1;  // one character entered: H
  Block()[116] = 'H';
  CMiniGame3 game(layout, Shared());
  const std::vector<uint8_t> clean = Draw(game);
  EXPECT_GE(Warm(clean, letterRim), 3) << "the brass dial";
  EXPECT_GE(Warm(clean, firstPlace), 3) << "H lights the strip's first place";
  EXPECT_LE(Warm(clean, thirdPlace), 1);

  game.SetDialAngles(0.0f, DialPositionAngle(2));
  game.SetDrawForCapture();
  const std::vector<uint8_t> turned = DrawFrame(game);
  const SPoint dialFrom = FramePoint(392, 232), dialTo = FramePoint(648, 488);
  EXPECT_GT(Differing(clean, turned, dialFrom.x, dialFrom.y, dialTo.x, dialTo.y), 10) << "the letter dial turns";
  EXPECT_EQ(Differing(clean, turned, 0, 0, kSize, dialFrom.y - 1), 0) << "nothing above it moves";
}

TEST_F(KeyLockContentTest, TheMapHoldsTheMarkersTheWinsAndTheDustChange) {
  LoadContent("App/Configs/MapDiary_Resources.xml");
  Ombrel::CLayout2D* map = Layout("Map");
  ASSERT_NE(map, nullptr) << OwnReports();
  for (const char* marker : {"root/Scene08/Game0", "root/Scene08/Game1", "root/Scene12/HOS2"})
    EXPECT_NE(map->FindItem(marker), nullptr) << marker;
}

}  // namespace
