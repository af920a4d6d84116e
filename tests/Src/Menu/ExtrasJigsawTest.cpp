// The extras jigsaw on the built pictures, driven as a player drives it through the bonus game
// page: pieces carried to their places until the picture is done and OK leaves, drops near
// and not quite near enough, the pause and its three choices, a half-done picture resumed
// from the profile, damaged saved pictures started afresh, the page's arrows and play button,
// and frames of the page and of a placed piece read back.

#include <gtest/gtest.h>

#include "Framework/Resources/ResourceTypes/omResourceRenderTarget.h"
#include "Framework/Resources/omResourceManager.h"
#include "Framework/omAssetModule.h"
#include "Framework/omLayout2D.h"
#include "Src/World/Vey_Button.h"
#include "Src/World/Vey_EmitterGroup.h"
#include "Src/Location/Vey_FrozenPicture.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/World/Vey_Screen.h"
#include "Src/Menu/Vey_ExtrasGameMenu.h"
#include "tests/Src/Menu/MenuTestKit.h"

#include <cmath>
#include <cstring>
#include <functional>
#include <set>
#include <string>

using namespace Vey;
using namespace menutest;

namespace {

class ExtrasJigsawTest : public CMenuDrawFixture {
 protected:
  void TearDown() override {
    m_page.reset();
    m_snapshot.reset();
    CMenuDrawFixture::TearDown();
  }

  // The page made as the extras menu makes it, opened, its fade over; on a window to draw.
  void OpenPage(bool onWindow = false) {
    if (onWindow) {
      EnterOnWindow(640, 360);
    } else {
      EnterMenu(true, 1);
    }
    ASSERT_TRUE(FindExtrasGameLayouts(m_args));
    m_args.sounds = m_menu->GetSoundBank();
    m_args.effects = &m_effects;
    ASSERT_TRUE(LoadJigsawEffects(m_effects));
    // The menu's snapshot behind its boxes serves the pause as well.
    Ombrel::CResourceRenderTarget* target = Ombrel::GetResourceManager()->GetRenderTarget(CMenu::kCaptureTarget);
    ASSERT_NE(target, nullptr);
    m_args.captureTexture = target->GetTexture();
    ASSERT_NE(m_args.captureTexture, nullptr);
    m_snapshot = std::make_unique<CFrozenPicture>(m_args.captureTexture);
    m_args.capturePicture = m_snapshot.get();
    MakePage();
  }
  void MakePage() {
    m_page = std::make_unique<CExtrasGameMenu>(m_args);
    m_page->Open();
    for (int i = 0; i < 6; ++i) PageFrame({2048.0f, 1700.0f}, false);
    ASSERT_EQ(m_page->state, IMenuBox::kOpen);
  }

  CExtrasMiniGame& Jigsaw() { return m_page->GetJigsaw(); }
  SMiniGameBoard& Board(int picture) { return GetSaveData()->CurrentProfile()->miniGames.boards[picture]; }

  // One frame with the pointer and the left button, given where the page sends its input.
  void PageFrame(const Vector2& at, bool down, float dt = kFrame) {
    if (m_page->state != CExtrasGameMenu::kJigsaw) {
      m_page->input.Take(at, down);
    } else if (Jigsaw().state == CExtrasMiniGame::kPaused) {
      Jigsaw().GetPause().input.Take(at, down);
    } else {
      Jigsaw().input.Take(at, down);
    }
    m_page->Update(dt);
  }
  void PageClick(const Vector2& at) {
    PageFrame(at, false);
    PageFrame(at, true);
    PageFrame(at, false);
  }
  Vector2 NodeCentre(const Ombrel::CLayout2D* layout, const char* name) {
    const Ombrel::SLayoutBox* box = FindLayoutBox(*layout, name);
    EXPECT_NE(box, nullptr) << name;
    return box ? ToVirtualScreen(box->position) : Vector2{};
  }
  void Settle(int frames = 12) {
    for (int i = 0; i < frames; ++i) PageFrame({2048.0f, 1700.0f}, false);
  }

  // The picture started from the page's play button, its opening over.
  void Play(int picture) {
    m_page->gameIndex = picture;
    PageClick(NodeCentre(m_args.layout, "root/Frame/Outline1"));
    ASSERT_EQ(m_page->state, CExtrasGameMenu::kJigsaw);
    Settle(6);
    ASSERT_EQ(Jigsaw().state, CExtrasMiniGame::kPlaying);
  }
  // Picks whatever loose piece lies on top at the place of the piece at `position`; its id.
  int32_t PickAt(int position) {
    PageClick(Jigsaw().GetLoosePlace(Jigsaw().GetPiece(position).id));
    EXPECT_GE(Jigsaw().heldIndex, 0);
    return Jigsaw().heldIndex < 0 ? 0 : Jigsaw().GetPiece(Jigsaw().heldIndex).id;
  }
  void PlaceSome(int count) {
    for (int placed = 0; placed < count; ++placed) PageClick(Jigsaw().GetTarget(PickAt(0)));
  }
  int PlacedCount() {
    int count = 0;
    for (int i = 0; i < kJigsawPieceCount; ++i) count += Jigsaw().GetPiece(i).placed ? 1 : 0;
    return count;
  }
  void OpenPauseByMenuButton() {
    PageClick(NodeCentre(m_args.pictures[Jigsaw().pictureIndex], "root/ExitButton"));
    ASSERT_EQ(Jigsaw().state, CExtrasMiniGame::kPaused);
    Settle(6);
    ASSERT_EQ(Jigsaw().GetPause().state, IMenuBox::kOpen);
  }

  // The pause's exit; the pause's fade, then the picture's.
  void LeaveByPause() {
    OpenPauseByMenuButton();
    PageClick(NodeCentre(m_args.pauseLayout, "root/Frame/Outline0"));
    Settle(12);
    ASSERT_EQ(Jigsaw().state, CExtrasMiniGame::kClosed);
  }

  SExtrasGameMenuArgs m_args;
  CEmitterGroup m_effects;
  std::unique_ptr<CFrozenPicture> m_snapshot;
  std::unique_ptr<CExtrasGameMenu> m_page;
};

// Every piece carried from where it lies to its place: each locks in, the completion effect
// plays out, the OK button shows and leaves the picture, done, in the profile.
TEST_F(ExtrasJigsawTest, PiecesCarriedToTheirPlacesFinishThePictureAndOkLeaves) {
  OpenPage();
  Play(1);
  for (int guard = 0; guard < 200 && PlacedCount() < kJigsawPieceCount; ++guard) {
    int loose = 0;
    while (Jigsaw().GetPiece(loose).placed) ++loose;
    const int32_t id = PickAt(loose);
    PageClick(Jigsaw().GetTarget(id));
    ASSERT_EQ(Jigsaw().heldIndex, -1);
    ASSERT_TRUE(Jigsaw().GetPiece(kJigsawPieceCount - 1).placed) << "piece " << id << " on top and placed";
  }
  ASSERT_EQ(PlacedCount(), kJigsawPieceCount);
  EXPECT_FALSE(Jigsaw().IsOkShown());
  Settle(12);
  EXPECT_TRUE(Jigsaw().completed);
  for (int i = 0; i < 200 && !Jigsaw().IsOkShown(); ++i) Settle(1);
  ASSERT_TRUE(Jigsaw().IsOkShown()) << "after the completion effect";
  for (int i = 0; i < kJigsawPieceCount; ++i) EXPECT_EQ(Board(1).placed[i], 1) << i;

  PageClick(NodeCentre(m_args.pictures[1], "root/OkButton"));
  EXPECT_EQ(Jigsaw().state, CExtrasMiniGame::kClosing);
  Settle(6);
  EXPECT_EQ(Jigsaw().state, CExtrasMiniGame::kClosed);
  EXPECT_EQ(m_page->state, IMenuBox::kOpen);
}

// A drop locks the piece in only within 20 virtual units of its place on both axes; any other
// leaves it loose where it was dropped, on top of the others, in the profile too.
TEST_F(ExtrasJigsawTest, ADropLocksInWithinTwentyUnitsOfItsPlaceOnly) {
  OpenPage();
  Play(0);
  const struct {
    float dx, dy;
    bool placed;
  } kDrops[] = {{0.0f, 0.0f, true},   {20.0f, 0.0f, true},   {0.0f, -20.0f, true}, {-20.0f, 20.0f, true},
                {20.05f, 0.0f, false}, {0.0f, 20.05f, false}, {-30.0f, 0.0f, false}, {300.0f, 300.0f, false}};
  for (const auto& drop : kDrops) {
    SCOPED_TRACE(std::to_string(drop.dx) + ", " + std::to_string(drop.dy));
    Jigsaw().Restart();
    const int32_t id = PickAt(kJigsawPieceCount - 1);
    const Vector2 target = Jigsaw().GetTarget(id);
    const Vector2 at{target.x + drop.dx, target.y + drop.dy};
    PageClick(at);
    const auto& top = Jigsaw().GetPiece(kJigsawPieceCount - 1);
    EXPECT_EQ(top.id, id);
    EXPECT_EQ(top.placed, drop.placed);
    EXPECT_EQ(Board(0).placed[kJigsawPieceCount - 1], drop.placed ? 1 : 0);
    if (drop.placed) continue;
    EXPECT_NEAR(Jigsaw().GetLoosePlace(id).x, at.x, 0.01f);
    EXPECT_NEAR(Jigsaw().GetLoosePlace(id).y, at.y, 0.01f);
    const Vector2 stored = FromVirtualScreen(at);
    EXPECT_FLOAT_EQ(Board(0).currentPositions[kJigsawPieceCount - 1][0], stored.x);
    EXPECT_FLOAT_EQ(Board(0).currentPositions[kJigsawPieceCount - 1][1], stored.y);
  }
}

// A click on a placed piece picks nothing, and a loose piece under a placed one can still be
// picked; the drawing order moves in the profile with the pieces.
TEST_F(ExtrasJigsawTest, PlacedPiecesAreLookedThroughAndTheOrderIsKeptInTheProfile) {
  OpenPage();
  Play(0);
  const int32_t placedId = PickAt(kJigsawPieceCount - 1);
  PageClick(Jigsaw().GetTarget(placedId));
  PageClick(Jigsaw().GetTarget(placedId));
  EXPECT_EQ(Jigsaw().heldIndex, -1);
  // Another piece dropped loose right on the placed one is picked through it.
  const int32_t looseId = PickAt(0);
  const Vector2 onPlaced{Jigsaw().GetTarget(placedId).x + 40.0f, Jigsaw().GetTarget(placedId).y};
  PageClick(onPlaced);
  ASSERT_FALSE(Jigsaw().GetPiece(kJigsawPieceCount - 1).placed);
  PageClick(onPlaced);
  ASSERT_EQ(Jigsaw().heldIndex, kJigsawPieceCount - 1);
  EXPECT_EQ(Jigsaw().GetPiece(Jigsaw().heldIndex).id, looseId);
  for (int i = 0; i < kJigsawPieceCount; ++i) EXPECT_EQ(Board(0).pieceIds[i], uint32_t(Jigsaw().GetPiece(i).id));
  EXPECT_TRUE(IsJigsawBoardSound(Board(0), nullptr));
}

// The menu button, Escape and the right button each pause the picture over its snapshot.
TEST_F(ExtrasJigsawTest, TheMenuButtonEscapeAndTheRightButtonPause) {
  OpenPage();
  Play(2);
  const std::function<void()> kWays[] = {
      [&] { PageClick(NodeCentre(m_args.pictures[2], "root/ExitButton")); },
      [&] {
        Jigsaw().escape.Take(true);
        PageFrame({2048.0f, 1700.0f}, false);
        Jigsaw().escape.Take(false);
      },
      [&] {
        Jigsaw().rightButton.Take(true);
        PageFrame({2048.0f, 1700.0f}, false);
        Jigsaw().rightButton.Take(false);
      },
  };
  for (const auto& pause : kWays) {
    pause();
    EXPECT_EQ(Jigsaw().state, CExtrasMiniGame::kPaused);
    EXPECT_TRUE(Jigsaw().captureRequested);
    Settle(6);
    ASSERT_EQ(Jigsaw().GetPause().state, IMenuBox::kOpen);
    // Escape inside the pause is continue.
    Jigsaw().GetPause().escape.Take(true);
    Settle(1);
    Jigsaw().GetPause().escape.Take(false);
    Settle(6);
    EXPECT_EQ(Jigsaw().state, CExtrasMiniGame::kPlaying);
  }
}

// Each of the pause's buttons does its own: continue keeps the pieces, restart puts every
// piece back where the picture first laid it, exit leaves the picture.
TEST_F(ExtrasJigsawTest, ThePausesContinueRestartAndExitEachDoTheirOwn) {
  OpenPage();
  Play(0);
  PlaceSome(3);
  const int32_t movedId = PickAt(0);
  const Vector2 moved = Jigsaw().GetLoosePlace(movedId);
  PageClick({moved.x + 100.0f, moved.y - 50.0f});

  OpenPauseByMenuButton();
  PageClick(NodeCentre(m_args.pauseLayout, "root/Frame/Outline2"));
  Settle(6);
  EXPECT_EQ(Jigsaw().state, CExtrasMiniGame::kPlaying);
  EXPECT_EQ(PlacedCount(), 3);

  OpenPauseByMenuButton();
  PageClick(NodeCentre(m_args.pauseLayout, "root/Frame/Outline1"));
  Settle(6);
  EXPECT_EQ(Jigsaw().state, CExtrasMiniGame::kPlaying);
  EXPECT_EQ(PlacedCount(), 0);
  for (int i = 0; i < kJigsawPieceCount; ++i) {
    EXPECT_EQ(Board(0).currentPositions[i][0], Board(0).startPositions[i][0]) << "every piece at its first place";
    EXPECT_EQ(Board(0).currentPositions[i][1], Board(0).startPositions[i][1]);
    const Vector2 start = ToVirtualScreen({Board(0).startPositions[i][0], Board(0).startPositions[i][1]});
    EXPECT_NEAR(Jigsaw().GetLoosePlace(Jigsaw().GetPiece(i).id).x, start.x, 0.01f);
  }
  EXPECT_EQ(Jigsaw().GetPiece(kJigsawPieceCount - 1).id, movedId) << "the drawing order stays";

  LeaveByPause();
  EXPECT_EQ(Jigsaw().state, CExtrasMiniGame::kClosed);
  EXPECT_EQ(m_page->state, IMenuBox::kOpen);
}

// A half-done picture comes back, in a new page over the same profile, as it was left: the
// drawing order, the placed pieces and where the loose ones lie. A finished one shows OK.
TEST_F(ExtrasJigsawTest, AHalfDonePictureResumesAsItWasLeftAndAFinishedOneShowsOk) {
  OpenPage();
  Play(1);
  PlaceSome(5);
  const int32_t movedId = PickAt(10);
  const Vector2 dropped{2100.0f, 2200.0f};
  PageClick(dropped);
  CExtrasMiniGame::SPiece before[kJigsawPieceCount];
  for (int i = 0; i < kJigsawPieceCount; ++i) before[i] = Jigsaw().GetPiece(i);
  LeaveByPause();

  MakePage();
  Play(1);
  for (int i = 0; i < kJigsawPieceCount; ++i) {
    EXPECT_EQ(Jigsaw().GetPiece(i).id, before[i].id) << i;
    EXPECT_EQ(Jigsaw().GetPiece(i).placed, before[i].placed) << i;
  }
  EXPECT_NEAR(Jigsaw().GetLoosePlace(movedId).x, dropped.x, 0.01f);
  EXPECT_NEAR(Jigsaw().GetLoosePlace(movedId).y, dropped.y, 0.01f);
  EXPECT_FALSE(Jigsaw().IsOkShown());

  std::memset(Board(2).placed, 1, sizeof Board(2).placed);
  Board(2).initialised = 1;
  for (int i = 0; i < kJigsawPieceCount; ++i) Board(2).pieceIds[i] = uint32_t(i + 1);
  MakePage();
  Play(2);
  EXPECT_TRUE(Jigsaw().IsOkShown());
}

using FBreak = void (*)(SMiniGameBoard&);

// A saved picture the jigsaw could not have written starts afresh, reported; the other
// pictures' blocks stay as they were.
TEST_F(ExtrasJigsawTest, ADamagedSavedPictureStartsAfreshAndTheOthersStay) {
  const struct {
    const char* what;
    FBreak damage;
  } kDamages[] = {
      {"first byte", [](SMiniGameBoard& b) { b.initialised = 7; }},
      {"piece id 0", [](SMiniGameBoard& b) { b.pieceIds[3] = 0; }},
      {"piece id 73", [](SMiniGameBoard& b) { b.pieceIds[70] = 73; }},
      {"twice", [](SMiniGameBoard& b) { b.pieceIds[5] = b.pieceIds[6]; }},
      {"placed flag", [](SMiniGameBoard& b) { b.placed[9] = 2; }},
      {"off the screen", [](SMiniGameBoard& b) { b.currentPositions[4][1] = std::nanf(""); }},
      {"off the screen", [](SMiniGameBoard& b) { b.startPositions[4][1] = 5.0f; }},
  };
  OpenPage();
  Play(1);
  PlaceSome(2);
  LeaveByPause();
  for (const auto& damage : kDamages) {
    SCOPED_TRACE(damage.what);
    const SMiniGameBoard other = Board(1);
    Board(0).initialised = 1;
    for (int i = 0; i < kJigsawPieceCount; ++i) Board(0).pieceIds[i] = uint32_t(i + 1);
    damage.damage(Board(0));
    std::string problem;
    EXPECT_FALSE(IsJigsawBoardSound(Board(0), &problem));
    EXPECT_NE(problem.find(damage.what), std::string::npos) << problem;
    m_reports.Texts().clear();
    Play(0);
    EXPECT_NE(m_reports.All().find("damaged"), std::string::npos);
    EXPECT_TRUE(IsJigsawBoardSound(Board(0), nullptr));
    EXPECT_EQ(PlacedCount(), 0);
    for (int i = 0; i < kJigsawPieceCount; ++i) EXPECT_EQ(Jigsaw().GetPiece(i).id, i + 1);
    EXPECT_EQ(std::memcmp(&other, &Board(1), sizeof other), 0);
    LeaveByPause();
  }
}

// The arrows flip the previews and stop at either end; play starts the picture shown; back
// closes the page.
TEST_F(ExtrasJigsawTest, TheArrowsFlipThePreviewsAndPlayStartsTheOneShown) {
  OpenPage();
  const Vector2 previous = NodeCentre(m_args.layout, "root/Buttons/Button");
  const Vector2 next = NodeCentre(m_args.layout, "root/Buttons/Button0");
  const struct {
    const Vector2* arrow;
    int32_t shown;
  } kPresses[] = {{&previous, 0}, {&next, 1}, {&next, 2}, {&next, 2}, {&previous, 1}};
  for (const auto& press : kPresses) {
    PageClick(*press.arrow);
    EXPECT_EQ(m_page->gameIndex, press.shown);
    for (int i = 0; i < kJigsawPictureCount; ++i) EXPECT_EQ(m_page->IsPreviewShown(i), i == press.shown) << i;
  }
  Play(m_page->gameIndex);
  EXPECT_EQ(Jigsaw().pictureIndex, 1);
  EXPECT_EQ(m_page->GetAlpha(), 1.0f) << "the page stays drawn under the picture";

  LeaveByPause();
  PageClick(NodeCentre(m_args.layout, "root/Buttons/Button1"));
  EXPECT_EQ(m_page->state, IMenuBox::kClosing);
  Settle(6);
  EXPECT_EQ(m_page->state, IMenuBox::kClosed);
  EXPECT_EQ(m_page->gameIndex, 1) << "kept for the next opening";
}

// The three pictures are three: each preview, faint copy and piece shows its own picture, so
// that the arrows change what the page shows and Play opens the picture chosen.
TEST_F(ExtrasJigsawTest, EachPicturesPreviewAndPiecesAreItsOwn) {
  OpenPage();
  const auto texture = [](Ombrel::CLayout2D* layout, const std::string& name) {
    const auto* sprite = static_cast<const Ombrel::SLayoutSprite*>(layout->FindItem(name.c_str()));
    EXPECT_TRUE(sprite && sprite->texture) << name;
    return sprite ? sprite->texture : nullptr;
  };
  std::set<TextureRecord*> previews, boards, pieces;
  for (int i = 0; i < kJigsawPictureCount; ++i) {
    previews.insert(texture(m_args.layout, "root/Frame/MiniGame" + std::to_string(i + 1)));
    boards.insert(texture(m_args.pictures[i], "root/Board"));
    pieces.insert(texture(m_args.pictures[i], "root/Details/1"));
  }
  EXPECT_EQ(previews.size(), 3u);
  EXPECT_EQ(boards.size(), 3u);
  EXPECT_EQ(pieces.size(), 3u);
}

// The page as drawn: the dark panel, the golden arrows and the shown preview's picture.
TEST_F(ExtrasJigsawTest, ThePageShowsItsPanelArrowsAndThePreview) {
  OpenPage(true);
  DrawAlone([&] { m_page->Draw(); });
  const SRgb arrow = At(-1.0f, 0.2f);
  EXPECT_TRUE(IsGolden(arrow)) << arrow.r << "," << arrow.g << "," << arrow.b;
  const SRgb panel = At(0.0f, -0.7f);
  EXPECT_LT(panel.Sum(), 200);
  EXPECT_GT(panel.r, panel.b);
  // The mansion's lit windows and its lamp glow in the preview.
  EXPECT_GT(Count(0.0f, 0.2f, 1.4f, 0.7f, IsGolden), 15);
  EXPECT_GT(Count(0.0f, 0.2f, 1.4f, 0.7f, IsLight), 15);
}

// The pause's first frame takes the snapshot of the whole picture; from the next on the pause's
// panel shows over that snapshot, and the pieces are no longer drawn live.
TEST_F(ExtrasJigsawTest, ThePauseShowsOverASnapshotOfThePicture) {
  OpenPage(true);
  Play(0);
  const auto draw = [&] { DrawAlone([&] { m_page->Draw(); }); };
  draw();
  const SRgb table = At(-1.5f, -0.2f);
  OpenPauseByMenuButton();
  EXPECT_TRUE(Jigsaw().captureRequested);
  draw();
  EXPECT_FALSE(Jigsaw().captureRequested);
  draw();
  const SRgb panel = At(0.0f, -0.38f);
  EXPECT_LT(panel.Sum(), 200) << "the pause's dark panel";
  EXPECT_GT(panel.r, panel.b);
  EXPECT_GT(Count(0.0f, 0.1f, 0.6f, 0.16f, IsGolden), 5) << "the continue button's brass rim";
  EXPECT_GT(At(-1.5f, -0.2f).Sum(), 15) << "the snapshot of the table shows round the pause";
  EXPECT_LT(std::abs(At(-1.5f, -0.2f).Sum() - table.Sum()), 60);
}

// In play, and paused over its snapshot, the page leaves no pixel of what lies under it on a
// 16:9 screen, so the menu draws nothing there; fading out, it lets the screen under it show.
TEST_F(ExtrasJigsawTest, ThePageInPlayOrPausedHidesEverythingUnderIt) {
  OpenPage(true);
  Play(0);
  // The pixels in which the page drawn over two different screens differs.
  const auto uncovered = [&] {
    std::vector<uint8_t> frames[2];
    for (const uint32_t under : {0xFFFF00FFu, 0xFF00FF00u}) {
      DrawAlone([&] {
        GetD3DDevice()->Clear(0, nullptr, GFX_CLEAR_TARGET, under, 1.0f, 0);
        m_page->Draw();
      });
      frames[under == 0xFF00FF00u] = m_pixels;
    }
    int count = 0;
    for (size_t i = 0; i + 2 < frames[0].size(); i += 4)
      count += frames[0][i] != frames[1][i] || frames[0][i + 1] != frames[1][i + 1];
    return count;
  };
  EXPECT_TRUE(Jigsaw().CoversScreen());
  EXPECT_EQ(uncovered(), 0) << "in play";
  OpenPauseByMenuButton();
  uncovered();  // the snapshot is taken
  EXPECT_TRUE(Jigsaw().CoversScreen());
  EXPECT_EQ(uncovered(), 0) << "paused";
  Jigsaw().state = CExtrasMiniGame::kClosing;
  Jigsaw().fadeTime = 0.5f;
  EXPECT_FALSE(Jigsaw().CoversScreen());
  EXPECT_GT(uncovered(), 0) << "fading out";
}

// Under the page in play the extras page is not drawn: the frame is the jigsaw's alone, drawn
// with the jigsaw's own draws. Fading in, the page shows through.
TEST_F(ExtrasJigsawTest, UnderThePageInPlayOnlyTheJigsawIsDrawn) {
  OpenPage(true);
  Play(0);
  const auto page = DrawsAndPixels([&] { m_page->Draw(); });
  const auto jigsawAlone = DrawsAndPixels([&] { Jigsaw().Render(); });
  EXPECT_EQ(page.first, jigsawAlone.first);
  EXPECT_TRUE(page.second == jigsawAlone.second);
  Jigsaw().state = CExtrasMiniGame::kOpening;
  Jigsaw().fadeTime = 0.5f;
  EXPECT_GT(DrawsAndPixels([&] { m_page->Draw(); }).first, DrawsAndPixels([&] { Jigsaw().Render(); }).first);
}

// A piece carried to its place is drawn there as it was drawn where it lay, over the faint
// picture that showed there before: the piece with the mansion's first lit window.
TEST_F(ExtrasJigsawTest, APlacedPieceIsDrawnOnItsPlace) {
  OpenPage(true);
  Play(0);
  constexpr int32_t kWindowPiece = 29;
  const Vector2 kInWindow{6.0f, 15.0f};  // virtual units from the piece's centre
  const Vector2 aside = ToVirtualScreen({-1.5f, 0.9f});
  int32_t held = 0;
  for (int guard = 0; guard < kJigsawPieceCount && held != kWindowPiece; ++guard) {
    PageClick(Jigsaw().GetLoosePlace(kWindowPiece));
    held = Jigsaw().GetPiece(Jigsaw().heldIndex).id;
    if (held != kWindowPiece) PageClick(aside);  // the piece lying over it put aside
  }
  ASSERT_EQ(held, kWindowPiece);
  const Vector2 loose = Jigsaw().GetLoosePlace(kWindowPiece), target = Jigsaw().GetTarget(kWindowPiece);
  PageClick(loose);
  Settle(2);
  const auto pixel = [&](const Vector2& centre) {
    DrawAlone([&] { m_page->Draw(); });
    return AtVirtual(centre.x + kInWindow.x, centre.y + kInWindow.y);
  };
  const SRgb pieceBefore = pixel(loose);
  const SRgb placeBefore = pixel(target);
  EXPECT_TRUE(IsGolden(pieceBefore)) << pieceBefore.r << "," << pieceBefore.g << "," << pieceBefore.b;
  PageClick(loose);
  PageClick(target);
  Settle(12);
  const SRgb placeAfter = pixel(target);
  EXPECT_NEAR(placeAfter.r, pieceBefore.r, 6);
  EXPECT_NEAR(placeAfter.g, pieceBefore.g, 6);
  EXPECT_NEAR(placeAfter.b, pieceBefore.b, 6);
  EXPECT_GT(placeAfter.Sum(), placeBefore.Sum() + 150) << "the faint window is covered by the lit one";
}

}  // namespace
