#include "tools/walkthrough/WalkthroughPlan.h"

#include "tools/walkthrough/PointerPath.h"
#include "tools/walkthrough/PuzzleSolutions.h"

#include "tools/shared/FileBytes.h"

#include "Src/Location/Vey_Scene.h"
#include "Src/MiniGames/Vey_MiniGame2.h"
#include "Src/MiniGames/Vey_MiniGame4.h"
#include "Src/MiniGames/Vey_MiniGame7.h"
#include "Src/Location/Vey_MiniGameWorld.h"

#include <tinyxml.h>

#include <algorithm>
#include <cstring>
#include <cmath>
#include <cstdio>
#include <deque>
#include <sstream>

namespace walkthrough {

using Vey::CMap;
using Vey::SSceneObject;

namespace {

// The 4:3 test window (1024 x 768) shows the layout's middle 960 x 720 pixels.
constexpr float kWindowPerLayoutPixel = 16.0f / 15.0f;
constexpr float kVisibleLeft = 160.0f, kVisibleRight = 1120.0f;
// Below this the heads-up display's bar takes the clicks.
constexpr float kBarTop = 627.0f;
// Clicks keep this far above the bar and the diary.
constexpr float kBarMargin = 4.0f;
// A click on a picture's mask keeps at least this many of its pixels from the mask's edge where the
// picture allows, and looks no deeper than kMaskDepth.
constexpr int kMaskMargin = 3;
constexpr int kMaskDepth = 6;
// The diary book on the bar, which takes the clicks over it.
constexpr const char* kDiaryNode = "root/Diary/DiaryAnim1";
// A click outside a close-up's frame, which closes it.
constexpr float kOutsideX = 640.0f, kOutsideY = 20.0f;
// Spare frames on a puzzle's skip delay.
constexpr int kSkipSpareFrames = 40;
// The seconds a skipped puzzle takes to drop what it gives (the arcade's coin falls after 4.5 s).
constexpr double kDropSeconds = 5.5;
// A plan that has not ended after this many steps goes round in circles.
constexpr int kMoveLimit = 10000;

std::string LayoutNameFor(const char* kind, uint32_t slot) {
  char name[32];
  std::snprintf(name, sizeof name, "%s%02u", kind, slot + 1);
  return name;
}

// The name a picture of the view is saved under: the kind and the slot, "location-04".
std::string CaptureName(const char* kind, uint32_t slot) {
  char name[32];
  std::snprintf(name, sizeof name, "%s-%02u", kind, slot);
  return name;
}

bool Inside(const SBox& box, float x, float y) {
  return std::abs(x - box.x) <= box.w / 2 && std::abs(y - box.y) <= box.h / 2;
}

// A point of a box's height between `top` and `bottom`: its middle, or, where the bar or the
// diary covers that, as near it as they leave (a picture is drawn most solidly at its middle).
float HeightWithin(const SBox& box, float top, float bottom) {
  if (bottom - kBarMargin <= top) return (top + bottom) / 2;
  return std::clamp(box.y, top, bottom - kBarMargin);
}

// Whether a picture with a hit mask takes a click at a layout point.
bool MaskHit(const SBox& box, float x, float y) {
  const int column = int((x - (box.x - box.w / 2)) / box.w * float(box.maskWidth));
  const int row = int((y - (box.y - box.h / 2)) / box.h * float(box.maskHeight));
  if (column < 0 || row < 0 || column >= box.maskWidth || row >= box.maskHeight) return false;
  return box.mask[size_t(row) * size_t(box.maskWidth) + size_t(column)];
}

// How many pixels deep (up to kMaskDepth) a point lies inside the picture's mask: the mask takes
// the click that far from it in eight directions.
int MaskDepth(const SBox& box, float x, float y) {
  const float stepX = box.w / float(box.maskWidth), stepY = box.h / float(box.maskHeight);
  static constexpr int kDirections[8][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {1, 1}, {1, -1}, {-1, 1}, {-1, -1}};
  if (!MaskHit(box, x, y)) return -1;
  for (int depth = 1; depth <= kMaskDepth; ++depth)
    for (const auto& direction : kDirections)
      if (!MaskHit(box, x + float(direction[0] * depth) * stepX, y + float(direction[1] * depth) * stepY))
        return depth - 1;
  return kMaskDepth;
}

// The point of the region, outside `covered`, where the picture's mask takes the click most surely:
// (x, y) itself when it lies deep enough inside, else the deepest pixel, the one nearest (x, y)
// among equals (the middle of a ring is no hit, and its rim's edge is a hit only as far as rounding
// to window pixels allows); false when no pixel of the region is a hit.
bool NearestMaskHit(const SBox& box, const SBox& covered, float left, float top, float right, float bottom, float* x,
                    float* y) {
  if (box.mask.empty() || MaskDepth(box, *x, *y) >= kMaskMargin) return true;
  const float stepX = box.w / float(box.maskWidth), stepY = box.h / float(box.maskHeight);
  int bestDepth = -1;
  float bestDistance = 0, bestX = 0, bestY = 0;
  for (float py = top + stepY / 2; py < bottom; py += stepY)
    for (float px = left + stepX / 2; px < right; px += stepX) {
      const int depth = Inside(covered, px, py) ? -1 : MaskDepth(box, px, py);
      const float distance = (px - *x) * (px - *x) + (py - *y) * (py - *y);
      if (depth < 0 || depth < bestDepth || (depth == bestDepth && distance >= bestDistance)) continue;
      bestDepth = depth, bestDistance = distance, bestX = px, bestY = py;
    }
  if (bestDepth < 0) return false;
  *x = bestX;
  *y = bestY;
  return true;
}

// A clickable point of a box: its middle as far as the window shows it and the bar and the
// diary rising from it leave free, moved onto the picture where its mask has a hole there.
bool ClickPoint(const SBox& box, const SBox& diary, float* x, float* y) {
  const float left = std::max(box.x - box.w / 2, kVisibleLeft), right = std::min(box.x + box.w / 2, kVisibleRight);
  const float top = std::max(box.y - box.h / 2, 0.0f);
  const float bottom = std::min(box.y + box.h / 2, kBarTop);
  if (left >= right || top >= bottom) return false;
  *x = (left + right) / 2;
  *y = HeightWithin(box, top, bottom);
  if (Inside(diary, *x, *y)) {
    const float aboveDiary = std::min(bottom, diary.y - diary.h / 2);
    if (top >= aboveDiary && box.mask.empty()) return false;
    *y = HeightWithin(box, top, std::max(top, aboveDiary));
  }
  // A picture with a mask may also be clicked beside the diary, kept clear of its edge.
  SBox covered = diary;
  covered.w += 2 * kBarMargin;
  covered.h += 2 * kBarMargin;
  return NearestMaskHit(box, covered, left, top, right, bottom - kBarMargin, x, y);
}

std::pair<int, int> HudPoint(float layoutUnitsX, float layoutUnitsY) {
  // Layout units of the 4:3 set: x within +-4/3, y within +-1, y up; the window is 1024 x 768.
  return {int(std::lround(512.0f + layoutUnitsX * 384.0f)), int(std::lround(384.0f - layoutUnitsY * 384.0f))};
}

// The place of a layout object; its size too when asked for (`w`, `h` not null).
bool ReadPos(const TiXmlDocument& document, const std::string& name, float* x, float* y, float* w = nullptr,
             float* h = nullptr) {
  const TiXmlElement* root = document.RootElement();
  for (const TiXmlElement* objects = root ? root->FirstChildElement("Layout") : nullptr; objects;
       objects = objects->NextSiblingElement("Layout")) {
    for (const TiXmlElement* object = objects->FirstChildElement("Object"); object;
         object = object->NextSiblingElement("Object")) {
      const char* objectName = object->Attribute("Name");
      const TiXmlElement* pos = object->FirstChildElement("Pos");
      if (!objectName || name != objectName || !pos || !pos->GetText()) continue;
      if (std::sscanf(pos->GetText(), "%f;%f", x, y) != 2) return false;
      if (!w) return true;
      const TiXmlElement* size = object->FirstChildElement("Size");
      return size && size->GetText() && std::sscanf(size->GetText(), "%f;%f", w, h) == 2;
    }
  }
  return false;
}

// What a passed puzzle of the main story changes in the world, as its own win does (the world
// functions are the puzzles' own): exits opened, states recorded, and the pictures it shows in a
// place ("I" or "S" and the slot, then the picture), which may be things to take.
struct SPuzzleOutcome {
  void (*apply)(CMap& world);
  std::vector<std::pair<std::string, bool>> pictures;
};

const std::map<uint32_t, SPuzzleOutcome>& MainStoryPuzzleOutcomes() {
  static const std::map<uint32_t, SPuzzleOutcome> outcomes = {
      {0, {[](CMap& world) { Vey::RecordObjectState(world, "S01_Entrance Key", "Open"); }, {}}},
      {Vey::CMiniGame2::kPuzzleIndex,
       {[](CMap& world) {
          Vey::OpenExitsIn(world.Scene(Vey::CMiniGame2::kLocation), Vey::CMiniGame2::kOpenedExit, true);
        },
        {}}},
      {2, {[](CMap& world) { Vey::OpenExitsIn(world.Scene(0), 11, true); }, {}}},
      {Vey::CMiniGame4::kIndex,
       {nullptr, {{"I" + std::to_string(Vey::CMiniGame4::kCloseUp) + "/root/CarKeys", true},
                  {"I" + std::to_string(Vey::CMiniGame4::kCloseUp) + "/root/Gear", true}}}},
      {4, {nullptr, {{"I7/root/DiamondHandle", true}}}},
      {5, {[](CMap& world) {
             Vey::OpenExit(world, 21, 26);
             Vey::OpenExit(world, 21, 27);
           },
           {}}},
      {6, {[](CMap& world) { Vey::OpenExitsIn(world.Scene(25), 31, false); }, {}}},
      {7, {[](CMap& world) { Vey::OpenExitsTo(world, 5); }, {}}},
  };
  return outcomes;
}

// The world as the plan has played it so far, and the moves that played it.
class CPlanner {
 public:
  CPlanner(CMap& world, const std::map<std::string, SLayout>& layouts, const SHudPlaces& hud,
           const SPlanSettings& settings)
      : m_world(world), m_layouts(layouts), m_hud(hud), m_settings(settings) {}

  SPlan Run() {
    Enter(0);
    for (int guard = 0; !m_plan.expected.ending; ++guard) {
      if (guard == kMoveLimit) {
        m_plan.stuck = "no end after " + std::to_string(kMoveLimit) + " moves, at " + Place();
        break;
      }
      if (Act()) continue;
      if (WalkToWork()) continue;
      m_plan.stuck = "no move leads on from " + Place() + ", carrying";
      for (const std::string& item : m_inventory) m_plan.stuck += " \"" + item + "\"";
      break;
    }
    return m_plan;
  }

 private:
  // ---- places and pictures ----

  std::string Place() const { return "location slot " + std::to_string(m_location); }

  const SLayout* ViewLayout() const {
    const std::string name = m_closeUp == Vey::kNoCloseUp ? LayoutNameFor("Scene", m_location)
                                                          : LayoutNameFor("Intermediate", m_closeUp);
    const auto found = m_layouts.find(name);
    return found == m_layouts.end() ? nullptr : &found->second;
  }

  bool Shown(const std::string& sprite) const {
    const SLayout* layout = ViewLayout();
    if (!layout) return false;
    const auto box = layout->find(sprite);
    if (box == layout->end()) return false;
    const auto changed = m_shown.find(ShownKey(sprite));
    return changed == m_shown.end() ? !box->second.hidden : changed->second;
  }
  std::string ShownKey(const std::string& sprite) const {
    return (m_closeUp == Vey::kNoCloseUp ? "S" + std::to_string(m_location) : "I" + std::to_string(m_closeUp)) + "/" +
           sprite;
  }

  // A click on the picture; false when the view has no such picture in sight.
  bool ClickSprite(const std::string& sprite, const std::string& what, int wait = 0) {
    const SLayout* layout = ViewLayout();
    if (!layout) return false;
    const auto box = layout->find(sprite);
    float x = 0, y = 0;
    if (box == layout->end() || !ClickPoint(box->second, m_hud.diary, &x, &y)) return false;
    ClickWindow(WindowPoint(x, y), what, wait);
    return true;
  }
  void ClickWindow(std::pair<int, int> point, const std::string& what, int wait = 0) {
    SMove move;
    move.x = point.first;
    move.y = point.second;
    move.waitFrames = wait;
    move.what = what;
    m_plan.moves.push_back(move);
  }

  // ---- the objects of the open view ----

  Vey::SObjectList& Objects() {
    return m_closeUp == Vey::kNoCloseUp ? m_world.Scene(m_location).objects : m_world.CloseUp(m_closeUp).objects;
  }
  static const Vey::SObjectState* StateOf(const SSceneObject& object) {
    for (const Vey::SObjectState& state : object.states)
      if (state.name == object.state) return &state;
    return nullptr;
  }
  std::string SpriteOf(const SSceneObject& object) const {
    const Vey::SObjectState* state = StateOf(object);
    return state && !state->sprite.empty() ? state->sprite : object.sprite;
  }
  bool Interactive(const SSceneObject& object) const {
    if (object.picked || !Shown(SpriteOf(object))) return false;
    if (object.pickable || object.clue) return true;
    const Vey::SObjectState* state = StateOf(object);
    return state && state->interactive;
  }

  void ApplyAction(SSceneObject& object, const Vey::SObjectAction& action) {
    if (const Vey::SObjectState* before = StateOf(object)) m_shown[ShownKey(before->sprite)] = false;
    object.state = action.resState;
    if (!m_settings.endingState.empty() && object.name == m_settings.endingObject &&
        object.state == m_settings.endingState)
      m_plan.expected.ending = true;
    if (const Vey::SObjectState* after = StateOf(object)) m_shown[ShownKey(after->sprite)] = true;
    for (const Vey::SVisibilityChange& effect : action.effects) {
      if (!m_settings.endingObject.empty() && effect.object == m_settings.endingObject) m_plan.expected.ending = true;
      m_shown[ShownKey(effect.object)] = effect.visible;
    }
    const auto held = std::find(m_inventory.begin(), m_inventory.end(), action.object);
    if (held != m_inventory.end()) RemoveItem(held);
  }

  // ---- the bar ----

  void AddItem(const std::string& item) {
    m_inventory.push_back(item);
    const size_t slots = m_hud.slots.size();
    if (m_firstVisible + slots < m_inventory.size()) m_firstVisible = m_inventory.size() - slots;
  }
  void RemoveItem(std::vector<std::string>::iterator item) {
    m_inventory.erase(item);
    if (m_firstVisible > 0 && m_inventory.size() < m_firstVisible + m_hud.slots.size()) --m_firstVisible;
  }
  // Scrolls the bar to the item and takes it into the hand.
  void TakeFromBar(const std::string& item) {
    const size_t index = size_t(std::find(m_inventory.begin(), m_inventory.end(), item) - m_inventory.begin());
    while (index < m_firstVisible) {
      ClickWindow(m_hud.leftArrow, "scroll the bar left");
      --m_firstVisible;
    }
    while (index >= m_firstVisible + m_hud.slots.size()) {
      ClickWindow(m_hud.rightArrow, "scroll the bar right");
      ++m_firstVisible;
    }
    ClickWindow(m_hud.slots[index - m_firstVisible], "take " + item + " from the bar");
  }

  // ---- moves in the open view ----

  bool Act() {
    if (TakeObjects() || ClickActions() || UseItems()) return true;
    if (m_closeUp != Vey::kNoCloseUp) {
      if (PlayMiniGames(m_world.CloseUp(m_closeUp).miniGames)) return true;
      LeaveCloseUp();
      return true;
    }
    return PlayMiniGames(m_world.Scene(m_location).miniGames) || OpenCloseUps() || SearchScenes();
  }

  bool TakeObjects() {
    for (SSceneObject& object : Objects()) {
      if (!object.pickable && !object.clue) continue;
      if (!Interactive(object) || !ClickSprite(SpriteOf(object), "take " + object.name)) continue;
      object.picked = true;
      m_shown[ShownKey(SpriteOf(object))] = false;
      // The same click is a plain click on the object, as the game applies it after the taking.
      for (const Vey::SObjectAction& action : object.actions)
        if (action.object == CMapClick() && object.state == action.reqState && object.FindState(action.resState) >= 0 &&
            Vey::WorldConditionsHold(m_world, action.conditions)) {
          ApplyAction(object, action);
          break;
        }
      ClickWindow(m_hud.frameButton, "close the item frame");
      if (object.pickable) AddItem(object.name);
      return true;
    }
    return false;
  }

  bool ClickActions() { return ApplyFirst([](const std::string& trigger) { return trigger == CMapClick(); }); }

  bool UseItems() {
    return ApplyFirst([this](const std::string& trigger) {
      return std::find(m_inventory.begin(), m_inventory.end(), trigger) != m_inventory.end();
    });
  }

  static std::string CMapClick() { return Vey::CScene::kClickItem; }

  template <class TTrigger>
  bool ApplyFirst(TTrigger ready) {
    for (SSceneObject& object : Objects()) {
      if (!Interactive(object)) continue;
      for (const Vey::SObjectAction& action : object.actions) {
        // An action that leaves the object as it was changes nothing a player would repeat it for.
        if (!ready(action.object) || object.state != action.reqState || action.resState == action.reqState ||
            object.FindState(action.resState) < 0 ||
            !Vey::WorldConditionsHold(m_world, action.conditions))
          continue;
        const bool click = action.object == CMapClick();
        if (!click) TakeFromBar(action.object);
        if (!ClickSprite(SpriteOf(object), (click ? "click " : "use " + action.object + " on ") + object.name)) {
          if (!click) m_plan.moves.pop_back();
          continue;
        }
        ApplyAction(object, action);
        return true;
      }
    }
    return false;
  }

  // Whether the close-up holds something to do now.
  bool CloseUpHasWork(uint32_t closeUp) {
    const uint32_t before = m_closeUp;
    m_closeUp = closeUp;
    bool work = false;
    for (const SSceneObject& object : Objects()) {
      if (!Interactive(object)) continue;
      if (object.pickable || object.clue) work = true;
      for (const Vey::SObjectAction& action : object.actions) {
        const bool held = action.object == CMapClick() ||
                          std::find(m_inventory.begin(), m_inventory.end(), action.object) != m_inventory.end();
        if (held && object.state == action.reqState && Vey::WorldConditionsHold(m_world, action.conditions))
          work = true;
      }
    }
    for (const Vey::SMiniGameLink& link : m_world.CloseUp(closeUp).miniGames)
      if (!link.second && !m_plan.expected.miniGames.count(link.miniGame) && Shown(link.sprite) &&
          (link.open || Vey::WorldConditionsHold(m_world, link.conditions)))
        work = true;
    m_closeUp = before;
    return work;
  }

  bool OpenCloseUps() {
    for (Vey::SCloseUpLink& link : m_world.Scene(m_location).closeUps) {
      if (m_doneCloseUps.count(link.closeUp) || !Shown(link.sprite) || !CloseUpHasWork(link.closeUp)) continue;
      if (!link.open && !Vey::WorldConditionsHold(m_world, link.conditions)) continue;
      if (!ClickSprite(link.sprite, "open close-up " + std::to_string(link.closeUp + 1))) continue;
      link.open = true;
      m_closeUp = link.closeUp;
      m_plan.expected.closeUps.insert(link.closeUp);
      return true;
    }
    return false;
  }

  // Leaves the close-up: by itself once nothing in it is left to do, else by a click outside.
  void LeaveCloseUp() {
    bool settled = std::none_of(Objects().begin(), Objects().end(),
                                [this](const SSceneObject& object) { return Interactive(object); });
    for (const Vey::SMiniGameLink& link : m_world.CloseUp(m_closeUp).miniGames) settled = settled && link.second;
    if (!settled) {
      const std::pair<int, int> outside = WindowPoint(kOutsideX, kOutsideY);
      ClickWindow(outside, "leave close-up " + std::to_string(m_closeUp + 1));
    }
    // Nothing more can be done here until something changes elsewhere.
    m_doneCloseUps.insert(m_closeUp);
    m_closeUp = Vey::kNoCloseUp;
  }

  // The actions of the puzzle's pieces that wait for an item (the jewel box's jewels, the
  // lock's tissue): the puzzle cannot be played before they are done.
  std::vector<std::pair<SSceneObject*, const Vey::SObjectAction*>> ItemsThePuzzleWaitsFor(uint32_t miniGame) {
    std::vector<std::pair<SSceneObject*, const Vey::SObjectAction*>> waits;
    for (SSceneObject& object : m_world.MiniGame(miniGame).objects)
      for (const Vey::SObjectAction& action : object.actions)
        if (action.object != CMapClick() && object.state == action.reqState && action.resState != action.reqState)
          waits.push_back({&object, &action});
    return waits;
  }

  const SLayout* PuzzleLayout(uint32_t miniGame) const {
    const auto layout = m_layouts.find(LayoutNameFor(m_settings.bonus ? "CollectorsGame" : "Game", miniGame));
    return layout == m_layouts.end() ? nullptr : &layout->second;
  }

  // A click on a picture of the open puzzle, shown or not yet; false when its layout lacks it.
  bool ClickInPuzzle(uint32_t miniGame, const std::string& sprite, const std::string& what, int wait = 0) {
    const SLayout* layout = PuzzleLayout(miniGame);
    float x = 0, y = 0;
    if (!layout || !layout->count(sprite) || !ClickPoint(layout->at(sprite), m_hud.diary, &x, &y)) return false;
    ClickWindow(WindowPoint(x, y), what, wait);
    return true;
  }

  // A puzzle is given the items it waits for, played until its skip button shows, then skipped.
  bool PlayMiniGames(std::vector<Vey::SMiniGameLink>& links) {
    for (Vey::SMiniGameLink& link : links) {
      if (link.second || m_plan.expected.miniGames.count(link.miniGame) || !Shown(link.sprite)) continue;
      if (!link.open && !Vey::WorldConditionsHold(m_world, link.conditions)) continue;
      const auto waits = ItemsThePuzzleWaitsFor(link.miniGame);
      const bool held = std::all_of(waits.begin(), waits.end(), [this](const auto& wait) {
        return std::find(m_inventory.begin(), m_inventory.end(), wait.second->object) != m_inventory.end();
      });
      if (!held) continue;
      if (!ClickSprite(link.sprite, "open puzzle " + std::to_string(link.miniGame))) continue;
      m_plan.moves.back().captureBefore = CaptureName("puzzle", link.miniGame) + "-before";
      for (const auto& wait : waits) {
        TakeFromBar(wait.second->object);
        ClickInPuzzle(link.miniGame, wait.first->sprite, "use " + wait.second->object + " on " + wait.first->name);
        wait.first->state = wait.second->resState;
        const auto item = std::find(m_inventory.begin(), m_inventory.end(), wait.second->object);
        if (item != m_inventory.end()) RemoveItem(item);
      }
      if (!Solve(link.miniGame)) {
        const int wait = int(std::ceil(m_settings.skipDelay / m_settings.frameSeconds)) + kSkipSpareFrames;
        ClickWindow(m_hud.skipButton, "skip puzzle " + std::to_string(link.miniGame), wait);
      }
      TakeWhatThePuzzleDrops(link.miniGame);
      // The place after a solved puzzle is the one it closes into, once what it drops is taken.
      if (m_plan.expected.solvedPuzzles.count(link.miniGame))
        m_plan.moves.back().capture = CaptureName("puzzle", link.miniGame) + "-after";
      m_plan.expected.miniGames.insert(link.miniGame);
      link.second = true;
      if (!m_settings.bonus) {
        const auto outcome = MainStoryPuzzleOutcomes().find(link.miniGame);
        if (outcome != MainStoryPuzzleOutcomes().end()) {
          if (outcome->second.apply) outcome->second.apply(m_world);
          for (const auto& picture : outcome->second.pictures) m_shown[picture.first] = picture.second;
        }
      }
      m_doneCloseUps.clear();  // a passed puzzle may open what was shut
      return true;
    }
    return false;
  }

  // The clicks that solve the open puzzle on the board the game shows, with the place before it,
  // its board as opened, solved and the place after it saved as puzzle-NN-before, -open,
  // -solved and -after; false when the tool knows no solution for it.
  bool Solve(uint32_t miniGame) {
    const std::string layoutName = LayoutNameFor(m_settings.bonus ? "CollectorsGame" : "Game", miniGame);
    SPuzzleSolution solution;
    std::string problem;
    const SPuzzleBoard board{layoutName, PuzzleLayout(miniGame), m_settings.seed, m_settings.frameSeconds};
    if (!SolvePuzzle(board, &solution, &problem) || solution.clicks.empty()) {
      std::fprintf(stderr, "walkthrough: puzzle %u is skipped: %s\n", miniGame, problem.c_str());
      return false;
    }
    const std::string name = CaptureName("puzzle", miniGame);
    const bool openTaken = !m_plan.moves.back().capture.empty();
    if (!openTaken) m_plan.moves.back().capture = name + "-open";
    const size_t first = m_plan.moves.size();
    for (const SPuzzleClick& click : solution.clicks) {
      const int wait = int(std::ceil(click.waitSeconds / m_settings.frameSeconds));
      if (!click.sprite.empty()) {
        if (!ClickInPuzzle(miniGame, click.sprite, click.what, wait)) {
          m_plan.moves.resize(first);
          std::fprintf(stderr, "walkthrough: puzzle %u is skipped: \"%s\" cannot be clicked\n", miniGame,
                       click.sprite.c_str());
          return false;
        }
        continue;
      }
      ClickWindow(WindowPoint(click.x, click.y), click.what, wait);
      m_plan.moves.back().pressFrame = click.pressFrame;
      m_plan.moves.back().chained = click.chained;
    }
    if (openTaken) m_plan.moves[first].captureBefore = name + "-open";
    SMove& last = m_plan.moves.back();
    last.captureAfterClick = name + "-solved";
    last.framesAfter = std::max(last.framesAfter, int(std::ceil(solution.winSeconds / m_settings.frameSeconds)));
    m_plan.expected.solvedPuzzles.insert(miniGame);
    return true;
  }

  // A passed puzzle that gives things (the arcade's coin) drops them onto its own picture, to be
  // taken there; the item frame shows each.
  void TakeWhatThePuzzleDrops(uint32_t miniGame) {
    int wait = int(std::ceil(kDropSeconds / m_settings.frameSeconds));
    for (SSceneObject& object : m_world.MiniGame(miniGame).objects) {
      if (!object.pickable || object.picked ||
          !ClickInPuzzle(miniGame, object.sprite, "take " + object.name + " from puzzle " + std::to_string(miniGame),
                         wait))
        continue;
      ClickWindow(m_hud.frameButton, "close the item frame");
      object.picked = true;
      AddItem(object.name);
      wait = 0;
    }
  }

  bool IsSearch(uint32_t slot) const {
    for (const Vey::SExit& exit : m_world.Scene(m_location).exits)
      if (exit.target == slot) return exit.direction == Vey::EDirection::Ho;
    return false;
  }

  // The first exit under the sprite that leads somewhere, as the game picks it.
  Vey::SExit* ExitUnder(const std::string& sprite) {
    for (Vey::SExit& exit : m_world.Scene(m_location).exits) {
      if (exit.sprite != sprite) continue;
      if (exit.open || (!exit.second && Vey::WorldConditionsHold(m_world, exit.conditions))) return &exit;
    }
    return nullptr;
  }

  bool SearchScenes() {
    for (Vey::SExit& exit : m_world.Scene(m_location).exits) {
      if (exit.direction != Vey::EDirection::Ho || m_plan.expected.searches.count(exit.target)) continue;
      if (ExitUnder(exit.sprite) != &exit || !ClickSprite(exit.sprite, "search slot " + std::to_string(exit.target)))
        continue;
      m_plan.moves.back().capture = CaptureName("search", exit.target);
      Search(exit.target);
      return true;
    }
    return false;
  }

  // Every listed object clicked; the reward goes through the item frame into the bar, and the
  // ways into the search shut for good.
  void Search(uint32_t slot) {
    const uint32_t from = m_location;
    m_location = slot;
    std::string reward;
    for (SSceneObject& object : m_world.Scene(slot).objects) {
      if (object.reward) reward = object.name;
      if (!object.pickable || !ClickSprite(object.sprite, "find " + object.name)) continue;
      object.picked = true;
    }
    m_location = from;
    m_plan.expected.searches.insert(slot);
    if (!reward.empty()) {
      ClickWindow(m_hud.frameButton, "close the item frame");
      AddItem(reward);
    }
    for (uint32_t s = 0; s < m_world.SceneCount(); ++s)
      for (Vey::SExit& exit : m_world.Scene(s).exits) {
        if (exit.target != slot) continue;
        exit.open = false;
        exit.second = true;
        exit.conditions = {Vey::SStateCondition{reward, "Impossible"}};
      }
    m_doneCloseUps.clear();
  }

  // ---- walking ----

  void Enter(uint32_t location) {
    m_location = location;
    if (m_plan.expected.locations.insert(location).second) {
      std::string& capture = m_plan.moves.empty() ? m_plan.startCapture : m_plan.moves.back().capture;
      capture = CaptureName("location", location);
    }
    for (Vey::SExit& exit : m_world.Scene(location).exits)
      if (!exit.open && !exit.second && Vey::WorldConditionsHold(m_world, exit.conditions)) exit.open = true;
  }

  // The walk (a chain of exits) to the nearest location where there is something to do.
  bool WalkToWork() {
    std::map<uint32_t, std::pair<uint32_t, std::string>> cameFrom;  // location -> (previous, sprite)
    std::deque<uint32_t> queue{m_location};
    cameFrom[m_location] = {m_location, ""};
    const uint32_t start = m_location;
    while (!queue.empty()) {
      const uint32_t here = queue.front();
      queue.pop_front();
      m_location = here;
      for (Vey::SExit& exit : m_world.Scene(here).exits) {
        if (exit.direction == Vey::EDirection::Ho || cameFrom.count(exit.target)) continue;
        if (ExitUnder(exit.sprite) != &exit) continue;
        const SLayout* layout = ViewLayout();
        float x = 0, y = 0;
        if (!layout || !layout->count(exit.sprite) || !ClickPoint(layout->at(exit.sprite), m_hud.diary, &x, &y)) continue;
        cameFrom[exit.target] = {here, exit.sprite};
        queue.push_back(exit.target);
      }
    }
    m_location = start;
    // Nearest first.
    for (uint32_t target : BreadthOrder(cameFrom, start)) {
      if (target == start) continue;
      if (!HasWorkAt(target)) continue;
      std::vector<std::pair<uint32_t, std::string>> path;
      for (uint32_t at = target; at != start; at = cameFrom[at].first) path.push_back({at, cameFrom[at].second});
      std::reverse(path.begin(), path.end());
      for (const auto& step : path) {
        ClickSprite(step.second, "walk to location slot " + std::to_string(step.first));
        Enter(step.first);
      }
      m_doneCloseUps.clear();
      return true;
    }
    return false;
  }

  static std::vector<uint32_t> BreadthOrder(const std::map<uint32_t, std::pair<uint32_t, std::string>>& cameFrom,
                                            uint32_t start) {
    std::vector<std::pair<size_t, uint32_t>> depth;
    for (const auto& entry : cameFrom) {
      size_t steps = 0;
      for (uint32_t at = entry.first; at != start && steps < cameFrom.size(); at = cameFrom.at(at).first) ++steps;
      depth.push_back({steps, entry.first});
    }
    std::sort(depth.begin(), depth.end());
    std::vector<uint32_t> order;
    for (const auto& entry : depth) order.push_back(entry.second);
    return order;
  }

  // Whether a visit to the location would do something: a first entry, or a move there.
  bool HasWorkAt(uint32_t location) {
    if (!m_plan.expected.locations.count(location)) return true;
    const uint32_t here = m_location;
    const size_t moves = m_plan.moves.size();
    const auto shown = m_shown;
    // Tried on a copy of the plan's own bookkeeping: only whether something would be done.
    m_location = location;
    const bool work = WouldAct();
    m_location = here;
    m_plan.moves.resize(moves);
    m_shown = shown;
    return work;
  }

  bool WouldAct() {
    for (const SSceneObject& object : Objects()) {
      if (!Interactive(object)) continue;
      if (object.pickable || object.clue) return true;
      for (const Vey::SObjectAction& action : object.actions) {
        const bool held = action.object == CMapClick() ||
                          std::find(m_inventory.begin(), m_inventory.end(), action.object) != m_inventory.end();
        if (held && object.state == action.reqState && Vey::WorldConditionsHold(m_world, action.conditions)) return true;
      }
    }
    for (const Vey::SMiniGameLink& link : m_world.Scene(m_location).miniGames)
      if (!link.second && !m_plan.expected.miniGames.count(link.miniGame) &&
          (link.open || Vey::WorldConditionsHold(m_world, link.conditions)))
        return true;
    for (const Vey::SCloseUpLink& link : m_world.Scene(m_location).closeUps)
      if (!m_doneCloseUps.count(link.closeUp) && (link.open || Vey::WorldConditionsHold(m_world, link.conditions)) &&
          CloseUpHasWork(link.closeUp))
        return true;
    for (Vey::SExit& exit : m_world.Scene(m_location).exits)
      if (exit.direction == Vey::EDirection::Ho && !m_plan.expected.searches.count(exit.target) &&
          ExitUnder(exit.sprite) == &exit)
        return true;
    return false;
  }

  CMap& m_world;
  const std::map<std::string, SLayout>& m_layouts;
  const SHudPlaces& m_hud;
  const SPlanSettings& m_settings;
  SPlan m_plan;
  uint32_t m_location = 0;
  uint32_t m_closeUp = Vey::kNoCloseUp;
  std::map<std::string, bool> m_shown;  // pictures shown or hidden since the start, by view
  std::vector<std::string> m_inventory;
  size_t m_firstVisible = 0;
  std::set<uint32_t> m_doneCloseUps;
};

}  // namespace

bool ReadLayoutDescription(const std::string& text, const std::string& fileName, std::map<std::string, SLayout>* layouts,
                           std::string* error) {
  std::istringstream lines(text);
  std::string line;
  SLayout* current = nullptr;
  std::string folder;
  for (int number = 1; std::getline(lines, line); ++number) {
    std::istringstream words(line);
    std::string word, name;
    words >> word;
    if (word == "layout" || word == "blank") {
      words >> name >> folder;
      current = &(*layouts)[name];
      continue;
    }
    if (word != "sprite" && word != "spot" && word != "anim") continue;
    SBox box;
    std::string hidden;
    if (!(words >> name >> box.x >> box.y >> box.w >> box.h) || !current) {
      *error = fileName + ":" + std::to_string(number) + ": expected '" + word + " NAME X Y W H' inside a layout";
      return false;
    }
    words >> hidden;
    box.hidden = hidden == "hidden";
    box.folder = folder;
    (*current)[name] = box;
  }
  return true;
}

void ReadHitMasks(const std::string& contentDir, std::map<std::string, SLayout>* layouts) {
  for (auto& [layoutName, layout] : *layouts) {
    for (auto& [name, box] : layout) {
      std::string folder = box.folder;
      std::replace(folder.begin(), folder.end(), '\\', '/');
      // A raw mask: a byte a pixel of the picture drawn at the box's size, rows from the bottom.
      if (!(box.w >= 1.0f && box.h >= 1.0f)) continue;
      const size_t width = size_t(box.w), height = size_t(box.h);
      std::vector<uint8_t> bytes;
      const std::string path = contentDir + "/" + folder + name + ".msk";
      if (name.find('/') != std::string::npos || !ReadFileBytes(path, bytes)) continue;
      if (bytes.size() != width * height) {
        std::fprintf(stderr, "walkthrough: %s: %zu bytes, not the %zu x %zu of its picture; clicked anywhere in its box\n",
                     path.c_str(), bytes.size(), width, height);
        continue;
      }
      box.maskWidth = int(width);
      box.maskHeight = int(height);
      box.mask.assign(width * height, false);
      for (size_t row = 0; row < height; ++row)
        for (size_t column = 0; column < width; ++column)
          box.mask[row * width + column] = bytes[(height - 1 - row) * width + column] != 0;
    }
  }
}

bool ReadHudPlaces(const std::string& hudText, const std::string& frameText, SHudPlaces* places, std::string* error) {
  TiXmlDocument hud, frame;
  hud.Parse(hudText.c_str());
  frame.Parse(frameText.c_str());
  float x = 0, y = 0;
  for (int slot = 1; ReadPos(hud, "root/HUD4:3/Slot" + std::to_string(slot), &x, &y); ++slot)
    places->slots.push_back(HudPoint(x, y));
  const struct {
    const TiXmlDocument& document;
    const char* name;
    std::pair<int, int>* place;
  } kNodes[] = {{hud, "root/HUD4:3/LeftArrowInactive", &places->leftArrow},
                {hud, "root/HUD4:3/RightArrowInactive", &places->rightArrow},
                {hud, "root/Outline", &places->skipButton},
                {frame, "root/FrameButton", &places->frameButton}};
  for (const auto& node : kNodes) {
    if (!ReadPos(node.document, node.name, &x, &y)) {
      *error = std::string("the layout has no \"") + node.name + "\"";
      return false;
    }
    *node.place = HudPoint(x, y);
  }
  if (places->slots.empty()) {
    *error = "the heads-up display's layout has no slots \"root/HUD4:3/SlotN\"";
    return false;
  }
  float w = 0, h = 0;
  if (!ReadPos(hud, kDiaryNode, &x, &y, &w, &h)) {
    *error = std::string("the layout has no \"") + kDiaryNode + "\" with a place and size";
    return false;
  }
  // Layout units (y up, a unit is half the 720 pixels' height) into layout pixels.
  places->diary.x = 640.0f + x * 360.0f;
  places->diary.y = 360.0f - y * 360.0f;
  places->diary.w = w * 360.0f;
  places->diary.h = h * 360.0f;
  return true;
}

std::pair<int, int> WindowPoint(float layoutX, float layoutY) {
  return {int(std::lround(512.0f + (layoutX - 640.0f) * kWindowPerLayoutPixel)),
          int(std::lround(384.0f + (layoutY - 360.0f) * kWindowPerLayoutPixel))};
}

SPlan MakePlan(CMap& world, const std::map<std::string, SLayout>& layouts, const SHudPlaces& hud,
               const SPlanSettings& settings) {
  return CPlanner(world, layouts, hud, settings).Run();
}

std::string WriteScript(const SPlan& plan, const SPlanSettings& settings) {
  std::ostringstream script;
  script << "# The walkthrough: written by the walkthrough tool from the scene description and layouts.\n";
  // The pipes' board is dealt from the game's random draws: the run must start them from this seed.
  script << "# HOLLOWMERE_SEED=" << settings.seed << "\n";
  // Each click lands once the pointer has come to rest where it is wanted.
  CPointerPath pointer;
  const auto click = [&script, &pointer](int frame, int x, int y) {
    const CPointerPath::SMouseMove move = pointer.MoveTo(float(x), float(y));
    script << frame << " mouse move " << move.x << " " << move.y << "\n"
           << frame + move.settleFrames << " mouse down left\n"
           << frame + move.settleFrames + 1 << " mouse up left\n";
    return frame + move.settleFrames + 1;
  };
  // A click pressed in the given frame: the mouse sets off as late as lets the pointer come to
  // rest by then, and no earlier than `frame`.
  const auto timedClick = [&script, &pointer](int frame, int press, int x, int y) {
    const CPointerPath::SMouseMove move = pointer.MoveTo(float(x), float(y));
    script << std::max(frame, press - move.settleFrames) << " mouse move " << move.x << " " << move.y << "\n"
           << press << " mouse down left\n"
           << press + 1 << " mouse up left\n";
    return press + 1;
  };
  int last = 0;  // the frame of the last click's release, in its wait's count
  if (!settings.bonus) {
    // The tutorial's question asks over the first location: "No".
    script << "# answer the tutorial's question: no\n";
    script << click(settings.tutorialFrame, 666, 480) + 9 << " idle\n";
  } else {
    script << "20 idle\n";
  }
  if (!plan.startCapture.empty()) script << "1 capture " << plan.startCapture << "\n";
  for (size_t i = 0; i < plan.moves.size(); ++i) {
    const SMove& move = plan.moves[i];
    script << "# " << move.what << "\n";
    // The view before the click is saved in the frame after the wait's own capture, as the mouse
    // sets off.
    if (!move.captureBefore.empty()) script << "2 capture " << move.captureBefore << "\n";
    int released = 0;
    if (move.chained) {
      released = last + move.pressFrame + 1;
      script << released - 1 << " mouse down left\n" << released << " mouse up left\n";
    } else {
      const int start = (move.captureBefore.empty() ? 1 : 2) + move.waitFrames;
      released = move.pressFrame > 0 ? timedClick(start, move.pressFrame, move.x, move.y) : click(start, move.x, move.y);
    }
    last = released;
    // The ending's click is the last: what follows it is the caller's.
    if (plan.expected.ending && i + 1 == plan.moves.size()) break;
    if (!move.captureAfterClick.empty()) script << released + 1 << " capture " << move.captureAfterClick << "\n";
    if (i + 1 < plan.moves.size() && plan.moves[i + 1].chained) continue;
    script << released + std::max(move.framesAfter, 1) << " idle\n";
    if (!move.capture.empty()) script << "1 capture " << move.capture << "\n";
  }
  return script.str();
}

std::string WriteExpected(const SPlan& plan) {
  std::ostringstream report;
  for (uint32_t slot : plan.expected.locations) report << "location " << slot << "\n";
  for (uint32_t slot : plan.expected.searches) report << "search " << slot << "\n";
  for (uint32_t slot : plan.expected.closeUps) report << "closeup " << slot << "\n";
  for (uint32_t slot : plan.expected.miniGames) report << "puzzle " << slot << "\n";
  for (uint32_t slot : plan.expected.solvedPuzzles) report << "solved " << slot << "\n";
  if (plan.expected.ending) report << "ending\n";
  if (!plan.stuck.empty()) report << "stuck " << plan.stuck << "\n";
  return report.str();
}

bool ReadExpected(const std::string& text, SExpected* expected, std::string* error) {
  std::istringstream lines(text);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    std::istringstream words(line);
    std::string kind;
    uint32_t slot = 0;
    words >> kind;
    if (kind.empty()) continue;
    if (kind == "ending") {
      expected->ending = true;
      continue;
    }
    std::set<uint32_t>* set = kind == "location" ? &expected->locations
                              : kind == "search" ? &expected->searches
                              : kind == "closeup" ? &expected->closeUps
                              : kind == "puzzle"  ? &expected->miniGames
                              : kind == "solved"  ? &expected->solvedPuzzles
                                                  : nullptr;
    if (!set || !(words >> slot)) {
      *error = "line " + std::to_string(number) + ": expected 'location|search|closeup|puzzle|solved SLOT' or 'ending'";
      return false;
    }
    set->insert(slot);
  }
  return true;
}

namespace {

bool AllTaken(const Vey::SObjectList& objects) {
  return std::all_of(objects.begin(), objects.end(),
                     [](const SSceneObject& object) { return !object.pickable || object.picked; });
}

bool CloseUpOpened(const CMap& world, uint32_t closeUp) {
  for (uint32_t s = 0; s < world.SceneCount(); ++s)
    for (const Vey::SCloseUpLink& link : world.Scene(s).closeUps)
      if (link.closeUp == closeUp && link.open) return true;
  return false;
}

// Passed: its link done, or shut for good (the arcade retires its links).
bool PuzzlePassed(const CMap& world, uint32_t miniGame) {
  auto passedIn = [&world, miniGame](const std::vector<Vey::SMiniGameLink>& links) {
    return std::any_of(links.begin(), links.end(), [&world, miniGame](const Vey::SMiniGameLink& link) {
      return link.miniGame == miniGame &&
             (link.second || (!link.open && !Vey::WorldConditionsHold(world, link.conditions)));
    });
  };
  for (uint32_t s = 0; s < world.SceneCount(); ++s)
    if (passedIn(world.Scene(s).miniGames)) return true;
  for (uint32_t c = 0; c < world.CloseUpCount(); ++c)
    if (passedIn(world.CloseUp(c).miniGames)) return true;
  return false;
}

}  // namespace

std::vector<std::string> CompareWithSave(const SExpected& expected, CMap& world, const Vey::SProfileData& profile,
                                         const std::set<uint32_t>& endingModes) {
  world.RestoreProgress(profile.progress);
  std::vector<std::string> missing;
  for (uint32_t slot : expected.locations)
    if (slot >= Vey::kMapAreaCount || profile.mapAreas[slot] == 0)
      missing.push_back("location " + std::to_string(slot) + " was not entered");
  for (uint32_t slot : expected.searches)
    if (slot >= world.SceneCount() || !AllTaken(world.Scene(slot).objects))
      missing.push_back("search " + std::to_string(slot) + " has objects left");
  for (uint32_t slot : expected.closeUps) {
    if (slot >= world.CloseUpCount() || !CloseUpOpened(world, slot))
      missing.push_back("close-up " + std::to_string(slot) + " was not opened");
    else if (!AllTaken(world.CloseUp(slot).objects))
      missing.push_back("close-up " + std::to_string(slot) + " has things left to take");
  }
  for (uint32_t slot : expected.miniGames)
    if (!PuzzlePassed(world, slot)) missing.push_back("puzzle " + std::to_string(slot) + " was not passed");
  if (expected.ending && !endingModes.count(profile.gameMode))
    missing.push_back("the ending was not reached (game mode " + std::to_string(profile.gameMode) + ")");
  return missing;
}

}  // namespace walkthrough
