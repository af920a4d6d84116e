#pragma once
// What the end-to-end tests share: the window the program opens, scripted input lines for the
// test driver, and a fixture that runs the installed program in a home of the test's own and
// reads back the frames it captured.

#include <gtest/gtest.h>

#include "Platform/InputGameView.h"
#include "tests/support/CapturedFrame.h"
#include "tests/support/ProgramRun.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace e2etest {

// The window the program opens under the offscreen driver.
constexpr int kWindowWidth = 1024;
constexpr int kWindowHeight = 768;

// "FRAME mouse move X Y" in window pixels for a point of the virtual screen.
inline std::string MouseMoveTo(int frame, float virtualX, float virtualY) {
  const SPlatformGameView view = PlatformGameView(kWindowWidth, kWindowHeight);
  const int x = view.x + int((virtualX - 1792.0f) / 512.0f * float(view.width));
  const int y = view.y + int((virtualY - 1792.0f) / 512.0f * float(view.height));
  return std::to_string(frame) + " mouse move " + std::to_string(x) + " " + std::to_string(y) + "\n";
}

// Moves to the point, then clicks it `wait` frames later (time for the pointer to settle).
inline std::string ClickAt(int frame, float virtualX, float virtualY, int wait = 2) {
  return MouseMoveTo(frame, virtualX, virtualY) + std::to_string(frame + wait) + " mouse down left\n" +
         std::to_string(frame + wait + 1) + " mouse up left\n";
}

// A point of the window (in pixels) on the virtual screen, and a click there.
inline float VirtualX(int x) { return 1792.0f + float(x) * 512.0f / float(kWindowWidth); }
inline float VirtualY(int y) { return 1792.0f + float(y) * 512.0f / float(kWindowHeight); }
inline std::string ClickWindow(int frame, int x, int y) { return ClickAt(frame, VirtualX(x), VirtualY(y), 7); }

// The window is 4:3, so a place's picture, laid out on a 1280 x 720 screen, shows its middle
// 960 pixels: a layout pixel is 16/15 of a window pixel either way from the centre.
constexpr float kWindowPerLayoutPixel = 16.0f / 15.0f;
inline int WindowX(int layoutX) { return int(512.0f + float(layoutX - 640) * kWindowPerLayoutPixel); }
inline int WindowY(int layoutY) { return int(384.0f + float(layoutY - 360) * kWindowPerLayoutPixel); }
inline std::string ClickLayout(int frame, int x, int y) { return ClickWindow(frame, WindowX(x), WindowY(y)); }

// The intro's SKIP button on the 4:3 window, clicked once the pointer has settled on it.
constexpr float kSkipX = 2246.4f, kSkipY = 1809.92f;
inline std::string SkipIntro(int frame) { return ClickAt(frame, kSkipX, kSkipY, 8); }

// A new game asks first whether the player wants the tutorial: "No", the button at the right.
inline std::string DeclineTutorial(int frame) { return ClickWindow(frame, 666, 480); }

// A start-up script that goes straight into the main story, without the logos.
constexpr const char* kStoryStartup =
    "Startup = {}\n"
    "function Startup:SetSequence() system.AppStart:AddAppState(system.Game, '', -1) end\n"
    "function Startup:ConfigureApp() system.AppStart:SetStartDelay(0.1) end\n";

// The same straight into the bonus chapter.
constexpr const char* kBonusStartup =
    "Startup = {}\n"
    "function Startup:SetSequence() system.AppStart:AddAppState(system.CollectorsGame, '', -1) end\n"
    "function Startup:ConfigureApp() system.AppStart:SetStartDelay(0.1) end\n";

// The main story's first steps from a new game (frames of 0.05 s; the gate's opening line has
// ended by the first click): the tutorial declined, the knife taken at the gate, the gate
// opened, along the path and through the house door, clicked in frame 297, into the hall.
inline std::string WalkIntoTheHall() {
  constexpr int kKnife[2] = {330, 597}, kContinue[2] = {512, 477}, kGate[2] = {512, 400}, kGatePath[2] = {512, 470};
  constexpr int kHouseDoor[2] = {917, 320};
  std::string script = DeclineTutorial(100);
  script += ClickAt(140, VirtualX(kKnife[0]), VirtualY(kKnife[1]), 10);
  script += ClickWindow(175, kContinue[0], kContinue[1]);
  script += ClickWindow(200, kGate[0], kGate[1]);
  script += ClickWindow(250, kGatePath[0], kGatePath[1]);
  script += ClickWindow(290, kHouseDoor[0], kHouseDoor[1]);
  return script;
}

inline std::string KeyPress(int frame, const std::string& key) {
  return std::to_string(frame) + " key down " + key + "\n" + std::to_string(frame + 1) + " key up " + key + "\n";
}

// A very first start from the shipped start-up, in frames of 0.1 s: the language box's OK at
// frame 121 (on the language it opened with, unless the script chose a flag before), the name
// "Ada" typed from frame 130 and entered; the title buttons are in by frame 142, Play is
// clicked at 147 and the mode box's OK at 155.
constexpr int kFirstStartLanguageOk = 121, kFirstStartNameTyped = 130, kFirstStartPlay = 147, kFirstStartModeOk = 155;
constexpr float kLanguageOkY = 2048.0f + 0.4f * 256.0f;
constexpr float kPlayY = 2048.0f + 0.45f * 256.0f;
constexpr float kModeOkY = 2048.0f + 0.36f * 256.0f;

inline std::string AnswerFirstStart() {
  const int typed = kFirstStartNameTyped;
  return ClickAt(kFirstStartLanguageOk - 2, 2048.0f, kLanguageOkY) + std::to_string(typed) + " text A\n" +
         std::to_string(typed + 1) + " text d\n" + std::to_string(typed + 2) + " text a\n" +
         KeyPress(typed + 3, "Return");
}

inline std::string PlayNewGame() {
  return ClickAt(kFirstStartPlay - 2, 2048.0f, kPlayY) + ClickAt(kFirstStartModeOk - 2, 2048.0f, kModeOkY);
}

// The current profile's index in a save file: -1 in fresh data, or when the file is too short.
inline int32_t CurrentProfileInSave(const std::string& save) {
  constexpr size_t kCurrentProfileOffset = 722184;
  int32_t current = -1;
  if (save.size() >= kCurrentProfileOffset + sizeof current)
    std::memcpy(&current, save.data() + kCurrentProfileOffset, sizeof current);
  return current;
}

inline int FramesRun(const SProgramRun& run) {
  const size_t at = run.output.find("ran ");
  return at == std::string::npos ? -1 : std::stoi(run.output.substr(at + 4));
}

class CProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_home = MakeProgramHome("e2e");
    std::filesystem::remove_all(Captures());
  }

  std::string Captures() const { return m_home + "/captures"; }
  std::string SavePath() const { return m_home + "/data/Saves/savegame.sav"; }
  std::string FramePath(int number) const {
    char name[32];
    std::snprintf(name, sizeof name, "/frame-%05d.png", number);
    return Captures() + name;
  }
  CCapturedFrame Frame(int number) const { return CCapturedFrame(FramePath(number)); }

  // Runs the installed program with frames of `dt` seconds, the scripted input and the frames
  // to capture (comma-separated; none when empty).
  SProgramRun Run(const std::string& program, int frames, const std::string& dt, const std::string& input,
                  const std::string& capture = "") {
    return RunProgram(m_home, DriverVariables(frames, dt, input, capture), program);
  }

  // The same run, held in the first save from frame `stopFrame` on between writing its
  // temporary file and renaming it, and killed there.
  SProgramRun RunKilledInSave(const std::string& program, int frames, const std::string& dt, const std::string& input,
                              int stopFrame, const std::string& capture = "") {
    const std::string variables =
        DriverVariables(frames, dt, input, capture) + " HOLLOWMERE_STOP_IN_SAVE=" + std::to_string(stopFrame);
    return RunProgramUntilKilled(m_home, variables, "HOLLOWMERE_STOP_IN_SAVE:", program);
  }

  std::string DriverVariables(int frames, const std::string& dt, const std::string& input, const std::string& capture) {
    std::string variables = "HOLLOWMERE_FRAMES=" + std::to_string(frames) + " HOLLOWMERE_FIXED_DT=" + dt;
    if (!input.empty()) {
      std::ofstream(m_home + "/input.txt") << input;
      variables += " HOLLOWMERE_INPUT=" + m_home + "/input.txt";
    }
    if (!capture.empty()) variables += " HOLLOWMERE_CAPTURE=" + Captures() + " HOLLOWMERE_CAPTURE_FRAMES=" + capture;
    return variables;
  }

  std::string m_home;
};

}  // namespace e2etest
