// The game as a player meets it, through the real program headless: the studio's and the
// title's logos fading in and out, the first state, the system message box over a save that
// cannot be written or a damaged one, the debug menu driven by keys, and the same frames from
// the plain content tree and from its archive.

#include <gtest/gtest.h>

#include "tests/e2e/ProgramTestKit.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace e2etest;

// Where the start-up script's logos stand (the logo screen's default place and size).
constexpr float kLogoX = 2048.0f;
constexpr float kLogoY = 2044.416f;
constexpr float kLogoSize = 152.0f;
// The message box's one button, and a place on its wooden face beside the text.
constexpr float kBoxButtonY = 2078.0f;

// The saved body's first field (the effects volume, 1.0 in fresh data) and the index of the
// current profile (-1, none, in fresh data); the save file is the body and its trailer.
constexpr size_t kVolumeOffset = 0;
constexpr size_t kCurrentProfileOffset = 722184;

const SRgb kBlack = {0, 0, 0};
const SRgb kSlate = {0x1E, 0x2A, 0x38};

bool IsGolden(SRgb c) { return c.r > 140 && c.r > c.g && c.g > c.b + 20; }
bool IsBrownWood(SRgb c) { return c.r > c.b + 10 && c.r < 140 && !c.IsNear(kBlack, 6); }
bool IsLit(SRgb c) { return !c.IsNear(kBlack, 8); }
bool IsLight(SRgb c) { return c.r > 180 && c.g > 180 && c.b > 180; }

// The system message box as the player sees it: a wooden face, a message in light letters
// above its golden button.
void ExpectMessageBox(const CCapturedFrame& frame) {
  ASSERT_TRUE(frame.IsLoaded());
  EXPECT_TRUE(IsGolden(frame.At(2048.0f, kBoxButtonY + 15.0f)));
  EXPECT_TRUE(IsBrownWood(frame.At(1920.0f, 2000.0f)));
  const SPixelRect message = frame.Rect(2048.0f, 1960.0f, 300.0f, 80.0f);
  EXPECT_GT(frame.Count(message, IsLight), 100);
}

class StartupSequenceTest : public e2etest::CProgramTest {
 protected:
  void SetUp() override {
    CProgramTest::SetUp();
    fs::remove_all(m_home + "/data/Saves");
  }

  // A first run that leaves a whole save file of fresh data behind.
  void WriteEarlierSave(const std::string& program) {
    const SProgramRun first = Run(program, 3, "0.1", "");
    ASSERT_EQ(first.exitCode, 0) << first.output;
    ASSERT_EQ(fs::file_size(SavePath()), 722200u) << first.output;
  }

  // The save folder refuses new files: read-only for a user; for root, whom permissions do
  // not stop, the temporary file's name is taken by a folder.
  void MakeSavesReadOnly() {
    fs::create_directory(SavePath() + ".tmp");
    fs::permissions(fs::path(SavePath()).parent_path(), fs::perms::owner_read | fs::perms::owner_exec);
  }
  void MakeSavesWritable() {
    std::error_code ignored;
    fs::permissions(fs::path(SavePath()).parent_path(), fs::perms::owner_all, ignored);
  }
  void TearDown() override { MakeSavesWritable(); }
};

// The build's own start-up script: the sequence the player sees, here leading to the debug
// menu, whose text stands still (the game's own tests follow it into the main story).
std::string GameStartup() {
  return ReadTextFile(HM_BINARY_DIR "/bin/startup.lua") + "\nStartup.firstState = system.DebugMenu\n";
}

// Frames of 0.05 s: the studio's logo fills frames 1 to about 65 (three seconds with half a
// second of fade at either end), the title's the next 65, then the start state's half second
// and the debug menu.
constexpr int kStudioFadingIn = 10, kStudioShown = 30, kStudioStillShown = 55, kStudioFadingOut = 62;
constexpr int kTitleShown = 95, kFirstState = 200;
const std::string kSequenceFrames = "5,10,30,55,62,95,200";

TEST_F(StartupSequenceTest, TheLogosFadeInAndOutInTheirPlaceAndTheFirstStateShowsItsText) {
  const SProgramRun run = Run(InstallProgram(m_home, GameStartup()), kFirstState, "0.05", "", kSequenceFrames);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output.find("error"), std::string::npos) << run.output;

  const CCapturedFrame shown = Frame(kStudioShown);
  ASSERT_TRUE(shown.IsLoaded());
  ASSERT_EQ(shown.Width(), kWindowWidth);
  ASSERT_EQ(shown.Height(), kWindowHeight);
  // The picture lies in its square (narrowed by the aspect) on the script's black background
  // and fills most of it.
  const SPixelRect square = shown.Rect(kLogoX, kLogoY, kLogoSize / shown.Aspect(), kLogoSize);
  const SPixelRect slack = {square.left - 2, square.top - 2, square.right + 2, square.bottom + 2};
  SPixelRect picture;
  const int lit = shown.Count(shown.Whole(), IsLit, &picture);
  EXPECT_GT(lit, square.Width() * square.Height() / 2);
  EXPECT_TRUE(slack.Contains(picture)) << picture.left << "," << picture.top << " - " << picture.right << ","
                                       << picture.bottom;
  EXPECT_GE(picture.Width(), square.Width() * 9 / 10);
  EXPECT_GE(picture.Height(), square.Height() * 9 / 10);
  EXPECT_TRUE(shown.At(1800, 1800).IsNear(kBlack, 0));

  // Fading: the same picture, every pixel scaled by one level, rising then falling.
  const int64_t full = shown.Brightness(square);
  const auto level = [&](int frame) { return double(Frame(frame).Brightness(square)) / double(full); };
  const double fadingIn = level(kStudioFadingIn);
  EXPECT_GT(fadingIn, 0.05);
  EXPECT_LT(fadingIn, 0.9);
  EXPECT_LT(level(5), fadingIn);
  EXPECT_TRUE(Frame(kStudioStillShown).SamePixels(shown));
  const double fadingOut = level(kStudioFadingOut);
  EXPECT_GT(fadingOut, 0.05);
  EXPECT_LT(fadingOut, 0.9);
  const CCapturedFrame half = Frame(kStudioFadingIn);
  for (int y = square.top; y < square.bottom; y += 7) {
    for (int x = square.left; x < square.right; x += 7) {
      const SRgb bright = shown.Pixel(x, y), dim = half.Pixel(x, y);
      if (bright.Sum() < 300) continue;
      EXPECT_NEAR(dim.Sum(), fadingIn * bright.Sum(), 0.1 * bright.Sum() + 9) << x << ", " << y;
    }
  }

  // The title's logo: another picture in the same square.
  const CCapturedFrame title = Frame(kTitleShown);
  SPixelRect titlePicture;
  title.Count(title.Whole(), IsLit, &titlePicture);
  EXPECT_TRUE(slack.Contains(titlePicture));
  EXPECT_GT(title.CountDifferences(shown, square, 16), square.Width() * square.Height() / 20);

  // The debug menu: light text in the top rows over the clear colour (a line a registered
  // state), nothing in the lower half.
  const CCapturedFrame menu = Frame(kFirstState);
  const auto isText = [](SRgb c) { return c.r > 120 && c.g > 120 && c.b > 120; };
  const SPixelRect topRows = {0, 0, menu.Width(), menu.Height() / 8};
  const SPixelRect rest = {0, menu.Height() / 2, menu.Width(), menu.Height()};
  EXPECT_GT(menu.Count(topRows, isText), 300);
  EXPECT_EQ(menu.Count(rest, isText), 0);
  EXPECT_TRUE(menu.Pixel(menu.Width() / 2, menu.Height() / 2).IsNear(kSlate, 2));
}

TEST_F(StartupSequenceTest, ThePlainTreeAndTheArchiveGiveTheSameFrames) {
  std::vector<std::vector<std::string>> frames;
  for (EContentMode mode : {EContentMode::kPlain, EContentMode::kArchive}) {
    fs::remove_all(Captures());
    const SProgramRun run = Run(InstallProgram(m_home, GameStartup(), mode), kFirstState, "0.05", "", kSequenceFrames);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output.find("No game content"), std::string::npos) << run.output;
    std::vector<std::string> pictures;
    for (int frame : {kStudioFadingIn, kStudioShown, kTitleShown, kFirstState}) {
      pictures.push_back(ReadTextFile(FramePath(frame)));
      ASSERT_FALSE(pictures.back().empty()) << frame;
    }
    frames.push_back(pictures);
  }
  // The logo was drawn at all (a missing picture would leave both runs equally blank).
  EXPECT_GT(Frame(kStudioShown).Count(Frame(kStudioShown).Whole(), [](SRgb c) { return c.Sum() > 60; }), 10000);
  for (size_t k = 0; k < frames[0].size(); ++k) EXPECT_TRUE(frames[0][k] == frames[1][k]) << "picture " << k;
}

TEST_F(StartupSequenceTest, ADamagedSaveIsKeptAsideThePlayerIsToldAndAFreshProfileStarts) {
  const std::string program = InstallProgram(m_home, kQuietStartup);
  WriteEarlierSave(program);
  std::string damaged = ReadTextFile(SavePath());
  damaged[100] ^= 0x5A;
  std::ofstream(SavePath(), std::ios::binary) << damaged;

  // The box opens before the first frame of the start state and waits for the click.
  const SProgramRun run = Run(program, 200, "0.1", ClickAt(6, 2048.0f, kBoxButtonY), "3,20");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("damaged"), std::string::npos) << run.output;

  ExpectMessageBox(Frame(3));
  // Answered: the start state's frames follow, and the program leaves by itself.
  EXPECT_TRUE(Frame(20).At(2048.0f, kBoxButtonY).IsNear(kSlate, 2));
  EXPECT_LT(FramesRun(run), 200) << run.output;

  EXPECT_EQ(ReadTextFile(SavePath() + ".damaged"), damaged);
  const std::string fresh = ReadTextFile(SavePath());
  ASSERT_EQ(fresh.size(), damaged.size());
  float volume = 0;
  int32_t current = 0;
  std::memcpy(&volume, fresh.data() + kVolumeOffset, sizeof volume);
  std::memcpy(&current, fresh.data() + kCurrentProfileOffset, sizeof current);
  EXPECT_EQ(volume, 1.0f);
  EXPECT_EQ(current, -1);
}

TEST_F(StartupSequenceTest, ASaveIntoAReadOnlyFolderIsToldAnsweredAndTheEarlierSaveStays) {
  const std::string program = InstallProgram(m_home, kQuietStartup);
  WriteEarlierSave(program);
  const std::string earlier = ReadTextFile(SavePath());
  MakeSavesReadOnly();

  // Frames of 0.1 s: the start state's two seconds end near frame 21, and the exit state's
  // save opens the box; the click answers it and the program goes on to its end.
  const SProgramRun run = Run(program, 200, "0.1", ClickAt(30, 2048.0f, kBoxButtonY), "29");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("Cannot create"), std::string::npos) << run.output;
  ExpectMessageBox(Frame(29));
  const int frames = FramesRun(run);
  EXPECT_GT(frames, 32) << run.output;
  EXPECT_LT(frames, 40) << run.output;
  EXPECT_EQ(ReadTextFile(SavePath()), earlier);
}

TEST_F(StartupSequenceTest, ClosingTheWindowLeavesThroughTheExitStateWhichSaves) {
  // Alt+F4 in the start state's frames, and in the middle of the studio's logo: either way the
  // exit state still tries its save (the box cannot wait for an answer once the window is
  // closing), and the program ends with code 0.
  const struct {
    const char* name;
    std::string startup;
  } kCases[] = {{"in the start state", kQuietStartup}, {"during a logo", GameStartup()}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(m_home + "/data/Saves");  // the case before left its folder writable
    const std::string program = InstallProgram(m_home, c.startup);
    WriteEarlierSave(program);
    const std::string earlier = ReadTextFile(SavePath());
    MakeSavesReadOnly();
    const SProgramRun run = Run(program, 200, "0.1", "4 key down Left Alt\n5 key down F4\n");
    MakeSavesWritable();
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("Cannot create"), std::string::npos) << run.output;
    EXPECT_LT(FramesRun(run), 10) << run.output;
    EXPECT_EQ(ReadTextFile(SavePath()), earlier);
  }
}

TEST_F(StartupSequenceTest, TheDebugMenuAStartupScriptQueuesTakesKeysAndRunsTheChosenStateAsOftenAsAsked) {
  const std::string program =
      InstallProgram(m_home,
                     "Startup = {}\n"
                     "function Startup:SetSequence() system.AppStart:AddAppState(system.DebugMenu, '', -1) end\n"
                     "function Startup:ConfigureApp() system.AppStart:SetStartDelay(0.2) end\n");
  // Frames of 0.05 s: the menu is up by frame 10. Right twice makes its one entry's count 3;
  // Return runs the entry three times and the menu once more, so four Escapes (each a second
  // after the menu came up) end the program, the fourth at frame 200.
  const std::string input = KeyPress(20, "Right") + KeyPress(24, "Right") + KeyPress(40, "Return") +
                            KeyPress(80, "Escape") + KeyPress(120, "Escape") + KeyPress(160, "Escape") +
                            KeyPress(200, "Escape") + KeyPress(240, "Escape");
  const SProgramRun run = Run(program, 400, "0.05", input, "15,30");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output.find("error"), std::string::npos) << run.output;

  // "count: 1" became "count: 3": only the count's place changed.
  const CCapturedFrame before = Frame(15), after = Frame(30);
  ASSERT_TRUE(before.IsLoaded() && after.IsLoaded());
  const SPixelRect count = {after.X(2192.0f), 0, after.Width(), after.Height() / 8};
  const SPixelRect names = {0, 0, after.X(2192.0f) - 1, after.Height()};
  EXPECT_GT(after.CountDifferences(before, count), 20);
  EXPECT_EQ(after.CountDifferences(before, names), 0);

  const int frames = FramesRun(run);
  EXPECT_GT(frames, 200) << run.output;
  EXPECT_LT(frames, 240) << run.output;
}

}  // namespace
