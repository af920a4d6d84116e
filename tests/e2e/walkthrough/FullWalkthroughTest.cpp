// The whole story through the real program headless, by the scripts the walkthrough tool wrote
// from the content at build time: a new player answers the first start, plays a new game through
// the main story to its ending, and then the bonus chapter from its start to its end. The save
// file holds every place entered, every search and close-up done and every puzzle passed that
// the scripts lead to; the first view of every place shows a picture. Every puzzle of the main
// story is solved by the script's clicks, not skipped: its board changes from how it opened to
// how it stands solved, and the place it was opened from shows what the win changed.

#include <gtest/gtest.h>

#include "tests/e2e/ProgramTestKit.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace e2etest;

const std::string kScripts = HM_BINARY_DIR "/walkthrough/";
const std::string kConfigs = HM_BINARY_DIR "/content/App/Configs/";
// The frames a script counts out, its idle waits taken as ending at once: a run that has not
// ended its script in twice as many stops there, so a script that goes astray fails soon.
int FrameLimit(const std::string& script) {
  std::istringstream lines(script);
  std::string line;
  int frames = 0, last = 0;
  while (std::getline(lines, line)) {
    int frame = 0;
    char kind[16] = {};
    if (std::sscanf(line.c_str(), "%d %15s", &frame, kind) != 2) continue;
    if (std::string(kind) == "idle") {
      frames += frame;
      last = 0;
    } else {
      last = std::max(last, frame);
    }
  }
  return 2 * (frames + last);
}

// Lines after a script's ending click count from the wait before it: the ending's picture is
// saved, then Alt+F4 ends the program through its exit state, which saves.
std::string AfterTheEnding(int shown, const std::string& name) {
  return std::to_string(shown) + " capture " + name + "\n" + std::to_string(shown + 2) + " key down Left Alt\n" +
         std::to_string(shown + 3) + " key down F4\n" + std::to_string(shown + 4) + " key up F4\n" +
         std::to_string(shown + 5) + " key up Left Alt\n";
}

constexpr SPixelRect kView = {0, 100, kWindowWidth, 660};

// The bonus chapter's ending from its diary on: a click on the diary's close button (window
// pixels at 1024 x 768) closes it, the last dialog shows its band over the top and ends by
// itself, and the chapter's outro comic shows its first page; the program leaves from there.
// The diary and the dialog count as busy for the idle wait, so these lines count frames from
// the diary's capture.
constexpr int kLastDialogShown = 34;
constexpr int kOutroShown = 70;
std::string AfterTheBonusEnding(int shown) {
  return std::to_string(shown) + " capture bonus-ending\n" + ClickWindow(shown + 5, 941, 154) +
         std::to_string(shown + kLastDialogShown) + " capture bonus-last-dialog\n" +
         AfterTheEnding(shown + kOutroShown, "bonus-outro");
}

constexpr SPixelRect kTopBand = {0, 0, kWindowWidth, 40};

// The seed the script was written for ("# HOLLOWMERE_SEED=N"), which deals the pipes' board.
std::string SeedOf(const std::string& script) {
  const std::string key = "# HOLLOWMERE_SEED=";
  const size_t at = script.find(key);
  if (at == std::string::npos) return "";
  return " HOLLOWMERE_SEED=" + script.substr(at + key.size(), script.find('\n', at) - at - key.size());
}

// The slots of the report's lines of a kind ("puzzle", "solved").
std::vector<int> SlotsOf(const std::string& report, const std::string& wanted) {
  std::istringstream lines(report);
  std::vector<int> slots;
  std::string kind;
  int slot = 0;
  while (lines >> kind >> slot)
    if (kind == wanted) slots.push_back(slot);
  return slots;
}

class FullWalkthroughTest : public CProgramTest {
 protected:
  // Every puzzle the report says the script solves: its board as opened and as solved differ,
  // and so does the place it was opened from, before and after (a door, a box, a safe open).
  void ExpectEveryPuzzleSolved(const std::string& report, bool bonus) {
    for (int slot : SlotsOf(report, "solved")) {
      char name[32];
      std::snprintf(name, sizeof name, "/puzzle-%02d-", slot);
      const CCapturedFrame before(Captures() + name + "before.png"), open(Captures() + name + "open.png");
      const CCapturedFrame solved(Captures() + name + "solved.png"), after(Captures() + name + "after.png");
      ASSERT_TRUE(before.IsLoaded() && open.IsLoaded() && solved.IsLoaded() && after.IsLoaded()) << name;
      const int area = kView.Width() * kView.Height();
      EXPECT_GT(solved.CountDifferences(open, kView, 12), area / kBoardChange) << name << "solved is the board as opened";
      // The pipes open a door of the next place, not of theirs: the walk on through it, and that
      // place's first view, show it.
      if (!bonus && slot == kPipesPuzzle) continue;
      EXPECT_GT(after.CountDifferences(before, kView, 12), area / kWinChange) << name << "after shows no change";
    }
  }
  // The least share of the view a solved board and a win's effect change (1 in N pixels).
  static constexpr int kBoardChange = 100;
  static constexpr int kWinChange = 200;
  static constexpr int kPipesPuzzle = 6;

  // The walkthrough tool's comparison of the save file with the script's report.
  SProgramRun CheckSave(const std::string& description, const std::string& report, bool bonus) {
    SProgramRun check;
    const std::string command = BuiltProgram("walkthrough") + " " + description + " --check-save " + SavePath() +
                                " " + report + (bonus ? " --bonus" : "") + " 2>&1";
    check.exitCode = PlatformRunCommandReading(command, &check.output);
    return check;
  }

  // Every place's first view is a picture: bright enough and unlike the place before it.
  void ExpectEveryPlaceShown(const std::string& report) {
    std::istringstream lines(report);
    std::string kind, previous;
    int slot = 0;
    while (lines >> kind >> slot) {
      if (kind != "location") continue;
      char name[32];
      std::snprintf(name, sizeof name, "/location-%02d.png", slot);
      const CCapturedFrame view(Captures() + name);
      ASSERT_TRUE(view.IsLoaded()) << name;
      EXPECT_GT(view.Brightness(kView), 20) << name << " is dark";
      if (!previous.empty()) {
        const CCapturedFrame before(previous);
        EXPECT_GT(view.CountDifferences(before, kView, 12), kView.Width() * kView.Height() / 5) << name;
      }
      previous = Captures() + name;
    }
  }
};

TEST_F(FullWalkthroughTest, ANewPlayerPlaysTheMainStoryToItsEndingAndTheBonusChapterToItsEnd) {
  std::filesystem::remove_all(m_home + "/data");
  const std::string program = InstallProgram(m_home, ReadTextFile(HM_BINARY_DIR "/bin/startup.lua"));
  const std::string main = AnswerFirstStart() + PlayNewGame() + SkipIntro(kFirstStartModeOk + 12) +
                           ReadTextFile(kScripts + "main.txt") + AfterTheEnding(400, "main-ending");
  const SProgramRun story = RunProgram(m_home, DriverVariables(FrameLimit(main), "0.1", main, "") + SeedOf(main) +
                                                   " HOLLOWMERE_CAPTURE=" + Captures(), program);
  ASSERT_EQ(story.exitCode, 0) << story.output;
  EXPECT_EQ(story.output.find("still waiting"), std::string::npos) << story.output;
  const SProgramRun mainSave = CheckSave(kConfigs + "GameInfo.xml", kScripts + "main-saved.txt", false);
  EXPECT_EQ(mainSave.exitCode, 0) << mainSave.output;
  ExpectEveryPlaceShown(ReadTextFile(kScripts + "main-saved.txt"));
  const std::string mainReport = ReadTextFile(kScripts + "main-saved.txt");
  EXPECT_EQ(SlotsOf(mainReport, "solved"), SlotsOf(mainReport, "puzzle")) << "a puzzle of the main story is skipped";
  ExpectEveryPuzzleSolved(mainReport, false);
  const CCapturedFrame ending(Captures() + "/main-ending.png");
  ASSERT_TRUE(ending.IsLoaded());
  EXPECT_GT(ending.Brightness(kView), 10) << "the outro's page";

  // The story's end leaves the profile to the bonus chapter, which starts it afresh.
  std::filesystem::remove_all(m_home + "/main-captures");
  std::filesystem::rename(Captures(), m_home + "/main-captures");  // kept for a look after a failure
  const std::string bonusProgram = InstallProgram(m_home, kBonusStartup);
  const std::string bonus = ReadTextFile(kScripts + "bonus.txt") + AfterTheBonusEnding(1300);
  const SProgramRun chapter = RunProgram(m_home, DriverVariables(FrameLimit(bonus), "0.1", bonus, "") + SeedOf(bonus) +
                                                     " HOLLOWMERE_CAPTURE=" + Captures(), bonusProgram);
  ASSERT_EQ(chapter.exitCode, 0) << chapter.output;
  EXPECT_EQ(chapter.output.find("still waiting"), std::string::npos) << chapter.output;
  const SProgramRun bonusSave =
      CheckSave(kConfigs + "Collectors/CollectorsGameInfo.xml", kScripts + "bonus-saved.txt", true);
  EXPECT_EQ(bonusSave.exitCode, 0) << bonusSave.output;
  ExpectEveryPlaceShown(ReadTextFile(kScripts + "bonus-saved.txt"));
  const std::string bonusReport = ReadTextFile(kScripts + "bonus-saved.txt");
  EXPECT_EQ(SlotsOf(bonusReport, "solved"), SlotsOf(bonusReport, "puzzle")) << "the arcade is skipped";
  ExpectEveryPuzzleSolved(bonusReport, true);
  const CCapturedFrame bonusEnding(Captures() + "/bonus-ending.png");
  ASSERT_TRUE(bonusEnding.IsLoaded());
  const CCapturedFrame lastDialog(Captures() + "/bonus-last-dialog.png");
  const CCapturedFrame outro(Captures() + "/bonus-outro.png");
  ASSERT_TRUE(lastDialog.IsLoaded());
  ASSERT_TRUE(outro.IsLoaded());
  const int viewArea = kView.Width() * kView.Height();
  EXPECT_GT(lastDialog.CountDifferences(bonusEnding, kView, 12), viewArea / 5) << "the diary has closed";
  EXPECT_LT(lastDialog.Brightness(kTopBand) * 3, bonusEnding.Brightness(kTopBand)) << "the dialog's dark band";
  EXPECT_GT(outro.CountDifferences(lastDialog, kView, 12), viewArea / 5) << "the comic's page";
  EXPECT_GT(outro.Brightness(kTopBand), lastDialog.Brightness(kTopBand) * 3) << "no dialog band over the page";
}

}  // namespace
