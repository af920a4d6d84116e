#include "Src/World/Vey_Map.h"

#include "Framework/Utils/omXmlRoutines.h"
#include "Quor/ReportError.h"
#include "Src/World/Vey_DescriptionReader.h"
#include "Src/World/Vey_SceneTables.h"

#include <tinyxml.h>

#include <cstdlib>
#include <cstring>

namespace Vey {

namespace {

constexpr const char* kVeyMapSource = "Src/World/Vey_Map";

constexpr const char* kDirectionWords[] = {"N", "NE", "E", "SE", "S", "SW", "W", "NW", "HO"};

using SElement = const TiXmlElement*;

std::vector<std::string> ReadSprites(CDescriptionReader& reader, SElement element, const char* section,
                                     const char* item) {
  std::vector<std::string> sprites;
  reader.ForEachItem(element, section, item, kUnlimited,
                     [&](SElement entry) { sprites.push_back(reader.Text(entry, "Sprite")); });
  return sprites;
}

// A condition with a "Picked" attribute tests the picked flag, and its "State" is not read.
SCondition ReadCondition(CDescriptionReader& reader, SElement element) {
  SCondition condition;
  condition.object = reader.Text(element, "Object");
  if (element->Attribute("Picked")) {
    condition.kind = EConditionKind::Picked;
    condition.picked = reader.Flag(element, "Picked");
  } else {
    condition.kind = EConditionKind::State;
    condition.state = reader.Text(element, "State");
  }
  return condition;
}

std::vector<SStoryEntry> ReadStoryEntries(CDescriptionReader& reader, SElement element, const char* section,
                                          const char* item) {
  std::vector<SStoryEntry> entries;
  reader.ForEachItem(element, section, item, kStoryEntryCapacity, [&](SElement entry) {
    SStoryEntry story;
    story.name = reader.Text(entry, "Name");
    reader.ForEachItem(entry, "Conditions", "Condition", kUnlimited,
                       [&](SElement condition) { story.conditions.push_back(ReadCondition(reader, condition)); });
    entries.push_back(std::move(story));
  });
  return entries;
}

std::vector<SStateCondition> ReadStateConditions(CDescriptionReader& reader, SElement element) {
  std::vector<SStateCondition> conditions;
  reader.ForEachItem(element, "Conditions", "Condition", kUnlimited,
                     [&](SElement condition) { conditions.push_back(ReadStateCondition(reader, condition)); });
  return conditions;
}

// What every link holds: the sprite that shows it, whether it is open, and its conditions.
template <typename TLink>
void ReadLinkBody(CDescriptionReader& reader, SElement element, TLink& link) {
  link.sprite = reader.Text(element, "Sprite");
  link.open = reader.Flag(element, "Open");
  link.conditions = ReadStateConditions(reader, element);
}

std::vector<SMiniGameLink> ReadMiniGameLinks(CDescriptionReader& reader, SElement element, bool bonus) {
  std::vector<SMiniGameLink> links;
  reader.ForEachItem(element, "MiniGames", "MiniGame", kMiniGameLinkCapacity, [&](SElement entry) {
    SMiniGameLink link;
    const std::string name = reader.Text(entry, "Name");
    link.miniGame = MiniGameFromName(name, bonus);
    if (link.miniGame == kNoMiniGame) reader.Report(entry, "names no mini-game of the story: \"%s\"", name.c_str());
    ReadLinkBody(reader, entry, link);
    links.push_back(std::move(link));
  });
  return links;
}

// The slot a place name refers to; false (reported) when it names none of the story's slots.
bool ReadTarget(CDescriptionReader& reader, SElement element, const char* attribute, uint32_t slotCount,
                uint32_t* slot) {
  const std::string name = reader.Text(element, attribute);
  const int32_t index = IndexFromName(name);
  if (index < 0 || static_cast<uint32_t>(index) >= slotCount) {
    reader.Report(element, "\"%s\" names no place of the story (\"%s\"); the link is left out", attribute,
                  name.c_str());
    return false;
  }
  *slot = static_cast<uint32_t>(index);
  return true;
}

EDirection ReadDirection(CDescriptionReader& reader, SElement element) {
  const std::string word = reader.Text(element, "Direction");
  for (size_t i = 0; i < std::size(kDirectionWords); ++i)
    if (word == kDirectionWords[i]) return static_cast<EDirection>(i);
  if (element->Attribute("Direction")) reader.Report(element, "has an unknown \"Direction\" \"%s\"; N is taken", word.c_str());
  return EDirection::N;
}

void ReadExits(CDescriptionReader& reader, SElement element, uint32_t sceneCount, std::vector<SExit>& exits) {
  reader.ForEachItem(element, "Exits", "Exit", kExitCapacity, [&](SElement entry) {
    SExit exit;
    const bool named = ReadTarget(reader, entry, "Scene", sceneCount, &exit.target);
    ReadLinkBody(reader, entry, exit);
    exit.sound = reader.Text(entry, "Sound");
    exit.direction = ReadDirection(reader, entry);
    if (named) exits.push_back(std::move(exit));
  });
}

void ReadCloseUpLinks(CDescriptionReader& reader, SElement element, uint32_t closeUpCount,
                      std::vector<SCloseUpLink>& links) {
  reader.ForEachItem(element, "Intermediates", "Intermediate", kCloseUpLinkCapacity, [&](SElement entry) {
    SCloseUpLink link;
    const bool named = ReadTarget(reader, entry, "Name", closeUpCount, &link.closeUp);
    ReadLinkBody(reader, entry, link);
    if (named) links.push_back(std::move(link));
  });
}

// Calls `read` for the section's first `count` slot elements in document order, comments
// skipped; a section with fewer is reported and its remaining slots stay empty.
void ForEachSlot(CDescriptionReader& reader, SElement root, const char* section, const char* item, uint32_t count,
                 const std::function<void(SElement, uint32_t)>& read) {
  SElement list = reader.Section(root, section);
  SElement element = list ? list->FirstChildElement(item) : nullptr;
  uint32_t slot = 0;
  for (; slot < count && element; ++slot, element = element->NextSiblingElement()) read(element, slot);
  if (list && slot < count)
    reader.Report(list, "holds %u <%s> elements of the %u the story has; the rest stay empty", slot, item, count);
}

}  // namespace

int32_t IndexFromName(const std::string& name) {
  const std::string tail = name.size() > 2 ? name.substr(name.size() - 2) : name;
  return static_cast<int32_t>(std::strtol(tail.c_str(), nullptr, 10)) - 1;
}

uint32_t MiniGameFromName(const std::string& name, bool bonus) {
  size_t digits = name.size();
  while (digits > 0 && name[digits - 1] >= '0' && name[digits - 1] <= '9') --digits;
  if (digits == name.size()) return kNoMiniGame;
  const long number = std::strtol(name.c_str() + digits, nullptr, 10);
  const char* const* prefixes = bonus ? kBonusMiniGamePrefixes : kMiniGamePrefixes;
  const uint32_t count = bonus ? kBonusMiniGameCount : kMiniGameCount;
  for (uint32_t i = 0; i < count; ++i)
    if (std::strtol(prefixes[i] + 1, nullptr, 10) == number) return i;
  return kNoMiniGame;
}

CMap::CMap(bool bonus) : m_bonus(bonus) {}

CMap::~CMap() { Release(); }

void CMap::Release() {
  if (!m_loaded) return;
  m_loaded = false;
  m_scenes.clear();
  m_closeUps.clear();
  m_miniGames.clear();
}

int CMap::Load(const std::string& text, const char* fileName) {
  Release();
  m_loaded = true;
  // The storage is the main story's, whichever story is read.
  m_scenes.assign(kSceneCount, SSceneSlot());
  m_closeUps.assign(kCloseUpCount, SCloseUpSlot());
  m_miniGames.assign(kMiniGameCount, SMiniGameSlot());

  CDescriptionReader reader(fileName);
  TiXmlDocument document;
  Ombrel::ParseXmlDocument(fileName, text, document);
  SElement root = document.RootElement();
  if (!root) {
    reader.Report(nullptr, "holds no scene description; the world stays empty");
    return reader.Problems();
  }
  ForEachSlot(reader, root, "Scenes", "Scene", SceneCount(), [&](SElement element, uint32_t slot) {
    SSceneSlot& scene = m_scenes[slot];
    const std::string name = reader.Text(element, "Name");
    scene.index = IndexFromName(name);
    if (scene.index != static_cast<int32_t>(slot))
      reader.Report(element, "\"%s\" gives index %d to scene slot %u", name.c_str(), scene.index, slot);
    scene.sound = reader.Text(element, "Sound");
    scene.shiningObjects = ReadSprites(reader, element, "ShiningObjects", "ShiningObject");
    scene.animatedObjects = ReadSprites(reader, element, "AnimatedObjects", "AnimatedObject");
    scene.blendAnims = ReadSprites(reader, element, "BlendAnims", "BlendAnim");
    scene.dialogs = ReadStoryEntries(reader, element, "Dialogs", "Dialog");
    scene.diaryEntries = ReadStoryEntries(reader, element, "DiaryEntries", "DiaryEntry");
    scene.miniGames = ReadMiniGameLinks(reader, element, m_bonus);
    ReadExits(reader, element, SceneCount(), scene.exits);
    ReadCloseUpLinks(reader, element, CloseUpCount(), scene.closeUps);
    ReadObjects(reader, element, kSceneObjectCapacity, scene.objects);
  });
  ForEachSlot(reader, root, "Intermediates", "Intermediate", CloseUpCount(), [&](SElement element, uint32_t slot) {
    SCloseUpSlot& closeUp = m_closeUps[slot];
    ReadObjects(reader, element, kCloseUpObjectCapacity, closeUp.objects);
    closeUp.miniGames = ReadMiniGameLinks(reader, element, m_bonus);
    closeUp.dialogs = ReadStoryEntries(reader, element, "Dialogs", "Dialog");
    closeUp.diaryEntries = ReadStoryEntries(reader, element, "DiaryEntries", "DiaryEntry");
  });
  ForEachSlot(reader, root, "MiniGames", "MiniGame", MiniGameCount(), [&](SElement element, uint32_t slot) {
    SMiniGameSlot& miniGame = m_miniGames[slot];
    ReadObjects(reader, element, kMiniGameObjectCapacity, miniGame.objects);
    miniGame.shiningObjects = ReadSprites(reader, element, "ShiningObjects", "ShiningObject");
  });
  return reader.Problems();
}

SSceneSlot& CMap::Scene(uint32_t slot) {
  if (slot < SceneCount() && slot < m_scenes.size()) return m_scenes[slot];
  HM_REPORT(kVeyMapSource, "No scene slot %u in this story", slot);
  m_spareScene = SSceneSlot();
  return m_spareScene;
}

SCloseUpSlot& CMap::CloseUp(uint32_t slot) {
  if (slot < CloseUpCount() && slot < m_closeUps.size()) return m_closeUps[slot];
  HM_REPORT(kVeyMapSource, "No close-up slot %u in this story", slot);
  m_spareCloseUp = SCloseUpSlot();
  return m_spareCloseUp;
}

SMiniGameSlot& CMap::MiniGame(uint32_t slot) {
  if (slot < MiniGameCount() && slot < m_miniGames.size()) return m_miniGames[slot];
  HM_REPORT(kVeyMapSource, "No mini-game slot %u in this story", slot);
  m_spareMiniGame = SMiniGameSlot();
  return m_spareMiniGame;
}

}  // namespace Vey
