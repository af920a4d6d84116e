#pragma once
// The walkthrough's plan: the moves a player makes to play a story from a new game to its end,
// found by playing the scene description forward (the world's own condition rules decide what
// is open), and the places each move clicks, from the layouts' descriptions (pixels of a
// 1280 x 720 screen) and the heads-up display's layout.

#include "Src/World/Vey_Map.h"
#include "Src/World/Vey_SaveData.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace walkthrough {

// A picture or click area of a layout description, in pixels of a 1280 x 720 screen (centre
// and size, y down).
struct SBox {
  float x = 0, y = 0, w = 0, h = 0;
  bool hidden = false;
  std::string folder;  // the layout's picture folder, as the layout names it
  // Where the picture takes clicks, when its hit mask was read: a pixel each, rows from the top.
  int maskWidth = 0, maskHeight = 0;
  std::vector<bool> mask;
};
using SLayout = std::map<std::string, SBox>;

// The layouts of one description file ("layout NAME ..." or "blank NAME ..." starting each);
// false with the file and line in `error` for a line it cannot read.
bool ReadLayoutDescription(const std::string& text, const std::string& fileName, std::map<std::string, SLayout>* layouts,
                           std::string* error);

// The hit masks the content build wrote below CONTENT_DIR (FOLDER/NAME.msk, a byte a pixel, rows
// from the bottom) for every picture of the layouts that has one; a picture without one takes
// clicks all over its box.
void ReadHitMasks(const std::string& contentDir, std::map<std::string, SLayout>* layouts);

// Where the heads-up display and the item frame put what the walkthrough clicks, in window
// pixels of the 4:3 test window.
struct SHudPlaces {
  std::vector<std::pair<int, int>> slots;  // the bar's slots, left to right
  std::pair<int, int> leftArrow{0, 0}, rightArrow{0, 0};
  std::pair<int, int> skipButton{0, 0};
  std::pair<int, int> frameButton{0, 0};
  SBox diary;  // the diary book rising from the bar, in layout pixels
};
// From the display's layout ("HUD.2dl", the 4:3 set) and the item frame's ("FrameSmall.2dl").
bool ReadHudPlaces(const std::string& hudText, const std::string& frameText, SHudPlaces* places, std::string* error);

// A window point for a layout pixel (the 4:3 window shows the middle 960 pixels).
std::pair<int, int> WindowPoint(float layoutX, float layoutY);

// One move of the plan: a click at a window point, the frames to wait before it, and what it
// means (for the script's comments and the report).
struct SMove {
  int x = 0, y = 0;
  int waitFrames = 0;  // wait this many frames after the game waits for the player
  std::string what;
  // Once the game waits for the player after the move, that frame is saved under this name
  // (empty: none); the first view of every place is.
  std::string capture;
  // Saved in the frame after the click (a solved puzzle's board), and in the frame before it
  // (the place before a puzzle opens).
  std::string captureAfterClick;
  std::string captureBefore;
  // Frames after the click before the wait for the game starts (a win the game does not count as
  // busy plays out first).
  int framesAfter = 3;
  // A click timed to the frame: pressed in this frame after the wait (0: when the pointer has come
  // to rest), or, `chained`, this many frames after the previous click's release with no wait
  // between them and no mouse move.
  int pressFrame = 0;
  bool chained = false;
};

// What the plan expects to be done once it has run.
struct SExpected {
  std::set<uint32_t> locations;     // entered, by slot
  std::set<uint32_t> searches;      // hidden-object scenes completed, by slot
  std::set<uint32_t> closeUps;      // opened, by slot
  std::set<uint32_t> miniGames;     // passed, by slot
  std::set<uint32_t> solvedPuzzles;  // of those, solved by clicks (not skipped), by slot
  bool ending = false;              // the story's ending started
};

struct SPlan {
  std::vector<SMove> moves;
  std::string startCapture;  // the name of the first place's picture, saved before the first move
  SExpected expected;
  std::string stuck;  // empty when the plan reaches the ending, else where and why it stopped
};

struct SPlanSettings {
  bool bonus = false;
  double frameSeconds = 0.05;
  // The seconds of play after which a puzzle's skip button shows.
  double skipDelay = 60.0;
  // The story's ending starts when an action shows `endingObject`, or, with `endingState`,
  // when that object takes that state.
  std::string endingObject;
  std::string endingState;
  // The frame in which the main story's tutorial question is answered, counted from the start.
  int tutorialFrame = 100;
  // The seed the game's random draws start from (the test driver's HOLLOWMERE_SEED), which
  // deals the pipes puzzle's board.
  uint32_t seed = 46;
};

// Plays the world forward from a new game. The world is changed as the plan plays it.
SPlan MakePlan(Vey::CMap& world, const std::map<std::string, SLayout>& layouts, const SHudPlaces& hud,
               const SPlanSettings& settings);

// The test driver's script for the plan: the tutorial's question answered "No" first (main
// story), then every move after an idle wait. A plan that reaches the ending stops after the
// click that starts it, without a wait: lines added after the script count from the wait
// before that click.
std::string WriteScript(const SPlan& plan, const SPlanSettings& settings);
// The report of what the plan expects done, one "KIND NAME" a line.
std::string WriteExpected(const SPlan& plan);
// The report read back; false with the line in `error` for one it does not know.
bool ReadExpected(const std::string& text, SExpected* expected, std::string* error);

// What a played game's saved profile lacks of what the report expects, one line each (empty when
// nothing): places not entered (by the map's record of visits), searches with an object left,
// close-ups never opened or with something left to take, puzzles not passed, and the ending
// (`endingModes` holds the game modes the story's ending leaves). The world is the story's
// description, its progress restored from the profile.
std::vector<std::string> CompareWithSave(const SExpected& expected, Vey::CMap& world, const Vey::SProfileData& profile,
                                         const std::set<uint32_t>& endingModes);

}  // namespace walkthrough
