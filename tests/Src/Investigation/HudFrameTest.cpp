// The heads-up display drawn from the content the build makes (its list, layouts, pictures and
// font) on the small test device, and read back: the bar along the bottom, items sitting in
// their slots, and the note line fading in at the top of the game view.

#include "Framework/Resources/ResourceTypes/omResourceFont.h"
#include "Framework/Resources/ResourceTypes/omResourceJptTexture.h"
#include "Framework/Resources/ResourceTypes/omResourceLayout2D.h"
#include "Framework/Resources/ResourceTypes/omResourceTexAnim.h"
#include "Framework/Resources/ResourceTypes/omResourceTexture.h"
#include "Framework/Resources/omResourcesXMLLoader.h"
#include "Quor/CFont.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/World/Vey_Screen.h"
#include "Src/Investigation/Vey_Player.h"
#include "tests/Framework/Resources/ResourceTestKit.h"
#include "tests/support/engine/CameraInMode.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <memory>
#include <vector>

using namespace Ombrel;
using rendertest::SRgba;

namespace {

constexpr uint32_t kHudGrey = 0xFF808080;

class HudFrameTest : public restest::CResourceFixture {
 protected:
  void SetUp() override {
    CResourceFixture::SetUp();
    m_vfs = std::make_unique<CVFS>(HM_BINARY_DIR "/content");
    g_pVFS = m_vfs.get();
    m_resources->RegisterLoader(new CResFontLoader, "Font");
    m_resources->RegisterLoader(new CResTextureLoader, "Texture");
    m_resources->RegisterLoader(new CResJptTextureLoader(m_decoder.get()), "TextureJpt");
    m_resources->RegisterLoader(new CResTexAnimLoader(m_decoder.get()), "TexAnim");
    m_resources->RegisterLoader(new CResLayout2DLoader(m_resources.get()), "Layout2D");
    CResourcesXMLLoader reader(m_resources.get());
    reader.Load("App\\Configs\\Hud_Resources.xml");

    m_save = std::make_unique<Vey::SSaveData>();
    m_save->current = 0;
    m_hud = std::make_unique<Vey::CPlayer>(Collaborators());
    m_hud->SetFade(1.0f);
  }
  void TearDown() override {
    m_hud.reset();
    m_resources.reset();
    CResourceFixture::TearDown();
  }

  Vey::SHudCollaborators Collaborators() {
    Vey::SHudCollaborators c;
    c.layout = m_resources->GetLayout2D("HUD")->GetLayout();
    c.items = m_resources->GetLayout2D("Items")->GetLayout();
    c.font = m_resources->GetFont("HiddenObjects")->GetFont();
    CJptTexture* slot = m_resources->GetTextureJpt("EmptyInventorySlot")->GetTextureObject();
    slot->Create();
    c.emptySlot = slot->GetTexture();
    c.stroke = m_resources->GetTexture("Stroke")->GetTexture();
    c.saveData = m_save.get();
    return c;
  }

  // A new display on a screen of that shape.
  void ShowShape(float ratio) {
    m_hud.reset();
    m_camera.reset();
    m_camera = std::make_unique<hmtest::CCameraInMode>(kAspectCustom, ratio);
    hmtest::Reports().clear();
    m_hud = std::make_unique<Vey::CPlayer>(Collaborators());
  }

  std::vector<uint8_t> DrawFrame() {
    BeginFrame(kHudGrey);
    AlphaBlendOn();
    m_hud->Render();
    return EndFrame();
  }
  static SRgba At(const std::vector<uint8_t>& frame, int x, int y) { return Pixel(frame, kSize, x, y); }
  static int Sum(SRgba c) { return c.r + c.g + c.b; }
  // The device pixel of a virtual-screen coordinate: 8 units a pixel, centres on whole pixels.
  static int PixelOf(float virtualUnits) { return int(std::lround((virtualUnits - 1792.0f) / 8.0f)); }
  // The centre pixel of an object of the wide set.
  Vector2 Centre(const char* name) {
    const auto* box = static_cast<const SLayoutBox*>(m_hud->GetLayout()->FindItem(name));
    EXPECT_NE(box, nullptr) << name;
    return box ? Vey::ToVirtualScreen(box->position) : Vector2{};
  }

  // The highest score of a pixel within a pixel of the wide set's slot centre.
  template <class TScore>
  int Strongest(const std::vector<uint8_t>& frame, const char* slot, TScore score) {
    const Vector2 centre = Centre((std::string("root/HUD16:9/") + slot).c_str());
    int best = -1000;
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        best = std::max(best, score(At(frame, PixelOf(centre.x) + dx, PixelOf(centre.y) + dy)));
    return best;
  }

  std::unique_ptr<hmtest::CCameraInMode> m_camera = std::make_unique<hmtest::CCameraInMode>(kAspectWide);
  std::unique_ptr<Vey::SSaveData> m_save;
  std::unique_ptr<Vey::CPlayer> m_hud;
};

// Every object the display looks up is in each of the four sets, each set's slots ending where
// its shape says, and every picture and text of the layout found its resource.
// The screen shapes the display has a set for.
const struct SShape {
  float ratio;
  const char* set;
  int slots;
} kShapes[] = {{1.25f, "5:4", 8}, {4.0f / 3.0f, "4:3", 9}, {1.6f, "16:10", 12}, {16.0f / 9.0f, "16:9", 14}};

TEST_F(HudFrameTest, EveryScreenShapeHasEveryObjectTheDisplayUses) {
  const CLayout2D& layout = *m_hud->GetLayout();
  for (const auto& shape : kShapes) {
    SCOPED_TRACE(shape.set);
    ShowShape(shape.ratio);
    EXPECT_TRUE(hmtest::Reports().empty()) << hmtest::Reports().front();
    EXPECT_EQ(m_hud->VisibleSlots(), shape.slots);
    const std::string set = std::string("root/HUD") + shape.set + "/";
    for (int n = 1; n <= 12; ++n) {
      char name[16];
      std::snprintf(name, sizeof name, "Dummy%02d", n);
      EXPECT_NE(layout.FindItem((set + name).c_str()), nullptr) << name;
    }
    for (int n = 1; n <= shape.slots; ++n) {
      EXPECT_NE(layout.FindItem((set + "Slot" + std::to_string(n)).c_str()), nullptr) << n;
      EXPECT_NE(layout.FindItem((set + "DummySlot" + std::to_string(n)).c_str()), nullptr) << n;
    }
    EXPECT_EQ(layout.FindItem((set + "Slot" + std::to_string(shape.slots + 1)).c_str()), nullptr);
    for (const char* name : {"hudLeft(Blood)", "HintInactive", "hudSpacer", "hudSpacer1", "hudSpacer2", "hudSpacer3",
                             "hudSpacer4"})
      EXPECT_NE(layout.FindItem((set + name).c_str()), nullptr) << name;
  }
  for (const char* name : {"root/ItemDummy", "root/TextBubbleMiddle", "root/TextBubbleLeft", "root/TextBubbleRight",
                           "root/TextBubbleCenter", "root/TutorialButton/Outline",
                           "root/TutorialButton/Outline active", "root/TutorialButton/text_skip"})
    EXPECT_NE(layout.FindItem(name), nullptr) << name;
  for (uint32_t i = 0; i < layout.GetCount(); ++i) {
    const SLayoutItem& item = *layout.GetItem(i);
    if (item.kind == kLayoutSprite) {
      const auto& sprite = static_cast<const SLayoutSprite&>(item);
      EXPECT_TRUE(sprite.texture || (sprite.jptResource && sprite.jptResource->GetTextureObject())) << item.name;
    }
    if (item.kind == kLayoutAnimatedSprite) {
      EXPECT_NE(static_cast<const SLayoutAnimatedSprite&>(item).animation, nullptr) << item.name;
    }
    if (item.kind == kLayoutText) {
      EXPECT_NE(static_cast<const SLayoutText&>(item).style.font, nullptr) << item.name;
    }
  }
}

TEST_F(HudFrameTest, TheWoodenBarRunsAlongTheBottomAndLeavesTheViewAbove) {
  ASSERT_TRUE(hmtest::Reports().empty()) << hmtest::Reports().front();
  ASSERT_EQ(m_hud->VisibleSlots(), 14);
  const std::vector<uint8_t> frame = DrawFrame();
  int darkInBar = 0;
  for (int x = 0; x < kSize; ++x) {
    EXPECT_EQ(Sum(At(frame, x, 30)), 3 * 0x80) << "the view above the bar is untouched at " << x;
    if (Sum(At(frame, x, 62)) < 3 * 0x60) ++darkInBar;
  }
  EXPECT_GT(darkInBar, kSize * 3 / 4) << "dark wood under most of the bottom row";
}

TEST_F(HudFrameTest, ItemsSitInTheirSlotsInTheOrderOfTaking) {
  const std::vector<uint8_t> empty = DrawFrame();
  m_hud->AddItem("G01_Green", true, {2048, 2048});
  m_hud->AddItem("S01_Knife", true, {2048, 2048});
  m_hud->AddItem("G01_Red", true, {2048, 2048});
  for (int i = 0; i < 30; ++i) m_hud->Update(0.02f);
  ASSERT_EQ(m_save->profiles[0].inventoryCount, 3u);
  const std::vector<uint8_t> full = DrawFrame();

  // A slot is two or three pixels wide here: each item's colour is looked for around its centre.
  auto greenness = [](SRgba c) { return c.g - c.r; };
  auto redness = [](SRgba c) { return c.r - c.g; };
  auto steel = [](SRgba c) { return c.b - c.r; };
  EXPECT_GT(Strongest(full, "Slot1", greenness), Strongest(empty, "Slot1", greenness) + 40) << "the green stone";
  EXPECT_GT(Strongest(full, "Slot2", steel), Strongest(empty, "Slot2", steel) + 20) << "the knife's blade";
  EXPECT_GT(Strongest(full, "Slot3", redness), Strongest(empty, "Slot3", redness) + 40) << "the red token";
  EXPECT_EQ(Strongest(full, "Slot5", greenness), Strongest(empty, "Slot5", greenness)) << "an empty slot";
  EXPECT_LT(Strongest(full, "Slot1", redness) + 40, Strongest(full, "Slot3", redness)) << "the red token is last";
}

// The diary answers wherever a player sees the book on its lectern, not at the lectern's edge
// alone; above the book nothing answers.
TEST_F(HudFrameTest, TheDiaryAnswersOverTheBookAPlayerSees) {
  const auto* book = static_cast<const SLayoutBox*>(m_hud->GetLayout()->FindItem("root/Diary/DiaryAnim1"));
  ASSERT_NE(book, nullptr);
  const struct {
    Vector2 at;
    bool answers;
  } kCases[] = {
      {book->position, true},
      {{book->position.x, book->position.y + 0.1f}, true},
      {{book->position.x + 0.1f, book->position.y - 0.05f}, true},
      {{book->position.x, book->position.y + 0.25f}, false},
  };
  for (const auto& c : kCases) {
    m_hud->SetInput(Vey::ToVirtualScreen(c.at), false);
    EXPECT_EQ(m_hud->IsMouseOverDiary(), c.answers) << c.at.x << ", " << c.at.y;
  }
}

// Shows the named objects of the wide set alone, large, in the middle of the small screen.
void ShowAloneInTheMiddle(CLayout2D& layout, std::initializer_list<const char*> names) {
  for (uint32_t i = 0; i < layout.GetCount(); ++i) layout.GetItem(i)->visible = false;
  for (const char* name : names) {
    auto* box = static_cast<SLayoutBox*>(layout.FindItem((std::string("root/HUD16:9/") + name).c_str()));
    ASSERT_NE(box, nullptr) << name;
    box->visible = true;
    box->position = {0.0f, 0.0f};
    box->size = {1.0f, 1.0f};
  }
}

// The fill only marks where the lamp glows: nothing of it shows by itself, neither over the lamp
// nor below it, however far it is lowered.
TEST_F(HudFrameTest, TheHintLampFillsFromTheBottomAsTheHintCharges) {
  ShowAloneInTheMiddle(*m_hud->GetLayout(), {"MaskhudLeft(Blood)", "hudleft(Blood)"});
  m_hud->GetLayout()->FindItem("root/HUD16:9/hudleft(Blood)")->visible = false;  // drawn through the lamp only
  auto amber = [](SRgba c) { return c.r - c.b > 100; };
  // The lamp covers rows 16 to 47; its glass lies within.
  auto lit = [&](const std::vector<uint8_t>& frame, int from, int to) {
    int count = 0;
    for (int y = from; y <= to; ++y)
      for (int x = 0; x < kSize; ++x) count += amber(At(frame, x, y)) ? 1 : 0;
    return count;
  };
  auto rowsBelow = [&](const std::vector<uint8_t>& frame) {
    return std::vector<uint8_t>(frame.begin() + 48 * kSize * 4, frame.end());
  };
  m_hud->SetHintCharge(0.0f);
  const std::vector<uint8_t> spent = DrawFrame();
  m_hud->SetHintCharge(0.5f);
  const std::vector<uint8_t> half = DrawFrame();
  m_hud->SetHintCharge(1.0f);
  const std::vector<uint8_t> full = DrawFrame();
  EXPECT_LT(lit(half, 18, 29), lit(half, 34, 45) / 4) << "half charged: lit at the bottom, dark at the top";
  EXPECT_GT(lit(full, 18, 29), lit(spent, 18, 29) + 20) << "full: lit to the top";
  EXPECT_GT(lit(half, 34, 45), lit(spent, 34, 45) + 20);
  EXPECT_TRUE(rowsBelow(half) == rowsBelow(spent)) << "the lowered fill paints nothing below the lamp";
  EXPECT_TRUE(rowsBelow(full) == rowsBelow(spent));
}

// The menu button turns with the glow phase: a quarter turn on the wide screen gives the picture
// the shape it had turned by a quarter, not its first bounds swapped.
TEST_F(HudFrameTest, TheMenuButtonKeepsItsShapeAsItTurns) {
  ShowAloneInTheMiddle(*m_hud->GetLayout(), {"hudLeft(Moon)"});
  struct SBounds {
    int width, height;
  };
  auto bounds = [](const std::vector<uint8_t>& frame) {
    int left = kSize, right = -1, top = kSize, bottom = -1;
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x) {
        if (std::abs(Sum(At(frame, x, y)) - 3 * 0x80) < 24) continue;
        left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
      }
    return SBounds{right - left + 1, bottom - top + 1};
  };
  const SBounds upright = bounds(DrawFrame());
  m_hud->AdvanceGlowPhase(0.5f * 3.14159265f / 0.1f);  // a quarter turn
  const SBounds turned = bounds(DrawFrame());
  const float aspect = 16.0f / 9.0f;
  ASSERT_GT(upright.height, 16);
  EXPECT_NEAR(turned.width, upright.height / aspect, 2.0);
  EXPECT_NEAR(turned.height, upright.width * aspect, 2.0);
}

TEST_F(HudFrameTest, TheNoteLineFadesInAsADarkBandWithLightText) {
  const int bandRow = PixelOf(1806.08f);
  const std::vector<uint8_t> before = DrawFrame();
  for (int x = 0; x < kSize; ++x) ASSERT_EQ(Sum(At(before, x, bandRow)), 3 * 0x80);

  m_hud->ShowNote("WRONG_ACTION");  // no dictionary: the key itself is shown
  const std::vector<uint8_t> start = DrawFrame();
  EXPECT_EQ(Sum(At(start, 2, bandRow)), 3 * 0x80) << "a fresh note starts invisible";

  m_hud->UpdateNoteTimer(2.5f);
  const std::vector<uint8_t> shown = DrawFrame();
  EXPECT_LT(Sum(At(shown, 1, bandRow)), 3 * 0x40) << "the band spans the width";
  EXPECT_LT(Sum(At(shown, kSize - 2, bandRow)), 3 * 0x40);
  int lit = 0;
  for (int y = bandRow - 1; y <= bandRow + 1; ++y)
    for (int x = 16; x < 48; ++x) lit += Sum(At(shown, x, y)) > 3 * 0x40 ? 1 : 0;
  EXPECT_GT(lit, 3) << "the note's letters";

  m_hud->UpdateNoteTimer(5.0f);
  const std::vector<uint8_t> after = DrawFrame();
  EXPECT_EQ(Sum(At(after, 1, bandRow)), 3 * 0x80) << "gone after five seconds";
}

// A search's list runs from the left edge of each line's marker over the marker's width (the
// content's text-fit test keeps every phrase within it), on the bar beside the hint lamp, the
// diary's book, the menu's moon and the map's compass: on every shape each line lies on the
// screen, clear of those and of the other lines.
TEST_F(HudFrameTest, EveryLineOfASearchListLiesClearOfTheLampTheBookAndTheOtherLines) {
  struct SRect {
    std::string name;
    float left, top, right, bottom;  // virtual-screen units
  };
  for (const auto& shape : kShapes) {
    SCOPED_TRACE(shape.set);
    ShowShape(shape.ratio);
    const CLayout2D& layout = *m_hud->GetLayout();
    const std::string set = std::string("root/HUD") + shape.set + "/";
    const auto rect = [&](const std::string& name) {
      const auto* box = static_cast<const SLayoutBox*>(layout.FindItem(name.c_str()));
      EXPECT_NE(box, nullptr) << name;
      if (!box) return SRect{name, 0, 0, 0, 0};
      const float w = box->size.x * box->scale.x * Vey::kLayoutUnit * Vey::GetInvAspect();
      const float h = box->size.y * box->scale.y * Vey::kLayoutUnit;
      const Vector2 centre = Vey::ToVirtualScreen(box->position);
      return SRect{name, centre.x - w / 2, centre.y - h / 2, centre.x + w / 2, centre.y + h / 2};
    };
    std::vector<SRect> lines;
    auto list = std::make_unique<std::vector<std::string>>();
    for (int n = 1; n <= 12; ++n) list->push_back("Line" + std::string(1, char('A' + n)) + "1");
    m_hud->SetHiddenObjectList(std::move(list));
    for (int n = 1; n <= 12; ++n) {
      char name[16];
      std::snprintf(name, sizeof name, "Dummy%02d", n);
      SRect line = rect(set + name);
      const Vector2 start = m_hud->GetHiddenObjectListPosition("Line" + std::string(1, char('A' + n)) + "1");
      line.right += start.x - line.left;  // where the display begins the line, over the marker's width
      line.left = start.x;
      lines.push_back(line);
    }
    const std::vector<SRect> others = {rect(set + "hudGauge"), rect("root/Diary/DiaryAnim1"), rect(set + "hudLeft(Moon)"),
                                       rect(set + "MapButton/Compass")};
    const auto overlap = [](const SRect& a, const SRect& b) {
      return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
    };
    for (size_t i = 0; i < lines.size(); ++i) {
      const SRect& line = lines[i];
      EXPECT_TRUE(line.left >= 1792.0f && line.right <= 2304.0f) << line.name << " runs off the screen";
      for (const SRect& other : others) EXPECT_FALSE(overlap(line, other)) << line.name << " runs under " << other.name;
      for (size_t j = i + 1; j < lines.size(); ++j)
        EXPECT_FALSE(overlap(line, lines[j])) << line.name << " runs into " << lines[j].name;
    }
  }
}

}  // namespace
