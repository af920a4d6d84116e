// Every dictionary text of the game's screens lies inside its box in every game language, on
// the narrowest screen shape the game lays out (5:4, or the shape a heads-up bar set is for):
// a one-line text within the plate it sits on (the smallest picture drawn under its centre) and
// within the screen, a wrapped text within its wrap; every phrase the heads-up display's
// note line can show within the screen's width; and every thing a search lists within its line
// of the list. Each offender is named with its layout,
// object, language and its width against its room.

#include "tests/Src/Investigation/BuiltContentKit.h"
#include "tests/support/ProgramRun.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

using namespace Vey;

namespace {

constexpr int32_t kGameLanguages[] = {kLangEnglish, kLangGerman, kLangFrench, kLangSpanish, kLangItalian, kLangRussian};
const char* const kCodes[] = {"en", "de", "fr", "es", "it", "ru"};  // of kGameLanguages
constexpr float kNarrowestShape = 1.25f;  // 5:4
constexpr float kRim = 0.04f;             // a plate's rim, both sides together

// The heads-up bar set a layout object belongs to ("HUD4:3" of "root/HUD4:3/text_menu"); empty
// for the parts all screens share.
std::string BarSet(const std::string& name) {
  const size_t at = name.find("/HUD");
  if (at == std::string::npos) return "";
  return name.substr(at + 1, name.find('/', at + 1) - at - 1);
}

// The half width of the screen a layout object is shown on: that of the shape its heads-up bar
// set names, else the narrowest shape.
float HalfScreen(const std::string& name) {
  const size_t at = name.find("/HUD");
  int w = 0, h = 0;
  if (at != std::string::npos && std::sscanf(name.c_str() + at, "/HUD%d:%d", &w, &h) == 2 && h > 0)
    return float(w) / float(h);
  return kNarrowestShape;
}

// The left edge of a one-line text of that width as its horizontal alignment places it.
float LeftEdge(const Ombrel::SLayoutText& text, float width) {
  if (text.style.alignH == kAlignCentre) return text.position.x - width / 2;
  if (text.style.alignH == kAlignEnd) return text.position.x - width;
  return text.position.x;
}

// The smallest picture drawn before the text whose rectangle holds the text's position: the
// plate or panel it sits on, of its own bar set or shared; null when it sits on the bare screen.
const Ombrel::SLayoutBox* Plate(const Ombrel::CLayout2D& layout, const Ombrel::SLayoutText& text) {
  const Ombrel::SLayoutBox* plate = nullptr;
  for (int32_t i = 0; i < text.index; ++i) {
    const Ombrel::SLayoutItem* item = layout.GetItem(uint32_t(i));
    if (item->kind != Ombrel::kLayoutSprite && item->kind != Ombrel::kLayoutAnimatedSprite) continue;
    const auto* box = static_cast<const Ombrel::SLayoutBox*>(item);
    if (!BarSet(box->name).empty() && BarSet(box->name) != BarSet(text.name)) continue;
    const float w = box->size.x * box->scale.x, h = box->size.y * box->scale.y;
    if (std::fabs(text.position.x - box->position.x) > w / 2 || std::fabs(text.position.y - box->position.y) > h / 2)
      continue;
    if (!plate || w * h < plate->size.x * plate->scale.x * plate->size.y * plate->scale.y) plate = box;
  }
  return plate;
}

class TextFitContentTest : public overlaytest::CBuiltContentFixture {
 protected:
  void SetUp() override {
    CBuiltContentFixture::SetUp();
    LoadContent("App/Configs/Hud_Resources.xml");
    for (const char* list : {"Frames", "Pause", "Menu", "Tutorials", "MapDiary"})
      Ombrel::CResourcesXMLLoader(m_resources.get()).Load(("App/Configs/" + std::string(list) + "_Resources.xml").c_str());
  }

  // The offences of one layout's dictionary texts in the language loaded, one a line.
  std::string LayoutOffences(const char* name, const char* language) const {
    std::ostringstream out;
    const Ombrel::CLayout2D* layout = Layout(name);
    if (!layout) return std::string(name) + ": no such layout\n";
    for (uint32_t i = 0; i < layout->GetCount(); ++i) {
      const Ombrel::SLayoutItem* item = layout->GetItem(i);
      if (item->kind != Ombrel::kLayoutText) continue;
      const auto& text = static_cast<const Ombrel::SLayoutText&>(*item);
      if (text.source != Ombrel::kTextDictionary || !text.style.font || !HasPhrase(text.phraseKey)) continue;
      const std::string words = m_dictionary->GetPhrase(text.phraseKey.c_str());
      const std::string where = std::string(name) + " " + text.name + " [" + language + "] \"" + words + "\": ";
      const float halfScreen = HalfScreen(text.name);
      if (text.style.width < 2 * halfScreen) {
        bool fits = true;
        MeasureText(text, words, &fits);
        if (!fits) out << where << "a line runs past the wrap " << text.style.width << "\n";
        continue;
      }
      const float width = overlaytest::LayoutWidth(text, words);
      const float left = LeftEdge(text, width);
      const Ombrel::SLayoutBox* plate = Plate(*layout, text);
      float roomLeft = -halfScreen, roomRight = halfScreen;
      if (plate) {
        const float half = plate->size.x * plate->scale.x / 2 - kRim / 2;
        roomLeft = std::max(roomLeft, plate->position.x - half);
        roomRight = std::min(roomRight, plate->position.x + half);
      }
      if (left < roomLeft - 1e-4f || left + width > roomRight + 1e-4f)
        out << where << "width " << width << " against room " << roomRight - roomLeft << " on "
            << (plate ? plate->name : std::string("the screen")) << "\n";
    }
    return out.str();
  }
};

TEST_F(TextFitContentTest, EveryScreensTextLiesInsideItsBoxInEveryLanguage) {
  const char* const kLayouts[] = {"HUD",           "FrameSmall",      "Pause",        "GamePause",  "Options",
                                  "HelpMenu",      "MenuDialog",      "ModeMenu",     "ProfileMenu", "ProfileCreation",
                                  "LanguageMenu",  "GameSelection",   "Extras",       "WallpaperSelection",
                                  "TutorialHints", "Map",             "CollectorsMainMenu"};
  overlaytest::CInputAndLanguageScope language;
  std::string offences;
  for (size_t l = 0; l < std::size(kGameLanguages); ++l) {
    SetLanguage(kGameLanguages[l]);
    m_dictionary->Reload();
    for (const char* layout : kLayouts) offences += LayoutOffences(layout, kCodes[l]);
  }
  EXPECT_EQ(offences, "");
}

// The note line is one line across the whole screen, in the heads-up display's font.
TEST_F(TextFitContentTest, EveryNoteLinePhraseFitsTheNarrowestScreenInEveryLanguage) {
  Ombrel::CResourceFont* font = m_resources->GetFont("HiddenObjects");
  ASSERT_TRUE(font && font->GetFont());
  STextStyle noteStyle;
  noteStyle.font = font->GetFont();
  noteStyle.height = 15.0f;
  std::vector<std::string> keys = {"WRONG_ACTION"};
  const std::string dictionary = ReadTextFile(m_root + "App/Configs/GameDictionary.xml");
  for (size_t at = dictionary.find("ID=\""); at != std::string::npos; at = dictionary.find("ID=\"", at + 1)) {
    const std::string key = dictionary.substr(at + 4, dictionary.find('"', at + 4) - at - 4);
    if (key.size() > 4 && key.compare(key.size() - 4, 4, "Note") == 0) keys.push_back(key);
  }
  ASSERT_GT(keys.size(), 10u);
  overlaytest::CInputAndLanguageScope language;
  std::string offences;
  for (size_t l = 0; l < std::size(kGameLanguages); ++l) {
    SetLanguage(kGameLanguages[l]);
    m_dictionary->Reload();
    for (const std::string& key : keys) {
      const std::string words = m_dictionary->GetPhrase(key.c_str());
      const float width = overlaytest::LayoutWidth(noteStyle, words);
      if (width > 2 * kNarrowestShape - kRim)
        offences += key + " [" + kCodes[l] + "] \"" + words + "\": width " + std::to_string(width) +
                    " against room " + std::to_string(2 * kNarrowestShape - kRim) + "\n";
    }
  }
  EXPECT_EQ(offences, "");
}

// A search, the story's or the bonus chapter's, lists each kind of thing to find on a line of the
// heads-up display, from the left of its slot: the phrase its picture's name keys ("HO_" and the
// kind); a group of a few alike ("HO_Coin1", "HO_Coin2") shares the line of its name without the
// digit, with its count ("Gold coin x 3"). The slots of the narrowest shape hold the widest line.
TEST_F(TextFitContentTest, EveryThingToFindFitsItsLineOfTheListInEveryLanguage) {
  Ombrel::CResourceFont* font = m_resources->GetFont("HiddenObjects");
  ASSERT_TRUE(font && font->GetFont());
  STextStyle listStyle;
  listStyle.font = font->GetFont();
  listStyle.height = 9.0f;
  const Ombrel::CLayout2D* hud = Layout("HUD");
  ASSERT_NE(hud, nullptr);
  float room = 2.0f;
  for (uint32_t i = 0; i < hud->GetCount(); ++i) {
    const Ombrel::SLayoutItem* item = hud->GetItem(i);
    const size_t at = item->name.rfind("/Dummy");  // the list's slots are "Dummy01".."Dummy12"
    if (item->kind != Ombrel::kLayoutDummy || at == std::string::npos || item->name.size() != at + 8 ||
        !std::isdigit(static_cast<unsigned char>(item->name[at + 6])))
      continue;
    const auto* box = static_cast<const Ombrel::SLayoutBox*>(item);
    room = std::min(room, box->size.x * box->scale.x);
  }
  ASSERT_LT(room, 1.0f) << "no slot of the list in the HUD layout";
  std::map<std::string, bool> keys;  // each line's phrase, and whether it is a group's
  // What the story's and the bonus chapter's searches list: their scenes' objects to take.
  for (const char* description : {"App/Configs/GameInfo.xml", "App/Configs/Collectors/CollectorsGameInfo.xml"}) {
    const std::string text = ReadTextFile(m_root + description);
    ASSERT_FALSE(text.empty()) << description;
    for (size_t scene = text.find("<Scene Name=\"HO"); scene != std::string::npos;
         scene = text.find("<Scene Name=\"HO", scene + 1)) {
      const size_t end = text.find("</Scene>", scene);
      for (size_t at = text.find("<Object ", scene); at < end; at = text.find("<Object ", at + 1)) {
        const std::string object = text.substr(at, text.find('>', at) - at);
        const size_t sprite = object.find(" Sprite=\"");
        if (object.find("Pickable=\"True\"") == std::string::npos || sprite == std::string::npos) continue;
        const std::string name = object.substr(sprite + 9, object.find('"', sprite + 9) - sprite - 9);
        const bool group = std::isdigit(static_cast<unsigned char>(name.back()));
        keys[group ? name.substr(0, name.size() - 1) : name] |= group;
      }
    }
  }
  ASSERT_GE(keys.size(), 100u);
  overlaytest::CInputAndLanguageScope language;
  std::string offences;
  for (size_t l = 0; l < std::size(kGameLanguages); ++l) {
    SetLanguage(kGameLanguages[l]);
    m_dictionary->Reload();
    for (const auto& [key, group] : keys) {
      const std::string words = std::string(m_dictionary->GetPhrase(key.c_str())) + (group ? " x 4" : "");
      const float width = overlaytest::LayoutWidth(listStyle, words);
      if (width > room)
        offences += key + " [" + kCodes[l] + "] \"" + words + "\": width " + std::to_string(width) + " against room " +
                    std::to_string(room) + "\n";
    }
  }
  EXPECT_EQ(offences, "");
}

}  // namespace
