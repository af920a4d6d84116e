// The profile menu and the name entry on a small layout of their own widgets, over a fresh
// save body: the profile rules, typing a name within its characters and bytes, Backspace and
// the fades on an injected clock.

#include "Framework/omLayout2D.h"
#include "Quor/DirectX/InputState.h"
#include "Src/World/Vey_Screen.h"
#include "Src/Menu/Vey_ProfileCreation.h"
#include "Src/Menu/Vey_ProfileMenu.h"
#include "tests/Src/Menu/MenuTestKit.h"

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace Vey;
using menutest::CFakeBox;
using menutest::CFakeMessage;

constexpr float kStep = 0.0625f;  // exact in binary, so timers land on their limits

// Where the test clicks each widget, in layout units.
const Vector2 kSlotPlaces[3] = {{0.0f, 0.4f}, {0.0f, 0.2f}, {0.0f, 0.0f}};
const Vector2 kNewPlace{-0.5f, -0.4f}, kOkPlace{0.0f, -0.4f}, kDeletePlace{0.5f, -0.4f};
const Vector2 kEntryOkPlace{0.0f, -0.3f}, kEntryBackPlace{-0.5f, -0.3f};

void AddBox(Ombrel::CLayout2D& layout, const char* name, const Vector2& place) {
  auto box = std::make_unique<Ombrel::SLayoutBox>(Ombrel::kLayoutDummy);
  box->name = name;
  box->position = place;
  box->size = {0.3f, 0.1f};
  layout.AddItem(std::move(box));
}

void AddText(Ombrel::CLayout2D& layout, const char* name, const Vector2& place) {
  auto text = std::make_unique<Ombrel::SLayoutText>();
  text->name = name;
  text->position = place;
  layout.AddItem(std::move(text));
}

class ProfileBoxTest : public menutest::CMenuFixture {
 protected:
  void SetUp() override {
    CMenuFixture::SetUp();
    PrepareSave(false);
    std::filesystem::remove(SavePath());
    BuildMenuLayout();
    AddText(m_entryLayout, CProfileCreation::kNameNode, {0.0f, 0.0f});
    for (const char* suffix : {"", "Over", "Click", "Inactive"})
      AddBox(m_entryLayout, (std::string(CProfileCreation::kOkNode) + suffix).c_str(), kEntryOkPlace);
    for (const char* suffix : {"", " Over", " Clicked"})
      AddBox(m_entryLayout, (std::string("root/Buttons/Button") + suffix).c_str(), kEntryBackPlace);
    AddText(m_entryLayout, CProfileCreation::kBackLabel, kEntryBackPlace);
    m_entry = std::make_unique<CProfileCreation>(&m_entryLayout, [this] { return &m_message; }, nullptr);
  }

  void BuildMenuLayout() {
    const char* outlines[3] = {"root/Frame/Outline1", "root/Frame/Outline0", "root/Frame/Outline2"};
    const char* texts[3] = {"root/dummy_profile_name1", "root/dummy_profile_name2", "root/dummy_profile_name3"};
    for (int i = 0; i < 3; ++i) {
      AddBox(m_menuLayout, outlines[i], kSlotPlaces[i]);
      AddText(m_menuLayout, texts[i], kSlotPlaces[i]);
    }
    const char* actives[3] = {"root/Frame/Outline active1", "root/Frame/Outline active0", "root/Frame/Outline active"};
    for (int i = 0; i < 3; ++i) AddBox(m_menuLayout, actives[i], kSlotPlaces[i]);
    for (const char* suffix : {"", " Over", " Clicked"}) {
      AddBox(m_menuLayout, (std::string("root/Buttons/Button") + suffix).c_str(), kNewPlace);
      AddBox(m_menuLayout, (std::string("root/Buttons/Button") + suffix + "1").c_str(), kOkPlace);
      AddBox(m_menuLayout, (std::string("root/Buttons/Button") + suffix + "0").c_str(), kDeletePlace);
    }
    AddBox(m_menuLayout, "root/Buttons/ButtonInactive", kNewPlace);
    AddBox(m_menuLayout, "root/Buttons/ButtonInactive0", kDeletePlace);
  }

  static std::string SavePath() { return GetUserDataFolder() + "Saves/savegame.sav"; }

  static void GiveProfiles(const std::vector<const char*>& names, int32_t current) {
    SSaveData* save = GetSaveData();
    for (size_t i = 0; i < names.size(); ++i) {
      save->profiles[i].inUse = 1;
      save->profiles[i].gameMode = 2;
      std::snprintf(save->profiles[i].name, sizeof save->profiles[i].name, "%s", names[i]);
    }
    save->current = current;
  }

  // The profile menu over the fake question box, or the real name entry when asked.
  void MakeMenu(IMenuBox* nameEntry) {
    m_profiles = std::make_unique<CProfileMenu>([this] { return &m_question; }, nameEntry, &m_menuLayout, nullptr);
  }
  void OpenMenu() {
    m_profiles->Open();
    for (int i = 0; i < 4; ++i) MenuFrame({0.0f, 0.9f}, false);
    ASSERT_EQ(m_profiles->state, IMenuBox::kOpen);
  }
  void MenuFrame(const Vector2& place, bool down, float dt = kStep) {
    m_profiles->TakeInput(ToVirtualScreen(place), down);
    m_profiles->Update(dt);
  }
  void ClickMenu(const Vector2& place) {
    MenuFrame(place, true);
    MenuFrame(place, false);
  }

  void OpenEntry() {
    m_entry->Open();
    for (int i = 0; i < 4; ++i) EntryFrame();
    ASSERT_EQ(m_entry->state, IMenuBox::kOpen);
  }
  void EntryFrame(bool enter = false, float dt = kStep) {
    m_entry->TakeInput(ToVirtualScreen({0.0f, 0.9f}), false, enter);
    m_entry->Update(dt);
  }
  // Each string arrives as one text event of the window.
  void Type(const std::vector<std::string>& events) {
    for (const std::string& text : events) {
      std::snprintf(GetInputState().textInput, sizeof GetInputState().textInput, "%s", text.c_str());
      EntryFrame();
    }
  }
  void Enter() {
    EntryFrame(true);
    EntryFrame(false);
  }

  static std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (const SProfileData& record : GetSaveData()->profiles) names.push_back(record.inUse ? record.name : "-");
    return names;
  }

  Ombrel::CLayout2D m_menuLayout, m_entryLayout;
  CFakeBox m_question;
  CFakeMessage m_message;
  std::unique_ptr<CProfileCreation> m_entry;
  std::unique_ptr<CProfileMenu> m_profiles;
};

TEST_F(ProfileBoxTest, DeletingMovesTheLaterProfilesDownAndNeverTakesTheLast) {
  const struct {
    std::vector<const char*> profiles;
    int32_t selected;
    bool yes;
    std::vector<std::string> after;
    int32_t selectedAfter;
    bool deleteInactive;
  } kCases[] = {
      {{"Ada", "Bo", "Cy"}, 0, true, {"Bo", "Cy", "-"}, 0, false},
      {{"Ada", "Bo", "Cy"}, 1, true, {"Ada", "Cy", "-"}, 1, false},
      {{"Ada", "Bo", "Cy"}, 2, true, {"Ada", "Bo", "-"}, 1, false},
      {{"Ada", "Bo"}, 1, true, {"Ada", "-", "-"}, 0, true},
      {{"Ada", "Bo"}, 0, true, {"Bo", "-", "-"}, 0, true},
      {{"Ada", "Bo", "Cy"}, 0, false, {"Ada", "Bo", "Cy"}, 0, false},  // "no" changes nothing
      {{"Ada"}, 0, true, {"Ada", "-", "-"}, 0, true},                  // the last one stays
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(::testing::Message() << c.profiles.size() << " profiles, deleting " << c.selected);
    PrepareSave(false);
    std::filesystem::remove(SavePath());
    GiveProfiles(c.profiles, 0);
    m_question = CFakeBox();
    m_question.yes = c.yes;
    MakeMenu(nullptr);
    OpenMenu();
    ClickMenu(kSlotPlaces[c.selected]);
    EXPECT_EQ(GetSaveData()->current, c.selected) << "a selection reaches the save data at once";
    ClickMenu(kDeletePlace);
    const bool asked = c.profiles.size() > 1;
    EXPECT_EQ(m_question.opened, asked ? 1 : 0);
    if (asked) {
      EXPECT_EQ(m_profiles->state, CProfileMenu::kQuestionShown);
      EXPECT_EQ(m_question.asked, IMenuQuestion::kDeleteProfileQuestion);
      m_question.closeNow = true;
      MenuFrame({0.0f, 0.9f}, false);
    }
    EXPECT_EQ(m_profiles->state, IMenuBox::kOpen);
    EXPECT_EQ(Names(), c.after);
    EXPECT_EQ(m_profiles->GetSelected(), c.selectedAfter);
    EXPECT_EQ(GetSaveData()->current, c.selectedAfter);
    EXPECT_EQ(m_profiles->IsDeleteInactive(), c.deleteInactive);
    EXPECT_EQ(m_profiles->IsNewInactive(), c.after[2] != "-");
    EXPECT_EQ(std::filesystem::exists(SavePath()), asked && c.yes) << "a deletion is saved at once";
    // The freed record is a fresh profile.
    const SProfileData& last = GetSaveData()->profiles[2];
    if (c.after[2] == "-") {
      EXPECT_EQ(last.name[0], '\0');
      EXPECT_EQ(last.gameMode, 0u);
    }
  }
}

TEST_F(ProfileBoxTest, NewOpensTheNameEntryOnlyWhileARecordIsFreeAndSelectsTheNewProfile) {
  GiveProfiles({"Ada", "Bo", "Cy"}, 0);
  CFakeBox entry;
  MakeMenu(&entry);
  OpenMenu();
  EXPECT_TRUE(m_profiles->IsNewInactive());
  ClickMenu(kNewPlace);
  EXPECT_EQ(entry.opened, 0) << "no fourth profile";
  ClickMenu(kSlotPlaces[2]);
  ClickMenu(kDeletePlace);
  m_question.closeNow = true;
  MenuFrame({0.0f, 0.9f}, false);
  ASSERT_EQ(Names(), (std::vector<std::string>{"Ada", "Bo", "-"}));
  EXPECT_FALSE(m_profiles->IsNewInactive());

  ClickMenu(kNewPlace);
  ASSERT_EQ(entry.opened, 1);
  EXPECT_EQ(m_profiles->state, CProfileMenu::kNameEntryShown);
  // The entry fills the free record and makes it current, then closes.
  SSaveData* save = GetSaveData();
  save->profiles[2].inUse = 1;
  std::snprintf(save->profiles[2].name, sizeof save->profiles[2].name, "Dee");
  save->current = 2;
  entry.closeNow = true;
  MenuFrame({0.0f, 0.9f}, false);
  EXPECT_EQ(m_profiles->state, IMenuBox::kOpen);
  EXPECT_EQ(m_profiles->GetSelected(), 2);
  EXPECT_TRUE(m_profiles->IsNewInactive());
  EXPECT_FALSE(m_profiles->IsDeleteInactive());
}

TEST_F(ProfileBoxTest, ASlotWithoutAProfileSelectsNothing) {
  GiveProfiles({"Ada", "Bo"}, 1);
  MakeMenu(nullptr);
  OpenMenu();
  EXPECT_EQ(m_profiles->GetSelected(), 1);
  ClickMenu(kSlotPlaces[2]);
  EXPECT_EQ(m_profiles->GetSelected(), 1);
  ClickMenu(kSlotPlaces[0]);
  EXPECT_EQ(m_profiles->GetSelected(), 0);
  EXPECT_FALSE(std::filesystem::exists(SavePath())) << "nothing is written before OK";
}

TEST_F(ProfileBoxTest, TheMenuFadesLinearlySavesOnOkAndCrossFadesWithTheNameEntry) {
  GiveProfiles({"Ada"}, 0);
  MakeMenu(m_entry.get());
  m_profiles->Open();
  EXPECT_EQ(m_profiles->GetAlpha(), 0.0f);
  MenuFrame({0.0f, 0.9f}, false, 0.1f);
  EXPECT_FLOAT_EQ(m_profiles->GetAlpha(), 0.4f);
  MenuFrame({0.0f, 0.9f}, false, 0.15f);
  EXPECT_EQ(m_profiles->state, IMenuBox::kOpen);
  EXPECT_EQ(m_profiles->GetAlpha(), 1.0f);

  // The menu gives way in the first half of the entry's opening, the entry shows in the second.
  ClickMenu(kNewPlace);
  ASSERT_EQ(m_profiles->state, CProfileMenu::kNameEntryShown);
  ASSERT_EQ(m_entry->state, IMenuBox::kOpening);
  EXPECT_FLOAT_EQ(m_entry->GetFadeTime(), 0.25f);  // the click's release frame ran it once
  EXPECT_FLOAT_EQ(m_profiles->GetAlpha(), 0.5f);
  EXPECT_EQ(m_entry->GetAlpha(), 0.0f);
  MenuFrame({0.0f, 0.9f}, false);
  MenuFrame({0.0f, 0.9f}, false);
  EXPECT_FLOAT_EQ(m_entry->GetFadeTime(), 0.75f);
  EXPECT_EQ(m_profiles->GetAlpha(), 0.0f);
  EXPECT_FLOAT_EQ(m_entry->GetAlpha(), 0.5f);

  MenuFrame({0.0f, 0.9f}, false);
  ASSERT_EQ(m_entry->state, IMenuBox::kOpen);
  ClickMenu(kOkPlace);  // the entry is on top: the menu's OK is not reached
  EXPECT_EQ(m_profiles->state, CProfileMenu::kNameEntryShown);

  m_profiles->state = IMenuBox::kOpen;
  m_entry->state = IMenuBox::kClosed;
  ClickMenu(kOkPlace);
  EXPECT_EQ(m_profiles->state, IMenuBox::kClosing);
  EXPECT_TRUE(std::filesystem::exists(SavePath()));
  EXPECT_FLOAT_EQ(m_profiles->GetAlpha(), 0.75f);
  for (int i = 0; i < 3; ++i) MenuFrame({0.0f, 0.9f}, false);
  EXPECT_EQ(m_profiles->state, IMenuBox::kClosed);
  EXPECT_EQ(m_profiles->GetAlpha(), 0.0f);
}

TEST_F(ProfileBoxTest, TypingKeepsANameWithinElevenCharacters) {
  const struct {
    const char* what;
    std::vector<std::string> typed;
    std::string name;
  } kCases[] = {
      {"blanks neither start a name nor follow a blank", {" ", "A", " ", " ", "b"}, "A b"},
      {"a twelfth character is dropped", {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l"}, "abcdefghijk"},
      {"Cyrillic and accented letters count as characters",
       {"Н", "а", "т", "а", "ш", "а", "é", "è", "ç", "ü", "ß", "x"},
       "Наташаéèçüß"},
      {"control characters type nothing", {"\t", "\x1b", "Z"}, "Z"},
      {"characters typed within one frame are each typed", {"Ma", " \tr", "ДД", "é  x"}, "Ma rДДé x"},
      {"a frame's characters count one by one", {"abcdefgh", "ijklmn"}, "abcdefghijk"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    OpenEntry();
    Type(c.typed);
    EXPECT_EQ(std::string(m_entry->GetName()), c.name);
    EXPECT_EQ(GetTextInput()[0], '\0') << "the typed text is consumed";
  }
}

// What was typed before the entry opened is not its name; what is typed while it fades in is,
// every letter of it.
TEST_F(ProfileBoxTest, TheEntryStartsEmptyAndTakesWhatIsTypedFromItsOpening) {
  const struct {
    const char* before;
    std::vector<const char*> whileOpening;
    std::string name;
  } kCases[] = {{"x", {}, ""}, {"", {"M", "a", "r", "a"}, "Mara"}, {"q", {"B", "o"}, "Bo"}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    ClearFrameInput();
    const auto typeKey = [](const char* character) {
      SInputMessage message;
      message.kind = EInputMessage::Char;
      std::snprintf(message.text, sizeof message.text, "%s", character);
      HandleInputMessage(message);
    };
    if (*c.before) typeKey(c.before);
    m_entry->Open();
    for (const char* letter : c.whileOpening) {
      typeKey(letter);
      EntryFrame();
    }
    for (int i = 0; i < 5; ++i) EntryFrame();
    ASSERT_EQ(m_entry->state, IMenuBox::kOpen);
    EXPECT_EQ(std::string(m_entry->GetName()), c.name);
  }
}

TEST_F(ProfileBoxTest, BackspaceRemovesWholeCharactersAtOnceThenRepeatsAfterHalfASecond) {
  OpenEntry();
  Type({"a", "b", "c", "d", "e", "f", "g", "h", "é", "Ж"});
  ASSERT_EQ(m_entry->GetCharacterCount(), 10);
  hmtest::CStagedKeys::Hold(CProfileCreation::kVkBackspace, true);
  EntryFrame();
  EXPECT_EQ(std::string(m_entry->GetName()), "abcdefghé") << "a two-byte character goes whole";
  for (int i = 0; i < 7; ++i) EntryFrame();  // 0.4375 s held: no repeat yet
  EXPECT_EQ(m_entry->GetCharacterCount(), 9);
  EntryFrame();  // 0.5 s
  EXPECT_EQ(std::string(m_entry->GetName()), "abcdefgh");
  EntryFrame();
  EXPECT_EQ(m_entry->GetCharacterCount(), 7) << "then one a frame";
  hmtest::CStagedKeys::Hold(CProfileCreation::kVkBackspace, false);
  EntryFrame();
  hmtest::CStagedKeys::Hold(CProfileCreation::kVkBackspace, true);
  EntryFrame();
  EntryFrame();
  EXPECT_EQ(m_entry->GetCharacterCount(), 6) << "a new press starts the delay again";
  for (int i = 0; i < 20; ++i) EntryFrame();
  EXPECT_EQ(m_entry->GetCharacterCount(), 0);
  EXPECT_TRUE(m_entry->IsOkInactive()) << "an empty name cannot be accepted";
  hmtest::CStagedKeys::Hold(CProfileCreation::kVkBackspace, false);
  Enter();
  EXPECT_EQ(m_entry->state, IMenuBox::kOpen);
}

TEST_F(ProfileBoxTest, ANewNameTakesTheFirstFreeRecordAndATakenOneIsTold) {
  GiveProfiles({"Ada"}, 0);
  OpenEntry();
  Type({"A", "d", "a", " "});
  Enter();
  EXPECT_EQ(m_entry->state, CProfileCreation::kMessageShown);
  EXPECT_EQ(m_message.told, IMenuNotice::kProfileExists);
  EXPECT_EQ(m_message.profileName, "Ada") << "the trailing blank was cut before comparing";
  EXPECT_FALSE(std::filesystem::exists(SavePath()));
  m_message.closeNow = true;
  EntryFrame();
  EXPECT_EQ(m_entry->state, IMenuBox::kOpen);
  EXPECT_EQ(std::string(m_entry->GetName()), "Ada") << "the name stays for editing";

  hmtest::CStagedKeys::Hold(CProfileCreation::kVkBackspace, true);
  EntryFrame();
  hmtest::CStagedKeys::Hold(CProfileCreation::kVkBackspace, false);
  Type({"A"});  // "AdA": letter case makes a different name
  m_entry->TakeInput(ToVirtualScreen(kEntryOkPlace), true, false);
  m_entry->Update(kStep);
  EXPECT_EQ(m_entry->state, IMenuBox::kClosing);
  EXPECT_EQ(Names(), (std::vector<std::string>{"Ada", "AdA", "-"}));
  EXPECT_EQ(GetSaveData()->current, 1);
  EXPECT_TRUE(std::filesystem::exists(SavePath()));
  for (int i = 0; i < 4; ++i) EntryFrame();
  EXPECT_EQ(m_entry->state, IMenuBox::kClosed);
}

// A player who came from the profile menu can go back without a new profile; the very first
// player has nowhere to go back to and is not offered the way.
TEST_F(ProfileBoxTest, TheNameEntryHasAWayBackWhileAnotherProfileExists) {
  for (bool profile : {true, false}) {
    SCOPED_TRACE(profile);
    PrepareSave(false);
    std::filesystem::remove(SavePath());
    if (profile) GiveProfiles({"Ada"}, 0);
    OpenEntry();
    EXPECT_EQ(m_entry->HasWayBack(), profile);
    EXPECT_EQ(m_entryLayout.FindItem("root/Buttons/Button")->visible, profile);
    EXPECT_EQ(m_entryLayout.FindItem(CProfileCreation::kBackLabel)->visible, profile);
    Type({"B", "o"});
    m_entry->TakeInput(ToVirtualScreen(kEntryBackPlace), true, false);
    m_entry->Update(kStep);
    EXPECT_EQ(m_entry->state, profile ? IMenuBox::kClosing : IMenuBox::kOpen);
    for (int i = 0; i < 4; ++i) EntryFrame();
    EXPECT_EQ(Names(), (std::vector<std::string>{profile ? "Ada" : "-", "-", "-"}));
    EXPECT_FALSE(std::filesystem::exists(SavePath())) << "nothing is stored on the way back";
  }
}

TEST_F(ProfileBoxTest, TheNameEntryFadesOnTheDelayedCurve) {
  const struct {
    float time;
    float alpha;
  } kOpening[] = {{0.0625f, 0.0f}, {0.125f, 0.0f}, {0.1875f, 0.5f}};
  m_entry->Open();
  float elapsed = 0.0f;
  for (const auto& step : kOpening) {
    EntryFrame(false, step.time - elapsed);
    elapsed = step.time;
    EXPECT_FLOAT_EQ(m_entry->GetAlpha(), step.alpha) << step.time;
  }
  EntryFrame();
  EXPECT_EQ(m_entry->state, IMenuBox::kOpen);
  EXPECT_EQ(m_entry->GetAlpha(), 1.0f);
}

}  // namespace
