#pragma once
// Whether a player can reach what a layout asks him to click: each such object lies wholly on the
// screen of every shape the game lays out, off the heads-up display's bar and buttons of that
// shape, and not under another object he must click.

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace Reach {

// A rectangle in layout units: x within +-aspect, y within +-1, y up.
struct SBox {
  float left = 0, bottom = 0, right = 0, top = 0;
};

struct SLayoutObject {
  std::string type;  // "Sprite2D", "Text", "Dummy", ...
  bool visible = false;
  SBox box;
};
using LayoutObjects = std::map<std::string, SLayoutObject>;

// The objects of a built ".2dl" layout by name; false when it cannot be read.
bool ReadLayoutObjects(const std::string& path, LayoutObjects* objects);

// The screen shapes the heads-up display has a set for.
struct SShape {
  const char* name;
  float aspect;
};
extern const SShape kShapes[4];

// What the player must click in a layout: objects whose names start with a prefix, each prefix
// a group; objects of one group may overlap (gears on their axles), of two groups not.
struct SClickGroup {
  SClickGroup(std::string prefix_, bool whole_ = false, std::string family_ = {})
      : prefix(std::move(prefix_)), whole(whole_), family(std::move(family_)) {}
  std::string prefix;
  bool whole = false;  // the prefix is the object's whole name
  std::string family;  // groups of one family may overlap too (a gear on its axle); empty: its own
};

inline SClickGroup WholeName(const std::string& name) { return SClickGroup(name, true); }

enum class EPlace { Location, Puzzle };

using ProblemSink = std::function<void(const std::string&)>;

// Names each object of the groups that is not wholly on the screen of a shape, lies under a part
// of the display of that shape or under an object of another group; a group matching no object
// is a problem too.
void CheckReach(const std::string& layoutName, const LayoutObjects& layout, const std::vector<SClickGroup>& groups,
                const LayoutObjects& hud, EPlace place, const ProblemSink& problem);

// Every puzzle layout of the story (or the bonus chapter) in CONTENT_DIR/App/Layouts checked with its
// puzzle's clickable objects; its way back, "root/Exit1", must be a shown picture in the same
// place in every puzzle. Returns the number of problems.
int CheckPuzzleReach(const std::string& contentDir, bool bonus, const ProblemSink& problem);

}  // namespace Reach
