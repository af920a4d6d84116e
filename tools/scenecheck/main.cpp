// scenecheck: reads a scene description through the game's own reader and checks every name it
// refers to: the objects, states and animations its conditions and actions name, the sounds
// of the story's sound bank, the particle emitters of the content tree's effect files and,
// when asked, the sprites each place's layout must hold.

#include "Particles/PtcFile.h"
#include "Quor/ReportError.h"
#include "Src/World/Vey_GameEffects.h"
#include "Src/World/Vey_Map.h"
#include "Src/World/Vey_SoundContainer.h"
#include "Src/Investigation/Vey_HiddenObjects.h"
#include "Src/Investigation/Vey_MapFrame.h"
#include "tools/scenecheck/Cover.h"
#include "tools/scenecheck/Surfaces.h"
#include "tools/scenecheck/Reach.h"
#include "tools/shared/FileBytes.h"

#include <tinyxml.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

using namespace Vey;

namespace {

void PrintUsage() {
  std::printf(
      "usage: scenecheck DESCRIPTION.xml CONTENT_DIR [--bonus] [--layouts] [--dictionary DICTIONARY.xml] [--reach[=puzzles]] [--cover]\n"
      "       [--surfaces LAYOUTS.txt]\n"
      "  Reads the description as the game does (--bonus: as the bonus chapter's) and checks that\n"
      "  every object, state, animation, sound and particle emitter it names exists; the emitters\n"
      "  are those of the .ptc files below CONTENT_DIR. With --layouts, every sprite a location or\n"
      "  close-up names (its objects' and their states', its exits', links' and decorations') must\n"
      "  be an object of its layout, CONTENT_DIR/App/Layouts/Scene%%02d.2dl or Intermediate%%02d.2dl\n"
      "  of its slot plus one (the bonus chapter's in App/Layouts/Collectors/). With --dictionary,\n"
      "  every note an action shows must be a phrase of the dictionary in each of its languages.\n"
      "  Prints each problem and exits with 1 when there is one, else 0. An action's effect on a\n"
      "  place whose layout is not loaded while it runs is named on the output, as a note.\n"
      "  With --reach, everything a player clicks in a place (its exits, links, objects to take and a\n"
      "  search's way out \"root/Exit1\") and in each puzzle must lie wholly on the screen of every\n"
      "  shape (4:3, 5:4, 16:10, 16:9), off the heads-up display's bar and buttons of that shape and\n"
      "  not under another thing to click, and every puzzle's way back must be the same shown\n"
      "  picture in the same place;\n"
      "  --reach=puzzles checks the puzzles only.\n"
      "  With --cover, every thing to find in a search (a slot an exit opens as one) must show 35 %% to\n"
      "  90 %% of its own pixels (its mask's) uncovered by the pictures its layout draws after it; the\n"
      "  range found is printed.\n"
      "  With --surfaces, every shown picture of each layout of the layout description LAYOUTS.txt that\n"
      "  declares surfaces (\"surface X0 X1 Y DEPTH\" or \"surface X0 X1 Y hang\") must rest on one (its\n"
      "  lowest own pixel from Y to Y + DEPTH, its middle between X0 and X1) or hang from one (its highest\n"
      "  own pixel at Y), within 4 pixels; the layouts are read from CONTENT_DIR/App/Layouts/.\n");
}

std::vector<std::string>& LoaderReports() {
  static std::vector<std::string> reports;
  return reports;
}
// The reader's reports reach stderr by themselves; the check counts them.
void KeepReport(const char*, uint32_t, const char* text) { LoaderReports().push_back(text); }

// The names a description may refer to.
struct SKnownNames {
  std::map<std::string, const SSceneObject*> objects;  // world-wide
  std::set<std::string> items;  // the objects a player can carry: taken in a place or handed out by a search
  std::set<std::string> sounds;
  std::set<std::string> emitters;
  // The emitters of the group that draws each kind of place (main story only; empty: not checked).
  std::set<std::string> sceneGroup, closeUpGroup, miniGameGroup;
  // The markers of the story's map, which an action's map changes show or hide.
  std::set<std::string> mapMarkers;
  // The phrases of the dictionary, when one is given, with the languages each one is written in.
  std::string dictionary;
  std::map<std::string, std::set<std::string>> phrases;
  std::set<std::string> languages;  // every language of the dictionary
};

class CChecker {
 public:
  CChecker(const std::string& fileName, const SKnownNames& known) : m_fileName(fileName), m_known(known) {}
  int Problems() const { return m_problems; }

  void Problem(const std::string& place, const std::string& text) {
    std::fprintf(stderr, "%s: %s: %s\n", m_fileName.c_str(), place.c_str(), text.c_str());
    ++m_problems;
  }

  // A note the HUD shows: a phrase of the dictionary in each of its languages.
  void Phrase(const std::string& place, const std::string& key) {
    if (key.empty() || m_known.dictionary.empty()) return;
    const auto found = m_known.phrases.find(key);
    if (found == m_known.phrases.end()) return Problem(place, "no phrase \"" + key + "\" in " + m_known.dictionary);
    for (const std::string& language : m_known.languages)
      if (!found->second.count(language)) Problem(place, "the phrase \"" + key + "\" has no \"" + language + "\" text");
  }

  void Sound(const std::string& place, const std::string& sound) {
    if (!sound.empty() && !m_known.sounds.count(sound)) Problem(place, "no sound \"" + sound + "\" in the sound bank");
  }

  // An object of the world and, when given, one of its states.
  void ObjectState(const std::string& place, const std::string& object, const std::string& state) {
    const auto found = m_known.objects.find(object);
    if (found == m_known.objects.end()) return Problem(place, "no object \"" + object + "\"");
    if (!state.empty() && found->second->FindState(state) < 0)
      Problem(place, "object \"" + object + "\" has no state \"" + state + "\"");
  }

  // An item an action takes: an object of the world that some place lets the player take.
  void Item(const std::string& place, const std::string& item) {
    if (!m_known.objects.count(item)) return Problem(place, "no object \"" + item + "\"");
    if (!m_known.items.count(item))
      Problem(place, "the item \"" + item + "\" is used, but no place gives it (no pickable or reward object)");
  }

  void Conditions(const std::string& place, const std::vector<SStateCondition>& conditions) {
    for (const SStateCondition& condition : conditions) ObjectState(place, condition.object, condition.state);
  }

  void StoryEntries(const std::string& place, const char* kind, const std::vector<SStoryEntry>& entries) {
    for (const SStoryEntry& entry : entries)
      for (const SCondition& condition : entry.conditions)
        ObjectState(place + " " + kind + " \"" + entry.name + "\"", condition.object,
                    condition.kind == EConditionKind::State ? condition.state : "");
  }

  void MiniGameLinks(const std::string& place, const std::vector<SMiniGameLink>& links) {
    for (const SMiniGameLink& link : links)
      Conditions(place + " mini-game link \"" + link.sprite + "\"", link.conditions);
  }

  // A close-up counts as done, and closes itself, once nothing it shows is interactive: an item
  // or clue that is not interactive in its first state would be closed away while still shown.
  void CloseUpItems(const std::string& place, const SObjectList& objects) {
    for (const SSceneObject& object : objects) {
      if (!object.pickable && !object.clue) continue;
      const int32_t state = object.FindState(object.state);
      if (state < 0 || !object.states[size_t(state)].interactive)
        Problem(place + " object \"" + object.name + "\"",
                "an item to take, but not interactive in its state \"" + object.state +
                    "\": the close-up would close while it still shows");
    }
  }

  // `group`: the emitters the place's effects may start.
  void Objects(const std::string& place, const SObjectList& objects, const std::set<std::string>& group) {
    for (const SSceneObject& object : objects) Object(place + " object \"" + object.name + "\"", object, group);
  }

 private:
  bool HasAnimation(const SSceneObject& object, const std::string& name) {
    for (const SAnimationDesc& animation : object.animations)
      if (animation.name == name) return true;
    return false;
  }

  void Animation(const std::string& place, const SSceneObject& object, const std::string& name) {
    if (!name.empty() && !HasAnimation(object, name)) Problem(place, "no animation \"" + name + "\" of its own");
  }

  void Effect(const std::string& place, const std::string& emitter, const std::set<std::string>& group) {
    if (!m_known.emitters.count(emitter)) return Problem(place, "no particle emitter \"" + emitter + "\"");
    if (!group.empty() && !group.count(emitter))
      Problem(place, "the emitter \"" + emitter + "\" is not in the effects this place draws");
  }

  void Object(const std::string& place, const SSceneObject& object, const std::set<std::string>& group) {
    if (!object.animations.empty()) Animation(place, object, object.animation);
    if (!object.state.empty() && !object.states.empty() && object.FindState(object.state) < 0)
      Problem(place, "starts in \"" + object.state + "\", none of its states");
    Sound(place, object.sound);
    for (const SAnimationDesc& animation : object.animations) {
      const std::string where = place + " animation \"" + animation.name + "\"";
      Animation(where, object, animation.next);
      if (animation.kind == EAnimationKind::Sound) Sound(where, animation.soundName);
      if (animation.kind == EAnimationKind::Effect) Effect(where, animation.effectName, group);
    }
    for (const SObjectAction& action : object.actions) {
      const std::string where = place + " action of \"" + action.object + "\"";
      if (action.object != "Click") Item(where, action.object);
      for (const std::string* state : {&action.reqState, &action.resState})
        if (!state->empty() && object.FindState(*state) < 0) Problem(where, "no state \"" + *state + "\" of its own");
      Animation(where, object, action.animation);
      Sound(where, action.sound);
      Phrase(where, action.note);
      Conditions(where, action.conditions);
      for (const SVisibilityChange& change : action.effects) ObjectState(where, change.object, "");
      for (const SVisibilityChange& change : action.mapChanges)
        if (!m_known.mapMarkers.count(change.object)) Problem(where, "no map marker \"" + change.object + "\"");
    }
  }

  std::string m_fileName;
  const SKnownNames& m_known;
  int m_problems = 0;
};

// False (printed) when an effect file cannot be read.
bool ReadEmitterNames(const std::string& contentDir, std::set<std::string>* names) {
  bool whole = true;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(contentDir)) {
    if (!entry.is_regular_file() || entry.path().extension() != ".ptc") continue;
    std::vector<uint8_t> bytes;
    SPtcFile file;
    const std::string path = entry.path().string();
    if (!ReadFileBytes(path, bytes) || !ReadPtcFile(bytes.data(), bytes.size(), path.c_str(), &file)) {
      std::fprintf(stderr, "%s: cannot be read\n", path.c_str());
      whole = false;
      continue;
    }
    for (const SPtcEmitter& emitter : file.emitters) names->insert(emitter.name);
  }
  return whole;
}

// False (printed) when the dictionary cannot be read.
bool ReadPhrases(const std::string& fileName, SKnownNames* known) {
  std::vector<uint8_t> bytes;
  TiXmlDocument document;
  if (ReadFileBytes(fileName, bytes)) {
    bytes.push_back(0);
    document.Parse(reinterpret_cast<const char*>(bytes.data()));
  }
  if (!document.RootElement()) {
    std::fprintf(stderr, "%s: cannot be read\n", fileName.c_str());
    return false;
  }
  known->dictionary = fileName;
  for (const TiXmlElement* phrase = document.RootElement()->FirstChildElement("Phrase"); phrase;
       phrase = phrase->NextSiblingElement("Phrase")) {
    std::set<std::string>& languages = known->phrases[phrase->Attribute("ID") ? phrase->Attribute("ID") : ""];
    for (const TiXmlElement* text = phrase->FirstChildElement(); text; text = text->NextSiblingElement()) {
      languages.insert(text->Value());
      known->languages.insert(text->Value());
    }
  }
  return true;
}

std::string SlotPlace(const char* kind, uint32_t slot) { return std::string(kind) + " slot " + std::to_string(slot); }

using SpriteList = std::vector<std::pair<std::string, std::string>>;  // where it is named, the sprite

// The layout of a place: the names of its objects, as the game looks sprites up in it.
class CPlaceLayout {
 public:
  CPlaceLayout(const std::string& layoutDir, const char* prefix, uint32_t slot) {
    char name[32];
    std::snprintf(name, sizeof(name), "%s%02u.2dl", prefix, slot + 1);
    m_fileName = name;
    TiXmlDocument document;
    std::vector<uint8_t> bytes;
    if (!ReadFileBytes(layoutDir + m_fileName, bytes)) return;
    bytes.push_back(0);
    document.Parse(reinterpret_cast<const char*>(bytes.data()));
    const TiXmlElement* root = document.RootElement();
    const TiXmlElement* layout = root ? root->FirstChildElement("Layout") : nullptr;
    if (!layout) return;
    m_read = true;
    for (const TiXmlElement* object = layout->FirstChildElement("Object"); object;
         object = object->NextSiblingElement("Object"))
      if (const char* objectName = object->Attribute("Name")) m_names.insert(objectName);
  }

  // Each sprite the place names must be an object of the layout; a layout that is missing or
  // unreadable is one problem.
  void Check(CChecker& checker, const std::string& place, const SpriteList& sprites) const {
    if (!m_read) return checker.Problem(place, "no readable layout " + m_fileName);
    for (const auto& [where, sprite] : sprites)
      if (!sprite.empty() && !m_names.count(sprite))
        checker.Problem(place + where, "no sprite \"" + sprite + "\" in the layout " + m_fileName);
  }

 private:
  std::string m_fileName;
  bool m_read = false;
  std::set<std::string> m_names;
};

void AddObjectSprites(const SObjectList& objects, SpriteList* sprites) {
  for (const SSceneObject& object : objects) {
    const std::string where = " object \"" + object.name + "\"";
    sprites->emplace_back(where, object.sprite);
    for (const SObjectState& state : object.states)
      sprites->emplace_back(where + " state \"" + state.name + "\"", state.sprite);
  }
}

void AddLinkSprites(const std::vector<SMiniGameLink>& links, SpriteList* sprites) {
  for (const SMiniGameLink& link : links) sprites->emplace_back(" mini-game link", link.sprite);
}

SpriteList SceneSprites(const SSceneSlot& scene) {
  SpriteList sprites;
  AddObjectSprites(scene.objects, &sprites);
  AddLinkSprites(scene.miniGames, &sprites);
  for (const SExit& exit : scene.exits) sprites.emplace_back(" exit", exit.sprite);
  for (const SCloseUpLink& link : scene.closeUps) sprites.emplace_back(" close-up link", link.sprite);
  for (const auto* list : {&scene.shiningObjects, &scene.animatedObjects, &scene.blendAnims})
    for (const std::string& sprite : *list) sprites.emplace_back(" decoration", sprite);
  return sprites;
}

// The bonus chapter's layouts lie in a folder of their own, beside the main story's.
void CheckLayouts(const CMap& map, const std::string& contentDir, CChecker& checker) {
  const std::string layoutDir = contentDir + (map.IsBonus() ? "/App/Layouts/Collectors/" : "/App/Layouts/");
  for (uint32_t s = 0; s < map.SceneCount(); ++s)
    CPlaceLayout(layoutDir, "Scene", s).Check(checker, SlotPlace("scene", s), SceneSprites(map.Scene(s)));
  for (uint32_t c = 0; c < map.CloseUpCount(); ++c) {
    SpriteList sprites;
    AddObjectSprites(map.CloseUp(c).objects, &sprites);
    AddLinkSprites(map.CloseUp(c).miniGames, &sprites);
    CPlaceLayout(layoutDir, "Intermediate", c).Check(checker, SlotPlace("close-up", c), sprites);
  }
}

// Every place is reached from the first one through exits, every close-up through a link of a
// reached place and every puzzle through a link of a reached place or close-up, whatever their
// conditions: one that nothing leads to can never be played.
void CheckLinks(const CMap& map, CChecker& checker) {
  std::vector<bool> entered(map.SceneCount()), opened(map.CloseUpCount()), played(map.MiniGameCount());
  const auto markGames = [&](const std::vector<SMiniGameLink>& links) {
    for (const SMiniGameLink& link : links)
      if (link.miniGame < played.size()) played[link.miniGame] = true;
  };
  std::vector<uint32_t> toVisit;
  if (!entered.empty()) {
    entered[0] = true;
    toVisit.push_back(0);
  }
  while (!toVisit.empty()) {
    const SSceneSlot& scene = map.Scene(toVisit.back());
    toVisit.pop_back();
    for (const SExit& exit : scene.exits) {
      if (exit.target >= entered.size() || entered[exit.target]) continue;
      entered[exit.target] = true;
      toVisit.push_back(exit.target);
    }
    for (const SCloseUpLink& link : scene.closeUps)
      if (link.closeUp < opened.size()) opened[link.closeUp] = true;
    markGames(scene.miniGames);
  }
  for (uint32_t c = 0; c < opened.size(); ++c)
    if (opened[c]) markGames(map.CloseUp(c).miniGames);
  for (uint32_t s = 0; s < entered.size(); ++s)
    if (!entered[s]) checker.Problem(SlotPlace("scene", s), "no way leads here from the first place");
  for (uint32_t c = 0; c < opened.size(); ++c)
    if (!opened[c]) checker.Problem(SlotPlace("close-up", c), "no place reached links to it");
  for (uint32_t m = 0; m < played.size(); ++m)
    if (!played[m]) checker.Problem(SlotPlace("mini-game", m), "no place or close-up reached links to it");
}

// What the player clicks in a location or close-up: its exits, links and the objects he takes.
std::vector<Reach::SClickGroup> ClickedSprites(const SObjectList& objects, const std::vector<SMiniGameLink>& miniGames) {
  std::vector<Reach::SClickGroup> groups;
  for (const SSceneObject& object : objects)
    if (object.pickable && !object.sprite.empty()) groups.push_back(Reach::WholeName(object.sprite));
  for (const SMiniGameLink& link : miniGames) groups.push_back(Reach::WholeName(link.sprite));
  return groups;
}

void CheckPlaceReach(const std::string& layoutDir, const std::string& fileName, const std::string& place,
                     const std::vector<Reach::SClickGroup>& groups, const Reach::LayoutObjects& hud,
                     CChecker& checker) {
  Reach::LayoutObjects layout;
  if (!Reach::ReadLayoutObjects(layoutDir + fileName, &layout))
    return checker.Problem(place, "no readable layout " + fileName);
  Reach::CheckReach(fileName, layout, groups, hud, Reach::EPlace::Location,
                    [&](const std::string& text) { checker.Problem(place, text); });
}

std::string SlotLayout(const char* prefix, uint32_t slot) {
  char name[32];
  std::snprintf(name, sizeof(name), "%s%02u.2dl", prefix, slot + 1);
  return name;
}

// The slots an exit opens as a search.
std::set<uint32_t> SearchSlots(const CMap& map) {
  std::set<uint32_t> searches;
  for (uint32_t s = 0; s < map.SceneCount(); ++s)
    for (const SExit& exit : map.Scene(s).exits)
      if (exit.direction == EDirection::Ho) searches.insert(exit.target);
  return searches;
}

// Every place's and puzzle's things to click can be reached on every screen shape.
void CheckReachable(const CMap& map, const std::string& contentDir, bool places, CChecker& checker) {
  const std::string layoutDir = contentDir + (map.IsBonus() ? "/App/Layouts/Collectors/" : "/App/Layouts/");
  Reach::LayoutObjects hud;
  if (!Reach::ReadLayoutObjects(contentDir + "/App/Hud/HUD.2dl", &hud))
    return checker.Problem("heads-up display", "no readable layout HUD.2dl");
  // The player leaves a search by its way out.
  const std::set<uint32_t> searches = SearchSlots(map);
  for (uint32_t s = 0; places && s < map.SceneCount(); ++s) {
    const SSceneSlot& scene = map.Scene(s);
    std::vector<Reach::SClickGroup> groups = ClickedSprites(scene.objects, scene.miniGames);
    for (const SExit& exit : scene.exits) groups.push_back(Reach::WholeName(exit.sprite));
    for (const SCloseUpLink& link : scene.closeUps) groups.push_back(Reach::WholeName(link.sprite));
    if (searches.count(s)) groups.push_back(Reach::WholeName(CHiddenObjects::kExitNode));
    CheckPlaceReach(layoutDir, SlotLayout("Scene", s), SlotPlace("scene", s), groups, hud, checker);
  }
  for (uint32_t c = 0; places && c < map.CloseUpCount(); ++c)
    CheckPlaceReach(layoutDir, SlotLayout("Intermediate", c), SlotPlace("close-up", c),
                    ClickedSprites(map.CloseUp(c).objects, map.CloseUp(c).miniGames), hud, checker);
  Reach::CheckPuzzleReach(contentDir, map.IsBonus(), [&](const std::string& text) { checker.Problem("puzzle", text); });
}

// Every thing to find of every search shows between the least and the most share of itself.
void CheckCover(const CMap& map, const std::string& contentDir, CChecker& checker) {
  const std::string layoutDir = contentDir + (map.IsBonus() ? "/App/Layouts/Collectors/" : "/App/Layouts/");
  double least = 1, most = 0;
  size_t found = 0;
  for (const uint32_t s : SearchSlots(map)) {
    const std::string place = SlotPlace("scene", s);
    std::vector<Cover::SLayer> layers;
    std::string error;
    if (!Cover::ReadLayers(contentDir, layoutDir + SlotLayout("Scene", s), &layers, &error)) {
      checker.Problem(place, error);
      continue;
    }
    for (const SSceneObject& object : map.Scene(s).objects) {
      if (!object.pickable) continue;
      size_t at = 0;
      while (at < layers.size() && layers[at].name != object.sprite) ++at;
      if (at == layers.size() || layers[at].mask.empty()) {
        checker.Problem(place, "\"" + object.sprite + "\" is no picture with a mask in " + SlotLayout("Scene", s));
        continue;
      }
      const double shown = Cover::ShownShare(layers, at);
      least = std::min(least, shown);
      most = std::max(most, shown);
      ++found;
      if (shown < Cover::kLeastShown || shown > Cover::kMostShown)
        checker.Problem(place, "\"" + object.name + "\" (" + object.sprite + ") shows " +
                                   std::to_string(int(std::lround(shown * 100))) + " % of itself, not 35 % to 90 %");
    }
  }
  std::printf("searches: %zu things to find show %ld %% to %ld %% of themselves\n", found,
              std::lround(least * 100), std::lround(most * 100));
}

// Every picture of a room that declares its surfaces stands on one or hangs from one.
void CheckSurfaces(const std::string& description, const std::string& contentDir, CChecker& checker) {
  std::vector<Surfaces::SRoom> rooms;
  std::string error;
  if (!Surfaces::ReadRooms(description, &rooms, &error)) return checker.Problem("surfaces", error);
  size_t pictures = 0;
  for (const Surfaces::SRoom& room : rooms) {
    std::vector<Cover::SLayer> layers;
    const std::string layout = room.layout + ".2dl";
    if (!Cover::ReadLayers(contentDir, contentDir + "/App/Layouts/" + layout, &layers, &error)) {
      checker.Problem(layout, error);
      continue;
    }
    for (const Cover::SLayer& layer : layers) {
      if (!layer.visible || layer.mask.empty()) continue;
      ++pictures;
      const std::string why = Surfaces::Unsupported(layer, room.surfaces);
      if (!why.empty()) checker.Problem(layout, "\"" + layer.name + "\": " + why);
    }
  }
  std::printf("surfaces: %zu pictures of %zu rooms' layouts checked\n", pictures, rooms.size());
}

// A place as the game numbers its layouts: a location or search slot, or a close-up.
using SPlace = std::pair<bool, uint32_t>;  // close-up, slot

std::string PlaceName(const SPlace& place) { return SlotPlace(place.first ? "close-up" : "scene", place.second); }

// Where the game finds an effect's object: the first of that name, locations before close-ups.
bool FindEffectPlace(const CMap& map, const std::string& name, SPlace* place) {
  const auto holds = [&](const SObjectList& objects) {
    for (const SSceneObject& object : objects)
      if (object.name == name) return true;
    return false;
  };
  for (uint32_t s = 0; s < map.SceneCount(); ++s)
    if (holds(map.Scene(s).objects)) return *place = {false, s}, true;
  for (uint32_t c = 0; c < map.CloseUpCount(); ++c)
    if (holds(map.CloseUp(c).objects)) return *place = {true, c}, true;
  return false;
}

// The layouts loaded while a location is shown: its own and those of the close-ups it links.
void AddShownLayouts(const CMap& map, uint32_t scene, std::set<SPlace>* loaded) {
  loaded->insert({false, scene});
  for (const SCloseUpLink& link : map.Scene(scene).closeUps) loaded->insert({true, link.closeUp});
}

void NoteFarEffects(const std::string& fileName, const SPlace& acting, const SObjectList& objects,
                    const std::set<SPlace>& loaded, const CMap& map) {
  for (const SSceneObject& object : objects)
    for (const SObjectAction& action : object.actions)
      for (const SVisibilityChange& effect : action.effects) {
        SPlace target;
        if (!FindEffectPlace(map, effect.object, &target) || loaded.count(target)) continue;
        std::printf("%s: %s object \"%s\" action of \"%s\": the effect on \"%s\" changes %s, whose layout is not "
                    "loaded then; the game loads it for the change, which the place shows on its next visit\n",
                    fileName.c_str(), PlaceName(acting).c_str(), object.name.c_str(), action.object.c_str(),
                    effect.object.c_str(), PlaceName(target).c_str());
      }
}

// Names, without counting them as problems, the effects that change a place whose layout is
// not loaded while the action runs: another location, or a close-up not linked from where the
// player stands, so that an author sees the change waits for that place's next visit.
void NoteEffectsOnPlacesElsewhere(const std::string& fileName, const CMap& map) {
  for (uint32_t s = 0; s < map.SceneCount(); ++s) {
    std::set<SPlace> loaded;
    AddShownLayouts(map, s, &loaded);
    NoteFarEffects(fileName, {false, s}, map.Scene(s).objects, loaded, map);
  }
  for (uint32_t c = 0; c < map.CloseUpCount(); ++c) {
    std::set<SPlace> loaded{{true, c}};
    for (uint32_t s = 0; s < map.SceneCount(); ++s)
      for (const SCloseUpLink& link : map.Scene(s).closeUps)
        if (link.closeUp == c) AddShownLayouts(map, s, &loaded);
    NoteFarEffects(fileName, {true, c}, map.CloseUp(c).objects, loaded, map);
  }
}

struct SOptions {
  bool bonus = false;
  bool layouts = false;
  enum class EReach { None, Puzzles, All } reach = EReach::None;
  bool cover = false;
  std::string surfaces;    // a layout description whose rooms' surfaces are checked; empty: none
  std::string dictionary;  // empty: notes are not checked
};

int Check(const std::string& fileName, const std::string& contentDir, const SOptions& options) {
  const bool bonus = options.bonus;
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(fileName, bytes)) {
    std::fprintf(stderr, "%s: cannot be read\n", fileName.c_str());
    return 1;
  }
  if (!std::filesystem::is_directory(contentDir)) {
    std::fprintf(stderr, "%s: no such content folder\n", contentDir.c_str());
    return 1;
  }
  CMap map(bonus);
  ReportHandler = KeepReport;
  map.Load(std::string(bytes.begin(), bytes.end()), fileName.c_str());
  ReportHandler = nullptr;
  int problems = static_cast<int>(LoaderReports().size());

  SKnownNames known;
  const std::vector<std::string> sounds = CSoundContainer::ChapterSoundNames(bonus);
  known.sounds.insert(sounds.begin(), sounds.end());
  if (!ReadEmitterNames(contentDir, &known.emitters)) ++problems;
  for (const SMapLocation& place : MapLocations(bonus)) {
    known.mapMarkers.insert(place.marker);
    known.mapMarkers.insert(place.reveals.begin(), place.reveals.end());
  }
  const auto members = [bonus](EEffectGroup group) {
    const std::vector<std::string> names = GroupMembers(group, bonus);
    return std::set<std::string>(names.begin(), names.end());
  };
  known.sceneGroup = members(EEffectGroup::Scene);
  known.closeUpGroup = members(EEffectGroup::CloseUp);
  known.miniGameGroup = members(EEffectGroup::MiniGame);
  if (!options.dictionary.empty() && !ReadPhrases(options.dictionary, &known)) ++problems;
  const auto collect = [&](const SObjectList& objects) {
    for (const SSceneObject& object : objects) {
      known.objects.emplace(object.name, &object);
      if (object.pickable || object.reward) known.items.insert(object.name);
    }
  };
  for (uint32_t s = 0; s < map.SceneCount(); ++s) collect(map.Scene(s).objects);
  for (uint32_t c = 0; c < map.CloseUpCount(); ++c) collect(map.CloseUp(c).objects);
  for (uint32_t m = 0; m < map.MiniGameCount(); ++m) collect(map.MiniGame(m).objects);

  CChecker checker(fileName, known);
  size_t objectCount = 0;
  for (uint32_t s = 0; s < map.SceneCount(); ++s) {
    const SSceneSlot& scene = map.Scene(s);
    const std::string place = SlotPlace("scene", s);
    checker.Sound(place, scene.sound);
    checker.StoryEntries(place, "dialog", scene.dialogs);
    checker.StoryEntries(place, "diary entry", scene.diaryEntries);
    checker.MiniGameLinks(place, scene.miniGames);
    for (const SExit& exit : scene.exits) {
      checker.Conditions(place + " exit \"" + exit.sprite + "\"", exit.conditions);
      checker.Sound(place + " exit \"" + exit.sprite + "\"", exit.sound);
    }
    for (const SCloseUpLink& link : scene.closeUps)
      checker.Conditions(place + " close-up link \"" + link.sprite + "\"", link.conditions);
    checker.Objects(place, scene.objects, known.sceneGroup);
    objectCount += scene.objects.size();
  }
  for (uint32_t c = 0; c < map.CloseUpCount(); ++c) {
    const SCloseUpSlot& closeUp = map.CloseUp(c);
    const std::string place = SlotPlace("close-up", c);
    checker.StoryEntries(place, "dialog", closeUp.dialogs);
    checker.StoryEntries(place, "diary entry", closeUp.diaryEntries);
    checker.MiniGameLinks(place, closeUp.miniGames);
    checker.Objects(place, closeUp.objects, known.closeUpGroup);
    checker.CloseUpItems(place, closeUp.objects);
    objectCount += closeUp.objects.size();
  }
  for (uint32_t m = 0; m < map.MiniGameCount(); ++m) {
    checker.Objects(SlotPlace("mini-game", m), map.MiniGame(m).objects, known.miniGameGroup);
    objectCount += map.MiniGame(m).objects.size();
  }
  CheckLinks(map, checker);
  if (options.layouts) CheckLayouts(map, contentDir, checker);
  if (options.reach != SOptions::EReach::None)
    CheckReachable(map, contentDir, options.reach == SOptions::EReach::All, checker);
  if (options.cover) CheckCover(map, contentDir, checker);
  if (!options.surfaces.empty()) CheckSurfaces(options.surfaces, contentDir, checker);
  NoteEffectsOnPlacesElsewhere(fileName, map);
  problems += checker.Problems();
  if (problems) {
    std::fprintf(stderr, "%s: %d problems\n", fileName.c_str(), problems);
    return 1;
  }
  std::printf("%s: %u scenes, %u close-ups, %u mini-games, %zu objects: every name found\n", fileName.c_str(),
              map.SceneCount(), map.CloseUpCount(), map.MiniGameCount(), objectCount);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || std::strcmp(argv[1], "--help") == 0) {
    PrintUsage();
    return argc < 3 && argc > 1 && std::strcmp(argv[1], "--help") != 0 ? 1 : 0;
  }
  SOptions options;
  for (int i = 3; i < argc; ++i) {
    if (std::strcmp(argv[i], "--bonus") == 0) {
      options.bonus = true;
    } else if (std::strcmp(argv[i], "--layouts") == 0) {
      options.layouts = true;
    } else if (std::strcmp(argv[i], "--reach") == 0) {
      options.reach = SOptions::EReach::All;
    } else if (std::strcmp(argv[i], "--reach=puzzles") == 0) {
      options.reach = SOptions::EReach::Puzzles;
    } else if (std::strcmp(argv[i], "--cover") == 0) {
      options.cover = true;
    } else if (std::strcmp(argv[i], "--surfaces") == 0 && i + 1 < argc) {
      options.surfaces = argv[++i];
    } else if (std::strcmp(argv[i], "--dictionary") == 0 && i + 1 < argc) {
      options.dictionary = argv[++i];
    } else {
      std::fprintf(stderr, "scenecheck: unknown option %s\n", argv[i]);
      return 1;
    }
  }
  return Check(argv[1], argv[2], options);
}
