// The item frame and the story dialog on the content the build makes: the "FrameSmall" layout
// holds every entry both ask for, its pictures and font load, each dialog of the story has its
// line and voice, each item its name, and the two screens drawn from it look as a player sees
// them: dark wood and brass, cream text.

#include "Src/World/Vey_Map.h"
#include "Src/Investigation/Vey_Dialog.h"
#include "Src/Investigation/Vey_ItemFrame.h"
#include "Quor/CFont.h"
#include "Quor/Engine.h"
#include "tests/Src/Investigation/BuiltContentKit.h"

#include <fstream>
#include <iterator>
#include <string>

using namespace Vey;
using rendertest::SRgba;

namespace {

std::string ReadText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

class FramesContentTest : public overlaytest::CBuiltContentFixture {
 protected:
  void SetUp() override {
    CBuiltContentFixture::SetUp();
    LoadContent("App/Configs/Frames_Resources.xml");
    m_bank.LoadGameSounds(m_resources.get());
    m_frameLayout = Layout("FrameSmall");
  }

  CSoundContainer m_bank;
  Ombrel::CLayout2D* m_frameLayout = nullptr;
};

TEST_F(FramesContentTest, EveryDialogAndItemOfTheStoryHasItsLineNameAndVoice) {
  ASSERT_NE(m_frameLayout, nullptr) << hmtest::CReportScope::All();
  CMap world(false);
  ASSERT_EQ(world.Load(ReadText(m_root + "App/Configs/GameInfo.xml")), 0);
  std::vector<std::string> keys = {"YOU_FOUND", "WELL_DONE", "FRAME_CONTINUE"};
  auto addKeys = [&](const std::vector<SStoryEntry>& dialogs, const SObjectList& objects) {
    for (const SStoryEntry& dialog : dialogs) keys.push_back(dialog.name);
    // A search's things to find are named on its list by their kind, the picture's name
    // (TextFitContentTest checks those phrases); only its reward comes into the frame.
    for (const SSceneObject& object : objects)
      if ((object.pickable || object.clue) && (object.reward || object.sprite.rfind("HO_", 0) != 0))
        keys.push_back(object.name);
  };
  for (uint32_t slot = 0; slot < world.SceneCount(); ++slot)
    addKeys(world.Scene(slot).dialogs, world.Scene(slot).objects);
  for (uint32_t slot = 0; slot < world.CloseUpCount(); ++slot)
    addKeys(world.CloseUp(slot).dialogs, world.CloseUp(slot).objects);
  for (uint32_t slot = 0; slot < world.MiniGameCount(); ++slot) addKeys({}, world.MiniGame(slot).objects);
  EXPECT_GE(keys.size(), 15u);
  for (const std::string& key : keys) {
    EXPECT_TRUE(HasPhrase(key)) << key;
    const char* voice = CDialog::VoiceOf(key);
    if (*voice) {
      EXPECT_GT(m_bank.GetSoundLength(m_bank.FindSound(voice)), 1.0f) << key;
    }
  }
}

// The caption sits under the frame's gold border and above the taken object (drawn where the
// display's "root/ItemDummy" is), which stays above "Well done", for every item's name in every
// language of the game, however it wraps.
TEST_F(FramesContentTest, TheCaptionTheObjectAndWellDoneKeepApartForEveryItemInEveryLanguage) {
  ASSERT_NE(m_frameLayout, nullptr) << hmtest::CReportScope::All();
  Ombrel::CResourcesXMLLoader(m_resources.get()).Load("App/Configs/Hud_Resources.xml");
  const Ombrel::CLayout2D* hud = Layout("HUD");
  ASSERT_NE(hud, nullptr);
  const auto* object = static_cast<const Ombrel::SLayoutBox*>(hud->FindItem("root/ItemDummy"));
  const auto* panel = static_cast<const Ombrel::SLayoutBox*>(m_frameLayout->FindItem("root/Frame"));
  const auto* caption = static_cast<const Ombrel::SLayoutText*>(m_frameLayout->FindItem("root/text_item"));
  const auto* wellDone = static_cast<const Ombrel::SLayoutText*>(m_frameLayout->FindItem("root/text_well_done"));
  ASSERT_TRUE(object && panel && caption && wellDone && caption->style.font);
  constexpr float kGoldBorder = 0.06f;  // the panel's gold border, inside its edge
  const float underBorder = panel->position.y + panel->size.y / 2 - kGoldBorder;
  const float objectTop = object->position.y + object->size.y / 2;
  const float objectBottom = object->position.y - object->size.y / 2;

  CMap world(false);
  ASSERT_EQ(world.Load(ReadText(m_root + "App/Configs/GameInfo.xml")), 0);
  std::vector<std::string> items;
  auto add = [&](const SObjectList& objects) {
    for (const SSceneObject& o : objects)
      if (o.pickable || o.clue || o.reward) items.push_back(o.name);
  };
  for (uint32_t slot = 0; slot < world.SceneCount(); ++slot) add(world.Scene(slot).objects);
  for (uint32_t slot = 0; slot < world.CloseUpCount(); ++slot) add(world.CloseUp(slot).objects);
  ASSERT_GE(items.size(), 10u);

  overlaytest::CInputAndLanguageScope language;
  for (int32_t code : {kLangEnglish, kLangGerman, kLangFrench, kLangSpanish, kLangItalian, kLangRussian}) {
    SetLanguage(code);
    m_dictionary->Reload();
    CItemFrame frame("ItemFrame", m_frameLayout, nullptr, nullptr, nullptr, m_dictionary.get(), &m_bank);
    bool fits = false;
    const float wellDoneHalf = MeasureText(*wellDone, m_dictionary->GetPhrase("WELL_DONE"), &fits) / 2;
    EXPECT_TRUE(fits) << code;
    EXPECT_LE(wellDone->position.y + wellDoneHalf, objectBottom) << "language " << code;
    for (const std::string& item : items) {
      frame.Show(item);
      const std::string words = std::string(m_dictionary->GetPhrase("YOU_FOUND")) + " " + frame.GetCaption();
      const float half = MeasureText(*caption, words, &fits) / 2;
      EXPECT_TRUE(fits) << words;
      EXPECT_LE(caption->position.y + half, underBorder) << words;
      EXPECT_GE(caption->position.y - half, objectTop) << words;
    }
  }
}

// The band spans every screen; its portraits and its line's wrap lie within the narrowest (5:4,
// half as wide as 1.25), the line beside the portrait.
TEST_F(FramesContentTest, TheDialogsPortraitsAndLineLieWithinTheNarrowestScreen) {
  ASSERT_NE(m_frameLayout, nullptr) << hmtest::CReportScope::All();
  constexpr float kHalfWidth = 1.25f;
  const auto* line = static_cast<const Ombrel::SLayoutText*>(m_frameLayout->FindItem("root/text_dialog"));
  ASSERT_NE(line, nullptr);
  for (const char* name : {"root/CharDialog", "root/WolfDialog"}) {
    const auto* portrait = static_cast<const Ombrel::SLayoutBox*>(m_frameLayout->FindItem(name));
    ASSERT_NE(portrait, nullptr) << name;
    EXPECT_GE(portrait->position.x - portrait->size.x / 2, -kHalfWidth) << name;
    EXPECT_LE(portrait->position.x + portrait->size.x / 2, line->position.x - line->style.width / 2) << name;
  }
  EXPECT_LE(line->position.x + line->style.width / 2, kHalfWidth);
}

TEST_F(FramesContentTest, TheFrameAndTheDialogDrawFromTheBuiltLayout) {
  ASSERT_NE(m_frameLayout, nullptr) << hmtest::CReportScope::All();
  CItemFrame frame("ItemFrame", m_frameLayout, nullptr, nullptr, nullptr, m_dictionary.get(), &m_bank);
  CDialog dialog("Dialog", m_frameLayout, m_dictionary.get(), &m_bank);
  EXPECT_EQ(OwnReports(), "");

  frame.Show("S01_Knife");
  EXPECT_EQ(frame.GetCaption(), "OLD KNIFE");
  frame.Update(0.5f);
  const std::vector<uint8_t> shown = DrawFrame(frame);
  const SRgba panel = Pixel(shown, kSize, 12, 32);  // the wood beside the hollow
  EXPECT_GT(panel.r, panel.b + 10);
  EXPECT_LT(panel.r, 110);
  EXPECT_GT(CreamPixels(shown, 8, 16, 56, 24), 4);            // the caption across the panel's top
  EXPECT_EQ(Pixel(shown, kSize, 32, 2), overlaytest::kGrey);  // no dialog band

  dialog.Open("S01_1_Dialog");
  EXPECT_NEAR(dialog.GetSpeakingTime(), 2.17f, 0.05f);
  dialog.Update(0.5f);
  const std::vector<uint8_t> speaking = DrawFrame(dialog);
  EXPECT_EQ(Pixel(speaking, kSize, 62, 1), (SRgba{0, 0, 0, 255}));  // the band across the top
  EXPECT_GT(CreamPixels(speaking, 8, 0, 64, 8), 4);                 // the line in it
  EXPECT_EQ(Pixel(speaking, kSize, 32, 32), overlaytest::kGrey);    // nothing of the frame
  EXPECT_EQ(OwnReports(), "");
}

}  // namespace
