#include "tools/scenecheck/Reach.h"

#include "tools/shared/FileBytes.h"

#include <tinyxml.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace Reach {

const SShape kShapes[4] = {{"4:3", 4.0f / 3.0f}, {"5:4", 1.25f}, {"16:10", 1.6f}, {"16:9", 16.0f / 9.0f}};

namespace {

// "x;y" as two floats; a missing value is `fallback`.
void ReadPair(const TiXmlElement* object, const char* element, float fallback, float* x, float* y) {
  *x = *y = fallback;
  const TiXmlElement* child = object->FirstChildElement(element);
  const char* text = child ? child->GetText() : nullptr;
  if (!text) return;
  char* end = nullptr;
  *x = std::strtof(text, &end);
  if (*end == ';') *y = std::strtof(end + 1, nullptr);
}

bool SameFamily(const SClickGroup& a, const SClickGroup& b) {
  return &a == &b || (!a.family.empty() && a.family == b.family);
}

bool Overlap(const SBox& a, const SBox& b) {
  return a.left < b.right && b.left < a.right && a.bottom < b.top && b.bottom < a.top;
}

std::string Describe(const SBox& box) {
  char text[96];
  std::snprintf(text, sizeof(text), "(%.3f..%.3f, %.3f..%.3f)", box.left, box.right, box.bottom, box.top);
  return text;
}

// The display's parts over a place in one shape: the bar with the menu moon and the compass of
// that shape, the diary book every shape shares and, over a puzzle, its help and skip buttons.
std::vector<std::pair<std::string, SBox>> HudParts(const LayoutObjects& hud, const SShape& shape, EPlace place) {
  const std::string own = std::string("root/HUD") + shape.name + "/";
  std::vector<std::string> names = {own + "hudBar", own + "hudLeft(Moon)", own + "MapButton/Compass",
                                    "root/Diary/DiaryAnim1"};
  if (place == EPlace::Puzzle) names.insert(names.end(), {"root/Outline0", "root/Outline"});
  std::vector<std::pair<std::string, SBox>> parts;
  for (const std::string& name : names)
    if (const auto found = hud.find(name); found != hud.end()) parts.emplace_back(name, found->second.box);
  return parts;
}

}  // namespace

bool ReadLayoutObjects(const std::string& path, LayoutObjects* objects) {
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(path, bytes)) return false;
  bytes.push_back(0);
  TiXmlDocument document;
  document.Parse(reinterpret_cast<const char*>(bytes.data()));
  const TiXmlElement* root = document.RootElement();
  const TiXmlElement* layout = root ? root->FirstChildElement("Layout") : nullptr;
  if (!layout) return false;
  for (const TiXmlElement* object = layout->FirstChildElement("Object"); object;
       object = object->NextSiblingElement("Object")) {
    const char* name = object->Attribute("Name");
    if (!name) continue;
    SLayoutObject& entry = (*objects)[name];
    entry.type = object->Attribute("Type") ? object->Attribute("Type") : "";
    const TiXmlElement* visible = object->FirstChildElement("Visible");
    entry.visible = visible && visible->GetText() && std::strcmp(visible->GetText(), "True") == 0;
    float x, y, w, h, sx, sy;
    ReadPair(object, "Pos", 0.0f, &x, &y);
    ReadPair(object, "Size", 0.0f, &w, &h);
    ReadPair(object, "Scale", 1.0f, &sx, &sy);
    entry.box = {x - w * sx / 2, y - h * sy / 2, x + w * sx / 2, y + h * sy / 2};
  }
  return true;
}

void CheckReach(const std::string& layoutName, const LayoutObjects& layout, const std::vector<SClickGroup>& groups,
                const LayoutObjects& hud, EPlace place, const ProblemSink& problem) {
  struct SClickable {
    const std::string* name;
    size_t group;
    SBox box;
  };
  std::vector<SClickable> clickables;
  for (size_t g = 0; g < groups.size(); ++g) {
    const std::string& prefix = groups[g].prefix;
    // A sprite named twice (two exits through one door) is one thing to click.
    bool named = false;
    for (size_t earlier = 0; earlier < g; ++earlier)
      named = named || (groups[earlier].prefix == prefix && groups[earlier].whole == groups[g].whole);
    if (named) continue;
    const size_t before = clickables.size();
    for (auto it = layout.lower_bound(prefix); it != layout.end() && it->first.compare(0, prefix.size(), prefix) == 0;
         ++it)
      if (!groups[g].whole || it->first == prefix) clickables.push_back({&it->first, g, it->second.box});
    if (clickables.size() == before) problem(layoutName + ": no object \"" + prefix + "\" to click");
  }
  for (const SShape& shape : kShapes) {
    const std::string where = layoutName + " at " + shape.name + ": ";
    const SBox screen = {-shape.aspect, -1.0f, shape.aspect, 1.0f};
    const auto parts = HudParts(hud, shape, place);
    for (const SClickable& c : clickables) {
      const std::string object = "\"" + *c.name + "\" " + Describe(c.box);
      if (c.box.left < screen.left || c.box.right > screen.right || c.box.bottom < screen.bottom ||
          c.box.top > screen.top)
        problem(where + object + " is not wholly on the screen");
      for (const auto& [part, box] : parts)
        if (Overlap(c.box, box)) problem(where + object + " lies under the display's \"" + part + "\"");
    }
  }
  // Overlaps do not change with the shape.
  for (size_t a = 0; a < clickables.size(); ++a)
    for (size_t b = a + 1; b < clickables.size(); ++b)
      if (!SameFamily(groups[clickables[a].group], groups[clickables[b].group]) &&
          Overlap(clickables[a].box, clickables[b].box))
        problem(layoutName + ": \"" + *clickables[a].name + "\" and \"" + *clickables[b].name + "\" overlap");
}

namespace {

struct SPuzzle {
  bool bonus;          // the bonus chapter's
  const char* layout;  // below App/Layouts/
  std::vector<SClickGroup> groups;
};

// What each puzzle's player clicks, besides its way back.
const std::vector<SPuzzle>& Puzzles() {
  static const std::vector<SPuzzle> puzzles = {
      {false, "Game01.2dl", {{"root/redJewel"}, {"root/greenJewel"}}},
      {false, "Game02.2dl", {{"root/Key/"}}},
      {false, "Game03.2dl", {{"root/Letters"}, {"root/Numbers"}}},
      {false, "Game04.2dl", {{"root/RedDummy"}, {"root/BlueDummy"}, {"root/GreenDummy"}, {"root/YellowDummy"}}},
      {false, "Game05.2dl", {{"root/Ball", false, "board"}, {"root/Dummy", false, "board"}}},  // a ball on any cell
      {false, "Game06.2dl", {{"root/Switch"}}},
      {false, "Game07.2dl", {{"root/Pipes/"}, {"root/ButtonDummy"}}},
      {false, "Game08.2dl", {{"root/Gears/", false, "board"}, {"root/Axes/", false, "board"}, {"root/BGparts/MainGear", true, "board"}}},
      {true, "CollectorsGame01.2dl", {{"root/Button"}}},
  };
  return puzzles;
}

}  // namespace

int CheckPuzzleReach(const std::string& contentDir, bool bonus, const ProblemSink& problem) {
  int problems = 0;
  const ProblemSink count = [&](const std::string& text) {
    ++problems;
    problem(text);
  };
  const std::string layoutDir = contentDir + "/App/Layouts/";
  LayoutObjects hud;
  if (!ReadLayoutObjects(contentDir + "/App/Hud/HUD.2dl", &hud)) {
    count(contentDir + "/App/Hud/HUD.2dl: cannot be read");
    return problems;
  }
  std::string firstExit, firstExitLayout;  // the first puzzle's way back, where it lies
  for (const SPuzzle& puzzle : Puzzles()) {
    if (puzzle.bonus != bonus) continue;
    LayoutObjects layout;
    if (!ReadLayoutObjects(layoutDir + puzzle.layout, &layout)) {
      count(layoutDir + puzzle.layout + ": cannot be read");
      continue;
    }
    std::vector<SClickGroup> groups = puzzle.groups;
    groups.push_back(WholeName("root/Exit1"));
    CheckReach(puzzle.layout, layout, groups, hud, EPlace::Puzzle, count);
    const auto exit = layout.find("root/Exit1");
    if (exit == layout.end()) continue;
    if (exit->second.type != "Sprite2D" || !exit->second.visible)
      count(std::string(puzzle.layout) + ": the way back \"root/Exit1\" is not a shown picture");
    const std::string where = Describe(exit->second.box);
    if (firstExit.empty()) {
      firstExit = where;
      firstExitLayout = puzzle.layout;
    } else if (where != firstExit) {
      count(std::string(puzzle.layout) + ": the way back \"root/Exit1\" " + where + " is not where " +
            firstExitLayout + "'s is " + firstExit);
    }
  }
  return problems;
}

}  // namespace Reach
