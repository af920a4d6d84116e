// The scene manager's frames on a 64 x 64 device: what is drawn over what, read back.

#include "Framework/Scene/omSceneManager.h"
#include "Framework/Scene/omSprite2DNode.h"
#include "Framework/Scene/omSystemInfoNode.h"
#include "Quor/CFont.h"
#include "tests/Framework/Scene/SceneTestKit.h"
#include "tests/Quor/Render/RenderTestKit.h"
#include "tools/fontmaker/FontFileWriter.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace Ombrel;
using rendertest::SRgba;

constexpr SSpriteColour kRed{128, 0, 0, 128};
constexpr SSpriteColour kGreen{0, 128, 0, 128};
constexpr SSpriteColour kBlue{0, 0, 128, 128};
constexpr SSpriteColour kYellow{128, 128, 0, 128};
constexpr SRgba kRedPixel{255, 0, 0, 255};
constexpr SRgba kGreenPixel{0, 255, 0, 255};
constexpr SRgba kYellowPixel{255, 255, 0, 255};
constexpr SRgba kBlackPixel{0, 0, 0, 255};

class SceneFrameTest : public rendertest::CRenderFixture {
 protected:
  // An untextured sprite over pixels [x0, x1) x [y0, y1).
  CSprite2DNode* AddSprite(const char* layer, SSpriteColour colour, int x0, int y0, int x1, int y1) {
    auto* node = new CSprite2DNode("sprite", nullptr);
    node->SetPosition({(Edge(x0) + Edge(x1)) / 2.0f, (Edge(y0) + Edge(y1)) / 2.0f});
    node->GetSpriteData().SetSize(Edge(x1) - Edge(x0), Edge(y1) - Edge(y0));
    node->GetSpriteData().SetColour(colour);
    EXPECT_GE(m_scene.AddNode(node, layer), 0);
    return node;
  }
  void EnterGroup(const char* name) {
    m_scene.AddGroup(name);
    m_scene.SetCurrentGroup(name);
  }
  std::vector<uint8_t> DrawFrame() {
    BeginFrame();
    m_scene.Render();
    return EndFrame();
  }
  // The pixel in the middle of a 32 x 32 quarter of the frame.
  static SRgba Quarter(const std::vector<uint8_t>& frame, int column, int row) {
    return Pixel(frame, kSize, column * 32 + 16, row * 32 + 16);
  }

  CSceneManager m_scene;
};

TEST_F(SceneFrameTest, LayersDrawInTheirOrderNodesInOrderOfAddingAndHiddenOnesNotAtAll) {
  EnterGroup("Game_Group");
  m_scene.AddLayer("Front", "SystemInfo");
  m_scene.AddLayer("Back", "Front");
  m_scene.AddLayer("Off", "Back");
  // Top left: a later layer covers an earlier one whatever the order of adding.
  AddSprite("Front", kRed, 0, 0, 32, 32);
  AddSprite("Back", kGreen, 0, 0, 32, 32);
  // Top right: within a layer the node added last is on top.
  AddSprite("Default", kBlue, 32, 0, 64, 32);
  AddSprite("Default", kYellow, 32, 0, 64, 32);
  // Bottom left: a hidden node leaves what is under it.
  AddSprite("Back", kGreen, 0, 32, 32, 64);
  AddSprite("Front", kRed, 0, 32, 32, 64)->Hide();
  // Bottom right: a hidden layer draws nothing.
  AddSprite("Off", kRed, 32, 32, 64, 64);
  m_scene.SetLayerVisible("Off", false);

  const std::vector<uint8_t> frame = DrawFrame();
  EXPECT_EQ(Quarter(frame, 0, 0), kRedPixel);
  EXPECT_EQ(Quarter(frame, 1, 0), kYellowPixel);
  EXPECT_EQ(Quarter(frame, 0, 1), kGreenPixel);
  EXPECT_EQ(Quarter(frame, 1, 1), kBlackPixel);
  // The states went to the device through the engine's record, never around it.
  for (uint32_t state : scenetest::CRecordingNode::kWatchedStates) {
    uint32_t value = 0;
    ASSERT_EQ(m_device->GetRenderState(state, &value), GFX_OK);
    EXPECT_EQ(value, GetRecordedRenderState(state)) << "state " << state;
  }

  // Without the group that made "Front", the layer and its sprites are gone.
  m_scene.SetCurrentGroup("Default");
  m_scene.RemoveGroup("Game_Group");
  const std::vector<uint8_t> after = DrawFrame();
  EXPECT_EQ(Quarter(after, 0, 0), kBlackPixel);
  EXPECT_EQ(Quarter(after, 1, 0), kBlackPixel);
}

// A picture's top row is drawn at the top of its sprite with the sprite's own texture
// coordinates, as it is with the coordinates a texture animation's frame gives it.
TEST_F(SceneFrameTest, ASpritesPictureIsDrawnTheRightWayUp) {
  std::vector<uint8_t> texels = rendertest::Solid(2, 1, {255, 0, 0, 255});
  const std::vector<uint8_t> bottom = rendertest::Solid(2, 1, {0, 0, 255, 255});
  texels.insert(texels.end(), bottom.begin(), bottom.end());
  WriteContent("Textures/TopRed.mpt", rendertest::MptFile(2, 2, texels));
  TextureRecord* picture = m_manager->LoadTexture("TopRed.mpt");
  ASSERT_NE(picture, nullptr);
  CSprite2DNode* node = AddSprite("Default", {128, 128, 128, 128}, 0, 0, 64, 64);
  node->GetSpriteData().SetTexture(picture);

  const std::vector<uint8_t> frame = DrawFrame();
  EXPECT_EQ(Pixel(frame, kSize, 32, 4), kRedPixel);
  EXPECT_EQ(Pixel(frame, kSize, 32, 60), (SRgba{0, 0, 255, 255}));
}

TEST_F(SceneFrameTest, BackFacesAreCulledOnlyForNodesWhoseFlagsAskForIt) {
  // A sprite mirrored across its centre turns its back to the viewer.
  AddSprite("Default", kRed, 0, 0, 32, 32)->SetScale({-1, 1});
  CSprite2DNode* mirroredUnculled = AddSprite("Default", kRed, 32, 0, 64, 32);
  mirroredUnculled->SetScale({-1, 1});
  mirroredUnculled->SetBackFaceCulling(false);
  AddSprite("Default", kRed, 0, 32, 32, 64);

  const std::vector<uint8_t> frame = DrawFrame();
  EXPECT_EQ(Quarter(frame, 0, 0), kBlackPixel);
  EXPECT_EQ(Quarter(frame, 1, 0), kRedPixel);
  EXPECT_EQ(Quarter(frame, 0, 1), kRedPixel);
  CullOff();
}

TEST_F(SceneFrameTest, SystemInfoTextSitsOnAHalfDarkBoxOnlyWhileThereIsText) {
  const std::vector<uint8_t> bytes = fontmaker::WriteFontFile(fontmaker::MakeFixtureFont());
  CFont font;
  font.LoadFromMemory("fixture.fnt", bytes.data(), bytes.size());
  auto* info = new CSystemInfoNode(&font);
  info->SetMaterial(new C2DMaterial("SystemInfoMat"));
  m_scene.AddNode(info, m_scene.GetSystemInfoLayerName());
  info->Clear();
  info->AddLine("Hi");

  // Across the middle row: white outside the box's 412 units, half dark inside, away from the text.
  constexpr uint32_t kWhite = 0xFFFFFFFF;
  BeginFrame(kWhite);
  m_scene.Render();
  std::vector<uint8_t> frame = EndFrame();
  const auto grey = [&](int x, int y) { return int(Pixel(frame, kSize, x, y).g); };
  EXPECT_EQ(grey(3, 32), 255);
  EXPECT_EQ(grey(8, 32), 127);
  EXPECT_EQ(grey(56, 32), 127);
  EXPECT_EQ(grey(8, 26), 255) << "two lines of 14 units and the margin make a box of about 6 pixels";
  EXPECT_EQ(grey(8, 38), 255);
  int lit = 0;  // the text's pixels, light over the box
  for (int y = 29; y <= 35; ++y)
    for (int x = 24; x <= 40; ++x) lit += grey(x, y) > 160;
  EXPECT_GT(lit, 0);

  info->Reset();
  BeginFrame(kWhite);
  m_scene.Render();
  frame = EndFrame();
  EXPECT_EQ(grey(8, 32), 255);
}

}  // namespace
