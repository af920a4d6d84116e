#pragma once
// Stand-ins for the screens the location logic drives, each writing what it is asked into one
// shared log ("hud.ShowNote WRONG_ACTION"), layouts built in the test, and a small world.

#include "Src/Location/Vey_Scene.h"
#include "tests/Src/World/WorldDescriptionFixture.h"

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace scenetest {

using Log = std::vector<std::string>;

inline bool Logged(const Log& log, const std::string& entry) {
  return std::find(log.begin(), log.end(), entry) != log.end();
}
inline long CountLogged(const Log& log, const std::string& entry) { return std::count(log.begin(), log.end(), entry); }

struct CLogged {
  explicit CLogged(Log* log, const char* prefix) : m_log(log), m_prefix(prefix) {}
  void Write(const std::string& what) const { m_log->push_back(m_prefix + "." + what); }
  Log* m_log;
  std::string m_prefix;
};

class CFakeMap : public Vey::IMapScreen, CLogged {
 public:
  explicit CFakeMap(Log* log) : CLogged(log, "map") {}
  void VisitScene(int32_t location) override { Write("VisitScene " + std::to_string(location)); }
  void SetMarkerVisible(const std::string& marker, bool visible) override {
    Write("SetMarkerVisible " + marker + (visible ? " 1" : " 0"));
  }
  void Update(float) override {}
  int32_t GetState() const override { return state; }
  int32_t state = 1;
};

class CFakeHud : public Vey::IHud, CLogged {
 public:
  explicit CFakeHud(Log* log) : CLogged(log, "hud"), map(log) {}
  void ReadInput() override {}
  void Update(float) override { ++updates; }
  // The diary closes in its update when the test says so.
  void UpdateDiary(float) override {
    if (closeDiary) mode = 0;
  }
  void UpdateDiaryHover(float, bool) override {}
  void AdvanceGlowPhase(float) override {}
  void UpdateEffect(float) override {}
  int32_t GetMode() const override { return mode; }
  void SetMode(int32_t value) override { mode = value; }
  int32_t GetPreviousMode() const override { return 0; }
  void SetCurrentLocation(int32_t location) override { currentLocation = location; }
  void SetAmbientSlot(int32_t slot) override { ambientSlot = slot; }
  void EndNote() override { ++notesEnded; }
  void ShowNote(const std::string& key) override { Write("ShowNote " + key); }
  void AddDiaryEntry(const std::string& name) override { Write("AddDiaryEntry " + name); }
  void OpenDiary() override { Write("OpenDiary"); }
  Vey::IMapScreen* GetMapFrame() override { return &map; }
  // Like the real bar, an item taken while the bar is frozen waits in the item frame.
  void AddItem(const std::string& item, const Vector2&) override {
    Write("AddItem " + item);
    if (frozen) inFrame = item;
  }
  void RemoveItem(const std::string& item) override { Write("RemoveItem " + item); }
  void PlayPickupEffects(const Vector2&, const Ombrel::SLayoutItem& picture) override {
    Write("PlayPickupEffects");
    if (frozen) inFrame = picture.name;
  }
  void SetBarFrozen(bool value) override {
    frozen = value;
    if (!value) inFrame.clear();
  }
  bool IsBarFrozen() const override { return frozen; }
  std::string GetUsedItem() override { return std::move(usedItem); }
  bool HasItemInHand() const override { return itemInHand; }
  bool IsMouseOverHud() const override { return overHud; }
  bool IsMouseOverDiary() const override { return false; }
  bool IsMouseOverMapButton() const override { return false; }
  bool IsMouseOverHintButton() const override { return false; }

  CFakeMap map;
  int32_t mode = 0;
  int32_t currentLocation = -1;
  int32_t ambientSlot = -2;
  int updates = 0;
  int notesEnded = 0;
  std::string usedItem;
  bool itemInHand = false;
  bool overHud = false;
  bool closeDiary = false;
  bool frozen = false;
  // The item (or a clue's picture node) the item frame presents; empty once the bar flies on.
  std::string inFrame;
};

class CFakeItemFrame : public Vey::IItemFrame, CLogged {
 public:
  explicit CFakeItemFrame(Log* log) : CLogged(log, "frame") {}
  void Show(const std::string& item) override {
    Write("Show " + item);
    state = 1;
  }
  void ReadInput() override {}
  void Update(float) override {}
  int32_t GetState() const override { return state; }
  int32_t state = 0;
};

class CFakeDialog : public Vey::IDialogBox, CLogged {
 public:
  explicit CFakeDialog(Log* log) : CLogged(log, "dialog") {}
  void Open(const std::string& dialog) override {
    Write("Open " + dialog);
    state = 3;
  }
  void Update(float) override {}
  int32_t GetState() const override { return state; }
  void CloseAtOnce() override { state = 0; }
  // As the real box: a closed box has no voice.
  int32_t GetCurrentVoice() const override { return state == 0 ? -1 : voice; }
  void CountSkipClick() override { ++skipClicks; }
  int32_t state = 0;
  int32_t voice = -1;
  int skipClicks = 0;
};

class CFakeCursor : public Vey::ICursorSet {
 public:
  void UpdateType(const Vey::CMap&, const Vey::IHud&, const Vey::SCursorQuery& query) override { last = query; }
  void Update(float) override { ++updates; }
  void SetHover(bool on) override { hover = on; }
  Vey::SCursorQuery last;
  int updates = 0;
  bool hover = false;
};

// A screen with an open state that the test closes.
template <class TInterface>
class CFakeScreen : public TInterface, protected CLogged {
 public:
  CFakeScreen(Log* log, const char* prefix) : CLogged(log, prefix) {}
  void ReadInput(float) override { Write("ReadInput"); }
  void Update(float) override {}
  float GetFade() const override { return 0.0f; }
  bool open = false;
  bool covers = false;  // its last drawing hid the whole screen (close-up and search)
};

class CFakeCloseUp : public CFakeScreen<Vey::ICloseUpScreen> {
 public:
  explicit CFakeCloseUp(Log* log) : CFakeScreen(log, "closeUp") {}
  void Open(int32_t closeUp, const std::string*, int32_t*) override {
    Write("Open " + std::to_string(closeUp));
    open = true;
  }
  int32_t GetState() const override { return open ? openState : 0; }
  // As the real close-up: only an open one (state 3) covers by its pictures.
  bool CoversScreen() const override { return open && openState == 3 && covers; }
  int32_t openState = 2;
};

class CFakeHiddenObjects : public CFakeScreen<Vey::IHiddenObjectScreen> {
 public:
  explicit CFakeHiddenObjects(Log* log) : CFakeScreen(log, "hidden") {}
  void Open(int32_t scene) override {
    Write("Open " + std::to_string(scene));
    open = true;
  }
  bool IsOpen() const override { return open; }
  int32_t GetFadeState() const override { return fadeState; }
  // As the real scene: a closed one draws nothing, so covers nothing.
  bool CoversScreen() const override { return open && covers; }
  int32_t fadeState = 0;
};

class CFakeMiniGame : public CFakeScreen<Vey::IMiniGameScreen> {
 public:
  CFakeMiniGame(Log* log, int index) : CFakeScreen(log, "game"), m_index(index) {}
  void Open() override {
    Write("Open " + std::to_string(m_index));
    open = true;
  }
  bool IsActive() const override { return open; }
  int32_t GetFadeState() const override { return fadeState; }
  int32_t fadeState = 0;

 private:
  int m_index;
};

class CFakeTutorials : public Vey::ITutorials, CLogged {
 public:
  explicit CFakeTutorials(Log* log) : CLogged(log, "tutorials") {}
  void Update(float, bool, bool) override {}
  void FinishStep() override { Write("FinishStep"); }
  void LoadProgress() override { Write("LoadProgress"); }
  int32_t GetStepIndex() const override { return 1; }
  int32_t GetState() const override { return state; }
  void SetState(int32_t value) override { state = value; }
  int32_t GetStepScene() const override { return 1; }
  std::vector<std::string> GetStepTargets() const override { return {target}; }
  void ShowStep(const std::vector<Ombrel::ISceneNode*>&) override { Write("ShowStep"); }
  int32_t state = kDone;
  std::string target;
};

class CFakeQuestion : public Vey::ITutorialQuestion, CLogged {
 public:
  explicit CFakeQuestion(Log* log) : CLogged(log, "question") {}
  void Open() override {
    Write("Open");
    state = 1;
  }
  void ReadInput() override {}
  void Update(float) override {}
  int32_t GetState() const override { return state; }
  bool WasAnswered() const override { return answered; }
  bool AnsweredYes() const override { return yes; }
  float GetFade() const override { return 0.0f; }
  // The player's answer: the question closes.
  void Answer(bool answer) {
    yes = answer;
    answered = true;
    state = 0;
  }
  int32_t state = 0;
  bool answered = false;
  bool yes = false;
};

// Layouts made by the test, named like the resources.
class CFakeLayouts : public Vey::ILayoutShelf {
 public:
  explicit CFakeLayouts(Log* log) : m_log(log) {}
  Ombrel::CLayout2D* Load(const std::string& name) override {
    m_log->push_back("layouts.Load " + name);
    loaded[name] = true;
    return Find(name);
  }
  void Unload(const std::string& name) override {
    m_log->push_back("layouts.Unload " + name);
    loaded[name] = false;
  }
  Ombrel::CLayout2D* GetLoaded(const std::string& name) const override {
    auto it = loaded.find(name);
    return it != loaded.end() && it->second ? Find(name) : nullptr;
  }
  Ombrel::CLayout2D* Find(const std::string& name) const {
    auto it = layouts.find(name);
    return it == layouts.end() ? nullptr : it->second.get();
  }
  // Adds a visible sprite at the position (centred screen units) with size 0.2 x 0.2.
  Ombrel::SLayoutSprite& AddSprite(const std::string& layout, const std::string& name, Vector2 position,
                                   bool visible = true) {
    std::unique_ptr<Ombrel::CLayout2D>& target = layouts[layout];
    if (!target) target = std::make_unique<Ombrel::CLayout2D>();
    auto sprite = std::make_unique<Ombrel::SLayoutSprite>();
    Ombrel::SLayoutSprite& added = *sprite;
    sprite->index = int32_t(target->GetCount());
    sprite->name = name;
    sprite->position = position;
    sprite->size = {0.2f, 0.2f};
    sprite->visible = visible;
    target->AddItem(std::move(sprite));
    return added;
  }
  Ombrel::SLayoutItem* Node(const std::string& layout, const std::string& name) const {
    Ombrel::CLayout2D* found = Find(layout);
    return found ? found->FindItem(name.c_str()) : nullptr;
  }

  std::map<std::string, std::unique_ptr<Ombrel::CLayout2D>> layouts;
  std::map<std::string, bool> loaded;

 private:
  Log* m_log;
};

// A random source that repeats one value.
class CFixedRandom : public CRandom {
 public:
  explicit CFixedRandom(uint32_t value) : m_value(value) {}
  uint32_t Next() override { return m_value; }

 private:
  uint32_t m_value;
};

// A main story whose first scenes are the given ones and the rest empty.
inline std::string World(const std::vector<std::string>& scenes, const std::string& closeUp = "") {
  std::string text = "<World>\n<Scenes>\n";
  for (const std::string& scene : scenes) text += scene;
  for (unsigned i = unsigned(scenes.size()) + 1; i <= 57; ++i) text += worldtest::EmptyScene(i);
  text += "</Scenes>\n<Intermediates>\n";
  text += closeUp.empty() ? "<Intermediate><Objects/><MiniGames/><Dialogs/><DiaryEntries/></Intermediate>\n" : closeUp;
  for (unsigned i = 2; i <= 29; ++i)
    text += "<Intermediate><Objects/><MiniGames/><Dialogs/><DiaryEntries/></Intermediate>\n";
  text += "</Intermediates>\n<MiniGames>\n";
  for (unsigned i = 1; i <= 8; ++i) text += "<MiniGame><Objects/><ShiningObjects/></MiniGame>\n";
  return text + "</MiniGames>\n</World>\n";
}

// One scene element; the sections are written out as given.
struct SSceneText {
  std::string name = "S01";
  std::string sound;
  std::string dialogs, diary, miniGames, exits, closeUps, objects;
  std::string Text() const {
    return "<Scene Name=\"" + name + "\" Sound=\"" + sound +
           "\"><ShiningObjects/><AnimatedObjects/><BlendAnims/><Dialogs>" + dialogs + "</Dialogs><DiaryEntries>" +
           diary + "</DiaryEntries><MiniGames>" + miniGames + "</MiniGames><Exits>" + exits +
           "</Exits><Intermediates>" + closeUps + "</Intermediates><Objects>" + objects + "</Objects></Scene>\n";
  }
};

// An object element: flags as "Pickable", "Clue", "Draggable", "Reward" words present in `flags`; states
// as "Name:Sprite:Interactive" words; actions written out.
inline std::string Object(const std::string& name, const std::string& state, const std::string& sprite,
                          const std::string& flags = "", const std::string& states = "",
                          const std::string& actions = "", const std::string& sound = "") {
  auto flag = [&](const char* word) { return flags.find(word) != std::string::npos ? "True" : "False"; };
  return "<Object Name=\"" + name + "\" State=\"" + state + "\" Sprite=\"" + sprite + "\" Pickable=\"" +
         flag("Pickable") + "\" Clue=\"" + flag("Clue") + "\" Draggable=\"" + flag("Draggable") + "\" Reward=\"" +
         flag("Reward") + "\" StartAnim=\"False\" Sound=\"" + sound + "\" Animation=\"\"><Animations/><States>" +
         states + "</States><Actions>" + actions + "</Actions></Object>";
}

inline std::string State(const std::string& name, const std::string& sprite, bool interactive) {
  return "<State Name=\"" + name + "\" Sprite=\"" + sprite + "\" Interactive=\"" + (interactive ? "True" : "False") +
         "\"/>";
}

inline std::string Condition(const std::string& object, const std::string& state) {
  return "<Condition Object=\"" + object + "\" State=\"" + state + "\"/>";
}

}  // namespace scenetest
