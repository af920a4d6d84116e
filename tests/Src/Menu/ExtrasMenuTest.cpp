// The extras menu as the title screen opens it: its fades and the cross-fade with its pages,
// the hover sound, which of two overlapping buttons acts; the wallpaper page's arrows and its
// export into a folder of the test's with a made-up desktop portal; and both drawn and read
// back.

#include <gtest/gtest.h>

#include "Src/World/Vey_Button.h"
#include "Src/World/Vey_Screen.h"
#include "Src/World/Vey_SoundContainer.h"
#include "Src/Menu/Vey_ExtrasMenu.h"
#include "Src/Menu/Vey_ExtrasWallpaperMenu.h"
#include "Src/Menu/Vey_MenuMessage.h"
#include "tests/Src/Menu/MenuTestKit.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace Vey;
using namespace menutest;

namespace {

// A sixteenth of a second: each fade takes exactly four frames.
constexpr float kStep = 0.0625f;

// A desktop portal that answers as the test says and remembers what it was asked to show.
class CFakePortal : public IWallpaperPortal {
 public:
  explicit CFakePortal(EAnswer answer, std::vector<std::string>* asked) : m_answer(answer), m_asked(asked) {}
  EAnswer SetWallpaper(const std::string& path, std::string* detail) override {
    m_asked->push_back(path);
    if (detail) *detail = "made up";
    return m_answer;
  }

 private:
  EAnswer m_answer;
  std::vector<std::string>* m_asked;
};

std::vector<char> FileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

class ExtrasMenuTest : public CMenuDrawFixture {
 protected:
  void Enter() {
    m_moreContent = {"Wallpapers"};
    EnterMenu(true, 1);
    m_extras = dynamic_cast<CExtrasMenu*>(m_menu->GetBox(CMenu::kExtrasMenu));
    ASSERT_NE(m_extras, nullptr);
  }
  void OpenExtras() {
    m_extras->Open();
    for (int i = 0; i < 6 && m_extras->state != IMenuBox::kOpen; ++i) ExtrasFrame(Away(), false);
    ASSERT_EQ(m_extras->state, IMenuBox::kOpen);
  }
  // The pointer well off every button.
  static Vector2 Away() { return {1800.0f, 1800.0f}; }

  // The pointer and the button given to whichever part reads them this frame.
  void Feed(const Vector2& at, bool down) {
    if (m_extras->state == CExtrasMenu::kWallpapers) {
      CExtrasWallpaperMenu& page = m_extras->GetWallpaperMenu();
      if (page.state == CExtrasWallpaperMenu::kNotice) {
        if (auto* notice = dynamic_cast<CMenuMessage*>(m_menu->GetNoticeBox())) notice->input.Take(at, down);
      } else {
        page.input.Take(at, down);
      }
    } else if (m_extras->state == CExtrasMenu::kBonusGame) {
      m_extras->GetGameMenu().input.Take(at, down);
    } else {
      m_extras->input.Take(at, down);
    }
  }
  void ExtrasFrame(const Vector2& at, bool down) {
    Feed(at, down);
    m_extras->Update(kStep);
  }
  // A frame of the whole menu with the extras open.
  void MenuFrame(const Vector2& at, bool down) {
    Feed(at, down);
    m_menu->Update(kStep);
  }
  // A page built apart from the menu's, opened.
  static void OpenPage(CExtrasWallpaperMenu& page) {
    page.Open();
    for (int i = 0; i < 4; ++i) page.Update(kStep);
    ASSERT_EQ(page.state, IMenuBox::kOpen);
  }
  void ExtrasClick(const Vector2& at) {
    ExtrasFrame(at, false);
    ExtrasFrame(at, true);
    ExtrasFrame(at, false);
  }
  Ombrel::SLayoutBox* Node(const char* layout, const char* name) {
    Ombrel::CResourceLayout2D* resource = Ombrel::GetResourceManager()->GetLayout2D(layout);
    return resource ? FindLayoutBox(*resource->GetLayout(), name) : nullptr;
  }
  Vector2 Centre(const char* layout, const char* name) {
    const Ombrel::SLayoutBox* box = Node(layout, name);
    EXPECT_NE(box, nullptr) << name;
    return box ? ToVirtualScreen(box->position) : Away();
  }
  CSoundContainer& Sounds() { return *m_menu->GetSoundBank(); }

  CExtrasMenu* m_extras = nullptr;
};

// From the title screen's Extras button in and back out; between, the wallpaper page opened
// and closed, the extras layout fading out over the first half of the page's opening and back
// in over the second half of its closing.
TEST_F(ExtrasMenuTest, TheMenuOpensCrossFadesWithItsPageAndClosesBackToTheTitleScreen) {
  Enter();
  Settle();
  const Vector2 extrasButton = CentreOf(CMenu::kLayoutName, "root/Buttons/Button3");
  for (bool down : {false, true, false}) Frame(extrasButton, down, kStep);
  ASSERT_EQ(m_menu->GetMenuState(), CMenu::kExtrasMenu);
  ASSERT_EQ(m_extras->state, IMenuBox::kOpening);
  ASSERT_EQ(m_extras->GetAlpha(), 0.25f);

  const Vector2 wallpapers = Centre("Extras", "root/Frame/Outline0");
  const Vector2 back = Centre("Extras", "root/Buttons/Button1");
  const Vector2 pageBack = Centre("WallpaperSelection", "root/Buttons/Button1");
  constexpr int32_t kOpening = IMenuBox::kOpening, kOpen = IMenuBox::kOpen, kClosing = IMenuBox::kClosing,
                    kClosed = IMenuBox::kClosed, kPage = CExtrasMenu::kWallpapers;
  const struct {
    const Vector2* at;
    bool down;
    int32_t state, pageState;
    float alpha;
  } kFrames[] = {
      {&wallpapers, false, kOpening, kClosed, 0.5f},
      {&wallpapers, false, kOpening, kClosed, 0.75f},
      {&wallpapers, false, kOpen, kClosed, 1.0f},
      {&wallpapers, true, kPage, kOpening, 1.0f},  // the page opens; it runs from the next frame
      {&wallpapers, false, kPage, kOpening, 0.5f},
      {&wallpapers, false, kPage, kOpening, 0.0f},
      {&wallpapers, false, kPage, kOpening, 0.0f},
      {&wallpapers, false, kPage, kOpen, 0.0f},
      {&pageBack, true, kPage, kClosing, 0.0f},
      {&pageBack, false, kPage, kClosing, 0.0f},
      {&pageBack, false, kPage, kClosing, 0.0f},
      {&pageBack, false, kPage, kClosing, 0.5f},
      {&pageBack, false, kOpen, kClosed, 1.0f},
      {&back, false, kOpen, kClosed, 1.0f},  // the button taken anew: up since the page opened
      {&back, true, kClosing, kClosed, 1.0f},
      {&back, false, kClosing, kClosed, 0.75f},
      {&back, false, kClosing, kClosed, 0.5f},
      {&back, false, kClosing, kClosed, 0.25f},
  };
  int frame = 0;
  for (const auto& step : kFrames) {
    SCOPED_TRACE("frame " + std::to_string(frame++));
    MenuFrame(*step.at, step.down);
    EXPECT_EQ(m_extras->state, step.state);
    EXPECT_EQ(m_extras->GetWallpaperMenu().state, step.pageState);
    EXPECT_EQ(m_extras->GetAlpha(), step.alpha);
    EXPECT_EQ(m_menu->GetMenuState(), CMenu::kExtrasMenu);
  }
  EXPECT_TRUE(m_extras->IsHovered(CExtrasMenu::kBackButton));
  EXPECT_FALSE(m_extras->IsHovered(CExtrasMenu::kWallpapersButton));
  MenuFrame(back, false);
  EXPECT_EQ(m_extras->state, IMenuBox::kClosed);
  EXPECT_EQ(m_menu->GetMenuState(), CMenu::kTitle);
}

// "mouse_over" sounds as the pointer comes onto a button, not while it stays there, and again
// for the next button it moves straight onto.
TEST_F(ExtrasMenuTest, TheHoverSoundPlaysOnceForEachButtonThePointerComesOnto) {
  Enter();
  OpenExtras();
  const Vector2 bonus = Centre("Extras", "root/Frame/Outline1");
  const Vector2 wallpapers = Centre("Extras", "root/Frame/Outline0");
  const struct {
    const Vector2* at;
    bool sounds;
  } kMoves[] = {{&bonus, true}, {&bonus, false}, {&wallpapers, true}, {&wallpapers, false}, {&bonus, true}};
  for (const auto& move : kMoves) {
    Sounds().StopSoundByName("mouse_over");
    ExtrasFrame(*move.at, false);
    EXPECT_EQ(Sounds().IsPlayingByName("mouse_over"), move.sounds);
  }
}

// A press where two buttons lie over each other: the bonus game before the wallpapers, the
// wallpapers before the back button.
TEST_F(ExtrasMenuTest, APressOnOverlappingButtonsTakesTheBonusGameThenTheWallpapersThenBack) {
  Enter();
  Ombrel::SLayoutBox* bonus = Node("Extras", "root/Frame/Outline1");
  Ombrel::SLayoutBox* wallpapers = Node("Extras", "root/Frame/Outline0");
  Ombrel::SLayoutBox* back = Node("Extras", "root/Buttons/Button1");
  ASSERT_TRUE(bonus && wallpapers && back);
  const Vector2 spot = wallpapers->position, elsewhere{5.0f, 5.0f};
  const struct {
    Vector2 bonusAt, backAt;
    int32_t opened;
  } kCases[] = {{spot, spot, CExtrasMenu::kBonusGame}, {elsewhere, spot, CExtrasMenu::kWallpapers}};
  for (const auto& overlap : kCases) {
    bonus->position = overlap.bonusAt;
    back->position = overlap.backAt;
    OpenExtras();
    ExtrasClick(ToVirtualScreen(spot));
    EXPECT_EQ(m_extras->state, overlap.opened);
    m_extras->state = IMenuBox::kClosed;
  }
}

// The arrows stop at the first and at the last wallpaper, sounding and pressing all the same;
// the wallpaper shown is kept for the next opening.
TEST_F(ExtrasMenuTest, TheWallpaperArrowsStopAtTheFirstAndTheLastWallpaper) {
  Enter();
  OpenExtras();
  ExtrasClick(Centre("Extras", "root/Frame/Outline0"));
  for (int i = 0; i < 6; ++i) ExtrasFrame(Away(), false);
  CExtrasWallpaperMenu& page = m_extras->GetWallpaperMenu();
  ASSERT_EQ(page.state, IMenuBox::kOpen);
  const Vector2 previous = Centre("WallpaperSelection", "root/Buttons/Button");
  const Vector2 next = Centre("WallpaperSelection", "root/Buttons/Button0");
  const struct {
    const Vector2* arrow;
    int32_t shown;
  } kPresses[] = {{&previous, 0}, {&next, 1}, {&next, 2}, {&next, 2}, {&previous, 1}};
  for (const auto& press : kPresses) {
    ExtrasFrame(*press.arrow, false);
    Sounds().StopSoundByName("menu_nav");
    ExtrasFrame(*press.arrow, true);
    EXPECT_TRUE(Sounds().IsPlayingByName("menu_nav"));
    ExtrasFrame(*press.arrow, false);
    EXPECT_EQ(page.wallpaperIndex, press.shown);
    for (int i = 0; i < CExtrasPage::kPreviewCount; ++i) EXPECT_EQ(page.IsPreviewShown(i), i == press.shown) << i;
  }
  page.Open();
  EXPECT_TRUE(page.IsPreviewShown(1));
}

TEST(WallpaperSourceTest, TheWindowsShapeChoosesTheWidePictureOnlyWhenWiderThanFourToThree) {
  const struct {
    float aspect;
    const char* source;
  } kShapes[] = {{1.25f, "Wallpapers\\Wallpaper1_1024x768.bmp"},
                 {4.0f / 3.0f, "Wallpapers\\Wallpaper1_1024x768.bmp"},
                 {1.6f, "Wallpapers\\Wallpaper1_1280x800.bmp"},
                 {16.0f / 9.0f, "Wallpapers\\Wallpaper1_1280x800.bmp"}};
  for (const auto& shape : kShapes) EXPECT_EQ(WallpaperSource(0, shape.aspect), shape.source) << shape.aspect;
  EXPECT_EQ(WallpaperSource(2, 1.6f), "Wallpapers\\Wallpaper3_1280x800.bmp");
}

// The export writes the picture into the folder and asks the portal to show it: "wallpaper
// set" only when the portal did, else the saved path; a missing picture or a folder that cannot
// be written is reported, tells nothing and leaves the page as it was.
TEST_F(ExtrasMenuTest, TheExportTellsSetOnlyWhenThePortalSetItAndReportsAFailedReadOrWrite) {
  Enter();
  const std::string folder = m_root + "pictures";
  const std::string blocked = m_root + "not-a-folder";
  std::ofstream(blocked) << "a file where the folder should be";
  const struct {
    const char* name;
    IWallpaperPortal::EAnswer answer;
    bool missingPicture;
    const std::string* into;
    int32_t told;  // -1: no notice
  } kCases[] = {
      {"portal set it", IWallpaperPortal::kSet, false, &folder, IMenuNotice::kWallpaperSet},
      {"no portal", IWallpaperPortal::kNoPortal, false, &folder, IMenuNotice::kWallpaperSaved},
      {"portal refused", IWallpaperPortal::kRefused, false, &folder, IMenuNotice::kWallpaperSaved},
      {"picture missing", IWallpaperPortal::kSet, true, &folder, -1},
      {"folder not writable", IWallpaperPortal::kSet, false, &blocked, -1},
  };
  const std::string source = WallpaperSource(1, GetAspect());
  std::string sourcePath = m_root + source;
  std::replace(sourcePath.begin(), sourcePath.end(), '\\', '/');
  const std::vector<char> picture = FileBytes(sourcePath);
  ASSERT_GT(picture.size(), 1000u);
  for (const auto& exportCase : kCases) {
    SCOPED_TRACE(exportCase.name);
    std::filesystem::remove_all(folder);
    if (exportCase.missingPicture) std::filesystem::rename(sourcePath, sourcePath + ".away");
    CFakeMessage notice;
    std::vector<std::string> asked;
    CExtrasWallpaperMenu page(Ombrel::GetResourceManager()->GetLayout2D("WallpaperSelection")->GetLayout(), nullptr,
                              m_menu->GetSoundBank(), &notice);
    page.SetDesktop(std::make_unique<CFakePortal>(exportCase.answer, &asked), *exportCase.into);
    page.wallpaperIndex = 1;
    OpenPage(page);
    const size_t reports = m_reports.Texts().size();
    const Vector2 use = Centre("WallpaperSelection", "root/Frame/Outline1");
    for (bool down : {false, true, false}) {
      page.input.Take(use, down);
      page.Update(kStep);
    }
    const std::string written = *exportCase.into + "/Hollowmere Wallpaper 2.bmp";
    EXPECT_EQ(notice.told, exportCase.told);
    if (exportCase.told < 0) {
      EXPECT_EQ(page.state, IMenuBox::kOpen);
      EXPECT_GT(m_reports.Texts().size(), reports) << "the failure is reported";
      EXPECT_TRUE(asked.empty()) << "the desktop is not asked";
      EXPECT_FALSE(std::filesystem::exists(folder + "/Hollowmere Wallpaper 2.bmp"));
    } else {
      EXPECT_EQ(page.state, CExtrasWallpaperMenu::kNotice);
      EXPECT_EQ(m_reports.Texts().size(), reports) << m_reports.All();
      ASSERT_EQ(asked.size(), 1u);
      EXPECT_EQ(asked[0], written);
      EXPECT_EQ(FileBytes(written), picture);
      EXPECT_EQ(notice.savedPath, exportCase.told == IMenuNotice::kWallpaperSaved ? written : "");
      // The page comes back once the notice has closed.
      notice.closeNow = true;
      page.Update(kStep);
      EXPECT_EQ(page.state, IMenuBox::kOpen);
    }
    EXPECT_FALSE(std::filesystem::exists(written + ".part"));
    if (exportCase.missingPicture) std::filesystem::rename(sourcePath + ".away", sourcePath);
  }
}

// A second export of the same wallpaper replaces the file written before.
TEST_F(ExtrasMenuTest, ASecondExportReplacesTheFileWrittenBefore) {
  Enter();
  const std::string folder = m_root + "pictures";
  std::filesystem::create_directories(folder);
  const std::string written = folder + "/Hollowmere Wallpaper 1.bmp";
  std::ofstream(written) << "an older, longer file that the export must replace entirely .........";
  std::vector<std::string> asked;
  CExtrasWallpaperMenu page(Ombrel::GetResourceManager()->GetLayout2D("WallpaperSelection")->GetLayout(), nullptr,
                            nullptr, nullptr);
  page.SetDesktop(std::make_unique<CFakePortal>(IWallpaperPortal::kSet, &asked), folder);
  for (int i = 0; i < 2; ++i) EXPECT_EQ(page.ExportWallpaper(), CExtrasWallpaperMenu::kWallpaperSet);
  std::string sourcePath = m_root + WallpaperSource(0, GetAspect());
  std::replace(sourcePath.begin(), sourcePath.end(), '\\', '/');
  EXPECT_EQ(FileBytes(written), FileBytes(sourcePath));
  EXPECT_EQ(asked.size(), 2u);
}

// The extras menu drawn over the title screen: its dark panel and the two text buttons' light
// words; then the wallpaper page with the first wallpaper's preview.
TEST_F(ExtrasMenuTest, TheMenuAndTheWallpaperPageAreDrawnWithTheirPanelsButtonsAndPreview) {
  ASSERT_TRUE(hmtest::OpenDrawingWindow(640, 480));
  m_engine = true;
  Enter();
  OpenExtras();
  DrawAlone([&] { m_extras->Draw(); });
  const SRgb panel = At(0.6f, 0.35f);
  EXPECT_LT(panel.Sum(), 200);
  EXPECT_GT(panel.r, panel.b);
  for (float y : {0.12f, -0.18f}) {
    EXPECT_GT(Count(0.0f, y, 0.6f, 0.1f, IsLight), 5) << y;
    const SRgb plate = At(0.0f, y + 0.06f);  // the plate's dark wood above the words
    EXPECT_TRUE(plate.Sum() < 200 && plate.r > plate.b) << plate.r << "," << plate.g << "," << plate.b;
  }

  ExtrasClick(Centre("Extras", "root/Frame/Outline0"));
  for (int i = 0; i < 6; ++i) ExtrasFrame(Away(), false);
  ASSERT_EQ(m_extras->GetWallpaperMenu().state, IMenuBox::kOpen);
  DrawAlone([&] { m_extras->Draw(); });
  EXPECT_TRUE(IsGolden(At(-1.0f, 0.2f))) << "the left arrow";
  // The mansion's lit windows and its lamp glow in the preview.
  EXPECT_GT(Count(0.0f, 0.2f, 1.2f, 0.7f, IsGolden), 15);
  EXPECT_GT(Count(0.0f, -0.4f, 0.5f, 0.1f, IsLight), 5) << "the use button's words";
}

// The jigsaw started from the box's bonus game: in play it hides the whole screen, so the box
// and its page draw nothing under it.
TEST_F(ExtrasMenuTest, UnderTheJigsawInPlayTheBoxAndItsPageAreNotDrawn) {
  ASSERT_TRUE(hmtest::OpenDrawingWindow(640, 360));
  m_engine = true;
  Enter();
  OpenExtras();
  ExtrasClick(Centre("Extras", "root/Frame/Outline1"));
  CExtrasGameMenu& page = m_extras->GetGameMenu();
  for (int i = 0; i < 6 && page.state != IMenuBox::kOpen; ++i) ExtrasFrame(Away(), false);
  ASSERT_EQ(page.state, IMenuBox::kOpen);
  ExtrasClick(Centre("GameSelection", "root/Frame/Outline1"));
  CExtrasMiniGame& jigsaw = page.GetJigsaw();
  for (int i = 0; i < 12 && jigsaw.state != CExtrasMiniGame::kPlaying; ++i) ExtrasFrame(Away(), false);
  ASSERT_EQ(jigsaw.state, CExtrasMiniGame::kPlaying);
  const auto box = DrawsAndPixels([&] { m_extras->Draw(); });
  const auto jigsawAlone = DrawsAndPixels([&] { jigsaw.Render(); });
  EXPECT_EQ(box.first, jigsawAlone.first);
  EXPECT_TRUE(box.second == jigsawAlone.second);
}

}  // namespace
