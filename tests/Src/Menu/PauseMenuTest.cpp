// The pause menu on its own, over a small layout of its four buttons and the frames' time the
// test gives it: the fades, a button acting only on the release over the button it was pressed
// on, continue and quit posted as events, and the options and help boxes taking over the list.

#include "Src/Menu/Vey_PauseMenu.h"

#include <gtest/gtest.h>

#include "Framework/Scene/omTextureAnimation.h"
#include "Framework/omEventManager.h"
#include "Framework/omLayout2D.h"
#include "Src/World/Vey_Button.h"
#include "tests/Src/Menu/MenuTestKit.h"

#include <memory>
#include <vector>

using namespace Vey;

namespace {

constexpr float kFrame = 0.05f;

// The four outlines down the middle of the screen, as the playing states' layout places them.
struct SButtonPlace {
  const char* text;
  const char* outline;
  const char* active;
  float y;
};
constexpr SButtonPlace kPlaces[CPauseMenu::kButtonCount] = {
    {"root/text_continue", "root/Frame/Outline1", "root/Frame/Outline active1", 0.45f},
    {"root/text_options", "root/Frame/Outline0", "root/Frame/Outline active0", 0.15f},
    {"root/text_help", "root/Frame/Outline2", "root/Frame/Outline active", -0.15f},
    {"root/text_quit", "root/Frame/Outline3", "root/Frame/Outline active2", -0.45f},
};

// The middle of a button in virtual-screen units.
Vector2 On(CPauseMenu::EButton button) { return {2048.0f, 2048.0f - 256.0f * kPlaces[button].y}; }
const Vector2 kOutside = {2048.0f, 200.0f};

// Keeps the types of the events the menu posts.
class CEventLog : public Ombrel::IEventHandler {
 public:
  bool HandleEvent(const Ombrel::SEventHeader& event) override {
    types.push_back(event.type);
    return true;
  }
  bool AcceptsEvent(int32_t) override { return true; }
  std::vector<int32_t> types;
};

class PauseMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const SButtonPlace& place : kPlaces) {
      AddOutline(place.outline, place.y, true);
      AddOutline(place.active, place.y, false);
      auto text = std::make_unique<Ombrel::SLayoutText>();
      text->name = place.text;
      text->visible = true;
      m_layout.AddItem(std::move(text));
    }
    m_menu = std::make_unique<CPauseMenu>(&m_layout);
    m_events.AddListener(&m_log);
    m_menu->SetEventManager(&m_events);
  }
  void TearDown() override { m_events.RemoveListener(&m_log); }

  void AddOutline(const char* name, float y, bool visible) {
    auto outline = std::make_unique<Ombrel::SLayoutSprite>();
    outline->name = name;
    outline->visible = visible;
    outline->position = {0.0f, y};
    outline->size = {0.6f, 0.15f};
    m_layout.AddItem(std::move(outline));
  }

  void Frame(const Vector2& pointer, bool down, float dt = kFrame) {
    m_menu->TakeInput(pointer, down);
    m_menu->Update(dt);
  }
  void OpenFully() {
    m_menu->Open();
    for (int i = 0; i < 5; ++i) Frame(kOutside, false);
    ASSERT_EQ(m_menu->GetState(), CPauseMenu::kOpen);
  }
  // Pressed over one place, released over another.
  void PressAndRelease(const Vector2& pressAt, const Vector2& releaseAt) {
    Frame(pressAt, false);
    Frame(pressAt, true);
    Frame(releaseAt, true);
    Frame(releaseAt, false);
  }

  Ombrel::CLayout2D m_layout;
  Ombrel::CEventManager m_events;
  CEventLog m_log;
  std::unique_ptr<CPauseMenu> m_menu;
};

}  // namespace

TEST_F(PauseMenuTest, OpensAndClosesInAQuarterSecondWithTheListsAlphaFollowingTheFade) {
  auto node = std::make_unique<CPauseMenuNode>(&m_layout, nullptr);
  m_menu->SetNode(node.get());
  EXPECT_FALSE(m_menu->IsOpen());
  m_menu->Open();
  EXPECT_TRUE(node->IsDrawn());
  const float opening[] = {0.2f, 0.4f, 0.6f, 0.8f};
  for (float expected : opening) {
    Frame(kOutside, false);
    EXPECT_EQ(m_menu->GetState(), CPauseMenu::kOpening);
    EXPECT_NEAR(m_menu->GetAlpha(), expected, 1e-5f);
    EXPECT_NEAR(m_menu->GetBackdropAlpha(), expected, 1e-5f);
  }
  Frame(kOutside, false);
  EXPECT_EQ(m_menu->GetState(), CPauseMenu::kOpen);
  EXPECT_EQ(m_menu->GetAlpha(), 1.0f);

  m_menu->Close();
  EXPECT_EQ(m_menu->GetTimer(), 0.0f);
  Frame(kOutside, false);
  EXPECT_EQ(m_menu->GetState(), CPauseMenu::kClosing);
  EXPECT_NEAR(m_menu->GetAlpha(), 0.8f, 1e-5f);
  EXPECT_NEAR(m_menu->GetBackdropAlpha(), 0.8f, 1e-5f) << "the frozen game fades out with the menu";
  for (int i = 0; i < 4; ++i) Frame(kOutside, false);
  EXPECT_EQ(m_menu->GetState(), CPauseMenu::kClosed);
  EXPECT_FALSE(node->IsDrawn());
  EXPECT_EQ(m_menu->GetAlpha(), 0.0f);
  Frame(kOutside, false);
  EXPECT_EQ(node->GetAlpha(), 0.0f);
}

// Which press and release lead to which event; a button acts only when released over the one
// it was pressed on, and the held look goes with every release.
TEST_F(PauseMenuTest, AButtonActsOnTheReleaseOverTheButtonItWasPressedOn) {
  using M = CPauseMenu;
  struct SCase {
    const char* what;
    Vector2 press, release;
    std::vector<int32_t> events;
    int32_t state;
  } cases[] = {
      {"continue", On(M::kContinue), On(M::kContinue), {M::kEventToggle}, M::kOpen},
      {"quit", On(M::kQuit), On(M::kQuit), {M::kEventQuit}, M::kOpen},
      {"continue released outside", On(M::kContinue), kOutside, {}, M::kOpen},
      {"options released on help", On(M::kOptionsButton), On(M::kHelpButton), {}, M::kOpen},
      {"pressed outside, released on quit", kOutside, On(M::kQuit), {}, M::kOpen},
      {"options without a box", On(M::kOptionsButton), On(M::kOptionsButton), {}, M::kOptions},
  };
  for (const SCase& c : cases) {
    SCOPED_TRACE(c.what);
    m_log.types.clear();
    OpenFully();
    PressAndRelease(c.press, c.release);
    EXPECT_EQ(m_log.types, c.events);
    EXPECT_EQ(m_menu->GetState(), c.state);
    for (int i = 0; i < M::kButtonCount; ++i) EXPECT_FALSE(m_menu->GetButton(M::EButton(i))->selected) << i;
  }
  // A state without the box is back on the list at the next frame.
  Frame(kOutside, false);
  EXPECT_EQ(m_menu->GetState(), CPauseMenu::kOpen);
}

TEST_F(PauseMenuTest, ThePressSelectsTheButtonUntilTheRelease) {
  OpenFully();
  Frame(On(CPauseMenu::kQuit), false);
  EXPECT_TRUE(m_menu->IsHovered(CPauseMenu::kQuit));
  Frame(On(CPauseMenu::kQuit), true);
  EXPECT_TRUE(m_menu->GetButton(CPauseMenu::kQuit)->selected);
  EXPECT_FALSE(m_menu->GetButton(CPauseMenu::kContinue)->selected);
  Frame(kOutside, true);
  EXPECT_TRUE(m_menu->GetButton(CPauseMenu::kQuit)->selected) << "held outside";
  Frame(kOutside, false);
  EXPECT_FALSE(m_menu->GetButton(CPauseMenu::kQuit)->selected);
  EXPECT_TRUE(m_log.types.empty());
}

// The options box takes the input and the frame while the list fades out over the first half
// of its opening and back in over the second half of its closing; closed, the list reacts again.
TEST_F(PauseMenuTest, TheOptionsAndHelpBoxesTakeOverTheListAndGiveItBack) {
  menutest::CFakeBox options, help;
  m_menu->SetOptionsBox(&options, nullptr);
  m_menu->SetHelpBox(&help, nullptr);
  struct SCase {
    CPauseMenu::EButton button;
    menutest::CFakeBox* box;
    int32_t state;
  } cases[] = {{CPauseMenu::kOptionsButton, &options, CPauseMenu::kOptions},
               {CPauseMenu::kHelpButton, &help, CPauseMenu::kHelp}};
  for (const SCase& c : cases) {
    SCOPED_TRACE(c.state);
    OpenFully();
    PressAndRelease(On(c.button), On(c.button));
    ASSERT_EQ(m_menu->GetState(), c.state);
    EXPECT_EQ(c.box->opened, 1);
    EXPECT_EQ(m_menu->GetAlpha(), 1.0f) << "the box's opening has just begun";
    const int inputs = c.box->inputs, updates = c.box->updates;
    Frame(kOutside, false);  // a quarter of the box's opening
    EXPECT_NEAR(m_menu->GetAlpha(), 0.6f, 1e-5f);
    Frame(kOutside, false);
    Frame(kOutside, false);
    EXPECT_EQ(m_menu->GetAlpha(), 0.0f) << "hidden from the opening's second half";
    EXPECT_EQ(c.box->inputs - inputs, 3);
    EXPECT_EQ(c.box->updates - updates, 3);

    c.box->state = Vey::IMenuBox::kOpen;
    m_menu->Close();
    EXPECT_EQ(m_menu->GetState(), c.state) << "the menu stays while its box is shown";
    EXPECT_EQ(m_menu->GetAlpha(), 0.0f);

    c.box->state = Vey::IMenuBox::kClosing;
    c.box->fadeTime = 0.0f;
    Frame(kOutside, false);  // a fifth into the box's closing
    EXPECT_EQ(m_menu->GetAlpha(), 0.0f) << "still hidden in the closing's first half";
    Frame(kOutside, false);
    Frame(kOutside, false);
    EXPECT_NEAR(m_menu->GetAlpha(), 0.2f, 1e-5f) << "fading back in over the closing's second half";
    c.box->closeNow = true;
    Frame(kOutside, false);
    EXPECT_EQ(m_menu->GetState(), CPauseMenu::kOpen);
    EXPECT_EQ(m_menu->GetAlpha(), 1.0f);
    c.box->closeNow = false;
    m_log.types.clear();
    PressAndRelease(On(CPauseMenu::kContinue), On(CPauseMenu::kContinue));
    EXPECT_EQ(m_log.types, std::vector<int32_t>{CPauseMenu::kEventToggle});
  }
}

// A press anywhere over the paused game plays the pointer's glint from its start, as the title
// screen's does; without a press it runs on and stops at its end.
TEST_F(PauseMenuTest, APressRestartsThePointersGlint) {
  auto glint = Ombrel::CTextureAnimation::CreateGrid(4, nullptr, 2, 2);
  glint->SetLoop(false);
  ASSERT_TRUE(glint->SetDuration(1.0f));
  m_menu->SetPointerAnimation(glint.get());
  OpenFully();
  EXPECT_FALSE(glint->IsPlaying());
  Frame(kOutside, true);
  EXPECT_TRUE(glint->IsPlaying());
  EXPECT_NEAR(glint->GetProgress(), kFrame, 1e-5f);
  for (int i = 0; i < 10; ++i) Frame(kOutside, true);  // held: no new press
  EXPECT_NEAR(glint->GetProgress(), 11 * kFrame, 1e-5f);
  Frame(kOutside, false);
  Frame(On(CPauseMenu::kHelpButton), true);
  EXPECT_NEAR(glint->GetProgress(), kFrame, 1e-5f) << "a press over a button too";
}

