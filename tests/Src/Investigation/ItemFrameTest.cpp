// The item frame: its caption, the button and right-click edges that close it (and only while
// it is shown), the heads-up display's bar and the cursor it hands back, and the frame drawn
// and read back.

#include "Src/Investigation/Vey_ItemFrame.h"
#include "tests/Src/Investigation/QuietHud.h"

#include <gtest/gtest.h>

#include "Src/World/Vey_Map.h"
#include "tests/Src/Investigation/OverlayTestKit.h"

#include <string>
#include <vector>

using namespace Vey;
using overlaytest::AddPicture;
using overlaytest::AddText;
using overlaytest::SetMouse;
using overlaytest::SMouse;
using rendertest::SRgba;

namespace {



// The button (pixels 24..40 x 44..52) and its two pictures, the caption and the dialog's entries.
void AddFrameEntries(Ombrel::CLayout2D& layout, CFont* font, TextureRecord* button, TextureRecord* over,
                     TextureRecord* dialogPortrait) {
  AddPicture(layout, "root/FrameButton", {0.0f, -0.5f}, {0.5f, 0.25f}, button);
  AddPicture(layout, "root/FrameButtonOver", {0.0f, -0.5f}, {0.5f, 0.25f}, over);
  AddPicture(layout, "root/FrameButtonClick", {0.0f, -0.5f}, {0.5f, 0.25f}, over);
  AddText(layout, "root/text_item", {0.0f, 0.5f}, font);
  AddPicture(layout, "root/CharDialog", {-0.875f, 0.875f}, {0.125f, 0.125f}, dialogPortrait);
  AddText(layout, "root/text_dialog", {0.0f, -0.875f}, font);
}

constexpr float kButtonX = 2048.0f, kButtonY = 2176.0f;  // the button's centre on the virtual screen

class ItemFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AddFrameEntries(m_layout, nullptr, nullptr, nullptr, nullptr);
    m_frame = std::make_unique<CItemFrame>("ItemFrame", &m_layout, &m_hud, &m_world, &m_cursor, nullptr, nullptr);
    m_frame->SetBarRelease([this] { ++m_barReleases; });
    m_frame->SetCursorRestore([this] { ++m_cursorRestores; });
  }
  // One frame: the mouse sampled, then the update.
  void Step(const SMouse& mouse, float dt = 0.02f) {
    SetMouse(mouse);
    m_frame->ReadInput();
    m_frame->Update(dt);
  }
  bool Visible(const char* name) const { return m_layout.FindItem(name)->visible; }
  void ShowUntilOpen() {
    m_frame->Show("key");
    Step({}, 0.5f);
    ASSERT_EQ(m_frame->GetState(), kOverlayOpen);
  }

  overlaytest::CInputAndLanguageScope m_scope;
  hmtest::CReportScope m_reports;
  Ombrel::CLayout2D m_layout;
  CQuietHud m_hud;
  CMap m_world{false};
  CRecordingCursor m_cursor;
  std::unique_ptr<CItemFrame> m_frame;
  int m_barReleases = 0;
  int m_cursorRestores = 0;
};

TEST_F(ItemFrameTest, TheEnglishLanguagesShowTheNameInCapitalsOfAsciiLettersOnly) {
  const char* name = "brass key 7 \xC3\xA9t\xC3\xA9";  // "été": its bytes stay
  const struct {
    int32_t language;
    const char* caption;
  } kCases[] = {{kLangEnglish, "BRASS KEY 7 \xC3\xA9T\xC3\xA9"},
                {kLangUk, "BRASS KEY 7 \xC3\xA9T\xC3\xA9"},
                {kLangGerman, name},
                {kLangRussian, name}};
  for (const auto& c : kCases) {
    SetLanguage(c.language);
    m_frame->Show(name);
    EXPECT_EQ(m_frame->GetCaption(), c.caption) << c.language;
  }
}

// While shown: a left press on the button or a right press anywhere closes the frame; nothing
// else does.
TEST_F(ItemFrameTest, OnlyAPressOnTheButtonOrARightPressClosesTheShownFrame) {
  const struct {
    const char* why;
    SMouse mouse;
    bool closes;
  } kCases[] = {
      {"left press on the button", {kButtonX, kButtonY, true, false}, true},
      {"left press beside the button", {kButtonX + 80.0f, kButtonY, true, false}, false},
      {"left press on the button's edge", {kButtonX + 64.0f, kButtonY, true, false}, false},
      {"left button held on the button", {kButtonX, kButtonY, true, true}, false},
      {"left release on the button", {kButtonX, kButtonY, false, true}, false},
      {"right press far from the button", {1800.0f, 1800.0f, false, false, true, false}, true},
      {"right button held", {1800.0f, 1800.0f, false, false, true, true}, false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.why);
    m_frame->Show("key");
    Step({}, 0.5f);
    const int releasesBefore = m_barReleases;
    Step(c.mouse);
    EXPECT_EQ(m_frame->GetState(), c.closes ? kOverlayClosing : kOverlayOpen);
    EXPECT_EQ(m_barReleases - releasesBefore, c.closes ? 1 : 0);
    EXPECT_EQ(Visible("root/FrameButtonClick"), c.closes);
    Step({}, 1.0f);  // closes a closing frame
  }
}

TEST_F(ItemFrameTest, ClicksDuringTheFadesAreIgnored) {
  const SMouse click{kButtonX, kButtonY, true, false, true, false};
  m_frame->Show("key");
  Step(click, 0.25f);
  EXPECT_EQ(m_frame->GetState(), kOverlayOpening);
  Step(click, 0.25f);
  EXPECT_EQ(m_frame->GetState(), kOverlayOpen);  // the fade-in ran on regardless
  Step(click);
  ASSERT_EQ(m_frame->GetState(), kOverlayClosing);
  Step(click, 0.25f);
  EXPECT_EQ(m_frame->GetState(), kOverlayClosing);
  EXPECT_EQ(m_barReleases, 1);
}

TEST_F(ItemFrameTest, ThePicturesFollowTheMouseAndTheButtonAndTheCursorComesBackOnce) {
  ShowUntilOpen();
  Step({kButtonX, kButtonY});
  EXPECT_TRUE(Visible("root/FrameButtonOver"));
  Step({kButtonX, kButtonY + 40.0f});
  EXPECT_FALSE(Visible("root/FrameButtonOver"));
  Step({kButtonX, kButtonY});
  Step({kButtonX, kButtonY, true, false});
  EXPECT_TRUE(Visible("root/FrameButtonClick"));
  Step({kButtonX, kButtonY, false, true}, 0.25f);
  EXPECT_FALSE(Visible("root/FrameButtonClick"));  // the release lifts it

  EXPECT_EQ(m_cursorRestores, 0);
  Step({}, 0.25f);
  EXPECT_EQ(m_frame->GetState(), kOverlayClosed);
  Step({}, 0.25f);
  EXPECT_EQ(m_cursorRestores, 1);

  // Every update told the cursor set that nothing lies under it, with the left button's edges.
  ASSERT_EQ(m_cursor.queries.size(), 8u);
  EXPECT_TRUE(m_cursor.queries[4].pressed);
  EXPECT_TRUE(m_cursor.queries[5].released);
  for (const SCursorQuery& query : m_cursor.queries) {
    EXPECT_EQ(query.pickedObject, "None");
    EXPECT_EQ(query.exitTarget, 58);
    EXPECT_EQ(query.closeUp, 30);
  }

  // Shown again, both button pictures start hidden.
  m_layout.FindItem("root/FrameButtonOver")->visible = true;
  m_layout.FindItem("root/FrameButtonClick")->visible = true;
  m_frame->Show("key");
  EXPECT_FALSE(Visible("root/FrameButtonOver"));
  EXPECT_FALSE(Visible("root/FrameButtonClick"));
}

// ---- drawn

using overlaytest::kGrey;
constexpr SRgba kFrameBlue{0, 0, 255, 255};
constexpr SRgba kFrameYellow{255, 255, 0, 255};
constexpr SRgba kGreen{0, 255, 0, 255};

class ItemFrameDrawTest : public overlaytest::COverlayDrawFixture {
 protected:
  void SetUp() override {
    COverlayDrawFixture::SetUp();
    LoadDictionary({{"YOU_FOUND", "I"}, {"S01_Knife", "key"}});
    // The frame over pixels 16..48 both ways, under the button and the caption (around (32, 16)).
    AddPicture(m_layout, "root/Frame", {0.0f, 0.0f}, {1.0f, 1.0f}, SolidTexture("frame", kFrameBlue));
    AddFrameEntries(m_layout, &m_font, SolidTexture("button", kFrameYellow), SolidTexture("over", kGreen),
                    SolidTexture("portrait", kFrameBlue));
    m_frame =
        std::make_unique<CItemFrame>("ItemFrame", &m_layout, nullptr, nullptr, nullptr, m_dictionary.get(), nullptr);
  }
  void TearDown() override {
    m_frame.reset();
    COverlayDrawFixture::TearDown();
  }
  std::vector<uint8_t> DrawFrame() { return COverlayDrawFixture::DrawFrame(*m_frame); }

  std::unique_ptr<CItemFrame> m_frame;
};

TEST_F(ItemFrameDrawTest, TheFrameShowsItsPicturesAndTheFoundItemButNotTheDialogsEntries) {
  EXPECT_EQ(Pixel(DrawFrame(), kSize, 32, 32), kGrey);  // closed: nothing

  m_frame->Show("S01_Knife");
  m_frame->Update(0.25f);
  EXPECT_NEAR(Pixel(DrawFrame(), kSize, 32, 32).b, 160, 4);  // half-way into the fade-in

  m_frame->Update(0.25f);
  ASSERT_EQ(m_frame->GetState(), kOverlayOpen);
  std::vector<uint8_t> shown = DrawFrame();
  EXPECT_EQ(Pixel(shown, kSize, 32, 32), kFrameBlue);
  EXPECT_EQ(Pixel(shown, kSize, 32, 48), kFrameYellow);
  EXPECT_EQ(Pixel(shown, kSize, 4, 4), kGrey);  // the dialog's portrait stays undrawn
  // "I KEY" around (32, 16); the dialog's text nowhere.
  EXPECT_GT(TextPixels(shown, 16, 8, 48, 24), 80);
  EXPECT_EQ(TextPixels(shown, 0, 56, 64, 64), 0);

  SetMouse({kButtonX, kButtonY});
  m_frame->ReadInput();
  m_frame->Update(0.02f);
  EXPECT_EQ(Pixel(DrawFrame(), kSize, 32, 48), kGreen);  // the hover picture over the button
}

}  // namespace
