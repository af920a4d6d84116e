// The title screen drawn on the real main window from the built content and read back, at a
// 4:3 and at a 16:9 window: the title over the dusk sky, the Play medallion in the middle, and
// the plate buttons at their layout places, which move with the window's shape; and the exit
// question drawn over it.

#include <gtest/gtest.h>

#include "Src/World/Vey_Screen.h"
#include "Src/Menu/Vey_MenuMessage.h"
#include "Src/Menu/Vey_MenuRenderer.h"
#include "tests/Src/Menu/MenuTestKit.h"

#include <string>
#include <vector>

using namespace Vey;
using namespace menutest;

namespace {

using MenuDrawTest = CMenuDrawFixture;

TEST_F(MenuDrawTest, TheTitleScreenStandsInPlaceAtA4To3AndA16To9Window) {
  const struct { int width, height; } kShapes[] = {{640, 480}, {640, 360}};
  for (const auto& shape : kShapes) {
    SCOPED_TRACE(std::to_string(shape.width) + "x" + std::to_string(shape.height));
    EnterOnWindow(shape.width, shape.height);
    ASSERT_EQ(m_width, uint32_t(shape.width));
    EXPECT_NEAR(GetAspect(), float(shape.width) / float(shape.height), 1e-3f);
    EXPECT_EQ(m_menu->GetMenuState(), CMenu::kTitle);
    // The dusk sky above, the golden title, the medallion's golden mark.
    EXPECT_TRUE(IsDusk(At(-1.2f, 0.95f)));
    EXPECT_GT(Count(0.0f, 0.66f, 1.2f, 0.2f, IsGolden), 40);
    EXPECT_TRUE(IsGolden(At(0.0f, -0.45f, 2.0f))) << At(0.0f, -0.45f, 2.0f).r;
    // Each plate button's label in light letters on its wooden plate, at the same layout place
    // whatever the window's shape.
    for (float x : {-1.0f, 1.0f}) {
      for (float y : {-0.5f, -0.72f}) {
        EXPECT_GT(Count(x, y, 0.4f, 0.08f, IsLight), 8) << x << ", " << y;
        const SRgb plate = At(x - 0.24f, y);  // the plate's wood beside the label
        EXPECT_TRUE(plate.r > plate.b && plate.Sum() < 400) << plate.r << "," << plate.g << "," << plate.b;
      }
    }
    // Where the Options plate stands on a 4:3 window, a wide window shows the ground beside it.
    const bool wide = shape.width * 3 > shape.height * 4;
    EXPECT_EQ(IsDusk(AtVirtual(1856.0f, 2176.0f)), wide);
    TearDown();
  }
}

// A box's node draws its layout only while the box is anywhere but closed, at the box's alpha.
TEST_F(MenuDrawTest, ABoxIsDrawnOnlyWhileItIsOpenAndAtItsAlpha) {
  EnterOnWindow(640, 480);
  CFakeBox box;
  CMenuBoxRenderer node("BoxRenderer", &box, m_menu->GetLayout(), nullptr);
  const auto lit = [this](CMenuBoxRenderer& renderer) {
    EXPECT_TRUE(BeginFrame());
    renderer.Render();
    EXPECT_EQ(GetD3DDevice()->ReadBackBuffer(m_pixels, &m_width, &m_height), GFX_OK);
    FinishFrame();
    return Count(0.0f, 0.0f, 2.6f, 1.9f, [](SRgb c) { return c.Sum() > 30; });
  };
  EXPECT_EQ(lit(node), 0);
  box.Open();
  EXPECT_GT(lit(node), 500);  // of about a thousand points: the sky, the ground, the buttons
}

// The exit question over the title screen: the dark panel, the brass yes and no plates, and
// the no plate lit while the pointer is on it.
TEST_F(MenuDrawTest, TheExitQuestionShowsItsPanelAndBothButtonsAndLightsTheOneUnderThePointer) {
  EnterOnWindow(640, 480);
  auto* question = dynamic_cast<CMenuDialog*>(m_menu->GetBox(CMenu::kQuestion));
  ASSERT_NE(question, nullptr);
  const Vector2 yes = {-0.4f, -0.25f}, no = {0.4f, -0.25f};
  const auto plate = [this](const Vector2& at) { return At(at.x - 0.15f, at.y - 0.03f); };
  const auto drawQuestion = [&](const Vector2& pointer) {
    question->input.Take(ToVirtualScreen(pointer), false);
    question->Update(0.3f);
    ASSERT_TRUE(BeginFrame());
    m_modules.render->GetSceneManager()->Render();
    ASSERT_EQ(GetD3DDevice()->ReadBackBuffer(m_pixels, &m_width, &m_height), GFX_OK);
    FinishFrame();
  };
  question->Ask(IMenuQuestion::kExitQuestion);
  drawQuestion({1.5f, 0.9f});
  ASSERT_EQ(question->state, IMenuBox::kOpen);
  drawQuestion({1.5f, 0.9f});
  const SRgb panel = At(-0.8f, 0.3f);
  EXPECT_LT(panel.Sum(), 200) << "the panel's dark wood";
  EXPECT_GT(panel.r, panel.b);
  EXPECT_TRUE(IsGolden(plate(yes)));
  EXPECT_TRUE(IsGolden(plate(no)));
  const SRgb noPlain = plate(no);
  drawQuestion(no);
  EXPECT_GT(plate(no).Sum(), noPlain.Sum() + 40) << "the no plate under the pointer is lit";
  EXPECT_EQ(plate(yes).Sum(), noPlain.Sum());
  // Outside the panel the title screen shows on.
  EXPECT_LT(At(1.5f, 0.9f).Sum(), 200);
}

// The Options plate opens the options box over the blurred title screen: the music bar filled
// with brass to the saved full volume, the silenced sound bar an empty groove, the pointer's
// box ticked and the full-screen box (a window here) empty.
TEST_F(MenuDrawTest, TheOptionsBoxShowsTheSavedVolumesAndTicks) {
  ASSERT_TRUE(hmtest::OpenDrawingWindow(640, 480));
  m_engine = true;
  EnterMenu(true, 1);
  SSaveData* save = GetSaveData();
  save->musicVolume = 1.0f;
  save->soundVolume = 0.0f;
  save->systemCursor = 1;
  for (int i = 0; i < 12; ++i) DrawFrame(false);
  Click(ToVirtualScreen({-1.0f, -0.5f}));
  for (int i = 0; i < 8; ++i) DrawFrame(false);
  ASSERT_EQ(m_menu->GetMenuState(), CMenu::kOptionsMenu);
  ASSERT_EQ(m_menu->GetBox(CMenu::kOptionsMenu)->state, IMenuBox::kOpen);
  DrawFrame(true);
  const auto dark = [](SRgb c) { return c.Sum() < 160; };
  EXPECT_GT(Count(0.3f, 0.2f, 0.6f, 0.03f, IsGolden), 200);  // the music bar, filled
  EXPECT_GT(Count(0.35f, 0.04f, 0.6f, 0.03f, dark), 200);    // the sound bar, empty
  EXPECT_EQ(Count(0.35f, 0.04f, 0.6f, 0.03f, IsGolden), 0);
  EXPECT_GT(Count(-0.15f, -0.27f, 0.06f, 0.06f, IsLight), 5);  // the pointer's tick
  EXPECT_EQ(Count(-0.15f, -0.13f, 0.06f, 0.06f, IsLight), 0);  // no full-screen tick
  EXPECT_GT(Count(0.4f, -0.4f, 0.4f, 0.09f, IsGolden), 150);   // the OK plate
}

}  // namespace
